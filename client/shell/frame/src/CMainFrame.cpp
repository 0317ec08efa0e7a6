#include "vantor/shell/CMainFrame.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QFileDialog>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>

#include "vantor/model/Airfields.h"
#include "vantor/net/ClientConnection.h"
#include "vantor/platform/Display.h"
#include "vantor/platform/Notifier.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/scope/CRivakView.h"
#include "vantor/shell/CAboutDlg.h"
#include "vantor/shell/CAssignCallsignDlg.h"
#include "vantor/shell/CButtonView.h"
#include "vantor/shell/CDisplaySettingsDlg.h"
#include "vantor/shell/CExitDlg.h"
#include "vantor/shell/CILSView.h"
#include "vantor/shell/CInfoView.h"
#include "vantor/shell/CRivakApp.h"
#include "vantor/shell/CSendMsgDlg.h"
#include "vantor/shell/CVoiceWnd.h"
#include "vantor/shell/ConnectionShell.h"
#include "vantor/shell/FrameLayout.h"
#include "vantor/shell/MainMenus.h"
#include "vantor/shell/ShellSplitter.h"
#include "vantor/texts/QText.h"

namespace vantor::shell {
namespace {

const QString kProgram = QStringLiteral("Vantor");

}  // namespace

CMainFrame::CMainFrame(CRivakApp& app, QWidget* parent)
    : QMainWindow(parent),
      app_(app),
      context_{*app.Document(), app.Settings(), *app.Store(), app.UiLanguage()},
      screenWidth_(app.UsableScreenWidth()) {
  setObjectName("mainFrame");
  setWindowTitle(kProgram);
  BuildPanes();
  BuildMenus(context_.language);
  BuildAccelerators(context_.language);
  scope_->setFocus();  // the space bar is the scope's
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::BuildPanes() {
  outer_ = new ShellSplitter(Qt::Horizontal, this);
  outer_->setObjectName("outerSplitter");
  left_ = new ShellSplitter(Qt::Vertical, outer_);
  left_->setObjectName("leftSplitter");
  right_ = new ShellSplitter(Qt::Vertical, outer_);
  right_->setObjectName("rightSplitter");

  scope::CRivakView::Environment environment{context_.doc, context_.settings, &context_.store, app_.DataFolders()};
  scope_ = new scope::CRivakView(std::move(environment), left_);
  scope_->resize(kScopeCreatedSize);
  ilsView_ = new CILSView(context_, scope_, left_);
  ilsView_->setMinimumSize(0, 0);
  left_->addWidget(ilsView_);
  left_->addWidget(scope_);

  // An empty text pane of no height above the panel, as the layout has it.
  textPane_ = new QPlainTextEdit(right_);
  textPane_->setObjectName("textPane");
  textPane_->setMinimumSize(0, 0);
  textPane_->setFrameStyle(QFrame::NoFrame);
  buttonView_ = new CButtonView(context_, scope_, right_);
  buttonView_->SetSoundPlayer(&app_.Sound());  // the program's, silent with --no-sound
  buttonView_->resize(kButtonViewCreatedSize);
  buttonView_->setMinimumHeight(kButtonPanelHeight);
  infoView_ = new CInfoView(context_, scope_, buttonView_, right_);
  infoView_->resize(kInfoViewCreatedSize);
  right_->addWidget(textPane_);
  right_->addWidget(buttonView_);
  right_->addWidget(infoView_);

  outer_->addWidget(left_);
  outer_->addWidget(right_);
  // The right-hand column may be narrower than its panes would like: a
  // collapsed column is a thin strip.
  right_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  // Growing the window widens the right-hand column and lengthens the
  // lowest pane of each column, as a static splitter re-lays out.
  outer_->setStretchFactor(0, 0);
  outer_->setStretchFactor(1, 1);
  left_->setStretchFactor(0, 0);
  left_->setStretchFactor(1, 1);
  right_->setStretchFactor(0, 0);
  right_->setStretchFactor(1, 0);
  right_->setStretchFactor(2, 1);
  setCentralWidget(outer_);
  ApplyColumns(false);
  ApplyRows();

  connect(scope_, &scope::CRivakView::CentringChanged, this, &CMainFrame::OnCentringChanged);
  connect(scope_, &scope::CRivakView::MapDataMissing, this, &CMainFrame::ReportBrokenInstallation);
  connect(scope_, &scope::CRivakView::CallsignRequested, this,
          [this](int contactId) { RunAssignCallsign(context_.doc, contactId, context_.language, this); });
  // A range step elsewhere (wheel, column expanded): the panel shows its
  // picture; the panel follows the scope's legend and repaints by itself.
  connect(scope_, &scope::CRivakView::RangeChanged, this,
          [this](unsigned rangeKm, int) { buttonView_->ShowRange(static_cast<int>(rangeKm)); });
  connect(buttonView_, &CButtonView::ExitRequested, this, &CMainFrame::RequestExit);
  connect(buttonView_, &CButtonView::IlsViewShown, this, [this](bool shown) {
    ilsView_->SetActive(shown);
    ShowIlsView(shown);
  });
  connect(buttonView_, &CButtonView::DisplaySettingsRequested, this, [this] { OpenDisplaySettings(true); });
  connect(buttonView_, &CButtonView::VoiceWindowShowRequested, this, &CMainFrame::VoiceWindowShowRequested);
  connect(infoView_, &CInfoView::ExpandRequested, this, &CMainFrame::ExpandRightColumn);
}

void CMainFrame::ApplyColumns(bool rightColumnCollapsed) {
  const int column = std::max(0, ScopeColumnWidth(screenWidth_, rightColumnCollapsed));
  left_->setMinimumWidth(column);
  outer_->SetPaneSize(0, column);
}

void CMainFrame::ApplyRows() {
  left_->SetPaneSize(0, ilsView_->minimumHeight() > 0 ? ilsView_->minimumHeight() : 0);
  right_->SetPaneSize(0, 0);
  right_->SetPaneSize(1, kButtonPanelHeight);
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // The panes get their measures once the window has its size.
  if (laidOut_) return;
  laidOut_ = true;
  ApplyColumns(false);
  ApplyRows();
  CreateVoiceWindow();
}

void CMainFrame::CreateVoiceWindow() {
  // Created hidden with the scope's first showing; shown at once when the
  // settings ask for it.
  voiceWindow_ = new CVoiceWnd(context_, nullptr, nullptr, this);
  connect(this, &CMainFrame::VoiceWindowShowRequested, voiceWindow_,
          [this] { voiceWindow_->ShowAt(kVoiceWindowPlace.x(), kVoiceWindowPlace.y()); });
  voiceWindow_->ApplyShowSetting(context_.settings.showVoiceWindow);
}

QAction* CMainFrame::AddCommand(QMenu* menu, const QString& text, int command) {
  QAction* action = menu->addAction(text);
  action->setData(command);
  return action;
}

void CMainFrame::BuildMenus(Language language) {
  airports_ = menuBar()->addMenu(QText(TextId::ScopeMenuAirports, language));
  airports_->setObjectName("airportsMenu");
  for (const model::AirportMenuEntry& entry : model::kAirportsMenuEntries) {
    QAction* action = AddCommand(airports_, QString::fromLatin1(entry.text), entry.menuId);
    action->setCheckable(true);
    const int command = entry.menuId;
    connect(action, &QAction::triggered, this, [this, action, command] {
      // The check mark is the scope's to move.
      action->setChecked(!action->isChecked());
      scope_->OnCentringCommand(command);
    });
    airportActions_[command] = action;
  }
  airports_->addSeparator();
  recordAction_ = AddCommand(airports_, QText(TextId::RecordMenuStart, language), kRecordCommand);
  connect(recordAction_, &QAction::triggered, this, &CMainFrame::ChooseRecordingFile);
  stopRecordingAction_ = AddCommand(airports_, QText(TextId::RecordMenuStop, language), kStopRecordingCommand);
  connect(stopRecordingAction_, &QAction::triggered, this, [this] { app_.StopRecording(); });
  QAction* exit = AddCommand(airports_, QText(TextId::ScopeMenuExit, language), kExitCommand);
  connect(exit, &QAction::triggered, this, &CMainFrame::RequestExit);
  connect(airports_, &QMenu::aboutToShow, this, &CMainFrame::PrepareAirportsMenu);

  radars_ = menuBar()->addMenu(QText(TextId::ScopeMenuRadars, language));
  radars_->setObjectName("radarsMenu");
  radars_->addSeparator();
  connect(radars_, &QMenu::aboutToShow, this, &CMainFrame::PrepareRadarsMenu);

  help_ = menuBar()->addMenu(QText(TextId::ScopeMenuHelp, language));
  help_->setObjectName("helpMenu");
  QAction* about = AddCommand(help_, QText(TextId::ScopeMenuAbout, language), kAboutCommand);
  connect(about, &QAction::triggered, this, &CMainFrame::ShowAbout);
}

void CMainFrame::BuildAccelerators(Language language) {
  auto addAccelerator = [this](const QList<QKeySequence>& keys, auto slot) {
    auto* action = new QAction(this);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
    return action;
  };
  pasteAction_ = addAccelerator(AcceleratorKeys(language, FrameCommand::Paste), &CMainFrame::OpenSendMessage);
  undoAction_ = addAccelerator(AcceleratorKeys(language, FrameCommand::Undo), &CMainFrame::UndoDrawing);
  settingsAction_ = addAccelerator({QKeySequence(Qt::Key_F2)}, [this] { OpenDisplaySettings(false); });
  // The window has no caption; the platform's quit keys ask as Exit does.
  QAction* quit = addAccelerator(QKeySequence::keyBindings(QKeySequence::Quit), &CMainFrame::RequestExit);
  quit->setShortcutContext(Qt::ApplicationShortcut);
}

QAction* CMainFrame::ActionForCommand(int command) const {
  if (const auto found = airportActions_.find(command); found != airportActions_.end()) return found->second;
  if (const auto found = radarActions_.find(command); found != radarActions_.end()) return found->second;
  for (QMenu* menu : {airports_, radars_, help_}) {
    for (QAction* action : menu->actions())
      if (!action->isSeparator() && action->data().toInt() == command) return action;
  }
  return nullptr;
}

void CMainFrame::PrepareAirportsMenu() {
  const model::ClientState& state = app_.State();
  const auto greyed = GreyedAirportEntries(state.configBlock, state.SideIndex());
  for (std::size_t i = 0; i < greyed.size(); ++i) {
    QAction* action = airportActions_.at(model::kAirportMenuFirstId + static_cast<int>(i));
    action->setEnabled(!greyed[i]);
  }
  recordAction_->setVisible(!app_.IsReplay());
  stopRecordingAction_->setVisible(!app_.IsReplay());
  recordAction_->setEnabled(!app_.IsRecording());
  stopRecordingAction_->setEnabled(app_.IsRecording());
  scope_->setFocus();
}

void CMainFrame::ChooseRecordingFile() {
  const QString suggested = QDateTime::currentDateTime().toString(QStringLiteral("'mission-'yyyyMMdd-HHmm'.vrec'"));
  const QString file = QFileDialog::getSaveFileName(this, QText(TextId::RecordFileDialogTitle, context_.language),
                                                    suggested, QText(TextId::RecordFileFilter, context_.language));
  if (!file.isEmpty()) app_.StartRecording(file);
}

void CMainFrame::PrepareRadarsMenu() {
  for (const auto& [command, action] : radarActions_) {
    radars_->removeAction(action);
    action->deleteLater();
  }
  radarActions_.clear();
  for (const RadarMenuEntry& entry : RadarMenuEntries(context_.doc, context_.language)) {
    QAction* action = AddCommand(radars_, entry.text, entry.command);
    action->setCheckable(true);
    action->setChecked(checkedRadarCommand_ == entry.command);
    const int command = entry.command;
    connect(action, &QAction::triggered, this, [this, action, command] {
      action->setChecked(!action->isChecked());
      scope_->OnCentringCommand(command);
    });
    radarActions_[command] = action;
  }
  scope_->setFocus();
}

void CMainFrame::OnCentringChanged(const scope::CentringResult& result) {
  auto checkAirport = [this](int command, bool on) {
    if (const auto found = airportActions_.find(command); found != airportActions_.end()) found->second->setChecked(on);
  };
  // Radar items are known by their place in the Radars menu (1 for radar 0).
  auto radarCommand = [](int position) { return scope::kFirstRadarCommand + position - 1; };
  auto checkRadar = [this](int command, bool on) {
    if (const auto found = radarActions_.find(command); found != radarActions_.end()) found->second->setChecked(on);
  };
  if (result.uncheckAirfieldCommand) checkAirport(*result.uncheckAirfieldCommand, false);
  if (result.checkAirfieldCommand) checkAirport(*result.checkAirfieldCommand, true);
  if (result.uncheckRadarMenuPosition) {
    checkRadar(radarCommand(*result.uncheckRadarMenuPosition), false);
    checkedRadarCommand_.reset();
  }
  if (result.checkRadarMenuPosition) {
    checkedRadarCommand_ = radarCommand(*result.checkRadarMenuPosition);
    checkRadar(*checkedRadarCommand_, true);
  }
}

void CMainFrame::RedrawScope() {
  scope_->MarkCoastlineStale();
  scope_->update();
}

void CMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) RedrawScope();
}

void CMainFrame::ShowIlsView(bool show) {
  const int height = show ? kIlsViewShownHeight : kIlsViewHiddenHeight;
  ilsView_->setMinimumHeight(height);
  left_->SetPaneSize(0, height);
}

void CMainFrame::ExpandRightColumn(bool expand) {
  const int column = right_->width();
  if (expand) {
    if (column >= kCollapsedColumnLimit) return;
    ApplyColumns(false);
    scope_->SetSidePanelHidden(false);  // also limits the range to 300
  } else {
    if (column <= kCollapsedColumnLimit) return;
    ApplyColumns(true);
    scope_->SetSidePanelHidden(true);
  }
  RedrawScope();
}

void CMainFrame::RequestExit() {
  switch (CExitDlg::Run(context_.language, this)) {
    case ExitChoice::Exit:
      close();
      break;
    case ExitChoice::Reconnect:
      app_.ConnectToServer();
      RedrawScope();
      scope_->SetSidePanelHidden(false);
      break;
    case ExitChoice::Cancel:
      break;
  }
}

void CMainFrame::OpenSendMessage() {
  CSendMsgDlg dialog(context_.language, this);
  const SendMsgChoice choice = dialog.Choose();
  if (choice == SendMsgChoice::Cancel) return;
  ConnectionShell* shell = app_.Connection();
  if (shell == nullptr) return;
  net::ClientConnection& connection = shell->Connection();
  const protocol::CoalitionCode destination =
      choice == SendMsgChoice::SendToAll ? protocol::CoalitionCode::Everyone : connection.OwnCoalition();
  // Without a joined connection nothing is sent.
  connection.SendChatMessage(destination, dialog.Text());
}

void CMainFrame::OpenDisplaySettings(bool fromPanel) {
  CDisplaySettingsDlg dialog(context_.language, this);
  dialog.Load(DisplaySettingsOnOpening(context_.settings, context_.store));
  scope::ScopeOptions& options = scope_->Options();
  dialog.LoadWind(options.windDirectionDeg);
  if (fromPanel && buttonView_->isVisible()) {
    const QPoint centre = buttonView_->mapToGlobal(buttonView_->rect().center());
    dialog.move(centre - QPoint(dialog.width() / 2, dialog.height() / 2));
  }
  if (dialog.exec() == QDialog::Accepted) {
    model::ClientSettings chosen = context_.settings;
    dialog.Save(chosen);
    // Applied all the same; the user learns they are not kept.
    if (!chosen.Store(context_.store)) {
      NotifierForDisplay(kProgram, QStringLiteral("VANTOR"), this)
          ->ShowError(QText(TextId::FrameSettingsNotSaved, context_.language).arg(context_.store.Location()));
    }
    context_.settings = chosen;
    // The wind is the scope's alone: never stored.
    options.windDirectionDeg = dialog.SavedWind();
    RedrawScope();
    Q_EMIT DisplaySettingsChanged();
    if (chosen.showVoiceWindow) Q_EMIT VoiceWindowShowRequested();
  }
  buttonView_->ShowWindState(options.windDirectionDeg != 0);
}

void CMainFrame::ShowAbout() {
  CAboutDlg about(context_.language, this);
  about.exec();
}

void CMainFrame::UndoDrawing() { scope_->UndoDrawingPoint(); }

bool CMainFrame::SaveDrawingOnExit() {
  if (scope_->SaveDrawing()) return true;
  NotifierForDisplay(kProgram, QStringLiteral("VANTOR"), this)
      ->ShowError(QText(TextId::GeoCantCreateFile, context_.language));
  return false;
}

void CMainFrame::ReportBrokenInstallation(const QString& message) {
  NotifierForDisplay(kProgram, QStringLiteral("VANTOR"), this)->ShowError(message);
  // The program ends once its event loop runs.
  QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

}  // namespace vantor::shell
