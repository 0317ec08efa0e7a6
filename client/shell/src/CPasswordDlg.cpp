#include "vantor/shell/CPasswordDlg.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "vantor/texts/QText.h"

namespace vantor::shell {

CPasswordDlg::CPasswordDlg(Language language, QWidget* parent) : QDialog(parent) {
  setObjectName("passwordDialog");
  setWindowTitle(QText(TextId::PasswordDialogTitle, language));

  edit_ = new QLineEdit(this);
  edit_->setObjectName("password");
  edit_->setMaxLength(kPasswordMaxLength);
  edit_->setEchoMode(QLineEdit::Password);
  edit_->setMinimumWidth(160);

  okButton_ = new QPushButton(QText(TextId::PasswordDialogOk, language), this);
  okButton_->setObjectName("ok");
  okButton_->setDefault(true);
  cancelButton_ = new QPushButton(QText(TextId::PasswordDialogCancel, language), this);
  cancelButton_->setObjectName("cancel");
  cancelButton_->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okButton_);
  buttons->addWidget(cancelButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(edit_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  edit_->setFocus();
}

QString CPasswordDlg::Password() const { return edit_->text(); }

}  // namespace vantor::shell
