#include "vantor/server/MapPageGeometry.h"

namespace vantor::server {

MapPoint MapPixelOf(const geo::GeoPoint& point) {
  return {(point.longitude - kMapWestLongitude) * kMapPixelsPerDegree,
          kMapHeight - (point.latitude - kMapSouthLatitude) * kMapPixelsPerDegree};
}

geo::GeoPoint PlacedAt(int x, int y) {
  return {kMapClickNorthLatitude - y * kMapClickDegreesPerPixel, kMapWestLongitude + x * kMapClickDegreesPerPixel};
}

CoverageAxes CoverageAxesOf(int rangeKm) {
  return {static_cast<int>(rangeKm * 0.9), static_cast<int>(rangeKm * 0.75)};
}

}  // namespace vantor::server
