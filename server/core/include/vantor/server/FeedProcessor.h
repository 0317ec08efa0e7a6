#pragma once
// The simulator feed's text: records end with "##"; the first record of a
// connection is the mission clock record, every other one describes an
// object:
//
//   12345678 B Colt 11[Allies]@@45.0322 38.9251 3000.0 1.57##
//
// Usable without sockets: a feed writer's tests can run their text through
// ProcessFeedText over a WorldTable of their own. Plain C++.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "vantor/server/FeedPacing.h"
#include "vantor/server/WorldTable.h"

namespace vantor::server {

// The mission time the simulator reported, shared by all feed connections.
struct MissionTime {
  std::int32_t missionStart = 0;      // seconds, from the mission clock record
  std::int64_t missionStartWall = 0;  // wall-clock seconds when it was read
  // missionStart + (now - missionStartWall): what a client is told it is.
  std::int32_t MissionClock(std::int64_t now) const;
};

enum class FeedRecordStatus {
  Ok,
  BadId,               // not eight digits with a first digit other than 0
  BadClass,            // no class letter, or one that would end a track record
  NoCoalitionMark,     // no "@@" before the record's end
  NoCoalitionBracket,  // no "[" between the name and the "@@"
  EmptyName,
  NameHoldsRecordMark,  // a "]@" before the side bracket could not be read back by clients
  BadNumbers,           // the four numbers do not all read
};
inline constexpr std::size_t kFeedRecordStatusCount = static_cast<std::size_t>(FeedRecordStatus::BadNumbers) + 1;
const char* FeedRecordStatusName(FeedRecordStatus status);

struct FeedObjectRecord {
  std::int32_t id = 0;
  char classLetter = 0;
  std::string name;
  char sideLetter = 'A';  // "B" for the bracket "[Allies]" in any case
  double latitude = 0.0;
  double longitude = 0.0;
  double altitude = 0.0;
  double heading = 0.0;
  std::string trackRecord;  // the record as stored and broadcast, without speed
};

struct FeedRecordParse {
  FeedRecordStatus status = FeedRecordStatus::Ok;
  std::optional<FeedObjectRecord> record;  // set when status is Ok
};

// Parses one object record; `record` is its text without the final "##".
FeedRecordParse ParseFeedObjectRecord(std::string_view record);

// Reads "Mission start time: %d" at the start of a record.
std::optional<std::int32_t> ParseMissionClockRecord(std::string_view record);

struct FeedIntakeResult {
  int objectRecords = 0;        // object records applied to the table
  int skippedRecords = 0;       // object records refused by the parser
  int broadcasts = 0;           // reads that ended with no unfinished record
  int discardedUnfinished = 0;  // unfinished texts dropped because they filled the intake
  bool missionClockRecord = false;
  FeedRecordStatus lastSkip = FeedRecordStatus::Ok;
  // Refused object records by reason; index: FeedRecordStatus.
  std::array<int, kFeedRecordStatusCount> skippedBy{};
};

// One feed connection's intake: up to its capacity (10,000 bytes unless
// the server's "FeedIntake" setting raises it) of carried plus newly read
// text, and whether the mission clock record has been consumed.
class FeedIntake {
 public:
  static constexpr std::size_t kIntakeBytes = kDefaultFeedIntakeBytes;
  using BroadcastFn = std::function<void()>;

  explicit FeedIntake(std::size_t capacityBytes = kIntakeBytes) : capacity_(capacityBytes) {}

  std::size_t Capacity() const { return capacity_; }
  // How many bytes the next read may take.
  std::size_t ReadCapacity() const { return capacity_ - held_.size(); }
  std::size_t Carry() const { return held_.size(); }
  bool MissionSeen() const { return missionSeen_; }

  // Handles bytes read from the feed. More than ReadCapacity() bytes are
  // taken as successive reads. After each read that leaves no unfinished
  // record, `broadcast` runs (the caller's BroadcastTracks for this table).
  FeedIntakeResult ProcessFeedText(std::string_view bytes, WorldTable& table, MissionTime& mission, std::int64_t now,
                                   const BroadcastFn& broadcast = {});

 private:
  void ProcessRead(std::string_view bytes, WorldTable& table, MissionTime& mission, std::int64_t now,
                   const BroadcastFn& broadcast, FeedIntakeResult& result);
  void ProcessRecord(std::string_view record, WorldTable& table, MissionTime& mission, std::int64_t now,
                     FeedIntakeResult& result);

  std::size_t capacity_;
  std::string held_;  // carried text of an unfinished record
  bool missionSeen_ = false;
};

}  // namespace vantor::server
