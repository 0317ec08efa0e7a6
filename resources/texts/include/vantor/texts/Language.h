#pragma once
// The language of the user interface.
//
// Code passes a Language; the numbers an installer stores ("1036", "1033",
// "1034") and the menu resource numbers (128, 129, 130) appear only where a
// value is read, stored or used to pick a menu.

#include <array>
#include <optional>
#include <string_view>

namespace vantor {

enum class Language { French, English, Spanish };

inline constexpr std::array<Language, 3> kLanguages = {Language::French, Language::English, Language::Spanish};

// The installer's value: "1036" French, "1033" English, "1034" Spanish,
// compared exactly; nullopt for anything else.
std::optional<Language> LanguageFromInstallerValue(std::string_view installerValue);
std::string_view InstallerValue(Language language);

// The number of the language's menu resource: 128 French, 129 English,
// 130 Spanish; LanguageFromMenuResourceId gives nullopt for another number.
int MenuResourceId(Language language);
std::optional<Language> LanguageFromMenuResourceId(int menuResourceId);

// An installer value that names none of the three languages: its texts come
// out French, and so does its menu.
inline constexpr Language kFallbackLanguage = Language::French;

}  // namespace vantor
