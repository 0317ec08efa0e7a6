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

class CPasswordDlg;

// The server address dialog on the screen, over `parent`.
class WidgetAddressPrompt final : public net::ServerAddressPrompt {
 public:
  WidgetAddressPrompt(QWidget* parent, Language language);
  std::optional<QString> AskServerAddress(net::ServerAddressList& list) override;

 private:
  QPointer<QWidget> parent_;
  Language language_;
};

// Without a display nobody can answer: the dialog counts as cancelled, with
// a hint on stderr.
class UnattendedAddressPrompt final : public net::ServerAddressPrompt {
 public:
  std::optional<QString> AskServerAddress(net::ServerAddressList& list) override;
};

// The dialog and message boxes when there is a display, stderr otherwise.
std::unique_ptr<net::ServerAddressPrompt> DefaultAddressPrompt(QWidget* parent, Language language);
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

class ConnectionShell : public QObject {
  Q_OBJECT
 public:
  struct Parts {
    std::unique_ptr<net::ServerAddressPrompt> addressPrompt;  // none: the address dialog counts as cancelled
    std::unique_ptr<Notifier> notifier;                       // none: stderr
    // Someone can answer the password dialog. Without, a log-on that needs
    // a password gives up with a hint on stderr.
    bool passwordDialog = false;
  };

  // `window` parents the dialogs and the message window. `fontSize` is the
  // client's label font size.
  ConnectionShell(model::CRivakDoc& document, Language language, int fontSize, net::ConnectionOptions options,
                  Parts parts, QWidget* window, bool logTracks);
  ~ConnectionShell() override;
  ConnectionShell(const ConnectionShell&) = delete;
  ConnectionShell& operator=(const ConnectionShell&) = delete;

  bool ConnectToServer() { return connection_->ConnectToServer(); }
  net::ClientConnection& Connection() { return *connection_; }
  CMessageWnd& MessageWindow() { return *messageWindow_; }
  // The password dialog while the log-on waits for it, or nullptr.
  CPasswordDlg* PasswordDialog() const;

 private:
  // The connection asked for a password: the dialog opens over the window
  // without blocking, and its OK or Cancel answers the connection.
  void AskPassword();
  void OnStateChanged(net::ConnectionState state);
  void ClosePasswordDialog();

  QPointer<QWidget> window_;
  Language language_;
  bool passwordDialogAllowed_;
  std::unique_ptr<net::ServerAddressPrompt> addressPrompt_;
  std::unique_ptr<Notifier> notifier_;
  // Parented to the main window (so they stay above it); deleted here first.
  QPointer<CMessageWnd> messageWindow_;
  QPointer<CPasswordDlg> passwordDialog_;
  std::unique_ptr<net::ClientConnection> connection_;
  std::unique_ptr<TrackLog> log_;
};

}  // namespace vantor::shell
