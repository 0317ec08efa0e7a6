#include "vantor/net/ControlChannel.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

#include "vantor/protocol/ControlMessages.h"
#include "vantor/texts/QText.h"

namespace vantor::net {

HandshakeAssembler::Result HandshakeAssembler::Feed(std::span<const std::uint8_t> bytes) {
  if (done_) return Result::NeedMore;
  collected_.append(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  const auto* collected = reinterpret_cast<const std::uint8_t*>(collected_.constData());
  const std::span<const std::uint8_t> all(collected, static_cast<std::size_t>(collected_.size()));
  if (protocol::StartsWithServerFullNotice(all)) {
    done_ = true;
    return Result::ServerFull;
  }
  if (all.size() < protocol::kConfigBlockSize) return Result::NeedMore;
  std::copy_n(all.begin(), protocol::kConfigBlockSize, block_.begin());
  collected_.clear();
  done_ = true;
  return Result::BlockReady;
}

std::int32_t HandshakeAssembler::BlockVersion() const {
  const std::uint32_t value = static_cast<std::uint32_t>(block_[0]) | (static_cast<std::uint32_t>(block_[1]) << 8) |
                              (static_cast<std::uint32_t>(block_[2]) << 16) |
                              (static_cast<std::uint32_t>(block_[3]) << 24);
  return static_cast<std::int32_t>(value);
}

ChatReceipt ReadChatMessage(std::span<const std::uint8_t> bytes, protocol::CoalitionCode ownCoalition,
                            Language language) {
  ChatReceipt receipt;
  if (bytes.size() >= protocol::kChatRejectBytes) {
    receipt.kind = ChatReceipt::Kind::Invalid;
    receipt.text = QText(TextId::NetInvalidChat, language);
    return receipt;
  }
  const auto message = protocol::DecodeChatMessage(bytes);
  if (!message || !protocol::IsChatForCoalition(message->destination, ownCoalition)) return receipt;
  receipt.kind = ChatReceipt::Kind::Shown;
  receipt.text = DecodeChatText(bytes.subspan(1));
  return receipt;
}

QString DecodeChatText(std::span<const std::uint8_t> textBytes) {
  const auto* begin = reinterpret_cast<const char*>(textBytes.data());
  const void* nul = std::memchr(begin, 0, textBytes.size());
  const qsizetype length = nul ? static_cast<const char*>(nul) - begin : static_cast<qsizetype>(textBytes.size());
  const QByteArrayView view(begin, length);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(view);
  if (utf8.hasError()) return QString::fromLatin1(view);
  return text;
}

QByteArray EncodeChatText(const QString& text) {
  QByteArray bytes = text.toUtf8();
  if (bytes.size() <= static_cast<qsizetype>(protocol::kMaxChatTextLength)) return bytes;
  qsizetype cut = static_cast<qsizetype>(protocol::kMaxChatTextLength);
  // Back off over UTF-8 continuation bytes so no character is split.
  while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;
  bytes.truncate(cut);
  return bytes;
}

}  // namespace vantor::net
