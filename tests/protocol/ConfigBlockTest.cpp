#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>

#include "vantor/protocol/ConfigBlock.h"

using namespace vantor::protocol;

namespace {

// Hand packing, independent of the encoder under test.
void PutLe32(ConfigBlockBytes& bytes, std::size_t offset, std::uint32_t value) {
  bytes[offset] = value & 0xff;
  bytes[offset + 1] = (value >> 8) & 0xff;
  bytes[offset + 2] = (value >> 16) & 0xff;
  bytes[offset + 3] = (value >> 24) & 0xff;
}

void PutLe64(ConfigBlockBytes& bytes, std::size_t offset, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) bytes[offset + i] = (value >> (8 * i)) & 0xff;
}

ConfigBlock DistinctBlock() {
  ConfigBlock block;
  for (int n = 0; n < kAirfieldCount; ++n) {
    block.airfieldRadarOn[0][n] = n % 2;
    block.airfieldRadarOn[1][n] = 1 - n % 2;
    block.airfieldRadarRangeKm[0][n] = 100 + n;
    block.airfieldRadarRangeKm[1][n] = 200 + n;
  }
  block.radarOnly = {1, 0};
  block.password = {"blue1", "red22"};
  block.awacsRangeKm = 350;
  block.awacsLatitude = {44.5, -43.25};
  block.awacsLongitude = {37.125, 38.0625};
  block.awacsMode = {0, 12};
  block.missionClock = 43260;
  return block;
}

ConfigBlockBytes HandBuilt(const ConfigBlock& block) {
  ConfigBlockBytes bytes{};
  PutLe32(bytes, 0, 6);
  for (int n = 0; n < kAirfieldCount; ++n) {
    PutLe32(bytes, 4 + 4 * n, block.airfieldRadarOn[0][n]);
    PutLe32(bytes, 92 + 4 * n, block.airfieldRadarOn[1][n]);
    PutLe32(bytes, 180 + 4 * n, block.airfieldRadarRangeKm[0][n]);
    PutLe32(bytes, 268 + 4 * n, block.airfieldRadarRangeKm[1][n]);
  }
  PutLe32(bytes, 356, block.radarOnly[0]);
  PutLe32(bytes, 360, block.radarOnly[1]);
  std::memcpy(&bytes[364], block.password[0].data(), block.password[0].size());
  std::memcpy(&bytes[374], block.password[1].data(), block.password[1].size());
  PutLe32(bytes, 384, block.awacsRangeKm);
  PutLe64(bytes, 388, std::bit_cast<std::uint64_t>(block.awacsLatitude[0]));
  PutLe64(bytes, 396, std::bit_cast<std::uint64_t>(block.awacsLatitude[1]));
  PutLe64(bytes, 404, std::bit_cast<std::uint64_t>(block.awacsLongitude[0]));
  PutLe64(bytes, 412, std::bit_cast<std::uint64_t>(block.awacsLongitude[1]));
  PutLe32(bytes, 420, block.awacsMode[0]);
  PutLe32(bytes, 424, block.awacsMode[1]);
  PutLe32(bytes, 428, static_cast<std::uint32_t>(block.missionClock));
  return bytes;
}

}  // namespace

TEST(ConfigBlock, EveryFieldSitsAtItsOffset) {
  const ConfigBlock block = DistinctBlock();
  const ConfigBlockBytes encoded = EncodeConfigBlock(block);
  EXPECT_EQ(encoded.size(), 432u);
  EXPECT_EQ(encoded, HandBuilt(block));
}

TEST(ConfigBlock, DecodesHandBuiltBytesAndRoundTrips) {
  const ConfigBlock block = DistinctBlock();
  const auto decoded = DecodeConfigBlock(HandBuilt(block));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(*decoded, block);
  EXPECT_EQ(EncodeConfigBlock(*decoded), HandBuilt(block));
}

TEST(ConfigBlock, NegativeAndExtremeValuesKeepTheirBits) {
  ConfigBlock block;
  block.missionClock = -5;
  block.awacsRangeKm = 0x7fffffff;
  block.awacsLatitude[0] = -0.0;
  const ConfigBlockBytes bytes = EncodeConfigBlock(block);
  EXPECT_EQ(bytes[428], 0xfb);
  EXPECT_EQ(bytes[431], 0xff);
  EXPECT_EQ(bytes[387], 0x7f);
  EXPECT_EQ(bytes[395], 0x80);  // sign bit of -0.0, last byte of the little-endian double
  const auto decoded = DecodeConfigBlock(bytes);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->missionClock, -5);
  EXPECT_TRUE(std::signbit(decoded->awacsLatitude[0]));
}

TEST(ConfigBlock, NineCharacterPasswordFillsItsFieldThenAZero) {
  ConfigBlock block;
  block.password = {"ABCDEFGHI", "123456789"};
  const ConfigBlockBytes bytes = EncodeConfigBlock(block);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[364]), 9), "ABCDEFGHI");
  EXPECT_EQ(bytes[373], 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[374]), 9), "123456789");
  EXPECT_EQ(bytes[383], 0);
  const auto decoded = DecodeConfigBlock(bytes);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->password[0], "ABCDEFGHI");
  EXPECT_EQ(decoded->password[1], "123456789");
}

TEST(ConfigBlock, TwelveCharacterPasswordTravelsAsItsFirstNine) {
  ConfigBlock block;
  block.password = {"ABCDEFGHIJKL", "short"};
  const ConfigBlockBytes bytes = EncodeConfigBlock(block);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[364]), 9), "ABCDEFGHI");
  EXPECT_EQ(bytes[373], 0);  // never 'J'
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[374]), 10), std::string("short\0\0\0\0\0", 10));
  EXPECT_EQ(bytes[384], 0);  // the range after it is untouched
  EXPECT_EQ(DecodeConfigBlock(bytes)->password[0], "ABCDEFGHI");
}

TEST(ConfigBlock, ShortInputIsRefusedLongerInputReadsTheFirst432Bytes) {
  const ConfigBlockBytes bytes = EncodeConfigBlock(DistinctBlock());
  EXPECT_FALSE(DecodeConfigBlock(std::span(bytes).first(431)));
  EXPECT_FALSE(DecodeConfigBlock({}));
  std::vector<std::uint8_t> longer(bytes.begin(), bytes.end());
  longer.insert(longer.end(), {'F', 'I', 'N'});
  EXPECT_EQ(*DecodeConfigBlock(longer), DistinctBlock());
}

TEST(ConfigBlock, VersionIsCarriedNotChecked) {
  ConfigBlockBytes bytes = EncodeConfigBlock(ConfigBlock{});
  EXPECT_EQ(bytes[0], 6);
  bytes[0] = 5;
  EXPECT_EQ(DecodeConfigBlock(bytes)->version, 5);
}
