#include "SocketDisposal.h"

#include <QAbstractSocket>
#include <QTimer>

namespace vantor::server {
namespace {

// A peer that stops reading must not keep a closing connection forever.
constexpr int kGracefulCloseMs = 5000;

}  // namespace

void CloseGracefully(QAbstractSocket* socket) {
  if (socket->state() == QAbstractSocket::ConnectedState) {
    QObject::connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
    socket->disconnectFromHost();
    if (socket->state() != QAbstractSocket::UnconnectedState) {
      QTimer::singleShot(kGracefulCloseMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
      });
      return;
    }
  }
  socket->abort();
  socket->deleteLater();
}

void Dispose(QAbstractSocket* socket, QObject* owner) {
  if (socket == nullptr) return;
  QObject::disconnect(socket, nullptr, owner, nullptr);
  if (socket->socketType() == QAbstractSocket::TcpSocket) {
    CloseGracefully(socket);
    return;
  }
  socket->abort();
  socket->deleteLater();
}

QHostAddress PlainPeerAddress(const QHostAddress& peer) {
  bool isIpv4 = false;
  const quint32 ipv4 = peer.toIPv4Address(&isIpv4);
  return isIpv4 ? QHostAddress(ipv4) : peer;
}

}  // namespace vantor::server
