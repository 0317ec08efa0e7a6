#include "vantor/voiceclient/PxRemoteVoiceClient.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <limits>

namespace vantor::voiceclient {
namespace {

std::int32_t Capacity(std::size_t size) {
  return static_cast<std::int32_t>(std::min<std::size_t>(size, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

QString DefaultPxRemotePath() {
#if defined(Q_OS_WIN)
  const QString file = QStringLiteral("PxRemote.dll");
#else
  const QString file = QStringLiteral("libPxRemote.so");
#endif
  return QDir(QCoreApplication::applicationDirPath()).filePath(file);
}

PxRemoteVoiceClient::PxRemoteVoiceClient(const QString& libraryPath) : library_(libraryPath) {
  loaded_ = library_.load();
  if (!loaded_) {
    loadError_ = library_.errorString();
    return;
  }
  Bind(switchChannelId_, "pxrSwitchChannelID");
  Bind(getChannels_, "pxrGetChannels");
  Bind(getPlayers_, "pxrGetPlayers");
  Bind(getChannelInfoById_, "pxrGetChannelInfoByID");
}

PxRemoteVoiceClient::~PxRemoteVoiceClient() {
  if (loaded_) library_.unload();
}

template <typename Function>
void PxRemoteVoiceClient::Bind(Function& address, const char* name) {
  address = reinterpret_cast<Function>(library_.resolve(name));
  if (address == nullptr) missing_.append(QString::fromLatin1(name));
}

bool PxRemoteVoiceClient::Available() const {
  return loaded_ && switchChannelId_ != nullptr && getChannels_ != nullptr && getPlayers_ != nullptr &&
         getChannelInfoById_ != nullptr;
}

std::int32_t PxRemoteVoiceClient::SwitchChannelId(std::int32_t channelId) {
  if (switchChannelId_ == nullptr) return kVoiceExportMissing;
  return switchChannelId_(channelId, "");
}

std::int32_t PxRemoteVoiceClient::GetChannels(std::span<PxrChannelInfo> channels, std::int32_t& count) {
  if (getChannels_ == nullptr) return kVoiceExportMissing;
  std::int32_t filled = Capacity(channels.size());
  const std::int32_t result = getChannels_(channels.data(), &filled);
  if (result == PXR_OK) count = filled;
  return result;
}

std::int32_t PxRemoteVoiceClient::GetChannelInfoById(std::int32_t channelId, PxrChannelInfo& channel,
                                                     std::span<PxrPlayerInfo> players, std::int32_t& count) {
  if (getChannelInfoById_ == nullptr) return kVoiceExportMissing;
  std::int32_t filled = Capacity(players.size());
  const std::int32_t result =
      getChannelInfoById_(channelId, &channel, players.empty() ? nullptr : players.data(), &filled);
  if (result == PXR_OK) count = filled;
  return result;
}

}  // namespace vantor::voiceclient
