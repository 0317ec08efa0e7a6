// SendInput key chords (Windows builds).
#include "vantor/platform/KeyChordInjector.h"

#include <windows.h>

namespace vantor {
namespace {

class SendInputKeyChordInjector final : public KeyChordInjector {
 public:
  KeyChordOutcome Send(const KeyChord& chord, KeyAction action) override {
    // One call of three keyboard events: no virtual key, the scan code, the
    // key-up flag on release only, no time stamp, no extra information.
    INPUT events[3] = {};
    for (int i = 0; i < 3; ++i) {
      events[i].type = INPUT_KEYBOARD;
      events[i].ki.wVk = 0;
      events[i].ki.wScan = chord.scanCodes[static_cast<std::size_t>(i)];
      events[i].ki.dwFlags = action == KeyAction::Release ? KEYEVENTF_KEYUP : 0;
      events[i].ki.time = 0;
      events[i].ki.dwExtraInfo = 0;
    }
    const UINT accepted = SendInput(3, events, sizeof(INPUT));
    return accepted < 3 ? KeyChordOutcome::Refused : KeyChordOutcome::Sent;
  }
};

}  // namespace

std::unique_ptr<KeyChordInjector> OpenSendInputKeyChordInjector() {
  return std::make_unique<SendInputKeyChordInjector>();
}

std::unique_ptr<KeyChordInjector> OpenXTestKeyChordInjector(const QByteArray&, QString& whyNot) {
  whyNot = QStringLiteral("no X11 on Windows");
  return nullptr;
}

}  // namespace vantor
