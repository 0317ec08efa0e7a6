#pragma once
// The client's application object: settings, language, coalition and sensor
// configuration (ClientState), the document, the main window, and the
// start-up and shutdown sequence.

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "vantor/model/CRivakDoc.h"
#include "vantor/model/ClientSettings.h"
#include "vantor/model/ClientState.h"
#include "vantor/net/ClientConnection.h"
#include "vantor/shell/SoundPlayer.h"
#include "vantor/shell/TaskBar.h"

class QWidget;

namespace vantor {
class Notifier;
class SettingsStore;
}  // namespace vantor

namespace vantor::record {
class RecordReader;
class ReplayClock;
class ReplayController;
class ReplayPlayer;
class SessionRecorder;
}  // namespace vantor::record

namespace vantor::shell {

class CMainFrame;
class CMessageWnd;
class ConnectionShell;

inline constexpr QSize kSmallScreenLimit{1024, 768};
inline constexpr const char* kStartSound = "interfer.wav";
inline constexpr const char* kExitSound = "fall.wav";

// A screen whose usable area is below 1024 x 768 in either direction.
bool IsSmallScreen(const QSize& fullScreenClient);
// The main window's place: 1024 x 768 at (0, 0) on a small screen, else from
// (0, 0) to the right and bottom edges of the desktop work area.
QRect MainWindowGeometry(const QRect& workArea, bool smallScreen);

// What the client needs from the desktop; tests replace it.
struct ShellPlatform {
  std::unique_ptr<SoundPlayer> sound;
  std::unique_ptr<TaskBar> taskBar;
  std::function<QRect()> workArea;  // the primary screen's available area
  // The server address dialog and the connection's message boxes over the
  // main window; none: the dialog counts as cancelled and the messages go
  // to stderr.
  std::function<std::unique_ptr<net::ServerAddressPrompt>(QWidget* window, Language language)> addressPrompt;
  std::function<std::unique_ptr<Notifier>(QWidget* window)> connectionNotifier;
  // Someone can answer the password dialog; without, a log-on that needs a
  // password gives up.
  bool passwordDialog = false;

  static ShellPlatform Default();
};

// Command-line choices of the Vantor program.
struct StartupOptions {
  QString settingsFile;  // INI file instead of the user's settings store
  bool sounds = true;
  // Where the map data files and the drawing are looked up, in order;
  // empty: the working folder, then the program's folder.
  QStringList dataFolders;
  // Server, password, ports and local address of the connection.
  net::ConnectionOptions connection;
  bool logTracks = false;  // a line per track datagram on stderr
  // Records what the connection receives into this file from the start.
  QString recordFile;
  // Replays this recording instead of connecting, from `seekMs` on; paused
  // there unless `replayPlays`.
  QString replayFile;
  std::uint32_t seekMs = 0;
  bool replayPlays = true;
};

class CRivakApp {
 public:
  explicit CRivakApp(StartupOptions options, ShellPlatform platform = ShellPlatform::Default());
  ~CRivakApp();
  CRivakApp(const CRivakApp&) = delete;
  CRivakApp& operator=(const CRivakApp&) = delete;

  // Start-up in its fixed order; false ends the program.
  bool InitInstance();
  // Shutdown: exit sound, task bar restored, connection released.
  int ExitInstance();

  model::ClientSettings& Settings() { return settings_; }
  const model::ClientSettings& Settings() const { return settings_; }
  Language UiLanguage() const { return settings_.language; }
  model::ClientState& State() { return state_; }
  model::CRivakDoc* Document() { return document_.get(); }
  CMainFrame* MainWindow() { return mainWindow_.get(); }
  SettingsStore* Store() { return store_.get(); }
  SoundPlayer& Sound() { return *platform_.sound; }
  bool SmallScreen() const { return smallScreen_; }
  // The width the main frame's columns are measured from: the usable
  // screen's, or on a small screen the 1024 pixels the window is given
  // there (the scope then keeps its 727 pixels).
  int UsableScreenWidth() const;
  std::vector<std::filesystem::path> DataFolders() const;
  // Asks for a server and connects; an earlier connection is replaced. Also
  // the exit dialog's "Reconnect".
  void ConnectToServer();
  // The connection with its dialogs and message window; none before start-up
  // and in a replay.
  ConnectionShell* Connection() { return connection_.get(); }

  // --- Recording and replay ------------------------------------------------
  bool IsReplay() const { return !options_.replayFile.isEmpty(); }
  // Records what the connection receives into `file`; false, with the
  // message shown, when the file cannot be made (or in a replay).
  bool StartRecording(const QString& file);
  void StopRecording();
  bool IsRecording() const;
  record::SessionRecorder* Recorder() { return recorder_.get(); }
  // The replay's clock and controls; none when live.
  record::ReplayController* Replay() { return replayController_.get(); }
  CMessageWnd* ReplayMessageWindow();

 private:
  void SaveAndClearTaskBar();
  void RestoreTaskBar();
  // Reads the recording; false after telling why.
  bool OpenReplay();
  // The player, its controls under the panes and the message window.
  void StartReplay();
  void StartRecorder();
  Notifier& Messages();

  StartupOptions options_;
  ShellPlatform platform_;
  model::ClientSettings settings_;
  model::ClientState state_;  // holds the contact lock; outlives the document
  std::unique_ptr<SettingsStore> store_;
  std::unique_ptr<model::CRivakDoc> document_;
  std::unique_ptr<CMainFrame> mainWindow_;
  std::unique_ptr<ConnectionShell> connection_;        // uses the main window: released before it
  std::unique_ptr<Notifier> messages_;                 // recording and replay messages
  std::unique_ptr<record::SessionRecorder> recorder_;  // taps connection_: released before it
  std::shared_ptr<record::ReplayClock> replayClock_;   // the document's clock in a replay
  std::unique_ptr<record::RecordReader> replayReader_;
  std::unique_ptr<record::ReplayPlayer> replayPlayer_;
  std::unique_ptr<record::ReplayController> replayController_;
  QPointer<CMessageWnd> replayMessages_;
  bool smallScreen_ = false;
  bool taskBarSaved_ = false;
  int savedTaskBarState_ = 0;
};

}  // namespace vantor::shell
