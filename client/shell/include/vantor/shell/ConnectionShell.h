#pragma once
// The client's server connection together with what it shows: the address
// and password dialogs, its message boxes, the chat message window, and an
// optional log line per track datagram on stderr.

#include <QObject>
#include <QPointer>

#include <memory>

#include "vantor/net/ClientConnection.h"
#include "vantor/net/ConnectionUi.h"
#include "vantor/shell/CMessageWnd.h"
#include "vantor/texts/Language.h"

namespace vantor {
class Notifier;
}

namespace vantor::shell {

// The dialogs on the screen, over `parent`.
class WidgetConnectionPrompts final : public net::ConnectionPrompts {
 public:
  WidgetConnectionPrompts(QWidget* parent, Language language);
  std::optional<QString> AskServerAddress(net::ServerAddressList& list) override;
  std::optional<QString> AskPassword() override;

 private:
  QPointer<QWidget> parent_;
  Language language_;
};

// Without a display nobody can answer: each dialog counts as cancelled, with
// a hint on stderr.
class UnattendedPrompts final : public net::ConnectionPrompts {
 public:
  std::optional<QString> AskServerAddress(net::ServerAddressList& list) override;
  std::optional<QString> AskPassword() override;
};

// The dialogs and message boxes when there is a display, stderr otherwise.
std::unique_ptr<net::ConnectionPrompts> DefaultConnectionPrompts(QWidget* parent, Language language);
std::unique_ptr<Notifier> DefaultConnectionNotifier(QWidget* parent);

// "--log-tracks" or VANTOR_LOG_TRACKS (any value but "0" or empty).
bool TrackLogRequested(bool option);

// One line per datagram and per connection state on stderr, so the live
// table can be followed without a window.
class TrackLog : public QObject {
  Q_OBJECT
 public:
  TrackLog(net::ClientConnection& connection, const model::CRivakDoc& document, QObject* parent = nullptr);

 private:
  void OnDatagram(int bytes, int records);
  void OnState(net::ConnectionState state);

  net::ClientConnection& connection_;
  const model::CRivakDoc& document_;
};

class ConnectionShell {
 public:
  struct Parts {
    std::unique_ptr<net::ConnectionPrompts> prompts;  // none: every dialog cancelled
    std::unique_ptr<Notifier> notifier;               // none: stderr
  };

  // `window` parents the dialogs and the message window. `fontSize` is the
  // client's label font size.
  ConnectionShell(model::CRivakDoc& document, Language language, int fontSize, net::ConnectionOptions options,
                  Parts parts, QWidget* window, bool logTracks);
  ~ConnectionShell();
  ConnectionShell(const ConnectionShell&) = delete;
  ConnectionShell& operator=(const ConnectionShell&) = delete;

  bool ConnectToServer() { return connection_->ConnectToServer(); }
  net::ClientConnection& connection() { return *connection_; }
  CMessageWnd& messageWindow() { return *messageWindow_; }

 private:
  std::unique_ptr<net::ConnectionPrompts> prompts_;
  std::unique_ptr<Notifier> notifier_;
  // Parented to the main window (so it stays above it); deleted here first.
  QPointer<CMessageWnd> messageWindow_;
  std::unique_ptr<net::ClientConnection> connection_;
  std::unique_ptr<TrackLog> log_;
};

}  // namespace vantor::shell
