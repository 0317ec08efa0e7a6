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
#include "texts_client_panels.def"
#undef VANTOR_TEXT
    // clang-format on
}};

}  // namespace

const char* Text(TextId id, Language language) {
  const auto index = static_cast<std::size_t>(id);
  if (index >= kRows.size()) return "";
  const Row& row = kRows[index];
  switch (language) {
    case Language::English:
      return row.english;
    case Language::Spanish:
      return row.spanish;
    case Language::French:
      break;
  }
  return row.french;
}

}  // namespace vantor
