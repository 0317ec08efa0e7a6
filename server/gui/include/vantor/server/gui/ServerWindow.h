#pragma once
// vantorsrv's control window: the status and the operator's view of the
// running server, "Fly..." (the start), "Exit", "Config" and "Don't start
// Falcrest", the configuration sheet with its map page, and the about box
// (from the system menu where the platform has one, and from the context
// menu and F1 everywhere). The window drives the runtime and follows its
// signals; it holds no server state of its own.

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

#include "vantor/server/gui/ConfigSheet.h"
#include "vantor/server/gui/TheatreMap.h"
#include "vantor/texts/Language.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vantor {
class Notifier;
}

namespace vantor::server {
class ServerEventLog;
class ServerRuntime;
}  // namespace vantor::server

namespace vantor::server::gui {

class OperatorView;

struct WindowOptions {
  bool launchSimulator = true;  // false: not on this run, whatever the check box says
  // The map page's background, made on first use; by default from the data
  // files beside the program or in the current folder.
  std::function<TheatreMapBase()> loadMap;
  // How the configuration sheet runs (modally by default); tests drive it.
  std::function<int(ConfigSheet&)> runSheet;
  std::function<void(QWidget* parent, ServerConfig& config, MapSide side)> openMap;
};

class ServerWindow final : public QDialog {
  Q_OBJECT

 public:
  // The about box's command in the system menu: 16, within the range 16 ... 31
  // that the window answers.
  static constexpr unsigned kAboutCommand = 16;

  ServerWindow(ServerRuntime& runtime, Notifier& notifier, WindowOptions options = {}, QWidget* parent = nullptr);
  ~ServerWindow() override;

  // "Fly...": the same start as the headless run.
  void Start();
  // "Config": the sheet, then SaveConfig and the empty-password warning.
  void OpenConfig();
  void ShowAbout();
  const TheatreMapBase& MapBase();

  QLabel& Status() { return *status_; }
  QPushButton& StartButton() { return *start_; }
  QPushButton& ExitButton() { return *exit_; }
  QPushButton& ConfigButton() { return *config_; }
  QCheckBox& NotLaunchBox() { return *notLaunch_; }
  OperatorView& View() { return *view_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  void ShowStatus(const QString& text);
  void OpenMapPage(QWidget* parent, ServerConfig& config, MapSide side);

  ServerRuntime& runtime_;
  Notifier& notifier_;
  WindowOptions options_;
  Language language_;
  std::optional<TheatreMapBase> mapBase_;
  std::unique_ptr<ServerEventLog> events_;
  bool systemMenuExtended_ = false;
  QLabel* status_ = nullptr;
  OperatorView* view_ = nullptr;
  QLineEdit* feedPortEdit_ = nullptr;
  QLineEdit* clientPortEdit_ = nullptr;
  QPushButton* start_ = nullptr;
  QPushButton* exit_ = nullptr;
  QPushButton* config_ = nullptr;
  QCheckBox* notLaunch_ = nullptr;
};

}  // namespace vantor::server::gui
