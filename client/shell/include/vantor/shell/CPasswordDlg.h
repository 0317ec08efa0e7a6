#pragma once
// The password dialog of the log-on: one masked line of at most nine
// characters, OK and Cancel.

#include <QDialog>

#include <optional>
#include "vantor/texts/Language.h"

class QLineEdit;
class QPushButton;

namespace vantor::shell {

inline constexpr int kPasswordMaxLength = 9;

class CPasswordDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CPasswordDlg(Language language, QWidget* parent = nullptr);
  QString password() const;

  // Modal; the text entered or nullopt for Cancel.
  static std::optional<QString> Run(Language language, QWidget* parent = nullptr);

 private:
  QLineEdit* edit_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace vantor::shell
