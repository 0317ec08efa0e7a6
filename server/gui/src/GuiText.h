#pragma once
// Catalogue texts for the server's widgets.

#include <QString>

#include "vantor/texts/Texts.h"

namespace vantor::server::gui {

inline QString UiText(TextId id, int language) { return QString::fromUtf8(Text(id, language)); }

}  // namespace vantor::server::gui
