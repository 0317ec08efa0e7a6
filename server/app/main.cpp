// vantorsrv: the Vantor server.
#include <QCoreApplication>

#include <cstdio>

#include "HeadlessRun.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("vantorsrv"));
  QCoreApplication::setApplicationVersion(QStringLiteral(VANTOR_VERSION));

  const auto commandLine = ParseServerCommandLine();
  if (!commandLine) return 2;
  if (!commandLine->headless) {
    // The control window is not part of this build yet: serve headless.
    std::fprintf(stderr, "vantorsrv: no control window in this build; serving headless (see --help)\n");
  }
  return RunHeadless(*commandLine);
}
