#include "vantor/missiongen/BatchStamp.h"

#include "vantor/missiongen/FeedText.h"

#include <charconv>
#include <chrono>

namespace vantor::missiongen {
namespace {

constexpr std::string_view kNamePrefix = "Batch ";
constexpr std::string_view kNameMiddle = " sent ";
// The longitude steps through 10,000 positions 0.0001 degrees apart; any
// two batches less than 10,000 apart differ. It is never 0, so the stamp
// never reads as a lost-track record.
constexpr std::uint64_t kLongitudeSteps = 10000;
constexpr double kLongitudeStepDeg = 0.0001;
constexpr double kFirstLongitudeDeg = 1.0;

template <typename Number>
bool ReadNumber(std::string_view& text, Number& value) {
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr == text.data()) return false;
  text.remove_prefix(static_cast<std::size_t>(result.ptr - text.data()));
  return true;
}

}  // namespace

std::int64_t WallClockMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

void AppendStampRecord(std::string& out, const BatchStamp& stamp) {
  const std::string name = std::string(kNamePrefix) + std::to_string(stamp.batch) + std::string(kNameMiddle) +
                           std::to_string(stamp.sentMicros);
  FeedObject object;
  object.id = kStampObjectId;
  object.classLetter = 'B';
  object.name = name;
  object.coalitionName = kBlueCoalitionName;
  object.latitude = 0.0;
  object.longitude = kFirstLongitudeDeg + static_cast<double>(stamp.batch % kLongitudeSteps) * kLongitudeStepDeg;
  object.altitudeM = 0.0;
  object.headingRad = 0.0;
  AppendFeedRecord(out, object);
}

std::optional<BatchStamp> ParseStampName(std::string_view name) {
  if (!name.starts_with(kNamePrefix)) return std::nullopt;
  name.remove_prefix(kNamePrefix.size());
  BatchStamp stamp;
  if (!ReadNumber(name, stamp.batch) || !name.starts_with(kNameMiddle)) return std::nullopt;
  name.remove_prefix(kNameMiddle.size());
  if (!ReadNumber(name, stamp.sentMicros) || !name.empty()) return std::nullopt;
  return stamp;
}

}  // namespace vantor::missiongen
