#pragma once
// One load client: the track port on its own loopback address, read on a
// thread of its own through the client's track datagram reader, and the
// control connection that logs on exactly as Vantor does (configuration
// block collected across reads, version check, password and coalition, one
// join reply).

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>

#include <array>
#include <memory>
#include <optional>

#include "vantor/load/ClientTally.h"
#include "vantor/load/LoadOptions.h"
#include "vantor/net/ControlChannel.h"
#include "vantor/protocol/Constants.h"
#include "vantor/protocol/TrackDatagram.h"

namespace vantor::load {

// Lives on the client's receive thread.
class TrackReceiver : public QObject {
  Q_OBJECT
 public:
  TrackReceiver(QHostAddress address, quint16 port, int receiveBufferBytes, const CountingWindow& window);
  ~TrackReceiver() override;

  // Run on the receive thread: binds the port (as Vantor does, not shared),
  // or says why it could not.
  Q_INVOKABLE QString Open();
  // Run on the receive thread: reads what is left and closes the port.
  Q_INVOKABLE void Close();

  // Read after the thread has ended, or (LastBatch, HasStamp) at any time.
  const ClientTally& Tally() const { return tally_; }

 private:
  void OnReadable();

  QHostAddress address_;
  quint16 port_;
  int receiveBufferBytes_;
  std::unique_ptr<QUdpSocket> socket_;
  protocol::TrackDatagramReader reader_;
  ClientTally tally_;
  std::vector<protocol::TrackEntry> entries_;
  std::array<std::uint8_t, protocol::kMaxDatagramBytes> buffer_{};
};

class LoadClient : public QObject {
  Q_OBJECT
 public:
  enum class State { Idle, Connecting, WaitingForConfig, Joined, Failed, Disconnected };

  LoadClient(int number, const LoadOptions& options, const CountingWindow& window, QObject* parent = nullptr);
  ~LoadClient() override;

  // Opens the track port, then the control connection; Joined or Failed follows.
  void Start();
  // Ends the receive thread; the tally stays readable.
  void StopReceiving();

  int Number() const { return number_; }
  const QHostAddress& Address() const { return address_; }
  State CurrentState() const { return state_; }
  const QString& Failure() const { return failure_; }
  // "Blue" or "Red" once logged on.
  QString Side() const;
  const ClientTally& Tally() const { return receiver_->Tally(); }
  int ChatMessages() const { return chatMessages_; }

 Q_SIGNALS:
  void Joined();
  void Failed(const QString& why);
  void Disconnected();

 private:
  void Connect();
  void OnConnected();
  void OnError(QAbstractSocket::SocketError error);
  void OnReadable();
  void OnConfigBlock();
  void Fail(const QString& why);

  int number_;
  const LoadOptions& options_;
  QHostAddress address_;
  State state_ = State::Idle;
  QString failure_;
  QThread thread_;
  TrackReceiver* receiver_ = nullptr;  // lives on thread_
  QTcpSocket control_;
  QTimer retry_;
  QElapsedTimer connecting_;
  net::HandshakeAssembler handshake_;
  std::optional<int> side_;
  int chatMessages_ = 0;
};

}  // namespace vantor::load
