#pragma once
// PxRemote loaded by file name and four of its exports bound by name, in
// the order "pxrSwitchChannelID", "pxrGetChannels", "pxrGetPlayers",
// "pxrGetChannelInfoByID". The library stays loaded for the object's life.

#include <QLibrary>
#include <QString>
#include <QStringList>

#include "vantor/voiceclient/VoiceClient.h"

namespace vantor::voiceclient {

// "libPxRemote.so" ("PxRemote.dll" on Windows) beside the program.
QString DefaultPxRemotePath();

class PxRemoteVoiceClient final : public VoiceClient {
 public:
  explicit PxRemoteVoiceClient(const QString& libraryPath = DefaultPxRemotePath());
  ~PxRemoteVoiceClient() override;
  PxRemoteVoiceClient(const PxRemoteVoiceClient&) = delete;
  PxRemoteVoiceClient& operator=(const PxRemoteVoiceClient&) = delete;

  bool Loaded() const { return loaded_; }
  // Why it did not load (the system's text).
  QString LoadError() const { return loadError_; }
  // The exports that were not found, in binding order.
  const QStringList& MissingExports() const { return missing_; }

  bool Available() const override;
  std::int32_t SwitchChannelId(std::int32_t channelId) override;
  std::int32_t GetChannels(std::span<PxrChannelInfo> channels, std::int32_t& count) override;
  std::int32_t GetChannelInfoById(std::int32_t channelId, PxrChannelInfo& channel, std::span<PxrPlayerInfo> players,
                                  std::int32_t& count) override;

 private:
  template <typename Function>
  void Bind(Function& address, const char* name);

  QLibrary library_;
  bool loaded_ = false;
  QString loadError_;
  QStringList missing_;
  PxrSwitchChannelIDFn switchChannelId_ = nullptr;
  PxrGetChannelsFn getChannels_ = nullptr;
  PxrGetPlayersFn getPlayers_ = nullptr;  // bound with the others, never called
  PxrGetChannelInfoByIDFn getChannelInfoById_ = nullptr;
};

}  // namespace vantor::voiceclient
