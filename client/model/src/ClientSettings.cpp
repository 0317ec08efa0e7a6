#include "vantor/model/ClientSettings.h"

#include "vantor/platform/InstallerLanguage.h"
#include "vantor/platform/SettingsStore.h"

namespace vantor::model {
namespace {

bool ReadFlag(const SettingsStore& store, const char* name, bool defaultValue) {
  return store.ReadInt(kClientSettingsSection, name, defaultValue ? 1 : 0) != 0;
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
  return store.Sync();
}

}  // namespace vantor::model
