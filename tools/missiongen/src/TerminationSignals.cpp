#include "vantor/missiongen/TerminationSignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <csignal>
#endif

namespace vantor::missiongen {

#ifdef Q_OS_UNIX
namespace {
// A signal handler can only reach a global; it is set once by the one
// TerminationSignals object of the program and only written to.
int gSignalWriteFd = -1;

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const auto written = ::write(gSignalWriteFd, &byte, 1);
}
}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) return;
  ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
  gSignalWriteFd = fds[1];
  readFd_ = fds[0];
  notifier_ = std::make_unique<QSocketNotifier>(readFd_, QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
    char byte;
    [[maybe_unused]] const auto got = ::read(readFd_, &byte, 1);
    Q_EMIT Requested();
  });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // A closed pipe on standard output shows up as a failed write instead.
  std::signal(SIGPIPE, SIG_IGN);
}

TerminationSignals::~TerminationSignals() {
  if (readFd_ < 0) return;
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  notifier_.reset();
  ::close(readFd_);
  ::close(gSignalWriteFd);
  gSignalWriteFd = -1;
}
#else
// Console control events (SetConsoleCtrlHandler) would arrive here on
// Windows; until then the default handling ends the program.
TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {}
TerminationSignals::~TerminationSignals() = default;
#endif

}  // namespace vantor::missiongen
