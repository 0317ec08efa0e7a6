#pragma once
// The scope's direct tools: drawing points, picking contacts for the
// information panel, labels while a button is held, the range-and-bearing
// line, markers dropped with the space bar, the callsign dialog on a
// double-click, undo of drawing points. None repaints by itself: changes
// show at the next paint.

#include <QPoint>

#include <optional>
#include <vector>

#include "vantor/geo/Geodesy.h"
#include "vantor/scope/MeasureLine.h"

namespace vantor::model {
class CRivakDoc;
}
namespace vantor::geo {
class DrawingList;
}

namespace vantor::scope {

class ScopeGeometry;
struct ScopeOptions;

// Half the side of the square around a contact's screen point that a click
// must fall in; the square includes its left and top edges only.
inline constexpr int kHitHalfSize = 5;

// The contact whose square around its screen point in the last prepared
// frame holds (x, y); the last one in table order when several do. Contacts
// never placed (a 0 screen coordinate) are never hit. Takes the contact
// lock.
std::optional<int> HitTestContact(const model::CRivakDoc& document, int x, int y);

enum class MouseButton { Left, Middle, Right };
enum class ScopeCursor { UpArrow, PointingHand, Cross };

// What a handler asks the view to pass on.
struct ToolRequest {
  std::optional<int> pickedContact;    // for the information panel
  std::optional<int> callsignContact;  // open the callsign dialog for this contact
  bool recentred = false;
};

class ScopeTools {
 public:
  ScopeTools(model::CRivakDoc& document, ScopeGeometry& geometry, ScopeOptions& options);

  // The drawing the left button adds to; none until the map data exists.
  void SetDrawing(geo::DrawingList* drawing) { drawing_ = drawing; }
  bool DrawingMode() const;
  // The information panel waits for contacts to be picked.
  void SetPickingMode(bool on) { pickingMode_ = on; }
  bool PickingMode() const { return pickingMode_; }

  ToolRequest OnButtonDown(MouseButton button, QPoint at);
  void OnButtonUp(MouseButton button);
  ToolRequest OnDoubleClick(MouseButton button, QPoint at);
  // The space bar drops a marker where the cursor is; other keys are not
  // the scope's. True when the key was used.
  bool OnKey(int key, std::optional<QPoint> cursor);
  // Removes the last drawing point while drawing; true when one went.
  bool OnUndo();
  // Ctrl + left click: a friendly contact under the click becomes the one
  // BRAA calls are given from; clicking it again, or anything else, ends
  // the calls. The new choice.
  std::optional<int> OnSelectForBraa(QPoint at);

  ScopeCursor Cursor() const;
  // The line to draw while the right button is held, to the cursor.
  std::optional<MeasureLine> MeasureTo(QPoint cursor) const;
  bool Measuring() const { return measuring_; }
  QPoint MeasureAnchor() const { return anchor_; }
  const std::vector<geo::GeoPoint>& Markers() const { return markers_; }

 private:
  model::CRivakDoc& document_;
  ScopeGeometry& geometry_;
  ScopeOptions& options_;
  geo::DrawingList* drawing_ = nullptr;
  bool pickingMode_ = false;
  bool measuring_ = false;
  QPoint anchor_;
  std::vector<geo::GeoPoint> markers_;
};

}  // namespace vantor::scope
