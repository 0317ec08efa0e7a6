#pragma once
// The about box: the program's icon, name and version, and OK.

#include <QDialog>

namespace vantor::server::gui {

class AboutBox final : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(int language, QWidget* parent = nullptr);
};

}  // namespace vantor::server::gui
