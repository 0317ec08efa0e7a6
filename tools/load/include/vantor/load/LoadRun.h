#pragma once
// A whole load run: the clients log on, warm up, count a window of whole
// batches, and the figures are gathered into one report.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

#include "vantor/load/ClientTally.h"
#include "vantor/load/LoadClient.h"
#include "vantor/load/LoadOptions.h"
#include "vantor/load/LoadReport.h"
#include "vantor/load/ProcessWatch.h"

namespace vantor::load {

class LoadRun : public QObject {
  Q_OBJECT
 public:
  explicit LoadRun(LoadOptions options, QObject* parent = nullptr);
  ~LoadRun() override;

  void Start();
  // Complete once Finished has been emitted.
  const LoadReport& Report() const { return report_; }

 Q_SIGNALS:
  void Finished(int exitCode);

 private:
  enum class Phase { LoggingOn, WarmingUp, Opening, Counting, Closing, Done };

  void Tick();
  void TickLoggingOn();
  void TickWarmingUp();
  void TickOpening();
  void TickCounting();
  void TickClosing();
  void Enter(Phase phase);
  void Finish(const QString& setupFailure = {});
  void Progress();
  double Seconds() const;
  std::uint64_t HighestBatch() const;
  // Every client that is still connected has received a stamp of `batch` or later.
  bool AllReached(std::uint64_t batch) const;
  std::vector<std::optional<UdpSocketState>> ReadPorts() const;

  LoadOptions options_;
  CountingWindow window_;
  std::vector<std::unique_ptr<LoadClient>> clients_;
  std::vector<ProcessWatch> watches_;
  QTimer tick_;
  QElapsedTimer clock_;
  Phase phase_ = Phase::LoggingOn;
  double phaseStart_ = 0.0;
  double windowStartAt_ = 0.0;
  double windowEndAt_ = 0.0;
  double nextSampleAt_ = 0.0;
  double nextProgressAt_ = 0.0;
  std::vector<std::optional<UdpSocketState>> portsAtStart_;  // the clients' ports, then the watched ones
  LoadReport report_;
};

}  // namespace vantor::load
