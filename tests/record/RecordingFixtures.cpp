#include "RecordingFixtures.h"

#include <zlib.h>

#include <QString>

#include <cmath>
#include <mutex>
#include <sstream>

#include "vantor/protocol/ConfigBlock.h"
#include "vantor/protocol/TrackRecord.h"

namespace vantor::test {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

protocol::ConfigBlock MissionBlock() {
  protocol::ConfigBlock block;
  for (auto& side : block.airfieldRadarOn) side.fill(1);
  for (auto& side : block.airfieldRadarRangeKm) side.fill(100);
  block.awacsRangeKm = 200;
  block.awacsMode = {10, 10};
  block.awacsLatitude = {44.5, 45.5};
  block.awacsLongitude = {37.5, 38.5};
  block.missionClock = 8 * 3600;
  return block;
}

}  // namespace

std::vector<GeneratedFrame> GenerateMission(const GeneratedMission& mission) {
  std::vector<GeneratedFrame> frames;
  std::vector<std::uint8_t> join{static_cast<std::uint8_t>(mission.side)};
  const auto block = protocol::EncodeConfigBlock(MissionBlock());
  join.insert(join.end(), block.begin(), block.end());
  frames.push_back({record::FrameKind::Joined, 40, join});

  std::string broadcast;
  for (int second = 0; second < mission.seconds; ++second) {
    broadcast.clear();
    const auto arrival = static_cast<std::uint32_t>(1000 * second + 137);
    // Two radar sites, sent now and then.
    if (second % 20 == 0) {
      protocol::AppendTrackRecord(broadcast, {10009001, 'A', "SA-10 site", 'A', 44.9, 38.1, 30.0, 0.0});
      protocol::AppendTrackRecord(broadcast, {10009002, 'A', "EWR 55G6", 'B', 45.3, 39.2, 20.0, 0.0});
    }
    for (int i = 0; i < mission.aircraft; ++i) {
      // Ids of eight digits, as the server writes them.
      const int id = 10000100 + i;
      // Each aircraft lives for a while, is lost, and comes back later.
      const int life = (second + 7 * i) % 300;
      const std::string name = (i % 9 == 0 ? "E-3A " : "F-16C ") + std::to_string(id);
      const char side = i % 2 == 0 ? 'A' : 'B';
      std::string stored;
      protocol::TrackFields fields{id,
                                   i % 5 == 0 ? 'C' : 'B',
                                   name,
                                   side,
                                   44.0 + 0.01 * i + 0.0005 * second * std::cos(i),
                                   37.0 + 0.01 * i + 0.0005 * second * std::sin(i),
                                   3000.0 + 10 * i + second % 50,
                                   std::fmod(0.1 * i + 0.01 * second, 6.28)};
      protocol::AppendTrackRecord(stored, fields);
      if (life == 250) {
        broadcast += *protocol::LostTrackRecord(stored);
      } else if (life < 250) {
        protocol::AppendWithSpeed(broadcast, stored, 400.0 + i);
      }
    }
    // The broadcast in datagrams of at most datagramBytes, cut anywhere.
    for (std::size_t at = 0; at < broadcast.size(); at += mission.datagramBytes) {
      frames.push_back({record::FrameKind::TrackDatagram, arrival,
                        Bytes(broadcast.substr(at, std::min(mission.datagramBytes, broadcast.size() - at)))});
    }
    if (second % 45 == 30) {
      // To everyone, then to Red.
      std::vector<std::uint8_t> chat{static_cast<std::uint8_t>(second % 2 == 0 ? 3 : 1)};
      const std::string text = "Picture at " + std::to_string(second);
      chat.insert(chat.end(), text.begin(), text.end());
      frames.push_back({record::FrameKind::ControlMessage, arrival + 300, chat});
    }
  }
  return frames;
}

std::vector<std::uint8_t> EncodeRecording(const GeneratedMission& mission, const std::vector<GeneratedFrame>& frames,
                                          std::uint32_t blockSpanMs) {
  record::RecordHeader header;
  header.coalition = static_cast<std::uint8_t>(mission.side);
  header.startMs = mission.startMs;
  const auto headerBytes = record::EncodeFileHeader(header);
  std::vector<std::uint8_t> file(headerBytes.begin(), headerBytes.end());
  std::size_t at = 0;
  while (at < frames.size()) {
    record::BlockHeader block;
    block.firstArrivalMs = frames[at].arrivalMs;
    std::vector<std::uint8_t> raw;
    while (at < frames.size() && frames[at].arrivalMs < block.firstArrivalMs + blockSpanMs) {
      record::AppendFrame(raw, frames[at].kind, frames[at].arrivalMs, frames[at].payload);
      block.lastArrivalMs = frames[at].arrivalMs;
      ++block.frameCount;
      ++at;
    }
    std::vector<std::uint8_t> stored(compressBound(static_cast<uLong>(raw.size())));
    uLongf size = static_cast<uLongf>(stored.size());
    compress2(stored.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 6);
    stored.resize(size);
    block.rawBytes = static_cast<std::uint32_t>(raw.size());
    block.storedBytes = static_cast<std::uint32_t>(stored.size());
    block.codec = record::Codec::Zlib;
    block.crc = record::Crc32(stored);
    const auto blockBytes = record::EncodeBlockHeader(block);
    file.insert(file.end(), blockBytes.begin(), blockBytes.end());
    file.insert(file.end(), stored.begin(), stored.end());
  }
  return file;
}

std::string DescribeTable(const model::CRivakDoc& document) {
  std::ostringstream out;
  std::lock_guard<model::ContactLock> guard(document.ContactTableLock());
  const model::ClientState& state = document.State();
  out.precision(9);
  out << "blue " << state.isBlue << " awacs " << state.OwnAwacsSlot().latitude << ' ' << state.OwnAwacsSlot().mode
      << " radars " << state.friendlyRadarCount << '/' << state.hostileRadarCount << " logon " << state.logOnTime
      << '\n';
  for (const model::CContact& c : document.Contacts()) {
    out << c.id << ' ' << c.name.toStdString() << ' ' << c.latitude << ' ' << c.longitude << ' ' << c.altitude << ' '
        << c.heading << ' ' << c.speed << ' ' << c.friendly << c.awacs << c.radarSite << c.altSymbol << c.carrier
        << " r" << c.radarNumber << " h" << c.lastHistory << ':';
    for (const model::HistoryPoint& point : c.history) out << ' ' << point.latitude << ',' << point.longitude;
    out << " prev " << c.previousAltitude << '\n';
  }
  return out.str();
}

}  // namespace vantor::test
