#include "vantor/shell/CRivakApp.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>

#include "vantor/platform/Display.h"
#include "vantor/platform/Notifier.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/scope/CRivakView.h"
#include "vantor/shell/CMainFrame.h"
#include "vantor/shell/ConnectionShell.h"

namespace vantor::shell {

bool IsSmallScreen(const QSize& fullScreenClient) {
  return fullScreenClient.width() < kSmallScreenLimit.width() || fullScreenClient.height() < kSmallScreenLimit.height();
}

QRect MainWindowGeometry(const QRect& workArea, bool smallScreen) {
  if (smallScreen) return QRect(QPoint(0, 0), kSmallScreenLimit);
  // Right and bottom edges as exclusive coordinates, measured from (0, 0).
  return QRect(0, 0, workArea.x() + workArea.width(), workArea.y() + workArea.height());
}

ShellPlatform ShellPlatform::Default() {
  ShellPlatform platform;
  platform.sound = std::make_unique<QtSoundPlayer>();
  platform.taskBar = CreatePlatformTaskBar();
  platform.workArea = [] {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(QPoint(0, 0), kSmallScreenLimit);
  };
  platform.addressPrompt = DefaultAddressPrompt;
  platform.connectionNotifier = DefaultConnectionNotifier;
  platform.passwordDialog = HasInteractiveDisplay();
  return platform;
}

CRivakApp::CRivakApp(StartupOptions options, ShellPlatform platform)
    : options_(std::move(options)), platform_(std::move(platform)) {
  if (!platform_.sound || !options_.sounds) platform_.sound = std::make_unique<SilentSoundPlayer>();
  if (!platform_.taskBar) platform_.taskBar = std::make_unique<NoTaskBar>();
  if (!platform_.workArea) platform_.workArea = [] { return QRect(QPoint(0, 0), kSmallScreenLimit); };
}

CRivakApp::~CRivakApp() = default;

bool CRivakApp::InitInstance() {
  settings_.invertCallsign = false;
  state_.isBlue = true;
  // Qt's sockets need no library start-up, so there is no failure to report
  // here.

  if (IsSmallScreen(platform_.workArea().size())) {
    SaveAndClearTaskBar();
    smallScreen_ = true;
  }

  store_ = SettingsStore::Open(model::kClientSettingsApplication, options_.settingsFile);
  settings_ = model::ClientSettings::Load(*store_);
  // The contact lock lives in state_, which exists from construction on.

  document_ = std::make_unique<model::CRivakDoc>(state_);
  mainWindow_ = std::make_unique<CMainFrame>(*this);
  mainWindow_->setWindowFlag(Qt::FramelessWindowHint, true);
  mainWindow_->setGeometry(MainWindowGeometry(platform_.workArea(), smallScreen_));
  mainWindow_->show();

  ConnectionShell::Parts parts;
  if (platform_.addressPrompt) parts.addressPrompt = platform_.addressPrompt(mainWindow_.get(), UiLanguage());
  if (platform_.connectionNotifier) parts.notifier = platform_.connectionNotifier(mainWindow_.get());
  parts.passwordDialog = platform_.passwordDialog;
  connection_ = std::make_unique<ConnectionShell>(*document_, UiLanguage(), settings_.fontSize, options_.connection,
                                                  std::move(parts), mainWindow_.get(), options_.logTracks);
  scope::CRivakView* scope = mainWindow_->Scope();
  QObject::connect(&connection_->Connection(), &net::ClientConnection::ScopeCentringRequested, scope,
                   &scope::CRivakView::OnCentringCommand);
  ConnectToServer();

  mainWindow_->setGeometry(MainWindowGeometry(platform_.workArea(), smallScreen_));
  mainWindow_->repaint();

  platform_.sound->PlayToEnd(kStartSound);
  return true;
}

void CRivakApp::ConnectToServer() {
  if (connection_) connection_->ConnectToServer();
}

std::vector<std::filesystem::path> CRivakApp::DataFolders() const {
  QStringList folders = options_.dataFolders;
  if (folders.isEmpty()) folders = {QDir::currentPath(), QCoreApplication::applicationDirPath()};
  std::vector<std::filesystem::path> paths;
  for (const QString& folder : folders) paths.emplace_back(folder.toStdU16String());
  return paths;
}

int CRivakApp::ExitInstance() {
  platform_.sound->PlayToEnd(kExitSound);
  RestoreTaskBar();
  connection_.reset();
  if (mainWindow_) mainWindow_->hide();
  return 0;
}

void CRivakApp::SaveAndClearTaskBar() {
  savedTaskBarState_ = platform_.taskBar->State();
  taskBarSaved_ = true;
  platform_.taskBar->SetState(0);  // neither auto-hide nor always on top
}

void CRivakApp::RestoreTaskBar() {
  // Only a state that was saved is put back, whatever the screen size is now.
  if (!taskBarSaved_) return;
  platform_.taskBar->SetState(savedTaskBarState_);
  taskBarSaved_ = false;
}

}  // namespace vantor::shell
