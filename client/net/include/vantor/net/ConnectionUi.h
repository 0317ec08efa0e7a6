#pragma once
// What the connection needs from the user interface: the two dialogs it
// runs and the chat message window it feeds. The shell provides widgets;
// tests and automation provide scripted answers.

#include <QString>

#include <optional>

namespace vantor::net {

class ServerAddressList;

class ConnectionPrompts {
 public:
  virtual ~ConnectionPrompts() = default;
  // The server address dialog over `list`, modal. The chosen address, or
  // nullopt for Cancel. The dialog itself records a confirmed address in
  // the list (and its file).
  virtual std::optional<QString> AskServerAddress(ServerAddressList& list) = 0;
  // The password dialog, modal: the text entered, or nullopt for Cancel.
  virtual std::optional<QString> AskPassword() = 0;
};

// The message window of the chat.
class ChatMessageSink {
 public:
  virtual ~ChatMessageSink() = default;
  // Appends one text to the window's list (the oldest first).
  virtual void AddMessage(const QString& text) = 0;
  // Moves the window to (x, y) without resizing it, raises it above other
  // windows, shows it and repaints it.
  virtual void ShowAt(int x, int y) = 0;
};

// Answers nothing: the address dialog and the password dialog are cancelled.
class CancellingPrompts final : public ConnectionPrompts {
 public:
  std::optional<QString> AskServerAddress(ServerAddressList&) override { return std::nullopt; }
  std::optional<QString> AskPassword() override { return std::nullopt; }
};

// Keeps the messages without showing anything.
class DiscardingMessageSink final : public ChatMessageSink {
 public:
  void AddMessage(const QString&) override {}
  void ShowAt(int, int) override {}
};

}  // namespace vantor::net
