#include "vantor/server/WorldTable.h"

#include <algorithm>
#include <cmath>

#include "vantor/geo/Geodesy.h"
#include "vantor/geo/Sphere.h"
#include "vantor/protocol/TextNumbers.h"

namespace vantor::server {

WorldObject* WorldTable::Find(std::int32_t id) {
  const auto it = index_.find(id);
  return it == index_.end() ? nullptr : &*it->second;
}

const WorldObject* WorldTable::Find(std::int32_t id) const {
  const auto it = index_.find(id);
  return it == index_.end() ? nullptr : &*it->second;
}

WorldObject& WorldTable::Append(WorldObject object) {
  const std::int32_t id = object.id;
  objects_.push_back(std::move(object));
  const auto position = std::prev(objects_.end());
  index_[id] = position;
  return *position;
}

bool WorldTable::Remove(std::int32_t id) {
  const auto it = index_.find(id);
  if (it == index_.end()) return false;
  objects_.erase(it->second);
  index_.erase(it);
  return true;
}

WorldTable::Iterator WorldTable::Erase(Iterator position) {
  index_.erase(position->id);
  return objects_.erase(position);
}

void WorldTable::Clear() {
  index_.clear();
  objects_.clear();
}

double HaversineKm(double fromLat, double fromLon, double toLat, double toLon) {
  const double halfLat = std::sin((fromLat - toLat) * (geo::kDegToRad / 2));
  const double halfLon = std::sin((fromLon - toLon) * (geo::kDegToRad / 2));
  const double a =
      halfLat * halfLat + std::cos(toLat * geo::kDegToRad) * std::cos(fromLat * geo::kDegToRad) * halfLon * halfLon;
  // Rounding can push a a hair outside [0, 1] for antipodal points.
  const double clamped = std::clamp(a, 0.0, 1.0);
  const double c = 2.0 * std::atan2(std::sqrt(clamped), std::sqrt(1.0 - clamped));
  return geo::kMeanEarthRadiusKm * c;
}

bool ContainsRadarTypeName(std::string_view upperText) {
  for (const std::string_view name : protocol::RadarTypeNames) {
    if (upperText.find(name) != std::string_view::npos) return true;
  }
  return false;
}

void ApplyFeedRecord(WorldTable& table, std::int32_t id, std::string record, char classLetter, double lat, double lon,
                     std::int64_t now) {
  WorldObject* object = table.Find(id);
  if (object == nullptr) {
    WorldObject created;
    created.groundUnit = classLetter == 'A';
    created.id = id;
    created.record = std::move(record);
    created.sampleLat = lat;
    created.sampleLon = lon;
    table.Append(std::move(created));
    return;
  }

  const bool standingStill =
      object->sampleLat == lat && object->sampleLon == lon && (classLetter == 'B' || classLetter == 'D');
  const bool groundWithoutRadar =
      !standingStill && classLetter == 'A' && !ContainsRadarTypeName(protocol::ToUpperAscii(record));
  if (standingStill || groundWithoutRadar) {
    if (object->sampleTime != kStandingStillMark && object->sampleTime != 0) {
      // Sent once more as lost by the ageing of this batch's broadcast.
      object->speedKmh = 0.0;
      object->sampleTime = kStandingStillMark;
      object->unchanged = false;
    } else {
      table.Remove(id);
    }
    return;
  }

  const std::int64_t dt = now - object->sampleTime;
  if (dt > kSampleIntervalSeconds) {
    const double distance = HaversineKm(object->sampleLat, object->sampleLon, lat, lon);
    object->speedKmh = distance / static_cast<double>(dt) * 3600.0;
    object->sampleLat = lat;
    object->sampleLon = lon;
    object->sampleTime = now;
  }
  object->unchanged = false;
  object->record = std::move(record);
}

void AgeWorldTable(WorldTable& table, std::int64_t now) {
  for (auto it = table.begin(); it != table.end();) {
    const bool stale = it->sampleTime != 0 && now - it->sampleTime > kSampleIntervalSeconds;
    if (!stale) {
      it->staleCount = 0;
    } else if (it->staleCount < 2) {
      ++it->staleCount;
    } else {
      it = table.Erase(it);
      continue;
    }
    ++it;
  }
}

}  // namespace vantor::server
