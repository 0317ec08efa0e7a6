#include "vantor/shell/CFallingTextWnd.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <chrono>

#include "vantor/shell/AboutEmblem.h"

namespace vantor::shell {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kBannerPeriod{10};
constexpr milliseconds kVerticalBannerPeriod{15};
constexpr milliseconds kRainPeriod{120};
constexpr int kActiveBeforeErasing = 10;

std::uint32_t ClockSeed() {
  return static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

}  // namespace

CFallingTextWnd::CFallingTextWnd(QWidget* parent, std::unique_ptr<AnimationTimers> timers,
                                 std::optional<std::uint32_t> seed)
    : QWidget(parent),
      timers_(timers ? std::move(timers) : std::make_unique<QtAnimationTimers>()),
      random_(seed.value_or(ClockSeed())),
      lines_{QStringLiteral("What is the Matrix?")},
      closingText_(QStringLiteral("Thanks for your attention!")) {
  setObjectName(QStringLiteral("fallingText"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  font_ = QFont(QStringLiteral("Tahoma"));
  font_.setPixelSize(14);
  font_.setWeight(QFont::Bold);
  const QFontMetrics metrics(font_);
  charWidth_ = std::max(1, metrics.averageCharWidth());
  charHeight_ = std::max(1, metrics.height());
  timers_->SetHandler([this](int id) { OnTimer(id); });
}

CFallingTextWnd::~CFallingTextWnd() {
  for (const int id : {kBannerTimer, kVerticalBannerTimer, kRainTimer}) timers_->Stop(id);
  timers_->SetHandler({});
}

void CFallingTextWnd::SetLines(const QString& lines) {
  lines_ = lines.split(QLatin1Char(','));
  lineIndex_ = 0;
}

QString CFallingTextWnd::CurrentLine() const {
  if (lineIndex_ < 0 || lineIndex_ >= lines_.size()) return {};
  return lines_[lineIndex_];
}

int CFallingTextWnd::ComputeTargetX() const {
  return width() / 2 - QFontMetrics(font_).horizontalAdvance(CurrentLine()) / 2;
}

int CFallingTextWnd::ActiveColumnCount() const {
  return static_cast<int>(std::count_if(columns_.begin(), columns_.end(), [](const Column& c) { return c.active; }));
}

void CFallingTextWnd::Create(const QRect& area) {
  setGeometry(area);
  RecreatePictures();
  bannerX_ = -width() / 2;
  bannerY_ = -height() / 3;
  targetX_ = ComputeTargetX();
  ComposeFrame();
  SetUpColumns();
  timers_->Start(kBannerTimer, kBannerPeriod);
  timers_->Start(kVerticalBannerTimer, kVerticalBannerPeriod);
  timers_->Start(kRainTimer, kRainPeriod);
}

void CFallingTextWnd::RecreatePictures() {
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = (QSizeF(size()) * ratio).toSize().expandedTo(QSize(1, 1));
  rain_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
  rain_.setDevicePixelRatio(ratio);
  rain_.fill(backColour_);
  picture_ = rain_;
}

void CFallingTextWnd::SetUpColumns() {
  const int count = width() / (charWidth_ + kColumnGap);
  rows_ = height() / charHeight_;
  columns_.assign(static_cast<std::size_t>(std::max(0, count)), Column{});
  for (Column& column : columns_) {
    column.cells.resize(5 + Random() % 11);
    for (Cell& cell : column.cells) cell.green = 75 + static_cast<int>(Random() % 126);
    FillFromLine(column);
  }
}

void CFallingTextWnd::FillFromLine(Column& column) {
  for (Cell& cell : column.cells) cell.character = QLatin1Char(' ');
  const QString line = CurrentLine();
  const int start = static_cast<int>(Random() % static_cast<unsigned>(rows_ / 2 + 1));
  for (int i = 0; i < line.size() && start + i < static_cast<int>(column.cells.size()); ++i)
    column.cells[static_cast<std::size_t>(start + i)].character = line[i];
}

QString CFallingTextWnd::RandomGlyphs(int count) {
  QString glyphs;
  for (int i = 0; i < count; ++i)
    glyphs += QChar(static_cast<char16_t>(static_cast<unsigned char>(kGlyphSet[Random() % kBannerGlyphs])));
  return glyphs;
}

void CFallingTextWnd::OnTimer(int id) {
  switch (id) {
    case kBannerTimer:
      TickBanner();
      break;
    case kVerticalBannerTimer:
      TickVerticalBanner();
      break;
    case kRainTimer:
      TickRain();
      break;
    default:
      return;
  }
  ComposeFrame();
}

void CFallingTextWnd::TickBanner() {
  ++bannerX_;
  horizontalBanner_ = RandomGlyphs(kGlyphSetLength - 1);
  if (!lineReached_ && lineIndex_ >= 0 && bannerX_ >= targetX_) {
    lineReached_ = true;
    Q_EMIT LineShown(lineIndex_);
  }
  if (bannerX_ <= width()) return;
  timers_->Stop(kBannerTimer);
  timers_->Stop(kVerticalBannerTimer);
  horizontalBanner_.clear();
  verticalBanner_.clear();
  lineReached_ = false;
  if (lineIndex_ >= 0 && lineIndex_ + 1 < lines_.size()) {
    ++lineIndex_;
    targetX_ = ComputeTargetX();
    bannerX_ = -width() / 2;
    bannerY_ = -height() / 3;
    timers_->Start(kBannerTimer, kBannerPeriod);
    timers_->Start(kVerticalBannerTimer, kVerticalBannerPeriod);
  } else {
    lineIndex_ = -1;
    targetX_ = -1;
  }
}

void CFallingTextWnd::TickVerticalBanner() {
  const double halfWidth = std::max(1, width() / 2);
  bannerY_ = static_cast<int>(bannerX_ / halfWidth * height());
  verticalBanner_ = RandomGlyphs(kGlyphSetLength - 1);
  if (bannerY_ > height()) {
    timers_->Stop(kVerticalBannerTimer);
    verticalBanner_.clear();
  }
}

void CFallingTextWnd::DrawCell(int column, int row, const QColor& colour, bool blank) {
  if (row < 0 || row >= static_cast<int>(columns_[static_cast<std::size_t>(column)].cells.size())) return;
  QPainter painter(&rain_);
  const QRect cell(column * (charWidth_ + kColumnGap), row * charHeight_, charWidth_ + kColumnGap, charHeight_);
  painter.fillRect(cell, backColour_);
  if (blank) return;
  painter.setFont(font_);
  painter.setPen(colour);
  painter.drawText(cell, Qt::AlignCenter,
                   QString(columns_[static_cast<std::size_t>(column)].cells[static_cast<std::size_t>(row)].character));
}

void CFallingTextWnd::TickRain() {
  ++rainTicks_;
  const int count = ColumnCount();
  // Every second tick one more column starts to fall.
  if (rainTicks_ % 2 == 0 && ActiveColumnCount() < count) {
    for (int draw = 0; draw < count; ++draw) {
      const int index = static_cast<int>(Random() % static_cast<unsigned>(count));
      Column& column = columns_[static_cast<std::size_t>(index)];
      if (column.active) continue;
      column.active = true;
      column.erasing = false;
      column.erased = 0;
      column.row = 0;
      DrawCell(index, 0, Qt::white);
      break;
    }
  }
  for (int index = 0; index < count; ++index) {
    Column& column = columns_[static_cast<std::size_t>(index)];
    if (!column.active) continue;
    if (!column.erasing) {
      DrawCell(index, column.row, textColour_);
      if (column.row > 0) {
        const int green = column.cells[static_cast<std::size_t>(column.row - 1)].green;
        DrawCell(index, column.row - 1, QColor(0, green, 0));
      }
      ++column.row;
      if (column.row >= static_cast<int>(column.cells.size()) || column.row >= kMaxRow) column.erasing = true;
    } else if (ActiveColumnCount() > kActiveBeforeErasing) {
      DrawCell(index, column.erased, backColour_, true);
      if (++column.erased >= static_cast<int>(column.cells.size())) {
        FillFromLine(column);
        column.active = false;
        column.erasing = false;
        column.row = 0;
      }
    }
  }
  if (lineIndex_ == -1 && !finished_) DrawEnding();
}

void CFallingTextWnd::DrawEnding() {
  zoom_ *= kZoomStep;
  QPainter painter(&rain_);
  if (zoom_ >= kEndZoom) {
    timers_->Stop(kRainTimer);
    painter.fillRect(rect(), backColour_);
    painter.setFont(font_);
    painter.setPen(textColour_);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, closingText_);
    finished_ = true;
    Q_EMIT AnimationFinished();
    return;
  }
  const QSizeF size = kAboutEmblemSize * (zoom_ / 100.0);
  const QRectF target(QPointF(width() / 2.0 - size.width() / 2, height() / 2.0 - size.height() / 2), size);
  painter.setClipRect(rect());
  PaintAboutEmblem(painter, target);
}

void CFallingTextWnd::ComposeFrame() {
  picture_ = rain_.copy();
  QPainter painter(&picture_);
  painter.setFont(font_);
  const QFontMetrics metrics(font_);
  const int middle = height() / 2;
  const QString line = CurrentLine();
  if (lineReached_ && !line.isEmpty()) {
    // The line appears where the banner has passed, on a black band.
    const int lineWidth = metrics.horizontalAdvance(line);
    const QRect band(targetX_ - 4, middle - charHeight_ / 2 - 2, lineWidth + 8, charHeight_ + 4);
    painter.save();
    painter.setClipRect(QRect(0, 0, std::max(0, bannerX_), height()));
    painter.fillRect(band, backColour_);
    painter.setPen(textColour_);
    painter.drawText(QRect(0, middle - charHeight_ / 2, width(), charHeight_), Qt::AlignCenter | Qt::TextSingleLine,
                     line);
    painter.restore();
  }
  if (!horizontalBanner_.isEmpty()) {
    painter.setPen(QColor(170, 255, 170));
    painter.drawText(QPoint(bannerX_, middle + metrics.ascent() / 2), horizontalBanner_);
  }
  if (!verticalBanner_.isEmpty()) {
    painter.setPen(QColor(120, 230, 120));
    const int x = width() / 2 - charWidth_ / 2;
    for (int i = 0; i < verticalBanner_.size(); ++i)
      painter.drawText(QPoint(x, bannerY_ + i * charHeight_ + metrics.ascent()), QString(verticalBanner_[i]));
  }
  painter.end();
  update();
}

void CFallingTextWnd::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect(), picture_,
                    QRectF(QPointF(event->rect().topLeft()) * picture_.devicePixelRatio(),
                           QSizeF(event->rect().size()) * picture_.devicePixelRatio()));
  // A sunken edge: shaded above and left, lit below and right.
  painter.setPen(QColor(16, 17, 19));
  painter.drawLine(0, 0, width() - 1, 0);
  painter.drawLine(0, 0, 0, height() - 1);
  painter.setPen(QColor(110, 115, 123));
  painter.drawLine(0, height() - 1, width() - 1, height() - 1);
  painter.drawLine(width() - 1, 0, width() - 1, height() - 1);
}

void CFallingTextWnd::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  RecreatePictures();
  ComposeFrame();
}

}  // namespace vantor::shell
