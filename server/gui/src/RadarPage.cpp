#include "vantor/server/gui/RadarPage.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "vantor/server/AirfieldSettings.h"
#include "vantor/texts/QText.h"

namespace vantor::server::gui {
namespace {

constexpr int kTypeColumns = 2;

QString FromView(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

RadarPage::RadarPage(Language language, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("generalPage"));
  auto* typesBox = new QGroupBox(QText(TextId::SrvRadarTypesGroup, language), this);
  auto* grid = new QGridLayout(typesBox);
  grid->setVerticalSpacing(2);
  const int rows = static_cast<int>((types_.size() + kTypeColumns - 1) / kTypeColumns);
  for (std::size_t i = 0; i < types_.size(); ++i) {
    QString label = QText(TextId::SrvRadarTypeLabel, language)
                        .arg(FromView(protocol::RadarTypeNames[i]), FromView(kRadarTypeNominals[i].range));
    if (kRadarTypeNominals[i].radar) label += QStringLiteral(" *");
    auto* box = new QCheckBox(label, typesBox);
    box->setObjectName(QStringLiteral("radarType%1").arg(i));
    types_[i] = box;
    grid->addWidget(box, static_cast<int>(i) % rows, static_cast<int>(i) / rows);
  }

  maxClient_ = new QSpinBox(this);
  maxClient_->setObjectName(QStringLiteral("maxClient"));
  maxClient_->setRange(1, protocol::kMaxClientSlots);
  awacsRange_ = new QSpinBox(this);
  awacsRange_->setObjectName(QStringLiteral("awacsRange"));
  awacsRange_->setRange(kMinAwacsRangeKm, kMaxAwacsRangeKm);
  awacsRange_->setSingleStep(10);
  auto* form = new QFormLayout;
  form->addRow(QText(TextId::SrvMaxClients, language), maxClient_);
  form->addRow(QText(TextId::SrvAwacsRange, language), awacsRange_);

  auto* notice = new QLabel(QText(TextId::SrvRadarNotice, language), this);
  notice->setObjectName(QStringLiteral("notice"));
  notice->setProperty("role", QStringLiteral("notice"));
  notice->setWordWrap(true);

  auto* side = new QVBoxLayout;
  side->addLayout(form);
  side->addWidget(notice);
  side->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(typesBox, 3);
  layout->addLayout(side, 1);
}

void RadarPage::Load(const ServerConfig& config) {
  flags_ = config.radarTypeShown;
  for (std::size_t i = 0; i < types_.size(); ++i) types_[i]->setChecked(flags_[i] != 0);
  maxClient_->setValue(config.maxClient);
  awacsRange_->setValue(config.block.awacsRangeKm);
}

void RadarPage::Save(ServerConfig& config) const {
  config.radarTypeShown = flags_;
  for (std::size_t i = 0; i < types_.size(); ++i) config.radarTypeShown[i] = types_[i]->isChecked() ? 1 : 0;
  config.maxClient = maxClient_->value();
  config.block.awacsRangeKm = awacsRange_->value();
}

}  // namespace vantor::server::gui
