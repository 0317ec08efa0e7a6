#include "vantor/platform/InstallerLanguage.h"

#include "vantor/platform/SettingsStore.h"

namespace vantor {

Language ReadLanguage(const SettingsStore& store) {
  const QString value = store.ReadString(kInstallerLanguageSection, kInstallerLanguageName, QString());
  return LanguageFromInstallerValue(value.toStdString()).value_or(kFallbackLanguage);
}

}  // namespace vantor
