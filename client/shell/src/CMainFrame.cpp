#include "vantor/shell/CMainFrame.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>

#include "vantor/model/Airfields.h"
#include "vantor/platform/Display.h"
#include "vantor/platform/Notifier.h"
#include "vantor/scope/CRivakView.h"
#include "vantor/shell/CAssignCallsignDlg.h"
#include "vantor/shell/CRivakApp.h"
#include "vantor/shell/MainMenus.h"
#include "vantor/texts/QText.h"

namespace vantor::shell {
CMainFrame::CMainFrame(CRivakApp& app, QWidget* parent) : QMainWindow(parent), app_(app) {
  setObjectName("mainFrame");
  setWindowTitle("Vantor");

  scope::CRivakView::Environment environment{*app.Document(), app.Settings(), app.Store(), app.DataFolders()};
  scope_ = new scope::CRivakView(std::move(environment), this);
  setCentralWidget(scope_);
  scope_->setFocus();  // the space bar and the undo keys are the scope's
  connect(scope_, &scope::CRivakView::CentringChanged, this, &CMainFrame::OnCentringChanged);
  connect(scope_, &scope::CRivakView::MapDataMissing, this, &CMainFrame::ReportBrokenInstallation);
  connect(scope_, &scope::CRivakView::CallsignRequested, this,
          [this](int contactId) { RunAssignCallsign(*app_.Document(), contactId, app_.UiLanguage(), this); });

  BuildMenus(app.Settings().language);

  // The window has no caption; the standard quit keys still close it.
  auto* quit = new QAction(this);
  quit->setShortcut(QKeySequence::Quit);
  quit->setShortcutContext(Qt::ApplicationShortcut);
  connect(quit, &QAction::triggered, this, &QWidget::close);
  addAction(quit);
}

CMainFrame::~CMainFrame() = default;

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
  QAction* exit = AddCommand(airports_, QText(TextId::ScopeMenuExit, language), kExitCommand);
  connect(exit, &QAction::triggered, this, &QWidget::close);
  connect(airports_, &QMenu::aboutToShow, this, &CMainFrame::PrepareAirportsMenu);

  radars_ = menuBar()->addMenu(QText(TextId::ScopeMenuRadars, language));
  radars_->setObjectName("radarsMenu");
  radars_->addSeparator();
  connect(radars_, &QMenu::aboutToShow, this, &CMainFrame::PrepareRadarsMenu);

  help_ = menuBar()->addMenu(QText(TextId::ScopeMenuHelp, language));
  help_->setObjectName("helpMenu");
  QAction* about = AddCommand(help_, QText(TextId::ScopeMenuAbout, language), kAboutCommand);
  connect(about, &QAction::triggered, this, &CMainFrame::AboutRequested);
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
  scope_->setFocus();
}

void CMainFrame::PrepareRadarsMenu() {
  for (const auto& [command, action] : radarActions_) {
    radars_->removeAction(action);
    action->deleteLater();
  }
  radarActions_.clear();
  for (const RadarMenuEntry& entry : RadarMenuEntries(*app_.Document(), app_.UiLanguage())) {
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

void CMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    scope_->MarkCoastlineStale();
    scope_->update();
  }
}

void CMainFrame::ReportBrokenInstallation(const QString& message) {
  NotifierForDisplay(QStringLiteral("Vantor"), QStringLiteral("VANTOR"), this)->ShowError(message);
  // The program ends once its event loop runs.
  QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

}  // namespace vantor::shell
