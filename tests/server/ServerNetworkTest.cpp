// The server over real loopback sockets: clients on 127.0.0.2, 127.0.0.3 ...
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QThread>

#include "ServerTestSupport.h"
#include "vantor/protocol/ControlMessages.h"
#include "vantor/protocol/TrackDatagram.h"

using namespace vantor;
using namespace vantor::test;
using protocol::CoalitionCode;

namespace {

QByteArray Obj(std::int32_t id, char cls, const std::string& name, double lat, double lon,
               const char* bracket = "[Allies]") {
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "@@%.4f %.4f 1000 1.5##", lat, lon);
  return QByteArray::fromStdString(std::to_string(id) + " " + cls + " " + name + bracket + numbers);
}

QByteArray Bytes(const protocol::ConfigBlockBytes& bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

std::int32_t Int32At(const QByteArray& bytes, int offset) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i)
    value |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[offset + i])) << (8 * i);
  return static_cast<std::int32_t>(value);
}

// Sends a batch and waits until `client` got one more datagram.
QByteArray Broadcast(TestFeed& feed, TestClient& client, const QByteArray& batch) {
  const std::size_t before = client.datagrams().size();
  feed.send(batch);
  if (!client.waitDatagrams(before + 1)) return "<no datagram>";
  QByteArray text;
  // A batch is one broadcast; gather what arrived for it.
  QCoreApplication::processEvents();
  for (std::size_t i = before; i < client.datagrams().size(); ++i) text += client.datagrams()[i];
  return text;
}

}  // namespace

TEST(ServerNetwork, FreshConfigurationReachesAClientByteExact) {
  ServerHarness harness;
  harness.start();
  ASSERT_EQ(harness.server().clientPort(), harness.clientPort());
  TestClient client("127.0.0.2", harness.clientPort());
  ASSERT_TRUE(client.connectTo(harness.clientPort()));
  const QByteArray received = client.waitControl(432);
  ASSERT_EQ(received.size(), 432);

  protocol::ConfigBlock expected = server::DefaultServerConfig().block;
  // No mission clock record yet: both mission values are 0, the clock reads wall time.
  expected.missionClock = static_cast<std::int32_t>(harness.clock().nowSeconds());
  EXPECT_EQ(received, Bytes(protocol::EncodeConfigBlock(expected)));
  EXPECT_EQ(Int32At(received, 0), 6);
  EXPECT_EQ(Int32At(received, 4), 1);
  EXPECT_EQ(Int32At(received, 180), 50);
  EXPECT_EQ(Int32At(received, 384), 200);
  EXPECT_EQ(Int32At(received, 420), 10);
  EXPECT_EQ(Int32At(received, 428), 1'700'000'000);
  EXPECT_EQ(QByteArray(received.constData() + 364, 20), QByteArray(20, '\0'));
}

TEST(ServerNetwork, ConfiguredBlockAndMissionClockReachAClientByteExact) {
  ServerHarness harness;
  SettingsStore& settings = harness.settings();
  settings.WriteString("Config", "bluepass", "ABCDEFGHIJKL");
  settings.WriteString("Config", "redpass", "red");
  settings.WriteInt("Config", "a3", 0);
  settings.WriteInt("Config", "RR22", 300);
  settings.WriteInt("Config", "Awacs1", 0);
  settings.WriteInt("Config", "RadarOnly", 1);
  settings.WriteInt("Config", "AwacsRange", 650);
  settings.WriteString("Config", "Alat0", "44.5678901234");
  settings.WriteString("Config", "Along1", "38.25");
  settings.Sync();
  harness.start();

  TestFeed feed;
  ASSERT_TRUE(feed.connectTo(harness.feedPort()));
  feed.send("Mission start time: 43200##");
  ASSERT_TRUE(WaitUntil([&] { return harness.server().missionTime().missionStart == 43200; }));
  harness.clock().advance(60);

  TestClient client("127.0.0.2", harness.clientPort());
  ASSERT_TRUE(client.connectTo(harness.clientPort()));
  const QByteArray received = client.waitControl(432);
  protocol::ConfigBlock expected = server::DefaultServerConfig().block;
  expected.password = {"ABCDEFGHI", "red"};
  expected.airfieldRadarOn[0][2] = 0;
  expected.airfieldRadarRangeKm[1][21] = 300;
  expected.awacsMode[1] = 0;
  expected.radarOnly[0] = 1;
  expected.awacsRangeKm = 650;
  expected.awacsLatitude[0] = 44.56789;
  expected.awacsLongitude[1] = 38.25;
  expected.missionClock = 43260;
  EXPECT_EQ(received, Bytes(protocol::EncodeConfigBlock(expected)));
  EXPECT_EQ(received.mid(364, 10), QByteArray("ABCDEFGHI\0", 10));
  EXPECT_EQ(Int32At(received, 428), 43260);
}

TEST(ServerNetwork, FullServerSaysFinAndAFreedSlotIsReusedWithRadarSitesSentAgain) {
  ServerHarness harness;
  harness.settings().WriteInt("Config", "MaxClient", 2);
  harness.start();
  auto blue = harness.joinedClient("127.0.0.2");
  auto red = harness.joinedClient("127.0.0.3", CoalitionCode::Red);
  ASSERT_TRUE(blue && red);

  TestClient third("127.0.0.4", harness.clientPort());
  ASSERT_TRUE(third.connectTo(harness.clientPort()));
  EXPECT_TRUE(third.waitDisconnected());
  EXPECT_EQ(third.takeControl(), QByteArray("FIN"));
  EXPECT_EQ(harness.server().seatedClients(), 2);

  TestFeed feed;
  ASSERT_TRUE(feed.connectTo(harness.feedPort()));
  feed.send("Mission start time: 0##");
  const QByteArray site = Obj(30000001, 'A', "BUK SR", 45.0, 38.0, "[Enemies]");
  Broadcast(feed, *blue, site);  // created
  harness.clock().advance(1);
  const QByteArray siteRecord = "30000001ABUK SR[A]@45.0000 38.0000 1000.0 1.50 0##";
  EXPECT_EQ(Broadcast(feed, *blue, site), siteRecord);
  ASSERT_TRUE(red->waitDatagrams(2));
  EXPECT_EQ(red->datagrams().back(), siteRecord);
  EXPECT_EQ(Broadcast(feed, *blue, site), QByteArray());  // once per client

  red->disconnect();
  ASSERT_TRUE(WaitUntil([&] { return harness.server().seatedClients() == 1; }));
  auto fresh = harness.joinedClient("127.0.0.5");
  ASSERT_TRUE(fresh);
  const auto seated = harness.server().clientSlots();
  ASSERT_EQ(seated.size(), 2u);
  EXPECT_EQ(seated[1].slot, 2);
  EXPECT_EQ(seated[1].peer, QHostAddress("127.0.0.5"));
  harness.clock().advance(1);
  EXPECT_EQ(Broadcast(feed, *fresh, site), siteRecord);
  EXPECT_EQ(blue->datagrams().back(), QByteArray());
}

TEST(ServerNetwork, ClientThatNeverJoinsIsDroppedAtTheJoinTimeout) {
  ServerHarness harness(std::chrono::milliseconds(400));
  harness.start();
  TestClient silent("127.0.0.2", harness.clientPort());
  TestClient late("127.0.0.3", harness.clientPort());
  ASSERT_TRUE(silent.connectTo(harness.clientPort()));
  ASSERT_TRUE(late.connectTo(harness.clientPort()));
  ASSERT_TRUE(silent.waitConfigBlock() && late.waitConfigBlock());
  silent.send("\x03not a join");  // ignored, no reply
  QThread::msleep(250);
  late.join(CoalitionCode::Red);  // answers before the timeout
  EXPECT_TRUE(silent.waitDisconnected(std::chrono::seconds(3)));
  EXPECT_TRUE(silent.takeControl().isEmpty());
  QThread::msleep(300);
  QCoreApplication::processEvents();
  EXPECT_TRUE(late.connected());
  ASSERT_EQ(harness.server().clientSlots().size(), 1u);
  EXPECT_EQ(harness.server().clientSlots()[0].coalition, 1);
  EXPECT_TRUE(harness.server().clientSlots()[0].joined);
}

TEST(ServerNetwork, RealFifteenSecondJoinTimeout) {
  ServerHarness harness;  // the default 15 s
  harness.start();
  TestClient silent("127.0.0.2", harness.clientPort());
  TestClient late("127.0.0.3", harness.clientPort());
  QElapsedTimer elapsed;
  elapsed.start();
  ASSERT_TRUE(silent.connectTo(harness.clientPort()));
  ASSERT_TRUE(late.connectTo(harness.clientPort()));
  WaitUntil([] { return false; }, std::chrono::milliseconds(14000));
  EXPECT_TRUE(silent.connected());
  late.join(CoalitionCode::Blue);  // after 14 s: stays
  EXPECT_TRUE(silent.waitDisconnected(std::chrono::seconds(3)));
  EXPECT_GE(elapsed.elapsed(), 14900);
  WaitUntil([] { return false; }, std::chrono::milliseconds(600));
  EXPECT_TRUE(late.connected());
  EXPECT_EQ(harness.server().joinedClients(), 1);
}

TEST(ServerNetwork, ChatIsRelayedToEveryJoinedClientSenderIncluded) {
  ServerHarness harness;
  harness.settings().WriteInt("Config", "MaxClient", 3);
  harness.start();
  auto blue = harness.joinedClient("127.0.0.2");
  auto red = harness.joinedClient("127.0.0.3", CoalitionCode::Red);
  ASSERT_TRUE(blue && red);
  TestClient waiting("127.0.0.4", harness.clientPort());
  ASSERT_TRUE(waiting.connectTo(harness.clientPort()));
  ASSERT_TRUE(waiting.waitConfigBlock());

  const auto message = protocol::EncodeChatMessage(CoalitionCode::Blue, std::string(250, 'm'));
  const QByteArray bytes(reinterpret_cast<const char*>(message.data()), static_cast<qsizetype>(message.size()));
  blue->send(bytes);
  EXPECT_EQ(blue->waitControl(251), bytes);
  EXPECT_EQ(red->waitControl(251), bytes);
  QThread::msleep(100);
  EXPECT_TRUE(waiting.takeControl().isEmpty());

  // Before its join a client's message is a join attempt or nothing.
  waiting.send("\x03hello");
  QThread::msleep(100);
  QCoreApplication::processEvents();
  EXPECT_EQ(harness.server().joinedClients(), 2);
  EXPECT_EQ(blue->takeControl(), bytes);
}

TEST(ServerNetwork, FeedCloseEndsEveryClient) {
  ServerHarness harness;
  harness.start();
  auto blue = harness.joinedClient("127.0.0.2");
  auto red = harness.joinedClient("127.0.0.3", CoalitionCode::Red);
  ASSERT_TRUE(blue && red);
  TestFeed feed;
  ASSERT_TRUE(feed.connectTo(harness.feedPort()));
  feed.send("Mission start time: 0##" + Obj(10000001, 'B', "Colt", 45, 38));
  ASSERT_TRUE(blue->waitDatagrams(1));
  EXPECT_EQ(harness.server().feedTableSizes(), std::vector<std::size_t>{1});
  feed.close();
  EXPECT_TRUE(blue->waitDisconnected());
  EXPECT_TRUE(red->waitDisconnected());
  EXPECT_EQ(harness.server().seatedClients(), 0);
  EXPECT_EQ(harness.server().feedConnections(), 0);
  EXPECT_TRUE(harness.notifier().errors.empty());
}

TEST(ServerNetwork, UnboundedRecordDoesNotDropTheFeed) {
  ServerHarness harness;
  harness.start();
  auto blue = harness.joinedClient("127.0.0.2");
  ASSERT_TRUE(blue);
  TestFeed feed;
  ASSERT_TRUE(feed.connectTo(harness.feedPort()));
  feed.send("Mission start time: 0##" + Obj(10000001, 'B', "Colt", 45, 38));
  ASSERT_TRUE(blue->waitDatagrams(1));
  feed.send("10000002 B " + QByteArray(25000, 'N') + "[Allies]@@1 2 3 4##");
  harness.clock().advance(1);
  EXPECT_EQ(Broadcast(feed, *blue, Obj(10000001, 'B', "Colt", 45.1, 38)),
            "10000001BColt[B]@45.1000 38.0000 1000.0 1.50 0##");
  EXPECT_TRUE(blue->connected());
  EXPECT_EQ(harness.server().feedConnections(), 1);
}

TEST(ServerNetwork, LargeBroadcastArrivesAsSeveralDatagramsOfTheSameRecords) {
  ServerHarness harness;
  harness.start();
  auto blue = harness.joinedClient("127.0.0.2");
  ASSERT_TRUE(blue);
  TestFeed feed;
  ASSERT_TRUE(feed.connectTo(harness.feedPort()));
  QByteArray created = "Mission start time: 0##", moved;
  for (int i = 0; i < 400; ++i) {
    created += Obj(10000000 + i, 'B', "Flight " + std::to_string(i), 45.0, 38.0);
    moved += Obj(10000000 + i, 'B', "Flight " + std::to_string(i), 45.1, 38.0);
  }
  feed.send(created);
  ASSERT_TRUE(WaitUntil([&] { return harness.server().feedTableSizes() == std::vector<std::size_t>{400}; }));
  QCoreApplication::processEvents();
  const std::size_t before = blue->datagrams().size();
  harness.clock().advance(1);
  feed.send(moved);
  protocol::TrackDatagramReader reader;
  std::size_t records = 0;
  ASSERT_TRUE(WaitUntil([&] {
    for (std::size_t i = before; i < blue->datagrams().size(); ++i) {
      EXPECT_LE(blue->datagrams()[i].size(), 10000);
      records += reader.feed(blue->datagrams()[i].toStdString()).size();
    }
    blue->datagrams().resize(std::min(blue->datagrams().size(), before));
    return records >= 400;
  }));
  EXPECT_EQ(records, 400u);
}

TEST(ServerNetwork, FailedDatagramSendDropsTheClient) {
  ServerHarness harness;
  harness.start();
  auto blue = harness.joinedClient("127.0.0.2");
  auto red = harness.joinedClient("127.0.0.3", CoalitionCode::Red);
  ASSERT_TRUE(blue && red);
  blue->closeUdp();  // its port now refuses datagrams
  TestFeed feed;
  ASSERT_TRUE(feed.connectTo(harness.feedPort()));
  feed.send("Mission start time: 0##");
  for (int batch = 0; batch < 20 && blue->connected(); ++batch) {
    Broadcast(feed, *red, Obj(10000001, 'B', "Colt", 45.0 + batch * 0.01, 38));
  }
  EXPECT_TRUE(blue->waitDisconnected());
  EXPECT_EQ(harness.server().seatedClients(), 1);
  EXPECT_TRUE(red->connected());
}

TEST(ServerNetwork, HostCheckFailureDropsTheClientWithItsMessage) {
  ServerHarness harness;
  harness.settings().WriteString("config", "Installer Language", "1033");
  harness.server().SetLanguage(Language::English);
  harness.start();
  harness.hostCheck().accept = false;
  TestClient client("127.0.0.2", harness.clientPort());
  ASSERT_TRUE(client.connectTo(harness.clientPort()));
  EXPECT_TRUE(client.waitDisconnected());
  EXPECT_TRUE(client.takeControl().isEmpty());
  ASSERT_EQ(harness.notifier().errors.size(), 1u);
  EXPECT_EQ(harness.notifier().errors[0], "Only Falcrest server can send data");
  EXPECT_EQ(harness.server().seatedClients(), 0);
  harness.hostCheck().accept = true;
  EXPECT_TRUE(harness.joinedClient("127.0.0.3"));
}

TEST(ServerNetwork, SecondStartKeepsTheOpenListeningSockets) {
  ServerHarness harness;
  harness.start();
  auto blue = harness.joinedClient("127.0.0.2");
  ASSERT_TRUE(blue);
  harness.start();
  EXPECT_TRUE(harness.notifier().errors.empty());
  EXPECT_EQ(harness.server().feedPort(), harness.feedPort());
  EXPECT_EQ(harness.server().clientPort(), harness.clientPort());
  EXPECT_TRUE(blue->connected());
  EXPECT_TRUE(harness.joinedClient("127.0.0.3", CoalitionCode::Red));
}

TEST(ServerNetwork, PortInUseShowsItsTextAndTheOtherPortStillOpens) {
  ServerHarness harness;
  QTcpServer squatter;
  ASSERT_TRUE(squatter.listen(QHostAddress::Any, harness.feedPort()));
  harness.start();
  ASSERT_EQ(harness.notifier().errors.size(), 1u);
  EXPECT_EQ(harness.notifier().errors[0], "TCP/IP: Addresse en cours d'utilisation");
  EXPECT_EQ(harness.server().feedPort(), 0);
  EXPECT_EQ(harness.server().clientPort(), harness.clientPort());
  EXPECT_TRUE(harness.server().isRunning());
  squatter.close();
  harness.start();  // a later start opens what was missing
  EXPECT_EQ(harness.server().feedPort(), harness.feedPort());
}

TEST(ServerNetwork, StartRecordsNotLaunchAndLaunchesTheSimulatorFromItsFolder) {
  ServerHarness harness;
  harness.simulatorFolder = "/opt/falcrest";
  harness.start(true);
  ASSERT_EQ(harness.launcher().programs.size(), 1u);
  EXPECT_EQ(harness.launcher().programs[0], "/opt/falcrest/falcrest");
  EXPECT_EQ(harness.launcher().folders[0], "/opt/falcrest");
  EXPECT_EQ(harness.settings().ReadInt("Config", "notlaunchfalcrest", -1), 0);
  EXPECT_FALSE(harness.server().startEnabled());
  harness.launcher().last.ended();
  EXPECT_TRUE(harness.server().startEnabled());
  harness.launcher().last.failedToStart();
  EXPECT_EQ(harness.notifier().errors.back(), "Error Starting Falcrest!!!!!");
}

TEST(ServerNetwork, NotLaunchAndMissingFolderStartNothing) {
  ServerHarness notLaunch;
  notLaunch.simulatorFolder = "/opt/falcrest";
  notLaunch.settings().WriteInt("Config", "notlaunchfalcrest", 1);
  notLaunch.start(true);
  EXPECT_TRUE(notLaunch.launcher().programs.empty());
  EXPECT_TRUE(notLaunch.notifier().errors.empty());
  EXPECT_NE(notLaunch.server().feedPort(), 0);
  EXPECT_NE(notLaunch.server().clientPort(), 0);

  ServerHarness missing;
  missing.start(true);
  EXPECT_TRUE(missing.launcher().programs.empty());
  ASSERT_EQ(missing.notifier().errors.size(), 1u);
  EXPECT_EQ(missing.notifier().errors[0], "Can' find your Falcrest folder!!!");
}

TEST(ServerNetwork, StopClosesEverything) {
  ServerHarness harness;
  harness.start();
  auto blue = harness.joinedClient("127.0.0.2");
  ASSERT_TRUE(blue);
  harness.server().stop();
  EXPECT_TRUE(blue->waitDisconnected());
  EXPECT_EQ(harness.server().clientPort(), 0);
  EXPECT_FALSE(harness.server().isRunning());
  TestClient late("127.0.0.3", harness.clientPort());
  EXPECT_FALSE(late.connectTo(harness.clientPort()));
}
