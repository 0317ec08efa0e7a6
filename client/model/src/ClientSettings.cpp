#include "vantor/model/ClientSettings.h"

#include "vantor/platform/InstallerLanguage.h"
#include "vantor/platform/SettingsStore.h"

namespace vantor::model {
namespace {

bool ReadFlag(const SettingsStore& store, const char* name, bool defaultValue) {
  return store.ReadInt(kClientSettingsSection, name, defaultValue ? 1 : 0) != 0;
}

// A stored coordinate; anything unreadable or out of range reads as 0 (not set).
double ReadDegrees(const SettingsStore& store, const char* name, double limit) {
  bool ok = false;
  const double value = store.ReadString(kClientSettingsSection, name, QString()).trimmed().toDouble(&ok);
  return ok && value >= -limit && value <= limit ? value : 0.0;
}

// Aids the store has never heard of stay out of it while they are off.
void WriteAid(SettingsStore& store, const char* name, bool value) {
  if (value || store.Contains(kClientSettingsSection, name))
    store.WriteInt(kClientSettingsSection, name, value ? 1 : 0);
}

}  // namespace

ClientSettings ClientSettings::Load(const SettingsStore& store) {
  ClientSettings settings;
  settings.language = ReadLanguage(store);
  settings.imperial = !ReadFlag(store, setting_name::kMetric, true);
  settings.displayMode = ReadFlag(store, setting_name::kDisplayMode, false);
  settings.showOldPositions = ReadFlag(store, setting_name::kShowOldPosition, true);
  settings.invertCallsign = ReadFlag(store, setting_name::kInvertCallsign, false);
  settings.showRose = ReadFlag(store, setting_name::kShowRose, false);
  settings.showVoiceWindow = ReadFlag(store, setting_name::kShowParlix, false);
  settings.hideSpeed = ReadFlag(store, setting_name::kHideSpeed, false);
  settings.acceptAnyTrackSender = ReadFlag(store, setting_name::kAcceptAnyTrackSender, false);
  // Stored as text; the leading digits count, none give 0.
  settings.fontSizeText = store.ReadString(kClientSettingsSection, setting_name::kFontSize, "12");
  settings.fontSize = ProfileTextToInt(settings.fontSizeText);
  settings.showCursorReadout = ReadFlag(store, setting_name::kShowCursorReadout, false);
  settings.bullseye = ReadFlag(store, setting_name::kBullseye, false);
  settings.bullseyeLatitude = ReadDegrees(store, setting_name::kBullseyeLat, 90.0);
  settings.bullseyeLongitude = ReadDegrees(store, setting_name::kBullseyeLon, 180.0);
  settings.showBraa = ReadFlag(store, setting_name::kShowBraa, false);
  settings.declutter = ReadFlag(store, setting_name::kDeclutter, false);
  settings.conflictAlert = ReadFlag(store, setting_name::kConflictAlert, false);
  return settings;
}

bool ClientSettings::Store(SettingsStore& store) const {
  auto writeFlag = [&store](const char* name, bool value) {
    store.WriteInt(kClientSettingsSection, name, value ? 1 : 0);
  };
  writeFlag(setting_name::kMetric, !imperial);
  writeFlag(setting_name::kDisplayMode, displayMode);
  writeFlag(setting_name::kInvertCallsign, invertCallsign);
  store.WriteString(kClientSettingsSection, setting_name::kFontSize, fontSizeText);
  writeFlag(setting_name::kShowOldPosition, showOldPositions);
  writeFlag(setting_name::kShowRose, showRose);
  writeFlag(setting_name::kShowParlix, showVoiceWindow);
  writeFlag(setting_name::kHideSpeed, hideSpeed);
  WriteAid(store, setting_name::kShowCursorReadout, showCursorReadout);
  WriteAid(store, setting_name::kBullseye, bullseye);
  if (BullseyeSet()) {
    store.WriteString(kClientSettingsSection, setting_name::kBullseyeLat, QString::number(bullseyeLatitude, 'f', 6));
    store.WriteString(kClientSettingsSection, setting_name::kBullseyeLon, QString::number(bullseyeLongitude, 'f', 6));
  }
  WriteAid(store, setting_name::kShowBraa, showBraa);
  WriteAid(store, setting_name::kDeclutter, declutter);
  WriteAid(store, setting_name::kConflictAlert, conflictAlert);
  return store.Sync();
}

bool ClientSettings::StoreBullseye(SettingsStore& store) const {
  store.WriteInt(kClientSettingsSection, setting_name::kBullseye, bullseye ? 1 : 0);
  store.WriteString(kClientSettingsSection, setting_name::kBullseyeLat, QString::number(bullseyeLatitude, 'f', 6));
  store.WriteString(kClientSettingsSection, setting_name::kBullseyeLon, QString::number(bullseyeLongitude, 'f', 6));
  return store.Sync();
}

}  // namespace vantor::model
