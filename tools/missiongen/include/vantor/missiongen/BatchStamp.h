#pragma once
// A batch stamp: one more object record at the end of a batch that tells a
// load driver which batch it closes and when the batch was written, so the
// time from the feed to each client can be measured end to end.
//
//   99999999 B Batch 42 sent 1712345678123456[Enemies]@@0.000000 1.004200 0.0 0.0000##
//
// It is an ordinary, valid object record, and the server treats it as one:
// the name is the one field it passes to the clients byte for byte. It is
// never shown: a client drops a class "B" record below 12 m of altitude.
// Its longitude moves a little with every batch, so the server never takes
// it for an aircraft standing still and drops it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantor::missiongen {

// The id of the stamp object; mission objects are numbered from 10000000 up.
inline constexpr std::int32_t kStampObjectId = 99999999;

struct BatchStamp {
  std::uint64_t batch = 0;      // batches written on this run before this stamp's batch ended
  std::int64_t sentMicros = 0;  // wall clock, microseconds since 1970, when the batch was written

  bool operator==(const BatchStamp&) const = default;
};

// Microseconds since 1970 on the system clock, the clock both ends read.
std::int64_t WallClockMicros();

// Appends the stamp's feed record.
void AppendStampRecord(std::string& out, const BatchStamp& stamp);

// The stamp a track record's name carries ("Batch <n> sent <micros>"), or
// nullopt for any other name.
std::optional<BatchStamp> ParseStampName(std::string_view name);

}  // namespace vantor::missiongen
