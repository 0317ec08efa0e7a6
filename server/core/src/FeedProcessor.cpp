#include "vantor/server/FeedProcessor.h"

#include <algorithm>
#include <cstring>

#include "vantor/protocol/TextNumbers.h"
#include "vantor/protocol/TrackRecord.h"

namespace vantor::server {
namespace {

constexpr std::size_t kIdDigits = 8;
constexpr std::size_t kNameStart = 11;
constexpr std::string_view kCoalitionMark = "@@";
constexpr std::string_view kRedBracket = "[Allies]";
constexpr std::string_view kMissionClockPrefix = "Mission start time:";

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

std::int32_t MissionTime::MissionClock(std::int64_t now) const {
  return static_cast<std::int32_t>(missionStart + (now - missionStartWall));
}

const char* FeedRecordStatusName(FeedRecordStatus status) {
  switch (status) {
    case FeedRecordStatus::Ok:
      return "ok";
    case FeedRecordStatus::BadId:
      return "id is not eight digits";
    case FeedRecordStatus::BadClass:
      return "no usable class letter";
    case FeedRecordStatus::NoCoalitionMark:
      return "no \"@@\"";
    case FeedRecordStatus::NoCoalitionBracket:
      return "no coalition bracket";
    case FeedRecordStatus::EmptyName:
      return "empty name";
    case FeedRecordStatus::NameHoldsRecordMark:
      return "name holds \"]@\"";
    case FeedRecordStatus::BadNumbers:
      return "numbers do not read";
  }
  return "?";
}

FeedRecordParse ParseFeedObjectRecord(std::string_view record) {
  FeedRecordParse parse;
  const auto fail = [&parse](FeedRecordStatus status) {
    parse.status = status;
    return parse;
  };

  if (record.size() < kIdDigits || record[0] < '1' || record[0] > '9') return fail(FeedRecordStatus::BadId);
  std::int32_t id = 0;
  for (std::size_t i = 0; i < kIdDigits; ++i) {
    if (record[i] < '0' || record[i] > '9') return fail(FeedRecordStatus::BadId);
    id = id * 10 + (record[i] - '0');
  }
  // A ninth digit means a longer id, not a class letter.
  if (record.size() > kIdDigits && record[kIdDigits] >= '0' && record[kIdDigits] <= '9') {
    return fail(FeedRecordStatus::BadId);
  }
  // "%08d %c": white space after the id, then the class letter.
  std::size_t classAt = kIdDigits;
  while (classAt < record.size() && IsSpace(record[classAt])) ++classAt;
  // A "#" class could join a name's "#" into a record end.
  if (classAt >= record.size() || record[classAt] == '#') return fail(FeedRecordStatus::BadClass);
  const char classLetter = record[classAt];

  // The search stays inside this record: the caller cut it at its "##".
  const std::size_t mark = record.find(kCoalitionMark);
  if (mark == std::string_view::npos) return fail(FeedRecordStatus::NoCoalitionMark);
  if (mark <= kNameStart) return fail(FeedRecordStatus::NoCoalitionBracket);
  const std::string_view nameAndBracket = record.substr(kNameStart, mark - kNameStart);
  const std::size_t open = nameAndBracket.rfind('[');
  if (open == std::string_view::npos) return fail(FeedRecordStatus::NoCoalitionBracket);
  const std::string_view name = nameAndBracket.substr(0, open);
  const std::string_view bracket = nameAndBracket.substr(open);
  if (name.empty()) return fail(FeedRecordStatus::EmptyName);
  // The lost-track record ends at the first "]@", which must be the side
  // bracket's: neither the name nor a "]" class letter before an "@" may hold one.
  if (name.find("]@") != std::string_view::npos || (classLetter == ']' && name.front() == '@')) {
    return fail(FeedRecordStatus::NameHoldsRecordMark);
  }

  double numbers[4] = {};
  std::size_t pos = mark + kCoalitionMark.size();
  for (double& number : numbers) {
    const auto value = protocol::ScanDouble(record, pos);
    if (!value) return fail(FeedRecordStatus::BadNumbers);
    number = *value;
  }

  FeedObjectRecord object;
  object.id = id;
  object.classLetter = classLetter;
  object.name.assign(name);
  object.sideLetter = protocol::EqualsIgnoringCase(bracket, kRedBracket) ? 'B' : 'A';
  object.latitude = numbers[0];
  object.longitude = numbers[1];
  object.altitude = numbers[2];
  object.heading = numbers[3];
  object.trackRecord = protocol::FormatTrackRecord({.id = id,
                                                    .classLetter = classLetter,
                                                    .name = object.name,
                                                    .sideLetter = object.sideLetter,
                                                    .latitude = object.latitude,
                                                    .longitude = object.longitude,
                                                    .altitude = object.altitude,
                                                    .heading = object.heading});
  parse.record = std::move(object);
  return parse;
}

std::optional<std::int32_t> ParseMissionClockRecord(std::string_view record) {
  if (!record.starts_with(kMissionClockPrefix)) return std::nullopt;
  std::size_t i = kMissionClockPrefix.size();
  while (i < record.size() && IsSpace(record[i])) ++i;
  bool negative = false;
  if (i < record.size() && (record[i] == '+' || record[i] == '-')) negative = record[i++] == '-';
  const std::size_t digitsStart = i;
  std::int64_t value = 0;
  while (i < record.size() && record[i] >= '0' && record[i] <= '9') {
    value = value * 10 + (record[i] - '0');
    if (value > 0x7fffffffLL) return std::nullopt;
    ++i;
  }
  if (i == digitsStart) return std::nullopt;
  return static_cast<std::int32_t>(negative ? -value : value);
}

FeedIntakeResult FeedIntake::ProcessFeedText(std::string_view bytes, WorldTable& table, MissionTime& mission,
                                             std::int64_t now, const BroadcastFn& broadcast) {
  FeedIntakeResult result;
  do {
    const std::size_t take = std::min(bytes.size(), ReadCapacity());
    ProcessRead(bytes.substr(0, take), table, mission, now, broadcast, result);
    bytes.remove_prefix(take);
  } while (!bytes.empty());
  return result;
}

void FeedIntake::ProcessRead(std::string_view bytes, WorldTable& table, MissionTime& mission, std::int64_t now,
                             const BroadcastFn& broadcast, FeedIntakeResult& result) {
  held_.append(bytes);
  // The text ends at the first NUL; a feed never sends one.
  if (const auto nul = held_.find('\0'); nul != std::string::npos) held_.resize(nul);

  const std::string_view text(held_);
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find(protocol::kRecordEnd, start);
    if (end == std::string_view::npos) break;
    ProcessRecord(text.substr(start, end - start), table, mission, now, result);
    start = end + protocol::kRecordEnd.size();
  }

  if (start < text.size()) {
    if (start == 0 && text.size() >= capacity_) {
      // A record longer than the intake can never complete; waiting for
      // room that never comes would stall the feed. Drop it and read on.
      held_.clear();
      ++result.discardedUnfinished;
    } else {
      held_.erase(0, start);
    }
    return;
  }
  held_.clear();
  ++result.broadcasts;
  if (broadcast) broadcast();
}

void FeedIntake::ProcessRecord(std::string_view record, WorldTable& table, MissionTime& mission, std::int64_t now,
                               FeedIntakeResult& result) {
  if (!missionSeen_) {
    // The first record is the mission clock, whatever it holds.
    if (const auto start = ParseMissionClockRecord(record)) mission.missionStart = *start;
    mission.missionStartWall = now;
    missionSeen_ = true;
    result.missionClockRecord = true;
    return;
  }
  FeedRecordParse parse = ParseFeedObjectRecord(record);
  if (!parse.record) {
    ++result.skippedRecords;
    ++result.skippedBy[static_cast<std::size_t>(parse.status)];
    result.lastSkip = parse.status;
    return;
  }
  FeedObjectRecord& object = *parse.record;
  ApplyFeedRecord(table, object.id, std::move(object.trackRecord), object.classLetter, object.latitude,
                  object.longitude, now);
  ++result.objectRecords;
}

}  // namespace vantor::server
