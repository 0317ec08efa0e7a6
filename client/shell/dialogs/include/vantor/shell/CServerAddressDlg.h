#pragma once
// The server address dialog: an editable drop-down of the addresses used
// before (shown sorted), "Reset list", OK and Cancel. OK records the address
// in the list (and its file) when it is new.

#include <QDialog>
#include <QPixmap>

#include <optional>
#include "vantor/texts/Language.h"

namespace vantor::net {
class ServerAddressList;
}

class QComboBox;
class QLabel;
class QPushButton;

namespace vantor::shell {

class CServerAddressDlg : public QDialog {
  Q_OBJECT
 public:
  // `list` is read already and must outlive the dialog.
  CServerAddressDlg(net::ServerAddressList& list, Language language, QWidget* parent = nullptr);

  // The address as confirmed (blanks around it removed).
  QString Address() const;

  // Modal; the confirmed address or nullopt for Cancel.
  static std::optional<QString> Run(net::ServerAddressList& list, Language language, QWidget* parent = nullptr);

 private:
  void FillDropDown();
  void OnTextChanged();
  void OnOk();
  void OnResetList();

  // Tells the user that the list could not be kept (a full disk, a
  // read-only folder); the previous file stays as it was.
  void ReportNotSaved();

  net::ServerAddressList& list_;
  Language language_;
  QLabel* banner_ = nullptr;
  QLabel* addressLabel_ = nullptr;
  QComboBox* addressBox_ = nullptr;
  QPushButton* resetButton_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

// The picture across the top of the dialog.
QPixmap ServerDialogBanner(int width, int height);

}  // namespace vantor::shell
