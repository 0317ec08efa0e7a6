// Frame preparation, without a painter: the screen points written back to
// the contact table, what the frame holds for the visible contacts, labels
// placed as CountContactsNear counts, the wind's runway end recorded in the
// airfield table, the approach geometry of the centred airfield.
#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "vantor/model/CRivakDoc.h"
#include "vantor/model/ClientSettings.h"
#include "vantor/scope/ScopeFramePreparer.h"
#include "vantor/scope/ScopeGeometry.h"
#include "vantor/scope/ScopeMapData.h"
#include "vantor/scope/ScopeStatus.h"

namespace vantor::scope {
namespace {

constexpr geo::GeoPoint kSea{44.0, 37.5};
constexpr LabelMetrics kLabels{12, 70};

class Centre final : public CentringSources {
 public:
  explicit Centre(geo::GeoPoint at) : at_(at) {}
  std::optional<geo::GeoPoint> CarrierPosition() const override { return at_; }
  std::optional<geo::GeoPoint> RadarSitePosition(int) const override { return std::nullopt; }

 private:
  geo::GeoPoint at_;
};

// An 800 x 600 scope at 50 km (16 pixels per km) over the sea, Blue's
// AWACS overhead.
class Frames : public ::testing::Test {
 protected:
  void SetUp() override {
    state.isBlue = 1;
    state.configBlock.awacsLatitude[0] = kSea.latitude;
    state.configBlock.awacsLongitude[0] = kSea.longitude;
    state.configBlock.awacsMode[0] = 9;
    state.configBlock.awacsRangeKm = 400;
    geometry.UpdateGeometry({0, 0, 800, 600}, {0, 0, 800, 600});
    geometry.OnCentringCommand(kCarrierCommand, Centre(kSea));
  }
  const ScopeFrame& Prepare() {
    return preparer.Prepare(
        FrameSources{document, settings, geometry, options, status, map, markers, measure, 800, 600, kLabels});
  }
  // A position `eastKm` east and `northKm` north of the centre on the scope.
  geo::GeoPoint Offset(double eastKm, double northKm) const {
    return *geometry.ScreenToGeo(400 + static_cast<int>(eastKm * 16), 300 - static_cast<int>(northKm * 16));
  }
  void Report(int id, const geo::GeoPoint& at, const char* name = "Su-27", int friendly = 0, char kind = 'B',
              double speed = 400.0) {
    document.UpdateContact(id, name, at.latitude, at.longitude, 3000.0, 0.0, friendly, kind, speed);
  }
  const FrameContact* Shown(const ScopeFrame& frame, int id) const {
    for (const FrameContact& contact : frame.contacts)
      if (contact.id == id) return &contact;
    return nullptr;
  }

 public:
  model::ClientState state;
  std::int64_t now = 1'000'000;
  model::CRivakDoc document{state, [this] { return now; }};
  model::ClientSettings settings;
  ScopeGeometry geometry;
  ScopeOptions options;
  ScopeStatus status;
  ScopeMapData map;
  std::vector<geo::GeoPoint> markers;
  std::optional<MeasureLine> measure;
  ScopeFramePreparer preparer;
};

TEST_F(Frames, ScreenPointsOfEveryContactAreWrittenSeenOrNot) {
  state.configBlock.awacsLatitude[0] = 0.0;  // no AWACS: aircraft are not seen
  Report(1, Offset(-10, 5), "F-16C", 1);
  Report(2, Offset(5, 5), "Frigate", 1, 'C', 20);
  Report(3, Offset(10, -5), "HAWK SR", 0, 'A', 0);
  const ScopeFrame& frame = Prepare();
  for (const model::CContact& contact : document.Contacts()) {
    const ScreenPoint expected = geometry.GeoToScreen(contact.latitude, contact.longitude);
    EXPECT_EQ(contact.screenX, expected.x) << contact.id;
    EXPECT_EQ(contact.screenY, expected.y) << contact.id;
  }
  // The frame holds the ship and the radar site, in table order, where the
  // table says they are.
  ASSERT_EQ(frame.contacts.size(), 2u);
  EXPECT_EQ(frame.contacts[0].id, 2);
  EXPECT_TRUE(frame.contacts[0].altSymbol);
  EXPECT_EQ(frame.contacts[1].id, 3);
  EXPECT_TRUE(frame.contacts[1].radarSite);
  EXPECT_EQ(frame.contacts[1].at, (ScreenPoint{document.FindContact(3)->screenX, document.FindContact(3)->screenY}));

  // A report between two frames leaves the screen point of the last frame:
  // the tools hit what the screen shows.
  const ScreenPoint before{document.FindContact(2)->screenX, document.FindContact(2)->screenY};
  Report(2, Offset(-5, -5), "Frigate", 1, 'C', 20);
  EXPECT_EQ(document.FindContact(2)->screenX, before.x);
  Prepare();
  EXPECT_NE(document.FindContact(2)->screenX, before.x);
  EXPECT_EQ(geometry.PreviousCentringCommand(), geometry.CentringCommand());
  EXPECT_EQ(geometry.PreviousRangeKm(), 50);
}

TEST_F(Frames, OutOfOrderRadarPreparesNothingButTheStatus) {
  Report(1, Offset(5, 5));
  status.radarOutOfOrder = true;
  markers.push_back(Offset(1, 1));
  const ScopeFrame& frame = Prepare();
  EXPECT_TRUE(frame.radarOutOfOrder);
  EXPECT_TRUE(frame.contacts.empty());
  EXPECT_TRUE(frame.runways.empty());
  EXPECT_TRUE(frame.markers.empty());
  EXPECT_EQ(frame.coastline, nullptr);
  EXPECT_EQ(document.FindContact(1)->screenX, 0);
  EXPECT_EQ(geometry.PreviousRangeKm(), 50);
}

TEST_F(Frames, LabelsArePlacedAsCountContactsNearCounts) {
  options.labelsShown = true;
  for (int i = 0; i < 7; ++i) Report(16777217 + i, Offset(2, 2));
  Report(50, Offset(2, 2), "HAWK SR", 0, 'A', 0);   // radar sites neither crowd nor carry labels
  Report(51, Offset(2.5, 2), "Cargo", 1, 'C', 20);  // nor do ships carry one
  Report(16777300, Offset(2, 2));
  const ScopeFrame& frame = Prepare();
  ASSERT_EQ(frame.contacts.size(), 10u);
  for (const FrameContact& contact : frame.contacts) {
    if (contact.radarSite || contact.altSymbol) {
      EXPECT_FALSE(contact.label.has_value()) << contact.id;
      continue;
    }
    ASSERT_TRUE(contact.label.has_value()) << contact.id;
    const int crowding = document.CountContactsNear(contact.id, contact.at.x, contact.at.y);
    const LabelPlacement expected =
        PlaceLabel(crowding, QPoint(contact.at.x, contact.at.y), kLabels.fontSize, kLabels.referenceWidth);
    EXPECT_EQ(contact.label->place.anchor, expected.anchor) << contact.id;
    EXPECT_EQ(contact.label->place.leaderEnd, expected.leaderEnd) << contact.id;
  }
  // The eighth aircraft on the point counts the seven before it and the ship.
  EXPECT_EQ(document.CountContactsNear(16777300, Shown(frame, 16777300)->at.x, Shown(frame, 16777300)->at.y), 8);
  EXPECT_EQ(Shown(frame, 16777217)->label->firstLine, "7217");

  options.labelsShown = false;
  for (const FrameContact& contact : Prepare().contacts) EXPECT_FALSE(contact.label.has_value());
}

TEST_F(Frames, LabelsOnlyForContactsThatCanReachThePicture) {
  options.labelsShown = true;
  Report(16777217, Offset(40, 0));  // 640 pixels right of the centre: x 1040
  Report(16777218, Offset(60, 0));  // x 1360, beyond the label's reach
  const ScopeFrame& frame = Prepare();
  ASSERT_EQ(frame.contacts.size(), 2u);
  EXPECT_TRUE(frame.contacts[0].label.has_value());
  EXPECT_FALSE(frame.contacts[1].label.has_value());
  EXPECT_FALSE(NearPicture(frame, frame.contacts[1].at, kContactReachPx));
}

TEST_F(Frames, TrailsOnlyForPlainContactsOutsideAirfieldMode) {
  for (int i = 0; i < 4; ++i) {
    now += 6;
    Report(1, Offset(-5 + 2 * i, 0));
    Report(2, Offset(-5 + 2 * i, 4), "Frigate", 1, 'C', 20);
  }
  const ScopeFrame& frame = Prepare();
  const model::CContact& aircraft = *document.FindContact(1);
  ASSERT_EQ(aircraft.history.Size(), 3u);
  ASSERT_EQ(Shown(frame, 1)->historyCount, 3u);
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_EQ(Shown(frame, 1)->history[i],
              geometry.GeoToScreen(aircraft.history[i].latitude, aircraft.history[i].longitude));
  EXPECT_EQ(Shown(frame, 2)->historyCount, 0u);
  settings.showOldPositions = 0;
  EXPECT_EQ(Shown(Prepare(), 1)->historyCount, 0u);
  settings.showOldPositions = 1;
  geometry.SetAirfieldMode(true);
  EXPECT_EQ(Shown(Prepare(), 1)->historyCount, 0u);
}

TEST_F(Frames, MarkersMeasuringAndCoverageInScreenTerms) {
  markers.push_back(*geometry.ScreenToGeo(300, 250));
  measure = MeasureLine{{200, 300}, {400, 300}};
  ScopeFrame const* frame = &Prepare();
  ASSERT_EQ(frame->markers.size(), 1u);
  EXPECT_LE(std::abs(frame->markers[0].x - 300) + std::abs(frame->markers[0].y - 250), 2);
  ASSERT_TRUE(frame->measure.has_value());
  EXPECT_EQ(frame->measure->text, "12 KM ( CAP: 90 )");
  EXPECT_FALSE(frame->awacsCoverage.has_value());  // coverage off
  options.coverageShown = true;
  frame = &Prepare();
  ASSERT_TRUE(frame->awacsCoverage.has_value());
  EXPECT_EQ(frame->awacsCoverage->centre, geometry.GeoToScreen(kSea.latitude, kSea.longitude));
  EXPECT_EQ(frame->awacsCoverage->radius, 16 * 400);
  settings.imperial = 1;
  EXPECT_EQ(Prepare().measure->text, "6 Nm ( CAP: 90 )");
}

// Krasnodar Center at 20 km (40 pixels per km): runway heading 270 from
// end 1 (east) to end 2 (west), 32 m.
class RunwayFrames : public Frames {
 protected:
  void SetUp() override {
    Frames::SetUp();
    geometry.SetRangeKm(20);
    geometry.OnCentringCommand(kHomeAirfieldCommand, Centre(kSea));
    for (model::CAirfield& record : document.Airfields())
      if (record.menuId == kHomeAirfieldCommand) runway = &record;
    ASSERT_NE(runway, nullptr);
  }
  const FrameRunway* Prepared(const ScopeFrame& frame) const {
    const ScreenPoint end1 = geometry.GeoToScreen(runway->end1Latitude, runway->end1Longitude);
    for (const FrameRunway& prepared : frame.runways)
      if (prepared.end1 == end1) return &prepared;
    return nullptr;
  }

 public:
  model::CAirfield* runway = nullptr;
};

TEST_F(RunwayFrames, TheWindsEndIsRecordedWhenTheFrameIsPrepared) {
  EXPECT_FALSE(preparer.Approach().has_value());
  const ScopeFrame* frame = &Prepare();
  ASSERT_NE(Prepared(*frame), nullptr);
  EXPECT_TRUE(Prepared(*frame)->runwayShown);
  EXPECT_EQ(Prepared(*frame)->code, "KRAS");
  EXPECT_FALSE(Prepared(*frame)->centreline.has_value());  // aids only in airfield mode
  EXPECT_FALSE(preparer.Approach().has_value());

  geometry.SetAirfieldMode(true);
  options.windDirectionDeg = 270;  // along the runway: land at end 2
  frame = &Prepare();
  EXPECT_EQ(runway->activeEndFlipped, 1);
  const ScreenPoint end1 = geometry.GeoToScreen(runway->end1Latitude, runway->end1Longitude);
  const ScreenPoint end2 = geometry.GeoToScreen(runway->end2Latitude, runway->end2Longitude);
  ASSERT_TRUE(Prepared(*frame)->centreline.has_value());
  EXPECT_EQ(*Prepared(*frame)->centreline, ExtendedCentreline(false, end1, end2));
  ASSERT_TRUE(preparer.Approach().has_value());
  const ApproachGeometry& approach = *preparer.Approach();
  EXPECT_EQ(approach.MenuId(), kHomeAirfieldCommand);
  EXPECT_FALSE(approach.AtFirstEnd());
  EXPECT_TRUE(approach.ActiveEndFlipped());
  EXPECT_EQ(approach.Threshold(), (geo::GeoPoint{runway->end2Latitude, runway->end2Longitude}));
  EXPECT_EQ(approach.FieldElevationM(), runway->elevationM);
  EXPECT_EQ(approach.ThresholdOnScreen(), end2);

  options.windDirectionDeg = 90;  // from behind: the usual end
  Prepare();
  EXPECT_EQ(runway->activeEndFlipped, 0);
  EXPECT_TRUE(preparer.Approach()->AtFirstEnd());
  EXPECT_EQ(preparer.Approach()->ThresholdOnScreen(), end1);

  // No wind: the usual end, and the record's flag as it was.
  runway->activeEndFlipped = 1;
  options.windDirectionDeg = 0;
  frame = &Prepare();
  EXPECT_EQ(runway->activeEndFlipped, 1);
  EXPECT_EQ(*Prepared(*frame)->centreline, ExtendedCentreline(true, end1, end2));
}

TEST_F(RunwayFrames, OnlyTheCentredAirfieldGetsTheApproach) {
  geometry.SetAirfieldMode(true);
  geometry.OnCentringCommand(32711, Centre(kSea));  // Krasnodar-Pashkovskiy, 16 km away
  Prepare();
  ASSERT_TRUE(preparer.Approach().has_value());
  EXPECT_EQ(preparer.Approach()->MenuId(), 32711);
  // Krasnodar Center is on the scope with its own aids, but not the approach.
  ASSERT_NE(Prepared(preparer.Frame()), nullptr);
  EXPECT_TRUE(Prepared(preparer.Frame())->centreline.has_value());
}

TEST_F(RunwayFrames, AirfieldRadarCircleWhileCoverageIsShown) {
  state.configBlock.airfieldRadarOn[0][10] = 1;
  state.configBlock.airfieldRadarRangeKm[0][10] = 90;
  EXPECT_FALSE(Prepared(Prepare())->radarCircle.has_value());
  options.coverageShown = true;
  const FrameRunway* prepared = Prepared(Prepare());
  ASSERT_TRUE(prepared->radarCircle.has_value());
  EXPECT_EQ(prepared->radarCircle->centre, geometry.GeoToScreen(runway->refLatitude, runway->refLongitude));
  EXPECT_EQ(prepared->radarCircle->radius, 40 * 90);
  state.isBlue = 0;  // Red's flags for Red
  EXPECT_FALSE(Prepared(Prepare())->radarCircle.has_value());
}

}  // namespace
}  // namespace vantor::scope
