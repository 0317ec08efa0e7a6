#pragma once
// vantorsrv --print-config: the configuration in effect, as INI text on
// standard output.

#include <QString>

struct ServerCommandLine;

// The text printed: a comment naming the store, then section [Config] with
// every key the server reads. When the settings file also holds the
// language, "Installer Language" is one of the keys, so the text read back
// with --settings gives the same configuration.
QString ConfigInEffect(const ServerCommandLine& commandLine);

// Prints ConfigInEffect; the program's exit code.
int PrintConfig(const ServerCommandLine& commandLine);
