#pragma once
// Helpers shared by the tests of several areas.

#include <QString>

#include <chrono>
#include <functional>

namespace vantor::test {

// The folder holding the built programs, libraries and data files.
QString BinDir();
// The source tree's top folder.
QString SourceDir();
// Full path of a built program (BinDir()/name).
QString ProgramPath(const QString& name);

// Runs the Qt event loop until `done` returns true or `timeout` passes;
// returns the last value of `done`.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(5));

// A TCP port on 127.0.0.1 that is free at the time of the call, for tests
// that inject ports. Successive calls return distinct ports.
quint16 FreeTcpPort();

}  // namespace vantor::test
