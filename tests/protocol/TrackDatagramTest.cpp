#include <gtest/gtest.h>

#include <random>

#include "vantor/protocol/TrackDatagram.h"
#include "vantor/protocol/TrackRecord.h"

using namespace vantor::protocol;

namespace {

TrackEntry Entry(std::int32_t id, char cls, std::string name, char side, double lat, double lon, double alt,
                 double heading, double speed) {
  return {id, cls, std::move(name), side, lat, lon, alt, heading, speed};
}

std::string Record(std::int32_t id, std::string_view name, double speed = 300) {
  return InsertSpeed(FormatTrackRecord({.id = id,
                                        .classLetter = 'B',
                                        .name = name,
                                        .sideLetter = 'A',
                                        .latitude = 44.0 + id % 100 * 0.01,
                                        .longitude = 37.5,
                                        .altitude = 1000.0,
                                        .heading = 1.0}),
                     speed);
}

}  // namespace

TEST(TrackDatagramReader, ReadsTheExampleRecord) {
  TrackDatagramReader reader;
  const auto entries = reader.feed("16779010BColt 11[A]@45.0322 38.9251 3000.0 1.57 820##");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0], Entry(16779010, 'B', "Colt 11", 'A', 45.0322, 38.9251, 3000.0, 1.57, 820));
  EXPECT_EQ(reader.carrySize(), 0u);
}

TEST(TrackDatagramReader, NameWithItsOwnBracketedPart) {
  TrackDatagramReader reader;
  const auto entries = reader.feed("30000001ASAM [2][B]@44.1000 37.2000 10.0 0.00 0##");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "SAM [2]");
  EXPECT_EQ(entries[0].sideLetter, 'B');
  EXPECT_EQ(entries[0].classLetter, 'A');
}

TEST(TrackDatagramReader, RecordSplitAcrossTwoDatagramsIsCompleted) {
  TrackDatagramReader reader;
  const std::string both = Record(11111111, "Alpha") + Record(22222222, "Bravo 2");
  const std::size_t cut = both.size() - 17;
  auto first = reader.feed(std::string_view(both).substr(0, cut));
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].name, "Alpha");
  EXPECT_GT(reader.carrySize(), 0u);
  auto second = reader.feed(std::string_view(both).substr(cut));
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].id, 22222222);
  EXPECT_EQ(second[0].name, "Bravo 2");
  EXPECT_EQ(reader.carrySize(), 0u);
}

TEST(TrackDatagramReader, LostTrackReadsBackWithAllNumbersZero) {
  TrackDatagramReader reader;
  const auto lost = LostTrackRecord("16779010BColt 11[A]@45.0322 38.9251 3000.0 1.57##");
  const auto entries = reader.feed(*lost);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0], Entry(16779010, 'B', "Colt 11", 'A', 0, 0, 0, 0, 0));
}

TEST(TrackDatagramReader, SkipsEmptyNamesAndUnreadableRecordsButKeepsGoing) {
  TrackDatagramReader reader;
  const auto entries = reader.feed(
      "12345678B[A]@1 2 3 4 5##"  // empty name
      "garbage##"                 // no id digits
      "12345678BName without bracket@1 2##"
      "87654321CGood[B]@1.5 2.5##"  // missing numbers stay 0
      "##");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0], Entry(87654321, 'C', "Good", 'B', 1.5, 2.5, 0, 0, 0));
}

TEST(TrackDatagramReader, EmptyDatagramChangesNothingAndTextEndsAtNul) {
  TrackDatagramReader reader;
  EXPECT_TRUE(reader.feed(std::string_view("12345678BAb")).empty());
  const std::size_t carried = reader.carrySize();
  EXPECT_TRUE(reader.feed(std::string_view()).empty());
  EXPECT_EQ(reader.carrySize(), carried);
  const std::string tail(
      "c[A]@1 2 3 4 5##\0"
      "99999999BHidden[A]@1 2 3 4 5##",
      47);
  const auto entries = reader.feed(tail);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "Abc");
}

TEST(TrackDatagramReader, CarryThatFillsTheBufferWithoutEndMarkIsDropped) {
  TrackDatagramReader reader;
  EXPECT_TRUE(reader.feed(std::string(6000, 'x')).empty());
  EXPECT_EQ(reader.carrySize(), 6000u);
  EXPECT_TRUE(reader.feed(std::string(4000, 'y')).empty());
  EXPECT_EQ(reader.carrySize(), 0u);  // 10,000 bytes without "##": dropped
  // The reader is not stuck: the next datagram reads normally.
  const auto entries = reader.feed(Record(12345678, "After"));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "After");
}

TEST(TrackDatagramReader, OnlyTheFirst10000BytesOfADatagramCount) {
  TrackDatagramReader reader;
  std::string big(9990, 'x');
  big += "##";  // ends at 9,992
  big += Record(12345678, "Beyond the receive size");
  EXPECT_TRUE(reader.feed(big).empty());
  EXPECT_EQ(reader.carrySize(), 8u);  // what fit of the last record
}

TEST(TrackDatagramWriter, EmptyBroadcastIsOneEmptyDatagram) {
  TrackDatagramWriter writer;
  const auto datagrams = writer.finish();
  ASSERT_EQ(datagrams.size(), 1u);
  EXPECT_TRUE(datagrams[0].empty());
}

TEST(TrackDatagramWriter, SplitsAtRecordBoundariesAndReassemblesToTheSameRecords) {
  TrackDatagramWriter writer;
  std::string whole;
  std::vector<TrackEntry> expected;
  TrackDatagramReader wholeReader;
  for (int i = 0; i < 600; ++i) {
    const std::string stored = FormatTrackRecord({.id = 10000000 + i * 7,
                                                  .classLetter = 'B',
                                                  .name = "Flight " + std::to_string(i),
                                                  .sideLetter = i % 2 ? 'A' : 'B',
                                                  .latitude = 43.0 + i * 0.001,
                                                  .longitude = 38.0,
                                                  .altitude = 500.0 + i,
                                                  .heading = 0.5});
    if (i % 50 == 0) {
      ASSERT_TRUE(writer.appendLostTrack(stored));
      whole += *LostTrackRecord(stored);
    } else {
      ASSERT_TRUE(writer.appendWithSpeed(stored, i));
      whole += InsertSpeed(stored, i);
    }
  }
  EXPECT_EQ(writer.recordCount(), 600u);
  // The one-piece text is the reference (a reader without size limit).
  std::size_t start = 0;
  while (start < whole.size()) {
    const std::size_t end = whole.find("##", start);
    expected.push_back(*ParseTrackRecord(std::string_view(whole).substr(start, end - start)));
    start = end + 2;
  }

  const auto datagrams = writer.finish();
  ASSERT_GT(datagrams.size(), 2u);
  std::string joined;
  TrackDatagramReader reader;
  std::vector<TrackEntry> read;
  for (const auto& datagram : datagrams) {
    EXPECT_LE(datagram.size(), kMaxDatagramBytes);
    EXPECT_TRUE(datagram.ends_with("##"));
    joined += datagram;
    for (auto& entry : reader.feed(datagram)) read.push_back(std::move(entry));
    EXPECT_EQ(reader.carrySize(), 0u);
  }
  EXPECT_EQ(joined, whole);
  EXPECT_EQ(read, expected);
}

TEST(TrackDatagramWriter, ARecordTooLargeForAnyDatagramIsRefused) {
  TrackDatagramWriter writer(100);
  EXPECT_TRUE(writer.append(std::string(60, 'a') + "##"));
  EXPECT_FALSE(writer.append(std::string(99, 'b') + "##"));
  EXPECT_TRUE(writer.append(std::string(58, 'c') + "##"));  // goes to a second datagram
  const auto datagrams = writer.finish();
  ASSERT_EQ(datagrams.size(), 2u);
  EXPECT_EQ(datagrams[0].size(), 62u);
  EXPECT_EQ(datagrams[1].size(), 60u);
  EXPECT_EQ(writer.finish().size(), 1u);  // empty again
}

TEST(TrackDatagramReader, FriendlyFollowsTheSideLetter) {
  EXPECT_TRUE(IsFriendly('B', false));
  EXPECT_FALSE(IsFriendly('B', true));
  EXPECT_TRUE(IsFriendly('A', true));
  EXPECT_FALSE(IsFriendly('A', false));
  EXPECT_TRUE(IsFriendly('?', true));
}

TEST(TrackDatagramReader, RandomBytesNeverCrash) {
  std::mt19937 random(20240607);
  const std::string alphabet = "0123456789##[]@@ .-eABCD\n\0x";
  TrackDatagramReader reader;
  std::size_t records = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::uint8_t> datagram(random() % 12000);
    const bool structured = round % 2 == 0;
    for (auto& byte : datagram) {
      byte = structured ? static_cast<std::uint8_t>(alphabet[random() % alphabet.size()])
                        : static_cast<std::uint8_t>(random() & 0xff);
    }
    const auto entries = reader.feed(datagram);
    records += entries.size();
    for (const auto& entry : entries) EXPECT_FALSE(entry.name.empty());
    EXPECT_LT(reader.carrySize(), kMaxDatagramBytes);
  }
  EXPECT_GT(records, 0u);
}
