#include "vantor/scope/ConflictAlert.h"

#include <algorithm>
#include <cmath>

#include "vantor/geo/Sphere.h"

namespace vantor::scope {
namespace {

constexpr double kMetresPerRadian = geo::kMeanEarthRadiusKm * 1000.0;
constexpr double kCellM = 8000.0;
// Cell indices and track indices share one sortable 64-bit key.
constexpr int kTrackBits = 20;
constexpr int kCellBits = 21;
constexpr long long kCellOffset = 1LL << (kCellBits - 1);
constexpr std::size_t kMostTracks = std::size_t{1} << kTrackBits;

struct Plane {
  double x;
  double y;
};

Plane Velocity(const ConflictTrack& track) {
  const double metresPerSecond = track.speedKmh / 3.6;
  return {metresPerSecond * std::sin(track.headingRad), metresPerSecond * std::cos(track.headingRad)};
}

long long CellOf(double metres) {
  return std::clamp<long long>(static_cast<long long>(std::floor(metres / kCellM)), -kCellOffset + 1, kCellOffset - 1);
}

long long CellKey(long long cellX, long long cellY) {
  return ((cellX + kCellOffset) << kCellBits) | (cellY + kCellOffset);
}

}  // namespace

std::optional<double> TimeToConflict(const ConflictTrack& a, const ConflictTrack& b, const ConflictMinima& minima) {
  if (!(std::fabs(a.altitudeM - b.altitudeM) < minima.verticalM)) return std::nullopt;
  // A flat plane around the pair: within the reach of a minute's flight the
  // sphere's curvature is far below the minima.
  const double meanLatitude = geo::Radians((a.position.latitude + b.position.latitude) / 2.0);
  const Plane p{geo::Radians(b.position.longitude - a.position.longitude) * std::cos(meanLatitude) * kMetresPerRadian,
                geo::Radians(b.position.latitude - a.position.latitude) * kMetresPerRadian};
  const Plane va = Velocity(a), vb = Velocity(b);
  const Plane v{vb.x - va.x, vb.y - va.y};
  const double h2 = minima.horizontalM * minima.horizontalM;
  const double c = p.x * p.x + p.y * p.y - h2;
  const double qa = v.x * v.x + v.y * v.y;
  // Close together and keeping station: a formation, flown so on purpose.
  if (c < 0.0) return qa < minima.formationSpeedMps * minima.formationSpeedMps ? std::nullopt : std::optional(0.0);
  if (qa <= 0.0) return std::nullopt;
  const double qb = 2.0 * (p.x * v.x + p.y * v.y);
  const double discriminant = qb * qb - 4.0 * qa * c;
  if (discriminant <= 0.0) return std::nullopt;
  // Outside now (c > 0): both roots share a sign; the first is the entry.
  const double entry = (-qb - std::sqrt(discriminant)) / (2.0 * qa);
  if (entry < 0.0 || entry > minima.lookAheadS) return std::nullopt;
  return entry;
}

const std::vector<Conflict>& ConflictDetector::Find(const std::vector<ConflictTrack>& tracks,
                                                    const ConflictMinima& minima) {
  conflicts_.clear();
  if (tracks.size() < 2) return conflicts_;
  const std::size_t count = std::min(tracks.size(), kMostTracks);

  // One plane for the whole table, for finding candidates only: each swept
  // box is padded well beyond half the minimum, so the plane's distortion
  // over the theatre loses no pair; the exact test decides.
  double reference = 0.0;
  for (std::size_t i = 0; i < count; ++i) reference += tracks[i].position.latitude;
  const double cosReference = std::cos(geo::Radians(reference / static_cast<double>(count)));
  const double pad = minima.horizontalM * 0.75;
  swept_.resize(count);
  cellKeys_.clear();
  for (std::size_t i = 0; i < count; ++i) {
    const ConflictTrack& track = tracks[i];
    const double x = geo::Radians(track.position.longitude) * cosReference * kMetresPerRadian;
    const double y = geo::Radians(track.position.latitude) * kMetresPerRadian;
    const Plane v = Velocity(track);
    const double endX = x + v.x * minima.lookAheadS, endY = y + v.y * minima.lookAheadS;
    Swept& box = swept_[i];
    box = {std::min(x, endX) - pad, std::min(y, endY) - pad, std::max(x, endX) + pad, std::max(y, endY) + pad};
    if (!std::isfinite(box.minX + box.minY + box.maxX + box.maxY)) {
      box = {1.0, 1.0, 0.0, 0.0};  // meets nothing
      continue;
    }
    const long long x0 = CellOf(box.minX), x1 = CellOf(box.maxX);
    const long long y0 = CellOf(box.minY), y1 = CellOf(box.maxY);
    for (long long cx = x0; cx <= x1; ++cx)
      for (long long cy = y0; cy <= y1; ++cy)
        cellKeys_.push_back((CellKey(cx, cy) << kTrackBits) | static_cast<long long>(i));
  }
  std::sort(cellKeys_.begin(), cellKeys_.end());

  constexpr long long kTrackMask = (1LL << kTrackBits) - 1;
  for (std::size_t start = 0; start < cellKeys_.size();) {
    const long long cell = cellKeys_[start] >> kTrackBits;
    std::size_t end = start + 1;
    while (end < cellKeys_.size() && (cellKeys_[end] >> kTrackBits) == cell) ++end;
    for (std::size_t i = start; i < end; ++i) {
      const auto first = static_cast<std::size_t>(cellKeys_[i] & kTrackMask);
      const Swept& a = swept_[first];
      for (std::size_t j = i + 1; j < end; ++j) {
        const auto second = static_cast<std::size_t>(cellKeys_[j] & kTrackMask);
        const Swept& b = swept_[second];
        const double left = std::max(a.minX, b.minX), bottom = std::max(a.minY, b.minY);
        if (left > std::min(a.maxX, b.maxX) || bottom > std::min(a.maxY, b.maxY)) continue;
        // A pair sharing several cells is tested in one only: the cell of
        // its overlap's lower corner.
        if (CellKey(CellOf(left), CellOf(bottom)) != cell) continue;
        if (const auto time = TimeToConflict(tracks[first], tracks[second], minima))
          conflicts_.push_back({static_cast<int>(first), static_cast<int>(second), *time});
      }
    }
    start = end;
  }
  std::sort(conflicts_.begin(), conflicts_.end(), [](const Conflict& a, const Conflict& b) {
    if (a.secondsToConflict != b.secondsToConflict) return a.secondsToConflict < b.secondsToConflict;
    return a.first != b.first ? a.first < b.first : a.second < b.second;
  });
  return conflicts_;
}

QString ConflictText(const QString& first, const QString& second, double secondsToConflict) {
  const long long seconds = std::max(0LL, static_cast<long long>(std::floor(secondsToConflict)));
  return QStringLiteral("CONFLICT %1/%2 %3:%4")
      .arg(first, second)
      .arg(seconds / 60)
      .arg(seconds % 60, 2, 10, QChar('0'));
}

}  // namespace vantor::scope
