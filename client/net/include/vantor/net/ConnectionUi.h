#pragma once
// The one question the connection asks synchronously: the server address,
// before any socket exists. Everything else between the connection and the
// user interface travels as Qt signals and slots (see ClientConnection).

#include <QString>

#include <optional>

namespace vantor::net {

class ServerAddressList;

class ServerAddressPrompt {
 public:
  virtual ~ServerAddressPrompt() = default;
  // The server address dialog over `list`, modal. The chosen address, or
  // nullopt for Cancel. The dialog itself records a confirmed address in
  // the list (and its file).
  virtual std::optional<QString> AskServerAddress(ServerAddressList& list) = 0;
};

// Nobody answers: the address dialog counts as cancelled.
class CancellingAddressPrompt final : public ServerAddressPrompt {
 public:
  std::optional<QString> AskServerAddress(ServerAddressList&) override { return std::nullopt; }
};

}  // namespace vantor::net
