#pragma once
// One catalogue of every user text in the three languages of the user interface.
//
// Each area of the system keeps its texts in one "*.def" file beside this
// catalogue; every line there is VANTOR_TEXT(Id, "French", "English", "Spanish").
// Texts are UTF-8.

#include <string>
#include <string_view>

namespace vantor {

// Language numbers are the resource numbers of the three menus.
inline constexpr int kLanguageFrench = 128;
inline constexpr int kLanguageEnglish = 129;
inline constexpr int kLanguageSpanish = 130;

// "1036" -> 128, "1033" -> 129, "1034" -> 130, anything else -> 0 (texts then
// come out French by the selection rule).
int LanguageFromInstallerValue(std::string_view installerLanguage);

enum class TextId : int {
// The order of the files numbers the texts.
// clang-format off
#define VANTOR_TEXT(id, fr, en, es) id,
#include "../../../texts_common.def"
#include "../../../texts_server.def"
#include "../../../texts_client_net.def"
#include "../../../texts_client_model.def"
#include "../../../texts_client_geo.def"
#include "../../../texts_client_scope.def"
#include "../../../texts_client_shell.def"
#undef VANTOR_TEXT
  // clang-format on
  Count
};

// The text in the given language: English for 129, Spanish for 130, French
// for every other number.
const char* Text(TextId id, int language);

}  // namespace vantor
