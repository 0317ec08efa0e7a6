// Log-on rules: passwords, the AWACS of the client's side, the scope's first
// centring and the sensor reset before a connection.
#include <gtest/gtest.h>

#include "vantor/model/ClientState.h"
#include "vantor/net/LogOnRules.h"

namespace vantor::net {
namespace {

protocol::ConfigBlock Passwords(std::string blue, std::string red) {
  protocol::ConfigBlock block;
  block.password = {std::move(blue), std::move(red)};
  return block;
}

TEST(Passwords, ComparedOverNineCharactersWithoutRegardToCase) {
  EXPECT_TRUE(PasswordMatches("Tiger", "tIGER"));
  EXPECT_TRUE(PasswordMatches("abcdefghi", "ABCDEFGHI"));
  // The first nine characters decide.
  EXPECT_TRUE(PasswordMatches("abcdefghiXYZ", "abcdefghi"));
  EXPECT_TRUE(PasswordMatches("abcdefghi", "abcdefghiQQ"));
  EXPECT_FALSE(PasswordMatches("abcdefgh", "abcdefghi"));
  EXPECT_FALSE(PasswordMatches("tige", "tiger"));
  EXPECT_FALSE(PasswordMatches("tigers", "tiger"));
  EXPECT_FALSE(PasswordMatches("x", ""));
  EXPECT_TRUE(PasswordMatches("", ""));
  // Only ASCII letters fold; other bytes must be equal.
  EXPECT_FALSE(PasswordMatches("caf\xc3\xa9", "CAF\xc3\x89"));
  EXPECT_TRUE(PasswordMatches("caf\xc3\xa9", "CAF\xc3\xa9"));
  // An embedded NUL ends the entry, as it ends a C string.
  EXPECT_TRUE(PasswordMatches(std::string_view("red\0xx", 6), "RED"));
}

TEST(Passwords, BlueIsTriedBeforeRed) {
  EXPECT_EQ(SideForPassword("blue", Passwords("blue", "red")), kBlueSide);
  EXPECT_EQ(SideForPassword("RED", Passwords("blue", "red")), kRedSide);
  EXPECT_EQ(SideForPassword("same", Passwords("same", "SAME")), kBlueSide);
  EXPECT_EQ(SideForPassword("green", Passwords("blue", "red")), std::nullopt);
  // With only Red protected, an empty entry is Blue's.
  EXPECT_EQ(SideForPassword("", Passwords("", "red")), kBlueSide);
  EXPECT_TRUE(HasNoPasswords(Passwords("", "")));
  EXPECT_FALSE(HasNoPasswords(Passwords("", "r")));
  EXPECT_FALSE(HasNoPasswords(Passwords("b", "")));
}

TEST(AwacsAfterLogOn, SimulatorAwacsHasNoStaticPosition) {
  protocol::ConfigBlock block;
  block.awacsMode = {0, 12};
  block.awacsLatitude = {44.0, 45.0};
  block.awacsLongitude = {37.0, 38.0};
  AdjustAwacsForSide(block, kBlueSide);
  EXPECT_EQ(block.awacsMode[0], 0);
  EXPECT_EQ(block.awacsLatitude[0], 0.0);
  EXPECT_EQ(block.awacsLongitude[0], 0.0);
  // The other side is left alone.
  EXPECT_EQ(block.awacsLatitude[1], 45.0);

  AdjustAwacsForSide(block, kRedSide);
  EXPECT_EQ(block.awacsMode[1], 12);
  EXPECT_EQ(block.awacsLatitude[1], 45.0);
  EXPECT_EQ(block.awacsLongitude[1], 38.0);
}

TEST(AwacsAfterLogOn, RadarOnlySideGetsModeEightAtTheOrigin) {
  protocol::ConfigBlock block;
  block.awacsMode = {5, 5};
  block.awacsLatitude = {44.0, 45.0};
  block.awacsLongitude = {37.0, 38.0};
  block.radarOnly = {0, 1};
  AdjustAwacsForSide(block, kRedSide);
  EXPECT_EQ(block.awacsMode[1], 8);
  EXPECT_EQ(block.awacsLatitude[1], 0.0);
  EXPECT_EQ(block.awacsLongitude[1], 0.0);
  AdjustAwacsForSide(block, kBlueSide);
  EXPECT_EQ(block.awacsMode[0], 5);
  EXPECT_EQ(block.awacsLatitude[0], 44.0);
}

TEST(InitialCentre, OnlyWhenKrasnodarCenterIsOutOfService) {
  protocol::ConfigBlock block;
  for (auto& side : block.airfieldRadarOn) side.fill(1);
  EXPECT_EQ(InitialCentringCommand(block, kBlueSide), std::nullopt);

  block.airfieldRadarOn[0].fill(0);
  block.airfieldRadarOn[0][3] = 1;
  block.airfieldRadarOn[0][15] = 1;
  EXPECT_EQ(InitialCentringCommand(block, kBlueSide), 32703);
  EXPECT_EQ(InitialCentringCommand(block, kRedSide), std::nullopt);

  // Only a flag of exactly 1 counts as in service.
  block.airfieldRadarOn[1].fill(0);
  block.airfieldRadarOn[1][0] = 2;
  block.airfieldRadarOn[1][21] = 1;
  EXPECT_EQ(InitialCentringCommand(block, kRedSide), 32721);

  block.airfieldRadarOn[1].fill(0);
  EXPECT_EQ(InitialCentringCommand(block, kRedSide), std::nullopt);
}

TEST(SensorReset, BeforeEachConnection) {
  model::ClientState state;
  state.configBlock = Passwords("b", "r");
  state.configBlock.airfieldRadarOn[0].fill(0);
  state.configBlock.airfieldRadarRangeKm[1].fill(77);
  state.configBlock.awacsMode = {0, 3};
  state.configBlock.radarOnly = {1, 1};
  state.configBlock.awacsLatitude = {44.0, 45.0};
  state.awacsSeen = 1;
  state.awacsLostTicks = 17;
  state.friendlyRadarCount = 4;
  ResetSensorPart(state);
  for (const auto& side : state.configBlock.airfieldRadarOn) {
    for (int flag : side) EXPECT_EQ(flag, 1);
  }
  EXPECT_EQ(state.configBlock.awacsMode, (std::array<std::int32_t, 2>{8, 8}));
  EXPECT_EQ(state.configBlock.radarOnly, (std::array<std::int32_t, 2>{0, 0}));
  EXPECT_EQ(state.awacsSeen, 0);
  EXPECT_EQ(state.awacsLostTicks, 0);
  // What is not the sensor part stays.
  EXPECT_EQ(state.configBlock.airfieldRadarRangeKm[1][0], 77);
  EXPECT_EQ(state.configBlock.awacsLatitude[0], 44.0);
  EXPECT_EQ(state.configBlock.password[0], "b");
  EXPECT_EQ(state.friendlyRadarCount, 4);
}

}  // namespace
}  // namespace vantor::net
