#pragma once
// The map page's picture: 754 x 303 pixels over longitudes 33 to 43 east
// and latitudes 42 to about 46.02 north, the coverage ellipses drawn on it
// and the double click that places an AWACS. Plain C++.

#include "vantor/geo/Geodesy.h"

namespace vantor::server {

inline constexpr int kMapWidth = 754;
inline constexpr int kMapHeight = 303;
inline constexpr double kMapPixelsPerDegree = 75.41478129713424;
inline constexpr double kMapWestLongitude = 33.0;
inline constexpr double kMapSouthLatitude = 42.0;
// What a double click reads, degrees per pixel from the 46th parallel.
inline constexpr double kMapClickDegreesPerPixel = 0.01326;
inline constexpr double kMapClickNorthLatitude = 46.0;

struct MapPoint {
  double x = 0.0;
  double y = 0.0;
};

// Where a position is drawn.
MapPoint MapPixelOf(const geo::GeoPoint& point);
// The position a double click at pixel (x, y) places.
geo::GeoPoint PlacedAt(int x, int y);

// Half-width and half-height in pixels of a coverage of `rangeKm`.
struct CoverageAxes {
  int halfWidth = 0;
  int halfHeight = 0;
};
CoverageAxes CoverageAxesOf(int rangeKm);

}  // namespace vantor::server
