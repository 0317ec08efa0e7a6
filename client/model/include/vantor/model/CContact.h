#pragma once
// One contact of the client's table.

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>

namespace vantor::model {

struct HistoryPoint {
  double latitude = 0.0;
  double longitude = 0.0;
  bool operator==(const HistoryPoint&) const = default;
};

// Past positions, newest first, at most five.
class TrackHistory {
 public:
  static constexpr std::size_t kCapacity = 5;

  // Inserts at the head; the oldest point drops out when full.
  void Push(HistoryPoint point);
  void Clear() { size_ = 0; }
  std::size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  // 0 is the newest point.
  const HistoryPoint& operator[](std::size_t index) const { return points_[index]; }
  // Range-for needs these two names.
  const HistoryPoint* begin() const { return points_.data(); }        // NOLINT(readability-identifier-naming)
  const HistoryPoint* end() const { return points_.data() + size_; }  // NOLINT(readability-identifier-naming)

 private:
  std::array<HistoryPoint, kCapacity> points_{};
  std::size_t size_ = 0;
};

struct CContact {
  bool awacs = false;             // this contact is the client side's dynamic AWACS
  int weaponRangeKm = 0;          // radar sites: whole km
  int sectorDeg = 360;            // radar sites: 120 or 360
  int altitudeLimitKm = 0;        // radar sites: detects only contacts below it
  double detectionRangeKm = 0.0;  // radar sites
  bool altSymbol = false;         // class letters "C" and "D"
  int radarNumber = 0;            // radar sites: number in the friendly or hostile series
  bool radarDataSet = false;      // radar data looked up (every class "A" contact)
  bool radarSite = false;         // class "A"
  int screenY = 0;                // pixel position at the scope's last redraw (written by the scope)
  int screenX = 0;
  int id = 0;  // track id, the key of the table
  QString name;
  double latitude = 0.0;         // decimal degrees, north positive
  double longitude = 0.0;        // decimal degrees, east positive
  double altitude = 0.0;         // metres
  double heading = 0.0;          // radians, as received
  double speed = 0.0;            // ground speed, km/h
  bool friendly = false;         // same coalition as the client
  std::int64_t lastHistory = 0;  // wall-clock seconds of the last history point; 0 when none
  bool carrier = false;          // name is exactly "Admiral Kuznetsov": no history
  TrackHistory history;
  double previousAltitude = 0.0;  // altitude before the last refresh (label trend arrow)
};

}  // namespace vantor::model
