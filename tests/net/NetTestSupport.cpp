#include "NetTestSupport.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include "vantor/net/ServerAddressList.h"
#include "vantor/platform/SettingsStore.h"

namespace vantor::test {

std::optional<QString> ScriptedPrompts::AskServerAddress(net::ServerAddressList& list) {
  ++addressShown;
  if (whileAddressShown) whileAddressShown();
  if (addresses.empty()) return std::nullopt;
  const bool cancelled = !addresses.front().has_value();
  const QString answer = addresses.front().value_or(QString());
  addresses.pop_front();
  if (cancelled) return std::nullopt;
  // The dialog remembers what it confirms.
  list.Confirm(answer);
  return answer;
}

void ScriptedPrompts::AnswerPasswords(net::ClientConnection& connection) {
  QObject::connect(&connection, &net::ClientConnection::PasswordNeeded, &connection, [this, &connection] {
    ++passwordShown;
    QTimer::singleShot(0, &connection, [this, &connection] {
      if (whilePasswordShown) whilePasswordShown();
      std::optional<QString> answer;
      if (!passwords.empty()) {
        answer = passwords.front();
        passwords.pop_front();
      }
      if (answer)
        connection.SubmitPassword(*answer);
      else
        connection.CancelLogOn();
    });
  });
}

bool RecordingNotifier::Saw(const QString& text) const {
  return std::find(shown.begin(), shown.end(), text) != shown.end();
}

ClientUnderTest::ClientUnderTest(net::ConnectionOptions options, Language language)
    : document(state, [this] { return now; }) {
  connection = std::make_unique<net::ClientConnection>(document, prompts, notifier, language, std::move(options),
                                                       [this] { return now; });
  prompts.AnswerPasswords(*connection);
  QObject::connect(connection.get(), &net::ClientConnection::ScopeCentringRequested,
                   [this](int command) { centringCommands.push_back(command); });
  QObject::connect(connection.get(), &net::ClientConnection::LoggedOn,
                   [this](int side) { loggedOnSides.push_back(side); });
  QObject::connect(connection.get(), &net::ClientConnection::DatagramApplied, [this](int, int) { ++datagramsApplied; });
  QObject::connect(connection.get(), &net::ClientConnection::ChatMessageShown, [this](const QString& text) {
    messages.messages.push_back(text);
    ++messages.shownCount;
  });
}

ClientUnderTest::~ClientUnderTest() { connection.reset(); }

bool ClientUnderTest::WaitForState(net::ConnectionState wanted, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return connection->State() == wanted; }, timeout);
}

bool ClientUnderTest::WaitForContacts(std::size_t count, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return document.ContactCount() == count; }, timeout);
}

ScriptedServer::ScriptedServer() {
  listener_.listen(QHostAddress::LocalHost, 0);
  QObject::connect(&listener_, &QTcpServer::newConnection, &listener_, [this] {
    while (QTcpSocket* socket = listener_.nextPendingConnection()) {
      auto peer = std::make_unique<Peer>();
      peer->socket = socket;
      peer->address = socket->peerAddress();
      Peer* raw = peer.get();
      QObject::connect(socket, &QTcpSocket::readyRead, socket, [raw] { raw->received += raw->socket->readAll(); });
      peers_.push_back(std::move(peer));
    }
  });
}

bool ScriptedServer::WaitForClient(std::chrono::milliseconds timeout, std::size_t count) {
  return WaitUntil([&] { return peers_.size() >= count; }, timeout);
}

void ScriptedServer::Send(const QByteArray& bytes) {
  Peer* peer = Latest();
  if (peer == nullptr) return;
  peer->socket->write(bytes);
  peer->socket->flush();
  WaitUntil([&] { return peer->socket->bytesToWrite() == 0; }, 2s);
}

QByteArray ScriptedServer::Received() {
  QCoreApplication::processEvents();
  const Peer* peer = Latest();
  return peer != nullptr ? peer->received : QByteArray();
}

bool ScriptedServer::WaitForReceived(qsizetype count, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return Latest() != nullptr && Latest()->received.size() >= count; }, timeout);
}

bool ScriptedServer::WaitForClientClosed(std::chrono::milliseconds timeout, int index) {
  return WaitUntil(
      [&] {
        if (peers_.empty()) return false;
        const std::size_t at = index < 0 ? peers_.size() - 1 : static_cast<std::size_t>(index);
        return at < peers_.size() && peers_[at]->socket->state() == QAbstractSocket::UnconnectedState;
      },
      timeout);
}

void ScriptedServer::CloseClient() {
  if (Peer* peer = Latest()) peer->socket->disconnectFromHost();
}

QHostAddress ScriptedServer::ClientAddress() const {
  const Peer* peer = Latest();
  return peer != nullptr ? peer->address : QHostAddress(QHostAddress::LocalHost);
}

void ScriptedServer::SendDatagram(const QByteArray& bytes, quint16 port) {
  udp_.writeDatagram(bytes, ClientAddress(), port);
}

QByteArray ConfigBlockBytes(const protocol::ConfigBlock& block) {
  const auto bytes = protocol::EncodeConfigBlock(block);
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

protocol::ConfigBlock BlockWithPasswords(const std::string& blue, const std::string& red) {
  protocol::ConfigBlock block;
  for (auto& side : block.airfieldRadarOn) side.fill(1);
  for (auto& side : block.airfieldRadarRangeKm) side.fill(100);
  block.password = {blue, red};
  block.awacsRangeKm = 200;
  block.awacsMode = {10, 10};
  block.awacsLatitude = {44.5, 45.5};
  block.awacsLongitude = {37.5, 38.5};
  return block;
}

ServerProcess::ServerProcess(const std::function<void(SettingsStore&)>& configure)
    : feedPort_(FreeTcpPort()), clientPort_(FreeTcpPort()) {
  if (configure) {
    auto store = SettingsStore::OpenFile(dir_.filePath("vantorsrv.ini"));
    configure(*store);
    store->Sync();
  }
  process_.setProcessChannelMode(QProcess::MergedChannels);
  process_.setWorkingDirectory(dir_.path());
}

ServerProcess::~ServerProcess() { Stop(); }

bool ServerProcess::Start() {
  process_.start(ProgramPath("vantorsrv"),
                 {"--headless", "--no-simulator", "--feed-port", QString::number(feedPort_), "--client-port",
                  QString::number(clientPort_), "--settings", dir_.filePath("vantorsrv.ini")});
  if (!process_.waitForStarted(5000)) return false;
  return WaitUntil([&] { return Output().contains("client port"); }, 10s);
}

void ServerProcess::Stop() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(5000)) {
    process_.kill();
    process_.waitForFinished(5000);
  }
}

QString ServerProcess::Output() {
  output_ += QString::fromUtf8(process_.readAll());
  return output_;
}

bool FeedWriter::Connect(quint16 port) {
  socket_.connectToHost(QHostAddress::LocalHost, port);
  return socket_.waitForConnected(5000);
}

QByteArray FeedWriter::Record(int id, char classLetter, const QString& name, const QString& coalition, double latitude,
                              double longitude, double altitude, double heading) {
  return QStringLiteral("%1 %2 %3[%4]@@%5 %6 %7 %8##")
      .arg(id, 8, 10, QLatin1Char('0'))
      .arg(QLatin1Char(classLetter))
      .arg(name, coalition)
      .arg(latitude, 0, 'f', 6)
      .arg(longitude, 0, 'f', 6)
      .arg(altitude, 0, 'f', 1)
      .arg(heading, 0, 'f', 3)
      .toUtf8();
}

void FeedWriter::Send(const QByteArray& text) {
  socket_.write(text);
  socket_.flush();
  WaitUntil([&] { return socket_.bytesToWrite() == 0; }, 2s);
}

void FeedWriter::Close() { socket_.disconnectFromHost(); }

}  // namespace vantor::test
