#pragma once
// The password dialog of the log-on: one masked line of at most nine
// characters, OK and Cancel. The connection shell opens it without blocking
// (open()) and answers the connection from its finished() signal.

#include <QDialog>

#include "vantor/texts/Language.h"

class QLineEdit;
class QPushButton;

namespace vantor::shell {

inline constexpr int kPasswordMaxLength = 9;

class CPasswordDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CPasswordDlg(Language language, QWidget* parent = nullptr);
  QString Password() const;

 private:
  QLineEdit* edit_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace vantor::shell
