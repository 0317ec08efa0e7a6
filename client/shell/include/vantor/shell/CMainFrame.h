#pragma once
// The client's main window: the radar scope with the menu bar above it
// (Airports, Radars, ?), in the language of the user interface.

#include <QMainWindow>

#include <map>
#include <optional>
#include "vantor/texts/Language.h"

class QAction;
class QMenu;

namespace vantor::scope {
class CRivakView;
struct CentringResult;
}  // namespace vantor::scope

namespace vantor::shell {

class CRivakApp;

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  // The application's document, settings and store must exist.
  explicit CMainFrame(CRivakApp& app, QWidget* parent = nullptr);
  ~CMainFrame() override;

  scope::CRivakView* Scope() const { return scope_; }

  QMenu* AirportsMenu() const { return airports_; }
  QMenu* RadarsMenu() const { return radars_; }
  QMenu* HelpMenu() const { return help_; }
  // The menus as they are when they open: the Airports entries greyed for
  // the coalition, the Radars entries rebuilt from the friendly radar sites.
  void PrepareAirportsMenu();
  void PrepareRadarsMenu();
  // The menu item of a command, or nullptr.
  QAction* ActionForCommand(int command) const;

 Q_SIGNALS:
  // "About Vantor..." was chosen.
  void AboutRequested();

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void BuildMenus(Language language);
  QAction* AddCommand(QMenu* menu, const QString& text, int command);
  void OnCentringChanged(const scope::CentringResult& result);
  void ReportBrokenInstallation(const QString& message);

  CRivakApp& app_;
  scope::CRivakView* scope_ = nullptr;
  QMenu* airports_ = nullptr;
  QMenu* radars_ = nullptr;
  QMenu* help_ = nullptr;
  std::map<int, QAction*> airportActions_;
  std::map<int, QAction*> radarActions_;
  std::optional<int> checkedRadarCommand_;
};

}  // namespace vantor::shell
