#include "vantor/net/ClientConnection.h"

#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>

#include <mutex>

#include "vantor/net/LogOnRules.h"
#include "vantor/net/ServerAddressList.h"
#include "vantor/platform/Notifier.h"
#include "vantor/protocol/ControlMessages.h"
#include "vantor/texts/QText.h"

namespace vantor::net {

const char* ConnectionStateName(ConnectionState state) {
  switch (state) {
    case ConnectionState::NoConnection:
      return "no connection";
    case ConnectionState::Connecting:
      return "connecting";
    case ConnectionState::WaitingForConfig:
      return "waiting for the configuration";
    case ConnectionState::LoggingOn:
      return "logging on";
    case ConnectionState::Joined:
      return "joined";
    case ConnectionState::Closed:
      return "closed";
  }
  return "unknown";
}

ClientConnection::ClientConnection(model::CRivakDoc& document, ServerAddressPrompt& addressPrompt, Notifier& notifier,
                                   Language language, ConnectionOptions options, model::SecondsClock clock,
                                   QObject* parent)
    : QObject(parent),
      document_(document),
      clientState_(document.State()),
      addressPrompt_(addressPrompt),
      notifier_(notifier),
      language_(language),
      options_(std::move(options)),
      clock_(clock ? std::move(clock) : model::SystemSecondsClock()),
      presetServerPending_(options_.presetServer.has_value()),
      presetPasswordPending_(options_.presetPassword.has_value()),
      trackIntake_(document) {}

ClientConnection::~ClientConnection() {
  // Leaving is not a disconnection the user has to be told about.
  DropSockets();
}

bool ClientConnection::ConnectToServer() {
  ResetSensorPart(clientState_);
  if (control_ || datagram_) {
    DropSockets();
    document_.ClearContacts();
  }
  handshake_ = HandshakeAssembler();
  trackIntake_.Reset();
  serverPeer_.clear();
  SetState(ConnectionState::NoConnection);

  ServerAddressList list(options_.serverListFile);
  list.Load();
  std::optional<QString> address;
  if (presetServerPending_) {
    presetServerPending_ = false;
    address = NormalisedAddress(*options_.presetServer);
    // The address is used either way; the user learns that it is not kept.
    if (!list.Confirm(*address)) {
      notifier_.ShowError(QText(TextId::ServerListNotSaved, language_).arg(list.FilePath()));
    }
  } else {
    address = addressPrompt_.AskServerAddress(list);
  }
  if (!address) return false;
  serverAddress_ = *address;

  if (!OpenDatagramSocket()) return false;
  OpenControlSocket();
  return true;
}

bool ClientConnection::OpenDatagramSocket() {
  auto* socket = new QUdpSocket(this);
  const QHostAddress local = options_.bindAddress.isNull() ? QHostAddress(QHostAddress::AnyIPv4) : options_.bindAddress;
  // No address sharing: a second client on the same port would silently
  // take the other's datagrams.
  if (!socket->bind(local, options_.datagramPort, QAbstractSocket::DontShareAddress)) {
    delete socket;
    ShowError(QText(TextId::NetDatagramPortBusy, language_).arg(options_.datagramPort));
    return false;
  }
  // A large mission's broadcast arrives at once and waits while the scope
  // paints; the system's default buffer would drop most of it.
  socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, protocol::kTrackReceiveBufferBytes);
  connect(socket, &QUdpSocket::readyRead, this, &ClientConnection::OnDatagramReadable);
  datagram_ = socket;
  return true;
}

void ClientConnection::OpenControlSocket() {
  auto* socket = new QTcpSocket(this);
  control_ = socket;
  connect(socket, &QTcpSocket::connected, this, &ClientConnection::OnControlConnected);
  connect(socket, &QTcpSocket::errorOccurred, this, &ClientConnection::OnControlError);
  connect(socket, &QTcpSocket::disconnected, this, &ClientConnection::OnControlDisconnected);
  connect(socket, &QTcpSocket::readyRead, this, &ClientConnection::OnControlReadable);
  SetState(ConnectionState::Connecting);
  if (!options_.bindAddress.isNull() && !socket->bind(options_.bindAddress, 0)) {
    // Reported like any other failed connect.
    Fail(TextId::NetCantConnect);
    return;
  }
  socket->connectToHost(serverAddress_, options_.serverPort);
}

void ClientConnection::OnControlConnected() {
  serverPeer_ = control_->peerAddress();
  SetState(ConnectionState::WaitingForConfig);
}

bool ClientConnection::FromServer(const QHostAddress& sender) const {
  return !serverPeer_.isNull() && sender.isEqual(serverPeer_, QHostAddress::TolerantConversion);
}

void ClientConnection::OnControlError() {
  if (state_ != ConnectionState::Connecting) return;  // losses after the connect come as a disconnection
  Fail(TextId::NetCantConnect);
}

void ClientConnection::OnControlDisconnected() {
  if (state_ == ConnectionState::Connecting) return;  // a failed connect, reported as such
  // Bytes that came with the close are still the server's last words; they
  // may already have ended the connection ("FIN", a wrong version).
  OnControlReadable();
  if (!control_ || state_ == ConnectionState::Closed) return;
  EndControl();
  notifier_.ShowInformation(QText(TextId::NetDisconnected, language_));
}

bool ClientConnection::ReadsControl() const {
  return state_ == ConnectionState::WaitingForConfig || state_ == ConnectionState::Joined;
}

void ClientConnection::OnControlReadable() {
  std::array<std::uint8_t, protocol::kControlReadBytes> buffer;
  // A read may end the connection, so the socket and the state are looked
  // at afresh each time.
  while (control_ && ReadsControl() && control_->bytesAvailable() > 0) {
    const qint64 count = control_->read(reinterpret_cast<char*>(buffer.data()), static_cast<qint64>(buffer.size()));
    if (count < 0) {
      Fail(TextId::NetReadFailure);
      return;
    }
    if (count == 0) return;
    HandleControlRead(std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(count)));
  }
}

void ClientConnection::HandleControlRead(std::span<const std::uint8_t> bytes) {
  if (handshake_.Done()) {
    if (tap_ != nullptr) tap_->ControlMessageRead(bytes);
    HandleChat(bytes);
    return;
  }
  switch (handshake_.Feed(bytes)) {
    case HandshakeAssembler::Result::NeedMore:
      return;
    case HandshakeAssembler::Result::ServerFull:
      Fail(TextId::NetServerFull);
      return;
    case HandshakeAssembler::Result::BlockReady:
      HandleConfigBlock();
      return;
  }
}

void ClientConnection::HandleConfigBlock() {
  if (handshake_.BlockVersion() != protocol::kProtocolVersion) {
    // The block of an incompatible server is not adopted: its fields may
    // mean something else.
    Fail(TextId::NetVersionMismatch);
    return;
  }
  {
    std::lock_guard<model::ContactLock> guard(clientState_.contactLock);
    clientState_.configBlock = *protocol::DecodeConfigBlock(handshake_.Block());
  }
  SetState(ConnectionState::LoggingOn);
  LogOn();
}

void ClientConnection::LogOn() {
  ++logOnNumber_;
  passwordEntries_ = 0;
  if (HasNoPasswords(clientState_.configBlock)) {
    FinishLogOn(kBlueSide);
    return;
  }
  RequestPassword();
}

void ClientConnection::RequestPassword() {
  if (!presetPasswordPending_) {
    Q_EMIT PasswordNeeded();
    return;
  }
  // The command line's password stands for the first entry. It is checked
  // from the event loop like a typed one, never inside the read that brought
  // the block: a wrong one shows a message.
  presetPasswordPending_ = false;
  QTimer::singleShot(0, this, [this, logOn = logOnNumber_, entered = *options_.presetPassword] {
    if (logOn == logOnNumber_) SubmitPassword(entered);
  });
}

void ClientConnection::SubmitPassword(const QString& entered) {
  if (state_ != ConnectionState::LoggingOn || !ControlConnected()) return;
  ++passwordEntries_;
  if (const std::optional<int> side = SideForPassword(entered.toUtf8().toStdString(), clientState_.configBlock)) {
    FinishLogOn(*side);
    return;
  }
  if (passwordEntries_ >= kPasswordTries) {
    Fail(TextId::NetCantConnect);
    return;
  }
  const std::uint64_t logOn = logOnNumber_;
  ShowError(QText(TextId::NetInvalidPassword, language_));
  // The message box runs the event loop: the connection may have ended or
  // been replaced meanwhile.
  if (logOn == logOnNumber_ && state_ == ConnectionState::LoggingOn) RequestPassword();
}

void ClientConnection::CancelLogOn() {
  if (state_ != ConnectionState::LoggingOn) return;
  EndControl();
}

void ClientConnection::FinishLogOn(int side) {
  const std::optional<int> centring = AdoptSide(clientState_, side, clock_());
  if (tap_ != nullptr) tap_->Joined(side, handshake_.Block());
  Q_EMIT LoggedOn(side);
  if (centring) Q_EMIT ScopeCentringRequested(*centring);
  if (!ControlConnected()) return;
  const auto reply = protocol::EncodeJoinReply(OwnCoalition());
  control_->write(reinterpret_cast<const char*>(reply.data()), static_cast<qint64>(reply.size()));
  SetState(ConnectionState::Joined);
  // What arrived during the log-on is read now, in order.
  if (control_->bytesAvailable() > 0) QTimer::singleShot(0, this, &ClientConnection::OnControlReadable);
}

void ClientConnection::HandleChat(std::span<const std::uint8_t> bytes) {
  const ChatReceipt receipt = ReadChatMessage(bytes, OwnCoalition(), language_);
  if (receipt.kind == ChatReceipt::Kind::NotForUs) return;
  Q_EMIT ChatMessageShown(receipt.text);
}

void ClientConnection::OnDatagramReadable() {
  while (datagram_ && datagram_->hasPendingDatagrams()) {
    const qint64 count =
        datagram_->readDatagram(reinterpret_cast<char*>(datagramBuffer_.data()),
                                static_cast<qint64>(datagramBuffer_.size()), &fromAddress_, &fromPort_);
    if (count < 0) {
      // An unconnected datagram socket reports no peer's errors; a failure
      // here means the socket itself is unusable.
      datagram_->disconnect(this);
      datagram_->close();
      ShowError(QText(TextId::NetReadFailure, language_));
      return;
    }
    // Anyone who can reach the port could otherwise put contacts on the scope.
    if (!options_.acceptAnyTrackSender && !FromServer(fromAddress_)) {
      ++refusedDatagrams_;
      continue;
    }
    // An empty datagram (nothing changed for this client) carries no records.
    if (count == 0) continue;
    const std::span<const std::uint8_t> accepted(datagramBuffer_.data(), static_cast<std::size_t>(count));
    if (tap_ != nullptr) tap_->TrackDatagramAccepted(accepted);
    const int records = trackIntake_.Apply(accepted);
    Q_EMIT DatagramApplied(static_cast<int>(count), records);
  }
}

bool ClientConnection::SendChatMessage(protocol::CoalitionCode destination, const QString& text) {
  if (!IsJoined() || !ControlConnected()) return false;
  QByteArray message(1, static_cast<char>(destination));
  message.append(EncodeChatText(text));
  return control_->write(message) == message.size();
}

protocol::CoalitionCode ClientConnection::OwnCoalition() const {
  return clientState_.isBlue ? protocol::CoalitionCode::Blue : protocol::CoalitionCode::Red;
}

const protocol::ConfigBlockBytes* ClientConnection::JoinedConfigBlock() const {
  return state_ == ConnectionState::Joined && handshake_.Done() ? &handshake_.Block() : nullptr;
}

quint16 ClientConnection::DatagramPort() const { return datagram_ ? datagram_->localPort() : 0; }

bool ClientConnection::ControlConnected() const {
  return control_ && control_->state() == QAbstractSocket::ConnectedState;
}

void ClientConnection::EndControl() {
  if (control_) {
    control_->disconnect(this);
    control_->abort();
  }
  SetState(ConnectionState::Closed);
}

void ClientConnection::Fail(TextId message) {
  EndControl();
  ShowError(QText(message, language_));
}

void ClientConnection::DropSockets() {
  for (QAbstractSocket* socket :
       {static_cast<QAbstractSocket*>(control_.data()), static_cast<QAbstractSocket*>(datagram_.data())}) {
    if (socket == nullptr) continue;
    socket->disconnect(this);
    socket->abort();
    // A read handler further up the stack may still hold it.
    socket->deleteLater();
  }
  control_.clear();
  datagram_.clear();
}

void ClientConnection::SetState(ConnectionState state) {
  if (state_ == state) return;
  state_ = state;
  Q_EMIT StateChanged(state);
}

void ClientConnection::ShowError(const QString& text) { notifier_.ShowError(text); }

}  // namespace vantor::net
