#include "vantor/server/TcpListener.h"

#include <QTcpServer>
#include <QTcpSocket>

#include "vantor/server/SocketErrorTexts.h"

namespace vantor::server {
namespace {

constexpr int kListenBacklog = 5;

}  // namespace

class TcpListener::Server final : public QTcpServer {
 public:
  explicit Server(AcceptDescriptorFn onDescriptor = {}) : onDescriptor_(std::move(onDescriptor)) {}

 protected:
  void incomingConnection(qintptr descriptor) override {
    if (onDescriptor_) {
      onDescriptor_(descriptor);
    } else {
      QTcpServer::incomingConnection(descriptor);
    }
  }

 private:
  AcceptDescriptorFn onDescriptor_;
};

TcpListener::TcpListener(QObject& owner) : owner_(owner) {}

TcpListener::~TcpListener() = default;

std::optional<int> TcpListener::Listen(quint16 port, AcceptFn onAccept) {
  if (IsListening()) return std::nullopt;
  auto server = std::make_unique<Server>();
  Server* raw = server.get();
  QObject::connect(raw, &QTcpServer::newConnection, raw, [this, raw, onAccept = std::move(onAccept)] {
    while (QTcpSocket* socket = raw->nextPendingConnection()) {
      socket->setParent(&owner_);
      onAccept(socket);
    }
  });
  return Open(port, std::move(server));
}

std::optional<int> TcpListener::ListenForDescriptors(quint16 port, AcceptDescriptorFn onAccept) {
  if (IsListening()) return std::nullopt;
  return Open(port, std::make_unique<Server>(std::move(onAccept)));
}

std::optional<int> TcpListener::Open(quint16 port, std::unique_ptr<Server> server) {
  server->setListenBacklogSize(kListenBacklog);
  if (!server->listen(QHostAddress::Any, port)) return WinsockErrorCode(server->serverError());
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
