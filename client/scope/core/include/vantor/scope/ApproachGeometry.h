#pragma once
// The approach to the runway of the airfield the scope is centred on, in
// airfield mode: which end the aircraft land at (the wind decides), the
// extended centreline the scope draws beyond it, and the region on the
// scope past that end, over the runway and beyond, where an aircraft is no
// longer on the approach. The approach profile view reads it.

#include <array>
#include <cstdint>
#include <optional>

#include "vantor/geo/Geodesy.h"
#include "vantor/scope/ScopeProjection.h"

namespace vantor::model {
struct CAirfield;
}

namespace vantor::scope {

// Which runway end the approach aids use.
struct ApproachEnd {
  bool atFirstEnd = true;
  std::optional<bool> flipped;  // the new activeEndFlipped, when the wind decides it
};
// With no wind (0) or at Adler the record's usual end, flag untouched;
// otherwise the other end when the wind blows within 90 degrees of the
// runway heading (or exactly along it), the usual end when it does not.
ApproachEnd ChooseApproachEnd(const model::CAirfield& runway, unsigned windDirectionDeg);

struct ScreenSegment {
  ScreenPoint from;
  ScreenPoint to;
  bool operator==(const ScreenSegment&) const = default;
};
// The extended centreline from the approach end outwards: seven runway
// lengths beyond end 1, or six beyond end 2. Far points saturate.
ScreenSegment ExtendedCentreline(bool atFirstEnd, ScreenPoint end1, ScreenPoint end2);

class ApproachGeometry {
 public:
  // `runway` as it stands after the wind's choice was recorded in it;
  // `end1` and `end2` are its ends on the scope.
  ApproachGeometry(const model::CAirfield& runway, bool atFirstEnd, ScreenPoint end1, ScreenPoint end2);

  // The Airports menu command that selects the airfield.
  int MenuId() const { return menuId_; }
  // The approach ends at end 1 of the record (else at end 2).
  bool AtFirstEnd() const { return atFirstEnd_; }
  // The record's usual end, and whether the wind has made the scope use the
  // other one (the record's activeEndFlipped).
  bool ApproachAtFirstEnd() const { return approachAtFirstEnd_; }
  bool ActiveEndFlipped() const { return activeEndFlipped_; }
  // The runway end the approach ends at, and the other end.
  const geo::GeoPoint& Threshold() const { return threshold_; }
  const geo::GeoPoint& FarEnd() const { return farEnd_; }
  int FieldElevationM() const { return fieldElevationM_; }

  // Screen points of the frame the geometry was prepared for.
  ScreenPoint ThresholdOnScreen() const { return thresholdOnScreen_; }
  ScreenPoint FarEndOnScreen() const { return farEndOnScreen_; }
  // From the threshold, eight runway lengths out over the runway, eight
  // runway lengths wide on either side of it (corners in order).
  const std::array<ScreenPoint, 4>& Region() const { return region_; }
  // The point lies in the region (alternate fill rule: left and top edges
  // belong to it, horizontal edges count for nothing).
  bool InRegion(ScreenPoint point) const;

 private:
  int menuId_ = 0;
  bool atFirstEnd_ = true;
  bool approachAtFirstEnd_ = true;
  bool activeEndFlipped_ = false;
  geo::GeoPoint threshold_;
  geo::GeoPoint farEnd_;
  int fieldElevationM_ = 0;
  ScreenPoint thresholdOnScreen_;
  ScreenPoint farEndOnScreen_;
  std::array<ScreenPoint, 4> region_{};
};

}  // namespace vantor::scope
