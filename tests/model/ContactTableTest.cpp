// The contact table: creation, refresh, removal, history, AWACS, radar sites.
#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <thread>

#include "vantor/model/CRivakDoc.h"

namespace vantor::model {
namespace {

class ContactTable : public ::testing::Test {
 protected:
  struct Record {
    int id = 16779010;
    const char* name = "Su-27 (Colt 11)";
    double latitude = 45.0;
    double longitude = 38.0;
    double altitude = 3000.0;
    double heading = 1.57;
    int friendly = 1;
    char classLetter = 'B';
    double speed = 820.0;
  };

  void Update(const Record& r) {
    doc.UpdateContact(r.id, r.name, r.latitude, r.longitude, r.altitude, r.heading, r.friendly, r.classLetter, r.speed);
  }
  void Lost(int id, char classLetter = 'B', double latitude = 0.0) {
    doc.UpdateContact(id, "x", latitude, 0.0, 0.0, 0.0, 1, classLetter, 0.0);
  }
  std::vector<int> Ids() const {
    std::vector<int> ids;
    for (const CContact& contact : doc.Contacts()) ids.push_back(contact.id);
    return ids;
  }

  std::int64_t now = 1'700'000'000;
  ClientState state;
  CRivakDoc doc{state, [this] { return now; }};
};

TEST_F(ContactTable, CreatesInArrivalOrderAndRefreshesInPlace) {
  Update({.id = 3});
  Update({.id = 1});
  Update({.id = 2});
  Update({.id = 1, .latitude = 46.0, .altitude = 5000.0, .speed = 900.0});
  EXPECT_EQ(Ids(), (std::vector<int>{3, 1, 2}));
  const CContact* one = doc.FindContact(1);
  ASSERT_NE(one, nullptr);
  EXPECT_DOUBLE_EQ(one->latitude, 46.0);
  EXPECT_DOUBLE_EQ(one->altitude, 5000.0);
  EXPECT_DOUBLE_EQ(one->previousAltitude, 3000.0);
  EXPECT_DOUBLE_EQ(one->speed, 900.0);
  EXPECT_EQ(doc.FindContact(4), nullptr);
}

TEST_F(ContactTable, RefreshKeepsNameSideAndClassEffects) {
  Update({.id = 7, .name = "Mig-29", .friendly = 1, .classLetter = 'C'});
  Update({.id = 7, .name = "renamed", .friendly = 0, .classLetter = 'A', .speed = 500.0});
  const CContact* contact = doc.FindContact(7);
  ASSERT_NE(contact, nullptr);
  EXPECT_EQ(contact->name, "Mig-29");
  EXPECT_EQ(contact->friendly, 1);
  EXPECT_EQ(contact->altSymbol, 1);
  EXPECT_EQ(contact->radarSite, 0);
  EXPECT_EQ(contact->radarDataSet, 0);
}

TEST_F(ContactTable, ClassLetterEffects) {
  Update({.id = 1, .classLetter = 'C'});
  Update({.id = 2, .classLetter = 'D'});
  Update({.id = 3, .classLetter = 'E'});
  Update({.id = 4, .name = "T-72", .classLetter = 'A'});
  EXPECT_EQ(doc.FindContact(1)->altSymbol, 1);
  EXPECT_EQ(doc.FindContact(2)->altSymbol, 1);
  EXPECT_EQ(doc.FindContact(3)->altSymbol, 0);
  EXPECT_EQ(doc.FindContact(3)->radarSite, 0);
  const CContact* site = doc.FindContact(4);
  EXPECT_EQ(site->radarSite, 1);
  EXPECT_EQ(site->altSymbol, 0);
  // An unknown type still counts as looked up, with no coverage.
  EXPECT_EQ(site->radarDataSet, 1);
  EXPECT_DOUBLE_EQ(site->detectionRangeKm, 0.0);
  EXPECT_EQ(site->weaponRangeKm, 0);
  EXPECT_EQ(site->sectorDeg, 360);
}

TEST_F(ContactTable, RadarSiteGetsCoverageFromItsName) {
  Update({.id = 9, .name = "Patriot str site", .classLetter = 'A', .speed = 0.0});
  const CContact* site = doc.FindContact(9);
  ASSERT_NE(site, nullptr);
  EXPECT_DOUBLE_EQ(site->detectionRangeKm, 170.0);
  EXPECT_EQ(site->weaponRangeKm, 160);
  EXPECT_EQ(site->altitudeLimitKm, 170);
  EXPECT_EQ(site->sectorDeg, 120);
}

TEST_F(ContactTable, AllZeroRecordCreatesOnlyWhenTheIdIsNew) {
  // Latitude is not examined: a new id's zero record is a contact, the same
  // record for a known id reports it lost.
  Lost(5, 'A', 44.5);
  ASSERT_NE(doc.FindContact(5), nullptr);
  EXPECT_DOUBLE_EQ(doc.FindContact(5)->latitude, 44.5);
  Lost(5, 'A', 44.5);
  EXPECT_EQ(doc.FindContact(5), nullptr);
  // Class "B" zero records never create anything (altitude 0 < 12 m).
  Lost(6, 'B');
  EXPECT_EQ(doc.ContactCount(), 0u);
}

TEST_F(ContactTable, RemovalNeedsAllFourNumbersZero) {
  Update({.id = 1});
  // (longitude, altitude, heading, speed) with one number not zero.
  doc.UpdateContact(1, "x", 0.0, 0.0, 0.0, 0.1, 1, 'A', 0.0);
  doc.UpdateContact(1, "x", 0.0, 0.0, 0.0, 0.0, 1, 'A', 1.0);
  doc.UpdateContact(1, "x", 0.0, 0.5, 0.0, 0.0, 1, 'A', 0.0);
  doc.UpdateContact(1, "x", 0.0, 0.0, 0.001, 0.0, 1, 'A', 0.0);
  EXPECT_NE(doc.FindContact(1), nullptr);
  doc.UpdateContact(1, "x", 12.0, -0.0, 0.0, 0.0, 1, 'A', 0.0);
  EXPECT_EQ(doc.FindContact(1), nullptr);
}

TEST_F(ContactTable, AircraftRuleOnCreation) {
  Update({.id = 1, .altitude = 200.0, .friendly = 0, .speed = 99.0});
  EXPECT_EQ(doc.FindContact(1), nullptr);
  Update({.id = 1, .altitude = 200.0, .friendly = 0, .speed = 100.0});
  EXPECT_NE(doc.FindContact(1), nullptr);
  Update({.id = 2, .altitude = 200.0, .friendly = 1, .speed = 99.0});
  EXPECT_NE(doc.FindContact(2), nullptr);
  Update({.id = 3, .altitude = 11.9, .friendly = 1, .speed = 500.0});
  Update({.id = 4, .altitude = 11.9, .friendly = 0, .speed = 500.0});
  EXPECT_EQ(doc.FindContact(3), nullptr);
  EXPECT_EQ(doc.FindContact(4), nullptr);
  Update({.id = 5, .altitude = 12.0, .friendly = 0, .speed = 100.0});
  EXPECT_NE(doc.FindContact(5), nullptr);
  // The rule is for class "B" only.
  Update({.id = 6, .altitude = 0.5, .friendly = 0, .classLetter = 'C', .speed = 3.0});
  EXPECT_NE(doc.FindContact(6), nullptr);
}

TEST_F(ContactTable, AircraftRuleOnRefreshRemovesAndALaterRecordStartsAfresh) {
  Update({.id = 1, .friendly = 0});
  now += 10;
  Update({.id = 1, .friendly = 0});
  ASSERT_EQ(doc.FindContact(1)->history.Size(), 1u);
  Update({.id = 1, .altitude = 300.0, .friendly = 0, .speed = 99.0});
  EXPECT_EQ(doc.FindContact(1), nullptr);
  Update({.id = 2, .friendly = 1});
  Update({.id = 2, .altitude = 11.9, .friendly = 1});
  EXPECT_EQ(doc.FindContact(2), nullptr);
  // The friendly value of the call decides, not the stored one.
  Update({.id = 3, .friendly = 1});
  Update({.id = 3, .friendly = 0, .speed = 50.0});
  EXPECT_EQ(doc.FindContact(3), nullptr);

  Update({.id = 1, .friendly = 0});
  ASSERT_NE(doc.FindContact(1), nullptr);
  EXPECT_TRUE(doc.FindContact(1)->history.Empty());
  EXPECT_EQ(doc.FindContact(1)->lastHistory, 0);
  EXPECT_EQ(Ids(), (std::vector<int>{1}));
}

TEST_F(ContactTable, HistoryIsSpacedByMoreThanFiveSecondsAndCappedAtFive) {
  Update({.id = 1, .latitude = 0.0});
  EXPECT_TRUE(doc.FindContact(1)->history.Empty());  // none at creation
  std::vector<double> recorded;
  for (int second = 1; second <= 40; ++second) {
    ++now;
    Update({.id = 1, .latitude = static_cast<double>(second)});
    if (doc.FindContact(1)->lastHistory == now) recorded.insert(recorded.begin(), second);
  }
  const std::vector<double> expectedNewestFirst = recorded;
  // First refresh records (lastHistory was 0), then every 6th second.
  EXPECT_EQ(expectedNewestFirst, (std::vector<double>{37, 31, 25, 19, 13, 7, 1}));
  const CContact* contact = doc.FindContact(1);
  ASSERT_EQ(contact->history.Size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) EXPECT_DOUBLE_EQ(contact->history[i].latitude, expectedNewestFirst[i]);
  EXPECT_DOUBLE_EQ(contact->history[0].longitude, 38.0);
}

TEST_F(ContactTable, HistoryResumesWhenTheClockIsSetBack) {
  Update({.id = 1});
  now += 1;
  Update({.id = 1});
  ASSERT_EQ(doc.FindContact(1)->history.Size(), 1u);
  now -= 3600;
  Update({.id = 1});
  EXPECT_EQ(doc.FindContact(1)->history.Size(), 2u);
}

TEST_F(ContactTable, CarrierNameMustMatchExactly) {
  Update({.id = 1, .name = "Admiral Kuznetsov", .friendly = 1, .classLetter = 'C', .speed = 30.0});
  Update({.id = 2, .name = "Admiral Kuznetsov ", .friendly = 1, .classLetter = 'C', .speed = 30.0});
  Update({.id = 3, .name = "admiral kuznetsov", .friendly = 1, .classLetter = 'C', .speed = 30.0});
  for (int step = 0; step < 3; ++step) {
    now += 10;
    for (int id = 1; id <= 3; ++id) Update({.id = id, .latitude = 44.0 + step, .classLetter = 'C', .speed = 30.0});
  }
  EXPECT_EQ(doc.FindContact(1)->carrier, 1);
  EXPECT_TRUE(doc.FindContact(1)->history.Empty());
  EXPECT_EQ(doc.FindContact(2)->carrier, 0);
  EXPECT_EQ(doc.FindContact(2)->history.Size(), 3u);
  EXPECT_EQ(doc.FindContact(3)->carrier, 0);
}

TEST_F(ContactTable, CarrierPositionComesFromTheLastCarrierInTableOrder) {
  double latitude = 1.0, longitude = 2.0;
  EXPECT_FALSE(doc.FindCarrierPosition(latitude, longitude));
  EXPECT_DOUBLE_EQ(latitude, 1.0);
  EXPECT_DOUBLE_EQ(longitude, 2.0);
  Update({.id = 10, .name = "Admiral Kuznetsov", .latitude = 43.0, .longitude = 37.0, .classLetter = 'C'});
  Update({.id = 11, .name = "Admiral Kuznetsov", .latitude = 44.0, .longitude = 36.0, .classLetter = 'C'});
  ASSERT_TRUE(doc.FindCarrierPosition(latitude, longitude));
  EXPECT_DOUBLE_EQ(latitude, 44.0);
  EXPECT_DOUBLE_EQ(longitude, 36.0);
  Update({.id = 10, .name = "Admiral Kuznetsov", .latitude = 43.5, .longitude = 37.5, .classLetter = 'C'});
  ASSERT_TRUE(doc.FindCarrierPosition(latitude, longitude));
  EXPECT_DOUBLE_EQ(latitude, 44.0);
  Lost(11, 'C');
  ASSERT_TRUE(doc.FindCarrierPosition(latitude, longitude));
  EXPECT_DOUBLE_EQ(latitude, 43.5);
  EXPECT_DOUBLE_EQ(longitude, 37.5);
  doc.ClearContacts();
  EXPECT_FALSE(doc.FindCarrierPosition(latitude, longitude));
}

TEST_F(ContactTable, FriendlyAwacsTakesTheSlotOfTheClientsCoalition) {
  Update({.id = 1, .name = "A-50 (Eye)", .latitude = 44.1, .longitude = 35.2, .altitude = 8999.0});
  const CContact* awacs = doc.FindContact(1);
  ASSERT_NE(awacs, nullptr);
  EXPECT_EQ(awacs->awacs, 1);
  EXPECT_EQ(state.OwnAwacsSlot(), (AwacsSlot{44.1, 35.2, 8}));
  EXPECT_EQ(state.configBlock.awacsMode[1], 0);  // the other coalition's slot stays
  EXPECT_EQ(state.awacsSeen, 1);
  EXPECT_EQ(state.awacsLostTicks, 40);

  state.awacsLostTicks = 3;
  Update({.id = 1, .name = "A-50 (Eye)", .latitude = 44.2, .longitude = 35.3, .altitude = 10500.0});
  EXPECT_EQ(state.OwnAwacsSlot(), (AwacsSlot{44.2, 35.3, 10}));
  EXPECT_EQ(state.awacsLostTicks, 3);  // only designation resets it

  Lost(1);
  EXPECT_EQ(state.OwnAwacsSlot(), AwacsSlot{});
  EXPECT_EQ(state.awacsSeen, 1);
}

TEST_F(ContactTable, AwacsDesignationRules) {
  // Hostile, lower case, and unrelated names are never the AWACS.
  Update({.id = 1, .name = "E-3A", .friendly = 0});
  Update({.id = 2, .name = "a-50", .friendly = 1});
  Update({.id = 3, .name = "E-2 Hawkeye", .friendly = 1});
  EXPECT_EQ(state.awacsSeen, 0);
  EXPECT_EQ(state.OwnAwacsSlot(), AwacsSlot{});
  // A later friendly AWACS takes the slot over.
  Update({.id = 4, .name = "E-2C", .latitude = 10.0, .longitude = 11.0, .altitude = 5000.0});
  Update({.id = 5, .name = "E-3A Sentry", .latitude = 20.0, .longitude = 21.0, .altitude = 9000.0});
  EXPECT_EQ(state.OwnAwacsSlot(), (AwacsSlot{20.0, 21.0, 9}));
  EXPECT_EQ(doc.FindContact(4)->awacs, 1);
  EXPECT_EQ(doc.FindContact(5)->awacs, 1);
}

TEST_F(ContactTable, RedClientWritesTheRedSlot) {
  state.isBlue = 0;
  Update({.id = 1, .name = "A-50", .latitude = 1.0, .longitude = 2.0, .altitude = 7000.0});
  EXPECT_EQ(GetAwacsSlot(state.configBlock, 1), (AwacsSlot{1.0, 2.0, 7}));
  EXPECT_EQ(GetAwacsSlot(state.configBlock, 0), AwacsSlot{});
}

TEST_F(ContactTable, RadarOnlyCoalitionAdoptsNoAwacs) {
  state.configBlock.radarOnly[0] = 1;
  Update({.id = 1, .name = "A-50", .latitude = 1.0, .longitude = 2.0, .altitude = 7000.0});
  EXPECT_EQ(doc.FindContact(1)->awacs, 0);
  EXPECT_EQ(state.awacsSeen, 0);
  EXPECT_EQ(state.OwnAwacsSlot(), AwacsSlot{});
  // The other coalition's flag does not matter.
  state.configBlock.radarOnly = {0, 1};
  Update({.id = 2, .name = "A-50", .latitude = 1.0, .longitude = 2.0, .altitude = 7000.0});
  EXPECT_EQ(doc.FindContact(2)->awacs, 1);
}

TEST_F(ContactTable, RadarNumbersAreNeverReused) {
  Update({.id = 1, .name = "HAWK SR", .friendly = 1, .classLetter = 'A', .speed = 0.0});
  Update({.id = 2, .name = "BUK SR", .friendly = 0, .classLetter = 'A', .speed = 0.0});
  Update({.id = 3, .name = "HAWK TR", .friendly = 1, .classLetter = 'A', .speed = 0.0});
  EXPECT_EQ(doc.FindContact(1)->radarNumber, 0);
  EXPECT_EQ(doc.FindContact(2)->radarNumber, 0);
  EXPECT_EQ(doc.FindContact(3)->radarNumber, 1);
  EXPECT_EQ(doc.FindRadarSite(0), doc.FindContact(1));
  EXPECT_EQ(doc.FindRadarSite(1), doc.FindContact(3));
  EXPECT_EQ(doc.FindRadarSite(2), nullptr);  // hostile sites are not offered

  Lost(1, 'A');
  EXPECT_EQ(doc.FindRadarSite(0), nullptr);
  Update({.id = 1, .name = "HAWK SR", .friendly = 1, .classLetter = 'A', .speed = 0.0});
  EXPECT_EQ(doc.FindContact(1)->radarNumber, 2);

  doc.ClearContacts();
  EXPECT_EQ(doc.ContactCount(), 0u);
  EXPECT_EQ(doc.FindRadarSite(2), nullptr);
  Update({.id = 8, .name = "KUB STR", .friendly = 1, .classLetter = 'A', .speed = 0.0});
  Update({.id = 9, .name = "KUB STR", .friendly = 0, .classLetter = 'A', .speed = 0.0});
  EXPECT_EQ(doc.FindContact(8)->radarNumber, 3);
  EXPECT_EQ(doc.FindContact(9)->radarNumber, 1);
  EXPECT_EQ(doc.FindRadarSite(3), doc.FindContact(8));
}

TEST_F(ContactTable, ClearContactsKeepsCallsignsCountersAndAwacs) {
  Update({.id = 1, .name = "A-50", .latitude = 1.0, .longitude = 2.0, .altitude = 7000.0});
  doc.AssignCallsign("KOD", 1);
  doc.ClearContacts();
  EXPECT_EQ(state.OwnAwacsSlot(), (AwacsSlot{1.0, 2.0, 7}));
  QString callsign;
  EXPECT_TRUE(doc.LookupCallsign(1, callsign));
  EXPECT_EQ(doc.Airfields().size(), 26u);
  EXPECT_TRUE(Ids().empty());
}

TEST_F(ContactTable, CountContactsNearBoxEdges) {
  Update({.id = 1});
  Update({.id = 2});
  Update({.id = 3, .name = "HAWK SR", .classLetter = 'A', .speed = 0.0});
  Update({.id = 4});
  for (CContact& contact : doc.Contacts()) {
    contact.screenX = 500;
    contact.screenY = 300;
  }
  EXPECT_EQ(doc.CountContactsNear(1, 500, 300), 0);  // the first contact
  EXPECT_EQ(doc.CountContactsNear(2, 500, 300), 1);
  EXPECT_EQ(doc.CountContactsNear(4, 500, 300), 2);   // the radar site is not counted
  EXPECT_EQ(doc.CountContactsNear(99, 500, 300), 3);  // absent id: every non-radar contact
  // Left and top edges inclusive, right and bottom exclusive.
  EXPECT_EQ(doc.CountContactsNear(99, 400, 200), 3);
  EXPECT_EQ(doc.CountContactsNear(99, 399, 300), 0);
  EXPECT_EQ(doc.CountContactsNear(99, 500, 199), 0);
  EXPECT_EQ(doc.CountContactsNear(99, 599, 399), 3);
  EXPECT_EQ(doc.CountContactsNear(99, 600, 300), 0);
  EXPECT_EQ(doc.CountContactsNear(99, 500, 400), 0);
  // Extreme screen points do not overflow.
  doc.FindContact(1)->screenX = std::numeric_limits<int>::max();
  EXPECT_EQ(doc.CountContactsNear(2, std::numeric_limits<int>::max(), 300), 1);
  EXPECT_EQ(doc.CountContactsNear(2, std::numeric_limits<int>::min(), 300), 0);
}

TEST_F(ContactTable, NonFiniteNumbersAreIgnored) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  Update({.id = 1, .altitude = nan});
  Update({.id = 2, .latitude = inf});
  EXPECT_EQ(doc.ContactCount(), 0u);
  Update({.id = 3, .name = "A-50", .altitude = 9000.0});
  Update({.id = 3, .name = "A-50", .altitude = 1e300});
  Update({.id = 3, .name = "A-50", .speed = -inf});
  EXPECT_DOUBLE_EQ(doc.FindContact(3)->altitude, 1e300);
  EXPECT_EQ(state.OwnAwacsSlot().mode, std::numeric_limits<int>::max());
}

TEST_F(ContactTable, LockIsReentrant) {
  std::lock_guard<ContactLock> walk(doc.ContactTableLock());
  Update({.id = 1});
  for (const CContact& contact : doc.Contacts()) {
    if (contact.id != 1) continue;
    EXPECT_EQ(doc.CountContactsNear(contact.id, 0, 0), 0);
    Update({.id = 2});
  }
  EXPECT_EQ(doc.ContactCount(), 2u);
  doc.ClearContacts();
  EXPECT_EQ(doc.ContactCount(), 0u);
}

TEST_F(ContactTable, LockKeepsOtherThreadsOut) {
  std::unique_lock<ContactLock> held(doc.ContactTableLock());
  std::atomic<bool> done = false;
  std::thread writer([&] {
    Update({.id = 1});
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(done);
  held.unlock();
  writer.join();
  EXPECT_TRUE(done);
  EXPECT_EQ(doc.ContactCount(), 1u);
}

TEST(ContactTableRealTime, HistoryPointsNeedMoreThanFiveWallClockSeconds) {
  ClientState state;
  CRivakDoc doc(state);
  doc.UpdateContact(1, "Colt", 45.0, 38.0, 3000.0, 0.0, 1, 'B', 800.0);
  doc.UpdateContact(1, "Colt", 45.1, 38.0, 3000.0, 0.0, 1, 'B', 800.0);
  ASSERT_EQ(doc.FindContact(1)->history.Size(), 1u);
  const std::int64_t first = doc.FindContact(1)->lastHistory;
  std::this_thread::sleep_for(std::chrono::seconds(3));
  doc.UpdateContact(1, "Colt", 45.2, 38.0, 3000.0, 0.0, 1, 'B', 800.0);
  EXPECT_EQ(doc.FindContact(1)->history.Size(), 1u);
  std::this_thread::sleep_for(std::chrono::milliseconds(3200));
  doc.UpdateContact(1, "Colt", 45.3, 38.0, 3000.0, 0.0, 1, 'B', 800.0);
  const CContact* contact = doc.FindContact(1);
  // 6.2 s after the first point its whole-second distance is at least 6;
  // 3.x s after it, at most 4.
  EXPECT_EQ(contact->history.Size(), 2u);
  EXPECT_GT(contact->lastHistory - first, 5);
  EXPECT_DOUBLE_EQ(contact->history[0].latitude, 45.3);
}

}  // namespace
}  // namespace vantor::model
