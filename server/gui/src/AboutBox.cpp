#include "vantor/server/gui/AboutBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "vantor/server/gui/ServerStyle.h"
#include "vantor/texts/QText.h"

namespace vantor::server::gui {

AboutBox::AboutBox(Language language, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("aboutBox"));
  setWindowTitle(QText(TextId::SrvAboutCaption, language));
  ApplyServerStyle(*this);

  auto* icon = new QLabel(this);
  icon->setPixmap(ServerIcon(64));
  auto* version = new QLabel(QText(TextId::SrvAboutVersion, language), this);
  version->setObjectName(QStringLiteral("version"));
  QFont bold = version->font();
  bold.setBold(true);
  version->setFont(bold);
  auto* description = new QLabel(QText(TextId::SrvAboutDescription, language), this);
  description->setProperty("role", QStringLiteral("caption"));

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QText(TextId::Ok, language), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* texts = new QVBoxLayout;
  texts->addWidget(version);
  texts->addWidget(description);
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addSpacing(10);
  top->addLayout(texts, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace vantor::server::gui
