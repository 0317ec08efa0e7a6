// A generated mission through the real server: vantorsrv takes the feed and
// a minimal radar client on loopback receives track datagrams, both when the
// generator is started beside the server and when the server starts it as
// its simulator "falcrest".
#include "TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;
using vantor::test::FreeTcpPort;
using vantor::test::ProgramPath;
using vantor::test::WaitUntil;

constexpr int kConfigBlockBytes = 432;

class Process {
 public:
  Process(const QString& program, const QStringList& arguments) {
    process_.start(program, arguments);
    process_.waitForStarted();
  }
  ~Process() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished();
    }
  }
  QString Stderr() {
    stderr_ += QString::fromUtf8(process_.readAllStandardError());
    return stderr_;
  }
  QProcess& Get() { return process_; }

 private:
  QProcess process_;
  QString stderr_;
};

// The least a radar client does: UDP on its own loopback address, the
// control connection from that address, the configuration block, the join.
class MinimalClient {
 public:
  bool Join(quint16 clientPort) {
    const QHostAddress address(QStringLiteral("127.0.0.2"));
    if (!udp_.bind(address, clientPort)) return false;
    QObject::connect(&udp_, &QUdpSocket::readyRead, [this] {
      while (udp_.hasPendingDatagrams()) {
        QByteArray datagram(static_cast<qsizetype>(udp_.pendingDatagramSize()), '\0');
        udp_.readDatagram(datagram.data(), datagram.size());
        datagrams_.push_back(datagram);
      }
    });
    if (!control_.bind(address)) return false;
    control_.connectToHost(QHostAddress::LocalHost, clientPort);
    if (!WaitUntil([&] { return control_.state() == QAbstractSocket::ConnectedState; }, 5s)) return false;
    QByteArray block;
    if (!WaitUntil([&] { return (block += control_.readAll()).size() >= kConfigBlockBytes; }, 5s)) return false;
    if (block.at(0) != 6) return false;  // protocol version
    const char joinReply[2] = {6, 0};    // Blue
    control_.write(joinReply, 2);
    return control_.waitForBytesWritten(2000);
  }
  const std::vector<QByteArray>& Datagrams() const { return datagrams_; }
  int TrackRecords() const {
    int count = 0;
    for (const QByteArray& datagram : datagrams_) count += static_cast<int>(datagram.count("##"));
    return count;
  }
  QByteArray All() const {
    QByteArray all;
    for (const QByteArray& datagram : datagrams_) all += datagram;
    return all;
  }

 private:
  QUdpSocket udp_;
  QTcpSocket control_;
  std::vector<QByteArray> datagrams_;
};

QStringList ServerArguments(quint16 feedPort, quint16 clientPort, const QTemporaryDir& dir) {
  return {"--headless",
          "--feed-port",
          QString::number(feedPort),
          "--client-port",
          QString::number(clientPort),
          "--settings",
          dir.filePath("vantorsrv.ini")};
}

void ExpectTrackRecords(const MinimalClient& client) {
  // "<8-digit id><class><name>[<side>]@lat lon alt heading speed##"
  static const QRegularExpression record(
      QStringLiteral(R"(^[1-9][0-9]{7}[ABCD][^@]+\[[AB]\]@-?[0-9.]+ -?[0-9.]+ -?[0-9.]+ -?[0-9.]+ [0-9]+##)"));
  int checked = 0;
  for (const QByteArray& datagram : client.Datagrams()) {
    if (datagram.isEmpty()) continue;
    const QString text = QString::fromLatin1(datagram);
    EXPECT_TRUE(record.match(text).hasMatch()) << text.left(200).toStdString();
    ++checked;
  }
  EXPECT_GT(checked, 0);
  const QByteArray all = client.All();
  EXPECT_TRUE(all.contains("[B]@")) << "no Red contact";
  EXPECT_TRUE(all.contains("[A]@")) << "no Blue contact";
}

TEST(MissionThroughServer, ReachesAClientAsTrackDatagrams) {
  const QString server = ProgramPath("vantorsrv");
  if (!QFile::exists(server)) GTEST_SKIP() << "vantorsrv is not built";
  QTemporaryDir dir;
  const quint16 feedPort = FreeTcpPort(), clientPort = FreeTcpPort();
  Process vantorsrv(server, ServerArguments(feedPort, clientPort, dir) + QStringList{"--no-simulator"});
  ASSERT_TRUE(WaitUntil([&] { return vantorsrv.Stderr().contains("client port"); }, 10s))
      << vantorsrv.Stderr().toStdString();
  MinimalClient client;
  ASSERT_TRUE(client.Join(clientPort));

  Process generator(ProgramPath("vantor-missiongen"), {"--port", QString::number(feedPort), "--seed", "6"});
  // Objects are sent from their second report on; aircraft, ships and radar
  // sites of both sides within a couple of seconds.
  ASSERT_TRUE(WaitUntil([&] { return client.TrackRecords() > 200; }, 15s)) << vantorsrv.Stderr().toStdString();
  ExpectTrackRecords(client);
  EXPECT_TRUE(client.All().contains("Admiral Kuznetsov[B]@"));
}

TEST(MissionThroughServer, TheServerStartsTheGeneratorAsItsSimulator) {
  const QString server = ProgramPath("vantorsrv");
  if (!QFile::exists(server)) GTEST_SKIP() << "vantorsrv is not built";
  QTemporaryDir dir, simulator;
  const quint16 feedPort = FreeTcpPort(), clientPort = FreeTcpPort();
  ASSERT_TRUE(QFile::link(ProgramPath("vantor-missiongen"), simulator.filePath("falcrest")));
  QFile ini(simulator.filePath("vantor-export.ini"));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  // A short mission: the simulator ends by itself, as the server never stops it.
  ini.write(QStringLiteral("[Export]\nport=%1\nduration=8\nobjects=40\n").arg(feedPort).toUtf8());
  ini.close();

  MinimalClient client;
  Process vantorsrv(server,
                    ServerArguments(feedPort, clientPort, dir) + QStringList{"--simulator-dir", simulator.path()});
  ASSERT_TRUE(WaitUntil([&] { return vantorsrv.Stderr().contains("client port"); }, 10s))
      << vantorsrv.Stderr().toStdString();
  ASSERT_TRUE(client.Join(clientPort));
  ASSERT_TRUE(WaitUntil([&] { return client.TrackRecords() > 50; }, 15s)) << vantorsrv.Stderr().toStdString();
  ExpectTrackRecords(client);
}

}  // namespace
