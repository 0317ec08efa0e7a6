// The approach profile without a window: where contacts stand on it, their
// texts, and the threshold it follows as the scope is centred and the wind
// changes.
#include <gtest/gtest.h>

#include "InfoIlsTestSupport.h"
#include "vantor/model/CRivakDoc.h"
#include "vantor/scope/ApproachGeometry.h"
#include "vantor/scope/ScopeGeometry.h"
#include "vantor/shell/ApproachProfile.h"

namespace vantor::shell::test {
namespace {

constexpr geo::GeoPoint kThreshold{45.0, 38.0};
const ApproachReference kSeaLevelField{kThreshold, 0, true};

model::CContact Aircraft(int id, geo::GeoPoint at, double altitude, bool friendly = true,
                         const char* name = "F-16C (Viper)") {
  model::CContact contact;
  contact.id = id;
  contact.name = name;
  contact.friendly = friendly;
  contact.latitude = at.latitude;
  contact.longitude = at.longitude;
  contact.altitude = altitude;
  return contact;
}

TEST(ApproachPlot, DistanceFromTheThresholdAndHeightAboveTheField) {
  const auto plot = PlotOnProfile(Aircraft(1, EastOf(kThreshold, 2.5), 900.0), kSeaLevelField, std::nullopt, false);
  ASSERT_TRUE(plot);
  EXPECT_EQ(plot->x, 200);
  EXPECT_EQ(plot->y, 80);
  // Any direction counts the same; the field's elevation is taken off.
  const ApproachReference field{kThreshold, 250, true};
  const auto north = PlotOnProfile(Aircraft(1, NorthOf(kThreshold, 10.0), 1150.0), field, std::nullopt, false);
  EXPECT_EQ(north->x, 500);
  EXPECT_EQ(north->y, 80);
  // Just short of a whole pixel truncates.
  const auto close = PlotOnProfile(Aircraft(1, EastOf(kThreshold, 0.0249), 9.0), kSeaLevelField, std::nullopt, false);
  EXPECT_EQ(close->x, 100);
  EXPECT_EQ(close->y, 179);
}

TEST(ApproachPlot, AtOrBelowTheFieldIsNotPlotted) {
  const ApproachReference field{kThreshold, 36, true};
  EXPECT_FALSE(PlotOnProfile(Aircraft(1, kThreshold, 36.0), field, std::nullopt, false));
  EXPECT_FALSE(PlotOnProfile(Aircraft(1, kThreshold, 36.9), field, std::nullopt, false));  // whole metres
  EXPECT_FALSE(PlotOnProfile(Aircraft(1, kThreshold, 10.0), field, std::nullopt, false));
  const auto above = PlotOnProfile(Aircraft(1, kThreshold, 37.0), field, std::nullopt, false);
  ASSERT_TRUE(above);
  EXPECT_EQ(above->y, 179);
}

TEST(ApproachPlot, Labels) {
  const auto hostile = PlotOnProfile(Aircraft(12345678, kThreshold, 500, false), kSeaLevelField, std::nullopt, false);
  EXPECT_EQ(hostile->label, "5678");
  const auto shortId = PlotOnProfile(Aircraft(42, kThreshold, 500, false), kSeaLevelField, std::nullopt, false);
  EXPECT_EQ(shortId->label, "");
  const auto friendly = PlotOnProfile(Aircraft(7, kThreshold, 500), kSeaLevelField, std::nullopt, false);
  EXPECT_EQ(friendly->label, "F-16C (Vip");
  const auto withCallsign = PlotOnProfile(Aircraft(7, kThreshold, 500), kSeaLevelField, QString("KOD1"), false);
  EXPECT_EQ(withCallsign->label, "KOD1");
  // A hostile contact shows its id digits even with a callsign.
  const auto hostileCallsign =
      PlotOnProfile(Aircraft(16777217, kThreshold, 500, false), kSeaLevelField, QString("BIZ1"), false);
  EXPECT_EQ(hostileCallsign->label, "7217");
}

TEST(ApproachPlot, TextsAboveFromY40AndBelowUpToY39) {
  // 1260 m above the field is y = 40; 1269 m is y = 39.
  const auto at40 = PlotOnProfile(Aircraft(1, kThreshold, 1260.0), kSeaLevelField, std::nullopt, true);
  const auto at39 = PlotOnProfile(Aircraft(1, kThreshold, 1269.0), kSeaLevelField, std::nullopt, true);
  ASSERT_TRUE(at40 && at39);
  EXPECT_EQ(at40->y, 40);
  EXPECT_EQ(at39->y, 39);
  EXPECT_TRUE(at40->textsAbove);
  EXPECT_FALSE(at39->textsAbove);
  // Feet in brackets above, plain below.
  EXPECT_EQ(at40->altitudeText, "<4132>");
  EXPECT_EQ(at39->altitudeText, "4162");
  const auto metric = PlotOnProfile(Aircraft(1, kThreshold, 1260.7), kSeaLevelField, std::nullopt, false);
  EXPECT_EQ(metric->altitudeText, "1260");

  const int f = 12;
  // Above: both centred on the mark, the label a line higher.
  EXPECT_EQ(PlaceProfileTexts(*at40, f, 40, 30), (ProfileTextPlacement{{100 - 20, 40 - 12 - 20}, {100 - 15, 40 - 20}}));
  // Below: the label ends 5 pixels left of the mark, the altitude centred under it.
  EXPECT_EQ(PlaceProfileTexts(*at39, f, 40, 30),
            (ProfileTextPlacement{{100 - 5 - 40, 39 + 10}, {100 - 15, 39 + 12 + 10}}));
}

class Tracking : public ::testing::Test {
 protected:
  const model::CAirfield& Record(int menuId) { return *document.FindAirfieldRecord(menuId); }

 public:
  model::ClientState state;
  model::CRivakDoc document{state};
  ApproachReferenceTracker tracker;
};

TEST_F(Tracking, StartsOnKrasnodarAndFollowsTheCentringCommand) {
  EXPECT_EQ(tracker.Reference(), (ApproachReference{{45.081389, 38.965833}, 36, true}));
  tracker.Tick(document, {scope::kHomeAirfieldCommand, 0, nullptr});
  EXPECT_EQ(tracker.Reference(), (ApproachReference{{45.081389, 38.965833}, 32, true}));
  // Krasnodar-Pashkovskiy: the first record with its command.
  tracker.Tick(document, {32711, 0, nullptr});
  EXPECT_EQ(tracker.Reference(), (ApproachReference{{45.024444, 39.183333}, 36, true}));
  EXPECT_EQ(tracker.LastCentring(), 32711);
  // A radar command has no runway: the profile stays where it was.
  tracker.Tick(document, {scope::kFirstRadarCommand, 0, nullptr});
  EXPECT_EQ(tracker.Reference(), (ApproachReference{{45.024444, 39.183333}, 36, true}));
}

TEST_F(Tracking, TheCarrierIsFollowedAtEveryTick) {
  document.UpdateContact(900, "Admiral Kuznetsov", 43.0, 37.0, 0, 0, false, 'D', 30);
  tracker.Tick(document, {scope::kCarrierCommand, 0, nullptr});
  EXPECT_EQ(tracker.Reference().threshold, (geo::GeoPoint{43.0, 37.0}));
  EXPECT_EQ(tracker.Reference().fieldElevationM, 0);
  document.UpdateContact(900, "Admiral Kuznetsov", 43.01, 37.02, 0, 0.5, false, 'D', 30);
  tracker.Tick(document, {scope::kCarrierCommand, 0, nullptr});
  EXPECT_EQ(tracker.Reference().threshold, (geo::GeoPoint{43.01, 37.02}));
}

TEST_F(Tracking, TheEndIsTheOneTheScopeUses) {
  // A wind along Krasnodar Center's runway (heading 270) turns the approach
  // to end 2.
  tracker.Tick(document, {scope::kHomeAirfieldCommand, 270, nullptr});
  EXPECT_EQ(tracker.Reference().threshold, (geo::GeoPoint{45.081944, 38.934167}));
  // The scope recorded the flip in the runway record; the wind drops to calm
  // and the scope is back on end 1, while the record still says flipped.
  document.Airfields()[2].activeEndFlipped = true;
  tracker.Tick(document, {scope::kHomeAirfieldCommand, 0, nullptr});
  EXPECT_EQ(tracker.Reference().threshold, (geo::GeoPoint{45.081389, 38.965833}));
  // The scope's own approach, when it has one for this airfield, decides.
  const scope::ApproachGeometry atSecond(Record(scope::kHomeAirfieldCommand), false, {400, 300}, {380, 300});
  tracker.Tick(document, {scope::kHomeAirfieldCommand, 0, &atSecond});
  EXPECT_EQ(tracker.Reference().threshold, (geo::GeoPoint{45.081944, 38.934167}));
  // One left over from another airfield does not.
  const scope::ApproachGeometry anapa(Record(32701), false, {400, 300}, {380, 300});
  tracker.Tick(document, {scope::kHomeAirfieldCommand, 0, &anapa});
  EXPECT_EQ(tracker.Reference().threshold, (geo::GeoPoint{45.081389, 38.965833}));
}

TEST_F(Tracking, ArrivalsAreTheContactsOutsideTheApproachRegion) {
  const ApproachReference field{kThreshold, 0, true};
  document.UpdateContact(1, "F-16C (Viper)", 45.01, 38.0, 900, 0, true, 'B', 300);
  document.UpdateContact(2, "Su-27 (Ivan)", 45.02, 38.0, 900, 0, false, 'B', 300);
  document.UpdateContact(3, "F-15C (Eagle)", 45.03, 38.0, 0, 0, true, 'B', 300);  // on the ground: not kept
  document.FindContact(1)->screenX = 500;                                         // east of the threshold: arriving
  document.FindContact(1)->screenY = 300;
  document.FindContact(2)->screenX = 390;  // over the runway
  document.FindContact(2)->screenY = 300;
  document.AssignCallsign("KOD", 1);
  // Nothing is plotted while the scope holds no region.
  EXPECT_TRUE(PlotArrivals(document, field, nullptr, false).empty());
  const scope::ApproachGeometry approach(Record(scope::kHomeAirfieldCommand), true, {400, 300}, {380, 300});
  ASSERT_TRUE(approach.InRegion({390, 300}));
  const auto plots = PlotArrivals(document, field, &approach, false);
  ASSERT_EQ(plots.size(), 1u);
  EXPECT_EQ(plots[0].contactId, 1);
  EXPECT_EQ(plots[0].label, "KOD1");
  EXPECT_EQ(plots[0].y, 80);
}

}  // namespace
}  // namespace vantor::shell::test
