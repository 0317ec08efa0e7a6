// The generated mission: same seed, same bytes; every record in the feed's
// form and accepted by the server's own parser; a believable picture.
#include "vantor/missiongen/FeedText.h"
#include "vantor/missiongen/Mission.h"
#include "vantor/protocol/Constants.h"
#include "vantor/server/FeedProcessor.h"
#include "vantor/server/WorldTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <regex>
#include <set>

namespace vantor::missiongen {
namespace {

MissionOptions Options(std::uint64_t seed, int objects = 0, double rate = 5.0) {
  MissionOptions options;
  options.seed = seed;
  options.objectCount = objects;
  options.rate = rate;
  return options;
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

TEST(Mission, SameSeedGivesSameBytesAndAnotherSeedAnotherMission) {
  Mission a(Options(7)), b(Options(7)), c(Options(8));
  EXPECT_EQ(a.ClockRecord(), b.ClockRecord());
  bool differs = false;
  for (int i = 0; i < 300; ++i) {
    const std::string batchA = a.NextBatch();
    ASSERT_EQ(batchA, b.NextBatch()) << "batch " << i;
    differs = differs || batchA != c.NextBatch();
  }
  EXPECT_TRUE(differs);
}

TEST(Mission, EveryRecordHasTheFeedFormOncePerObjectPerBatch) {
  const std::regex form(R"(([1-9][0-9]{7}) ([ABCD]) ([^\[\]@#]+)\[(Allies|Enemies)\]@@(-?[0-9]+\.[0-9]{6}) )"
                        R"((-?[0-9]+\.[0-9]{6}) (-?[0-9]+\.[0-9]) (-?[0-9]+\.[0-9]{4})##)");
  Mission mission(Options(3));
  EXPECT_TRUE(std::regex_match(mission.ClockRecord(), std::regex(R"(Mission start time: [0-9]+##)")));
  for (int i = 0; i < 600; ++i) {  // two minutes at 5 batches a second
    std::string_view rest;
    const std::string batch = mission.NextBatch();
    const auto records = SplitFeedRecords(batch, &rest);
    EXPECT_TRUE(rest.empty());
    std::set<std::string> ids;
    for (std::string_view record : records) {
      std::match_results<std::string_view::const_iterator> m;
      ASSERT_TRUE(std::regex_match(record.begin(), record.end(), m, form)) << record;
      EXPECT_TRUE(ids.insert(m[1].str()).second) << "id twice in one batch: " << record;
      const double lat = std::stod(m[5].str()), lon = std::stod(m[6].str());
      const double altitude = std::stod(m[7].str()), heading = std::stod(m[8].str());
      EXPECT_TRUE(lat > 41.5 && lat < 46.0 && lon > 32.8 && lon < 44.5) << record;
      EXPECT_TRUE(altitude >= 0.0 && altitude < 13000.0) << record;
      EXPECT_TRUE(heading >= 0.0 && heading <= 6.2832) << record;
    }
  }
}

// Red is "[Allies]" (side letter B), Blue another name (side letter A).
TEST(Mission, EveryRecordParsesUnderTheServersOwnParser) {
  Mission mission(Options(11));
  std::string feed = mission.ClockRecord();
  for (int i = 0; i < 600; ++i) {
    const std::string batch = mission.NextBatch();
    for (std::string_view record : SplitFeedRecords(batch)) {
      const auto parsed = server::ParseFeedObjectRecord(record.substr(0, record.size() - 2));
      ASSERT_EQ(parsed.status, server::FeedRecordStatus::Ok)
          << server::FeedRecordStatusName(parsed.status) << ": " << record;
      const bool red = record.find("[Allies]@@") != std::string_view::npos;
      EXPECT_EQ(parsed.record->sideLetter, red ? 'B' : 'A') << record;
      EXPECT_EQ(parsed.record->id, *FeedRecordId(record));
    }
    feed += batch;
  }
  // The whole text through the server's intake, in pieces as reads would cut it.
  server::FeedIntake intake;
  server::WorldTable table;
  server::MissionTime time;
  int broadcasts = 0;
  int skipped = 0;
  std::int64_t now = 1'700'000'000;
  for (std::size_t at = 0; at < feed.size(); at += 7001) {
    const auto result =
        intake.ProcessFeedText(std::string_view(feed).substr(at, 7001), table, time, now++, [&] { ++broadcasts; });
    skipped += result.skippedRecords;
  }
  EXPECT_EQ(skipped, 0);
  EXPECT_GT(broadcasts, 0);
  EXPECT_GT(time.missionStart, 6 * 3600 - 1);
  EXPECT_GT(table.Size(), 40u);
}

TEST(Mission, HoldsTheTheatresCastOfBothSides) {
  Mission mission(Options(1));
  std::set<std::string> radarTypesSeen;
  int kuznetsov = 0, helicopters = 0, ships = 0, vehicles = 0, red = 0, blue = 0;
  bool redAwacs = false, blueAwacs = false, wolf = false, colt = false;
  for (const auto& object : mission.Objects()) {
    (object->coalition == Coalition::Red ? red : blue)++;
    if (object->name == "Admiral Kuznetsov") {
      ++kuznetsov;
      EXPECT_EQ(object->classLetter, 'C');
      EXPECT_EQ(object->coalition, Coalition::Red);
    }
    redAwacs = redAwacs || (object->name.find("A-50") != std::string::npos && object->coalition == Coalition::Red);
    blueAwacs = blueAwacs || (object->name.find("E-3A") != std::string::npos && object->coalition == Coalition::Blue);
    wolf = wolf || object->name == "Su-27 (Wolf 1)";
    colt = colt || object->name == "F-15C (Colt 11)";
    helicopters += object->classLetter == 'D';
    ships += object->classLetter == 'C';
    if (object->classLetter == 'A') {
      bool radar = false;
      for (std::string_view type : protocol::RadarTypeNames)
        if (Upper(object->name).find(type) != std::string::npos) {
          radarTypesSeen.insert(std::string(type));
          radar = true;
        }
      vehicles += !radar;
    }
  }
  EXPECT_EQ(kuznetsov, 1);
  EXPECT_TRUE(redAwacs && blueAwacs && wolf && colt);
  EXPECT_EQ(radarTypesSeen.size(), protocol::kRadarTypeCount);
  EXPECT_GE(helicopters, 4);
  EXPECT_GE(ships, 5);
  EXPECT_GE(vehicles, 10);
  EXPECT_GT(red, 20);
  EXPECT_GT(blue, 20);
  EXPECT_EQ(static_cast<int>(mission.Objects().size()), StandardObjectCount());
}

double CrossTrackKm(const geo::Runway& runway, GeoPoint position) {
  const double along = geo::BearingRad(runway.end1, runway.end2);
  const double toPoint = geo::BearingRad(runway.end1, position);
  return std::abs(std::sin(toPoint - along)) * geo::DistanceKm(runway.end1, position);
}

// Take-off rolls and landing roll-outs stay on the runway's centreline between
// its ends; aircraft take off, land and park within a simulated hour.
TEST(Mission, AircraftTakeOffAndLandAlongTheirRunways) {
  Mission mission(Options(5, 0, 1.0));  // one batch a second keeps a simulated hour quick
  std::map<int, SortiePhase> previous;
  int takeoffs = 0, landings = 0, parkings = 0;
  for (int i = 0; i < 3600; ++i) {
    mission.NextBatch();
    for (const auto& object : mission.Objects()) {
      const auto* sortie = dynamic_cast<const SortieMover*>(object->mover.get());
      if (sortie == nullptr) continue;
      const SortiePhase phase = sortie->Phase();
      const geo::Runway& runway = *sortie->Plan().runway;
      if (phase == SortiePhase::TakeoffRoll || phase == SortiePhase::Rollout) {
        EXPECT_LT(CrossTrackKm(runway, object->state.position), 0.02) << object->name;
        EXPECT_LE(geo::DistanceKm(runway.end1, object->state.position), runway.LengthKm() + 0.02) << object->name;
        EXPECT_LE(geo::DistanceKm(runway.end2, object->state.position), runway.LengthKm() + 0.02) << object->name;
        EXPECT_DOUBLE_EQ(object->state.altitudeM, runway.elevationM);
      }
      const auto before = previous.find(object->id);
      if (before != previous.end() && before->second != phase) {
        takeoffs += phase == SortiePhase::Departure;
        landings += phase == SortiePhase::Rollout;
        parkings += phase == SortiePhase::Parked;
      }
      previous[object->id] = phase;
    }
  }
  EXPECT_GE(takeoffs, 5);
  EXPECT_GE(landings, 5);
  EXPECT_GE(parkings, 3);
}

TEST(Mission, LossesStopReportingForGoodAndAreReplaced) {
  Mission mission(Options(2, 0, 1.0));
  std::set<int> lastIds;
  std::set<int> gone;
  for (int i = 0; i < 1200; ++i) {  // twenty minutes
    std::set<int> ids;
    const std::string batch = mission.NextBatch();
    for (std::string_view record : SplitFeedRecords(batch)) ids.insert(*FeedRecordId(record));
    for (int id : lastIds)
      if (!ids.count(id)) gone.insert(id);
    for (int id : ids) EXPECT_EQ(gone.count(id), 0u) << "a lost object came back: " << id;
    lastIds = std::move(ids);
  }
  EXPECT_GE(mission.LossCount(), 4);
  EXPECT_EQ(static_cast<int>(gone.size()), mission.LossCount());
  // Lost aircraft come back as new flights under new ids and callsigns.
  EXPECT_GT(mission.Objects().size() + gone.size(), static_cast<std::size_t>(StandardObjectCount()));
}

TEST(Mission, AdmiralKuznetsovSailsSlowlyAndTheAwacsKeepsItsOrbit) {
  Mission mission(Options(4));
  auto find = [&](auto predicate) {
    for (const auto& object : mission.Objects())
      if (predicate(*object)) return object->id;
    return 0;
  };
  const int carrier = find([](const MissionObject& o) { return o.name == "Admiral Kuznetsov"; });
  const int awacs = find([](const MissionObject& o) { return o.typeName == "A-50"; });
  const GeoPoint start = mission.Find(carrier)->state.position;
  const GeoPoint orbitStart = mission.Find(awacs)->state.position;
  double farthest = 0;
  for (int i = 0; i < 5 * 600; ++i) {
    mission.NextBatch();
    const MissionObject* a = mission.Find(awacs);
    farthest = std::max(farthest, geo::DistanceKm(orbitStart, a->state.position));
    EXPECT_DOUBLE_EQ(a->state.altitudeM, 9000.0);
  }
  const double sailedKm = geo::DistanceKm(start, mission.Find(carrier)->state.position);
  EXPECT_GT(sailedKm, 0.5);  // ten minutes at about 14 km/h
  EXPECT_LT(sailedKm, 2.5);
  EXPECT_GT(farthest, 30.0);   // it flies its racetrack...
  EXPECT_LT(farthest, 110.0);  // ...and stays on it
}

TEST(Mission, ScalesToTheRequestedNumberOfObjects) {
  for (int count : {5, 10000}) {
    Mission mission(Options(9, count));
    std::set<int> ids;
    const std::string batch = mission.NextBatch();
    const auto records = SplitFeedRecords(batch);
    for (std::string_view record : records) ids.insert(*FeedRecordId(record));
    EXPECT_EQ(records.size(), static_cast<std::size_t>(count));
    EXPECT_EQ(ids.size(), static_cast<std::size_t>(count));
  }
  // The standard cast comes first whatever the count.
  Mission small(Options(9, 3));
  EXPECT_EQ(small.Objects()[0]->typeName, "A-50");
  EXPECT_EQ(small.Objects()[2]->name, "Admiral Kuznetsov");
}

}  // namespace
}  // namespace vantor::missiongen
