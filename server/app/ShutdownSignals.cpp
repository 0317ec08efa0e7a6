#include "ShutdownSignals.h"

#include <QCoreApplication>

#ifdef _WIN32
#include <windows.h>

struct ShutdownSignals::Impl {
  std::function<void()> onShutdown;
};

namespace {
ShutdownSignals* gWatcher = nullptr;  // the console handler has no context argument

BOOL WINAPI ConsoleHandler(DWORD) {
  // The quit reaches the event loop; the server closes its sockets as it goes.
  if (gWatcher)
    QMetaObject::invokeMethod(
        gWatcher, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
  return TRUE;
}
}  // namespace

ShutdownSignals::ShutdownSignals(std::function<void()> onShutdown, QObject* parent)
    : QObject(parent), impl_(std::make_unique<Impl>()) {
  impl_->onShutdown = std::move(onShutdown);
  gWatcher = this;
  SetConsoleCtrlHandler(ConsoleHandler, TRUE);
}

ShutdownSignals::~ShutdownSignals() {
  SetConsoleCtrlHandler(ConsoleHandler, FALSE);
  gWatcher = nullptr;
}
#else
#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

namespace {
// A signal handler may only write to a descriptor; the event loop reads it.
int gSignalWriteFd = -1;

void OnSignal(int) {
  const char byte = 1;
  if (gSignalWriteFd >= 0) [[maybe_unused]]
    auto written = ::write(gSignalWriteFd, &byte, 1);
}
}  // namespace

struct ShutdownSignals::Impl {
  int fds[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier;
  std::function<void()> onShutdown;
};

ShutdownSignals::ShutdownSignals(std::function<void()> onShutdown, QObject* parent)
    : QObject(parent), impl_(std::make_unique<Impl>()) {
  impl_->onShutdown = std::move(onShutdown);
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, impl_->fds) != 0) return;
  ::fcntl(impl_->fds[1], F_SETFL, O_NONBLOCK);
  gSignalWriteFd = impl_->fds[1];
  impl_->notifier = std::make_unique<QSocketNotifier>(impl_->fds[0], QSocketNotifier::Read);
  connect(impl_->notifier.get(), &QSocketNotifier::activated, this, [this] {
    char buffer[16];
    [[maybe_unused]] auto read = ::read(impl_->fds[0], buffer, sizeof(buffer));
    if (impl_->onShutdown) impl_->onShutdown();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

ShutdownSignals::~ShutdownSignals() {
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  gSignalWriteFd = -1;
  impl_->notifier.reset();
  for (int fd : impl_->fds) {
    if (fd >= 0) ::close(fd);
  }
}
#endif
