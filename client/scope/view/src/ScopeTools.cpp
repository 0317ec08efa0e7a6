#include "vantor/scope/ScopeTools.h"

#include <Qt>

#include <mutex>

#include "vantor/geo/DrawingList.h"
#include "vantor/model/CRivakDoc.h"
#include "vantor/scope/ScopeGeometry.h"
#include "vantor/scope/ScopeStatus.h"

namespace vantor::scope {

std::optional<int> HitTestContact(const model::CRivakDoc& document, int x, int y) {
  std::lock_guard lock(document.ContactTableLock());
  std::optional<int> hit;
  for (const model::CContact& contact : document.Contacts()) {
    if (contact.screenX == 0 || contact.screenY == 0) continue;
    if (x >= contact.screenX - kHitHalfSize && x < contact.screenX + kHitHalfSize &&
        y >= contact.screenY - kHitHalfSize && y < contact.screenY + kHitHalfSize)
      hit = contact.id;
  }
  return hit;
}

ScopeTools::ScopeTools(model::CRivakDoc& document, ScopeGeometry& geometry, ScopeOptions& options)
    : document_(document), geometry_(geometry), options_(options) {}

bool ScopeTools::DrawingMode() const { return drawing_ != nullptr && drawing_->DrawingMode(); }

ToolRequest ScopeTools::OnButtonDown(MouseButton button, QPoint at) {
  ToolRequest request;
  switch (button) {
    case MouseButton::Left:
      if (DrawingMode()) {
        if (const auto position = geometry_.ScreenToGeo(at.x(), at.y()))
          drawing_->AddDrawingPoint(position->latitude, position->longitude);
      } else if (pickingMode_) {
        request.pickedContact = HitTestContact(document_, at.x(), at.y());
      } else {
        options_.labelsShown = true;
      }
      break;
    case MouseButton::Middle:
      options_.labelsShown = true;
      break;
    case MouseButton::Right:
      measuring_ = true;
      anchor_ = at;
      break;
  }
  return request;
}

void ScopeTools::OnButtonUp(MouseButton button) {
  switch (button) {
    case MouseButton::Left:
      if (!options_.labelsOption) options_.labelsShown = false;
      break;
    case MouseButton::Middle:
      options_.labelsShown = false;  // whatever the panel's option says
      break;
    case MouseButton::Right:
      measuring_ = false;
      break;
  }
}

ToolRequest ScopeTools::OnDoubleClick(MouseButton button, QPoint at) {
  ToolRequest request;
  if (button == MouseButton::Left) {
    request.callsignContact = HitTestContact(document_, at.x(), at.y());
  } else if (button == MouseButton::Right) {
    request.recentred = geometry_.OnRightDoubleClick(at.x(), at.y());
  }
  return request;
}

bool ScopeTools::OnKey(int key, std::optional<QPoint> cursor) {
  if (key != Qt::Key_Space) return false;
  if (!cursor) return true;
  if (const auto position = geometry_.ScreenToGeo(cursor->x(), cursor->y())) markers_.push_back(*position);
  return true;
}

std::optional<int> ScopeTools::OnSelectForBraa(QPoint at) {
  std::optional<int> chosen;
  if (const auto hit = HitTestContact(document_, at.x(), at.y())) {
    std::lock_guard lock(document_.ContactTableLock());
    const model::CContact* contact = document_.FindContact(*hit);
    if (contact != nullptr && contact->friendly && options_.braaFriendly != hit) chosen = hit;
  }
  options_.braaFriendly = chosen;
  return chosen;
}

bool ScopeTools::OnUndo() { return DrawingMode() && drawing_->UndoDrawingPoint(); }

ScopeCursor ScopeTools::Cursor() const {
  if (DrawingMode()) return ScopeCursor::UpArrow;
  if (pickingMode_) return ScopeCursor::PointingHand;
  return ScopeCursor::Cross;
}

std::optional<MeasureLine> ScopeTools::MeasureTo(QPoint cursor) const {
  if (!measuring_) return std::nullopt;
  return MeasureLine{anchor_, cursor};
}

}  // namespace vantor::scope
