#pragma once
// The controller's free-hand drawing over the scope: geographic points,
// strokes separated by (0, 0), kept in "dessin.dat".

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "vantor/geo/Geodesy.h"

namespace vantor::geo {

inline constexpr std::string_view kDrawingFileName = "dessin.dat";

enum class DrawingSaveStatus {
  Saved,
  CannotCreate,  // the user sees TextId::GeoCantCreateFile; the old file is left as it was
};

// Strokes loaded from the file and strokes drawn afterwards accumulate; the
// list is never cleared. Every drawing begins with a separator, so strokes
// stay apart in memory, in the file and after reloading.
class DrawingList {
 public:
  // Appends a separator and switches drawing mode on.
  void StartDrawing();
  void StopDrawing() { drawingMode_ = false; }
  bool DrawingMode() const { return drawingMode_; }

  void AddDrawingPoint(double latitude, double longitude);
  // Removes the last point (a separator counts) while drawing mode is on;
  // false when nothing was removed.
  bool UndoDrawingPoint();

  // Writes every point as "%f\t%f" (latitude, longitude), one per line,
  // replacing the file only once the whole list is written.
  DrawingSaveStatus SaveDrawing(const std::filesystem::path& file) const;
  // Appends the points of the file; "#" lines are skipped, unreadable lines
  // become separators. A missing file is no error: false, nothing added.
  bool LoadDrawing(const std::filesystem::path& file);

  const std::vector<GeoPoint>& Points() const { return points_; }
  std::size_t Size() const { return points_.size(); }
  bool Empty() const { return points_.empty(); }

 private:
  std::vector<GeoPoint> points_;
  bool drawingMode_ = false;
};

// One line of the drawing file, without its line end.
std::string FormatDrawingLine(const GeoPoint& point);

}  // namespace vantor::geo
