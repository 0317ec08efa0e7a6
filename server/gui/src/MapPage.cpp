#include "vantor/server/gui/MapPage.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "vantor/server/MapPageGeometry.h"
#include "vantor/server/gui/ServerStyle.h"
#include "vantor/server/gui/TheatreMap.h"
#include "vantor/texts/QText.h"

namespace vantor::server::gui {
namespace {

QString Degrees(double value) { return QString::number(value, 'f', 5); }

}  // namespace

MapView::MapView(const QImage& base, ServerConfig& config, MapSide side, Language language, QWidget* parent)
    : QWidget(parent), base_(base), config_(config), side_(side), language_(language) {
  setObjectName(QStringLiteral("mapView"));
  setFixedSize(kMapWidth, kMapHeight);
  if (side_ != MapSide::ViewOnly) setCursor(Qt::CrossCursor);
}

QSize MapView::sizeHint() const { return {kMapWidth, kMapHeight}; }

QImage MapView::Picture() const {
  QImage picture;
  if (base_.size() == QSize(kMapWidth, kMapHeight)) {
    picture = base_.convertToFormat(QImage::Format_RGB32);
  } else {
    picture = QImage(kMapWidth, kMapHeight, QImage::Format_RGB32);
    picture.fill(Qt::black);
  }
  PaintCoverage(picture, config_, language_);
  return picture;
}

void MapView::paintEvent(QPaintEvent*) {
  // Composed off screen, then copied in one piece.
  const QImage picture = Picture();
  QPainter painter(this);
  painter.drawImage(0, 0, picture);
}

void MapView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (side_ == MapSide::ViewOnly) return;
  const QPoint at = event->position().toPoint();
  const geo::GeoPoint placed = PlacedAt(at.x(), at.y());
  const int index = side_ == MapSide::Blue ? 0 : 1;
  config_.block.awacsLatitude[index] = placed.latitude;
  config_.block.awacsLongitude[index] = placed.longitude;
  update();
  Q_EMIT AwacsPlaced();
}

MapPage::MapPage(const QImage& base, ServerConfig& config, MapSide side, Language language, bool coastlineFound,
                 QWidget* parent)
    : QDialog(parent), config_(config), language_(language) {
  setObjectName(QStringLiteral("mapPage"));
  setWindowTitle(QText(TextId::SrvMapCaption, language));
  ApplyServerStyle(*this);

  view_ = new MapView(base, config, side, language, this);
  auto* hint = new QLabel(this);
  hint->setObjectName(QStringLiteral("hint"));
  if (side == MapSide::ViewOnly) {
    hint->setText(QText(TextId::SrvMapViewOnly, language));
  } else {
    const TextId sideName = side == MapSide::Blue ? TextId::SrvCoalitionBlue : TextId::SrvCoalitionRed;
    hint->setText(QText(TextId::SrvMapPlaceHint, language).arg(QText(sideName, language)));
  }
  positions_ = new QLabel(this);
  positions_->setObjectName(QStringLiteral("positions"));
  positions_->setProperty("role", QStringLiteral("caption"));
  auto* missing = new QLabel(QText(TextId::SrvMapNoCoastline, language), this);
  missing->setObjectName(QStringLiteral("noCoastline"));
  missing->setStyleSheet(QStringLiteral("color: rgb(235, 180, 70);"));
  missing->setVisible(!coastlineFound);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QText(TextId::Ok, language));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_, 0, Qt::AlignHCenter);
  layout->addWidget(missing);
  auto* row = new QHBoxLayout;
  auto* texts = new QVBoxLayout;
  texts->addWidget(hint);
  texts->addWidget(positions_);
  row->addLayout(texts, 1);
  row->addWidget(buttons, 0, Qt::AlignBottom);
  layout->addLayout(row);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(view_, &MapView::AwacsPlaced, this, &MapPage::ShowPositions);
  ShowPositions();
}

void MapPage::ShowPositions() {
  QStringList lines;
  for (int side = 0; side < 2; ++side) {
    if (config_.block.awacsMode[side] == 0) continue;
    const TextId name = side == 0 ? TextId::SrvCoalitionBlue : TextId::SrvCoalitionRed;
    lines += QText(TextId::SrvMapAwacsAt, language_)
                 .arg(QText(name, language_), Degrees(config_.block.awacsLatitude[side]),
                      Degrees(config_.block.awacsLongitude[side]));
  }
  positions_->setText(lines.join(QStringLiteral("     ")));
}

}  // namespace vantor::server::gui
