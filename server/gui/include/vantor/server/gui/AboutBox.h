#pragma once
// The about box: the program's icon, name and version, and OK.

#include <QDialog>
#include "vantor/texts/Language.h"

namespace vantor::server::gui {

class AboutBox final : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(Language language, QWidget* parent = nullptr);
};

}  // namespace vantor::server::gui
