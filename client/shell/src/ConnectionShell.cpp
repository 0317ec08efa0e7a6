#include "vantor/shell/ConnectionShell.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string_view>

#include "vantor/platform/Display.h"
#include "vantor/platform/Notifier.h"
#include "vantor/shell/CMessageWnd.h"
#include "vantor/shell/CPasswordDlg.h"
#include "vantor/shell/CServerAddressDlg.h"

namespace vantor::shell {
namespace {
const QString kProgram = QStringLiteral("Vantor");
}  // namespace

WidgetAddressPrompt::WidgetAddressPrompt(QWidget* parent, Language language) : parent_(parent), language_(language) {}

std::optional<QString> WidgetAddressPrompt::AskServerAddress(net::ServerAddressList& list) {
  return CServerAddressDlg::Run(list, language_, parent_.data());
}

std::optional<QString> UnattendedAddressPrompt::AskServerAddress(net::ServerAddressList&) {
  std::fputs("Vantor: no display to ask for the server address on; start with --server HOST\n", stderr);
  return std::nullopt;
}

std::unique_ptr<net::ServerAddressPrompt> DefaultAddressPrompt(QWidget* parent, Language language) {
  if (!HasInteractiveDisplay()) return std::make_unique<UnattendedAddressPrompt>();
  return std::make_unique<WidgetAddressPrompt>(parent, language);
}

std::unique_ptr<Notifier> DefaultConnectionNotifier(QWidget* parent) {
  return NotifierForDisplay(kProgram, QStringLiteral("VANTOR"), parent);
}

bool TrackLogRequested(bool option) {
  if (option) return true;
  const char* value = std::getenv("VANTOR_LOG_TRACKS");
  return value != nullptr && *value != '\0' && std::string_view(value) != "0";
}

TrackLog::TrackLog(net::ClientConnection& connection, const model::CRivakDoc& document, QObject* parent)
    : QObject(parent), connection_(connection), document_(document) {
  connect(&connection, &net::ClientConnection::DatagramApplied, this, &TrackLog::OnDatagram);
  connect(&connection, &net::ClientConnection::StateChanged, this, &TrackLog::OnState);
}

void TrackLog::OnDatagram(int bytes, int records) {
  std::size_t contacts = 0;
  std::size_t friendly = 0;
  {
    std::lock_guard<model::ContactLock> guard(document_.ContactTableLock());
    for (const model::CContact& contact : document_.Contacts()) {
      ++contacts;
      if (contact.friendly) ++friendly;
    }
  }
  std::fprintf(stderr, "Vantor: datagram of %d bytes, %d records; table %zu contacts, %zu friendly\n", bytes, records,
               contacts, friendly);
  std::fflush(stderr);
}

void TrackLog::OnState(net::ConnectionState state) {
  QString line = QStringLiteral("Vantor: connection to %1: %2")
                     .arg(connection_.ServerAddress(), QString::fromLatin1(net::ConnectionStateName(state)));
  if (state == net::ConnectionState::Joined) {
    line += connection_.OwnCoalition() == protocol::CoalitionCode::Blue ? QStringLiteral(" (Blue)")
                                                                        : QStringLiteral(" (Red)");
  }
  std::fprintf(stderr, "%s\n", qPrintable(line));
  std::fflush(stderr);
}

ConnectionShell::ConnectionShell(model::CRivakDoc& document, Language language, int fontSize,
                                 net::ConnectionOptions options, Parts parts, QWidget* window, bool logTracks)
    : window_(window),
      language_(language),
      passwordDialogAllowed_(parts.passwordDialog),
      addressPrompt_(std::move(parts.addressPrompt)),
      notifier_(std::move(parts.notifier)) {
  if (!addressPrompt_) addressPrompt_ = std::make_unique<net::CancellingAddressPrompt>();
  if (!notifier_) notifier_ = std::make_unique<StderrNotifier>(kProgram);
  messageWindow_ = new CMessageWnd(language, fontSize, window);
  connection_ =
      std::make_unique<net::ClientConnection>(document, *addressPrompt_, *notifier_, language, std::move(options));
  connect(connection_.get(), &net::ClientConnection::ChatMessageShown, messageWindow_.data(),
          &CMessageWnd::ShowMessage);
  // Queued: the dialog never opens inside the socket read that asked for it.
  connect(connection_.get(), &net::ClientConnection::PasswordNeeded, this, &ConnectionShell::AskPassword,
          Qt::QueuedConnection);
  connect(connection_.get(), &net::ClientConnection::StateChanged, this, &ConnectionShell::OnStateChanged);
  if (logTracks) log_ = std::make_unique<TrackLog>(*connection_, document);
}

ConnectionShell::~ConnectionShell() {
  ClosePasswordDialog();
  log_.reset();
  connection_.reset();
  delete messageWindow_.data();
}

CPasswordDlg* ConnectionShell::PasswordDialog() const { return passwordDialog_.data(); }

void ConnectionShell::AskPassword() {
  // A question the connection has withdrawn meanwhile needs no answer.
  if (connection_->State() != net::ConnectionState::LoggingOn || passwordDialog_) return;
  if (!passwordDialogAllowed_) {
    std::fputs("Vantor: no display to ask for the password on; start with --password PW\n", stderr);
    connection_->CancelLogOn();
    return;
  }
  auto* dialog = new CPasswordDlg(language_, window_.data());
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  passwordDialog_ = dialog;
  connect(dialog, &QDialog::finished, this, [this, dialog](int result) {
    if (passwordDialog_ != dialog) return;
    passwordDialog_.clear();
    if (result == QDialog::Accepted)
      connection_->SubmitPassword(dialog->Password());
    else
      connection_->CancelLogOn();
  });
  dialog->open();
}

void ConnectionShell::OnStateChanged(net::ConnectionState state) {
  if (state != net::ConnectionState::LoggingOn) ClosePasswordDialog();
}

void ConnectionShell::ClosePasswordDialog() {
  CPasswordDlg* dialog = passwordDialog_.data();
  if (dialog == nullptr) return;
  // Closing answers nothing: the question is gone with its connection.
  passwordDialog_.clear();
  dialog->reject();
}

}  // namespace vantor::shell
