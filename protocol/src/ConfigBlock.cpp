#include "vantor/protocol/ConfigBlock.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace vantor::protocol {
namespace {

using namespace config_offset;

// The layout is fixed on the wire; these pin every field to its neighbour.
static_assert(kBlueAirfieldOn == kVersion + 4);
static_assert(kRedAirfieldOn == kBlueAirfieldOn + 4 * kAirfieldCount);
static_assert(kBlueAirfieldRange == kRedAirfieldOn + 4 * kAirfieldCount);
static_assert(kRedAirfieldRange == kBlueAirfieldRange + 4 * kAirfieldCount);
static_assert(kBlueRadarOnly == kRedAirfieldRange + 4 * kAirfieldCount);
static_assert(kRedRadarOnly == kBlueRadarOnly + 4);
static_assert(kBluePassword == kRedRadarOnly + 4);
static_assert(kRedPassword == kBluePassword + kPasswordLength + 1);
static_assert(kAwacsRange == kRedPassword + kPasswordLength + 1);
static_assert(kBlueAwacsLatitude == kAwacsRange + 4);
static_assert(kRedAwacsLatitude == kBlueAwacsLatitude + 8);
static_assert(kBlueAwacsLongitude == kRedAwacsLatitude + 8);
static_assert(kRedAwacsLongitude == kBlueAwacsLongitude + 8);
static_assert(kBlueAwacsMode == kRedAwacsLongitude + 8);
static_assert(kRedAwacsMode == kBlueAwacsMode + 4);
static_assert(kMissionClock == kRedAwacsMode + 4);
static_assert(kConfigBlockSize == kMissionClock + 4);
static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559);

void PutInt32(ConfigBlockBytes& out, std::size_t offset, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (std::size_t i = 0; i < 4; ++i) out[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

void PutDouble(ConfigBlockBytes& out, std::size_t offset, double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  for (std::size_t i = 0; i < 8; ++i) out[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

void PutPassword(ConfigBlockBytes& out, std::size_t offset, const std::string& password) {
  // The field and the byte after it stay zero beyond the password.
  const std::size_t length = std::min(password.size(), kPasswordLength);
  for (std::size_t i = 0; i < length; ++i) out[offset + i] = static_cast<std::uint8_t>(password[i]);
}

std::int32_t GetInt32(std::span<const std::uint8_t> in, std::size_t offset) {
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < 4; ++i) bits |= static_cast<std::uint32_t>(in[offset + i]) << (8 * i);
  return static_cast<std::int32_t>(bits);
}

double GetDouble(std::span<const std::uint8_t> in, std::size_t offset) {
  std::uint64_t bits = 0;
  for (std::size_t i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(in[offset + i]) << (8 * i);
  return std::bit_cast<double>(bits);
}

std::string GetPassword(std::span<const std::uint8_t> in, std::size_t offset) {
  std::string password;
  for (std::size_t i = 0; i < kPasswordLength && in[offset + i] != 0; ++i) {
    password.push_back(static_cast<char>(in[offset + i]));
  }
  return password;
}

}  // namespace

ConfigBlockBytes EncodeConfigBlock(const ConfigBlock& block) {
  ConfigBlockBytes out{};
  PutInt32(out, kVersion, block.version);
  for (std::size_t n = 0; n < kAirfieldCount; ++n) {
    PutInt32(out, kBlueAirfieldOn + 4 * n, block.airfieldRadarOn[0][n]);
    PutInt32(out, kRedAirfieldOn + 4 * n, block.airfieldRadarOn[1][n]);
    PutInt32(out, kBlueAirfieldRange + 4 * n, block.airfieldRadarRangeKm[0][n]);
    PutInt32(out, kRedAirfieldRange + 4 * n, block.airfieldRadarRangeKm[1][n]);
  }
  PutInt32(out, kBlueRadarOnly, block.radarOnly[0]);
  PutInt32(out, kRedRadarOnly, block.radarOnly[1]);
  PutPassword(out, kBluePassword, block.password[0]);
  PutPassword(out, kRedPassword, block.password[1]);
  PutInt32(out, kAwacsRange, block.awacsRangeKm);
  PutDouble(out, kBlueAwacsLatitude, block.awacsLatitude[0]);
  PutDouble(out, kRedAwacsLatitude, block.awacsLatitude[1]);
  PutDouble(out, kBlueAwacsLongitude, block.awacsLongitude[0]);
  PutDouble(out, kRedAwacsLongitude, block.awacsLongitude[1]);
  PutInt32(out, kBlueAwacsMode, block.awacsMode[0]);
  PutInt32(out, kRedAwacsMode, block.awacsMode[1]);
  PutInt32(out, kMissionClock, block.missionClock);
  return out;
}

std::optional<ConfigBlock> DecodeConfigBlock(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kConfigBlockSize) return std::nullopt;
  ConfigBlock block;
  block.version = GetInt32(bytes, kVersion);
  for (std::size_t n = 0; n < kAirfieldCount; ++n) {
    block.airfieldRadarOn[0][n] = GetInt32(bytes, kBlueAirfieldOn + 4 * n);
    block.airfieldRadarOn[1][n] = GetInt32(bytes, kRedAirfieldOn + 4 * n);
    block.airfieldRadarRangeKm[0][n] = GetInt32(bytes, kBlueAirfieldRange + 4 * n);
    block.airfieldRadarRangeKm[1][n] = GetInt32(bytes, kRedAirfieldRange + 4 * n);
  }
  block.radarOnly[0] = GetInt32(bytes, kBlueRadarOnly);
  block.radarOnly[1] = GetInt32(bytes, kRedRadarOnly);
  block.password[0] = GetPassword(bytes, kBluePassword);
  block.password[1] = GetPassword(bytes, kRedPassword);
  block.awacsRangeKm = GetInt32(bytes, kAwacsRange);
  block.awacsLatitude[0] = GetDouble(bytes, kBlueAwacsLatitude);
  block.awacsLatitude[1] = GetDouble(bytes, kRedAwacsLatitude);
  block.awacsLongitude[0] = GetDouble(bytes, kBlueAwacsLongitude);
  block.awacsLongitude[1] = GetDouble(bytes, kRedAwacsLongitude);
  block.awacsMode[0] = GetInt32(bytes, kBlueAwacsMode);
  block.awacsMode[1] = GetInt32(bytes, kRedAwacsMode);
  block.missionClock = GetInt32(bytes, kMissionClock);
  return block;
}

}  // namespace vantor::protocol
