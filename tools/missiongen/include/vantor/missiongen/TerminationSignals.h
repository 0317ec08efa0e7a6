#pragma once
// Turns the operating system's requests to stop (SIGINT, SIGTERM) into a Qt
// signal on the event loop, so the program can close its connection and
// files cleanly.

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace vantor::missiongen {

class TerminationSignals : public QObject {
  Q_OBJECT
 public:
  explicit TerminationSignals(QObject* parent = nullptr);
  ~TerminationSignals() override;

 Q_SIGNALS:
  void Requested();

 private:
  std::unique_ptr<QSocketNotifier> notifier_;
  int readFd_ = -1;
};

}  // namespace vantor::missiongen
