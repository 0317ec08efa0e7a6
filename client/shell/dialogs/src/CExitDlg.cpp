#include "vantor/shell/CExitDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "vantor/texts/QText.h"

namespace vantor::shell {

CExitDlg::CExitDlg(Language language, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("exitDialog"));
  setWindowTitle(QText(TextId::ExitDialogCaption, language));

  auto* text = new QLabel(QText(TextId::ExitDialogText, language), this);
  text->setObjectName(QStringLiteral("text"));
  text->setAlignment(Qt::AlignCenter);
  text->setMinimumWidth(220);

  auto addButton = [this, language](TextId label, const char* name, ExitChoice choice) {
    auto* button = new QPushButton(QText(label, language), this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, choice] {
      choice_ = choice;
      if (choice == ExitChoice::Cancel)
        reject();
      else
        accept();
    });
    return button;
  };
  QPushButton* ok = addButton(TextId::ExitDialogOk, "ok", ExitChoice::Exit);
  QPushButton* cancel = addButton(TextId::ExitDialogCancel, "cancel", ExitChoice::Cancel);
  QPushButton* reconnect = addButton(TextId::ExitDialogReconnect, "reconnect", ExitChoice::Reconnect);
  ok->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(reconnect);
  auto* layout = new QVBoxLayout(this);
  layout->addSpacing(6);
  layout->addWidget(text);
  layout->addSpacing(10);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  // Escape and the window's close button reject: Cancel.
  connect(this, &QDialog::rejected, this, [this] { choice_ = ExitChoice::Cancel; });
}

ExitChoice CExitDlg::Run(Language language, QWidget* parent) {
  CExitDlg dialog(language, parent);
  dialog.exec();
  return dialog.Choice();
}

}  // namespace vantor::shell
