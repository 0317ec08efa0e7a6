#include "vantor/platform/Display.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include "vantor/platform/MessageBoxNotifier.h"
#include "vantor/platform/Notifier.h"

namespace vantor {

bool HasInteractiveDisplay() {
  // A program without a GUI application object has no windows at all.
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
  const QString platform = QGuiApplication::platformName();
  return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

std::unique_ptr<Notifier> NotifierForDisplay(const QString& programName, const QString& boxTitle, QWidget* parent) {
  if (!HasInteractiveDisplay()) return std::make_unique<StderrNotifier>(programName);
  return std::make_unique<MessageBoxNotifier>(boxTitle, parent);
}

}  // namespace vantor
