#pragma once
// What displays read of the running server: a copy of every feed's world
// table with each object's record decoded, and the counts of each feed. A
// snapshot is a plain value; taking one changes nothing in the tables.

#include <QHostAddress>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vantor/geo/Geodesy.h"
#include "vantor/protocol/Constants.h"
#include "vantor/server/FeedProcessor.h"
#include "vantor/server/WorldTable.h"

namespace vantor::server {

// One feed connection as a status display shows it.
struct FeedStatistics {
  int feed = 0;  // 1, 2, ... in accept order, never reused while the server runs
  QHostAddress peer;
  std::int64_t connectedAt = 0;  // wall-clock seconds
  std::int64_t lastBatchAt = 0;  // 0 before the first complete batch
  bool missionClockSeen = false;
  std::size_t objects = 0;  // in the table now
  std::uint64_t bytesRead = 0;
  std::uint64_t reads = 0;    // reads that took bytes: one per pacing step at the default intake
  std::uint64_t batches = 0;  // complete batches, each followed by a broadcast
  std::uint64_t records = 0;  // object records applied to the table
  std::uint64_t skipped = 0;  // object records refused
  std::array<std::uint64_t, kFeedRecordStatusCount> skippedBy{};  // index: FeedRecordStatus
  std::uint64_t discardedUnfinished = 0;                          // records too long for the intake
};

// One object of a world table, decoded from the record clients receive.
struct ObjectSnapshot {
  std::int32_t id = 0;
  char classLetter = 0;
  std::string name;
  protocol::SideLetter side = protocol::SideLetter::Blue;
  geo::GeoPoint position;
  double altitudeM = 0.0;
  double headingRad = 0.0;
  double speedKmh = 0.0;
  bool groundUnit = false;
  int radarType = -1;          // a ground unit's index in RadarTypeNames (the first its name holds); -1 none
  bool standingStill = false;  // reported standing still: about to be sent as lost
  int staleCount = 0;          // 1 or 2: sent as lost at the last broadcasts
};

struct FeedSnapshot {
  FeedStatistics statistics;
  std::vector<ObjectSnapshot> objects;  // in table order
};

struct WorldSnapshot {
  std::int64_t takenAt = 0;  // wall-clock seconds
  MissionTime mission;
  std::vector<FeedSnapshot> feeds;  // in accept order

  std::size_t ObjectCount() const;
};

// nullopt for an object whose record does not decode (none that the intake
// stores).
std::optional<ObjectSnapshot> SnapshotOf(const WorldObject& object);
std::vector<ObjectSnapshot> SnapshotTable(const WorldTable& table);

}  // namespace vantor::server
