#include "vantor/missiongen/CommandLine.h"

#include "vantor/platform/ToolCommandLine.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <cmath>
#include <iostream>

#include "vantor/platform/PortOption.h"

namespace vantor::missiongen {

std::uint64_t CommandLine::BatchLimit() const {
  if (durationSeconds <= 0.0) return 0;
  const double batches = durationSeconds * rate;
  // Beyond what a 64-bit count holds the run has no end in practice; the
  // rounding below would overflow.
  if (!(batches < 9.0e18)) return 0;
  return std::max<std::uint64_t>(1, static_cast<std::uint64_t>(std::llround(batches)));
}

namespace {

// Option defaults, possibly from the export settings file: keys "host",
// "port", "rate", "objects", "duration", "seed", "record" in [Export].
struct Defaults {
  QString host = QStringLiteral("127.0.0.1");
  QString port = QStringLiteral("10311");
  QString rate = QStringLiteral("5");
  QString objects = QStringLiteral("0");
  QString duration = QStringLiteral("0");
  QString seed = QStringLiteral("1");
  QString record;
  QString status = QStringLiteral("0");
};

Defaults ReadDefaults(const QString& exportSettingsPath) {
  Defaults defaults;
  if (exportSettingsPath.isEmpty() || !QFileInfo::exists(exportSettingsPath)) return defaults;
  QSettings settings(exportSettingsPath, QSettings::IniFormat);
  settings.beginGroup(QStringLiteral("Export"));
  auto take = [&settings](const char* key, QString& value) { value = settings.value(key, value).toString(); };
  take("host", defaults.host);
  take("port", defaults.port);
  take("rate", defaults.rate);
  take("objects", defaults.objects);
  take("duration", defaults.duration);
  take("seed", defaults.seed);
  take("record", defaults.record);
  take("status", defaults.status);
  return defaults;
}

}  // namespace

QString ExportSettingsPathFor(const QString& programArgument) {
  const QString name = QFileInfo(programArgument).completeBaseName();
  if (name.compare(QStringLiteral("falcrest"), Qt::CaseInsensitive) != 0) return {};
  return QDir::current().filePath(QString::fromLatin1(kExportSettingsFile));
}

std::optional<CommandLine> ParseCommandLine(const QStringList& arguments, int& exitCode,
                                            const QString& exportSettingsPath) {
  const Defaults defaults = ReadDefaults(exportSettingsPath);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Stands in for the Falcrest simulator's export script: connects to a Vantor server's feed port and writes a\n"
      "live mission over the theatre (aircraft from the airfields, AWACS, helicopters, ships, air defence sites),\n"
      "or replays a recorded feed. Reconnects while the server is not up; stops cleanly on Ctrl-C.\n"
      "Run under the name \"falcrest\" (as the server starts its simulator), it first reads option defaults from\n"
      "\"vantor-export.ini\" in the working folder, section [Export], keys host, port, rate, objects, duration,\n"
      "seed, record and status.");
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption host("host", "Server address (default 127.0.0.1).", "address", defaults.host);
  const QCommandLineOption port("port", "Server feed port (default 10311).", "port", defaults.port);
  const QCommandLineOption rate("rate", "Batches per second (default 5).", "n", defaults.rate);
  const QCommandLineOption objects("objects",
                                   "Number of mission objects, up to 10000 for load tests (default: the "
                                   "standard mission).",
                                   "n", defaults.objects);
  const QCommandLineOption duration("duration",
                                    "Stop after this many seconds of mission (default: run until "
                                    "stopped).",
                                    "seconds", defaults.duration);
  const QCommandLineOption seed("seed", "Mission seed; a seed always gives the same feed (default 1).", "n",
                                defaults.seed);
  const QCommandLineOption record("record", "Also write the feed text to this file.", "file", defaults.record);
  const QCommandLineOption replay("replay", "Stream a recorded feed file at its batch pace instead of a mission.",
                                  "file");
  const QCommandLineOption toStdout("stdout", "Write the feed to standard output instead of to a server.");
  const QCommandLineOption status("status", "Report progress on standard error every this many seconds.", "seconds",
                                  defaults.status);
  const QCommandLineOption fast("fast", "Do not pace batches: write them as fast as the output takes them.");
  const QCommandLineOption stamp("stamp",
                                 "Close every batch with a batch stamp: one more record (id 99999999) whose name "
                                 "holds the batch number and the time it was written, for vantor-load's latency "
                                 "figures. Clients never show it.");
  parser.addOptions({host, port, rate, objects, duration, seed, record, replay, toStdout, fast, status, stamp});

  if (const std::optional<int> done = ParseToolCommandLine(parser, arguments, "vantor-missiongen")) {
    exitCode = *done;
    return std::nullopt;
  }
  if (!parser.positionalArguments().isEmpty()) {
    std::cerr << "vantor-missiongen: unexpected argument " << parser.positionalArguments().first().toStdString()
              << "\n";
    exitCode = 2;
    return std::nullopt;
  }

  auto fail = [&exitCode](const std::string& why) -> std::optional<CommandLine> {
    std::cerr << "vantor-missiongen: " << why << "\n";
    exitCode = 2;
    return std::nullopt;
  };
  CommandLine line;
  bool ok = false;
  line.host = parser.value(host);
  if (line.host.isEmpty()) return fail("--host needs an address");
  const std::optional<quint16> portValue = ParsePortOption(parser.value(port));
  if (!portValue) return fail("--port must be a number from 1 to 65535");
  line.port = *portValue;
  line.rate = parser.value(rate).toDouble(&ok);
  if (!ok || !std::isfinite(line.rate) || line.rate <= 0.0 || line.rate > kMaxRate)
    return fail("--rate must be a number of batches per second above 0 and at most 50");
  line.objects = parser.value(objects).toInt(&ok);
  if (!ok || line.objects < 0 || line.objects > kMaxObjects)
    return fail("--objects must be from 1 to 10000 (0: the standard mission)");
  line.durationSeconds = parser.value(duration).toDouble(&ok);
  if (!ok || !std::isfinite(line.durationSeconds) || line.durationSeconds < 0.0)
    return fail("--duration must be a number of seconds");
  line.seed = parser.value(seed).toULongLong(&ok);
  if (!ok) return fail("--seed must be a whole number from 0 to 18446744073709551615");
  line.recordPath = parser.value(record);
  line.replayPath = parser.value(replay);
  line.toStdout = parser.isSet(toStdout);
  line.fast = parser.isSet(fast);
  line.stamp = parser.isSet(stamp);
  line.statusSeconds = parser.value(status).toInt(&ok);
  if (!ok || line.statusSeconds < 0) return fail("--status must be a number of seconds");
  if (parser.isSet(replay) && line.replayPath.isEmpty()) return fail("--replay needs a file");
  if (parser.isSet(record) && line.recordPath.isEmpty()) return fail("--record needs a file");
  return line;
}

}  // namespace vantor::missiongen
