// vantor-load's counting: the stamps that split the stream into batches,
// the window, gaps, lost-track records, missing records between clients,
// latency percentiles, and the /proc readers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vantor/load/ClientTally.h"
#include "vantor/load/LoadReport.h"
#include "vantor/load/ProcessWatch.h"
#include "vantor/missiongen/BatchStamp.h"
#include "vantor/protocol/TrackDatagram.h"

namespace {

using vantor::load::ClientTally;
using vantor::load::CountingWindow;
using vantor::load::LatencyHistogram;
using vantor::protocol::TrackEntry;

constexpr std::int64_t kSecond = 1000000;
constexpr std::int64_t kStart = 1700000000LL * kSecond;

TrackEntry Stamp(std::uint64_t batch, std::int64_t sentMicros) {
  TrackEntry entry;
  entry.id = vantor::missiongen::kStampObjectId;
  entry.classLetter = 'B';
  entry.name = "Batch " + std::to_string(batch) + " sent " + std::to_string(sentMicros);
  entry.longitude = 1.0 + 0.0001 * static_cast<double>(batch);
  return entry;
}

TrackEntry Moving(std::int32_t id, char classLetter = 'B') {
  TrackEntry entry;
  entry.id = id;
  entry.classLetter = classLetter;
  entry.name = "Flight";
  entry.latitude = 44.0;
  entry.longitude = 38.0;
  entry.altitude = 3000.0;
  entry.heading = 1.0;
  entry.speed = 700.0;
  return entry;
}

TrackEntry Lost(std::int32_t id) {
  TrackEntry entry = Moving(id);
  entry.longitude = entry.altitude = entry.heading = entry.speed = 0.0;
  return entry;
}

// Batch n is written at kStart + n s and arrives `delay` later.
struct Feed {
  explicit Feed(ClientTally& tally) : tally(tally) {}
  void Batch(std::uint64_t n, std::vector<TrackEntry> records, std::int64_t delay = 20000) {
    records.insert(records.begin(), Stamp(n, Sent(n)));
    tally.OnDatagram(Sent(n) + delay, 100, records);
  }
  // Records that arrive without a stamp in front (the rest of a batch, or
  // the first part of the next one).
  void Datagram(std::int64_t arrival, std::vector<TrackEntry> records) { tally.OnDatagram(arrival, 100, records); }
  static std::int64_t Sent(std::uint64_t n) { return kStart + static_cast<std::int64_t>(n) * kSecond; }
  ClientTally& tally;
};

TEST(LoadTally, CountsWholeBatchesOfTheWindowOnlyAndMeasuresFromTheirStamps) {
  CountingWindow window;
  ClientTally tally(window);
  Feed feed(tally);
  feed.Batch(1, {Moving(10000001), Moving(10000002)});
  EXPECT_TRUE(tally.HasStamp());
  EXPECT_EQ(tally.LastBatch(), 1u);
  window.Start(3);
  feed.Batch(2, {Moving(10000001), Moving(10000002)});
  for (std::uint64_t n = 3; n <= 6; ++n) feed.Batch(n, {Moving(10000001), Moving(10000002)}, 15000 + 1000 * n);
  window.End(7);
  feed.Batch(7, {Moving(10000001), Moving(10000002)});
  feed.Batch(8, {Moving(10000001)});

  const auto& counts = tally.Counts();
  EXPECT_EQ(counts.stamps, 4u);
  EXPECT_EQ(counts.records, 8u);  // batches 3 ... 6, two objects each
  EXPECT_EQ(counts.datagrams, 4u);
  EXPECT_EQ(counts.allDatagrams, 8u);
  EXPECT_EQ(counts.gaps, 0u);
  EXPECT_EQ(counts.skippedBatches, 0u);
  EXPECT_EQ(tally.CountedObjects(), 2u);
  EXPECT_EQ(tally.Objects().at(10000001).records, 4u);
  EXPECT_DOUBLE_EQ(tally.BatchIntervalMicros(), 1.0 * kSecond);
  // 18, 19, 20 and 21 ms, two records each.
  EXPECT_EQ(tally.Latency().Count(), 8u);
  EXPECT_NEAR(*tally.Latency().PercentileMs(0.5), 19.0, 0.11);
  EXPECT_NEAR(*tally.Latency().MaxMs(), 21.0, 0.01);
  EXPECT_NEAR(*tally.Latency().MeanMs(), 19.5, 0.01);
}

TEST(LoadTally, AMissingUpdateIsAGapAndTheOtherClientsShowWhatIsMissing) {
  CountingWindow window;
  window.Start(1);
  ClientTally complete(window);
  ClientTally lossy(window);
  Feed toComplete(complete);
  Feed toLossy(lossy);
  for (std::uint64_t n = 1; n <= 6; ++n) {
    toComplete.Batch(n, {Moving(10000001), Moving(10000002)});
    // Batch 3's datagram with 10000002 in it never arrives.
    if (n == 3) {
      toLossy.Batch(n, {Moving(10000001)});
    } else {
      toLossy.Batch(n, {Moving(10000001), Moving(10000002)});
    }
  }
  EXPECT_EQ(complete.Counts().gaps, 0u);
  EXPECT_EQ(lossy.Counts().gaps, 1u);
  EXPECT_EQ(lossy.Objects().at(10000002).gaps, 1u);

  const auto missing = vantor::load::MissingRecords({&complete, &lossy});
  ASSERT_EQ(missing.size(), 2u);
  EXPECT_EQ(missing[0], 0u);
  EXPECT_EQ(missing[1], 1u);
}

TEST(LoadTally, ABatchSentInTwoPartsIsNoGapAndIsNeverMeasuredShort) {
  CountingWindow window;
  window.Start(1);
  ClientTally tally(window);
  Feed feed(tally);
  feed.Batch(1, {Moving(10000001), Moving(10000002)});
  // The server read batch 2 in two steps: its first part went out before the
  // stamp that closes it, so it counts as batch 1's, measured from batch 1.
  feed.Datagram(Feed::Sent(2) + 10000, {Moving(10000001)});
  feed.Batch(2, {Moving(10000002)}, 12000);
  feed.Batch(3, {Moving(10000001), Moving(10000002)});
  feed.Batch(4, {Moving(10000001), Moving(10000002)});

  EXPECT_EQ(tally.Counts().gaps, 0u);
  EXPECT_EQ(tally.Counts().records, 8u);
  EXPECT_NEAR(*tally.Latency().MaxMs(), 1010.0, 0.01);
  EXPECT_NEAR(*tally.Latency().PercentileMs(0.0), 12.0, 0.11);
}

TEST(LoadTally, ABatchTheServerMergedIntoTheNextIsCountedAndItsMissedUpdatesAreGaps) {
  CountingWindow window;
  window.Start(1);
  ClientTally tally(window);
  Feed feed(tally);
  feed.Batch(1, {Moving(10000001), Moving(10000002)});
  // The server fell behind, read batches 2 and 3 at once and sent each
  // object's newest record: the clients never saw batch 2.
  feed.Batch(3, {Moving(10000001), Moving(10000002)});
  EXPECT_EQ(tally.Counts().skippedBatches, 1u);
  EXPECT_EQ(tally.Counts().gaps, 2u);
  // A broadcast that is merely late is no gap.
  feed.Batch(4, {Moving(10000001), Moving(10000002)}, 400000);
  feed.Batch(5, {Moving(10000001), Moving(10000002)});
  EXPECT_EQ(tally.Counts().gaps, 2u);
}

TEST(LoadTally, LostTracksEndAnObjectAndRadarSitesAreSentOnce) {
  CountingWindow window;
  window.Start(1);
  ClientTally tally(window);
  Feed feed(tally);
  feed.Batch(1, {Moving(10000001), Moving(10000005, 'A')});
  feed.Batch(2, {Moving(10000001)});
  // The mission lost 10000001; the server reports it lost twice.
  feed.Batch(3, {});
  feed.Batch(4, {Lost(10000001)});
  feed.Batch(5, {Lost(10000001)});
  feed.Batch(6, {});
  // The same id reappearing after its loss is a new object, not a gap.
  feed.Batch(7, {Moving(10000001)});
  feed.Batch(8, {Moving(10000001)});
  // The radar site's silence was no gap either.
  feed.Batch(9, {Moving(10000005, 'A')});

  const auto& counts = tally.Counts();
  EXPECT_EQ(counts.gaps, 0u);
  EXPECT_EQ(counts.lostRecords, 2u);
  EXPECT_EQ(counts.records, 6u);
  EXPECT_EQ(tally.Objects().at(10000001).lostRecords, 2u);
  EXPECT_EQ(tally.Objects().at(10000005).records, 2u);
  // An empty datagram (nothing changed) is counted as such.
  tally.OnDatagram(Feed::Sent(9) + 5000, 0, {});
  EXPECT_EQ(tally.Counts().emptyDatagrams, 1u);
}

TEST(LoadTally, StampsAreTheMissionGeneratorsAndNothingElseIs) {
  std::string record;
  vantor::missiongen::AppendStampRecord(record, {.batch = 42, .sentMicros = 1712345678123456});
  EXPECT_EQ(record, "99999999 B Batch 42 sent 1712345678123456[Enemies]@@0.000000 1.004200 0.0 0.0000##");
  const auto stamp = vantor::missiongen::ParseStampName("Batch 42 sent 1712345678123456");
  ASSERT_TRUE(stamp);
  EXPECT_EQ(stamp->batch, 42u);
  EXPECT_EQ(stamp->sentMicros, 1712345678123456);
  for (const char* name : {"Batch 42", "Batch x sent 1", "Batch 42 sent 1 ", "Su-27 (Wolf 1)", "Batch 1 sent"}) {
    EXPECT_FALSE(vantor::missiongen::ParseStampName(name)) << name;
  }
  // A record of the stamp's id that is not a stamp is counted as an object.
  CountingWindow window;
  window.Start(0);
  ClientTally tally(window);
  TrackEntry impostor = Moving(vantor::missiongen::kStampObjectId);
  Feed(tally).Batch(0, {impostor});
  EXPECT_EQ(tally.Counts().records, 1u);
}

TEST(LoadTally, PercentilesComeFromTheSamplesAndLongOnesKeepTheirMaximum) {
  LatencyHistogram latency;
  EXPECT_FALSE(latency.PercentileMs(0.99));
  for (int ms = 1; ms <= 100; ++ms) latency.Add(ms * 1000);
  // A sample counts at the upper edge of its 0.1 ms bin.
  EXPECT_NEAR(*latency.PercentileMs(0.5), 50.1, 0.001);
  EXPECT_NEAR(*latency.PercentileMs(0.99), 99.1, 0.001);
  latency.Add(25 * kSecond);
  EXPECT_NEAR(*latency.PercentileMs(1.0), 25000.0, 0.001);
  // Beyond 10 s the bins are 0.1 s wide; beyond 1,000 s they are one.
  LatencyHistogram slow;
  for (int s = 1; s <= 99; ++s) slow.Add(static_cast<std::int64_t>(s) * 10 * kSecond);
  slow.Add(5000 * kSecond);
  EXPECT_NEAR(*slow.PercentileMs(0.5), 500100.0, 0.001);
  EXPECT_NEAR(*slow.PercentileMs(0.25), 250100.0, 0.001);
  EXPECT_NEAR(*slow.PercentileMs(1.0), 5000000.0, 0.001);
  LatencyHistogram other;
  other.Add(-5);  // a clock step: counted as 0
  latency.Merge(other);
  EXPECT_EQ(latency.Count(), 102u);
  EXPECT_NEAR(*latency.PercentileMs(0.0), 0.1, 0.001);
}

TEST(LoadProcessWatch, ReadsTheKernelsTextsAndSummarisesARun) {
  using namespace vantor::load;
  // A name holding blanks and a parenthesis; utime 250, stime 50 ticks.
  const std::string stat =
      "4242 (my (odd) prog) S 1 4242 4242 0 -1 4194560 1000 0 0 0 250 50 0 0 20 0 3 0 100 1000000 2500 "
      "18446744073709551615 1 1 0 0 0 0 0 0 0 0 0 0 17 1 0 0 0 0 0";
  EXPECT_DOUBLE_EQ(*ParseCpuSeconds(stat, 100), 3.0);
  EXPECT_EQ(*ParseProcessName(stat), "my (odd) prog");
  EXPECT_FALSE(ParseCpuSeconds("4242 (truncated) S 1 2", 100));
  const std::string status = "Name:\tvantorsrv\nVmHWM:\t   30000 kB\nVmRSS:\t   20480 kB\nThreads:\t3\n";
  EXPECT_EQ(*ParseResidentBytes(status), 20480u * 1024);
  EXPECT_FALSE(ParseResidentBytes("Name:\tx\nVmHWM:\t1 kB\n"));

  const std::string udp =
      "   sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode ref pointer "
      "drops\n"
      "  101: 0200007F:2846 00000000:0000 07 00000000:00001F40 00:00000000 00000000     0        0 5123 2 "
      "0000000000000000 17\n"
      "  102: 0300007F:2846 00000000:0000 07 00000000:00000000 00:00000000 00000000     0        0 5124 2 "
      "0000000000000000 0\n";
  const auto second = ParseUdpSocket(udp, "127.0.0.2", 10310);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->drops, 17u);
  EXPECT_EQ(second->queuedBytes, 0x1F40u);
  EXPECT_EQ(ParseUdpSocket(udp, "127.0.0.3", 10310)->drops, 0u);
  EXPECT_FALSE(ParseUdpSocket(udp, "127.0.0.4", 10310));
  EXPECT_FALSE(ParseUdpSocket(udp, "127.0.0.2", 10311));

  // Ten minutes: 15 % of a core; 100 MB at one minute, 103 MB at the end.
  ProcessWatch watch("vantorsrv", 4242);
  for (int s = 0; s <= 600; ++s) {
    const double mb = s <= 60 ? 100.0 : 100.0 + 3.0 * (s - 60) / 540.0;
    watch.Add({static_cast<double>(s), {0.15 * s, static_cast<std::uint64_t>(mb * 1024 * 1024)}});
  }
  const auto summary = watch.Summarise(0.0, 600.0);
  EXPECT_NEAR(*summary.cpuPercent, 15.0, 1e-9);
  EXPECT_NEAR(*summary.peakCpuPercent, 15.0, 1e-9);
  EXPECT_NEAR(*summary.earlyResidentMb, 100.0, 1e-6);
  EXPECT_NEAR(*summary.endResidentMb, 103.0, 1e-6);
  EXPECT_NEAR(*summary.residentGrowthPercent, 3.0, 1e-6);
  // A short run compares the middle with the end.
  EXPECT_NEAR(*watch.Summarise(0.0, 20.0).earlyResidentMb, 100.0, 1e-6);
}

}  // namespace
