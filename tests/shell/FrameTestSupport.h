#pragma once
// The client started the way the program starts it, on a screen of a known
// size, with its settings in a temporary INI file; and answers for the
// modal dialogs its window opens.

#include <gtest/gtest.h>

#include <QApplication>
#include <QRect>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

#include "vantor/platform/SettingsStore.h"
#include "vantor/shell/CMainFrame.h"
#include "vantor/shell/CRivakApp.h"

namespace vantor::shell::test {

class ClientUnderTest {
 public:
  // `installerLanguage`: "1036", "1033" or "1034". `prepare` may change the
  // start-up options and the platform before the client starts.
  explicit ClientUnderTest(const char* installerLanguage = "1033", QRect workArea = QRect(0, 0, 1600, 1000),
                           const std::function<void(StartupOptions&, ShellPlatform&)>& prepare = {});
  ~ClientUnderTest();

  CMainFrame& Frame() { return *app->MainWindow(); }
  // The settings file as the program left it.
  std::unique_ptr<SettingsStore> Store() const;

  QTemporaryDir dir;
  std::unique_ptr<CRivakApp> app;
};

// Runs `act` on the modal dialog of type T as soon as it is open (the call
// that opens it blocks until `act` closes it). Fails the test when another
// window is modal instead.
template <typename T>
void WhenModalOpens(std::function<void(T&)> act) {
  QTimer::singleShot(0, [act = std::move(act)] {
    auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      ADD_FAILURE() << "the expected dialog is not open";
      if (QWidget* other = QApplication::activeModalWidget()) other->close();
      return;
    }
    act(*dialog);
  });
}

// Clicks the dialog's button of that object name.
void Click(QWidget& dialog, const char* button);

}  // namespace vantor::shell::test
