// Radar types, airfield records and the Airports menu.
#include <gtest/gtest.h>

#include <set>

#include "vantor/model/Airfields.h"
#include "vantor/model/CRivakDoc.h"
#include "vantor/model/RadarTypeTable.h"

namespace vantor::model {
namespace {

struct RadarLookup {
  double detection = -1.0;
  int sector = -1;
  int weapon = -1;
  int altitudeLimit = -1;
};

RadarLookup Lookup(std::string_view name) {
  RadarLookup result;
  result.detection = LookupRadarType(name, result.sector, result.weapon, result.altitudeLimit);
  return result;
}

TEST(RadarTypeTable, SharesTheOrderOfTheProtocolNames) {
  ASSERT_EQ(RadarTypeTable.size(), 23u);
  for (std::size_t row = 0; row < RadarTypeTable.size(); ++row) {
    EXPECT_EQ(RadarTypeTable[row].typeName, protocol::RadarTypeNames[row]) << row;
  }
}

TEST(RadarTypeTable, NoTypeNameContainsAnother) {
  for (std::size_t a = 0; a < RadarTypeTable.size(); ++a) {
    for (std::size_t b = 0; b < RadarTypeTable.size(); ++b) {
      if (a == b) continue;
      EXPECT_EQ(RadarTypeTable[a].typeName.find(RadarTypeTable[b].typeName), std::string_view::npos);
    }
  }
}

TEST(LookupRadarType, LowerCaseNameMatchesHawkSearchRadar) {
  const RadarLookup hawk = Lookup("site 3 hawk sr north");
  EXPECT_DOUBLE_EQ(hawk.detection, 90.0);
  EXPECT_EQ(hawk.weapon, 32);
  EXPECT_EQ(hawk.sector, 360);
  EXPECT_EQ(hawk.altitudeLimit, 90);
}

TEST(LookupRadarType, OnlyPatriotHasASector) {
  const RadarLookup patriot = Lookup("PATRIOT STR");
  EXPECT_EQ(patriot.sector, 120);
  EXPECT_EQ(patriot.weapon, 160);
  EXPECT_DOUBLE_EQ(patriot.detection, 170.0);
  for (std::size_t row = 0; row < RadarTypeTable.size(); ++row) {
    const RadarLookup found = Lookup(RadarTypeTable[row].typeName);
    EXPECT_EQ(found.sector, row == kPatriotRow ? 120 : 360) << RadarTypeTable[row].typeName;
    EXPECT_DOUBLE_EQ(found.detection, RadarTypeTable[row].detectionRangeKm);
  }
}

TEST(LookupRadarType, TruncatesWeaponRangeAndAltitudeLimit) {
  const RadarLookup roland = Lookup("ROLAND ADS");
  EXPECT_EQ(roland.weapon, 6);
  EXPECT_EQ(roland.altitudeLimit, 6);
  EXPECT_DOUBLE_EQ(roland.detection, 6.3);
  for (const char* name : {"VULCAN", "ZSU-23-4 SHILKA"}) {
    const RadarLookup gun = Lookup(name);
    EXPECT_EQ(gun.weapon, 2) << name;
    EXPECT_DOUBLE_EQ(gun.detection, 5.0) << name;
  }
  const RadarLookup ewr = Lookup("1L13 EWR");
  EXPECT_DOUBLE_EQ(ewr.detection, 300.0);
  EXPECT_EQ(ewr.altitudeLimit, 120);
  EXPECT_EQ(ewr.weapon, 0);
  EXPECT_EQ(Lookup("S-300PS 64H6E SR").altitudeLimit, 250);
  EXPECT_EQ(Lookup("OSA 9A33 LN").altitudeLimit, 20);
}

TEST(LookupRadarType, NoMatchWritesNothing) {
  int sector = 7, weapon = 8, limit = 9;
  EXPECT_DOUBLE_EQ(LookupRadarType("T-72B", sector, weapon, limit), 0.0);
  EXPECT_EQ(sector, 7);
  EXPECT_EQ(weapon, 8);
  EXPECT_EQ(limit, 9);
  EXPECT_DOUBLE_EQ(LookupRadarType("", sector, weapon, limit), 0.0);
  // A near miss is no match: the whole type name must appear.
  EXPECT_DOUBLE_EQ(LookupRadarType("HAWK S", sector, weapon, limit), 0.0);
}

TEST(LookupRadarType, FirstRowInTableOrderWins) {
  // Both "AVENGER" (row 1) and "TOR 9A331" (row 22) appear; row 1 is searched first.
  EXPECT_DOUBLE_EQ(Lookup("TOR 9A331 + AVENGER").detection, 6.0);
  EXPECT_DOUBLE_EQ(Lookup("Stinger Comm").detection, 4.0);
  // Non-ASCII bytes survive the case change.
  EXPECT_DOUBLE_EQ(Lookup("\xc3\xa9quipe igla").detection, 4.0);
}

TEST(Airfields, TwentySixRecordsInTheirOrder) {
  const std::vector<CAirfield> table = BuildAirfieldTable();
  ASSERT_EQ(table.size(), 26u);
  EXPECT_EQ(table.front().name, "Belbek");
  EXPECT_EQ(table.front().code, "BELK");
  EXPECT_EQ(table[3].code, "URKK");
  EXPECT_EQ(table[3].menuId, 0);
  EXPECT_EQ(table[3].primary, 0);
  EXPECT_EQ(table[6].approachAtFirstEnd, 0);  // the second Sochi-Adler runway
  int approachAtSecondEnd = 0;
  for (const CAirfield& airfield : table) {
    approachAtSecondEnd += airfield.approachAtFirstEnd == 0;
    EXPECT_EQ(airfield.activeEndFlipped, 0);
  }
  EXPECT_EQ(approachAtSecondEnd, 1);
  EXPECT_EQ(table[17].code, "KRAS");  // Krasnogvardeyskoye shares Krasnodar Center's code
  EXPECT_EQ(table[15].labelDy, 20);
  EXPECT_EQ(table[15].labelDx, 20);
  EXPECT_DOUBLE_EQ(table[23].end2Latitude, 45.0930555);
  EXPECT_DOUBLE_EQ(table[23].end2Longitude, 33.6147);
  const CAirfield& carrier = table.back();
  EXPECT_EQ(carrier.name, "Kuz");
  EXPECT_EQ(carrier.menuId, kCarrierMenuId);
  EXPECT_EQ(carrier.runwayHeading, 0);
  EXPECT_DOUBLE_EQ(carrier.refLatitude, 0.0);
  EXPECT_DOUBLE_EQ(carrier.end1Longitude, 0.0);
}

TEST(Airfields, EveryMenuEntrySelectsARecord) {
  ClientState state;
  const CRivakDoc doc(state);
  std::set<int> ids;
  for (std::size_t position = 0; position < kAirportsMenuEntries.size(); ++position) {
    const AirportMenuEntry& entry = kAirportsMenuEntries[position];
    EXPECT_EQ(entry.menuId, 32700 + static_cast<int>(position));
    EXPECT_EQ(AirfieldIndexOfMenuId(entry.menuId), static_cast<int>(position) + 1);
    EXPECT_NE(doc.FindAirfieldRecord(entry.menuId), nullptr) << entry.text;
    ids.insert(entry.menuId);
  }
  EXPECT_EQ(ids.size(), 22u);
  EXPECT_STREQ(kAirportsMenuEntries[10].text, "Krasnodar center");
  EXPECT_STREQ(kAirportsMenuEntries[11].text, "Krasnodar-Pashkovkiy");
  EXPECT_STREQ(kAirportsMenuEntries[21].text, "Kuznetsov");
  EXPECT_EQ(AirfieldIndexOfMenuId(32699), 0);
  EXPECT_EQ(AirfieldIndexOfMenuId(32722), 0);
}

TEST(FindAirfieldByMenuId, FirstRecordInListOrder) {
  ClientState state;
  const CRivakDoc doc(state);
  QString name;
  double latitude = 0, longitude = 0, elevation = 0;
  ASSERT_TRUE(doc.FindAirfieldByMenuId(32711, name, latitude, longitude, &elevation));
  EXPECT_EQ(name, "Krasnodar-Pashkovskiy");
  EXPECT_DOUBLE_EQ(latitude, 45.032222);
  EXPECT_DOUBLE_EQ(longitude, 39.178055);
  EXPECT_DOUBLE_EQ(elevation, 36.0);

  EXPECT_EQ(doc.FindAirfieldRecord(32719), &doc.Airfields()[20]);  // record 21, not 22
  EXPECT_EQ(doc.FindAirfieldRecord(32718), &doc.Airfields()[22]);
  EXPECT_EQ(doc.FindAirfieldRecord(0), &doc.Airfields()[3]);  // the unlisted Pashkovskiy runway

  ASSERT_TRUE(doc.FindAirfieldByMenuId(32721, name, latitude, longitude));
  EXPECT_EQ(name, "Kuz");
  EXPECT_DOUBLE_EQ(latitude, 0.0);
  EXPECT_DOUBLE_EQ(longitude, 0.0);
}

TEST(FindAirfieldByMenuId, UnknownIdLeavesOutputsUntouched) {
  ClientState state;
  const CRivakDoc doc(state);
  QString name = "keep";
  double latitude = 1.5, longitude = 2.5, elevation = 3.5;
  EXPECT_FALSE(doc.FindAirfieldByMenuId(32722, name, latitude, longitude, &elevation));
  EXPECT_FALSE(doc.FindAirfieldByMenuId(-1, name, latitude, longitude, &elevation));
  EXPECT_EQ(name, "keep");
  EXPECT_DOUBLE_EQ(latitude, 1.5);
  EXPECT_DOUBLE_EQ(longitude, 2.5);
  EXPECT_DOUBLE_EQ(elevation, 3.5);
}

}  // namespace
}  // namespace vantor::model
