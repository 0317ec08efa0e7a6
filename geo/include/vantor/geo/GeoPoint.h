#pragma once
// The one geographic position of the tree: what the feed reports, what the
// client projects, what the data builders and the mission generator work in.

namespace vantor::geo {

// Latitude and longitude in decimal degrees, north and east positive.
struct GeoPoint {
  double latitude = 0.0;
  double longitude = 0.0;

  // (0, 0) separates polylines in the map and drawing files.
  bool IsSeparator() const { return latitude == 0.0 && longitude == 0.0; }
  bool operator==(const GeoPoint&) const = default;
};

}  // namespace vantor::geo
