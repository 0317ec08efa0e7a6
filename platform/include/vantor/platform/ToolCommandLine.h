#pragma once
// The part every command-line tool's option parsing shares.

#include <QCommandLineParser>
#include <QStringList>

#include <optional>

namespace vantor {

// Parses `arguments` and answers --help and --version itself. nullopt: go
// on with the parsed options; otherwise the exit code (0 after help or
// version, 2 after a parse error, told on standard error as "program: why").
std::optional<int> ParseToolCommandLine(QCommandLineParser& parser, const QStringList& arguments, const char* program);

}  // namespace vantor
