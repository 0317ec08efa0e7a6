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

WidgetConnectionPrompts::WidgetConnectionPrompts(QWidget* parent, Language language)
    : parent_(parent), language_(language) {}

std::optional<QString> WidgetConnectionPrompts::AskServerAddress(net::ServerAddressList& list) {
  return CServerAddressDlg::Run(list, language_, parent_.data());
}

std::optional<QString> WidgetConnectionPrompts::AskPassword() { return CPasswordDlg::Run(language_, parent_.data()); }

std::optional<QString> UnattendedPrompts::AskServerAddress(net::ServerAddressList&) {
  std::fputs("Vantor: no display to ask for the server address on; start with --server HOST\n", stderr);
  return std::nullopt;
}

std::optional<QString> UnattendedPrompts::AskPassword() {
  std::fputs("Vantor: no display to ask for the password on; start with --password PW\n", stderr);
  return std::nullopt;
}

std::unique_ptr<net::ConnectionPrompts> DefaultConnectionPrompts(QWidget* parent, Language language) {
  if (!HasInteractiveDisplay()) return std::make_unique<UnattendedPrompts>();
  return std::make_unique<WidgetConnectionPrompts>(parent, language);
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
  connect(&connection, &net::ClientConnection::datagramApplied, this, &TrackLog::OnDatagram);
  connect(&connection, &net::ClientConnection::stateChanged, this, &TrackLog::OnState);
}

void TrackLog::OnDatagram(int bytes, int records) {
  std::size_t contacts = 0;
  std::size_t friendly = 0;
  {
    std::lock_guard<model::ContactLock> guard(document_.contactLock());
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
    : prompts_(std::move(parts.prompts)), notifier_(std::move(parts.notifier)) {
  if (!prompts_) prompts_ = std::make_unique<net::CancellingPrompts>();
  if (!notifier_) notifier_ = std::make_unique<StderrNotifier>(kProgram);
  messageWindow_ = new CMessageWnd(language, fontSize, window);
  connection_ = std::make_unique<net::ClientConnection>(document, *prompts_, *notifier_, *messageWindow_, language,
                                                        std::move(options));
  if (logTracks) log_ = std::make_unique<TrackLog>(*connection_, document);
}

ConnectionShell::~ConnectionShell() {
  log_.reset();
  connection_.reset();
  delete messageWindow_.data();
}

}  // namespace vantor::shell
