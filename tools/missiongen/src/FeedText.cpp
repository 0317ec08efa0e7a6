#include "vantor/missiongen/FeedText.h"

#include <charconv>
#include <cmath>

namespace vantor::missiongen {
namespace {

constexpr std::string_view kRecordEnd = "##";
constexpr std::string_view kClockPrefix = "Mission start time: ";

void AppendFixed(std::string& out, double value, int precision) {
  // Writing -0.0 as "-0.000" would be odd in a capture; the server reads it
  // as zero either way.
  if (value == 0.0 || !std::isfinite(value)) value = 0.0;
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  out.append(buffer, result.ptr);
}

}  // namespace

std::string MissionClockRecord(int missionSeconds) {
  return std::string(kClockPrefix) + std::to_string(missionSeconds) + std::string(kRecordEnd);
}

void AppendFeedRecord(std::string& out, const FeedObject& object) {
  char id[16];
  const auto idEnd = std::to_chars(id, id + sizeof id, object.id).ptr;
  out.append(id, idEnd);
  out += ' ';
  out += object.classLetter;
  out += ' ';
  out += object.name;
  out += '[';
  out += object.coalitionName;
  out += "]@@";
  AppendFixed(out, object.latitude, 6);
  out += ' ';
  AppendFixed(out, object.longitude, 6);
  out += ' ';
  AppendFixed(out, object.altitudeM, 1);
  out += ' ';
  AppendFixed(out, object.headingRad, 4);
  out += kRecordEnd;
}

std::vector<std::string_view> SplitFeedRecords(std::string_view text, std::string_view* rest) {
  std::vector<std::string_view> records;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(kRecordEnd, start);
    if (end == std::string_view::npos) break;
    records.push_back(text.substr(start, end + kRecordEnd.size() - start));
    start = end + kRecordEnd.size();
  }
  if (rest) *rest = text.substr(start);
  return records;
}

std::optional<int> FeedRecordId(std::string_view record) {
  if (record.size() < 9 || record[0] < '1' || record[0] > '9' || record[8] != ' ') return std::nullopt;
  int id = 0;
  const auto result = std::from_chars(record.data(), record.data() + 8, id);
  if (result.ec != std::errc() || result.ptr != record.data() + 8) return std::nullopt;
  return id;
}

bool IsMissionClockRecord(std::string_view record) { return record.starts_with(kClockPrefix); }

}  // namespace vantor::missiongen
