#pragma once
// The options of vantor-missiongen.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace vantor::missiongen {

struct CommandLine {
  QString host = QStringLiteral("127.0.0.1");
  quint16 port = 10311;
  double rate = 5.0;
  int objects = 0;
  double durationSeconds = 0.0;  // 0: until stopped
  std::uint64_t seed = 1;
  QString recordPath;
  QString replayPath;
  bool toStdout = false;
  bool fast = false;
  bool stamp = false;
  int statusSeconds = 0;

  std::uint64_t BatchLimit() const;
};

inline constexpr int kMaxObjects = 10000;
inline constexpr double kMaxRate = 50.0;

// Started by the server as its simulator, the program is called "falcrest"
// and its options come from this file in the simulator folder, as the real
// export script keeps its server address in its own file.
inline constexpr const char* kExportSettingsFile = "vantor-export.ini";

// The export settings file to read for a program started as
// `programArgument` (argv[0]): the working folder's kExportSettingsFile when
// the program is called "falcrest", else none.
QString ExportSettingsPathFor(const QString& programArgument);

// Parses the arguments (argv[0] first), with defaults from the export
// settings file when one is given and exists. Prints help or version and
// sets `exitCode` 0, or prints the error and sets 2, when the program should
// not run.
std::optional<CommandLine> ParseCommandLine(const QStringList& arguments, int& exitCode,
                                            const QString& exportSettingsPath = {});

}  // namespace vantor::missiongen
