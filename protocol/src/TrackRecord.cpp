#include "vantor/protocol/TrackRecord.h"

#include "vantor/protocol/TextNumbers.h"

namespace vantor::protocol {
namespace {

// The speed goes out as "%.0f": whole kilometres per hour.
void AppendSpeed(std::string& out, double speedKmh) {
  out.push_back(' ');
  AppendFixed(out, speedKmh, 0);
}

}  // namespace

void AppendTrackRecord(std::string& out, const TrackFields& fields) {
  AppendInt(out, fields.id);
  out.push_back(fields.classLetter);
  out.append(fields.name);
  out.push_back('[');
  out.push_back(fields.sideLetter);
  out.append("]@");
  AppendFixed(out, fields.latitude, 4);
  out.push_back(' ');
  AppendFixed(out, fields.longitude, 4);
  out.push_back(' ');
  AppendFixed(out, fields.altitude, 1);
  out.push_back(' ');
  AppendFixed(out, fields.heading, 2);
  out.append(kRecordEnd);
}

std::string FormatTrackRecord(const TrackFields& fields) {
  std::string out;
  out.reserve(fields.name.size() + 64);
  AppendTrackRecord(out, fields);
  return out;
}

void AppendWithSpeed(std::string& out, std::string_view storedRecord, double speedKmh) {
  const std::size_t head = storedRecord.size() >= 2 ? storedRecord.size() - 2 : storedRecord.size();
  out.append(storedRecord.substr(0, head));
  AppendSpeed(out, speedKmh);
  out.append(storedRecord.substr(head));
}

std::string InsertSpeed(std::string_view storedRecord, double speedKmh) {
  std::string out;
  out.reserve(storedRecord.size() + 8);
  AppendWithSpeed(out, storedRecord, speedKmh);
  return out;
}

std::size_t WithSpeedLength(std::string_view storedRecord, double speedKmh) {
  std::string speed;
  AppendSpeed(speed, speedKmh);
  return storedRecord.size() + speed.size();
}

std::optional<std::size_t> LostTrackHeadLength(std::string_view storedRecord) {
  const std::size_t at = storedRecord.find("]@");
  if (at == std::string_view::npos) return std::nullopt;
  return at + 1;
}

std::optional<std::string> LostTrackRecord(std::string_view storedRecord) {
  const auto head = LostTrackHeadLength(storedRecord);
  if (!head) return std::nullopt;
  std::string out(storedRecord.substr(0, *head));
  out.append(kLostTrackTail);
  return out;
}

}  // namespace vantor::protocol
