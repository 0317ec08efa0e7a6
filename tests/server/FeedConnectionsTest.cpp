// The feed connections over real loopback sockets, with clients on 127.0.0.2 ...
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "ServerTestSupport.h"
#include "vantor/protocol/TrackDatagram.h"

using namespace vantor;
using namespace vantor::test;
using protocol::CoalitionCode;

TEST(FeedConnections, FeedCloseEndsEveryClient) {
  ServerHarness harness;
  harness.Start();
  auto blue = harness.JoinedClient("127.0.0.2");
  auto red = harness.JoinedClient("127.0.0.3", CoalitionCode::Red);
  ASSERT_TRUE(blue && red);
  TestFeed feed;
  ASSERT_TRUE(feed.ConnectTo(harness.FeedPort()));
  feed.Send("Mission start time: 0##" + FeedObject(10000001, 'B', "Colt", 45, 38));
  ASSERT_TRUE(blue->WaitDatagrams(1));
  EXPECT_EQ(harness.Feeds().TableSizes(), std::vector<std::size_t>{1});
  feed.Close();
  EXPECT_TRUE(blue->WaitDisconnected());
  EXPECT_TRUE(red->WaitDisconnected());
  EXPECT_EQ(harness.Clients().SeatedCount(), 0);
  EXPECT_EQ(harness.Feeds().Count(), 0);
  EXPECT_TRUE(harness.Notifier().errors.empty());
}

TEST(FeedConnections, UnboundedRecordDoesNotDropTheFeed) {
  ServerHarness harness;
  harness.Start();
  auto blue = harness.JoinedClient("127.0.0.2");
  ASSERT_TRUE(blue);
  TestFeed feed;
  ASSERT_TRUE(feed.ConnectTo(harness.FeedPort()));
  feed.Send("Mission start time: 0##" + FeedObject(10000001, 'B', "Colt", 45, 38));
  ASSERT_TRUE(blue->WaitDatagrams(1));
  feed.Send("10000002 B " + QByteArray(25000, 'N') + "[Allies]@@1 2 3 4##");
  harness.Clock().Advance(1);
  EXPECT_EQ(Broadcast(feed, *blue, FeedObject(10000001, 'B', "Colt", 45.1, 38)),
            "10000001BColt[B]@45.1000 38.0000 1000.0 1.50 0##");
  EXPECT_TRUE(blue->Connected());
  EXPECT_EQ(harness.Feeds().Count(), 1);
}

TEST(FeedConnections, LargeBroadcastArrivesAsSeveralDatagramsOfTheSameRecords) {
  ServerHarness harness;
  harness.Start();
  auto blue = harness.JoinedClient("127.0.0.2");
  ASSERT_TRUE(blue);
  TestFeed feed;
  ASSERT_TRUE(feed.ConnectTo(harness.FeedPort()));
  QByteArray created = "Mission start time: 0##", moved;
  for (int i = 0; i < 400; ++i) {
    created += FeedObject(10000000 + i, 'B', "Flight " + std::to_string(i), 45.0, 38.0);
    moved += FeedObject(10000000 + i, 'B', "Flight " + std::to_string(i), 45.1, 38.0);
  }
  feed.Send(created);
  ASSERT_TRUE(WaitUntil([&] { return harness.Feeds().TableSizes() == std::vector<std::size_t>{400}; }));
  QCoreApplication::processEvents();
  const std::size_t before = blue->Datagrams().size();
  harness.Clock().Advance(1);
  feed.Send(moved);
  protocol::TrackDatagramReader reader;
  std::size_t records = 0;
  ASSERT_TRUE(WaitUntil([&] {
    for (std::size_t i = before; i < blue->Datagrams().size(); ++i) {
      EXPECT_LE(blue->Datagrams()[i].size(), 10000);
      records += reader.feed(blue->Datagrams()[i].toStdString()).size();
    }
    blue->Datagrams().resize(std::min(blue->Datagrams().size(), before));
    return records >= 400;
  }));
  EXPECT_EQ(records, 400u);
}

TEST(FeedConnections, SnapshotAndSignalsFollowEveryFeed) {
  using server::FeedCloseReason;
  using server::FeedStatistics;
  ServerHarness harness;
  harness.Start();
  auto blue = harness.JoinedClient("127.0.0.2");
  ASSERT_TRUE(blue);
  server::FeedConnections& feeds = harness.Feeds();
  std::vector<int> connected;
  std::vector<FeedStatistics> batches;
  std::vector<std::pair<int, FeedCloseReason>> closed;
  QObject probe;
  QObject::connect(&feeds, &server::FeedConnections::FeedConnected, &probe,
                   [&](const FeedStatistics& feed) { connected.push_back(feed.feed); });
  QObject::connect(&feeds, &server::FeedConnections::BatchProcessed, &probe,
                   [&](const FeedStatistics& feed) { batches.push_back(feed); });
  QObject::connect(&feeds, &server::FeedConnections::FeedClosed, &probe,
                   [&](const FeedStatistics& feed, FeedCloseReason why) { closed.emplace_back(feed.feed, why); });

  TestFeed first;
  TestFeed second;
  ASSERT_TRUE(first.ConnectTo(harness.FeedPort()));
  ASSERT_TRUE(WaitUntil([&] { return feeds.Count() == 1; }));
  ASSERT_TRUE(second.ConnectTo(harness.FeedPort()));
  ASSERT_TRUE(WaitUntil([&] { return feeds.Count() == 2; }));
  EXPECT_EQ(connected, (std::vector<int>{1, 2}));

  const QByteArray batch =
      "16779010 B Colt 11[Enemies]@@45.0322 38.9251 3000.0 1.57##"
      "30000001 A SA-11 Buk SR[Allies]@@44.0 38.0 10 0##"
      "30000002 B no bracket@@1 2 3 4##"
      "30000003 B Flanker [2][Allies]@@43.51 39.9 8000 3.14159##";
  first.Send("Mission start time: 43200##" + batch);
  ASSERT_TRUE(WaitUntil([&] { return batches.size() == 1; }));
  harness.Clock().Advance(11);
  first.Send("16779010 B Colt 11[Enemies]@@45.1322 38.9251 3100.0 1.60##");
  ASSERT_TRUE(WaitUntil([&] { return batches.size() == 2; }));
  second.Send("Mission start time: 0##" + FeedObject(20000001, 'C', "Kuznetsov", 43.0, 35.5));
  ASSERT_TRUE(WaitUntil([&] { return batches.size() == 3; }));

  const FeedStatistics& afterFirst = batches[0];
  EXPECT_EQ(afterFirst.feed, 1);
  EXPECT_EQ(afterFirst.objects, 3u);
  EXPECT_EQ(afterFirst.records, 3u);
  EXPECT_EQ(afterFirst.skipped, 1u);
  EXPECT_EQ(afterFirst.skippedBy[static_cast<std::size_t>(server::FeedRecordStatus::NoCoalitionBracket)], 1u);
  EXPECT_EQ(afterFirst.batches, 1u);
  EXPECT_TRUE(afterFirst.missionClockSeen);
  EXPECT_EQ(afterFirst.peer, QHostAddress::LocalHost);

  const server::WorldSnapshot snapshot = harness.Runtime().Snapshot();
  EXPECT_EQ(snapshot.takenAt, harness.Clock().NowSeconds());
  EXPECT_EQ(snapshot.mission.missionStart, 0);  // the second feed's clock record came last
  ASSERT_EQ(snapshot.feeds.size(), 2u);
  EXPECT_EQ(snapshot.ObjectCount(), 4u);
  const server::FeedSnapshot& one = snapshot.feeds[0];
  EXPECT_EQ(one.statistics.batches, 2u);
  EXPECT_EQ(one.statistics.records, 4u);
  EXPECT_EQ(one.statistics.lastBatchAt, harness.Clock().NowSeconds());
  ASSERT_EQ(one.objects.size(), 3u);
  const server::ObjectSnapshot& colt = one.objects[0];
  EXPECT_EQ(colt.id, 16779010);
  EXPECT_EQ(colt.classLetter, 'B');
  EXPECT_EQ(colt.name, "Colt 11");
  EXPECT_EQ(colt.side, protocol::SideLetter::Blue);
  EXPECT_DOUBLE_EQ(colt.position.latitude, 45.1322);
  EXPECT_DOUBLE_EQ(colt.position.longitude, 38.9251);
  EXPECT_DOUBLE_EQ(colt.altitudeM, 3100.0);
  EXPECT_DOUBLE_EQ(colt.headingRad, 1.6);
  EXPECT_FALSE(colt.groundUnit);
  const server::ObjectSnapshot& site = one.objects[1];
  EXPECT_EQ(site.name, "SA-11 Buk SR");
  EXPECT_EQ(site.side, protocol::SideLetter::Red);
  EXPECT_TRUE(site.groundUnit);
  const server::ObjectSnapshot& flanker = one.objects[2];
  EXPECT_EQ(flanker.name, "Flanker [2]");
  EXPECT_EQ(flanker.side, protocol::SideLetter::Red);
  EXPECT_DOUBLE_EQ(flanker.position.latitude, 43.51);
  EXPECT_DOUBLE_EQ(flanker.headingRad, 3.14);
  const server::FeedSnapshot& two = snapshot.feeds[1];
  EXPECT_EQ(two.statistics.feed, 2);
  ASSERT_EQ(two.objects.size(), 1u);
  EXPECT_EQ(two.objects[0].classLetter, 'C');
  EXPECT_EQ(two.objects[0].side, protocol::SideLetter::Red);
  EXPECT_DOUBLE_EQ(two.objects[0].position.longitude, 35.5);

  second.Close();
  ASSERT_TRUE(WaitUntil([&] { return feeds.Count() == 1; }));
  EXPECT_TRUE(blue->WaitDisconnected());  // a feed's end ends every client
  harness.Runtime().Stop();
  EXPECT_EQ(closed, (std::vector<std::pair<int, FeedCloseReason>>{{2, FeedCloseReason::PeerClosed},
                                                                  {1, FeedCloseReason::Stopped}}));
  EXPECT_TRUE(harness.Notifier().errors.empty());
}

TEST(FeedConnections, ResetByThePeerIsAFailedReadNotAnOrderlyClose) {
  ServerHarness harness;
  harness.Start();
  auto blue = harness.JoinedClient("127.0.0.2");
  ASSERT_TRUE(blue);
  std::vector<server::FeedCloseReason> reasons;
  QObject::connect(&harness.Feeds(), &server::FeedConnections::FeedClosed, &harness.Feeds(),
                   [&](const server::FeedStatistics&, server::FeedCloseReason reason) { reasons.push_back(reason); });

  TestFeed orderly;
  ASSERT_TRUE(orderly.ConnectTo(harness.FeedPort()));
  orderly.Send("Mission start time: 0##" + FeedObject(10000001, 'B', "Colt", 45, 38));
  ASSERT_TRUE(blue->WaitDatagrams(1));
  orderly.Close();
  ASSERT_TRUE(WaitUntil([&] { return reasons.size() == 1; }));
  EXPECT_EQ(reasons[0], server::FeedCloseReason::PeerClosed);
  EXPECT_TRUE(harness.Notifier().errors.empty());

  ASSERT_TRUE(blue->WaitDisconnected());
  blue.reset();  // frees its datagram port for the next client on that address
  blue = harness.JoinedClient("127.0.0.2");
  ASSERT_TRUE(blue);
  TestFeed reset;
  ASSERT_TRUE(reset.ConnectTo(harness.FeedPort()));
  reset.Send("Mission start time: 0##" + FeedObject(10000001, 'B', "Colt", 45, 38));
  ASSERT_TRUE(blue->WaitDatagrams(1));
  reset.Reset();
  ASSERT_TRUE(WaitUntil([&] { return reasons.size() == 2; }));
  EXPECT_EQ(reasons[1], server::FeedCloseReason::ReadFailed);
  ASSERT_EQ(harness.Notifier().errors.size(), 1u);
  EXPECT_EQ(harness.Notifier().errors[0], "Error occurred");
  // The failed feed ends every client, as a closed one does.
  EXPECT_TRUE(blue->WaitDisconnected());
  EXPECT_EQ(harness.Feeds().Count(), 0);
}

TEST(FeedConnections, AFeedFasterThanThePacingIsHeldBackByTcpNotByTheServersMemory) {
  ServerHarness harness;
  harness.Start();
  TestFeed feed;
  ASSERT_TRUE(feed.ConnectTo(harness.FeedPort()));
  QByteArray batch = "Mission start time: 0##";
  while (batch.size() < 16 * 1024 * 1024) batch += FeedObject(10000001, 'B', "Colt", 45, 38);
  feed.Socket().write(batch);
  // One second of paced reads takes about ten intakes; everything else must
  // still wait on the sending side.
  WaitUntil([] { return false; }, std::chrono::seconds(1));
  const auto statistics = harness.Feeds().Statistics();
  ASSERT_EQ(statistics.size(), 1u);
  EXPECT_GT(statistics[0].bytesRead, 0u);
  EXPECT_LE(statistics[0].bytesRead, 15u * server::FeedIntake::kIntakeBytes);
  EXPECT_GT(feed.Socket().bytesToWrite(), 8 * 1024 * 1024);
}
