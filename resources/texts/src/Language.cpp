#include "vantor/texts/Language.h"

namespace vantor {
namespace {

struct LanguageCodes {
  Language language;
  std::string_view installerValue;
  int menuResourceId;
};

constexpr std::array<LanguageCodes, 3> kCodes = {{
    {Language::French, "1036", 128},
    {Language::English, "1033", 129},
    {Language::Spanish, "1034", 130},
}};

const LanguageCodes& CodesOf(Language language) {
  for (const LanguageCodes& codes : kCodes) {
    if (codes.language == language) return codes;
  }
  return kCodes.front();
}

}  // namespace

std::optional<Language> LanguageFromInstallerValue(std::string_view installerValue) {
  for (const LanguageCodes& codes : kCodes) {
    if (codes.installerValue == installerValue) return codes.language;
  }
  return std::nullopt;
}

std::string_view InstallerValue(Language language) { return CodesOf(language).installerValue; }

int MenuResourceId(Language language) { return CodesOf(language).menuResourceId; }

std::optional<Language> LanguageFromMenuResourceId(int menuResourceId) {
  for (const LanguageCodes& codes : kCodes) {
    if (codes.menuResourceId == menuResourceId) return codes.language;
  }
  return std::nullopt;
}

}  // namespace vantor
