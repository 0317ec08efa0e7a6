#include "vantor/shell/CDisplaySettingsDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>
#include <numbers>

#include "vantor/platform/Display.h"
#include "vantor/platform/Notifier.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/shell/DialogUnits.h"
#include "vantor/texts/QText.h"

namespace vantor::shell {
namespace {

// The picture across the top: a compass rose on the console's dark glass,
// with the wind's arrow when a wind is set.
class WindBanner final : public QWidget {
 public:
  explicit WindBanner(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("windPicture")); }
  void Show(bool windOn, int directionDeg) {
    windOn_ = windOn;
    directionDeg_ = directionDeg;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient glass(0, 0, 0, height());
    glass.setColorAt(0.0, QColor(18, 28, 30));
    glass.setColorAt(1.0, QColor(4, 8, 9));
    painter.fillRect(rect(), glass);
    const QColor phosphor(60, 200, 110);

    // Faint range rings and a horizon line, as on the scope.
    painter.setPen(QPen(QColor(60, 200, 110, 40), 1));
    for (int x = 12; x < width(); x += 24) painter.drawLine(x, height() - 6, x, height() - 2);
    painter.drawLine(0, height() - 4, width(), height() - 4);

    const double radius = std::max(8.0, height() / 2.0 - 6.0);
    const QPointF centre(width() / 2.0, height() / 2.0);
    painter.setPen(QPen(QColor(60, 200, 110, 90), 1));
    painter.drawEllipse(centre, radius, radius);
    painter.drawEllipse(centre, radius * 0.55, radius * 0.55);
    // Cardinal points: long ticks, north lit.
    for (int step = 0; step < 16; ++step) {
      const double angle = step * std::numbers::pi / 8;
      const double inner = step % 4 == 0 ? radius * 0.72 : radius * 0.88;
      const QPointF direction(std::sin(angle), -std::cos(angle));
      painter.setPen(QPen(step == 0 ? phosphor : QColor(60, 200, 110, 120), step % 4 == 0 ? 2 : 1));
      painter.drawLine(centre + direction * inner, centre + direction * radius);
    }
    // Side ornaments: stylised gust lines.
    painter.setPen(QPen(QColor(90, 93, 99), 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
      const double y = height() * (0.3 + 0.2 * i);
      const double left = width() * 0.08, right = centre.x() - radius - 14;
      if (right > left) {
        QPainterPath gust(QPointF(left + i * 10, y));
        gust.cubicTo(QPointF((left + right) / 2, y - 6), QPointF((left + right) / 2, y + 6), QPointF(right, y));
        painter.drawPath(gust);
        painter.save();
        painter.translate(width(), 0);
        painter.scale(-1, 1);
        painter.drawPath(gust);
        painter.restore();
      }
    }
    if (!windOn_) return;
    // The wind blows from its direction toward the centre.
    const double angle = directionDeg_ * std::numbers::pi / 180.0;
    const QPointF from(std::sin(angle), -std::cos(angle));
    const QPointF tail = centre + from * (radius * 0.95);
    const QPointF head = centre - from * (radius * 0.35);
    painter.setPen(QPen(QColor(245, 255, 64), 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(tail, head);
    const QPointF side(-from.y(), from.x());
    QPolygonF tip;
    tip << head << head + from * 8 + side * 5 << head + from * 8 - side * 5;
    painter.setBrush(QColor(245, 255, 64));
    painter.drawPolygon(tip);
  }

 private:
  bool windOn_ = false;
  int directionDeg_ = kMinWindDirection;
};

QCheckBox* AddBox(QWidget* parent, QVBoxLayout* layout, TextId text, Language language, const char* name) {
  auto* box = new QCheckBox(QText(text, language), parent);
  box->setObjectName(QString::fromLatin1(name));
  layout->addWidget(box);
  return box;
}

}  // namespace

model::ClientSettings DisplaySettingsOnOpening(const model::ClientSettings& memory, const SettingsStore& store) {
  const model::ClientSettings stored = model::ClientSettings::Load(store);
  model::ClientSettings shown = memory;
  shown.imperial = stored.imperial;
  shown.fontSize = stored.fontSize;
  shown.fontSizeText = stored.fontSizeText;
  shown.showRose = stored.showRose;
  shown.showVoiceWindow = stored.showVoiceWindow;
  shown.hideSpeed = stored.hideSpeed;
  return shown;
}

int FontSizeChoiceFor(const QString& stored) {
  for (std::size_t i = 0; i < kFontSizeChoices.size(); ++i)
    if (QString::fromLatin1(kFontSizeChoices[i]).startsWith(stored, Qt::CaseInsensitive)) return static_cast<int>(i);
  return -1;
}

CDisplaySettingsDlg::CDisplaySettingsDlg(Language language, QWidget* parent)
    : QDialog(parent), language_(language), notifier_(NotifierForDisplay("Vantor", "Vantor", this)) {
  setObjectName(QStringLiteral("displaySettingsDialog"));
  setWindowTitle(QText(TextId::DisplayCaption, language));

  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(DialogUnitsToPixels(font(), QSize(0, 3)).height());
  auto* banner = new WindBanner(this);
  banner->setFixedHeight(DialogUnitsToPixels(font(), QSize(0, 55)).height());
  banner_ = banner;
  layout->addWidget(banner);

  windBox_ = AddBox(this, layout, TextId::DisplayUseWind, language, "useWind");
  windSlider_ = new QSlider(Qt::Horizontal, this);
  windSlider_->setObjectName(QStringLiteral("windSlider"));
  windSlider_->setRange(kMinWindDirection, kMaxWindDirection);
  windSlider_->setPageStep(10);
  windSlider_->setTickPosition(QSlider::TicksBelow);
  windSlider_->setTickInterval(30);
  layout->addWidget(windSlider_);
  auto* windRow = new QHBoxLayout;
  auto* windLabel = new QLabel(QText(TextId::DisplayWindDirection, language), this);
  windEdit_ = new QLineEdit(this);
  windEdit_->setObjectName(QStringLiteral("windDirection"));
  // A number field: digits only, as typed.
  windEdit_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), windEdit_));
  windEdit_->setMaxLength(9);
  windEdit_->setMaximumWidth(DialogUnitsToPixels(font(), QSize(40, 0)).width());
  windLabel->setBuddy(windEdit_);
  windRow->addWidget(windLabel);
  windRow->addWidget(windEdit_);
  windRow->addStretch();
  layout->addLayout(windRow);

  metricBox_ = AddBox(this, layout, TextId::DisplayMetric, language, "metric");
  oldPositionsBox_ = AddBox(this, layout, TextId::DisplayOldPositions, language, "showOldPositions");
  advancedBox_ = AddBox(this, layout, TextId::DisplayAdvanced, language, "advancedDisplay");
  invertBox_ = AddBox(this, layout, TextId::DisplayInvertCallsign, language, "invertCallsign");
  roseBox_ = AddBox(this, layout, TextId::DisplayShowRose, language, "showRose");
  voiceBox_ = AddBox(this, layout, TextId::DisplayShowVoiceWindow, language, "showVoiceWindow");
  hideSpeedBox_ = AddBox(this, layout, TextId::DisplayHideSpeed, language, "hideSpeed");
  cursorReadoutBox_ = AddBox(this, layout, TextId::DisplayCursorReadout, language, "showCursorReadout");
  bullseyeBox_ = AddBox(this, layout, TextId::DisplayBullseye, language, "bullseye");
  braaBox_ = AddBox(this, layout, TextId::DisplayBraa, language, "showBraa");
  declutterBox_ = AddBox(this, layout, TextId::DisplayDeclutter, language, "declutter");
  conflictAlertBox_ = AddBox(this, layout, TextId::DisplayConflictAlert, language, "conflictAlert");

  auto* fontRow = new QHBoxLayout;
  auto* fontLabel = new QLabel(QText(TextId::DisplayFontSize, language), this);
  fontList_ = new QComboBox(this);
  fontList_->setObjectName(QStringLiteral("fontSize"));
  for (const char* size : kFontSizeChoices) fontList_->addItem(QString::fromLatin1(size));
  fontList_->setCurrentIndex(-1);
  fontLabel->setBuddy(fontList_);
  fontRow->addWidget(fontLabel);
  fontRow->addWidget(fontList_);
  fontRow->addStretch();
  layout->addLayout(fontRow);

  layout->addStretch();
  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(QText(TextId::DisplayOk, language), this);
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QText(TextId::DisplayCancel, language), this);
  cancel->setObjectName(QStringLiteral("cancel"));
  cancel->setAutoDefault(false);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  resize(DialogUnitsToPixels(font(), QSize(198, 270)).expandedTo(sizeHint()));

  connect(ok, &QPushButton::clicked, this, &CDisplaySettingsDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(windBox_, &QCheckBox::clicked, this, &CDisplaySettingsDlg::OnWindBoxClicked);
  connect(windSlider_, &QSlider::valueChanged, this, &CDisplaySettingsDlg::OnSliderMoved);
  connect(windEdit_, &QLineEdit::textEdited, this, &CDisplaySettingsDlg::OnWindTextEdited);
  ShowWindMembers();
}

CDisplaySettingsDlg::~CDisplaySettingsDlg() = default;

void CDisplaySettingsDlg::SetNotifier(std::unique_ptr<Notifier> notifier) {
  if (notifier) notifier_ = std::move(notifier);
}

void CDisplaySettingsDlg::Load(const model::ClientSettings& settings) {
  metricBox_->setChecked(!settings.imperial);
  oldPositionsBox_->setChecked(settings.showOldPositions);
  advancedBox_->setChecked(settings.displayMode);
  invertBox_->setChecked(settings.invertCallsign);
  roseBox_->setChecked(settings.showRose);
  voiceBox_->setChecked(settings.showVoiceWindow);
  hideSpeedBox_->setChecked(settings.hideSpeed);
  fontList_->setCurrentIndex(FontSizeChoiceFor(settings.fontSizeText));
  cursorReadoutBox_->setChecked(settings.showCursorReadout);
  bullseyeBox_->setChecked(settings.bullseye);
  braaBox_->setChecked(settings.showBraa);
  declutterBox_->setChecked(settings.declutter);
  conflictAlertBox_->setChecked(settings.conflictAlert);
}

void CDisplaySettingsDlg::Save(model::ClientSettings& settings) const {
  settings.imperial = !metricBox_->isChecked();
  settings.displayMode = advancedBox_->isChecked();
  settings.invertCallsign = invertBox_->isChecked();
  settings.hideSpeed = hideSpeedBox_->isChecked();
  settings.fontSizeText =
      fontList_->currentIndex() >= 0 ? fontList_->currentText() : QString::fromLatin1(kDefaultFontSizeText);
  settings.fontSize = ProfileTextToInt(settings.fontSizeText);
  settings.showRose = roseBox_->isChecked();
  settings.showVoiceWindow = voiceBox_->isChecked();
  settings.showOldPositions = oldPositionsBox_->isChecked();
  settings.showCursorReadout = cursorReadoutBox_->isChecked();
  settings.bullseye = bullseyeBox_->isChecked();
  settings.showBraa = braaBox_->isChecked();
  settings.declutter = declutterBox_->isChecked();
  settings.conflictAlert = conflictAlertBox_->isChecked();
}

void CDisplaySettingsDlg::LoadWind(unsigned directionDeg) {
  if (directionDeg == 0) {
    useWind_ = false;
    windDirection_ = kMinWindDirection;
  } else {
    useWind_ = true;
    windDirection_ = static_cast<int>(directionDeg);
  }
  ShowWindMembers();
}

void CDisplaySettingsDlg::ShowWindMembers() {
  windBox_->setChecked(useWind_);
  {
    const QSignalBlocker quiet(windSlider_);
    // A direction the slider cannot show leaves it where it is.
    if (windDirection_ >= kMinWindDirection && windDirection_ <= kMaxWindDirection)
      windSlider_->setValue(windDirection_);
  }
  windEdit_->setText(QString::number(windDirection_));
  EnableWindControls();
}

void CDisplaySettingsDlg::EnableWindControls() {
  windSlider_->setEnabled(useWind_);
  windEdit_->setEnabled(useWind_);
  static_cast<WindBanner*>(banner_)->Show(useWind_, windDirection_);
}

bool CDisplaySettingsDlg::TakeWindControls() {
  useWind_ = windBox_->isChecked();
  bool number = false;
  const int direction = windEdit_->text().trimmed().toInt(&number);
  QString message;
  if (!number)
    message = QText(TextId::DisplayNotAnInteger, language_);
  else if (direction < kMinWindDirection || direction > kMaxWindDirection)
    message = QText(TextId::DisplayIntegerOutOfRange, language_).arg(kMinWindDirection).arg(kMaxWindDirection);
  if (!message.isEmpty()) {
    notifier_->ShowError(message);
    windEdit_->setFocus();
    windEdit_->selectAll();
    return false;
  }
  windDirection_ = direction;
  return true;
}

void CDisplaySettingsDlg::OnWindBoxClicked() {
  TakeWindControls();
  EnableWindControls();
}

void CDisplaySettingsDlg::OnSliderMoved(int position) {
  windDirection_ = position;
  windEdit_->setText(QString::number(position));
  EnableWindControls();
}

void CDisplaySettingsDlg::OnWindTextEdited(const QString& text) {
  // The slider follows a direction typed in full.
  bool number = false;
  const int direction = text.toInt(&number);
  if (!number || direction < kMinWindDirection || direction > kMaxWindDirection) return;
  const QSignalBlocker quiet(windSlider_);
  windSlider_->setValue(direction);
  static_cast<WindBanner*>(banner_)->Show(useWind_, direction);
}

void CDisplaySettingsDlg::accept() {
  if (!TakeWindControls()) return;
  QDialog::accept();
}

}  // namespace vantor::shell
