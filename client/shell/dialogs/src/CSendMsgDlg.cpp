#include "vantor/shell/CSendMsgDlg.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "vantor/shell/DialogUnits.h"
#include "vantor/texts/QText.h"

namespace vantor::shell {

CSendMsgDlg::CSendMsgDlg(Language language, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("sendMsgDialog"));
  setWindowTitle(QText(TextId::SendMsgCaption, language));

  edit_ = new QLineEdit(this);
  edit_->setObjectName(QStringLiteral("message"));
  edit_->setMaxLength(kSendMsgMaxLength);

  auto addButton = [this, language](TextId label, const char* name, SendMsgChoice choice) {
    auto* button = new QPushButton(QText(label, language), this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, choice] { done(static_cast<int>(choice)); });
    return button;
  };
  QPushButton* send = addButton(TextId::SendMsgSend, "send", SendMsgChoice::Send);
  QPushButton* cancel = addButton(TextId::SendMsgCancel, "cancel", SendMsgChoice::Cancel);
  QPushButton* sendToAll = addButton(TextId::SendMsgSendToAll, "sendToAll", SendMsgChoice::SendToAll);
  send->setDefault(true);  // Return sends to the own coalition

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(send);
  buttons->addWidget(sendToAll);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(edit_);
  layout->addLayout(buttons);
  // The template's 186 by 68 units.
  resize(DialogUnitsToPixels(font(), QSize(186, 68)).expandedTo(sizeHint()));
  edit_->setFocus();
}

QString CSendMsgDlg::Text() const { return edit_->text(); }

SendMsgChoice CSendMsgDlg::Choose() {
  const int result = exec();
  if (result == static_cast<int>(SendMsgChoice::Send)) return SendMsgChoice::Send;
  if (result == static_cast<int>(SendMsgChoice::SendToAll)) return SendMsgChoice::SendToAll;
  // Escape and closing the window reject with 0.
  return SendMsgChoice::Cancel;
}

}  // namespace vantor::shell
