#pragma once
// Starting the simulator: its program runs from its own folder while a
// watcher thread waits for it to end. The watcher never kills the simulator:
// when the server goes away first, the simulator keeps running.

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QObject;

namespace vantor::server {

// "<folder>/falcrest" ("falcrest.exe" on Windows).
QString SimulatorProgramPath(const QString& folder);

// The folder the simulator's own settings name (value "PATH" of
// organisation "Falcrest"); empty when it is not installed.
QString ReadSimulatorFolder();

class SimulatorLauncher {
 public:
  struct Callbacks {
    std::function<void()> failedToStart;  // the process could not be created
    std::function<void()> ended;          // the process ended
  };
  virtual ~SimulatorLauncher() = default;
  // Starts `program` with `folder` as its working folder on a watcher
  // thread. The callbacks run later on `context`'s thread and not at all once
  // `context` or the launcher is gone.
  virtual void Launch(const QString& program, const QString& folder, QObject* context, Callbacks callbacks) = 0;
};

// Creates the real process (posix_spawn / CreateProcess).
class ProcessSimulatorLauncher final : public SimulatorLauncher {
 public:
  ProcessSimulatorLauncher();
  ~ProcessSimulatorLauncher() override;
  void Launch(const QString& program, const QString& folder, QObject* context, Callbacks callbacks) override;

 private:
  class Watcher;
  std::vector<std::unique_ptr<Watcher>> watchers_;
};

}  // namespace vantor::server
