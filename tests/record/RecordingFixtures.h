#pragma once
// Generated missions for the recording tests and benchmarks: contacts that
// fly, come and go, radar sites, chat and a log-on, written as a client's
// recorder would write them.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "vantor/model/CRivakDoc.h"
#include "vantor/record/RecordFormat.h"

namespace vantor::test {

struct GeneratedMission {
  int seconds = 120;
  int aircraft = 40;
  int side = 0;  // the recording client's side
  std::int64_t startMs = 1'700'000'000'250;
  // Records per datagram before the broadcast is split (split records
  // included, as a full datagram may end inside one).
  std::size_t datagramBytes = 1400;
};

// Frames of a generated mission in arrival order.
struct GeneratedFrame {
  record::FrameKind kind;
  std::uint32_t arrivalMs;
  std::vector<std::uint8_t> payload;
};
std::vector<GeneratedFrame> GenerateMission(const GeneratedMission& mission);

// Writes `frames` as a recording with blocks of `blockSpanMs` of arrivals,
// without the background thread: the bytes of the file.
std::vector<std::uint8_t> EncodeRecording(const GeneratedMission& mission, const std::vector<GeneratedFrame>& frames,
                                          std::uint32_t blockSpanMs = 1000);

// Everything about the table that a replay must reproduce, as text, one
// contact a line (screen positions, written by the scope, left out).
std::string DescribeTable(const model::CRivakDoc& document);

}  // namespace vantor::test
