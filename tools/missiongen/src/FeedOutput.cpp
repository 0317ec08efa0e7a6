#include "vantor/missiongen/FeedOutput.h"

#include <QElapsedTimer>

#include <algorithm>
#include <iostream>

namespace vantor::missiongen {

namespace {
// A server that reads slower than the feed comes gets fewer batches rather
// than an ever longer queue; as with the simulator, only fresh positions
// matter.
constexpr qint64 kMinBacklogBytes = 256 * 1024;
constexpr int kCloseFlushMs = 3000;
}  // namespace

TcpFeedOutput::TcpFeedOutput(QString host, quint16 port, int retryMs, QObject* parent)
    : FeedOutput(parent), host_(std::move(host)), port_(port) {
  retryTimer_.setSingleShot(true);
  retryTimer_.setInterval(retryMs);
  connect(&retryTimer_, &QTimer::timeout, this, &TcpFeedOutput::Open);
  connect(&socket_, &QTcpSocket::connected, this, [this] {
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    std::cerr << "vantor-missiongen: connected to " << host_.toStdString() << ':' << port_ << std::endl;
    waitingReported_ = false;
    Q_EMIT Opened();
  });
  connect(&socket_, &QTcpSocket::disconnected, this, &TcpFeedOutput::OnDisconnected);
  connect(&socket_, &QTcpSocket::errorOccurred, this, &TcpFeedOutput::OnError);
}

void TcpFeedOutput::Open() {
  if (closing_ || socket_.state() != QAbstractSocket::UnconnectedState) return;
  socket_.connectToHost(host_, port_);
}

bool TcpFeedOutput::Connected() const { return socket_.state() == QAbstractSocket::ConnectedState; }

bool TcpFeedOutput::Ready() const {
  if (!Connected()) return false;
  const qint64 limit = std::max<qint64>(kMinBacklogBytes, 3 * static_cast<qint64>(lastWriteBytes_));
  return socket_.bytesToWrite() < limit;
}

void TcpFeedOutput::Write(const std::string& text) {
  if (!Connected()) return;
  lastWriteBytes_ = text.size();
  socket_.write(text.data(), static_cast<qint64>(text.size()));
}

void TcpFeedOutput::OnDisconnected() {
  if (closing_) return;
  std::cerr << "vantor-missiongen: the server closed the feed connection; connecting again" << std::endl;
  ScheduleRetry();
}

void TcpFeedOutput::OnError(QAbstractSocket::SocketError error) {
  if (closing_ || error == QAbstractSocket::RemoteHostClosedError) return;
  if (!waitingReported_) {
    std::cerr << "vantor-missiongen: waiting for the server at " << host_.toStdString() << ':' << port_ << " ("
              << socket_.errorString().toStdString() << ")" << std::endl;
    waitingReported_ = true;
  }
  socket_.abort();
  ScheduleRetry();
}

void TcpFeedOutput::ScheduleRetry() {
  if (!closing_ && !retryTimer_.isActive()) retryTimer_.start();
}

void TcpFeedOutput::Close(std::function<void()> done) {
  closing_ = true;
  retryTimer_.stop();
  if (Connected()) {
    QElapsedTimer clock;
    clock.start();
    while (socket_.bytesToWrite() > 0 && clock.elapsed() < kCloseFlushMs)
      if (!socket_.waitForBytesWritten(static_cast<int>(kCloseFlushMs - clock.elapsed()))) break;
    socket_.disconnectFromHost();
    if (socket_.state() != QAbstractSocket::UnconnectedState) socket_.waitForDisconnected(500);
  }
  socket_.abort();
  done();
}

void StdoutFeedOutput::Open() { Q_EMIT Opened(); }

void StdoutFeedOutput::Write(const std::string& text) {
  if (failed_) return;
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
    failed_ = true;
    Q_EMIT Failed(QStringLiteral("standard output closed"));
  }
}

void StdoutFeedOutput::Close(std::function<void()> done) {
  std::fflush(stdout);
  done();
}

}  // namespace vantor::missiongen
