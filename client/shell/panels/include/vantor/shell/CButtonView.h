#pragma once
// The button panel beside the scope: picture buttons that switch the scope's
// options (range, labels, coastline, range rings, coverage, drawing,
// intensity, units, ATC mode), the strip of six voice-channel buttons that
// moves the controller between channels of the voice client, and the
// push-to-talk button that holds Ctrl+Alt+F10 down while pressed.
//
// It talks to the frame through its signals only; it drives the scope it is
// given through the scope's slots and options.

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include <PxRemote.h>

#include "vantor/platform/KeyChordInjector.h"
#include "vantor/shell/PanelArtwork.h"
#include "vantor/shell/ShellContext.h"
#include "vantor/voiceclient/VoiceChannels.h"

class QPushButton;

namespace vantor {
class Notifier;
}
namespace vantor::scope {
class CRivakView;
}
namespace vantor::voiceclient {
class VoiceClient;
}

namespace vantor::shell {

class ButtonPanelPrompts;
class SoundPlayer;

inline constexpr const char* kSwitchSound = "switch.wav";
// Where the six assignments are stored (section "Config").
inline constexpr const char* kChannelSection = "Config";
// "Canal1" ... "Canal6" and "Canal1Push" ... "Canal6Push".
QString ChannelKey(int button);
QString ChannelPushKey(int button);
// The range kept in ATC mode.
inline constexpr unsigned kAtcRangeKm = 50;
// Centring commands from here on are radars: the ATC button does nothing.
inline constexpr int kFirstRadarCentring = 32800;

// What the panel uses beyond the scope; anything left empty gets the real
// one: PxRemote beside the program, the desktop's key chords, the panel's
// dialogs and message boxes, a sound player of its own.
struct ButtonPanelServices {
  std::unique_ptr<voiceclient::VoiceClient> voice;
  std::unique_ptr<KeyChordInjector> keys;
  std::unique_ptr<ButtonPanelPrompts> prompts;
  std::unique_ptr<Notifier> notifier;
  SoundPlayer* sound = nullptr;  // not owned
};

class CButtonView : public QWidget {
  Q_OBJECT
 public:
  // Binds the voice library (a message when it or one of its calls is
  // missing), reads the six stored assignments and asks the voice client
  // for its channels. `scope` is the scope the panel drives; it must exist
  // and outlive the panel.
  CButtonView(const ShellContext& context, scope::CRivakView* scope, QWidget* parent = nullptr);
  CButtonView(const ShellContext& context, scope::CRivakView* scope, ButtonPanelServices services,
              QWidget* parent = nullptr);
  // Lets go of any key still held.
  ~CButtonView() override;

  // --- Voice channels (read by the information panel) -----------------
  const std::array<PxrChannelInfo, voiceclient::kChannelCapacity>& ChannelRecords() const { return channels_; }
  // The index (0 ... 5) of the button last used to switch.
  int CurrentSlot() const { return currentSlot_; }
  // The channel of button index 0 ... 5 (-1: none); -1 for another index.
  int SlotChannel(int slot) const;
  bool SlotPush(int slot) const;
  // The channel's name among the records; "Not used" when none has it.
  QString ChannelName(int channel) const;
  // The index to switch back to while a push button is held.
  std::optional<int> PushReturnSlot() const { return pushReturnSlot_; }
  bool TalkHeld() const { return talkHeld_; }

  // --- Scope options ---------------------------------------------------
  bool IsAtcMode() const { return atcMode_; }
  bool LabelsOn() const { return labelsOn_; }
  int IntensityStep() const { return intensityStep_; }

  // --- Pictures (what each control shows) ----------------------------
  enum class Control {
    Range,
    Quit,
    Atc,
    Labels,
    Strip,
    Settings,
    Coast,
    Rings,
    Drawing,
    Coverage,
    Intensity,
    Talk,
    Units,
    Decoration
  };
  int PictureOf(Control control) const;
  static QRect RectOf(Control control);
  // The ATC button's label ("Awacs" / "Atc") and the hidden range text.
  const QString& AtcLabel() const { return atcLabel_; }
  const QString& RangeText() const { return rangeText_; }

  // The application's sound player (its --no-sound choice included); none:
  // the panel's own.
  void SetSoundPlayer(SoundPlayer* sound);

  // --- Gestures, as the mouse gives them -------------------------------
  void SwitchToSlot(int button);  // 1 ... 6
  void AssignSlot(int button);    // 1 ... 6
  // The AWACS/ATC button pressed (also the program's --atc start option).
  void PressAtcButton() { OnAtcClicked(); }
  // The labels and coverage switches as the scope's options now have them
  // (start options applied after the panel was made).
  void ShowScopeSwitches();

  // The panel as the screen shows it.
  QImage RenderImage(qreal scale = 1.0);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 public Q_SLOTS:
  // Shows the range picture of a scope range (2 ... 300 km); another range
  // leaves the picture and shows "???" in the hidden range text.
  void ShowRange(int rangeKm);
  // The scope's range changed elsewhere (the wheel): the selector follows.
  void OnRangeChangedElsewhere();
  // After the display settings dialog: the wind box's state.
  void ShowWindState(bool windOn);

 Q_SIGNALS:
  void ExitRequested();
  void IlsViewShown(bool shown);
  void DisplaySettingsRequested();
  // Not emitted by the panel's own gestures; kept for the frame's wiring.
  void VoiceWindowShowRequested();
  void CurrentSlotChanged(int slot);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void LeftPressed(QPoint at);
  void LeftReleased(QPoint at);
  void ClickedControl(QPoint at);
  void OnRangeClicked(QPoint at);
  void OnAtcClicked();
  void OnLabelsClicked();
  void OnCoastClicked();
  void OnRingsClicked();
  void OnDrawingClicked();
  void OnCoverageClicked();
  void OnIntensityClicked(QPoint at);
  void OnUnitsClicked();
  // Sends a chord; what went wrong is told once the mouse button is up (a
  // message box in the middle of a press would take the mouse away).
  void SendChord(const KeyChord& chord, KeyAction action);
  void ShowKeyMessages();
  // A press whose release will never come (the window lost the mouse, the
  // panel goes away): the keys go up, the strip goes back.
  void ReleaseHeldKeys();
  void PlaySwitchSound();
  void SetPicture(Control control, int picture);
  void ReadStoredAssignments();
  void FillChannelNames();
  QString StripToolTip(int button) const;
  bool VoiceAvailable() const;

  ShellContext context_;
  scope::CRivakView& scope_;
  std::unique_ptr<voiceclient::VoiceClient> voice_;
  std::unique_ptr<KeyChordInjector> keys_;
  std::unique_ptr<ButtonPanelPrompts> prompts_;
  std::unique_ptr<Notifier> notifier_;
  std::unique_ptr<SoundPlayer> ownSound_;  // when the application gives none
  SoundPlayer* sound_ = nullptr;
  panel::PanelArtwork artwork_;

  std::array<PxrChannelInfo, voiceclient::kChannelCapacity> channels_{};
  std::array<std::int32_t, 6> slotChannel_{-1, -1, -1, -1, -1, -1};
  std::array<bool, 6> slotPush_{};
  int currentSlot_ = 0;
  std::optional<int> pushReturnSlot_;
  KeyChord keyChord_{};
  bool talkHeld_ = false;
  bool atcMode_ = false;
  bool labelsOn_ = false;
  int intensityStep_ = 1;
  unsigned rangeBeforeAtc_ = 0;
  bool keyNoticeShown_ = false;
  QStringList keyErrors_;  // not shown yet
  QString keyNotice_;      // not shown yet

  std::array<int, 14> pictures_{};
  QString atcLabel_;
  QString rangeText_;
  std::array<QPushButton*, 4> hiddenButtons_{};
  QImage background_;  // the background at the last painted size and scale
};

}  // namespace vantor::shell
