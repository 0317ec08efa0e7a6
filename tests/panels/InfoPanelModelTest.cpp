// What the information panel shows, without a window: the clock, the channel
// lines and how many fit, the callsign list, the comparison blocks and the
// picking sequence.
#include <gtest/gtest.h>

#include "InfoIlsTestSupport.h"
#include "vantor/model/CRivakDoc.h"
#include "vantor/shell/InfoPanelModel.h"

namespace vantor::shell::test {
namespace {

TEST(InfoPanelClock, MissionTimeSinceLogOnAsHoursModulo24) {
  // Logged on at 1000 with the mission at 10:00:00; now 3725 s later.
  const std::int64_t t = MissionSeconds(1000 + 3725, 10 * 3600, 1000);
  EXPECT_EQ(CoalitionClockText(false, t, Language::English), "Blue Coalition    11:02:05");
  EXPECT_EQ(CoalitionClockText(true, t, Language::Spanish), "Red Coalition     11:02:05");
  EXPECT_EQ(CoalitionClockText(false, 25 * 3600 + 59, Language::French), "Blue Coalition    01:00:59");
  EXPECT_EQ(CoalitionClockText(false, 0, Language::English), "Blue Coalition    00:00:00");
  // A wall clock set back since the log-on still gives two digits a field.
  EXPECT_EQ(CoalitionClockText(false, -1, Language::English), "Blue Coalition    23:59:59");
}

TEST(InfoPanelClock, ZoneLineByLanguage) {
  EXPECT_EQ(CurrentZoneText("Anapa", Language::English), "Current zone : Anapa");
  EXPECT_EQ(CurrentZoneText("Anapa", Language::French), "Current zone : Anapa");
  EXPECT_EQ(CurrentZoneText("Anapa", Language::Spanish), "Zona Actual : Anapa");
}

TEST(InfoPanelChannels, LinesFiveAndSixAndTheListNeedTallScreens) {
  EXPECT_EQ(ChannelLinesShown(600), 4);
  EXPECT_EQ(ChannelLinesShown(850), 4);
  EXPECT_EQ(ChannelLinesShown(851), 5);
  EXPECT_EQ(ChannelLinesShown(880), 5);
  EXPECT_EQ(ChannelLinesShown(881), 6);
  EXPECT_FALSE(FriendlyListShown(1020));
  EXPECT_TRUE(FriendlyListShown(1021));
}

TEST(InfoPanelChannels, NamesComeFromTheRecordWithTheButtonsChannelNumber) {
  FakeChannels channels;
  channels.Name(0, 0, "Lobby");
  channels.Name(3, 7, "Tower");
  channels.Name(4, 7, "Second tower");         // the first record with the number wins
  channels.Name(5, 12, std::string(30, 'A'));  // fills the field: no terminating zero
  channels.assigned = {7, 0, 12, 99, kNoChannel, 7};
  EXPECT_EQ(ChannelName(&channels, 0, Language::English), "Tower");
  EXPECT_EQ(ChannelName(&channels, 1, Language::English), "Lobby");
  EXPECT_EQ(ChannelName(&channels, 2, Language::English), QString(30, u'A'));
  EXPECT_EQ(ChannelName(&channels, 3, Language::English), "Not used");
  EXPECT_EQ(ChannelName(&channels, 3, Language::Spanish), "No Utilizado");
  EXPECT_EQ(ChannelName(&channels, 4, Language::French), "Not used");
  // No button panel yet.
  EXPECT_EQ(ChannelName(nullptr, 0, Language::Spanish), "No Utilizado");

  EXPECT_EQ(ChannelLineText(0, "Tower", Language::English), "Chanel 1 : Tower");
  EXPECT_EQ(ChannelLineText(5, "Tower", Language::French), "Canal 6 : Tower");
  EXPECT_EQ(ChannelLineText(2, "Tower", Language::Spanish), "Canal 3 : Tower");
}

TEST(InfoPanelList, CallsignThenThePilotPartOfTheName) {
  EXPECT_EQ(CallsignListLine("KOD1", "F-16C (Viper)"), "KOD1--->Viper");
  EXPECT_EQ(CallsignListLine("PAP2", "Hornet"), "PAP2--->Hornet");
  EXPECT_EQ(CallsignListLine("FAL3", "Su-27 (Ivan (2)) x"), "FAL3--->Ivan (2 x");
}

model::CContact Contact(int id, const char* name, bool friendly) {
  model::CContact contact;
  contact.id = id;
  contact.name = name;
  contact.friendly = friendly;
  return contact;
}

TEST(InfoPanelBlocks, DisplayNames) {
  EXPECT_EQ(ComparisonDisplayName(Contact(1, "F-16C (Viper)", true), std::nullopt), "F-16C ");
  // Without "(", or with it first: the first 8 characters.
  EXPECT_EQ(ComparisonDisplayName(Contact(1, "Hornet Lead", true), std::nullopt), "Hornet L");
  EXPECT_EQ(ComparisonDisplayName(Contact(1, "(Viper) F-16C", true), std::nullopt), "(Viper) ");
  EXPECT_EQ(ComparisonDisplayName(Contact(1, "MiG", true), std::nullopt), "MiG");
  EXPECT_EQ(ComparisonDisplayName(Contact(1, "F-16C (Viper)", true), QString("KOD1")), "KOD1");
  EXPECT_EQ(ComparisonDisplayName(Contact(42, "Su-27 (Ivan)", false), std::nullopt), "00000042");
  EXPECT_EQ(ComparisonDisplayName(Contact(12345678, "Su-27", false), QString("BIZ4")), "BIZ4");
}

ComparedContact At(const char* name, double latitude, double longitude, double altitude = 0, double speed = 0,
                   double heading = 0) {
  return {name, latitude, longitude, altitude, speed, heading};
}

TEST(InfoPanelBlocks, UnitsBothWays) {
  const auto a = At("A", 45.0, 38.0, 3000.0, 900.0, 1.5707963);  // east
  const auto b = At("B", 45.0, 38.0, 12.0, 100.0, 0.0);
  const auto nautical = ComparisonBlock(a, b, true, Language::English);
  ASSERT_TRUE(nautical);
  EXPECT_EQ(nautical->names, "A--B");
  EXPECT_EQ(nautical->altitude, "Alt:0098 Alt:0000");
  EXPECT_EQ(nautical->speed, "Spd:0485 Spd:0054");
  EXPECT_EQ(nautical->heading, "Hdg:090  Hdg:000 ");
  EXPECT_EQ(nautical->rule, "------------------------------------");
  EXPECT_EQ(nautical->caption, "Bearing/Range");
  // Two contacts at one position: range 0, bearing 0.
  EXPECT_EQ(nautical->bearingRange, "000/000");
  const auto metric = ComparisonBlock(a, b, false, Language::English);
  EXPECT_EQ(metric->altitude, "Alt:3000 Alt:0012");
  EXPECT_EQ(metric->speed, "Spd:0900 Spd:0100");
}

TEST(InfoPanelBlocks, AbsentContactsReadNoneAndZeros) {
  EXPECT_FALSE(ComparisonBlock(std::nullopt, std::nullopt, false, Language::English));
  const auto firstOnly =
      ComparisonBlock(At("KOD1", 45, 38, 2000, 500, 3.1415926), std::nullopt, false, Language::English);
  ASSERT_TRUE(firstOnly);
  EXPECT_EQ(firstOnly->names, "KOD1--none");
  EXPECT_EQ(firstOnly->altitude, "Alt:2000 Alt:0000");
  EXPECT_EQ(firstOnly->speed, "Spd:0500 Spd:0000");
  EXPECT_EQ(firstOnly->heading, "Hdg:180  Hdg:000 ");
  EXPECT_FALSE(firstOnly->bearingRange);
  const auto secondOnly = ComparisonBlock(std::nullopt, At("KOD2", 45, 38), false, Language::English);
  EXPECT_EQ(secondOnly->names, "none--KOD2");
  EXPECT_FALSE(secondOnly->bearingRange);
}

TEST(InfoPanelBlocks, BearingAndChordRange) {
  const geo::GeoPoint origin{45.0, 38.0};
  const geo::GeoPoint north = NorthOf(origin, 100.0);
  const geo::GeoPoint east = EastOf(origin, 100.0);
  EXPECT_NEAR(PairRangeKm(origin.latitude, origin.longitude, north.latitude, north.longitude), 100.0, 1e-6);
  EXPECT_NEAR(PairBearingDeg(origin.latitude, origin.longitude, north.latitude, north.longitude), 0.0, 1e-9);
  // Due east along a parallel the great circle leaves a little north of east.
  EXPECT_NEAR(PairBearingDeg(origin.latitude, origin.longitude, east.latitude, east.longitude), 89.6, 0.1);
  EXPECT_NEAR(PairBearingDeg(north.latitude, north.longitude, origin.latitude, origin.longitude), 180.0,
              1e-4);  // 57.29578, not 180 / pi
  // West of north is a bearing above 180, never negative.
  EXPECT_NEAR(PairBearingDeg(east.latitude, east.longitude, origin.latitude, origin.longitude), 270.4, 0.1);

  const auto block = ComparisonBlock(At("A", origin.latitude, origin.longitude),
                                     At("B", north.latitude, north.longitude), false, Language::English);
  EXPECT_EQ(block->bearingRange, "000/100");
  const auto nautical = ComparisonBlock(At("A", north.latitude, north.longitude),
                                        At("B", origin.latitude, origin.longitude), true, Language::English);
  EXPECT_EQ(nautical->bearingRange, "180/054");  // 100 km x 0.539
}

TEST(InfoPanelPicks, TwoPicksFillABlockAndCancelStartsOver) {
  ComparisonPicks picks;
  EXPECT_FALSE(picks.OnContactPicked(5));  // idle: nothing
  EXPECT_FALSE(picks.Picked()[0]);
  picks.Start(0);
  EXPECT_EQ(picks.State(), PickState::Block1First);
  EXPECT_FALSE(picks.OnContactPicked(11));
  EXPECT_EQ(picks.State(), PickState::Block1Second);
  EXPECT_TRUE(picks.OnContactPicked(12));
  EXPECT_EQ(picks.State(), PickState::Idle);
  EXPECT_EQ(picks.Picked()[0], 11);
  EXPECT_EQ(picks.Picked()[1], 12);

  picks.Start(1);
  EXPECT_FALSE(picks.OnContactPicked(21));
  picks.Cancel();
  EXPECT_EQ(picks.State(), PickState::Idle);
  EXPECT_EQ(picks.Picked()[2], 21);  // kept until picked again
  picks.Start(1);
  EXPECT_FALSE(picks.OnContactPicked(31));
  EXPECT_TRUE(picks.OnContactPicked(32));
  EXPECT_EQ(picks.Picked()[2], 31);
  EXPECT_EQ(picks.Picked()[3], 32);
  EXPECT_EQ(picks.Picked()[0], 11);  // block 1 untouched
  // Both of a block at once, the state untouched.
  picks.Start(0);
  picks.Set(1, 41, 42);
  EXPECT_EQ(picks.Picked()[2], 41);
  EXPECT_EQ(picks.Picked()[3], 42);
  EXPECT_EQ(picks.State(), PickState::Block1First);
}

TEST(InfoPanelSnapshotTest, FriendlyCallsignsAndThePickedContactsInOneWalk) {
  model::ClientState state;
  model::CRivakDoc document(state);
  document.UpdateContact(1, "F-16C (Viper)", 45.0, 38.0, 3000, 0, true, 'B', 500);
  document.UpdateContact(2, "F-15C (Eagle)", 45.1, 38.0, 4000, 0, true, 'B', 500);
  document.UpdateContact(3, "Su-27 (Ivan)", 45.2, 38.0, 5000, 0, false, 'B', 500);
  document.AssignCallsign("KOD", 2);
  document.AssignCallsign("BIZ", 3);   // hostile: not listed
  document.AssignCallsign("PAP", 77);  // no such contact
  const auto snapshot = TakeInfoSnapshot(document, {1, 3, std::nullopt, 99});
  ASSERT_EQ(snapshot.callsignLines.size(), 1u);
  EXPECT_EQ(snapshot.callsignLines[0], "KOD1--->Eagle");
  ASSERT_TRUE(snapshot.picked[0]);
  EXPECT_EQ(snapshot.picked[0]->displayName, "F-16C ");
  EXPECT_EQ(snapshot.picked[0]->altitude, 3000.0);
  ASSERT_TRUE(snapshot.picked[1]);
  EXPECT_EQ(snapshot.picked[1]->displayName, "BIZ1");
  EXPECT_FALSE(snapshot.picked[2]);
  EXPECT_FALSE(snapshot.picked[3]);  // left the table, or never there
}

}  // namespace
}  // namespace vantor::shell::test
