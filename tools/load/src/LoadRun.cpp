#include "vantor/load/LoadRun.h"

#include <algorithm>
#include <iostream>

namespace vantor::load {
namespace {

constexpr int kTickMs = 50;
constexpr double kSampleSeconds = 1.0;
constexpr double kProgressSeconds = 10.0;
// How long a joined server may take to deliver the first stamps, and the
// clients to reach the window's first and last batches.
constexpr double kStampWaitSeconds = 15.0;
constexpr double kReachWaitSeconds = 10.0;
// The window starts this many batches after the newest one seen, so that
// no client is inside it yet when it is set.
constexpr std::uint64_t kWindowLead = 2;
constexpr double kJoinWaitSeconds = 16.0;

}  // namespace

LoadRun::LoadRun(LoadOptions options, QObject* parent) : QObject(parent), options_(std::move(options)) {
  tick_.setInterval(kTickMs);
  connect(&tick_, &QTimer::timeout, this, &LoadRun::Tick);
  if (options_.serverPid) {
    watches_.emplace_back(ReadProcessName(*options_.serverPid).value_or("server"), *options_.serverPid);
  }
  for (const std::int64_t pid : options_.watchPids) {
    watches_.emplace_back(ReadProcessName(pid).value_or("process"), pid);
  }
  report_.clientsAsked = options_.clients;
  report_.durationSeconds = options_.durationSeconds;
  report_.thresholds = options_.thresholds;
  report_.serverWatched = options_.serverPid.has_value();
}

LoadRun::~LoadRun() = default;

void LoadRun::Start() {
  clock_.start();
  for (int number = 1; number <= options_.clients; ++number) {
    clients_.push_back(std::make_unique<LoadClient>(number, options_, window_));
  }
  for (auto& client : clients_) {
    client->Start();
    if (client->CurrentState() == LoadClient::State::Failed) break;
  }
  Enter(Phase::LoggingOn);
  tick_.start();
  Tick();
}

double LoadRun::Seconds() const { return static_cast<double>(clock_.nsecsElapsed()) / 1e9; }

void LoadRun::Enter(Phase phase) {
  phase_ = phase;
  phaseStart_ = Seconds();
}

void LoadRun::Tick() {
  const double now = Seconds();
  if (now >= nextSampleAt_) {
    for (ProcessWatch& watch : watches_) watch.Take(now);
    nextSampleAt_ = now + kSampleSeconds;
  }
  switch (phase_) {
    case Phase::LoggingOn:
      return TickLoggingOn();
    case Phase::WarmingUp:
      return TickWarmingUp();
    case Phase::Opening:
      return TickOpening();
    case Phase::Counting:
      return TickCounting();
    case Phase::Closing:
      return TickClosing();
    case Phase::Done:
      return;
  }
}

void LoadRun::TickLoggingOn() {
  for (const auto& client : clients_) {
    if (client->CurrentState() == LoadClient::State::Failed) {
      return Finish(QStringLiteral("client %1 (%2) could not log on: %3")
                        .arg(client->Number())
                        .arg(client->Address().toString(), client->Failure()));
    }
  }
  const bool allJoined = std::all_of(clients_.begin(), clients_.end(), [](const auto& client) {
    return client->CurrentState() == LoadClient::State::Joined;
  });
  if (allJoined) {
    if (!options_.quiet) std::cerr << "vantor-load: " << clients_.size() << " clients logged on" << std::endl;
    return Enter(Phase::WarmingUp);
  }
  if (Seconds() - phaseStart_ > options_.connectTimeoutSeconds + kJoinWaitSeconds) {
    Finish(QStringLiteral("the clients did not all log on in time"));
  }
}

void LoadRun::TickWarmingUp() {
  const bool stamped =
      std::all_of(clients_.begin(), clients_.end(), [](const auto& client) { return client->Tally().HasStamp(); });
  const double waited = Seconds() - phaseStart_;
  if (stamped && waited >= options_.warmupSeconds) {
    window_.Start(HighestBatch() + kWindowLead);
    return Enter(Phase::Opening);
  }
  if (waited > options_.warmupSeconds + kStampWaitSeconds) {
    Finish(
        QStringLiteral("no batch stamps arrived: is a feed running, and does it stamp its batches "
                       "(vantor-missiongen --stamp)?"));
  }
}

void LoadRun::TickOpening() {
  // The run's clock starts when every client is inside the window.
  if (!AllReached(window_.First()) && Seconds() - phaseStart_ < kReachWaitSeconds) return;
  windowStartAt_ = Seconds();
  for (ProcessWatch& watch : watches_) watch.Take(windowStartAt_);
  portsAtStart_ = ReadPorts();
  nextProgressAt_ = windowStartAt_ + kProgressSeconds;
  Enter(Phase::Counting);
}

void LoadRun::TickCounting() {
  const double now = Seconds();
  if (now >= nextProgressAt_) {
    Progress();
    nextProgressAt_ += kProgressSeconds;
  }
  if (now - windowStartAt_ < options_.durationSeconds) return;
  window_.End(HighestBatch() + 1);
  windowEndAt_ = now;
  for (ProcessWatch& watch : watches_) watch.Take(windowEndAt_);
  Enter(Phase::Closing);
}

void LoadRun::TickClosing() {
  if (!AllReached(window_.EndBatch()) && Seconds() - phaseStart_ < kReachWaitSeconds) return;
  Finish();
}

void LoadRun::Progress() {
  if (options_.quiet) return;
  std::cerr << "vantor-load: " << static_cast<int>(Seconds() - windowStartAt_) << " s of " << options_.durationSeconds
            << ", batch " << HighestBatch();
  if (!watches_.empty() && !watches_.front().Samples().empty()) {
    const auto summary = watches_.front().Summarise(Seconds() - kProgressSeconds, Seconds());
    if (summary.cpuPercent) {
      std::cerr << ", " << watches_.front().Label() << " CPU " << static_cast<int>(*summary.cpuPercent + 0.5) << " %, "
                << static_cast<int>(summary.endResidentMb.value_or(0.0) + 0.5) << " MB";
    }
  }
  std::cerr << std::endl;
}

std::uint64_t LoadRun::HighestBatch() const {
  std::uint64_t highest = 0;
  for (const auto& client : clients_) highest = std::max(highest, client->Tally().LastBatch());
  return highest;
}

bool LoadRun::AllReached(std::uint64_t batch) const {
  return std::all_of(clients_.begin(), clients_.end(), [batch](const auto& client) {
    return client->CurrentState() != LoadClient::State::Joined || client->Tally().LastBatch() >= batch;
  });
}

std::vector<std::optional<UdpSocketState>> LoadRun::ReadPorts() const {
  std::vector<std::optional<UdpSocketState>> ports;
  for (const auto& client : clients_) {
    ports.push_back(ReadUdpSocket(client->Address().toString().toStdString(), options_.clientPort));
  }
  for (const QHostAddress& address : options_.watchUdp) {
    ports.push_back(ReadUdpSocket(address.toString().toStdString(), options_.clientPort));
  }
  return ports;
}

void LoadRun::Finish(const QString& setupFailure) {
  if (phase_ == Phase::Done) return;
  Enter(Phase::Done);
  tick_.stop();
  report_.setupFailure = setupFailure;
  const auto portsAtEnd = ReadPorts();
  for (auto& client : clients_) client->StopReceiving();

  const auto drops = [&](std::size_t index) -> std::optional<std::uint64_t> {
    if (index >= portsAtStart_.size() || !portsAtStart_[index] || !portsAtEnd[index]) return std::nullopt;
    return portsAtEnd[index]->drops - std::min(portsAtEnd[index]->drops, portsAtStart_[index]->drops);
  };
  std::vector<const ClientTally*> joined;
  for (const auto& client : clients_) {
    if (client->CurrentState() == LoadClient::State::Joined ||
        client->CurrentState() == LoadClient::State::Disconnected) {
      joined.push_back(&client->Tally());
    }
  }
  const std::vector<std::uint64_t> missing = MissingRecords(joined);
  std::size_t joinedIndex = 0;
  for (std::size_t i = 0; i < clients_.size(); ++i) {
    const LoadClient& client = *clients_[i];
    ClientResult result;
    result.number = client.Number();
    result.address = client.Address().toString();
    result.side = client.Side();
    result.failure = client.Failure();
    result.disconnected = client.CurrentState() == LoadClient::State::Disconnected;
    const ClientTally& tally = client.Tally();
    result.reachedEnd = window_.EndBatch() != CountingWindow::kUnset && tally.LastBatch() >= window_.EndBatch();
    result.counts = tally.Counts();
    result.objects = tally.CountedObjects();
    result.latency = tally.Latency();
    if (joinedIndex < joined.size() && joined[joinedIndex] == &tally) result.missingRecords = missing[joinedIndex++];
    result.systemDrops = drops(i);
    report_.latency.Merge(result.latency);
    report_.clients.push_back(std::move(result));
  }
  for (std::size_t i = 0; i < options_.watchUdp.size(); ++i) {
    report_.watchedPorts.push_back({options_.watchUdp[i].toString(), drops(clients_.size() + i)});
  }
  if (window_.First() != CountingWindow::kUnset) report_.firstBatch = window_.First();
  if (window_.EndBatch() != CountingWindow::kUnset) report_.endBatch = window_.EndBatch();
  if (!clients_.empty()) report_.batchIntervalMs = clients_.front()->Tally().BatchIntervalMicros() / 1000.0;
  report_.windowSeconds = windowEndAt_ > windowStartAt_ ? windowEndAt_ - windowStartAt_ : 0.0;
  for (const ProcessWatch& watch : watches_) {
    report_.processes.push_back({QString::fromStdString(watch.Label()), watch.Pid(), watch.Lost(),
                                 watch.Summarise(windowStartAt_, windowEndAt_)});
  }
  Q_EMIT Finished(report_.ExitCode());
}

}  // namespace vantor::load
