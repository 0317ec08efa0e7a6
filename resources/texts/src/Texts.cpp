#include "vantor/texts/Texts.h"

#include <array>

namespace vantor {
namespace {

struct Row {
  const char* french;
  const char* english;
  const char* spanish;
};

constexpr std::array<Row, static_cast<std::size_t>(TextId::Count)> kRows{{
// The order of the files numbers the texts.
// clang-format off
#define VANTOR_TEXT(id, fr, en, es) Row{fr, en, es},
#include "texts_common.def"
#include "texts_server.def"
#include "texts_client_net.def"
#include "texts_client_model.def"
#include "texts_client_geo.def"
#include "texts_client_scope.def"
#include "texts_client_shell.def"
#undef VANTOR_TEXT
    // clang-format on
}};

}  // namespace

int LanguageFromInstallerValue(std::string_view installerLanguage) {
  if (installerLanguage == "1036") return kLanguageFrench;
  if (installerLanguage == "1033") return kLanguageEnglish;
  if (installerLanguage == "1034") return kLanguageSpanish;
  return 0;
}

const char* Text(TextId id, int language) {
  const auto index = static_cast<std::size_t>(id);
  if (index >= kRows.size()) return "";
  const Row& row = kRows[index];
  if (language == kLanguageEnglish) return row.english;
  if (language == kLanguageSpanish) return row.spanish;
  return row.french;
}

}  // namespace vantor
