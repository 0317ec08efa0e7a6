#pragma once
// Track datagrams: the records of one broadcast for one client, concatenated
// without header or separator.
//
// The writer bounds each datagram to what a receiver reads (10,000 bytes) and
// splits a larger broadcast at record boundaries; records are
// self-delimiting, so readers see the same records either way. The reader
// keeps the unfinished text of one datagram and completes it with the next.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vantor/protocol/Constants.h"

namespace vantor::protocol {

class TrackDatagramWriter {
 public:
  explicit TrackDatagramWriter(std::size_t maxDatagramBytes = kMaxDatagramBytes);

  // Each append adds one whole record. A record that would not fit in an
  // empty datagram on its own is refused (false): a receiver could only read
  // part of it.
  bool append(std::string_view record);
  // The stored record with its speed inserted (see InsertSpeed).
  bool appendWithSpeed(std::string_view storedRecord, double speedKmh);
  // The lost-track record built from the stored record (see LostTrackRecord);
  // false also when the stored text holds no "]@".
  bool appendLostTrack(std::string_view storedRecord);

  // The datagrams of this broadcast, in order; always at least one, which is
  // empty when nothing was appended. The writer is empty again afterwards.
  std::vector<std::string> finish();
  // Starts over, keeping allocated buffers.
  void clear();
  // The datagrams so far, without taking them.
  std::span<const std::string> datagrams() const { return {datagrams_.data(), used_}; }
  std::size_t recordCount() const { return records_; }

 private:
  // The datagram that `length` more bytes go into, or nullptr when a record
  // of that length can never fit.
  std::string* roomFor(std::size_t length);

  std::size_t maxBytes_;
  std::vector<std::string> datagrams_;
  std::size_t used_ = 0;  // datagrams_[0 .. used_) are in use
  std::size_t records_ = 0;
};

// One record as a client reads it.
struct TrackEntry {
  std::int32_t id = 0;
  char classLetter = 0;
  std::string name;
  char sideLetter = 0;
  double latitude = 0.0;
  double longitude = 0.0;
  double altitude = 0.0;
  double heading = 0.0;
  double speed = 0.0;

  bool operator==(const TrackEntry&) const = default;
};

// Parses one record (its text without the final "##"): the id as up to 8
// digits, the class as the next character, the name from index 9 up to the
// side bracket that ends at the first "]@", then up to five numbers (missing
// ones stay 0). nullopt for a record without id digits, without "]@" or a
// side bracket, or with an empty name.
std::optional<TrackEntry> ParseTrackRecord(std::string_view record);

// Whether a contact of `sideLetter` belongs to the client's own coalition.
bool IsFriendly(char sideLetter, bool clientIsBlue);

class TrackDatagramReader {
 public:
  // Reads one datagram (only its first 10,000 bytes count, as for a receive
  // of that size; the text ends at the first NUL) and appends the records it
  // completes to `out`. An empty datagram changes nothing.
  void feed(std::span<const std::uint8_t> datagram, std::vector<TrackEntry>& out);
  std::vector<TrackEntry> feed(std::span<const std::uint8_t> datagram);
  std::vector<TrackEntry> feed(std::string_view datagram);

  // Unfinished text held for the next datagram.
  std::size_t carrySize() const { return carry_.size(); }
  void reset() { carry_.clear(); }

 private:
  std::string carry_;
};

}  // namespace vantor::protocol
