// A live session over loopback sockets, recorded as it runs, replays to the
// same contact table at the same moments and shows the same chat; a disk
// that cannot take the recording ends it and the live picture goes on.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

#include <sstream>

#include "RecordedSessionFixture.h"
#include "RecordingFixtures.h"
#include "vantor/record/RecordReader.h"
#include "vantor/record/ReplayPlayer.h"

namespace vantor::test {
namespace {

using namespace record;

TEST_F(RecordedSession, ReplaysToTheLiveTableAtEveryMomentAndShowsTheSameChat) {
  const QString file = dir_.filePath("live.vrec");
  QString error;
  ASSERT_TRUE(recorder_->Start(file, error)) << error.toStdString();
  const std::int64_t startSeconds = client_->now;
  JoinAsRed();

  std::vector<std::pair<std::uint32_t, std::string>> seen;  // moment, live table
  auto look = [&] {
    seen.emplace_back(static_cast<std::uint32_t>((client_->now - startSeconds) * 1000),
                      DescribeTable(client_->document));
  };
  look();
  for (int step = 0; step < 24; ++step) {
    // Uneven steps, so that trail points fall at different refreshes.
    client_->now += 1 + step % 4;
    std::string records = Track(10, 'B', "Su-27", 'B', 44.0 + 0.01 * step, 38.0, 5000 + step, 800);
    records += Track(11, 'B', "F-15C", 'A', 45.0, 39.0 - 0.02 * step, 7000, 900);
    if (step == 3) records += Track(20, 'A', "SA-10 site", 'B', 44.5, 38.5, 100, 0);
    if (step < 15) records += Track(12, 'C', "Mi-8 hostile", 'A', 44.2, 37.9, 300, 150);
    if (step == 15)
      records +=
          *protocol::LostTrackRecord(protocol::FormatTrackRecord({10'000'012, 'C', "Mi-8 hostile", 'A', 0, 0, 0, 0}));
    if (step % 6 == 5) records += Track(30 + step, 'B', "E-3A AWACS", 'B', 44.8, 38.8, 9000, 600);
    // A record cut across two datagrams.
    if (step == 10) {
      const std::string whole = records;
      Broadcast(whole.substr(0, whole.size() - 20));
      Broadcast(whole.substr(whole.size() - 20));
    } else {
      Broadcast(records);
    }
    if (step == 8 || step == 20) {
      QByteArray chat(1, static_cast<char>(step == 8 ? protocol::CoalitionCode::Red : protocol::CoalitionCode::Blue));
      chat += QByteArray("Bandits at ") + QByteArray::number(step);
      server_.Send(chat);
      WaitUntil([] { return false; }, std::chrono::milliseconds(50));
    }
    look();
  }
  EXPECT_EQ(client_->messages.messages, std::vector<QString>{"Bandits at 8"});
  EXPECT_GT(client_->document.ContactCount(), 3u);
  recorder_->Stop();
  EXPECT_FALSE(recorder_->IsRecording());

  OpenFailure failure;
  const auto reader = RecordReader::Open(file.toStdU16String(), failure);
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->Header().coalition, 1);
  EXPECT_EQ(reader->Header().startMs, startSeconds * 1000 + 420);
  std::vector<QString> chat;
  model::ClientState state;
  auto clock = std::make_shared<ReplayClock>();
  model::CRivakDoc document(state, SecondsFrom(clock));
  ReplayPlayer player(*reader, document, clock, Language::English,
                      ReplayEvents{{}, {}, [&](const QString& text) { chat.push_back(text); }});
  for (const auto& [moment, table] : seen) {
    player.PlayTo(moment);
    EXPECT_EQ(DescribeTable(document), table) << "at " << moment << " ms";
  }
  EXPECT_EQ(chat, client_->messages.messages);
  // And the same moments reached by seeking, last first.
  for (auto look = seen.rbegin(); look != seen.rend(); ++look) {
    player.SeekTo(look->first);
    EXPECT_EQ(DescribeTable(document), look->second) << "seeking to " << look->first << " ms";
  }
}

// Who is where, without the trails a recording started late cannot know.
std::string Positions(const model::CRivakDoc& document) {
  std::ostringstream out;
  out.precision(9);
  for (const model::CContact& c : document.Contacts()) {
    out << c.id << ' ' << c.name.toStdString() << ' ' << c.latitude << ' ' << c.longitude << ' ' << c.altitude << ' '
        << c.speed << ' ' << c.friendly << c.radarSite << c.altSymbol << c.awacs << '\n';
  }
  return out.str();
}

TEST_F(RecordedSession, RecordingStartedDuringTheSessionBeginsWithTheTable) {
  JoinAsRed();
  // A radar site, a helicopter and a landed hostile aircraft kept from
  // before, then silent.
  client_->now += 1;
  Broadcast(Track(20, 'A', "SA-10 site", 'B', 44.5, 38.5, 100, 0) + Track(12, 'C', "Mi-8", 'A', 44.2, 37.9, 300, 150) +
            Track(10, 'B', "Su-27", 'B', 44.0, 38.0, 5000, 800) + Track(13, 'B', "F-15C", 'A', 44.1, 38.2, 6000, 900));
  client_->now += 3;
  const QString file = dir_.filePath("late.vrec");
  QString error;
  ASSERT_TRUE(recorder_->Start(file, error)) << error.toStdString();
  for (int step = 0; step < 5; ++step) {
    client_->now += 2;
    Broadcast(Track(10, 'B', "Su-27", 'B', 44.0 + 0.01 * step, 38.0, 5000, 800));
  }
  recorder_->Stop();
  ASSERT_EQ(client_->document.ContactCount(), 4u);

  OpenFailure failure;
  const auto reader = RecordReader::Open(file.toStdU16String(), failure);
  ASSERT_TRUE(reader);
  model::ClientState state;
  auto clock = std::make_shared<ReplayClock>();
  model::CRivakDoc document(state, SecondsFrom(clock));
  ReplayPlayer player(*reader, document, clock, Language::English);
  player.PlayTo(0);
  EXPECT_EQ(document.ContactCount(), 4u);
  player.PlayTo(reader->DurationMs());
  EXPECT_EQ(Positions(document), Positions(client_->document));
  EXPECT_EQ(state.isBlue, client_->state.isBlue);
}

TEST_F(RecordedSession, UnwritableRecordingStopsAndTheLivePictureGoesOn) {
  QString error;
  EXPECT_FALSE(recorder_->Start(dir_.filePath("no/such/folder/x.vrec"), error));
  EXPECT_TRUE(error.startsWith("Cannot record to ")) << error.toStdString();
  EXPECT_FALSE(recorder_->IsRecording());

  // A device that is always full: the recording fails once the log-on
  // writes its header.
  QSignalSpy failed(recorder_.get(), &SessionRecorder::Failed);
  ASSERT_TRUE(recorder_->Start("/dev/full", error));
  JoinAsRed();
  ASSERT_TRUE(WaitUntil([&] { return failed.count() == 1; }));
  EXPECT_TRUE(failed.at(0).at(0).toString().contains("No space left on device"))
      << failed.at(0).at(0).toString().toStdString();
  EXPECT_FALSE(recorder_->IsRecording());
  Broadcast(Track(10, 'B', "Su-27", 'B', 44.0, 38.0, 5000, 800));
  EXPECT_NE(client_->Contact(10'000'010), nullptr);
  EXPECT_TRUE(client_->notifier.shown.empty());
}

}  // namespace
}  // namespace vantor::test
