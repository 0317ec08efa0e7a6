// The feed intake over real loopback sockets and the real 100 ms step: at
// the default a feed is read 10,000 bytes a step, each read a step after the
// last; a raised intake reads a 10,000-object batch (about 750 kB) in one
// step and sends it in one broadcast.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <cstdio>
#include <cstring>

#include <string>
#include <vector>

#include "ServerTestSupport.h"
#include "vantor/protocol/TrackDatagram.h"

using namespace vantor;
using namespace vantor::test;
using namespace std::chrono_literals;

namespace {

// A feed record of exactly `length` bytes, its name padded to fit.
QByteArray RecordOfLength(std::int32_t id, char cls, double lat, std::size_t length) {
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "[Allies]@@%.6f 38.000000 1000.0 1.5000##", lat);
  const std::string head = std::to_string(id) + " " + cls + " Flight ";
  const std::size_t fixed = head.size() + std::strlen(numbers);
  return QByteArray::fromStdString(head + std::string(length - fixed, 'x') + numbers);
}

struct ProcessedBatch {
  qint64 atMs = 0;
  server::FeedStatistics statistics;
};

class BatchLog {
 public:
  explicit BatchLog(server::FeedConnections& feeds) {
    clock_.start();
    QObject::connect(&feeds, &server::FeedConnections::BatchProcessed, &feeds,
                     [this](const server::FeedStatistics& statistics) {
                       batches.push_back({clock_.elapsed(), statistics});
                     });
  }
  qint64 NowMs() const { return clock_.elapsed(); }
  std::vector<ProcessedBatch> batches;

 private:
  QElapsedTimer clock_;
};

TEST(FeedIntake, DefaultIntakeReadsTenThousandBytesAStepEachAStepAfterTheLast) {
  ServerHarness harness({.feedReadPacing = 100ms});
  harness.Start();
  EXPECT_EQ(harness.Runtime().FeedIntakeBytes(), 10000u);
  BatchLog log(harness.Feeds());
  TestFeed feed;
  ASSERT_TRUE(feed.ConnectTo(harness.FeedPort()));
  feed.Send("Mission start time: 0##");
  ASSERT_TRUE(WaitUntil([&] { return log.batches.size() == 1; }));
  const server::FeedStatistics opened = log.batches.back().statistics;

  // 30,000 bytes at once, records of 100 bytes: every read ends on a record
  // boundary, so each is followed by a broadcast.
  QByteArray text;
  for (int i = 0; i < 300; ++i) text += RecordOfLength(10000001 + i, 'C', 45.0, 100);
  ASSERT_EQ(text.size(), 30000);
  const qint64 sentAt = log.NowMs();
  feed.Send(text);
  ASSERT_TRUE(WaitUntil([&] { return log.batches.size() == 4; }, 5s));
  // Nothing more follows.
  WaitUntil([] { return false; }, 300ms);
  ASSERT_EQ(log.batches.size(), 4u);

  for (std::size_t step = 1; step <= 3; ++step) {
    const server::FeedStatistics& statistics = log.batches[step].statistics;
    EXPECT_EQ(statistics.bytesRead - opened.bytesRead, 10000u * step) << step;
    EXPECT_EQ(statistics.reads - opened.reads, step) << step;
    EXPECT_EQ(statistics.objects, 100u * step) << step;
    // Never early: a step after the feed became readable, then a step after
    // each read.
    const qint64 previous = step == 1 ? sentAt : log.batches[step - 1].atMs;
    EXPECT_GE(log.batches[step].atMs - previous, 100) << step;
  }
}

TEST(FeedIntake, RaisedIntakeReadsA750KilobyteBatchInOneStepAndBroadcastsItWhole) {
  ServerHarness harness({.feedReadPacing = 100ms, .feedIntakeBytes = 1000000});
  harness.Start();
  EXPECT_EQ(harness.Runtime().FeedIntakeBytes(), 1000000u);
  auto client = harness.JoinedClient("127.0.0.2");
  ASSERT_TRUE(client);
  BatchLog log(harness.Feeds());
  TestFeed feed;
  ASSERT_TRUE(feed.ConnectTo(harness.FeedPort()));
  feed.Send("Mission start time: 0##");
  ASSERT_TRUE(WaitUntil([&] { return log.batches.size() == 1; }));

  // 10,000 ships, 75 bytes each: created by the first batch, moved by the
  // second (new objects are first sent when they next report).
  QByteArray created;
  QByteArray moved;
  for (int i = 0; i < 10000; ++i) {
    created += RecordOfLength(10000001 + i, 'C', 45.0, 75);
    moved += RecordOfLength(10000001 + i, 'C', 45.001, 75);
  }
  ASSERT_EQ(created.size(), 750000);
  for (const QByteArray* batch : {&created, &moved}) {
    // Batches a second apart, as a mission sends them: each finds a step's
    // budget of its own.
    if (batch == &moved) WaitUntil([] { return false; }, 150ms);
    const server::FeedStatistics before = log.batches.back().statistics;
    const std::size_t datagramsBefore = client->Datagrams().size();
    feed.Send(*batch);
    ASSERT_TRUE(WaitUntil([&] { return log.batches.back().statistics.bytesRead == before.bytesRead + 750000; }, 10s));
    const server::FeedStatistics& after = log.batches.back().statistics;
    EXPECT_EQ(after.reads, before.reads + 1);
    EXPECT_EQ(after.batches, before.batches + 1);
    EXPECT_EQ(after.objects, 10000u);
    if (batch == &moved) {
      protocol::TrackDatagramReader reader;
      std::size_t records = 0;
      ASSERT_TRUE(WaitUntil([&] {
        for (std::size_t i = datagramsBefore; i < client->Datagrams().size(); ++i) {
          records += reader.feed(client->Datagrams()[i].toStdString()).size();
        }
        client->Datagrams().resize(datagramsBefore);
        return records >= 10000;
      }));
      EXPECT_EQ(records, 10000u);
    }
  }
}

}  // namespace
