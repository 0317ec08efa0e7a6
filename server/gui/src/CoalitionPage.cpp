#include "vantor/server/gui/CoalitionPage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QValidator>

#include "vantor/server/AirfieldSettings.h"
#include "vantor/texts/QText.h"

namespace vantor::server::gui {
namespace {

// A password travels as at most 9 bytes of UTF-8; the edit takes no more.
class PasswordValidator final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    return input.toUtf8().size() <= static_cast<qsizetype>(protocol::kPasswordLength) ? Acceptable : Invalid;
  }
};

QString AirfieldObjectName(int airfield) { return QStringLiteral("airfield%1").arg(airfield); }

}  // namespace

CoalitionPage::CoalitionPage(int side, Language language, QWidget* parent)
    : QWidget(parent), side_(side), language_(language) {
  setObjectName(side == 0 ? QStringLiteral("bluePage") : QStringLiteral("redPage"));

  auto* groups = new QHBoxLayout;
  groups->addWidget(MakeGroup(kUkraineGroup, TextId::SrvGroupUkraine, QStringLiteral("ukraine")));
  groups->addWidget(MakeGroup(kRussiaGroup, TextId::SrvGroupRussia, QStringLiteral("russia")));

  auto* awacs = new QGroupBox(QText(TextId::SrvAwacsGroup, language), this);
  choices_ = new QButtonGroup(this);
  const std::array<std::pair<AwacsChoice, TextId>, 3> choiceTexts = {{
      {AwacsChoice::FromSimulator, TextId::SrvAwacsFromFalcrest},
      {AwacsChoice::Static, TextId::SrvAwacsStatic},
      {AwacsChoice::RadarOnly, TextId::SrvRadarOnly},
  }};
  auto* awacsLayout = new QGridLayout(awacs);
  for (const auto& [choice, text] : choiceTexts) {
    auto* button = new QRadioButton(QText(text, language), awacs);
    button->setObjectName(QStringLiteral("awacsChoice%1").arg(static_cast<int>(choice)));
    choices_->addButton(button, static_cast<int>(choice));
    awacsLayout->addWidget(button, static_cast<int>(choice), 0, 1, 2);
  }
  altitude_ = new QSpinBox(awacs);
  altitude_->setObjectName(QStringLiteral("altitude"));
  altitude_->setRange(0, kMaxAltitudeKm);
  auto* altitudeLabel = new QLabel(QText(TextId::SrvAwacsAltitude, language), awacs);
  altitudeLabel->setBuddy(altitude_);
  awacsLayout->addWidget(altitudeLabel, 3, 0);
  awacsLayout->addWidget(altitude_, 3, 1);
  connect(choices_, &QButtonGroup::idClicked, this, [this](int id) { OnChoice(static_cast<AwacsChoice>(id)); });

  password_ = new QLineEdit(this);
  password_->setObjectName(QStringLiteral("password"));
  password_->setMaxLength(static_cast<int>(protocol::kPasswordLength));
  password_->setValidator(new PasswordValidator(password_));
  auto* passwordLabel = new QLabel(QText(TextId::SrvPassword, language), this);
  passwordLabel->setBuddy(password_);

  map_ = new QPushButton(QText(TextId::SrvMapButton, language), this);
  map_->setObjectName(QStringLiteral("map"));
  map_->setAutoDefault(false);
  connect(map_, &QPushButton::clicked, this, [this] { Q_EMIT MapRequested(Choice() == AwacsChoice::Static); });

  auto* notice = new QLabel(QText(TextId::SrvCoalitionNotice, language), this);
  notice->setObjectName(QStringLiteral("notice"));
  notice->setProperty("role", QStringLiteral("notice"));
  notice->setWordWrap(true);

  auto* sideColumn = new QVBoxLayout;
  sideColumn->addWidget(awacs);
  auto* passwordRow = new QHBoxLayout;
  passwordRow->addWidget(passwordLabel);
  passwordRow->addWidget(password_, 1);
  sideColumn->addLayout(passwordRow);
  sideColumn->addWidget(map_);
  sideColumn->addWidget(notice);
  sideColumn->addStretch(1);

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(groups, 3);
  layout->addLayout(sideColumn, 1);
}

QWidget* CoalitionPage::MakeGroup(const std::array<int, 11>& airfields, TextId title, const QString& name) {
  auto* group = new QGroupBox(QText(title, language_), this);
  group->setObjectName(name);
  auto* grid = new QGridLayout(group);
  grid->setVerticalSpacing(3);
  int row = 0;
  for (const int airfield : airfields) {
    const std::size_t index = static_cast<std::size_t>(airfield - 1);
    auto* box = new QCheckBox(
        QString::fromUtf8(kAirfieldSites[index].name.data(), static_cast<qsizetype>(kAirfieldSites[index].name.size())),
        group);
    box->setObjectName(AirfieldObjectName(airfield));
    auto* range = new QComboBox(group);
    range->setObjectName(QStringLiteral("range%1").arg(airfield));
    for (const int km : kRangeItemsKm) range->addItem(QString::number(km));
    inService_[index] = box;
    ranges_[index] = range;
    grid->addWidget(box, row, 0);
    grid->addWidget(range, row, 1);
    ++row;
  }
  auto* all = new QPushButton(QText(TextId::SrvAllButton, language_), group);
  all->setObjectName(QStringLiteral("all"));
  auto* none = new QPushButton(QText(TextId::SrvNoneButton, language_), group);
  none->setObjectName(QStringLiteral("none"));
  for (QPushButton* button : {all, none}) button->setAutoDefault(false);
  connect(all, &QPushButton::clicked, this, [this, &airfields] { CheckGroup(airfields, true); });
  connect(none, &QPushButton::clicked, this, [this, &airfields] { CheckGroup(airfields, false); });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(all);
  buttons->addWidget(none);
  grid->addLayout(buttons, row, 0, 1, 2);
  return group;
}

void CoalitionPage::CheckGroup(const std::array<int, 11>& airfields, bool checked) {
  for (const int airfield : airfields) inService_[static_cast<std::size_t>(airfield - 1)]->setChecked(checked);
}

void CoalitionPage::Load(const ServerConfig& config) {
  const protocol::ConfigBlock& block = config.block;
  for (std::size_t i = 0; i < inService_.size(); ++i) {
    inService_[i]->setChecked(block.airfieldRadarOn[side_][i] != 0);
    const auto item = RangeItemFor(block.airfieldRadarRangeKm[side_][i]);
    ranges_[i]->setCurrentIndex(item ? static_cast<int>(*item) : -1);
  }
  password_->setText(QString::fromStdString(block.password[side_]));
  const AwacsChoice choice = block.radarOnly[side_] == 1   ? AwacsChoice::RadarOnly
                             : block.awacsMode[side_] != 0 ? AwacsChoice::Static
                                                           : AwacsChoice::FromSimulator;
  choices_->button(static_cast<int>(choice))->setChecked(true);
  altitude_->setValue(block.awacsMode[side_]);
  altitude_->setEnabled(choice == AwacsChoice::Static);
}

void CoalitionPage::Save(ServerConfig& config) const {
  protocol::ConfigBlock& block = config.block;
  for (std::size_t i = 0; i < inService_.size(); ++i) {
    block.airfieldRadarOn[side_][i] = inService_[i]->isChecked() ? 1 : 0;
    const int item = ranges_[i]->currentIndex();
    block.airfieldRadarRangeKm[side_][i] =
        item >= 0 ? kRangeItemsKm[static_cast<std::size_t>(item)] : kUnselectedRangeKm;
  }
  block.password[side_] = CutPassword(password_->text());
  switch (Choice()) {
    case AwacsChoice::FromSimulator:
      block.awacsMode[side_] = 0;
      block.radarOnly[side_] = 0;
      break;
    case AwacsChoice::Static:
      block.awacsMode[side_] = altitude_->value();
      block.radarOnly[side_] = 0;
      break;
    case AwacsChoice::RadarOnly:
      // The AWACS mode word stays as it was.
      block.radarOnly[side_] = 1;
      break;
  }
}

AwacsChoice CoalitionPage::Choice() const {
  const int id = choices_->checkedId();
  return id < 0 ? AwacsChoice::FromSimulator : static_cast<AwacsChoice>(id);
}

void CoalitionPage::Choose(AwacsChoice choice) {
  choices_->button(static_cast<int>(choice))->setChecked(true);
  OnChoice(choice);
}

void CoalitionPage::OnChoice(AwacsChoice choice) {
  const bool isStatic = choice == AwacsChoice::Static;
  altitude_->setEnabled(isStatic);
  if (isStatic && altitude_->value() == 0) altitude_->setValue(kDefaultStaticAltitudeKm);
}

}  // namespace vantor::server::gui
