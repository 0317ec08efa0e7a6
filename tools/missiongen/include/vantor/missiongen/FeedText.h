#pragma once
// The text the simulator's export script writes to the server's feed port:
// a mission clock record, then one record per object per batch, each ending
// in "##", with no other separators.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::missiongen {

// Coalition names as they appear in the feed's bracket. The server maps
// "[Allies]" to the Red side letter and every other name to Blue.
inline constexpr std::string_view kRedCoalitionName = "Allies";
inline constexpr std::string_view kBlueCoalitionName = "Enemies";

inline constexpr int kFirstObjectId = 10000000;
inline constexpr int kLastObjectId = 99999999;

struct FeedObject {
  int id = 0;  // 8 digits, first not 0
  char classLetter = 'B';
  std::string_view name;
  std::string_view coalitionName;
  double latitude = 0.0;
  double longitude = 0.0;
  double altitudeM = 0.0;
  double headingRad = 0.0;
};

// "Mission start time: N##".
std::string MissionClockRecord(int missionSeconds);

// Appends "<id> <class> <name>[<coalition>]@@<lat> <lon> <alt> <heading>##".
// Numbers are written with '.' whatever the process locale.
void AppendFeedRecord(std::string& out, const FeedObject& object);

// Splits feed text into complete records, each including its "##". Text
// after the last "##" is returned in `rest` (an unfinished record).
std::vector<std::string_view> SplitFeedRecords(std::string_view text, std::string_view* rest = nullptr);

// The object id at the start of a record, when it has the 8-digit form.
std::optional<int> FeedRecordId(std::string_view record);

bool IsMissionClockRecord(std::string_view record);

}  // namespace vantor::missiongen
