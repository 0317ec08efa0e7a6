#pragma once
// The client's main window: the approach view and the radar scope in the
// left-hand column, the voice channel panel and the information panel in
// the right-hand one, each pane in a static splitter; the menu bar (Airports,
// Radars, ?) in the language of the user interface; and the commands of the
// whole window: exit or reconnect, send a chat message, display settings,
// about box.

#include <QMainWindow>

#include <map>
#include <optional>

#include "vantor/shell/ShellContext.h"
#include "vantor/texts/Language.h"

class QAction;
class QMenu;
class QPlainTextEdit;

namespace vantor::scope {
class CRivakView;
struct CentringResult;
}  // namespace vantor::scope

namespace vantor::shell {

class CButtonView;
class CILSView;
class CInfoView;
class CRivakApp;
class CVoiceWnd;
class ShellSplitter;

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  // The application's document, settings and store must exist.
  explicit CMainFrame(CRivakApp& app, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // --- Panes -------------------------------------------------------------
  scope::CRivakView* Scope() const { return scope_; }
  CILSView* IlsView() const { return ilsView_; }
  CButtonView* ButtonView() const { return buttonView_; }
  CInfoView* InfoView() const { return infoView_; }
  // The voice window, created hidden at the first showing; none before.
  CVoiceWnd* VoiceWindow() const { return voiceWindow_; }
  const ShellContext& Context() const { return context_; }
  // The three splitters: outer (two columns), left (approach view, scope),
  // right (text pane, button panel, information panel).
  ShellSplitter* OuterSplitter() const { return outer_; }
  ShellSplitter* LeftSplitter() const { return left_; }
  ShellSplitter* RightSplitter() const { return right_; }
  // The usable screen width the columns are measured from.
  int UsableScreenWidth() const { return screenWidth_; }
  // Saves the scope's drawing before the window goes; "Can't Create file"
  // when it cannot (the previous file stays as it was).
  bool SaveDrawingOnExit();

  // --- Menus -------------------------------------------------------------
  QMenu* AirportsMenu() const { return airports_; }
  QMenu* RadarsMenu() const { return radars_; }
  QMenu* HelpMenu() const { return help_; }
  // The menus as they are when they open: the Airports entries greyed for
  // the coalition, the Radars entries rebuilt from the friendly radar sites.
  void PrepareAirportsMenu();
  void PrepareRadarsMenu();
  // "Record…" asks for a file and records the connection into it; "Stop
  // recording" ends that. Neither is shown in a replay.
  QAction* RecordAction() const { return recordAction_; }
  QAction* StopRecordingAction() const { return stopRecordingAction_; }
  // The menu item of a command, or nullptr.
  QAction* ActionForCommand(int command) const;
  // The frame's own commands with their keys: paste (send a message), undo
  // (drawing), display settings.
  QAction* PasteAction() const { return pasteAction_; }
  QAction* UndoAction() const { return undoAction_; }
  QAction* DisplaySettingsAction() const { return settingsAction_; }

 public Q_SLOTS:
  // Left row 0 at 250 pixels (shown) or 1 pixel (hidden).
  void ShowIlsView(bool show);
  // Expands (true) a collapsed right-hand column or collapses (false) an
  // open one; a column already in that state is left alone.
  void ExpandRightColumn(bool expand);
  // The exit confirmation: OK closes the window (the program ends),
  // Reconnect asks for a server and connects again, Cancel does nothing.
  void RequestExit();
  // "Send Msg": the line goes to the own coalition or to everyone, only
  // while joined.
  void OpenSendMessage();
  // The display settings dialog with the scope's wind. `fromPanel`: opened
  // by the panel's settings button (the dialog opens over the panel).
  void OpenDisplaySettings(bool fromPanel);
  void ShowAbout();
  // The file dialog of "Record…", then the recording.
  void ChooseRecordingFile();
  // Takes back the last drawing point while the scope is drawing.
  void UndoDrawing();

 Q_SIGNALS:
  // The display settings asked for the voice window; the frame shows it at
  // (10, 10).
  void VoiceWindowShowRequested();
  // OK in the display settings dialog applied new settings.
  void DisplaySettingsChanged();

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildPanes();
  void BuildMenus(Language language);
  void BuildAccelerators(Language language);
  void CreateVoiceWindow();
  void ApplyColumns(bool rightColumnCollapsed);
  void ApplyRows();
  QAction* AddCommand(QMenu* menu, const QString& text, int command);
  void OnCentringChanged(const scope::CentringResult& result);
  void ReportBrokenInstallation(const QString& message);
  void RedrawScope();

  CRivakApp& app_;
  ShellContext context_;
  int screenWidth_ = 0;
  bool laidOut_ = false;
  ShellSplitter* outer_ = nullptr;
  ShellSplitter* left_ = nullptr;
  ShellSplitter* right_ = nullptr;
  CILSView* ilsView_ = nullptr;
  scope::CRivakView* scope_ = nullptr;
  QPlainTextEdit* textPane_ = nullptr;
  CButtonView* buttonView_ = nullptr;
  CInfoView* infoView_ = nullptr;
  CVoiceWnd* voiceWindow_ = nullptr;
  QMenu* airports_ = nullptr;
  QMenu* radars_ = nullptr;
  QMenu* help_ = nullptr;
  QAction* pasteAction_ = nullptr;
  QAction* undoAction_ = nullptr;
  QAction* settingsAction_ = nullptr;
  QAction* recordAction_ = nullptr;
  QAction* stopRecordingAction_ = nullptr;
  std::map<int, QAction*> airportActions_;
  std::map<int, QAction*> radarActions_;
  std::optional<int> checkedRadarCommand_;
};

}  // namespace vantor::shell
