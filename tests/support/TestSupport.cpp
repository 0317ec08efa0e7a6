#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QThread>
#include <QUdpSocket>

#include <cstdlib>

namespace vantor::test {

QString BinDir() {
  if (const char* dir = std::getenv("VANTOR_BIN_DIR")) return QString::fromLocal8Bit(dir);
  return QStringLiteral(VANTOR_TEST_BIN_DIR);
}

QString SourceDir() {
  if (const char* dir = std::getenv("VANTOR_SOURCE_DIR")) return QString::fromLocal8Bit(dir);
  return QStringLiteral(VANTOR_TEST_SOURCE_DIR);
}

QString ProgramPath(const QString& name) { return BinDir() + '/' + name; }

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeout.count()) return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}

quint16 FreeTcpPort() {
  // Test processes run side by side and a port found free may be taken by
  // another process before our server binds it. Each process therefore
  // draws from its own window of ports, chosen by its process id, below the
  // range the system hands out for outgoing connections. The same port must
  // also be free for UDP, since the client port is both.
  constexpr int kFirstPort = 12000;
  constexpr int kWindow = 64;
  constexpr int kWindows = 300;  // up to port 31200, under 32768
  static int next = kFirstPort + static_cast<int>(QCoreApplication::applicationPid() % kWindows) * kWindow;
  for (int attempt = 0; attempt < kWindow * kWindows; ++attempt) {
    const auto port = static_cast<quint16>(next);
    next = next + 1 >= kFirstPort + kWindow * kWindows ? kFirstPort : next + 1;
    QTcpServer server;
    if (!server.listen(QHostAddress::Any, port)) continue;
    server.close();
    QUdpSocket udp;
    if (!udp.bind(QHostAddress::AnyIPv4, port)) continue;
    udp.close();
    return port;
  }
  return 0;
}

}  // namespace vantor::test
