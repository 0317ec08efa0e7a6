#include "vantor/platform/Notifier.h"

#include <cstdio>

namespace vantor {

StderrNotifier::StderrNotifier(QString programName) : programName_(std::move(programName)) {}

void StderrNotifier::showError(const QString& text) {
  std::fprintf(stderr, "%s: error: %s\n", qPrintable(programName_), qPrintable(text));
  std::fflush(stderr);
}

void StderrNotifier::showInformation(const QString& text) {
  std::fprintf(stderr, "%s: %s\n", qPrintable(programName_), qPrintable(text));
  std::fflush(stderr);
}

}  // namespace vantor
