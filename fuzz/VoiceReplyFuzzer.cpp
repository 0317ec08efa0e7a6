// The voice library's exports with the input as Parlix's reply: the status
// line, the error codes and every list and record form, into records of
// exactly the caller's size so that a write past them is caught.
#include <PxRemote.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "ParlixChannel.h"

namespace {

// The reply of the exchange under test; the version query that precedes the
// first command of the process gets a plain answer unless it is under test.
std::string reply;
bool versionUnderTest = false;

template <typename T>
std::unique_ptr<T[]> Records(int32_t count) {
  return std::make_unique<T[]>(static_cast<std::size_t>(count > 0 ? count : 0));
}

}  // namespace

namespace vantor::voice {

// Stands in for the exchange with Parlix.
std::string SendCommand(std::string_view command, ExchangeMemory&) {
  if (command == "GET_VERSION" && !versionUnderTest) return "OK\r2.0.32.60";
  return reply;
}

}  // namespace vantor::voice

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vantor::fuzz::FuzzInput input(data, size);
  const std::uint8_t call = input.Byte();
  const int32_t capacity = input.Byte() % 40;
  const std::string_view text = input.Rest();
  // Parlix's reply ends at its NUL.
  reply.assign(text.substr(0, text.find('\0')));
  versionUnderTest = call % 12 == 0;

  int32_t count = capacity;
  int32_t result = 0;
  switch (call % 12) {
    case 0: {
      auto info = std::make_unique<PxrVersionInfo>();
      result = pxrGetVersion(info.get());
      break;
    }
    case 1: {
      auto info = std::make_unique<PxrServerInfo>();
      result = pxrGetServerInfo(info.get());
      break;
    }
    case 2: {
      auto info = std::make_unique<PxrUserInfo>();
      result = pxrGetUserInfo(info.get());
      break;
    }
    case 3: {
      auto channel = std::make_unique<PxrChannelInfo>();
      auto players = Records<PxrPlayerInfo>(capacity);
      result = pxrGetChannelInfoByID(7, channel.get(), players.get(), &count);
      break;
    }
    case 4: {
      auto channel = std::make_unique<PxrChannelInfo>();
      auto players = Records<PxrPlayerInfo>(capacity);
      result = pxrGetChannelInfoByName("Tower", channel.get(), capacity > 0 ? players.get() : nullptr, &count);
      break;
    }
    case 5: {
      auto player = std::make_unique<PxrPlayerInfo>();
      result = pxrGetPlayerInfoByID(3, player.get());
      break;
    }
    case 6: {
      auto player = std::make_unique<PxrPlayerInfo>();
      result = pxrGetPlayerInfoByName("Viper 11", player.get());
      break;
    }
    case 7: {
      auto channels = Records<PxrChannelInfo>(capacity);
      result = pxrGetChannels(channels.get(), &count);
      break;
    }
    case 8: {
      auto players = Records<PxrPlayerInfo>(capacity);
      result = pxrGetPlayers(players.get(), &count);
      break;
    }
    case 9: {
      auto ids = Records<int32_t>(capacity);
      result = pxrGetSpeakers(ids.get(), &count);
      FUZZ_CHECK(count >= 0 && count <= capacity);
      break;
    }
    case 10:
      result = pxrSwitchChannelID(5, "");
      break;
    default:
      result = pxrSetPlayerFlags(capacity);
      break;
  }
  if (result == 0) FUZZ_CHECK(count >= 0 && count <= capacity);

  // The last-error text, into a buffer of exactly the stated room.
  const int32_t room = input.Empty() ? capacity : capacity;
  auto buffer = std::make_unique<char[]>(static_cast<std::size_t>(room) + 1);
  pxrGetLastError(buffer.get(), room + 1);
  FUZZ_CHECK(std::memchr(buffer.get(), '\0', static_cast<std::size_t>(room) + 1) != nullptr);
  return 0;
}
