#pragma once
// The figures of one load run, the verdict, and their two forms: a table
// for people and JSON for scripts.

#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vantor/load/ClientTally.h"
#include "vantor/load/ProcessWatch.h"

namespace vantor::load {

struct ClientResult {
  int number = 0;  // 1 ...
  QString address;
  QString side;     // "Blue", "Red", or empty before the log-on
  QString failure;  // why it could not take part; empty when it did
  bool disconnected = false;
  bool reachedEnd = false;  // received the stamp that closes the window
  TallyCounts counts;
  std::size_t objects = 0;
  std::uint64_t missingRecords = 0;  // records the other clients received and this one did not
  LatencyHistogram latency;
  std::optional<std::uint64_t> systemDrops;  // datagrams the system dropped at its port inside the window
};

struct ProcessResult {
  QString label;
  std::int64_t pid = 0;
  bool lost = false;  // the process could not be read at some point (ended?)
  ProcessWatch::Summary summary;
};

struct WatchedPort {
  QString address;
  std::optional<std::uint64_t> systemDrops;  // inside the window
};

struct Thresholds {
  std::optional<double> maxP99Ms;
  std::optional<double> maxServerCpuPercent;
  std::optional<double> maxResidentGrowthPercent;
  std::optional<std::uint64_t> maxGaps;
  // For the processes watched beside the server.
  std::optional<double> maxWatchedCpuPercent;
  std::optional<double> maxWatchedResidentMb;
};

struct LoadReport {
  int clientsAsked = 0;
  double durationSeconds = 0.0;
  std::uint64_t firstBatch = 0;  // the window's batches, [firstBatch, endBatch)
  std::uint64_t endBatch = 0;
  double batchIntervalMs = 0.0;
  double windowSeconds = 0.0;  // of wall clock, by the run's own clock
  std::vector<ClientResult> clients;
  std::vector<ProcessResult> processes;  // the server first when its pid was given
  bool serverWatched = false;
  std::vector<WatchedPort> watchedPorts;
  LatencyHistogram latency;  // every client's records
  QString setupFailure;      // the run could not be made at all
  Thresholds thresholds;

  std::uint64_t LostRecords() const;  // missing records, summed over the clients
  std::uint64_t SystemDrops() const;  // over the clients and the watched ports
  std::uint64_t Gaps() const;
  // Records were lost: missing at a client, dropped by the system, a client
  // disconnected or did not see the window end.
  bool RecordsLost() const;
  // The thresholds that were given and not met, one text each.
  std::vector<QString> MissedThresholds() const;
  // 0 all well; 1 records lost; 2 the run could not be made; 3 a threshold missed.
  int ExitCode() const;
};

// For each tally, the records (with a position or lost-track, per object)
// that at least one other tally holds more of. The clients of one server
// receive the same broadcasts, so every difference is a loss.
std::vector<std::uint64_t> MissingRecords(const std::vector<const ClientTally*>& tallies);

QString FormatTable(const LoadReport& report);
QJsonObject ToJson(const LoadReport& report);

}  // namespace vantor::load
