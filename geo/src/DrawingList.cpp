#include "vantor/geo/DrawingList.h"

#include <charconv>
#include <fstream>
#include <string>
#include <system_error>

#include "vantor/geo/MapFiles.h"

namespace vantor::geo {
namespace {

// "%f" without the C locale's say in the decimal separator.
void AppendFixed6(std::string& out, double value) {
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  out.append(buffer, result.ptr);
}

}  // namespace

void DrawingList::StartDrawing() {
  points_.push_back(GeoPoint{});
  drawingMode_ = true;
}

void DrawingList::AddDrawingPoint(double latitude, double longitude) {
  points_.push_back(GeoPoint{latitude, longitude});
}

bool DrawingList::UndoDrawingPoint() {
  if (!drawingMode_ || points_.empty()) return false;
  points_.pop_back();
  return true;
}

std::string FormatDrawingLine(const GeoPoint& point) {
  std::string line;
  AppendFixed6(line, point.latitude);
  line += '\t';
  AppendFixed6(line, point.longitude);
  return line;
}

DrawingSaveStatus DrawingList::SaveDrawing(const std::filesystem::path& file) const {
  // Written beside the target and renamed over it, so a failed write never
  // leaves a truncated drawing behind.
  std::filesystem::path temporary = file;
  temporary += ".new";
  {
    std::ofstream out(temporary, std::ios::trunc);  // text mode: the platform's line end
    if (!out) return DrawingSaveStatus::CannotCreate;
    std::string text;
    text.reserve(points_.size() * 24);
    for (const GeoPoint& point : points_) {
      text += FormatDrawingLine(point);
      text += '\n';
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return DrawingSaveStatus::CannotCreate;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, file, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return DrawingSaveStatus::CannotCreate;
  }
  return DrawingSaveStatus::Saved;
}

bool DrawingList::LoadDrawing(const std::filesystem::path& file) { return AppendPointFile(file, points_); }

}  // namespace vantor::geo
