#pragma once
// Catalogue texts as Qt strings.

#include <QString>

#include "vantor/texts/Texts.h"

namespace vantor {

inline QString QText(TextId id, Language language) { return QString::fromUtf8(Text(id, language)); }

}  // namespace vantor
