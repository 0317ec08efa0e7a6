#pragma once
// One catalogue of every user text in the three languages of the user interface.
//
// Each area of the system keeps its texts in one "*.def" file beside this
// catalogue; every line there is VANTOR_TEXT(Id, "French", "English", "Spanish").
// Texts are UTF-8.

#include "vantor/texts/Language.h"

namespace vantor {

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
#include "../../../texts_client_panels.def"
#undef VANTOR_TEXT
  // clang-format on
  Count
};

// The text of `id` in `language` (UTF-8); "" for an id outside the catalogue.
const char* Text(TextId id, Language language);

}  // namespace vantor
