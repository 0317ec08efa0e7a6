// The client slots over real loopback sockets: clients on 127.0.0.2, 127.0.0.3 ...
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "ServerTestSupport.h"
#include "vantor/protocol/ControlMessages.h"

using namespace vantor;
using namespace vantor::test;
using protocol::CoalitionCode;
using server::ClientLeaveReason;
using server::ClientSlotInfo;

TEST(ClientSlots, FullServerSaysFinAndAFreedSlotIsReusedWithRadarSitesSentAgain) {
  ServerHarness harness;
  harness.Settings().WriteInt("Config", "MaxClient", 2);
  harness.Start();
  auto blue = harness.JoinedClient("127.0.0.2");
  auto red = harness.JoinedClient("127.0.0.3", CoalitionCode::Red);
  ASSERT_TRUE(blue && red);

  TestClient third("127.0.0.4", harness.ClientPort());
  ASSERT_TRUE(third.ConnectTo(harness.ClientPort()));
  EXPECT_TRUE(third.WaitDisconnected());
  EXPECT_EQ(third.TakeControl(), QByteArray("FIN"));
  EXPECT_EQ(harness.Clients().SeatedCount(), 2);

  TestFeed feed;
  ASSERT_TRUE(feed.ConnectTo(harness.FeedPort()));
  feed.Send("Mission start time: 0##");
  const QByteArray site = FeedObject(30000001, 'A', "BUK SR", 45.0, 38.0, "[Enemies]");
  Broadcast(feed, *blue, site);  // created
  harness.Clock().Advance(1);
  const QByteArray siteRecord = "30000001ABUK SR[A]@45.0000 38.0000 1000.0 1.50 0##";
  EXPECT_EQ(Broadcast(feed, *blue, site), siteRecord);
  ASSERT_TRUE(red->WaitDatagrams(2));
  EXPECT_EQ(red->Datagrams().back(), siteRecord);
  EXPECT_EQ(Broadcast(feed, *blue, site), QByteArray());  // once per client

  red->Disconnect();
  ASSERT_TRUE(WaitUntil([&] { return harness.Clients().SeatedCount() == 1; }));
  auto fresh = harness.JoinedClient("127.0.0.5");
  ASSERT_TRUE(fresh);
  const auto seated = harness.Clients().Seated();
  ASSERT_EQ(seated.size(), 2u);
  EXPECT_EQ(seated[1].slot, 2);
  EXPECT_EQ(seated[1].peer, QHostAddress("127.0.0.5"));
  harness.Clock().Advance(1);
  EXPECT_EQ(Broadcast(feed, *fresh, site), siteRecord);
  EXPECT_EQ(blue->Datagrams().back(), QByteArray());
}

TEST(ClientSlots, ClientThatNeverJoinsIsDroppedAtTheJoinTimeout) {
  ServerHarness harness({.joinTimeout = std::chrono::milliseconds(400), .manualTimers = true});
  harness.Start();
  TestClient silent("127.0.0.2", harness.ClientPort());
  TestClient late("127.0.0.3", harness.ClientPort());
  ASSERT_TRUE(silent.ConnectTo(harness.ClientPort()));
  ASSERT_TRUE(late.ConnectTo(harness.ClientPort()));
  ASSERT_TRUE(silent.WaitConfigBlock() && late.WaitConfigBlock());
  silent.Send("\x03not a join");  // ignored, no reply
  harness.Timers().Advance(std::chrono::milliseconds(250));
  late.Join(CoalitionCode::Red);  // answers before the timeout
  ASSERT_TRUE(WaitUntil([&] { return harness.Clients().JoinedCount() == 1; }));
  harness.Timers().Advance(std::chrono::milliseconds(150));
  EXPECT_TRUE(silent.WaitDisconnected(std::chrono::seconds(3)));
  EXPECT_TRUE(silent.TakeControl().isEmpty());
  harness.Timers().Advance(std::chrono::milliseconds(300));
  WaitUntil([] { return false; }, std::chrono::milliseconds(50));
  EXPECT_TRUE(late.Connected());
  ASSERT_EQ(harness.Clients().Seated().size(), 1u);
  EXPECT_EQ(harness.Clients().Seated()[0].coalition, 1);
  EXPECT_TRUE(harness.Clients().Seated()[0].joined);
}

TEST(ClientSlots, JoinTimerRuleToTheMillisecond) {
  ServerHarness harness({.manualTimers = true});  // the default 15 s
  harness.Start();
  std::vector<std::pair<ClientSlotInfo, ClientLeaveReason>> left;
  QObject probe;  // ends the recording before `left` goes
  QObject::connect(&harness.Clients(), &server::ClientSlots::ClientLeft, &probe,
                   [&](const ClientSlotInfo& client, ClientLeaveReason reason) { left.emplace_back(client, reason); });
  TestClient silent("127.0.0.2", harness.ClientPort());
  TestClient late("127.0.0.3", harness.ClientPort());
  ASSERT_TRUE(silent.ConnectTo(harness.ClientPort()));
  ASSERT_TRUE(silent.WaitConfigBlock());
  ASSERT_TRUE(late.ConnectTo(harness.ClientPort()));
  ASSERT_TRUE(late.WaitConfigBlock());
  EXPECT_EQ(harness.Timers().PendingCount(), 2u);

  harness.Timers().Advance(std::chrono::milliseconds(14000));
  late.Join(CoalitionCode::Blue);  // after 14 s: stays
  ASSERT_TRUE(WaitUntil([&] { return harness.Clients().JoinedCount() == 1; }));
  EXPECT_EQ(harness.Timers().PendingCount(), 1u);  // its timer is gone
  harness.Timers().Advance(std::chrono::milliseconds(999));
  EXPECT_EQ(harness.Clients().SeatedCount(), 2);
  EXPECT_TRUE(left.empty());

  harness.Timers().Advance(std::chrono::milliseconds(1));  // 15 s after its accept
  EXPECT_EQ(harness.Clients().SeatedCount(), 1);
  EXPECT_TRUE(silent.WaitDisconnected());
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].first.slot, 1);
  EXPECT_EQ(left[0].first.peer, QHostAddress("127.0.0.2"));
  EXPECT_EQ(left[0].second, ClientLeaveReason::JoinTimeout);

  harness.Timers().Advance(std::chrono::seconds(60));
  WaitUntil([] { return false; }, std::chrono::milliseconds(50));
  EXPECT_TRUE(late.Connected());
  EXPECT_EQ(harness.Clients().JoinedCount(), 1);
}

TEST(ClientSlots, RealFifteenSecondJoinTimeout) {
  ServerHarness harness;  // the default 15 s on Qt's timers
  harness.Start();
  TestClient silent("127.0.0.2", harness.ClientPort());
  QElapsedTimer elapsed;
  elapsed.start();
  ASSERT_TRUE(silent.ConnectTo(harness.ClientPort()));
  EXPECT_TRUE(silent.WaitDisconnected(std::chrono::seconds(17)));
  EXPECT_GE(elapsed.elapsed(), 14900);
  EXPECT_EQ(harness.Clients().SeatedCount(), 0);
}

TEST(ClientSlots, ChatIsRelayedToEveryJoinedClientSenderIncluded) {
  ServerHarness harness;
  harness.Settings().WriteInt("Config", "MaxClient", 3);
  harness.Start();
  auto blue = harness.JoinedClient("127.0.0.2");
  auto red = harness.JoinedClient("127.0.0.3", CoalitionCode::Red);
  ASSERT_TRUE(blue && red);
  TestClient waiting("127.0.0.4", harness.ClientPort());
  ASSERT_TRUE(waiting.ConnectTo(harness.ClientPort()));
  ASSERT_TRUE(waiting.WaitConfigBlock());

  const auto message = protocol::EncodeChatMessage(CoalitionCode::Blue, std::string(250, 'm'));
  const QByteArray bytes(reinterpret_cast<const char*>(message.data()), static_cast<qsizetype>(message.size()));
  blue->Send(bytes);
  EXPECT_EQ(blue->WaitControl(251), bytes);
  EXPECT_EQ(red->WaitControl(251), bytes);
  QThread::msleep(100);
  EXPECT_TRUE(waiting.TakeControl().isEmpty());

  // Before its join a client's message is a join attempt or nothing.
  waiting.Send("\x03hello");
  QThread::msleep(100);
  QCoreApplication::processEvents();
  EXPECT_EQ(harness.Clients().JoinedCount(), 2);
  EXPECT_EQ(blue->TakeControl(), bytes);
}

TEST(ClientSlots, FailedDatagramSendDropsTheClient) {
  ServerHarness harness;
  harness.Start();
  auto blue = harness.JoinedClient("127.0.0.2");
  auto red = harness.JoinedClient("127.0.0.3", CoalitionCode::Red);
  ASSERT_TRUE(blue && red);
  blue->CloseUdp();  // its port now refuses datagrams
  TestFeed feed;
  ASSERT_TRUE(feed.ConnectTo(harness.FeedPort()));
  feed.Send("Mission start time: 0##");
  for (int batch = 0; batch < 20 && blue->Connected(); ++batch) {
    Broadcast(feed, *red, FeedObject(10000001, 'B', "Colt", 45.0 + batch * 0.01, 38));
  }
  EXPECT_TRUE(blue->WaitDisconnected());
  EXPECT_EQ(harness.Clients().SeatedCount(), 1);
  EXPECT_TRUE(red->Connected());
}

TEST(ClientSlots, HostCheckFailureDropsTheClientWithItsMessage) {
  ServerHarness harness;
  harness.Settings().WriteString("config", "Installer Language", "1033");
  harness.Runtime().SetLanguage(vantor::Language::English);
  harness.Start();
  harness.HostCheck().accept = false;
  TestClient client("127.0.0.2", harness.ClientPort());
  ASSERT_TRUE(client.ConnectTo(harness.ClientPort()));
  EXPECT_TRUE(client.WaitDisconnected());
  EXPECT_TRUE(client.TakeControl().isEmpty());
  ASSERT_EQ(harness.Notifier().errors.size(), 1u);
  EXPECT_EQ(harness.Notifier().errors[0], "Only Falcrest server can send data");
  EXPECT_EQ(harness.Clients().SeatedCount(), 0);
  harness.HostCheck().accept = true;
  EXPECT_TRUE(harness.JoinedClient("127.0.0.3"));
}

TEST(ClientSlots, SignalsTellWhoWasSeatedJoinedRefusedAndLeft) {
  ServerHarness harness;
  harness.Settings().WriteInt("Config", "MaxClient", 2);
  harness.Start();
  std::vector<QString> events;
  server::ClientSlots& clients = harness.Clients();
  const auto describe = [](const char* what, const ClientSlotInfo& client) {
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
        .arg(what)
        .arg(client.slot)
        .arg(client.peer.toString())
        .arg(client.joined ? client.coalition : -1)
        .arg(client.seatedAt)
        .arg(client.joinedAt)
        .arg(client.leftAt);
  };
  int changes = 0;
  QObject probe;
  QObject::connect(&clients, &server::ClientSlots::ClientSeated, &probe,
                   [&](const ClientSlotInfo& client) { events.push_back(describe("seated", client)); });
  QObject::connect(&clients, &server::ClientSlots::ClientJoined, &probe,
                   [&](const ClientSlotInfo& client) { events.push_back(describe("joined", client)); });
  QObject::connect(&clients, &server::ClientSlots::ClientLeft, &probe,
                   [&](const ClientSlotInfo& client, ClientLeaveReason why) {
                     events.push_back(describe(why == ClientLeaveReason::PeerClosed ? "closed" : "ended", client));
                   });
  QObject::connect(&clients, &server::ClientSlots::ClientRefused, &probe,
                   [&](const QHostAddress& peer, server::ClientRefusal why) {
                     events.push_back((why == server::ClientRefusal::ServerFull ? "full " : "host ") + peer.toString());
                   });
  QObject::connect(&clients, &server::ClientSlots::ClientsChanged, &probe, [&] { ++changes; });

  const std::int64_t t0 = harness.Clock().NowSeconds();
  auto blue = harness.JoinedClient("127.0.0.2");
  harness.Clock().Advance(5);
  auto red = harness.JoinedClient("127.0.0.3", CoalitionCode::Red);
  ASSERT_TRUE(blue && red);
  TestClient third("127.0.0.4", harness.ClientPort());
  ASSERT_TRUE(third.ConnectTo(harness.ClientPort()));
  ASSERT_TRUE(third.WaitDisconnected());
  harness.Clock().Advance(5);
  blue->Disconnect();
  ASSERT_TRUE(WaitUntil([&] { return clients.SeatedCount() == 1; }));
  harness.Runtime().Stop();

  const QString s0 = QString::number(t0), s5 = QString::number(t0 + 5), s10 = QString::number(t0 + 10);
  const std::vector<QString> expected = {"seated 1 127.0.0.2 -1 " + s0 + " 0 0",
                                         "joined 1 127.0.0.2 0 " + s0 + " " + s0 + " 0",
                                         "seated 2 127.0.0.3 -1 " + s5 + " 0 0",
                                         "joined 2 127.0.0.3 1 " + s5 + " " + s5 + " 0",
                                         "full 127.0.0.4",
                                         "closed 1 127.0.0.2 0 " + s0 + " " + s0 + " " + s10,
                                         "ended 2 127.0.0.3 1 " + s5 + " " + s5 + " " + s10};
  EXPECT_EQ(events, expected);
  EXPECT_EQ(changes, 7);
  EXPECT_EQ(clients.SeatedCount(), 0);
}
