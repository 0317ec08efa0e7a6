#include "vantor/load/LoadClient.h"

#include <QCoreApplication>

#include "vantor/missiongen/BatchStamp.h"
#include "vantor/net/LogOnRules.h"
#include "vantor/protocol/ConfigBlock.h"
#include "vantor/protocol/ControlMessages.h"
#include "vantor/texts/Language.h"

namespace vantor::load {
namespace {

constexpr int kConnectRetryMs = 250;

bool IsNotListeningYet(QAbstractSocket::SocketError error) {
  return error == QAbstractSocket::ConnectionRefusedError || error == QAbstractSocket::SocketTimeoutError;
}

}  // namespace

TrackReceiver::TrackReceiver(QHostAddress address, quint16 port, int receiveBufferBytes, const CountingWindow& window)
    : address_(std::move(address)), port_(port), receiveBufferBytes_(receiveBufferBytes), tally_(window) {}

TrackReceiver::~TrackReceiver() = default;

QString TrackReceiver::Open() {
  socket_ = std::make_unique<QUdpSocket>();
  // No address sharing, as Vantor binds it: a second client on the same
  // address and port would silently take the other's datagrams.
  if (!socket_->bind(address_, port_, QAbstractSocket::DontShareAddress)) {
    const QString why = QStringLiteral("cannot bind the track port %1:%2 (%3)")
                            .arg(address_.toString())
                            .arg(port_)
                            .arg(socket_->errorString());
    socket_.reset();
    return why;
  }
  socket_->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                           receiveBufferBytes_ > 0 ? receiveBufferBytes_ : protocol::kTrackReceiveBufferBytes);
  connect(socket_.get(), &QUdpSocket::readyRead, this, &TrackReceiver::OnReadable);
  return {};
}

void TrackReceiver::Close() {
  if (socket_) {
    OnReadable();
    socket_->close();
    socket_.reset();
  }
  // Handed back to the main thread, which reads the tally and deletes it.
  moveToThread(QCoreApplication::instance()->thread());
}

void TrackReceiver::OnReadable() {
  while (socket_ && socket_->hasPendingDatagrams()) {
    const qint64 count =
        socket_->readDatagram(reinterpret_cast<char*>(buffer_.data()), static_cast<qint64>(buffer_.size()));
    const std::int64_t arrival = missiongen::WallClockMicros();
    if (count < 0) break;
    entries_.clear();
    if (count > 0) {
      reader_.feed(std::span<const std::uint8_t>(buffer_.data(), static_cast<std::size_t>(count)), entries_);
    }
    tally_.OnDatagram(arrival, static_cast<std::size_t>(count), entries_);
  }
}

LoadClient::LoadClient(int number, const LoadOptions& options, const CountingWindow& window, QObject* parent)
    : QObject(parent), number_(number), options_(options), address_(options.ClientAddress(number - 1)) {
  thread_.setObjectName(QStringLiteral("track %1").arg(number));
  receiver_ = new TrackReceiver(address_, options.clientPort, options.receiveBufferBytes, window);
  retry_.setSingleShot(true);
  retry_.setInterval(kConnectRetryMs);
  connect(&retry_, &QTimer::timeout, this, &LoadClient::Connect);
  connect(&control_, &QTcpSocket::connected, this, &LoadClient::OnConnected);
  connect(&control_, &QTcpSocket::errorOccurred, this, &LoadClient::OnError);
  connect(&control_, &QTcpSocket::readyRead, this, &LoadClient::OnReadable);
  connect(&control_, &QTcpSocket::disconnected, this, [this] {
    OnReadable();  // the server's last words may say why ("FIN")
    if (state_ == State::Joined) {
      state_ = State::Disconnected;
      Q_EMIT Disconnected();
    } else if (state_ != State::Failed) {
      Fail(QStringLiteral("the server closed the connection before the log-on ended"));
    }
  });
}

LoadClient::~LoadClient() {
  StopReceiving();
  control_.disconnect(this);
  control_.abort();
  delete receiver_;
}

void LoadClient::Start() {
  receiver_->moveToThread(&thread_);
  thread_.start();
  QString why;
  QMetaObject::invokeMethod(receiver_, "Open", Qt::BlockingQueuedConnection, Q_RETURN_ARG(QString, why));
  if (!why.isEmpty()) {
    Fail(why);
    return;
  }
  connecting_.start();
  Connect();
}

void LoadClient::StopReceiving() {
  if (!thread_.isRunning()) return;
  QMetaObject::invokeMethod(receiver_, "Close", Qt::BlockingQueuedConnection);
  thread_.quit();
  thread_.wait();
}

void LoadClient::Connect() {
  control_.abort();
  state_ = State::Connecting;
  // The control connection leaves from the client's own address, so the
  // server aims its datagrams at this client's track port.
  if (!control_.bind(address_, 0)) {
    Fail(QStringLiteral("cannot use the address %1 (%2)").arg(address_.toString(), control_.errorString()));
    return;
  }
  control_.connectToHost(options_.server, options_.clientPort);
}

void LoadClient::OnConnected() {
  control_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
  state_ = State::WaitingForConfig;
}

void LoadClient::OnError(QAbstractSocket::SocketError error) {
  if (state_ != State::Connecting) return;  // losses after the connect come as a disconnection
  if (IsNotListeningYet(error) && connecting_.elapsed() < options_.connectTimeoutSeconds * 1000.0) {
    retry_.start();
    return;
  }
  Fail(QStringLiteral("cannot connect to %1:%2 (%3)")
           .arg(options_.server)
           .arg(options_.clientPort)
           .arg(control_.errorString()));
}

void LoadClient::OnReadable() {
  std::array<std::uint8_t, protocol::kControlReadBytes> buffer;
  while (state_ != State::Failed && control_.bytesAvailable() > 0) {
    const qint64 count = control_.read(reinterpret_cast<char*>(buffer.data()), static_cast<qint64>(buffer.size()));
    if (count <= 0) break;
    const std::span<const std::uint8_t> bytes(buffer.data(), static_cast<std::size_t>(count));
    if (handshake_.Done()) {
      // Chat: each read is one message, as for Vantor.
      const protocol::CoalitionCode own =
          side_ == net::kRedSide ? protocol::CoalitionCode::Red : protocol::CoalitionCode::Blue;
      if (net::ReadChatMessage(bytes, own, Language::English).kind != net::ChatReceipt::Kind::NotForUs) {
        ++chatMessages_;
      }
      continue;
    }
    switch (handshake_.Feed(bytes)) {
      case net::HandshakeAssembler::Result::NeedMore:
        break;
      case net::HandshakeAssembler::Result::ServerFull:
        Fail(QStringLiteral("the server is full (it answered \"FIN\"; raise its MaxClient)"));
        return;
      case net::HandshakeAssembler::Result::BlockReady:
        OnConfigBlock();
        break;
    }
  }
}

void LoadClient::OnConfigBlock() {
  if (handshake_.BlockVersion() != protocol::kProtocolVersion) {
    Fail(QStringLiteral("the server speaks protocol version %1, not %2")
             .arg(handshake_.BlockVersion())
             .arg(protocol::kProtocolVersion));
    return;
  }
  const protocol::ConfigBlock block = *protocol::DecodeConfigBlock(handshake_.Block());
  int side = net::kBlueSide;
  if (!net::HasNoPasswords(block)) {
    // The password the user of the chosen coalition would type.
    const bool blue = options_.ClientCoalition(number_ - 1) == Coalition::Blue;
    const std::optional<QString>& given = blue ? options_.bluePassword : options_.redPassword;
    const std::string entered = given ? given->toUtf8().toStdString() : block.password[blue ? 0 : 1];
    const auto matched = net::SideForPassword(entered, block);
    if (!matched) {
      Fail(QStringLiteral("the %1 password does not match the server's").arg(blue ? "Blue" : "Red"));
      return;
    }
    side = *matched;
  }
  side_ = side;
  const auto reply =
      protocol::EncodeJoinReply(side == net::kBlueSide ? protocol::CoalitionCode::Blue : protocol::CoalitionCode::Red);
  control_.write(reinterpret_cast<const char*>(reply.data()), static_cast<qint64>(reply.size()));
  state_ = State::Joined;
  Q_EMIT Joined();
}

QString LoadClient::Side() const {
  if (!side_) return {};
  return *side_ == net::kBlueSide ? QStringLiteral("Blue") : QStringLiteral("Red");
}

void LoadClient::Fail(const QString& why) {
  if (state_ == State::Failed) return;
  state_ = State::Failed;
  failure_ = why;
  retry_.stop();
  control_.abort();
  Q_EMIT Failed(why);
}

}  // namespace vantor::load
