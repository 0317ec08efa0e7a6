#pragma once
// What the client makes of the bytes on its control connection: first the
// ConfigBlock, collected across reads (or the server-full notice), then one
// chat message per read.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>

#include "vantor/protocol/ConfigBlock.h"
#include "vantor/protocol/Constants.h"
#include "vantor/texts/Language.h"

namespace vantor::net {

class HandshakeAssembler {
 public:
  enum class Result {
    NeedMore,    // fewer than 432 bytes so far
    ServerFull,  // the collected bytes begin with "FIN"
    BlockReady,  // block() holds the first 432 bytes; later bytes are dropped
  };

  // Adds the bytes of one read. After ServerFull or BlockReady the assembler
  // takes nothing more.
  Result Feed(std::span<const std::uint8_t> bytes);
  bool Done() const { return done_; }
  std::size_t Collected() const { return collected_.size(); }
  // The raw block; valid after BlockReady.
  const protocol::ConfigBlockBytes& Block() const { return block_; }
  // The version field of the raw block.
  std::int32_t BlockVersion() const;

 private:
  QByteArray collected_;
  protocol::ConfigBlockBytes block_{};
  bool done_ = false;
};

// One read of the control connection after the handshake.
struct ChatReceipt {
  enum class Kind { Shown, Invalid, NotForUs };
  Kind kind = Kind::NotForUs;
  QString text;  // Shown: the message; Invalid: "Receive a invalide Msg"
};

// Reads one control-connection read as a chat message for a client of
// `ownCoalition`: 255 bytes or more is invalid; otherwise the message is
// shown when it is addressed to the client's coalition or to everyone.
ChatReceipt ReadChatMessage(std::span<const std::uint8_t> bytes, protocol::CoalitionCode ownCoalition,
                            Language language);

// Chat text on the wire is UTF-8; bytes that are not UTF-8 are taken as
// Latin-1, as older peers write them. The text ends at its first NUL.
QString DecodeChatText(std::span<const std::uint8_t> textBytes);
// At most kMaxChatTextLength bytes of UTF-8, cut between characters.
QByteArray EncodeChatText(const QString& text);

}  // namespace vantor::net
