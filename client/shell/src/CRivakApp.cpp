#include "vantor/shell/CRivakApp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QToolBar>

#include "vantor/platform/Display.h"
#include "vantor/platform/Notifier.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/record/RecordReader.h"
#include "vantor/record/ReplayController.h"
#include "vantor/record/ReplayPlayer.h"
#include "vantor/record/SessionRecorder.h"
#include "vantor/scope/CRivakView.h"
#include "vantor/shell/CInfoView.h"
#include "vantor/shell/CMainFrame.h"
#include "vantor/shell/CMessageWnd.h"
#include "vantor/shell/ConnectionShell.h"
#include "vantor/shell/ConsoleStyle.h"
#include "vantor/shell/ReplayTransportBar.h"
#include "vantor/texts/QText.h"

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

  if (IsReplay() && !OpenReplay()) return false;
  document_ = std::make_unique<model::CRivakDoc>(
      state_, replayClock_ ? record::SecondsFrom(replayClock_) : model::SystemSecondsClock());
  if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance())) ApplyConsoleStyle(*application);
  mainWindow_ = std::make_unique<CMainFrame>(*this);
  mainWindow_->setWindowFlag(Qt::FramelessWindowHint, true);
  mainWindow_->setGeometry(MainWindowGeometry(platform_.workArea(), smallScreen_));
  mainWindow_->show();

  if (IsReplay()) {
    StartReplay();
  } else {
    ConnectionShell::Parts parts;
    if (platform_.addressPrompt) parts.addressPrompt = platform_.addressPrompt(mainWindow_.get(), UiLanguage());
    if (platform_.connectionNotifier) parts.notifier = platform_.connectionNotifier(mainWindow_.get());
    parts.passwordDialog = platform_.passwordDialog;
    net::ConnectionOptions connection = options_.connection;
    connection.acceptAnyTrackSender = connection.acceptAnyTrackSender || settings_.acceptAnyTrackSender;
    connection_ = std::make_unique<ConnectionShell>(*document_, UiLanguage(), settings_.fontSize, std::move(connection),
                                                    std::move(parts), mainWindow_.get(), options_.logTracks);
    scope::CRivakView* scope = mainWindow_->Scope();
    QObject::connect(&connection_->Connection(), &net::ClientConnection::ScopeCentringRequested, scope,
                     &scope::CRivakView::OnCentringCommand);
    StartRecorder();
    ConnectToServer();
  }

  mainWindow_->setGeometry(MainWindowGeometry(platform_.workArea(), smallScreen_));
  mainWindow_->repaint();

  platform_.sound->PlayToEnd(kStartSound);
  return true;
}

void CRivakApp::ConnectToServer() {
  if (connection_) connection_->ConnectToServer();
}

int CRivakApp::UsableScreenWidth() const { return MainWindowGeometry(platform_.workArea(), smallScreen_).width(); }

std::vector<std::filesystem::path> CRivakApp::DataFolders() const {
  QStringList folders = options_.dataFolders;
  if (folders.isEmpty()) folders = {QDir::currentPath(), QCoreApplication::applicationDirPath()};
  std::vector<std::filesystem::path> paths;
  for (const QString& folder : folders) paths.emplace_back(folder.toStdU16String());
  return paths;
}

int CRivakApp::ExitInstance() {
  if (mainWindow_) mainWindow_->SaveDrawingOnExit();
  platform_.sound->PlayToEnd(kExitSound);
  RestoreTaskBar();
  recorder_.reset();
  connection_.reset();
  replayController_.reset();
  if (mainWindow_) mainWindow_->hide();
  return 0;
}

Notifier& CRivakApp::Messages() {
  if (!messages_) {
    if (platform_.connectionNotifier) messages_ = platform_.connectionNotifier(mainWindow_.get());
    if (!messages_) messages_ = std::make_unique<StderrNotifier>(QStringLiteral("Vantor"));
  }
  return *messages_;
}

bool CRivakApp::OpenReplay() {
  const QString& file = options_.replayFile;
  record::OpenFailure failure;
  replayReader_ = record::RecordReader::Open(file.toStdU16String(), failure);
  if (!replayReader_) {
    QString message;
    switch (failure.kind) {
      case record::OpenFailure::Kind::CannotRead:
        message = QText(TextId::ReplayCannotOpen, UiLanguage()).arg(file, QString::fromLocal8Bit(failure.reason));
        break;
      case record::OpenFailure::Kind::NotARecording:
        message = QText(TextId::ReplayNotARecording, UiLanguage()).arg(file);
        break;
      case record::OpenFailure::Kind::NewerVersion:
        message =
            QText(TextId::ReplayNewerVersion, UiLanguage()).arg(file).arg(failure.version).arg(record::kFormatVersion);
        break;
    }
    Messages().ShowError(message);
    return false;
  }
  replayClock_ = std::make_shared<record::ReplayClock>(replayReader_->Header().startMs);
  return true;
}

void CRivakApp::StartReplay() {
  scope::CRivakView* scope = mainWindow_->Scope();
  replayMessages_ = new CMessageWnd(UiLanguage(), settings_.fontSize, mainWindow_.get());
  record::ReplayEvents events;
  events.centring = [scope = QPointer<scope::CRivakView>(scope)](int command) {
    if (scope) scope->OnCentringCommand(command);
  };
  events.chat = [this](const QString& text) {
    if (replayMessages_) replayMessages_->ShowMessage(text);
  };
  replayPlayer_ =
      std::make_unique<record::ReplayPlayer>(*replayReader_, *document_, replayClock_, UiLanguage(), std::move(events));
  replayController_ = std::make_unique<record::ReplayController>(*replayReader_, *replayPlayer_);
  mainWindow_->InfoView()->SetClock(record::SecondsFrom(replayClock_));
  mainWindow_->setWindowTitle(
      QText(TextId::ReplayWindowTitle, UiLanguage()).arg(QFileInfo(options_.replayFile).fileName()));

  auto* toolBar = new QToolBar(mainWindow_.get());
  toolBar->setObjectName("replayToolBar");
  toolBar->setMovable(false);
  toolBar->addWidget(new ReplayTransportBar(*replayController_, UiLanguage(), toolBar));
  mainWindow_->addToolBar(Qt::BottomToolBarArea, toolBar);
  toolBar->show();  // the window is already shown

  if (replayReader_->Truncated()) {
    Messages().ShowInformation(
        QText(TextId::ReplayTruncated, UiLanguage()).arg(record::FormatReplayTime(replayReader_->DurationMs())));
  }
  QObject::connect(replayController_.get(), &record::ReplayController::DamageFound, mainWindow_.get(),
                   [this](std::uint32_t positionMs) {
                     Messages().ShowInformation(
                         QText(TextId::ReplayTruncated, UiLanguage()).arg(record::FormatReplayTime(positionMs)));
                   });
  replayController_->SeekTo(options_.seekMs);
  if (options_.replayPlays) replayController_->Play();
}

void CRivakApp::StartRecorder() {
  recorder_ = std::make_unique<record::SessionRecorder>(connection_->Connection(), *document_, UiLanguage());
  QObject::connect(recorder_.get(), &record::SessionRecorder::Failed, recorder_.get(),
                   [this](const QString& message) { Messages().ShowError(message); });
  if (!options_.recordFile.isEmpty()) StartRecording(options_.recordFile);
}

bool CRivakApp::StartRecording(const QString& file) {
  if (!recorder_) return false;
  QString error;
  if (recorder_->Start(file, error)) return true;
  Messages().ShowError(error);
  return false;
}

void CRivakApp::StopRecording() {
  if (recorder_) recorder_->Stop();
}

bool CRivakApp::IsRecording() const { return recorder_ && recorder_->IsRecording(); }

CMessageWnd* CRivakApp::ReplayMessageWindow() { return replayMessages_.data(); }

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
