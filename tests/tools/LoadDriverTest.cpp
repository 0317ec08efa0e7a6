// vantor-load as a program against a scripted server on loopback: the
// log-on with passwords and chosen coalitions from distinct addresses, the
// counting of what each client receives, and the exit status when records
// go missing or the log-on fails.
#include "TestSupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>

#include "vantor/missiongen/BatchStamp.h"
#include "vantor/protocol/ConfigBlock.h"
#include "vantor/protocol/ControlMessages.h"
#include "vantor/protocol/TrackRecord.h"

namespace {

using namespace std::chrono_literals;
using vantor::test::FreeTcpPort;
using vantor::test::ProgramPath;
using vantor::test::WaitUntil;
namespace protocol = vantor::protocol;

constexpr int kMovingObjects = 4;
constexpr std::int32_t kFirstId = 10000001;
constexpr std::int32_t kRadarSiteId = 10000009;

// Seats clients as vantorsrv does and sends each joined one a datagram per
// batch: the stamp first, then four moving objects; a radar site once.
class ScriptedServer {
 public:
  QString bluePassword = QStringLiteral("alpha");
  QString redPassword = QStringLiteral("bravo");
  bool full = false;
  // The client at this address misses one object's record every fourth batch.
  QString withholdFrom;

  bool Listen(quint16 port) {
    port_ = port;
    QObject::connect(&server_, &QTcpServer::newConnection, [this] { Accept(); });
    QObject::connect(&timer_, &QTimer::timeout, [this] { SendBatch(); });
    timer_.start(50);
    return server_.listen(QHostAddress::LocalHost, port);
  }
  // The coalition byte of each joined client's reply, by its address.
  std::map<QString, int> coalitions;

 private:
  struct Peer {
    QTcpSocket* socket;
    QString address;
    bool joined = false;
    bool radarSiteSent = false;
  };

  void Accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
      if (full) {
        socket->write(protocol::kServerFullNotice.data(), 3);
        socket->disconnectFromHost();
        continue;
      }
      auto peer = std::make_unique<Peer>(Peer{socket, QHostAddress(socket->peerAddress().toIPv4Address()).toString()});
      Peer* raw = peer.get();
      peers_.push_back(std::move(peer));
      QObject::connect(socket, &QTcpSocket::readyRead, [this, raw] {
        const QByteArray reply = raw->socket->readAll();
        if (reply.size() == 2 && reply[0] == protocol::kProtocolVersion) {
          raw->joined = true;
          coalitions[raw->address] = reply[1];
        }
      });
      protocol::ConfigBlock block;
      block.password = {bluePassword.toStdString(), redPassword.toStdString()};
      const auto bytes = protocol::EncodeConfigBlock(block);
      // In two pieces, as a client must be able to take it.
      socket->write(reinterpret_cast<const char*>(bytes.data()), 200);
      socket->flush();
      socket->write(reinterpret_cast<const char*>(bytes.data()) + 200, 232);
    }
  }

  static std::string Record(std::int32_t id, char classLetter, const std::string& name, double latitude,
                            double longitude, double altitude, double speed) {
    return protocol::InsertSpeed(protocol::FormatTrackRecord({.id = id,
                                                              .classLetter = classLetter,
                                                              .name = name,
                                                              .sideLetter = 'A',
                                                              .latitude = latitude,
                                                              .longitude = longitude,
                                                              .altitude = altitude,
                                                              .heading = 1.0}),
                                 speed);
  }

  void SendBatch() {
    ++batch_;
    const std::string stamp =
        Record(vantor::missiongen::kStampObjectId, 'B',
               "Batch " + std::to_string(batch_) + " sent " + std::to_string(vantor::missiongen::WallClockMicros()),
               0.0, 1.0 + 0.0001 * static_cast<double>(batch_), 0.0, 50.0);
    for (const auto& peer : peers_) {
      if (!peer->joined) continue;
      std::string datagram = stamp;
      for (int i = 0; i < kMovingObjects; ++i) {
        if (peer->address == withholdFrom && i == 1 && batch_ % 4 == 0) continue;
        datagram += Record(kFirstId + i, 'B', "Flight " + std::to_string(i), 44.0 + 0.001 * static_cast<double>(batch_),
                           38.0, 3000.0, 700.0);
      }
      if (!peer->radarSiteSent) {
        datagram += Record(kRadarSiteId, 'A', "SA-11 Buk SR", 44.5, 38.5, 100.0, 0.0);
        peer->radarSiteSent = true;
      }
      udp_.writeDatagram(datagram.data(), static_cast<qint64>(datagram.size()), QHostAddress(peer->address), port_);
    }
  }

  quint16 port_ = 0;
  QTcpServer server_;
  QUdpSocket udp_;
  QTimer timer_;
  std::vector<std::unique_ptr<Peer>> peers_;
  std::uint64_t batch_ = 0;
};

struct DriverRun {
  int exitCode = -1;
  QJsonObject report;
  QString output;
};

DriverRun RunDriver(quint16 port, const QStringList& extra) {
  QTemporaryDir dir;
  const QString json = dir.filePath("load.json");
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(ProgramPath("vantor-load"),
                QStringList{"--client-port", QString::number(port), "--clients", "3", "--first-address", "127.0.0.2",
                            "--coalitions", "blue,red,red", "--warmup", "0.3", "--duration", "1.5", "--connect-timeout",
                            "5", "--json", json, "--quiet"} +
                    extra);
  DriverRun run;
  if (!WaitUntil([&] { return process.state() == QProcess::NotRunning; }, 30s)) {
    process.kill();
    process.waitForFinished();
    return run;
  }
  run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
  run.output = QString::fromUtf8(process.readAll());
  QFile file(json);
  if (file.open(QIODevice::ReadOnly)) run.report = QJsonDocument::fromJson(file.readAll()).object();
  return run;
}

QJsonObject Client(const DriverRun& run, int index) {
  return run.report.value("clients").toArray().at(index).toObject();
}

TEST(LoadDriver, LogsOnFromItsOwnAddressesAndCountsEveryRecordOfTheWindow) {
  const quint16 port = FreeTcpPort();
  ScriptedServer server;
  ASSERT_TRUE(server.Listen(port));
  const DriverRun run = RunDriver(port, {});
  ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();

  // Each client logged on from its own address with its coalition's password.
  EXPECT_EQ(server.coalitions, (std::map<QString, int>{{"127.0.0.2", 0}, {"127.0.0.3", 1}, {"127.0.0.4", 1}}));
  const qint64 batches = run.report.value("endBatch").toInteger() - run.report.value("firstBatch").toInteger();
  EXPECT_GE(batches, 10);
  for (int i = 0; i < 3; ++i) {
    const QJsonObject client = Client(run, i);
    EXPECT_EQ(client.value("side").toString(), i == 0 ? "Blue" : "Red");
    EXPECT_EQ(client.value("stamps").toInteger(), batches);
    EXPECT_EQ(client.value("datagrams").toInteger(), batches);
    // The radar site came before the window.
    EXPECT_EQ(client.value("records").toInteger(), batches * kMovingObjects);
    EXPECT_EQ(client.value("objects").toInteger(), kMovingObjects);
    EXPECT_DOUBLE_EQ(client.value("recordsPerObject").toDouble(), static_cast<double>(batches));
    EXPECT_EQ(client.value("gaps").toInteger(), 0);
    EXPECT_EQ(client.value("missingRecords").toInteger(), 0);
    EXPECT_EQ(client.value("systemDrops").toInteger(), 0);
    const QJsonObject latency = client.value("latency").toObject();
    EXPECT_EQ(latency.value("records").toInteger(), batches * kMovingObjects);
    EXPECT_LT(latency.value("p99Ms").toDouble(), 1000.0);
  }
  EXPECT_FALSE(run.report.value("recordsLost").toBool());
  EXPECT_TRUE(run.output.contains("no record lost")) << run.output.toStdString();
}

TEST(LoadDriver, RecordsMissingAtOneClientAreLostGapsAndExitOne) {
  const quint16 port = FreeTcpPort();
  ScriptedServer server;
  server.withholdFrom = QStringLiteral("127.0.0.3");
  ASSERT_TRUE(server.Listen(port));
  const DriverRun run = RunDriver(port, {});
  EXPECT_EQ(run.exitCode, 1) << run.output.toStdString();

  const qint64 batches = run.report.value("endBatch").toInteger() - run.report.value("firstBatch").toInteger();
  const QJsonObject lossy = Client(run, 1);
  // One record in every fourth batch, each a gap in its object's updates.
  EXPECT_NEAR(static_cast<double>(lossy.value("missingRecords").toInteger()), batches / 4.0, 1.0);
  // A miss in the window's last batch resumes after it; timer jitter may
  // hide one more.
  EXPECT_GE(lossy.value("gaps").toInteger(), 1);
  EXPECT_LE(lossy.value("gaps").toInteger(), lossy.value("missingRecords").toInteger());
  EXPECT_EQ(lossy.value("records").toInteger(), batches * kMovingObjects - lossy.value("missingRecords").toInteger());
  EXPECT_EQ(Client(run, 0).value("missingRecords").toInteger(), 0);
  EXPECT_EQ(Client(run, 2).value("missingRecords").toInteger(), 0);
  EXPECT_TRUE(run.report.value("recordsLost").toBool());
  EXPECT_TRUE(run.output.contains("RECORDS LOST")) << run.output.toStdString();
}

TEST(LoadDriver, AWrongPasswordOrAFullServerEndsTheRunWithExitTwo) {
  {
    const quint16 port = FreeTcpPort();
    ScriptedServer server;
    ASSERT_TRUE(server.Listen(port));
    const DriverRun run = RunDriver(port, {"--red-password", "BRAVO", "--blue-password", "charlie"});
    EXPECT_EQ(run.exitCode, 2) << run.output.toStdString();
    // Passwords compare without regard to case; Blue's did not match.
    EXPECT_TRUE(run.report.value("setupFailure").toString().contains("Blue password")) << run.output.toStdString();
  }
  {
    const quint16 port = FreeTcpPort();
    ScriptedServer server;
    server.full = true;
    ASSERT_TRUE(server.Listen(port));
    const DriverRun run = RunDriver(port, {});
    EXPECT_EQ(run.exitCode, 2) << run.output.toStdString();
    EXPECT_TRUE(run.report.value("setupFailure").toString().contains("full")) << run.output.toStdString();
  }
}

}  // namespace
