// One feed record as the server parses it, and the track record it stores:
// every record the server accepts must read back on a client as the same
// contact, with speed and as a lost track.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "vantor/protocol/TrackDatagram.h"
#include "vantor/protocol/TrackRecord.h"
#include "vantor/server/FeedProcessor.h"

namespace {

using namespace vantor;

// A number written with `decimals` places reads back within half a unit of
// the last place (and exactly when it is that large).
bool ReadsBack(double written, double read, int decimals) {
  const double unit = std::pow(10.0, -decimals);
  return std::fabs(written - read) <= unit / 2 + std::fabs(written) * 1e-15;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  // A record as the intake cuts it: ended by its "##", the text by a NUL.
  text = text.substr(0, text.find('\0'));
  text = text.substr(0, text.find(protocol::kRecordEnd));

  (void)server::ParseMissionClockRecord(text);
  const server::FeedRecordParse parse = server::ParseFeedObjectRecord(text);
  if (!parse.record) {
    FUZZ_CHECK(parse.status != server::FeedRecordStatus::Ok);
    return 0;
  }
  const server::FeedObjectRecord& object = *parse.record;
  const std::string& stored = object.trackRecord;
  FUZZ_CHECK(stored.ends_with(protocol::kRecordEnd));
  FUZZ_CHECK(stored.find(protocol::kRecordEnd) == stored.size() - protocol::kRecordEnd.size());
  FUZZ_CHECK(object.sideLetter == 'A' || object.sideLetter == 'B');

  // With its speed, as the broadcast sends it, read by the client's reader.
  const std::string withSpeed = protocol::InsertSpeed(stored, 812.4);
  protocol::TrackDatagramReader reader;
  const std::vector<protocol::TrackEntry> entries = reader.feed(withSpeed);
  FUZZ_CHECK(entries.size() == 1);
  FUZZ_CHECK(reader.carrySize() == 0);
  const protocol::TrackEntry& entry = entries.front();
  FUZZ_CHECK(entry.id == object.id);
  FUZZ_CHECK(entry.classLetter == object.classLetter);
  FUZZ_CHECK(entry.name == object.name);
  FUZZ_CHECK(entry.sideLetter == object.sideLetter);
  FUZZ_CHECK(ReadsBack(object.latitude, entry.latitude, 4));
  FUZZ_CHECK(ReadsBack(object.longitude, entry.longitude, 4));
  FUZZ_CHECK(ReadsBack(object.altitude, entry.altitude, 1));
  FUZZ_CHECK(ReadsBack(object.heading, entry.heading, 2));
  FUZZ_CHECK(entry.speed == 812.0);

  // As a lost track: the same contact, every number 0.
  const std::optional<std::string> lost = protocol::LostTrackRecord(stored);
  FUZZ_CHECK(lost.has_value());
  const std::vector<protocol::TrackEntry> lostEntries = reader.feed(*lost);
  FUZZ_CHECK(lostEntries.size() == 1);
  FUZZ_CHECK(lostEntries.front().id == object.id);
  FUZZ_CHECK(lostEntries.front().name == object.name);
  FUZZ_CHECK(lostEntries.front().longitude == 0.0 && lostEntries.front().speed == 0.0);
  return 0;
}
