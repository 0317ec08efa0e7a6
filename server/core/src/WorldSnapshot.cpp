#include "vantor/server/WorldSnapshot.h"

#include <string_view>

#include "vantor/protocol/TextNumbers.h"
#include "vantor/protocol/TrackDatagram.h"
#include "vantor/protocol/TrackRecord.h"

namespace vantor::server {
namespace {

int RadarTypeIndex(std::string_view upperName) {
  for (std::size_t index = 0; index < protocol::kRadarTypeCount; ++index) {
    if (upperName.find(protocol::RadarTypeNames[index]) != std::string_view::npos) return static_cast<int>(index);
  }
  return -1;
}

}  // namespace

std::size_t WorldSnapshot::ObjectCount() const {
  std::size_t count = 0;
  for (const FeedSnapshot& feed : feeds) count += feed.objects.size();
  return count;
}

std::optional<ObjectSnapshot> SnapshotOf(const WorldObject& object) {
  std::string_view record = object.record;
  if (record.ends_with(protocol::kRecordEnd)) record.remove_suffix(protocol::kRecordEnd.size());
  const auto entry = protocol::ParseTrackRecord(record);
  if (!entry) return std::nullopt;
  ObjectSnapshot snapshot;
  snapshot.id = object.id;
  snapshot.classLetter = entry->classLetter;
  snapshot.name = entry->name;
  snapshot.side = entry->sideLetter == static_cast<char>(protocol::SideLetter::Red) ? protocol::SideLetter::Red
                                                                                    : protocol::SideLetter::Blue;
  snapshot.position = {entry->latitude, entry->longitude};
  snapshot.altitudeM = entry->altitude;
  snapshot.headingRad = entry->heading;
  snapshot.speedKmh = object.speedKmh;
  snapshot.groundUnit = object.groundUnit;
  if (object.groundUnit) snapshot.radarType = RadarTypeIndex(protocol::ToUpperAscii(snapshot.name));
  snapshot.standingStill = object.sampleTime == kStandingStillMark;
  snapshot.staleCount = object.staleCount;
  return snapshot;
}

std::vector<ObjectSnapshot> SnapshotTable(const WorldTable& table) {
  std::vector<ObjectSnapshot> objects;
  objects.reserve(table.Size());
  for (const WorldObject& object : table) {
    if (auto snapshot = SnapshotOf(object)) objects.push_back(std::move(*snapshot));
  }
  return objects;
}

}  // namespace vantor::server
