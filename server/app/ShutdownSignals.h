#pragma once
// Turns SIGINT/SIGTERM (console close on Windows) into a call on the event
// loop's thread, so the server can close its sockets in order.

#include <QObject>

#include <functional>
#include <memory>

class ShutdownSignals final : public QObject {
 public:
  explicit ShutdownSignals(std::function<void()> onShutdown, QObject* parent = nullptr);
  ~ShutdownSignals() override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
