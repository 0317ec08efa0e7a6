// Cost of one exchange with Parlix: every call looks up four named objects,
// maps the area, takes the mutex and waits for the stand-in's reply. The
// client's voice window pays this every 4 seconds, a channel button per
// click. Runs against its own parlix-sim under a private object-name prefix.
#include <PxRemote.h>

#include <vantor/voice/ParlixObjectNames.h>

#include <benchmark/benchmark.h>

#include <semaphore.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

extern char** environ;

namespace {

// The stand-in process for the whole run, ended by SIGTERM.
class StandIn {
 public:
  explicit StandIn(const std::string& prefix) {
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    const std::string program = (self.parent_path() / ".." / "bin" / "parlix-sim").string();
    std::string prefixArgument = prefix;
    std::array<char*, 5> arguments{const_cast<char*>(program.c_str()), const_cast<char*>("--prefix"),
                                   prefixArgument.data(), nullptr, nullptr};
    if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, arguments.data(), environ) != 0) pid_ = -1;
  }
  ~StandIn() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  StandIn(const StandIn&) = delete;
  StandIn& operator=(const StandIn&) = delete;

  bool WaitReady(const std::string& prefix) const {
    const std::string mutex = vantor::voice::ParlixObjectNames::ForPrefix(prefix).operationMutex;
    for (int attempt = 0; attempt < 500 && pid_ > 0; ++attempt) {
      sem_t* semaphore = sem_open(mutex.c_str(), 0);
      if (semaphore != SEM_FAILED) {
        sem_close(semaphore);
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

 private:
  pid_t pid_ = -1;
};

void BM_SwitchChannel(benchmark::State& state) {
  int32_t channel = 1;
  for (auto _ : state) {
    if (pxrSwitchChannelID(channel, "") != 0) state.SkipWithError("switch failed");
    channel = channel == 1 ? 2 : 1;
  }
}
BENCHMARK(BM_SwitchChannel)->UseRealTime();

void BM_GetChannels(benchmark::State& state) {
  std::array<PxrChannelInfo, 50> channels{};
  for (auto _ : state) {
    int32_t count = 50;
    if (pxrGetChannels(channels.data(), &count) != 0) state.SkipWithError("list failed");
    benchmark::DoNotOptimize(channels);
  }
}
BENCHMARK(BM_GetChannels)->UseRealTime();

void BM_GetUserInfo(benchmark::State& state) {
  PxrUserInfo user{};
  for (auto _ : state) {
    if (pxrGetUserInfo(&user) != 0) state.SkipWithError("user info failed");
    benchmark::DoNotOptimize(user);
  }
}
BENCHMARK(BM_GetUserInfo)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  const std::string prefix = "vbench" + std::to_string(getpid()) + "_";
  setenv(vantor::voice::kPrefixVariable, prefix.c_str(), 1);
  const StandIn standIn(prefix);
  if (!standIn.WaitReady(prefix)) {
    std::cerr << "voice_bench: parlix-sim did not start\n";
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
