// The runtime that the headless program and the window drive: start, stop,
// the configuration that clients receive, the simulator launch.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTcpServer>

#include "ServerTestSupport.h"
#include "vantor/texts/Texts.h"

using namespace vantor;
using namespace vantor::test;
using protocol::CoalitionCode;

TEST(ServerRuntime, FreshConfigurationReachesAClientByteExact) {
  ServerHarness harness;
  harness.Start();
  ASSERT_EQ(harness.Runtime().ClientPort(), harness.ClientPort());
  TestClient client("127.0.0.2", harness.ClientPort());
  ASSERT_TRUE(client.ConnectTo(harness.ClientPort()));
  const QByteArray received = client.WaitControl(432);
  ASSERT_EQ(received.size(), 432);

  protocol::ConfigBlock expected = server::DefaultServerConfig().block;
  // No mission clock record yet: both mission values are 0, the clock reads wall time.
  expected.missionClock = static_cast<std::int32_t>(harness.Clock().NowSeconds());
  EXPECT_EQ(received, Bytes(protocol::EncodeConfigBlock(expected)));
  EXPECT_EQ(Int32At(received, 0), 6);
  EXPECT_EQ(Int32At(received, 4), 1);
  EXPECT_EQ(Int32At(received, 180), 50);
  EXPECT_EQ(Int32At(received, 384), 200);
  EXPECT_EQ(Int32At(received, 420), 10);
  EXPECT_EQ(Int32At(received, 428), 1'700'000'000);
  EXPECT_EQ(QByteArray(received.constData() + 364, 20), QByteArray(20, '\0'));
}

TEST(ServerRuntime, ConfiguredBlockAndMissionClockReachAClientByteExact) {
  ServerHarness harness;
  SettingsStore& settings = harness.Settings();
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
  harness.Start();

  TestFeed feed;
  ASSERT_TRUE(feed.ConnectTo(harness.FeedPort()));
  feed.Send("Mission start time: 43200##");
  ASSERT_TRUE(WaitUntil([&] { return harness.Runtime().Mission().missionStart == 43200; }));
  harness.Clock().Advance(60);

  TestClient client("127.0.0.2", harness.ClientPort());
  ASSERT_TRUE(client.ConnectTo(harness.ClientPort()));
  const QByteArray received = client.WaitControl(432);
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

TEST(ServerRuntime, SecondStartKeepsTheOpenListeningSockets) {
  ServerHarness harness;
  harness.Start();
  auto blue = harness.JoinedClient("127.0.0.2");
  ASSERT_TRUE(blue);
  harness.Start();
  EXPECT_TRUE(harness.Notifier().errors.empty());
  EXPECT_EQ(harness.Runtime().FeedPort(), harness.FeedPort());
  EXPECT_EQ(harness.Runtime().ClientPort(), harness.ClientPort());
  EXPECT_TRUE(blue->Connected());
  EXPECT_TRUE(harness.JoinedClient("127.0.0.3", CoalitionCode::Red));
}

TEST(ServerRuntime, PortInUseShowsItsTextAndTheOtherPortStillOpens) {
  ServerHarness harness;
  QTcpServer squatter;
  ASSERT_TRUE(squatter.listen(QHostAddress::Any, harness.FeedPort()));
  harness.Start();
  ASSERT_EQ(harness.Notifier().errors.size(), 1u);
  EXPECT_EQ(harness.Notifier().errors[0], "TCP/IP: Addresse en cours d'utilisation");
  EXPECT_EQ(harness.Runtime().FeedPort(), 0);
  EXPECT_EQ(harness.Runtime().ClientPort(), harness.ClientPort());
  EXPECT_TRUE(harness.Runtime().IsRunning());
  squatter.close();
  harness.Start();  // a later start opens what was missing
  EXPECT_EQ(harness.Runtime().FeedPort(), harness.FeedPort());
}

TEST(ServerRuntime, StartRecordsNotLaunchAndLaunchesTheSimulatorFromItsFolder) {
  ServerHarness harness;
  harness.simulatorFolder = "/opt/falcrest";
  harness.Start(true);
  ASSERT_EQ(harness.Launcher().programs.size(), 1u);
  EXPECT_EQ(harness.Launcher().programs[0], "/opt/falcrest/falcrest");
  EXPECT_EQ(harness.Launcher().folders[0], "/opt/falcrest");
  EXPECT_EQ(harness.Settings().ReadInt("Config", "notlaunchfalcrest", -1), 0);
  EXPECT_FALSE(harness.Runtime().StartEnabled());
  harness.Launcher().last.ended();
  EXPECT_TRUE(harness.Runtime().StartEnabled());

  // A second start whose simulator cannot be created leaves the button off.
  harness.Start(true);
  EXPECT_FALSE(harness.Runtime().StartEnabled());
  harness.Launcher().last.failedToStart();
  EXPECT_EQ(harness.Notifier().errors.back(), "Error Starting Falcrest!!!!!");
  EXPECT_FALSE(harness.Runtime().StartEnabled());
  EXPECT_TRUE(harness.Runtime().IsRunning());
}

TEST(ServerRuntime, NotLaunchAndMissingFolderStartNothing) {
  ServerHarness notLaunch;
  notLaunch.simulatorFolder = "/opt/falcrest";
  notLaunch.Settings().WriteInt("Config", "notlaunchfalcrest", 1);
  notLaunch.Start(true);
  EXPECT_TRUE(notLaunch.Launcher().programs.empty());
  EXPECT_TRUE(notLaunch.Notifier().errors.empty());
  EXPECT_NE(notLaunch.Runtime().FeedPort(), 0);
  EXPECT_NE(notLaunch.Runtime().ClientPort(), 0);

  ServerHarness missing;
  missing.Start(true);
  EXPECT_TRUE(missing.Launcher().programs.empty());
  ASSERT_EQ(missing.Notifier().errors.size(), 1u);
  EXPECT_EQ(missing.Notifier().errors[0], "Can' find your Falcrest folder!!!");
}

TEST(ServerRuntime, StopClosesEverything) {
  ServerHarness harness;
  harness.Start();
  auto blue = harness.JoinedClient("127.0.0.2");
  ASSERT_TRUE(blue);
  harness.Runtime().Stop();
  EXPECT_TRUE(blue->WaitDisconnected());
  EXPECT_EQ(harness.Runtime().ClientPort(), 0);
  EXPECT_FALSE(harness.Runtime().IsRunning());
  TestClient late("127.0.0.3", harness.ClientPort());
  EXPECT_FALSE(late.ConnectTo(harness.ClientPort()));
}

TEST(ServerRuntime, AppliedConfigurationReachesTheNextLogOnAndTheNextBroadcast) {
  ServerHarness harness;
  harness.Settings().WriteInt("Config", "MaxClient", 3);
  harness.Start();
  server::ServerRuntime& runtime = harness.Runtime();
  std::vector<server::ServerConfig> changes;
  QObject probe;
  QObject::connect(&runtime, &server::ServerRuntime::ConfigChanged, &probe,
                   [&](const server::ServerConfig& config) { changes.push_back(config); });
  auto blue = harness.JoinedClient("127.0.0.2");
  ASSERT_TRUE(blue);
  TestFeed feed;
  ASSERT_TRUE(feed.ConnectTo(harness.FeedPort()));
  feed.Send("Mission start time: 0##");
  const QByteArray buk = FeedObject(30000001, 'A', "BUK SR", 45.0, 38.0, "[Enemies]");
  const QByteArray kub = FeedObject(30000002, 'A', "KUB STR", 45.1, 38.0, "[Enemies]");
  Broadcast(feed, *blue, buk + kub);  // created

  server::ServerConfig edited = runtime.Config();
  edited.block.password = {"nouveau", "rouge"};
  edited.block.awacsRangeKm = 450;
  edited.block.airfieldRadarRangeKm[1][10] = 300;
  edited.maxClient = 2;
  edited.radarTypeShown[11] = 0;  // BUK SR
  runtime.ApplyConfig(edited);
  runtime.ApplyConfig(edited);  // nothing new: no signal
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0], edited);
  EXPECT_EQ(runtime.Config(), edited);
  // Applied, not stored: storing is SaveConfig's.
  EXPECT_EQ(harness.Settings().ReadString("Config", "bluepass", "-"), "-");

  TestClient red("127.0.0.3", harness.ClientPort());
  ASSERT_TRUE(red.ConnectTo(harness.ClientPort()));
  const QByteArray received = red.WaitControl(432);
  protocol::ConfigBlock expected = edited.block;
  expected.missionClock = 0;  // the mission started at 0 on this very clock
  EXPECT_EQ(received, Bytes(protocol::EncodeConfigBlock(expected)));
  red.TakeControl();
  red.Join(CoalitionCode::Red);
  ASSERT_TRUE(WaitUntil([&] { return harness.Clients().JoinedCount() == 2; }));

  TestClient third("127.0.0.4", harness.ClientPort());  // two slots now
  ASSERT_TRUE(third.ConnectTo(harness.ClientPort()));
  EXPECT_TRUE(third.WaitDisconnected());
  EXPECT_EQ(third.TakeControl(), QByteArray("FIN"));
  EXPECT_TRUE(blue->Connected());  // seated before the change: keeps its seat

  harness.Clock().Advance(1);
  EXPECT_EQ(Broadcast(feed, *blue, buk + kub), "30000002AKUB STR[A]@45.1000 38.0000 1000.0 1.50 0##");

  runtime.SaveConfig();
  EXPECT_EQ(harness.Settings().ReadString("Config", "bluepass", "-"), "nouveau");
  EXPECT_EQ(harness.Settings().ReadInt("Config", "MaxClient", 0), 2);
  EXPECT_EQ(harness.Settings().ReadInt("Config", "Ra11", 1), 0);
}

TEST(ServerRuntime, StatusAndStartButtonFollowTheRun) {
  ServerHarness harness;
  harness.simulatorFolder = "/opt/falcrest";
  server::ServerRuntime& runtime = harness.Runtime();
  runtime.SetLanguage(vantor::Language::English);
  std::vector<QString> status;
  std::vector<bool> startEnabled;
  QObject probe;
  QObject::connect(&runtime, &server::ServerRuntime::StatusChanged, &probe,
                   [&](const QString& text) { status.push_back(text); });
  QObject::connect(&runtime, &server::ServerRuntime::StartEnabledChanged, &probe,
                   [&](bool enabled) { startEnabled.push_back(enabled); });
  EXPECT_EQ(runtime.StatusText(), "VANTORSRV not running");
  EXPECT_TRUE(runtime.StartEnabled());

  harness.Start(true);
  EXPECT_EQ(runtime.StatusText(), "VANTORSRV running");
  EXPECT_FALSE(runtime.StartEnabled());
  harness.Launcher().last.ended();  // the simulator ended
  runtime.Stop();
  EXPECT_EQ(status, (std::vector<QString>{"VANTORSRV running", "VANTORSRV not running"}));
  EXPECT_EQ(startEnabled, (std::vector<bool>{false, true}));
}
