#pragma once
// The objects of one simulator feed, in creation order, with the rules that
// derive ground speeds and drop objects that stop reporting. Plain C++.

#include <array>
#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>

#include "vantor/protocol/Constants.h"

namespace vantor::server {

// `sampleTime` value that marks an object reported standing still.
inline constexpr std::int64_t kStandingStillMark = 100;
// Seconds after its last sample at which an object counts as stale, and the
// least time between two speed samples.
inline constexpr std::int64_t kSampleIntervalSeconds = 10;

struct WorldObject {
  bool groundUnit = false;  // class "A" when created
  double speedKmh = 0.0;
  bool unchanged = true;  // not updated since the last broadcast
  std::int32_t id = 0;
  std::string record;  // track record text without speed
  double sampleLat = 0.0;
  double sampleLon = 0.0;
  std::int64_t sampleTime = 0;                                   // 0 never sampled, kStandingStillMark standing still
  int staleCount = 0;                                            // consecutive broadcasts at which it was stale
  std::array<std::uint8_t, protocol::kMaxClientSlots> sentTo{};  // per slot index
};

// An ordered list with an id index beside it: lookups stay cheap for large
// missions while the broadcast keeps the creation order.
class WorldTable {
 public:
  using List = std::list<WorldObject>;
  using Iterator = List::iterator;
  using ConstIterator = List::const_iterator;

  WorldObject* Find(std::int32_t id);
  const WorldObject* Find(std::int32_t id) const;
  // Appends at the tail; an object with the same id must not exist.
  WorldObject& Append(WorldObject object);
  bool Remove(std::int32_t id);
  Iterator Erase(Iterator position);
  void Clear();

  // Range-for takes the standard names.
  Iterator begin() { return objects_.begin(); }             // NOLINT(readability-identifier-naming)
  Iterator end() { return objects_.end(); }                 // NOLINT(readability-identifier-naming)
  ConstIterator begin() const { return objects_.begin(); }  // NOLINT(readability-identifier-naming)
  ConstIterator end() const { return objects_.end(); }      // NOLINT(readability-identifier-naming)
  std::size_t Size() const { return objects_.size(); }
  bool Empty() const { return objects_.empty(); }

 private:
  List objects_;
  std::unordered_map<std::int32_t, Iterator> index_;
};

// Great-circle distance in km between two positions in degrees, with the
// constants of the speed sampling.
double HaversineKm(double fromLat, double fromLon, double toLat, double toLon);

// Applies one object record of the feed: creates the object, updates it
// (sampling its speed at most every 11 s), or marks or removes it when it
// stands still (class "B"/"D") or is a ground unit (class "A") without a
// radar type name.
void ApplyFeedRecord(WorldTable& table, std::int32_t id, std::string record, char classLetter, double lat, double lon,
                     std::int64_t now);

// Once per broadcast: counts the broadcasts at which each object was stale
// and deletes it at the third.
void AgeWorldTable(WorldTable& table, std::int64_t now);

// Whether the upper-cased text holds one of the radar type names.
bool ContainsRadarTypeName(std::string_view upperText);

}  // namespace vantor::server
