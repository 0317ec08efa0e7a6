#pragma once
// Whether a person can see and answer windows, and where messages go
// accordingly.

#include <QString>

#include <memory>

class QWidget;

namespace vantor {

class Notifier;

// False on the offscreen and minimal platforms that automation and tests
// use, and in programs without a GUI application: nobody could answer a
// dialog there.
bool HasInteractiveDisplay();

// Message boxes titled `boxTitle` over `parent` when there is a display,
// lines on stderr prefixed with `programName` otherwise.
std::unique_ptr<Notifier> NotifierForDisplay(const QString& programName, const QString& boxTitle,
                                             QWidget* parent = nullptr);

}  // namespace vantor
