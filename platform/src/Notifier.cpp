#include "vantor/platform/Notifier.h"

#include <cstdio>

namespace vantor {

StderrNotifier::StderrNotifier(QString programName) : programName_(std::move(programName)) {}

void StderrNotifier::ShowError(const QString& text) {
  std::fprintf(stderr, "%s: error: %s\n", qPrintable(programName_), qPrintable(text));
  std::fflush(stderr);
}

void StderrNotifier::ShowInformation(const QString& text) {
  std::fprintf(stderr, "%s: %s\n", qPrintable(programName_), qPrintable(text));
  std::fflush(stderr);
}

}  // namespace vantor
