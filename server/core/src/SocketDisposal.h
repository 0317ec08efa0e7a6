#pragma once
// Closing the server's sockets from inside their own signal handlers.

#include <QHostAddress>

class QAbstractSocket;
class QObject;

namespace vantor::server {

// Closes a TCP connection after what was written has gone out, and frees the
// socket in every case: at once when it is already unconnected, on
// disconnection, or by abort once the grace time has passed.
void CloseGracefully(QAbstractSocket* socket);

// Detaches `socket` from `owner`'s handlers and lets the event loop delete it;
// TCP connections close gracefully. Null is ignored.
void Dispose(QAbstractSocket* socket, QObject* owner);

// The TCP peer of a dual-stack listener shows IPv4 clients as mapped IPv6
// addresses; datagrams and displays want the plain IPv4 address.
QHostAddress PlainPeerAddress(const QHostAddress& peer);

}  // namespace vantor::server
