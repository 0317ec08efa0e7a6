#include "vantor/server/gui/ConfigSheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "vantor/platform/Notifier.h"
#include "vantor/server/gui/CoalitionPage.h"
#include "vantor/server/gui/RadarPage.h"
#include "vantor/server/gui/ServerStyle.h"
#include "vantor/texts/QText.h"

namespace vantor::server::gui {

ConfigSheet::ConfigSheet(const ServerConfig& config, Language language, Notifier& notifier, MapOpener openMap,
                         QWidget* parent)
    : QDialog(parent), working_(config), language_(language), notifier_(notifier), openMap_(std::move(openMap)) {
  setObjectName(QStringLiteral("configSheet"));
  setWindowTitle(QText(TextId::SrvConfigCaption, language));
  ApplyServerStyle(*this);

  tabs_ = new QTabWidget(this);
  blue_ = new CoalitionPage(0, language, tabs_);
  red_ = new CoalitionPage(1, language, tabs_);
  general_ = new RadarPage(language, tabs_);
  tabs_->addTab(blue_, QText(TextId::SrvPageBlue, language));
  tabs_->addTab(red_, QText(TextId::SrvPageRed, language));
  tabs_->addTab(general_, QText(TextId::SrvPageGeneral, language));
  blue_->Load(working_);
  red_->Load(working_);
  general_->Load(working_);
  for (CoalitionPage* page : {blue_, red_}) {
    connect(page, &CoalitionPage::MapRequested, this, [this, page](bool placeAwacs) { OpenMap(*page, placeAwacs); });
  }

  auto* buttons = new QDialogButtonBox(this);
  ok_ = buttons->addButton(QText(TextId::Ok, language), QDialogButtonBox::AcceptRole);
  ok_->setObjectName(QStringLiteral("ok"));
  ok_->setDefault(true);
  cancel_ = buttons->addButton(QText(TextId::Cancel, language), QDialogButtonBox::RejectRole);
  cancel_->setObjectName(QStringLiteral("cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &ConfigSheet::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &ConfigSheet::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons);
}

void ConfigSheet::accept() {
  blue_->Save(working_);
  red_->Save(working_);
  general_->Save(working_);
  QDialog::accept();
}

void ConfigSheet::reject() {
  if (!cancel_->isEnabled()) return;
  QDialog::reject();
}

void ConfigSheet::OpenMap(CoalitionPage& page, bool placeAwacs) {
  page.Save(working_);
  cancel_->setEnabled(false);
  Q_EMIT Committed(working_);
  MapSide side = MapSide::ViewOnly;
  if (placeAwacs) {
    notifier_.ShowInformation(QText(TextId::SrvDoubleClickNotice, language_));
    side = page.Side() == 0 ? MapSide::Blue : MapSide::Red;
  }
  if (openMap_) openMap_(this, working_, side);
  Q_EMIT Committed(working_);
}

}  // namespace vantor::server::gui
