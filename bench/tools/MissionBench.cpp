// How fast the mission generator makes its batches: at 5 batches a second a
// 10,000-object load test needs one in well under 200 ms.
#include "vantor/missiongen/FeedText.h"
#include "vantor/missiongen/Mission.h"
#include "vantor/missiongen/RecordedFeed.h"

#include <benchmark/benchmark.h>

namespace {

using namespace vantor::missiongen;

void BM_MissionBatch(benchmark::State& state) {
  MissionOptions options;
  options.objectCount = static_cast<int>(state.range(0));
  Mission mission(options);
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string batch = mission.NextBatch();
    bytes += batch.size();
    benchmark::DoNotOptimize(batch.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_MissionBatch)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_RecordedFeedParse(benchmark::State& state) {
  MissionOptions options;
  options.objectCount = 1000;
  Mission mission(options);
  std::string text = mission.ClockRecord();
  for (int i = 0; i < 50; ++i) text += mission.NextBatch();
  for (auto _ : state) {
    auto feed = RecordedFeed::Parse(text, nullptr);
    benchmark::DoNotOptimize(feed);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_RecordedFeedParse)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
