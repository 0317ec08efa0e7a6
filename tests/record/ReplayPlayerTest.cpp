// Playing a recording into a document: seeking backwards and forwards gives
// the table of a straight play, snapshots made on another pass fit, a cut
// file plays to its end, and the log-on and chat are replayed as received.
#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "RecordingFixtures.h"
#include "vantor/record/ReplayPlayer.h"

namespace vantor::test {
namespace {

using namespace record;

// A document with its replay clock and player, as the client keeps them.
struct Replay {
  explicit Replay(const RecordReader& reader, ReplayEvents events = {})
      : clock(std::make_shared<ReplayClock>()),
        document(state, SecondsFrom(clock)),
        player(reader, document, clock, Language::English, std::move(events)) {}
  model::ClientState state;
  std::shared_ptr<ReplayClock> clock;
  model::CRivakDoc document;
  ReplayPlayer player;
};

std::unique_ptr<RecordReader> Reader(const GeneratedMission& mission, std::uint32_t blockSpanMs = 1000) {
  OpenFailure failure;
  return RecordReader::FromBytes(EncodeRecording(mission, GenerateMission(mission), blockSpanMs), failure);
}

TEST(ReplayPlayer, SeekingAnywhereGivesTheTableOfAStraightPlay) {
  GeneratedMission mission;
  mission.seconds = 400;
  mission.aircraft = 30;
  // Datagrams that end inside records: snapshots must avoid those moments.
  mission.datagramBytes = 700;
  const auto reader = Reader(mission);
  ASSERT_TRUE(reader);

  std::mt19937 random(7);
  std::vector<std::uint32_t> moments{0, 39, 40, 41, 137, 30'137, 30'138, 200'000, reader->DurationMs()};
  for (int i = 0; i < 12; ++i)
    moments.push_back(std::uniform_int_distribution<std::uint32_t>(0, reader->DurationMs())(random));
  std::sort(moments.begin(), moments.end());
  // The truth: one straight play, looked at on the way.
  std::vector<std::string> straight;
  {
    Replay replay(*reader);
    for (const std::uint32_t moment : moments) {
      replay.player.PlayTo(moment);
      straight.push_back(DescribeTable(replay.document));
    }
    EXPECT_GT(replay.player.Snapshots().size(), 5u);
  }
  ASSERT_NE(straight.front(), straight.back());

  Replay seeking(*reader);
  // Backwards from the end, then shuffled, then from a pass made elsewhere.
  seeking.player.PlayTo(reader->DurationMs());
  for (std::size_t i = moments.size(); i-- > 0;) {
    seeking.player.SeekTo(moments[i]);
    EXPECT_EQ(DescribeTable(seeking.document), straight[i]) << "backwards to " << moments[i];
  }
  std::vector<std::size_t> order(moments.size());
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), random);
  for (const std::size_t i : order) {
    seeking.player.SeekTo(moments[i]);
    EXPECT_EQ(seeking.player.PositionMs(), moments[i]);
    EXPECT_EQ(DescribeTable(seeking.document), straight[i]) << "shuffled to " << moments[i];
  }
  Replay adopted(*reader);
  adopted.player.AdoptSnapshots(BuildReplaySnapshots(*reader));
  EXPECT_GT(adopted.player.Snapshots().size(), 10u);
  for (const std::size_t i : order) {
    adopted.player.SeekTo(moments[i]);
    EXPECT_EQ(DescribeTable(adopted.document), straight[i]) << "with adopted snapshots to " << moments[i];
  }
}

TEST(ReplayPlayer, LogOnChatAndModelTimeAreThoseOfTheRecording) {
  GeneratedMission mission;
  mission.seconds = 100;
  mission.aircraft = 12;
  mission.side = 1;
  const auto reader = Reader(mission);
  std::vector<int> sides;
  std::vector<QString> chat;
  Replay replay(
      *reader,
      ReplayEvents{[&](int side) { sides.push_back(side); }, {}, [&](const QString& text) { chat.push_back(text); }});
  replay.player.PlayTo(39);
  EXPECT_EQ(replay.document.ContactCount(), 0u);
  EXPECT_TRUE(sides.empty());
  replay.player.PlayTo(5'000);
  EXPECT_EQ(sides, std::vector<int>{1});
  EXPECT_FALSE(replay.state.isBlue);
  // The log-on time and the trails' times are the recording's.
  EXPECT_EQ(replay.state.logOnTime, (mission.startMs + 40) / 1000);
  EXPECT_EQ(replay.clock->NowSeconds(), (mission.startMs + 5'000) / 1000);
  const model::CContact* first = replay.document.FindContact(10000101);  // side "B": Red's own
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->friendly);
  // Created at 0.137 s, its first trail point at the next refresh.
  EXPECT_EQ(first->lastHistory, (mission.startMs + 1137) / 1000);
  // Chat for everyone at 30 s and for Red at 75 s.
  replay.player.PlayTo(mission.seconds * 1000);
  EXPECT_EQ(chat, (std::vector<QString>{"Picture at 30", "Picture at 75"}));
  // A seek does not show the messages again.
  replay.player.SeekTo(10'000);
  replay.player.SeekTo(90'000);
  EXPECT_EQ(chat.size(), 2u);
}

TEST(ReplayPlayer, CutOrDamagedFilePlaysUpToItsLastGoodBlock) {
  GeneratedMission mission;
  mission.seconds = 60;
  mission.aircraft = 8;
  const auto frames = GenerateMission(mission);
  std::vector<std::uint8_t> bytes = EncodeRecording(mission, frames);
  OpenFailure failure;
  const auto whole = RecordReader::FromBytes(bytes, failure);
  const BlockEntry cutBlock = whole->Blocks()[30];
  // Cut in the middle of block 30: plays to the end of block 29.
  bytes.resize(cutBlock.offset + kBlockHeaderBytes + cutBlock.header.storedBytes / 2);
  const auto cut = RecordReader::FromBytes(bytes, failure);
  ASSERT_TRUE(cut);
  EXPECT_TRUE(cut->Truncated());
  EXPECT_EQ(cut->DurationMs(), whole->Blocks()[29].header.lastArrivalMs);
  Replay fromCut(*cut);
  fromCut.player.PlayTo(1'000'000);
  EXPECT_TRUE(fromCut.player.AtEnd());
  Replay fromWhole(*whole);
  fromWhole.player.PlayTo(cut->DurationMs());
  EXPECT_EQ(DescribeTable(fromCut.document), DescribeTable(fromWhole.document));

  // A damaged block in the middle: the replay stops before it.
  std::vector<std::uint8_t> damagedBytes = EncodeRecording(mission, frames);
  damagedBytes[whole->Blocks()[20].offset + kBlockHeaderBytes + 2] ^= 0xff;
  const auto damaged = RecordReader::FromBytes(damagedBytes, failure);
  Replay fromDamaged(*damaged);
  fromDamaged.player.PlayTo(1'000'000);
  EXPECT_TRUE(fromDamaged.player.HitDamage());
  EXPECT_EQ(fromDamaged.player.PositionMs(), whole->Blocks()[19].header.lastArrivalMs);
  Replay upTo(*whole);
  upTo.player.PlayTo(whole->Blocks()[19].header.lastArrivalMs);
  EXPECT_EQ(DescribeTable(fromDamaged.document), DescribeTable(upTo.document));
}

}  // namespace
}  // namespace vantor::test
