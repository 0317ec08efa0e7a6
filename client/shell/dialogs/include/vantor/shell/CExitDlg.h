#pragma once
// The exit confirmation: leave the program, stay, or connect again.

#include <QDialog>

#include "vantor/texts/Language.h"

namespace vantor::shell {

enum class ExitChoice { Exit, Cancel, Reconnect };

class CExitDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CExitDlg(Language language, QWidget* parent = nullptr);
  ExitChoice Choice() const { return choice_; }

  // Modal; Escape and closing the window count as Cancel.
  static ExitChoice Run(Language language, QWidget* parent = nullptr);

 private:
  ExitChoice choice_ = ExitChoice::Cancel;
};

}  // namespace vantor::shell
