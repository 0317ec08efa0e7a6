#pragma once
// The user-interface language an installer chose for both programs: the
// string value "Installer Language" in section "config" of the client's
// store (application "Rivak").

#include "vantor/texts/Language.h"

namespace vantor {

class SettingsStore;

inline constexpr const char* kInstallerLanguageApplication = "Rivak";
inline constexpr const char* kInstallerLanguageSection = "config";
inline constexpr const char* kInstallerLanguageName = "Installer Language";

// "1036" French, "1033" English, "1034" Spanish; no value or any other one
// gives the fallback language (French).
Language ReadLanguage(const SettingsStore& store);

}  // namespace vantor
