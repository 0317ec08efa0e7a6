#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QThread>
#include <QUdpSocket>

#include <cstdlib>
#include <set>

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
  // Ports the OS hands out are spread over a wide range; keep the ones
  // already given in this process apart so two fixtures never collide. The
  // same port must also be free for UDP, since the client port is both.
  static std::set<quint16> given;
  for (int attempt = 0; attempt < 200; ++attempt) {
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0)) continue;
    const quint16 port = server.serverPort();
    server.close();
    QUdpSocket udp;
    if (!udp.bind(QHostAddress::AnyIPv4, port)) continue;
    udp.close();
    if (given.insert(port).second) return port;
  }
  return 0;
}

}  // namespace vantor::test
