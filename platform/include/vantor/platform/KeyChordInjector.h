#pragma once
// Synthetic key chords for the voice client's hot keys: three keys pressed in
// order (Ctrl, Alt, a function key) and released in the same order, named by
// their PC keyboard scan codes. One implementation per desktop: XTEST on X11,
// SendInput on Windows, and a notice where neither can reach other programs
// (offscreen, Wayland without XTEST).

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

namespace vantor {

struct KeyChord {
  std::array<std::uint16_t, 3> scanCodes{};
  bool operator==(const KeyChord&) const = default;
};

inline constexpr std::uint16_t kScanCodeControl = 29;
inline constexpr std::uint16_t kScanCodeAlt = 56;
inline constexpr std::uint16_t kScanCodeF10 = 68;
// Ctrl+Alt+F10: held while the push-to-talk button is down.
inline constexpr KeyChord kPushToTalkChord{{kScanCodeControl, kScanCodeAlt, kScanCodeF10}};
// Ctrl+Alt+F1 ... F6 for channel buttons 1 ... 6 (F1 is scan code 59).
KeyChord ChannelButtonChord(int button);

enum class KeyAction { Press, Release };

enum class KeyChordOutcome {
  Sent,        // the system took all three events
  Refused,     // it took fewer than were sent
  Unavailable  // no way to reach other programs' keyboard input here
};

class KeyChordInjector {
 public:
  virtual ~KeyChordInjector() = default;
  // Sends the chord's three key events in their order, as one batch.
  virtual KeyChordOutcome Send(const KeyChord& chord, KeyAction action) = 0;
  // Why chords cannot be sent here; empty when they can.
  virtual QString UnavailableReason() const { return {}; }
};

// Sends nothing and says why; the caller tells the user once.
class NoticeKeyChordInjector final : public KeyChordInjector {
 public:
  explicit NoticeKeyChordInjector(QString reason) : reason_(std::move(reason)) {}
  KeyChordOutcome Send(const KeyChord&, KeyAction) override { return KeyChordOutcome::Unavailable; }
  QString UnavailableReason() const override { return reason_; }

 private:
  QString reason_;
};

// XTEST on the X display `displayName` (empty: $DISPLAY), over a connection
// of its own; the X keycode is the scan code + 8, as on evdev servers. Null,
// with `whyNot` set, when the display cannot be opened, has no XTEST, or the
// build has no X11 support.
std::unique_ptr<KeyChordInjector> OpenXTestKeyChordInjector(const QByteArray& displayName, QString& whyNot);

// SendInput (Windows builds only; null elsewhere).
std::unique_ptr<KeyChordInjector> OpenSendInputKeyChordInjector();

// The injector for this desktop, given the Qt platform plugin's name
// ("windows", "xcb", "wayland", "offscreen" ...): SendInput on Windows, XTEST
// where an X display with XTEST is reachable (X11, and Wayland through
// Xwayland), otherwise the notice.
std::unique_ptr<KeyChordInjector> CreateSystemKeyChordInjector(const QString& qtPlatformName);

}  // namespace vantor
