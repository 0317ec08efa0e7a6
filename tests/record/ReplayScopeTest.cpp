// The scope drawn from a replay is the scope drawn live: a session over
// loopback sockets is recorded, and at several moments the live document
// and the replayed one give the same pixels (contacts, trails, labels).
#include <gtest/gtest.h>

#include <QImage>

#include "RecordedSessionFixture.h"
#include "vantor/model/ClientSettings.h"
#include "vantor/record/RecordReader.h"
#include "vantor/record/ReplayPlayer.h"
#include "vantor/scope/CRivakView.h"
#include "vantor/scope/ScopeMapData.h"

namespace vantor::test {
namespace {

using namespace record;

std::unique_ptr<scope::CRivakView> ScopeOn(model::CRivakDoc& document, model::ClientSettings& settings) {
  auto view = std::make_unique<scope::CRivakView>(scope::CRivakView::Environment{document, settings, nullptr, {}});
  view->SetMapData(std::make_unique<scope::ScopeMapData>());
  view->resize(700, 600);
  view->SetRangeKm(100);
  view->Options().labelsShown = view->Options().labelsOption = true;
  return view;
}

TEST_F(RecordedSession, ReplayedScopeHasTheLivePixels) {
  const QString file = dir_.filePath("scope.vrec");
  QString error;
  ASSERT_TRUE(recorder_->Start(file, error)) << error.toStdString();
  const std::int64_t startSeconds = client_->now;
  JoinAsRed();
  model::ClientSettings settings;
  const auto live = ScopeOn(client_->document, settings);

  std::vector<std::pair<std::uint32_t, QImage>> seen;
  for (int step = 0; step < 16; ++step) {
    client_->now += 2 + step % 3;
    std::string records = Track(10, 'B', "Su-27", 'B', 45.0 + 0.02 * step, 38.9, 5000 + 30 * step, 800);
    records += Track(11, 'B', "F-15C", 'A', 45.1, 39.2 - 0.03 * step, 7000, 900);
    records += Track(20, 'A', "SA-10 site", 'B', 44.9, 38.6, 100, 0);
    if (step < 9) records += Track(12, 'C', "Mi-8", 'B', 45.05, 38.8 + 0.01 * step, 300, 150);
    if (step == 9)
      records += *protocol::LostTrackRecord(protocol::FormatTrackRecord({10'000'012, 'C', "Mi-8", 'B', 0, 0, 0, 0}));
    Broadcast(records);
    if (step % 5 == 4)
      seen.emplace_back(static_cast<std::uint32_t>((client_->now - startSeconds) * 1000), live->RenderImage());
  }
  recorder_->Stop();

  OpenFailure failure;
  const auto reader = RecordReader::Open(file.toStdU16String(), failure);
  ASSERT_TRUE(reader);
  model::ClientState state;
  auto clock = std::make_shared<ReplayClock>();
  model::CRivakDoc document(state, SecondsFrom(clock));
  ReplayPlayer player(*reader, document, clock, Language::English);
  const auto replayed = ScopeOn(document, settings);
  ASSERT_GE(seen.size(), 3u);
  EXPECT_NE(seen.front().second, seen.back().second);
  for (const auto& [moment, image] : seen) {
    player.SeekTo(moment);
    EXPECT_TRUE(replayed->RenderImage() == image) << "at " << moment << " ms";
  }
}

}  // namespace
}  // namespace vantor::test
