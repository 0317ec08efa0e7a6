#pragma once
// What the client asks of the voice remote-control library. The real one
// calls PxRemote bound at run time; tests may put a stand-in here, and only
// here.

#include <PxRemote.h>

#include <cstdint>
#include <span>

namespace vantor::voiceclient {

// The answer of a call whose export could not be bound: nothing was called.
inline constexpr std::int32_t kVoiceExportMissing = -2000;

class VoiceClient {
 public:
  virtual ~VoiceClient() = default;

  // All four calls are bound. A call that is not answers kVoiceExportMissing
  // without calling anything.
  virtual bool Available() const = 0;

  // Moves the user to the channel, with an empty password (the command ends
  // in a blank).
  virtual std::int32_t SwitchChannelId(std::int32_t channelId) = 0;
  // Fills the first channels of `channels`; on success `count` is how many.
  // The elements after them, and the count after a failure, are as the
  // caller left them.
  virtual std::int32_t GetChannels(std::span<PxrChannelInfo> channels, std::int32_t& count) = 0;
  // One channel with its players; on success `count` is the number of
  // players filled.
  virtual std::int32_t GetChannelInfoById(std::int32_t channelId, PxrChannelInfo& channel,
                                          std::span<PxrPlayerInfo> players, std::int32_t& count) = 0;
};

}  // namespace vantor::voiceclient
