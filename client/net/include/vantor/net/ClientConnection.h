#pragma once
// The client's connection to a server: the TCP control connection and the
// UDP track port, both on the user-interface thread's event loop.
//
// ConnectToServer asks for the address and opens both sockets; the control
// connection then collects the server's ConfigBlock, runs LogOn and answers
// with the JoinReply; from then on each track datagram updates the contact
// table and each control read is one chat message. One connection exists at
// a time: connecting again replaces it.
//
// No dialog runs inside a socket handler: the password is asked for with a
// signal and answered through a slot, so a read never waits on the user.

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
#include "vantor/net/ReceptionTap.h"
#include "vantor/net/TrackIntake.h"
#include "vantor/protocol/Constants.h"
#include "vantor/protocol/TrackDatagram.h"
#include "vantor/texts/Language.h"

class QTcpSocket;
class QUdpSocket;

namespace vantor {
class Notifier;
enum class TextId : int;
}  // namespace vantor

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
  // Track datagrams are taken only from the address the control connection
  // goes to; true takes them from any sender (a server whose datagrams leave
  // from another address).
  bool acceptAnyTrackSender = false;
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
  ClientConnection(model::CRivakDoc& document, ServerAddressPrompt& addressPrompt, Notifier& notifier,
                   Language language, ConnectionOptions options = {},
                   model::SecondsClock clock = model::SystemSecondsClock(), QObject* parent = nullptr);
  ~ClientConnection() override;
  ClientConnection(const ClientConnection&) = delete;
  ClientConnection& operator=(const ClientConnection&) = delete;

  // Starts over: resets the sensor part of the stored ConfigBlock, drops an
  // earlier connection with its contacts, asks for the server address and
  // opens both sockets. False when the dialog was cancelled or the sockets
  // could not be opened (the client then stays without connection).
  bool ConnectToServer();

  // Begins the log-on once a version-6 ConfigBlock is stored (the receive
  // path calls it). Without passwords the client joins as Blue at once;
  // otherwise PasswordNeeded asks for an entry, and SubmitPassword or
  // CancelLogOn answer it: up to three entries, Blue's password tried
  // before Red's. Joining adjusts the side's AWACS, requests the scope's
  // initial centring, sets logOnTime and sends the JoinReply.
  void LogOn();

  // Sends one chat message (destination byte and at most 250 bytes of text)
  // while joined; false when there is no joined connection.
  bool SendChatMessage(protocol::CoalitionCode destination, const QString& text);
  // The client's own coalition as a chat destination.
  protocol::CoalitionCode OwnCoalition() const;

  ConnectionState State() const { return state_; }
  const ConnectionOptions& Options() const { return options_; }
  bool IsJoined() const { return state_ == ConnectionState::Joined; }
  // The address given to the last ConnectToServer.
  const QString& ServerAddress() const { return serverAddress_; }
  // The local port of the datagram socket, 0 without one.
  quint16 DatagramPort() const;
  // Sender of the last datagram read.
  const QHostAddress& LastDatagramSender() const { return fromAddress_; }
  quint16 LastDatagramSenderPort() const { return fromPort_; }
  // Datagrams left unread because they did not come from the server.
  std::uint64_t RefusedDatagrams() const { return refusedDatagrams_; }
  // Hands every accepted datagram, chat read and log-on to `tap` as well;
  // nullptr stops. The tap must outlive the connection or be removed first.
  void SetReceptionTap(ReceptionTap* tap) { tap_ = tap; }
  // The server's block as received, once joined; nullptr before.
  const protocol::ConfigBlockBytes* JoinedConfigBlock() const;

 public Q_SLOTS:
  // The answer to PasswordNeeded. Ignored unless a log-on is waiting for
  // one (an answer meant for an earlier connection changes nothing).
  void SubmitPassword(const QString& entered);
  // Cancel in the password dialog: the control connection closes without
  // a message.
  void CancelLogOn();

 Q_SIGNALS:
  void StateChanged(vantor::net::ConnectionState state);
  // The log-on needs a password entry (the dialog): answer with
  // SubmitPassword or CancelLogOn. Leaving the LoggingOn state withdraws
  // the question.
  void PasswordNeeded();
  // Log-on decided the client's side (0 Blue, 1 Red).
  void LoggedOn(int side);
  // The scope should centre on this Airports menu command (32700 + i).
  void ScopeCentringRequested(int command);
  // One track datagram was read and its records applied.
  void DatagramApplied(int bytes, int records);
  // A chat text for the message window: a message for this client's
  // coalition or for everyone, or the invalid-message text.
  void ChatMessageShown(const QString& text);

 private:
  void OnControlConnected();
  void OnControlError();
  void OnControlDisconnected();
  void OnControlReadable();
  void OnDatagramReadable();
  void HandleControlRead(std::span<const std::uint8_t> bytes);
  void HandleConfigBlock();
  void HandleChat(std::span<const std::uint8_t> bytes);
  void RequestPassword();
  void FinishLogOn(int side);
  // The control connection is read while it waits for the ConfigBlock and
  // once joined; during the log-on later bytes wait in the socket.
  bool ReadsControl() const;
  bool ControlConnected() const;
  bool FromServer(const QHostAddress& sender) const;
  bool OpenDatagramSocket();
  void OpenControlSocket();
  // The client's own end of the control connection: closed, without a
  // disconnection report, and the state Closed.
  void EndControl();
  // Every failure of the control connection: EndControl, then the message.
  void Fail(TextId message);
  void DropSockets();
  void SetState(ConnectionState state);
  void ShowError(const QString& text);

  model::CRivakDoc& document_;
  model::ClientState& clientState_;
  ServerAddressPrompt& addressPrompt_;
  Notifier& notifier_;
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
  int passwordEntries_ = 0;  // entries tried in the current log-on
  // Counts log-ons: the preset password answers only the log-on it was
  // queued for.
  std::uint64_t logOnNumber_ = 0;
  TrackIntake trackIntake_;
  ReceptionTap* tap_ = nullptr;
  std::array<std::uint8_t, protocol::kMaxDatagramBytes> datagramBuffer_{};
  QHostAddress fromAddress_;
  quint16 fromPort_ = 0;
  QHostAddress serverPeer_;  // the control connection's peer, once connected
  std::uint64_t refusedDatagrams_ = 0;
};

}  // namespace vantor::net
