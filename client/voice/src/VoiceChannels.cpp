#include "vantor/voiceclient/VoiceChannels.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstring>

namespace vantor::voiceclient {

QString FieldText(const char* field, std::size_t width) {
  const auto* end = static_cast<const char*>(std::memchr(field, '\0', width));
  const QByteArrayView bytes(field, end != nullptr ? end - field : static_cast<qsizetype>(width));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (utf8.hasError()) text = QString::fromLatin1(bytes);
  return text;
}

QString ChannelName(const PxrChannelInfo& channel) { return FieldText(channel.name); }

QString PlayerName(const PxrPlayerInfo& player) { return FieldText(player.name); }

void SetFieldText(char* field, std::size_t width, const QString& text) {
  std::memset(field, 0, width);
  const QByteArray bytes = text.toUtf8();
  std::memcpy(field, bytes.constData(), std::min<std::size_t>(width, static_cast<std::size_t>(bytes.size())));
}

std::vector<VoiceWindowLine> OccupiedChannelLines(VoiceClient& voice) {
  std::vector<VoiceWindowLine> lines;
  std::array<PxrChannelInfo, kChannelCapacity> channels{};
  std::int32_t count = 0;
  if (voice.GetChannels(channels, count) != PXR_OK) return lines;
  count = std::clamp(count, 0, kChannelCapacity);
  std::array<PxrPlayerInfo, kPlayerCapacity> players{};
  for (std::int32_t i = 0; i < count; ++i) {
    const PxrChannelInfo& channel = channels[static_cast<std::size_t>(i)];
    if (channel.playerCount == 0) continue;
    lines.push_back({ChannelName(channel), false});
    PxrChannelInfo details{};
    std::int32_t playerCount = 0;
    if (voice.GetChannelInfoById(channel.id, details, players, playerCount) != PXR_OK) continue;
    playerCount = std::clamp(playerCount, 0, kPlayerCapacity);
    for (std::int32_t p = 0; p < playerCount; ++p)
      lines.push_back({PlayerName(players[static_cast<std::size_t>(p)]), true});
  }
  return lines;
}

}  // namespace vantor::voiceclient
