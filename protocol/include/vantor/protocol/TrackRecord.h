#pragma once
// Track records: the text that describes one contact inside a track datagram.
//
//   <id><class><name>[<side>]@<lat> <lon> <alt> <heading> <speed>##
//
// The server formats the record without its speed when a feed record arrives
// and inserts the speed at each broadcast; a lost track carries all numbers 0.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantor::protocol {

inline constexpr std::string_view kRecordEnd = "##";
inline constexpr std::string_view kLostTrackTail = "@0.0 0.0 0.0 0.0 0##";

struct TrackFields {
  std::int32_t id = 0;
  char classLetter = 'A';
  std::string_view name;
  char sideLetter = 'A';
  double latitude = 0.0;
  double longitude = 0.0;
  double altitude = 0.0;
  double heading = 0.0;
};

// The record as stored at intake: "%d%c%s[%c]@%.4lf %.4lf %.1lf %.2lf##".
std::string FormatTrackRecord(const TrackFields& fields);
void AppendTrackRecord(std::string& out, const TrackFields& fields);

// The stored record with " %.0f" (the speed) inserted before its final "##".
// A text shorter than two characters gets the speed appended.
std::string InsertSpeed(std::string_view storedRecord, double speedKmh);
void AppendWithSpeed(std::string& out, std::string_view storedRecord, double speedKmh);
// Number of bytes AppendWithSpeed adds.
std::size_t WithSpeedLength(std::string_view storedRecord, double speedKmh);

// The lost-track record: the stored text up to and including the "]" of its
// first "]@", followed by "@0.0 0.0 0.0 0.0 0##". nullopt when the text
// holds no "]@".
std::optional<std::string> LostTrackRecord(std::string_view storedRecord);
// Length of the kept head (through the "]"), or nullopt without "]@".
std::optional<std::size_t> LostTrackHeadLength(std::string_view storedRecord);

}  // namespace vantor::protocol
