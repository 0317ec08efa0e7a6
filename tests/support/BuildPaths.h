#pragma once
// Where a test finds the built programs, without Qt, on every platform.

#include <filesystem>
#include <string>

namespace vantor::test {

// The folder holding the built programs and libraries ($VANTOR_BIN_DIR when
// set). On Windows it is found beside the test program (tests/../bin), so a
// build folder can be moved or reached through Wine's drive letters.
std::filesystem::path BuildBinFolder();
// A built program by its base name: "parlix-sim" is "parlix-sim.exe" on
// Windows.
std::filesystem::path BuiltProgram(const std::string& name);
// This process's id.
long CurrentProcessId();

}  // namespace vantor::test
