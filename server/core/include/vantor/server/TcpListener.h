#pragma once
// A listening TCP socket on all local addresses with the server's backlog
// of 5. Opening keeps a socket that already listens, so a second start of
// the server leaves its first listeners in place.

#include <QtGlobal>

#include <functional>
#include <memory>
#include <optional>

class QObject;
class QTcpSocket;

namespace vantor::server {

class TcpListener {
 public:
  // Accepted sockets are handed over with `owner` as their parent.
  using AcceptFn = std::function<void(QTcpSocket*)>;
  // Or as the bare descriptor, which the callee then owns.
  using AcceptDescriptorFn = std::function<void(qintptr)>;

  explicit TcpListener(QObject& owner);
  ~TcpListener();
  TcpListener(const TcpListener&) = delete;
  TcpListener& operator=(const TcpListener&) = delete;

  // nullopt when listening (also when it already was); otherwise the
  // failure as a Windows Sockets code (0 when none fits).
  std::optional<int> Listen(quint16 port, AcceptFn onAccept);
  std::optional<int> ListenForDescriptors(quint16 port, AcceptDescriptorFn onAccept);
  void Close();
  bool IsListening() const;
  quint16 Port() const;  // 0 while not listening

 private:
  class Server;
  std::optional<int> Open(quint16 port, std::unique_ptr<Server> server);

  QObject& owner_;
  std::unique_ptr<Server> server_;
};

}  // namespace vantor::server
