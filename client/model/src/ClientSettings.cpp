#include "vantor/model/ClientSettings.h"

#include "vantor/platform/InstallerLanguage.h"
#include "vantor/platform/SettingsStore.h"

namespace vantor::model {
namespace {

int ReadFlag(const SettingsStore& store, const char* name, int defaultValue) {
  return store.readInt(kClientSettingsSection, name, defaultValue);
}

}  // namespace

ClientSettings ClientSettings::Load(const SettingsStore& store) {
  ClientSettings settings;
  settings.language = ReadLanguage(store);
  settings.imperial = ReadFlag(store, setting_name::kMetric, 1) == 0 ? 1 : 0;
  settings.displayMode = ReadFlag(store, setting_name::kDisplayMode, 0);
  settings.showOldPositions = ReadFlag(store, setting_name::kShowOldPosition, 1);
  settings.invertCallsign = ReadFlag(store, setting_name::kInvertCallsign, 0);
  settings.showRose = ReadFlag(store, setting_name::kShowRose, 0);
  settings.showVoiceWindow = ReadFlag(store, setting_name::kShowParlix, 0);
  settings.hideSpeed = ReadFlag(store, setting_name::kHideSpeed, 0);
  // Stored as text; the leading digits count, none give 0.
  settings.fontSize = ProfileTextToInt(store.readString(kClientSettingsSection, setting_name::kFontSize, "12"));
  return settings;
}

}  // namespace vantor::model
