#pragma once
// Short-term conflict alert between friendly aircraft: every pair whose
// straight-line extrapolation brings them within the horizontal and
// vertical minima inside the look-ahead time. Pairs are found through a
// grid over the swept paths, so a large table costs about n, not n².

#include <QString>

#include <optional>
#include <vector>

#include "vantor/geo/GeoPoint.h"

namespace vantor::scope {

inline constexpr double kConflictHorizontalM = 1852.0;  // 1 NM
inline constexpr double kConflictVerticalM = 304.8;     // 1,000 ft
inline constexpr double kConflictLookAheadS = 60.0;
inline constexpr double kFormationSpeedMps = 10.0;  // 36 km/h

// One aircraft as last reported. Altitudes are held level: the reports give
// no climb rate worth extrapolating.
struct ConflictTrack {
  int id = 0;
  geo::GeoPoint position;
  double altitudeM = 0.0;
  double headingRad = 0.0;  // clockwise from north
  double speedKmh = 0.0;
};

struct Conflict {
  int first = 0;  // indices into the tracks, first < second
  int second = 0;
  double secondsToConflict = 0.0;  // 0 while already inside the minima
};

struct ConflictMinima {
  double horizontalM = kConflictHorizontalM;
  double verticalM = kConflictVerticalM;
  double lookAheadS = kConflictLookAheadS;
  // Pairs already within the minima that move together slower than this
  // fly in formation and are not alerted.
  double formationSpeedMps = kFormationSpeedMps;
};

// The time from now, within the look-ahead, at which two tracks first come
// within the minima; nullopt when they do not.
std::optional<double> TimeToConflict(const ConflictTrack& a, const ConflictTrack& b, const ConflictMinima& minima = {});

class ConflictDetector {
 public:
  // Every conflicting pair, ordered by time to conflict, then by indices.
  const std::vector<Conflict>& Find(const std::vector<ConflictTrack>& tracks, const ConflictMinima& minima = {});

 private:
  struct Swept {
    double minX, minY, maxX, maxY;
  };
  std::vector<Swept> swept_;
  std::vector<long long> cellKeys_;  // (cell, track) pairs packed for sorting
  std::vector<Conflict> conflicts_;
};

// "CONFLICT first/second 0:35".
QString ConflictText(const QString& first, const QString& second, double secondsToConflict);

}  // namespace vantor::scope
