#include "vantor/platform/KeyChordInjector.h"

#include <QtGlobal>

namespace vantor {
namespace {

constexpr std::uint16_t kScanCodeF1 = 59;

}  // namespace

KeyChord ChannelButtonChord(int button) {
  return KeyChord{{kScanCodeControl, kScanCodeAlt, static_cast<std::uint16_t>(kScanCodeF1 - 1 + button)}};
}

std::unique_ptr<KeyChordInjector> CreateSystemKeyChordInjector(const QString& qtPlatformName) {
#if defined(Q_OS_WIN)
  Q_UNUSED(qtPlatformName);  // one desktop, one way
  if (auto injector = OpenSendInputKeyChordInjector()) return injector;
  return std::make_unique<NoticeKeyChordInjector>(QStringLiteral("SendInput"));
#else
  const bool headless = qtPlatformName == QLatin1String("offscreen") || qtPlatformName == QLatin1String("minimal");
  if (headless) return std::make_unique<NoticeKeyChordInjector>(qtPlatformName);
  QString whyNot;
  if (auto injector = OpenXTestKeyChordInjector(QByteArray(), whyNot)) return injector;
  return std::make_unique<NoticeKeyChordInjector>(qtPlatformName + QStringLiteral(": ") + whyNot);
#endif
}

#if !defined(Q_OS_WIN)
std::unique_ptr<KeyChordInjector> OpenSendInputKeyChordInjector() { return nullptr; }
#endif

}  // namespace vantor
