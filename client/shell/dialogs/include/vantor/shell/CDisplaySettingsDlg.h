#pragma once
// The display settings dialog: the scope's wind and the display options of
// the client's settings. It works on a copy of the settings (Load, Save);
// its owner stores and applies the copy when the dialog is accepted.

#include <QDialog>

#include <array>
#include <memory>

#include "vantor/model/ClientSettings.h"
#include "vantor/texts/Language.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSlider;

namespace vantor {
class Notifier;
class SettingsStore;
}  // namespace vantor

namespace vantor::shell {

inline constexpr int kMinWindDirection = 1;
inline constexpr int kMaxWindDirection = 360;
// The font sizes offered, in the list's (sorted) order.
inline constexpr std::array<const char*, 6> kFontSizeChoices{"10", "12", "14", "16", "18", "20"};
// Without a selection OK stores this size.
inline constexpr const char* kDefaultFontSizeText = "12";

// What the dialog opens with: the history trail, the callsign order and the
// advanced display as they are in memory; units, font size, direction rose,
// voice window and speed as stored, so the units box shows the stored choice
// even when the panel flipped the units for this run.
model::ClientSettings DisplaySettingsOnOpening(const model::ClientSettings& memory, const SettingsStore& store);

// The index of the first font size that begins with `stored`, compared
// without regard to case; -1 when none does.
int FontSizeChoiceFor(const QString& stored);

class CDisplaySettingsDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CDisplaySettingsDlg(Language language, QWidget* parent = nullptr);
  ~CDisplaySettingsDlg() override;

  // Where the validation messages go (message boxes by default).
  void SetNotifier(std::unique_ptr<Notifier> notifier);

  // --- The page pattern ------------------------------------------------
  void Load(const model::ClientSettings& settings);
  void Save(model::ClientSettings& settings) const;
  // The scope's wind direction; 0 (no wind) leaves the box unticked and the
  // direction at 1.
  void LoadWind(unsigned directionDeg);
  // After OK: the direction when the box is ticked, 0 (no wind) otherwise.
  unsigned SavedWind() const { return useWind_ ? static_cast<unsigned>(windDirection_) : 0u; }

  // The controls, for the owner's tests and for automation.
  QCheckBox* WindBox() const { return windBox_; }
  QSlider* WindSlider() const { return windSlider_; }
  QLineEdit* WindEdit() const { return windEdit_; }
  QCheckBox* MetricBox() const { return metricBox_; }
  QCheckBox* OldPositionsBox() const { return oldPositionsBox_; }
  QCheckBox* AdvancedBox() const { return advancedBox_; }
  QCheckBox* InvertCallsignBox() const { return invertBox_; }
  QCheckBox* RoseBox() const { return roseBox_; }
  QCheckBox* VoiceWindowBox() const { return voiceBox_; }
  QCheckBox* HideSpeedBox() const { return hideSpeedBox_; }
  QComboBox* FontSizeList() const { return fontList_; }
  QCheckBox* CursorReadoutBox() const { return cursorReadoutBox_; }
  QCheckBox* BullseyeBox() const { return bullseyeBox_; }
  QCheckBox* BraaBox() const { return braaBox_; }
  QCheckBox* DeclutterBox() const { return declutterBox_; }
  QCheckBox* ConflictAlertBox() const { return conflictAlertBox_; }

 public Q_SLOTS:
  // OK: the wind direction must be a whole number from 1 to 360; otherwise
  // the message is shown once and the dialog stays open.
  void accept() override;

 private:
  void OnWindBoxClicked();
  void OnSliderMoved(int position);
  void OnWindTextEdited(const QString& text);
  // The wind controls into the members; false (after the message) when the
  // direction is not acceptable.
  bool TakeWindControls();
  void ShowWindMembers();
  void EnableWindControls();

  Language language_;
  std::unique_ptr<Notifier> notifier_;
  bool useWind_ = false;
  int windDirection_ = kMinWindDirection;
  QWidget* banner_ = nullptr;
  QCheckBox* windBox_ = nullptr;
  QSlider* windSlider_ = nullptr;
  QLineEdit* windEdit_ = nullptr;
  QCheckBox* metricBox_ = nullptr;
  QCheckBox* oldPositionsBox_ = nullptr;
  QCheckBox* advancedBox_ = nullptr;
  QCheckBox* invertBox_ = nullptr;
  QCheckBox* roseBox_ = nullptr;
  QCheckBox* voiceBox_ = nullptr;
  QCheckBox* hideSpeedBox_ = nullptr;
  QComboBox* fontList_ = nullptr;
  QCheckBox* cursorReadoutBox_ = nullptr;
  QCheckBox* bullseyeBox_ = nullptr;
  QCheckBox* braaBox_ = nullptr;
  QCheckBox* declutterBox_ = nullptr;
  QCheckBox* conflictAlertBox_ = nullptr;
};

}  // namespace vantor::shell
