#include "vantor/load/LoadReport.h"

#include <QJsonArray>
#include <QStringList>

#include <algorithm>
#include <unordered_map>

namespace vantor::load {
namespace {

constexpr double kMedian = 0.50;
constexpr double kP99 = 0.99;

QString Number(std::optional<double> value, int decimals = 1) {
  return value ? QString::number(*value, 'f', decimals) : QStringLiteral("-");
}

QJsonValue JsonNumber(std::optional<double> value) { return value ? QJsonValue(*value) : QJsonValue(); }

QJsonValue JsonCount(std::optional<std::uint64_t> value) {
  return value ? QJsonValue(static_cast<qint64>(*value)) : QJsonValue();
}

QJsonObject LatencyJson(const LatencyHistogram& latency) {
  return {{"records", static_cast<qint64>(latency.Count())},
          {"p50Ms", JsonNumber(latency.PercentileMs(kMedian))},
          {"p99Ms", JsonNumber(latency.PercentileMs(kP99))},
          {"meanMs", JsonNumber(latency.MeanMs())},
          {"maxMs", JsonNumber(latency.MaxMs())}};
}

QString Row(const QStringList& cells, const std::vector<int>& widths) {
  QString row;
  for (qsizetype i = 0; i < cells.size(); ++i) {
    const int width = widths[static_cast<std::size_t>(i)];
    row += i == 0 ? cells[i].leftJustified(width) : cells[i].rightJustified(width);
    row += QLatin1Char(' ');
  }
  return row.trimmed() + QLatin1Char('\n');
}

}  // namespace

std::vector<std::uint64_t> MissingRecords(const std::vector<const ClientTally*>& tallies) {
  std::unordered_map<std::int32_t, std::uint32_t> most;
  for (const ClientTally* tally : tallies) {
    for (const auto& [id, object] : tally->Objects()) {
      std::uint32_t& best = most[id];
      best = std::max(best, object.records + object.lostRecords);
    }
  }
  std::vector<std::uint64_t> missing;
  for (const ClientTally* tally : tallies) {
    std::uint64_t count = 0;
    for (const auto& [id, best] : most) {
      const auto own = tally->Objects().find(id);
      const std::uint32_t held = own == tally->Objects().end() ? 0 : own->second.records + own->second.lostRecords;
      count += best - std::min(best, held);
    }
    missing.push_back(count);
  }
  return missing;
}

std::uint64_t LoadReport::LostRecords() const {
  std::uint64_t lost = 0;
  for (const ClientResult& client : clients) lost += client.missingRecords;
  return lost;
}

std::uint64_t LoadReport::SystemDrops() const {
  std::uint64_t drops = 0;
  for (const ClientResult& client : clients) drops += client.systemDrops.value_or(0);
  for (const WatchedPort& port : watchedPorts) drops += port.systemDrops.value_or(0);
  return drops;
}

std::uint64_t LoadReport::Gaps() const {
  std::uint64_t gaps = 0;
  for (const ClientResult& client : clients) gaps += client.counts.gaps;
  return gaps;
}

bool LoadReport::RecordsLost() const {
  if (LostRecords() > 0 || SystemDrops() > 0) return true;
  return std::any_of(clients.begin(), clients.end(),
                     [](const ClientResult& client) { return client.disconnected || !client.reachedEnd; });
}

std::vector<QString> LoadReport::MissedThresholds() const {
  std::vector<QString> missed;
  const auto p99 = latency.PercentileMs(kP99);
  if (thresholds.maxP99Ms && (!p99 || *p99 > *thresholds.maxP99Ms)) {
    missed.push_back(QStringLiteral("latency p99 %1 ms above %2 ms").arg(Number(p99)).arg(*thresholds.maxP99Ms));
  }
  const ProcessWatch::Summary* server = serverWatched && !processes.empty() ? &processes.front().summary : nullptr;
  if (thresholds.maxServerCpuPercent) {
    const auto cpu = server ? server->cpuPercent : std::nullopt;
    if (!cpu || *cpu > *thresholds.maxServerCpuPercent) {
      missed.push_back(
          QStringLiteral("server CPU %1 % above %2 %").arg(Number(cpu)).arg(*thresholds.maxServerCpuPercent));
    }
  }
  if (thresholds.maxResidentGrowthPercent) {
    const auto growth = server ? server->residentGrowthPercent : std::nullopt;
    if (!growth || std::abs(*growth) > *thresholds.maxResidentGrowthPercent) {
      missed.push_back(QStringLiteral("server resident memory changed %1 %, more than %2 %")
                           .arg(Number(growth))
                           .arg(*thresholds.maxResidentGrowthPercent));
    }
  }
  for (std::size_t i = serverWatched ? 1 : 0; i < processes.size(); ++i) {
    const ProcessResult& process = processes[i];
    const auto cpu = process.summary.cpuPercent;
    if (thresholds.maxWatchedCpuPercent && (!cpu || *cpu > *thresholds.maxWatchedCpuPercent)) {
      missed.push_back(QStringLiteral("%1 CPU %2 % above %3 %")
                           .arg(process.label, Number(cpu))
                           .arg(*thresholds.maxWatchedCpuPercent));
    }
    const auto resident = process.summary.peakResidentMb;
    if (thresholds.maxWatchedResidentMb && (!resident || *resident > *thresholds.maxWatchedResidentMb)) {
      missed.push_back(QStringLiteral("%1 resident memory %2 MB above %3 MB")
                           .arg(process.label, Number(resident))
                           .arg(*thresholds.maxWatchedResidentMb));
    }
  }
  if (thresholds.maxGaps && Gaps() > *thresholds.maxGaps) {
    missed.push_back(QStringLiteral("%1 gaps, more than %2").arg(Gaps()).arg(*thresholds.maxGaps));
  }
  return missed;
}

int LoadReport::ExitCode() const {
  if (!setupFailure.isEmpty()) return 2;
  if (RecordsLost()) return 1;
  if (!MissedThresholds().empty()) return 3;
  return 0;
}

QString FormatTable(const LoadReport& report) {
  QString text;
  if (!report.setupFailure.isEmpty()) text += QStringLiteral("vantor-load: %1\n").arg(report.setupFailure);
  text +=
      QStringLiteral("vantor-load: %1 clients; batches %2 to %3 counted (%4 batches, %5 s, a batch every %6 ms)\n\n")
          .arg(report.clientsAsked)
          .arg(report.firstBatch)
          .arg(report.endBatch == 0 ? 0 : report.endBatch - 1)
          .arg(report.endBatch > report.firstBatch ? report.endBatch - report.firstBatch : 0)
          .arg(report.windowSeconds, 0, 'f', 1)
          .arg(report.batchIntervalMs, 0, 'f', 1);

  const std::vector<int> widths = {6, 11, 5, 10, 11, 8, 7, 6, 6, 7, 7, 8, 8, 8};
  text += Row({"client", "address", "side", "datagrams", "records", "objects", "rec/obj", "lost", "gaps", "missing",
               "drops", "p50 ms", "p99 ms", "max ms"},
              widths);
  for (const ClientResult& client : report.clients) {
    const double perObject =
        client.objects > 0 ? static_cast<double>(client.counts.records) / static_cast<double>(client.objects) : 0.0;
    text += Row({QString::number(client.number), client.address, client.side.isEmpty() ? "-" : client.side,
                 QString::number(client.counts.datagrams), QString::number(client.counts.records),
                 QString::number(client.objects), QString::number(perObject, 'f', 1),
                 QString::number(client.counts.lostRecords), QString::number(client.counts.gaps),
                 QString::number(client.missingRecords),
                 client.systemDrops ? QString::number(*client.systemDrops) : QStringLiteral("-"),
                 Number(client.latency.PercentileMs(kMedian)), Number(client.latency.PercentileMs(kP99)),
                 Number(client.latency.MaxMs())},
                widths);
    if (!client.failure.isEmpty())
      text += QStringLiteral("       client %1: %2\n").arg(client.number).arg(client.failure);
    if (client.disconnected)
      text += QStringLiteral("       client %1: disconnected by the server\n").arg(client.number);
    if (client.failure.isEmpty() && !client.reachedEnd) {
      text += QStringLiteral("       client %1: never received the batch that closes the window\n").arg(client.number);
    }
  }
  text += QStringLiteral(
              "\nlatency from the feed's batch to the arrival of its records, all clients: p50 %1 ms, "
              "p99 %2 ms, mean %3 ms, max %4 ms (%5 records)\n")
              .arg(Number(report.latency.PercentileMs(kMedian)), Number(report.latency.PercentileMs(kP99)),
                   Number(report.latency.MeanMs()), Number(report.latency.MaxMs()))
              .arg(report.latency.Count());
  for (const ProcessResult& process : report.processes) {
    const ProcessWatch::Summary& s = process.summary;
    text += QStringLiteral(
                "%1 (pid %2): CPU %3 % of one core (busiest 10 s %4 %), resident %5 MB early, %6 MB at "
                "the end (%7 %), peak %8 MB%9\n")
                .arg(process.label)
                .arg(process.pid)
                .arg(Number(s.cpuPercent), Number(s.peakCpuPercent), Number(s.earlyResidentMb), Number(s.endResidentMb),
                     Number(s.residentGrowthPercent, 2), Number(s.peakResidentMb),
                     process.lost ? QStringLiteral(" - could not be read to the end") : QString());
  }
  for (const WatchedPort& port : report.watchedPorts) {
    text += QStringLiteral("UDP port at %1: %2 datagrams dropped by the system\n")
                .arg(port.address, port.systemDrops ? QString::number(*port.systemDrops) : QStringLiteral("-"));
  }
  text += QLatin1Char('\n');
  if (report.RecordsLost()) {
    text += QStringLiteral("RECORDS LOST: %1 missing at clients, %2 datagrams dropped by the system\n")
                .arg(report.LostRecords())
                .arg(report.SystemDrops());
  } else if (report.setupFailure.isEmpty()) {
    text += QStringLiteral("no record lost\n");
  }
  for (const QString& missed : report.MissedThresholds()) text += QStringLiteral("MISSED: %1\n").arg(missed);
  return text;
}

QJsonObject ToJson(const LoadReport& report) {
  QJsonArray clients;
  for (const ClientResult& client : report.clients) {
    const TallyCounts& c = client.counts;
    clients.append(QJsonObject{
        {"client", client.number},
        {"address", client.address},
        {"side", client.side},
        {"failure", client.failure},
        {"disconnected", client.disconnected},
        {"reachedEnd", client.reachedEnd},
        {"datagrams", static_cast<qint64>(c.datagrams)},
        {"emptyDatagrams", static_cast<qint64>(c.emptyDatagrams)},
        {"bytes", static_cast<qint64>(c.bytes)},
        {"records", static_cast<qint64>(c.records)},
        {"lostTrackRecords", static_cast<qint64>(c.lostRecords)},
        {"objects", static_cast<qint64>(client.objects)},
        {"recordsPerObject",
         client.objects > 0 ? static_cast<double>(c.records) / static_cast<double>(client.objects) : 0.0},
        {"gaps", static_cast<qint64>(c.gaps)},
        {"stamps", static_cast<qint64>(c.stamps)},
        {"skippedBatches", static_cast<qint64>(c.skippedBatches)},
        {"missingRecords", static_cast<qint64>(client.missingRecords)},
        {"systemDrops", JsonCount(client.systemDrops)},
        {"latency", LatencyJson(client.latency)},
    });
  }
  QJsonArray processes;
  for (const ProcessResult& process : report.processes) {
    const ProcessWatch::Summary& s = process.summary;
    processes.append(QJsonObject{{"label", process.label},
                                 {"pid", static_cast<qint64>(process.pid)},
                                 {"lost", process.lost},
                                 {"cpuPercent", JsonNumber(s.cpuPercent)},
                                 {"peakCpuPercent", JsonNumber(s.peakCpuPercent)},
                                 {"earlyResidentMb", JsonNumber(s.earlyResidentMb)},
                                 {"endResidentMb", JsonNumber(s.endResidentMb)},
                                 {"residentGrowthPercent", JsonNumber(s.residentGrowthPercent)},
                                 {"peakResidentMb", JsonNumber(s.peakResidentMb)}});
  }
  QJsonArray ports;
  for (const WatchedPort& port : report.watchedPorts) {
    ports.append(QJsonObject{{"address", port.address}, {"systemDrops", JsonCount(port.systemDrops)}});
  }
  QJsonArray missed;
  for (const QString& text : report.MissedThresholds()) missed.append(text);
  return {
      {"setupFailure", report.setupFailure},
      {"clientsAsked", report.clientsAsked},
      {"durationSeconds", report.durationSeconds},
      {"firstBatch", static_cast<qint64>(report.firstBatch)},
      {"endBatch", static_cast<qint64>(report.endBatch)},
      {"batchIntervalMs", report.batchIntervalMs},
      {"windowSeconds", report.windowSeconds},
      {"clients", clients},
      {"latency", LatencyJson(report.latency)},
      {"processes", processes},
      {"watchedPorts", ports},
      {"lostRecords", static_cast<qint64>(report.LostRecords())},
      {"systemDrops", static_cast<qint64>(report.SystemDrops())},
      {"gaps", static_cast<qint64>(report.Gaps())},
      {"recordsLost", report.RecordsLost()},
      {"missedThresholds", missed},
      {"exitCode", report.ExitCode()},
  };
}

}  // namespace vantor::load
