// XTEST key chords. The X headers stay in this file: their macros (Bool,
// None, Status ...) would clash with Qt's names elsewhere.
#include "vantor/platform/KeyChordInjector.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace vantor {
namespace {

// evdev X servers number keys by the kernel's key code + 8, and the kernel's
// codes for these keys are their PC scan codes.
constexpr unsigned kEvdevKeycodeOffset = 8;

class XTestKeyChordInjector final : public KeyChordInjector {
 public:
  explicit XTestKeyChordInjector(Display* display) : display_(display) {}
  ~XTestKeyChordInjector() override { XCloseDisplay(display_); }
  XTestKeyChordInjector(const XTestKeyChordInjector&) = delete;
  XTestKeyChordInjector& operator=(const XTestKeyChordInjector&) = delete;

  KeyChordOutcome Send(const KeyChord& chord, KeyAction action) override {
    const bool press = action == KeyAction::Press;
    int accepted = 0;
    for (const std::uint16_t scanCode : chord.scanCodes) {
      if (XTestFakeKeyEvent(display_, scanCode + kEvdevKeycodeOffset, press ? True : False, CurrentTime) != 0)
        ++accepted;
    }
    // Delivered before the caller goes on (the voice client may be asked
    // something right after the chord).
    XSync(display_, False);
    return accepted == static_cast<int>(chord.scanCodes.size()) ? KeyChordOutcome::Sent : KeyChordOutcome::Refused;
  }

 private:
  Display* display_;
};

}  // namespace

std::unique_ptr<KeyChordInjector> OpenXTestKeyChordInjector(const QByteArray& displayName, QString& whyNot) {
  Display* display = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData());
  if (display == nullptr) {
    whyNot = displayName.isEmpty() ? QStringLiteral("no X display") : QStringLiteral("no X display ") + displayName;
    return nullptr;
  }
  int eventBase = 0;
  int errorBase = 0;
  int major = 0;
  int minor = 0;
  if (XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor) == 0) {
    whyNot = QStringLiteral("the X display has no XTEST extension");
    XCloseDisplay(display);
    return nullptr;
  }
  return std::make_unique<XTestKeyChordInjector>(display);
}

}  // namespace vantor
