// Replay speed on a generated 2-hour mission of 300 objects at one broadcast
// a second: decoding and applying every frame, the snapshot pass made when a
// recording opens, and seeking with and without its snapshots. The file's
// size per hour is reported with the decode figures.
#include <benchmark/benchmark.h>

#include <random>

#include "RecordingFixtures.h"
#include "vantor/record/RecordReader.h"
#include "vantor/record/ReplayPlayer.h"

namespace {

using namespace vantor;

struct Mission {
  Mission() {
    test::GeneratedMission mission;
    mission.seconds = 2 * 3600;
    mission.aircraft = 300;
    const auto frames = test::GenerateMission(mission);
    frameCount = frames.size();
    bytes = test::EncodeRecording(mission, frames);
    record::OpenFailure failure;
    reader = record::RecordReader::FromBytes(bytes, failure);
    snapshots = record::BuildReplaySnapshots(*reader);
  }
  std::vector<std::uint8_t> bytes;
  std::size_t frameCount = 0;
  std::unique_ptr<record::RecordReader> reader;
  std::vector<record::ReplaySnapshot> snapshots;
};

const Mission& TwoHours() {
  static const Mission kMission;
  return kMission;
}

struct Replay {
  explicit Replay(const record::RecordReader& reader)
      : clock(std::make_shared<record::ReplayClock>()),
        document(state, record::SecondsFrom(clock)),
        player(reader, document, clock, Language::English) {}
  model::ClientState state;
  std::shared_ptr<record::ReplayClock> clock;
  model::CRivakDoc document;
  record::ReplayPlayer player;
};

void ReplayDecodeWholeMission(benchmark::State& state) {
  const Mission& mission = TwoHours();
  for (auto _ : state) {
    Replay replay(*mission.reader);
    replay.player.PlayTo(mission.reader->DurationMs());
    benchmark::DoNotOptimize(replay.document.ContactCount());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * mission.frameCount));
  state.counters["frames"] = static_cast<double>(mission.frameCount);
  state.counters["file_MB"] = static_cast<double>(mission.bytes.size()) / 1e6;
  state.counters["MB_per_hour"] = static_cast<double>(mission.bytes.size()) / 1e6 / 2.0;
}
BENCHMARK(ReplayDecodeWholeMission)->Unit(benchmark::kMillisecond)->Iterations(2);

void OpenAndIndex(benchmark::State& state) {
  const Mission& mission = TwoHours();
  for (auto _ : state) {
    record::OpenFailure failure;
    auto reader = record::RecordReader::FromBytes(mission.bytes, failure);
    benchmark::DoNotOptimize(reader->Blocks().size());
  }
}
BENCHMARK(OpenAndIndex)->Unit(benchmark::kMillisecond);

// The seek the user makes on the timeline once the snapshots are there.
void SeekWithSnapshots(benchmark::State& state) {
  const Mission& mission = TwoHours();
  Replay replay(*mission.reader);
  replay.player.AdoptSnapshots(mission.snapshots);
  std::mt19937 random(3);
  std::uniform_int_distribution<std::uint32_t> anywhere(0, mission.reader->DurationMs());
  for (auto _ : state) {
    replay.player.SeekTo(anywhere(random));
    benchmark::DoNotOptimize(replay.document.ContactCount());
  }
  state.counters["snapshots"] = static_cast<double>(mission.snapshots.size());
}
BENCHMARK(SeekWithSnapshots)->Unit(benchmark::kMillisecond);

// "--seek 1:23:00" right after opening, before the snapshot pass is done.
void FirstSeekWithoutSnapshots(benchmark::State& state) {
  const Mission& mission = TwoHours();
  for (auto _ : state) {
    Replay replay(*mission.reader);
    replay.player.SeekTo((1 * 3600 + 23 * 60) * 1000);
    benchmark::DoNotOptimize(replay.document.ContactCount());
  }
}
BENCHMARK(FirstSeekWithoutSnapshots)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
