#include "vantor/scope/CRivakView.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cstdlib>

#include "vantor/model/CRivakDoc.h"
#include "vantor/model/ClientSettings.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/scope/DocumentSensors.h"
#include "vantor/scope/ScopeMapData.h"
#include "vantor/scope/TacticalReadouts.h"
#include "vantor/texts/QText.h"
#include "vantor/texts/Texts.h"

namespace vantor::scope {
namespace {

// One notch of a mouse wheel; finer wheels and touch pads add up to it.
constexpr int kWheelNotch = 120;

std::optional<MouseButton> ToolButton(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return MouseButton::Left;
    case Qt::MiddleButton:
      return MouseButton::Middle;
    case Qt::RightButton:
      return MouseButton::Right;
    default:
      return std::nullopt;
  }
}

}  // namespace

CRivakView::CRivakView(Environment environment, QWidget* parent)
    : QWidget(parent),
      env_(std::move(environment)),
      tools_(env_.document, geometry_, options_),
      map_(std::make_unique<ScopeMapData>()),
      readout_(new CursorReadoutWidget(this)) {
  setObjectName(QStringLiteral("scope"));
  setAttribute(Qt::WA_OpaquePaintEvent);  // the picture covers everything; no background erase
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  tools_.SetDrawing(&map_->drawing);
  preparer_.SetTextWidth(painter_.TextWidth());

  if (env_.store != nullptr) {
    options_.rangeRingsShown = env_.store->ReadInt(model::kClientSettingsSection, kViewCircleSetting, 1) != 0;
    options_.coastlineIntensity =
        env_.store->ReadInt(model::kClientSettingsSection, kIntensitySetting, kDefaultCoastlineIntensity);
  }

  timer_.setInterval(kScopeTimerMs);
  connect(&timer_, &QTimer::timeout, this, &CRivakView::Tick);
  UpdateCursor();
}

CRivakView::~CRivakView() {
  if (env_.store != nullptr) {
    env_.store->WriteInt(model::kClientSettingsSection, kViewCircleSetting, options_.rangeRingsShown ? 1 : 0);
    env_.store->Sync();
  }
  // The drawing goes back to its file when the scope goes away.
  if (!SaveDrawing())
    qWarning("Vantor: %s: %s", Text(TextId::GeoCantCreateFile, Language::English), map_->drawingFile.string().c_str());
}

void CRivakView::SetMapData(std::unique_ptr<ScopeMapData> data) {
  if (!data) return;
  map_ = std::move(data);
  mapGiven_ = true;
  tools_.SetDrawing(&map_->drawing);
  geometry_.MarkCoastlineStale();
}

void CRivakView::LoadMapData() {
  map_ = ScopeMapData::Load(env_.dataFolders);
  tools_.SetDrawing(&map_->drawing);
  geometry_.MarkCoastlineStale();
  if (!map_->ElevationLoaded()) Q_EMIT MapDataMissing(QText(TextId::GeoElevationMissing, Language::English));
}

void CRivakView::StartDrawing() {
  map_->drawing.StartDrawing();
  UpdateCursor();
}

void CRivakView::StopDrawing() {
  map_->drawing.StopDrawing();
  UpdateCursor();
}

bool CRivakView::SaveDrawing() {
  if (map_->drawingFile.empty()) return true;
  return map_->drawing.SaveDrawing(map_->drawingFile) == geo::DrawingSaveStatus::Saved;
}

void CRivakView::SetPickingMode(bool on) {
  tools_.SetPickingMode(on);
  UpdateCursor();
}

void CRivakView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!shown_) {
    shown_ = true;
    FirstShow();
  }
}

void CRivakView::FirstShow() {
  timer_.start();
  ApplyCentring(geometry_.FirstShow(DocumentCentringSources(env_.document)));
  if (!mapGiven_) LoadMapData();
  UpdateGeometry();
}

void CRivakView::UpdateGeometry() {
  const PixelRect rect{0, 0, width(), height()};
  const PixelRect area = geometry_.UpdateGeometry(rect, rect);
  UpdateStatusFlags(status_, env_.document, geometry_.CentringCommand());
  update(QRect(QPoint(area.left, area.top), QPoint(area.right - 1, area.bottom - 1)));
}

void CRivakView::Tick() {
  options_.alertFlashOn = !options_.alertFlashOn;
  UpdateGeometry();
  UpdateCursor();
  UpdateReadout();  // the setting may have changed
}

void CRivakView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  UpdateGeometry();
  update();
}

void CRivakView::OnCentringCommand(int command) {
  ApplyCentring(geometry_.OnCentringCommand(command, DocumentCentringSources(env_.document)));
}

void CRivakView::ApplyCentring(const CentringResult& result) {
  if (!result.handled) return;
  if (result.clearRadarOutOfOrder) status_.radarOutOfOrder = false;
  Q_EMIT CentringChanged(result);
  if (result.updateAllViews) update();
}

void CRivakView::CentreOn(double latitude, double longitude) {
  geometry_.CentreOn({latitude, longitude});
  geometry_.MarkCoastlineStale();
  update();
}

void CRivakView::SetRangeKm(unsigned rangeKm) {
  geometry_.SetRangeKm(rangeKm);
  update();
}

void CRivakView::SetAirfieldMode(bool on) {
  geometry_.SetAirfieldMode(on);
  geometry_.MarkCoastlineStale();
  update();
}

void CRivakView::SetSidePanelHidden(bool hidden) {
  const unsigned before = geometry_.RangeKm();
  geometry_.SetSidePanelHidden(hidden);
  if (geometry_.RangeKm() != before)
    Q_EMIT RangeChanged(geometry_.RangeKm(), RangeLegendBitmap(geometry_.RangeKm(), env_.settings.imperial != 0));
  update();
}

const ScopeFrame& CRivakView::PrepareFrame(QSize size) {
  const LabelMetrics labels = painter_.MeasureLabels(env_.settings.fontSize);
  return preparer_.Prepare(FrameSources{env_.document, env_.settings, geometry_, options_, status_, *map_,
                                        tools_.Markers(), cursor_ ? tools_.MeasureTo(*cursor_) : std::nullopt,
                                        size.width(), size.height(), labels});
}

void CRivakView::PaintInto(QImage& image) {
  // A frame is prepared for every paint, so the tools and the document see
  // the positions the screen shows.
  const ScopeFrame& frame = PrepareFrame(image.size());
  painter_.Paint(image, frame);
}

QImage CRivakView::RenderImage() {
  const PixelRect rect{0, 0, width(), height()};
  geometry_.UpdateGeometry(rect, rect);
  QImage image(size(), QImage::Format_RGB32);
  if (!image.isNull()) PaintInto(image);
  return image;
}

void CRivakView::paintEvent(QPaintEvent* event) {
  if (picture_.size() != size()) picture_ = QImage(size(), QImage::Format_RGB32);
  if (picture_.isNull()) return;
  PaintInto(picture_);
  QPainter window(this);
  window.drawImage(event->rect(), picture_, event->rect());
}

void CRivakView::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  cursor_ = at;
  // Ctrl with a button is the aids' own while they are switched on: the
  // plain tools never see it then.
  if (event->modifiers().testFlag(Qt::ControlModifier)) {
    if (event->button() == Qt::RightButton && AidsMenuOffered()) {
      event->accept();
      ShowAidsMenu(at);
      return;
    }
    if (event->button() == Qt::LeftButton && env_.settings.showBraa) {
      event->accept();
      tools_.OnSelectForBraa(at);
      update();
      return;
    }
  }
  const auto button = ToolButton(event->button());
  if (!button) return QWidget::mousePressEvent(event);
  DispatchToolRequest(tools_.OnButtonDown(*button, at));
  event->accept();
}

void CRivakView::mouseReleaseEvent(QMouseEvent* event) {
  cursor_ = event->position().toPoint();
  const auto button = ToolButton(event->button());
  if (!button) return QWidget::mouseReleaseEvent(event);
  tools_.OnButtonUp(*button);
  event->accept();
}

void CRivakView::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  cursor_ = at;
  const auto button = ToolButton(event->button());
  if (!button) return QWidget::mouseDoubleClickEvent(event);
  DispatchToolRequest(tools_.OnDoubleClick(*button, at));
  event->accept();
}

void CRivakView::mouseMoveEvent(QMouseEvent* event) {
  // The measuring line follows the cursor at the next paint.
  cursor_ = event->position().toPoint();
  mouseInside_ = rect().contains(*cursor_);
  UpdateReadout();
  QWidget::mouseMoveEvent(event);
}

void CRivakView::leaveEvent(QEvent* event) {
  mouseInside_ = false;
  readout_->hide();
  QWidget::leaveEvent(event);
}

void CRivakView::UpdateReadout() {
  if (!env_.settings.showCursorReadout || !cursor_ || !mouseInside_) {
    readout_->hide();
    return;
  }
  const auto position = geometry_.ScreenToGeo(cursor_->x(), cursor_->y());
  if (!position) return readout_->hide();
  std::optional<GeoPoint> bullseye;
  if (env_.settings.bullseye && env_.settings.BullseyeSet())
    bullseye = GeoPoint{env_.settings.bullseyeLatitude, env_.settings.bullseyeLongitude};
  readout_->ShowLines(CursorReadoutLines(*position, bullseye, env_.settings.imperial));
}

void CRivakView::SetBullseye(GeoPoint position) {
  env_.settings.bullseye = true;
  env_.settings.bullseyeLatitude = position.latitude;
  env_.settings.bullseyeLongitude = position.longitude;
  if (env_.store != nullptr) env_.settings.StoreBullseye(*env_.store);
  update();
}

void CRivakView::RemoveBullseye() {
  env_.settings.bullseye = false;
  if (env_.store != nullptr) env_.settings.StoreBullseye(*env_.store);
  update();
}

bool CRivakView::AidsMenuOffered() const { return env_.settings.bullseye || env_.settings.showBraa; }

void CRivakView::ShowAidsMenu(QPoint at) {
  const Language language = env_.settings.language;
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("scopeAidsMenu"));
  const auto position = geometry_.ScreenToGeo(at.x(), at.y());
  QAction* set = menu.addAction(QText(TextId::ScopeSetBullseye, language));
  set->setEnabled(position.has_value());
  QAction* remove = menu.addAction(QText(TextId::ScopeRemoveBullseye, language));
  remove->setEnabled(env_.settings.bullseye && env_.settings.BullseyeSet());
  QAction* endBraa = menu.addAction(QText(TextId::ScopeClearBraa, language));
  endBraa->setEnabled(options_.braaFriendly.has_value());
  QAction* chosen = menu.exec(mapToGlobal(at));
  if (chosen == set && position)
    SetBullseye(*position);
  else if (chosen == remove)
    RemoveBullseye();
  else if (chosen == endBraa) {
    options_.braaFriendly.reset();
    update();
  }
}

void CRivakView::wheelEvent(QWheelEvent* event) {
  wheelDelta_ += event->angleDelta().y();
  event->accept();
  while (std::abs(wheelDelta_) >= kWheelNotch) {
    const int notch = wheelDelta_ > 0 ? kWheelNotch : -kWheelNotch;
    wheelDelta_ -= notch;
    const WheelResult result = geometry_.OnWheel(notch, env_.settings.imperial != 0);
    if (result.notifyPanel) Q_EMIT RangeChanged(geometry_.RangeKm(), result.legendBitmap);
    if (result.rangeChanged) update();
  }
}

void CRivakView::keyPressEvent(QKeyEvent* event) {
  if (event->isAutoRepeat() && event->key() == Qt::Key_Space) {
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_Menu && AidsMenuOffered()) {
    event->accept();
    ShowAidsMenu(cursor_.value_or(rect().center()));
    return;
  }
  if (tools_.OnKey(event->key(), cursor_)) {
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void CRivakView::UndoDrawingPoint() { tools_.OnUndo(); }

void CRivakView::DispatchToolRequest(const ToolRequest& request) {
  if (request.pickedContact) Q_EMIT ContactPicked(*request.pickedContact);
  if (request.callsignContact) Q_EMIT CallsignRequested(*request.callsignContact);
  UpdateCursor();
}

void CRivakView::UpdateCursor() {
  switch (tools_.Cursor()) {
    case ScopeCursor::UpArrow:
      setCursor(Qt::UpArrowCursor);
      break;
    case ScopeCursor::PointingHand:
      setCursor(Qt::PointingHandCursor);
      break;
    case ScopeCursor::Cross:
      setCursor(Qt::CrossCursor);
      break;
  }
}

}  // namespace vantor::scope
