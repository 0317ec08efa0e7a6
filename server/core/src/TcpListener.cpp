#include "vantor/server/TcpListener.h"

#include <QTcpServer>
#include <QTcpSocket>

#include "vantor/server/SocketErrorTexts.h"

namespace vantor::server {
namespace {

constexpr int kListenBacklog = 5;

}  // namespace

TcpListener::TcpListener(QObject& owner) : owner_(owner) {}

TcpListener::~TcpListener() = default;

std::optional<int> TcpListener::Listen(quint16 port, AcceptFn onAccept) {
  if (IsListening()) return std::nullopt;
  auto server = std::make_unique<QTcpServer>();
  server->setListenBacklogSize(kListenBacklog);
  if (!server->listen(QHostAddress::Any, port)) return WinsockErrorCode(server->serverError());
  QTcpServer* raw = server.get();
  QObject::connect(raw, &QTcpServer::newConnection, raw, [this, raw, onAccept = std::move(onAccept)] {
    while (QTcpSocket* socket = raw->nextPendingConnection()) {
      socket->setParent(&owner_);
      onAccept(socket);
    }
  });
  server_ = std::move(server);
  return std::nullopt;
}

void TcpListener::Close() {
  if (server_) server_->close();
  server_.reset();
}

bool TcpListener::IsListening() const { return server_ && server_->isListening(); }

quint16 TcpListener::Port() const { return IsListening() ? server_->serverPort() : 0; }

}  // namespace vantor::server
