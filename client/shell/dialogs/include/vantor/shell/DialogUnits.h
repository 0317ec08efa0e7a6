#pragma once
// Dialog templates are laid out in dialog units: a quarter of the dialog
// font's average character width across and an eighth of its height down.
// Converting through the font keeps the layouts right at every scale.

#include <QFont>
#include <QRect>
#include <QSize>

namespace vantor::shell {

QSize DialogUnitsToPixels(const QFont& font, QSize units);
QRect DialogUnitsToPixels(const QFont& font, QRect units);

}  // namespace vantor::shell
