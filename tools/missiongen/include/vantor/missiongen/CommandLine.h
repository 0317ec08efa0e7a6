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

  std::uint64_t BatchLimit() const;
};

inline constexpr int kMaxObjects = 10000;
inline constexpr double kMaxRate = 50.0;

// Parses the arguments (argv[0] first). Prints help or version and sets
// `exitCode` 0, or prints the error and sets 2, when the program should not
// run.
std::optional<CommandLine> ParseCommandLine(const QStringList& arguments, int& exitCode);

}  // namespace vantor::missiongen
