#pragma once
// The client's connection to a server: the TCP control connection and the
// UDP track port, both on the user-interface thread's event loop.
//
// ConnectToServer asks for the address and opens both sockets; the control
// connection then collects the server's ConfigBlock, runs LogOn and answers
// with the JoinReply; from then on each track datagram updates the contact
// table and each control read is one chat message. One connection exists at
// a time: connecting again replaces it.

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

#include "vantor/model/CRivakDoc.h"
#include "vantor/net/ConnectionUi.h"
#include "vantor/net/ControlChannel.h"
#include "vantor/protocol/Constants.h"
#include "vantor/protocol/TrackDatagram.h"

class QTcpSocket;
class QUdpSocket;

namespace vantor {
class Notifier;
}

namespace vantor::net {

struct ConnectionOptions {
  quint16 serverPort = protocol::kClientPort;    // the server's control port
  quint16 datagramPort = protocol::kClientPort;  // where the server sends track datagrams
  // Local address of both sockets; null: the datagram port on every local
  // IPv4 address and the control connection wherever the system routes it.
  QHostAddress bindAddress;
  // The first ConnectToServer connects here without the address dialog (the
  // address is remembered in the list as if typed and confirmed).
  std::optional<QString> presetServer;
  // The answer to the first showing of the password dialog in the first
  // log-on; a wrong one counts as a wrong entry and the dialog follows.
  std::optional<QString> presetPassword;
  QString serverListFile = QString::fromLatin1("Configsrv.cfg");
};

enum class ConnectionState {
  NoConnection,  // never connected, or the address dialog was cancelled
  Connecting,    // connect pending
  WaitingForConfig,
  LoggingOn,  // password dialog
  Joined,     // JoinReply sent; datagrams and chat arrive
  Closed,     // closed by the server or after a failure
};
const char* ConnectionStateName(ConnectionState state);

class ClientConnection : public QObject {
  Q_OBJECT
 public:
  // Every reference must outlive the connection. `language` chooses the
  // texts of the messages.
  ClientConnection(model::CRivakDoc& document, ConnectionPrompts& prompts, Notifier& notifier,
                   ChatMessageSink& messages, Language language, ConnectionOptions options = {},
                   model::SecondsClock clock = model::SystemSecondsClock(), QObject* parent = nullptr);
  ~ClientConnection() override;
  ClientConnection(const ClientConnection&) = delete;
  ClientConnection& operator=(const ClientConnection&) = delete;

  // Starts over: resets the sensor part of the stored ConfigBlock, drops an
  // earlier connection with its contacts, asks for the server address and
  // opens both sockets. False when the dialog was cancelled or the sockets
  // could not be opened (the client then stays without connection).
  bool ConnectToServer();

  // The password dialog and the coalition, once a version-6 ConfigBlock is
  // stored: up to three entries, Blue's password tried before Red's. On
  // success the side's AWACS is adjusted, the scope's initial centring is
  // requested and logOnTime is set. Called by the receive path.
  bool LogOn();

  // Sends one chat message (destination byte and at most 250 bytes of text)
  // while joined; false when there is no joined connection.
  bool SendChatMessage(protocol::CoalitionCode destination, const QString& text);
  // The client's own coalition as a chat destination.
  protocol::CoalitionCode OwnCoalition() const;

  ConnectionState State() const { return state_; }
  bool IsJoined() const { return state_ == ConnectionState::Joined; }
  // The address given to the last ConnectToServer.
  const QString& ServerAddress() const { return serverAddress_; }
  // The local port of the datagram socket, 0 without one.
  quint16 DatagramPort() const;
  // Sender of the last datagram (recorded, not checked).
  const QHostAddress& LastDatagramSender() const { return fromAddress_; }
  quint16 LastDatagramSenderPort() const { return fromPort_; }

 Q_SIGNALS:
  void stateChanged(vantor::net::ConnectionState state);
  // Log-on decided the client's side (0 Blue, 1 Red).
  void loggedOn(int side);
  // The scope should centre on this Airports menu command (32700 + i).
  void scopeCentringRequested(int command);
  // One track datagram was read and its records applied.
  void datagramApplied(int bytes, int records);
  // A chat text reached the message list.
  void chatMessageShown(const QString& text);

 private:
  void OnControlConnected();
  void OnControlError();
  void OnControlDisconnected();
  void OnControlReadable();
  void OnDatagramReadable();
  void HandleControlRead(std::span<const std::uint8_t> bytes);
  void HandleConfigBlock();
  void HandleChat(std::span<const std::uint8_t> bytes);
  std::optional<QString> AskPassword();
  bool ControlConnected() const;
  bool OpenDatagramSocket();
  void OpenControlSocket();
  // Closes without reporting a disconnection (the client's own close).
  void CloseControl();
  void DropSockets();
  void SetState(ConnectionState state);
  void ShowError(const QString& text);

  model::CRivakDoc& document_;
  model::ClientState& clientState_;
  ConnectionPrompts& prompts_;
  Notifier& notifier_;
  ChatMessageSink& messages_;
  Language language_;
  ConnectionOptions options_;
  model::SecondsClock clock_;

  QPointer<QTcpSocket> control_;
  QPointer<QUdpSocket> datagram_;
  ConnectionState state_ = ConnectionState::NoConnection;
  QString serverAddress_;
  bool presetServerPending_;
  bool presetPasswordPending_;
  HandshakeAssembler handshake_;
  bool inControlRead_ = false;  // the receive guard of the control socket
  // Counts ConnectToServer calls: a log-on whose dialog outlived its
  // connection must not answer for the next one.
  std::uint64_t connectionNumber_ = 0;
  protocol::TrackDatagramReader trackReader_;
  std::array<std::uint8_t, protocol::kMaxDatagramBytes> datagramBuffer_{};
  QHostAddress fromAddress_;
  quint16 fromPort_ = 0;
};

}  // namespace vantor::net
