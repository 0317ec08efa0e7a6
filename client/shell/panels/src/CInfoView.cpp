#include "vantor/shell/CInfoView.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "vantor/model/ClientSettings.h"
#include "vantor/scope/CRivakView.h"
#include "vantor/scope/ScopePainter.h"
#include "vantor/shell/CButtonView.h"
#include "vantor/shell/PanelFrameArt.h"
#include "vantor/texts/QText.h"

namespace vantor::shell {
namespace {

const QColor kDimGreen(0, 200, 0);
const QColor kBrightGreen(0, 255, 0);
const QColor kLinePen(51, 249, 40);

// Header lines: the clock and the zone centred between these margins.
constexpr int kHeaderMargin = 25;
constexpr int kClockTop = 30;
constexpr int kZoneTop = 50;
constexpr int kHeaderHeight = 15;
// Channel lines, then the friendly list below them.
constexpr int kLinesX = 30;
constexpr int kFirstChannelTop = 75;
constexpr int kChannelSpacing = 20;
constexpr int kFriendlyListGap = 30;
constexpr int kFriendlySpacing = 10;
constexpr int kFriendlyFontHeight = 12;
// The comparison area at the bottom.
constexpr int kComparisonRuleUp = 145;
constexpr int kComparisonRuleLeft = 10;
constexpr int kComparisonRuleRight = 300;
constexpr int kBlockFontHeight = 10;
constexpr int kBlockMargin = 25;
constexpr int kBlockGap = 5;  // each side of the middle line
// Pick buttons.
constexpr QSize kPickButtonSize(20, 20);
constexpr QPoint kInitialPick1(30, 410);
constexpr QPoint kInitialPick2(150, 410);
constexpr int kPickButtonsUp = 140;
constexpr int kPick2RightOfMiddle = 20;

// A block's lines: their tops and bottoms counted up from the bottom edge.
struct BlockRow {
  int topUp;
  int bottomUp;
};
constexpr BlockRow kNamesRow{117, 107};
constexpr BlockRow kAltitudeRow{100, 90};
constexpr BlockRow kSpeedRow{85, 75};
constexpr BlockRow kHeadingRow{70, 60};
constexpr BlockRow kRuleRow{60, 50};
constexpr BlockRow kCaptionRow{50, 40};
constexpr BlockRow kBearingRangeRow{35, 25};

// A font whose line fits a cell `cellHeight` pixels high.
QFont CellFont(const QString& family, QFont::StyleHint hint, int cellHeight) {
  QFont font(family);
  font.setStyleHint(hint);
  int pixels = std::max(cellHeight, 1);
  for (; pixels > 1; --pixels) {
    font.setPixelSize(pixels);
    if (QFontMetrics(font).height() <= cellHeight) break;
  }
  font.setPixelSize(pixels);
  return font;
}

void DrawTopLeft(QPainter& painter, int left, int top, const QString& text) {
  painter.drawText(left, top + QFontMetrics(painter.font()).ascent(), text);
}

// Centred between `left` and `right`, top at `top`; cut at the sides like
// the block it belongs to, not at the bottom.
void DrawCentred(QPainter& painter, int left, int right, int top, const QString& text) {
  const int height = QFontMetrics(painter.font()).height();
  painter.drawText(QRect(left, top, right - left, height), Qt::AlignHCenter | Qt::AlignTop, text);
}

void DrawBlock(QPainter& painter, const ComparisonBlockText& block, int left, int right, int height) {
  auto row = [&](const BlockRow& at, const QString& text) {
    DrawCentred(painter, left, right, height - at.topUp, text);
  };
  row(kNamesRow, block.names);
  row(kAltitudeRow, block.altitude);
  row(kSpeedRow, block.speed);
  row(kHeadingRow, block.heading);
  row(kRuleRow, block.rule);
  row(kCaptionRow, block.caption);
  if (block.bearingRange) row(kBearingRangeRow, *block.bearingRange);
}

}  // namespace

CInfoView::CInfoView(const ShellContext& context, scope::CRivakView* scope, const ChannelStateSource* channels,
                     QWidget* parent)
    : QWidget(parent),
      context_(context),
      scope_(scope),
      channels_(channels),
      clock_(model::SystemSecondsClock()),
      artwork_(PanelFrameArt::Shared()) {
  setObjectName(QStringLiteral("infoView"));
  setAttribute(Qt::WA_OpaquePaintEvent);  // the picture covers everything; no background erase
  setMouseTracking(true);

  const std::array<TextId, kComparisonBlockCount> captions{TextId::InfoPickBlock1, TextId::InfoPickBlock2};
  const std::array<QPoint, kComparisonBlockCount> places{kInitialPick1, kInitialPick2};
  for (int block = 0; block < kComparisonBlockCount; ++block) {
    const auto index = static_cast<std::size_t>(block);
    auto* button = new QPushButton(QText(captions[index], context_.language), this);
    button->setObjectName(block == 0 ? QStringLiteral("pickBlock1") : QStringLiteral("pickBlock2"));
    button->setFocusPolicy(Qt::NoFocus);  // the keys stay with the scope
    button->setGeometry(QRect(places[index], kPickButtonSize));
    connect(button, &QPushButton::clicked, this, [this, block] { OnPickButton(block); });
    pickButtons_[index] = button;
  }
  if (scope_ != nullptr) connect(scope_, &scope::CRivakView::ContactPicked, this, &CInfoView::OnContactPicked);

  timer_.setInterval(kInfoTimerMs);
  connect(&timer_, &QTimer::timeout, this, &CInfoView::Tick);
  timer_.start();
}

CInfoView::CInfoView(const ShellContext& context, scope::CRivakView* scope, const CButtonView* buttonPanel,
                     QWidget* parent)
    : CInfoView(context, scope, static_cast<const ChannelStateSource*>(nullptr), parent) {
  if (buttonPanel == nullptr) return;
  AdoptChannelSource(std::make_unique<PanelChannelState<CButtonView>>(*buttonPanel));
  connect(buttonPanel, &CButtonView::CurrentSlotChanged, this, &CInfoView::Refresh);
}

CInfoView::~CInfoView() = default;

void CInfoView::SetChannelSource(const ChannelStateSource* channels) {
  channels_ = channels;
  ownedChannels_.reset();
  update();
}

void CInfoView::AdoptChannelSource(std::unique_ptr<const ChannelStateSource> channels) {
  ownedChannels_ = std::move(channels);
  channels_ = ownedChannels_.get();
  update();
}

void CInfoView::SetScreenHeightSource(std::function<int()> usableScreenHeight) {
  usableScreenHeight_ = std::move(usableScreenHeight);
  update();
}

int CInfoView::UsableScreenHeight() const {
  if (usableScreenHeight_) return usableScreenHeight_();
  const QScreen* shown = screen();
  return shown != nullptr ? shown->availableGeometry().height() : 0;
}

void CInfoView::Tick() {
  CheckCentring();
  update();
}

void CInfoView::CheckCentring() {
  // In ATC mode the scope stays on the airfield it was centred on, even
  // after a double-click moved it away before.
  if (scope_ == nullptr || !scope_->Geometry().AirfieldMode()) return;
  QString name;
  double latitude = 0.0, longitude = 0.0;
  if (!context_.doc.FindAirfieldByMenuId(scope_->CentringCommand(), name, latitude, longitude)) return;
  const geo::GeoPoint& centre = scope_->Geometry().Centre();
  const bool elsewhere = latitude != centre.latitude || longitude != centre.longitude;
  // The carrier's record has no position of its own (0, 0).
  if (elsewhere && latitude > 1.0 && longitude > 1.0) scope_->CentreOn(latitude, longitude);
}

void CInfoView::OnPickButton(int block) {
  const bool picking = scope_ != nullptr ? scope_->Tools().PickingMode() : picks_.State() != PickState::Idle;
  if (picking) {
    // A second press cancels; the next starts again with the first contact.
    picks_.Cancel();
    SetScopePicking(false);
    return;
  }
  picks_.Start(block);
  SetScopePicking(true);
}

void CInfoView::SetScopePicking(bool on) {
  if (scope_ != nullptr) scope_->SetPickingMode(on);
}

void CInfoView::Compare(int block, int firstId, int secondId) {
  picks_.Set(block, firstId, secondId);
  update();
}

void CInfoView::OnContactPicked(int contactId) {
  if (picks_.OnContactPicked(contactId)) SetScopePicking(false);
  update();
}

void CInfoView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int top = height() - kPickButtonsUp;
  pickButtons_[0]->move(kInitialPick1.x(), top);
  pickButtons_[1]->move(width() / 2 + kPick2RightOfMiddle, top);
}

void CInfoView::mouseMoveEvent(QMouseEvent* event) {
  Q_EMIT ExpandRequested(true);
  QWidget::mouseMoveEvent(event);
}

void CInfoView::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton && width() - at.x() < kCollapseCornerPx &&
      height() - at.y() < kCollapseCornerPx) {
    Q_EMIT ExpandRequested(false);
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

QImage CInfoView::RenderImage() {
  QImage image(size(), QImage::Format_RGB32);
  if (!image.isNull()) PaintInto(image);
  return image;
}

void CInfoView::paintEvent(QPaintEvent* event) {
  if (picture_.size() != size()) picture_ = QImage(size(), QImage::Format_RGB32);
  if (picture_.isNull()) return;
  PaintInto(picture_);
  QPainter window(this);
  window.drawImage(event->rect(), picture_, event->rect());
}

void CInfoView::PaintInto(QImage& image) {
  const int width = image.width(), height = image.height();
  const Language language = context_.language;
  const model::ClientState& state = context_.doc.State();
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setFont(font());

  // Clock and zone.
  const std::int64_t mission = MissionSeconds(clock_(), state.configBlock.missionClock, state.logOnTime);
  painter.setPen(kDimGreen);
  DrawCentred(painter, kHeaderMargin, width - kHeaderMargin, kClockTop,
              CoalitionClockText(!state.isBlue, mission, language));
  QString area;
  double latitude = 0.0, longitude = 0.0;
  if (scope_ != nullptr) context_.doc.FindAirfieldByMenuId(scope_->CentringCommand(), area, latitude, longitude);
  DrawCentred(painter, kHeaderMargin, width - kHeaderMargin, kZoneTop, CurrentZoneText(area, language));

  // Channel lines, as many as the screen has room for.
  const int screenHeight = UsableScreenHeight();
  const int lines = ChannelLinesShown(screenHeight);
  const int current = channels_ != nullptr ? channels_->CurrentSlot() : 0;
  for (int slot = 0; slot < lines; ++slot) {
    painter.setPen(slot == current ? kBrightGreen : kDimGreen);
    DrawTopLeft(painter, kLinesX, kFirstChannelTop + slot * kChannelSpacing,
                ChannelLineText(slot, ChannelName(channels_, slot, language), language));
  }

  // One walk of the table under its lock; the drawing works on the copy.
  const InfoPanelSnapshot snapshot = TakeInfoSnapshot(context_.doc, picks_.Picked());
  if (FriendlyListShown(screenHeight)) {
    painter.setFont(scope::ScopeFont(kFriendlyFontHeight));
    painter.setPen(kBrightGreen);
    int top = kFirstChannelTop + (lines - 1) * kChannelSpacing + kFriendlyListGap;
    for (const QString& line : snapshot.callsignLines) {
      DrawTopLeft(painter, kLinesX, top, line);
      top += kFriendlySpacing;
    }
  }

  // The comparison area.
  painter.setPen(QPen(kLinePen, 1));
  const int ruleY = height - kComparisonRuleUp;
  painter.drawLine(kComparisonRuleLeft, ruleY, kComparisonRuleRight, ruleY);
  painter.drawLine(width / 2, ruleY, width / 2, height);
  painter.setFont(CellFont(QStringLiteral("Lucida Console"), QFont::TypeWriter, kBlockFontHeight));
  painter.setPen(kDimGreen);
  const bool nautical = context_.settings.imperial;
  const std::array<std::pair<int, int>, kComparisonBlockCount> bounds{
      std::pair{kBlockMargin, width / 2 - kBlockGap}, std::pair{width / 2 + kBlockGap, width - kBlockMargin}};
  for (int block = 0; block < kComparisonBlockCount; ++block) {
    const auto first = snapshot.picked[static_cast<std::size_t>(2 * block)];
    const auto second = snapshot.picked[static_cast<std::size_t>(2 * block + 1)];
    if (const auto text = ComparisonBlock(first, second, nautical, language)) {
      const auto [left, right] = bounds[static_cast<std::size_t>(block)];
      DrawBlock(painter, *text, left, right, height);
    }
  }

  artwork_->DrawFrame(painter, image.size());
}

}  // namespace vantor::shell
