#include "WindowRun.h"

#include <QCoreApplication>

#include <cstdio>

#include "CommandLine.h"
#include "HeadlessRun.h"

int RunWindow(int argc, char** argv) {
  // The control window is not part of this build yet: serve headless.
  QCoreApplication app(argc, argv);
  const auto commandLine = ParseServerCommandLine();
  if (!commandLine) return 2;
  std::fprintf(stderr, "vantorsrv: no control window in this build; serving headless (see --help)\n");
  return ServeHeadless(*commandLine);
}
