// The controller's aids in prepared frames: bullseye and BRAA lines on
// hostile labels only, conflicts between friendly aircraft only, labels
// placed apart; and nothing of them while their settings are off.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include "vantor/geo/Sphere.h"
#include "vantor/model/CRivakDoc.h"
#include "vantor/model/ClientSettings.h"
#include "vantor/scope/LabelDeclutter.h"
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
  std::optional<geo::GeoPoint> CarrierPosition() const override { return kSea; }
  std::optional<geo::GeoPoint> RadarSitePosition(int) const override { return std::nullopt; }
};

// Separately written great-circle reckoning, degrees in, km and degrees out.
double Rad(double degrees) { return degrees * 3.141592653589793 / 180.0; }
double HaversineKm(geo::GeoPoint a, geo::GeoPoint b) {
  const double s1 = std::sin(Rad(b.latitude - a.latitude) / 2), s2 = std::sin(Rad(b.longitude - a.longitude) / 2);
  return 2 * 6371.0 * std::asin(std::sqrt(s1 * s1 + std::cos(Rad(a.latitude)) * std::cos(Rad(b.latitude)) * s2 * s2));
}
long AzimuthDeg(geo::GeoPoint a, geo::GeoPoint b) {
  const double y = std::sin(Rad(b.longitude - a.longitude)) * std::cos(Rad(b.latitude));
  const double x = std::cos(Rad(a.latitude)) * std::sin(Rad(b.latitude)) -
                   std::sin(Rad(a.latitude)) * std::cos(Rad(b.latitude)) * std::cos(Rad(b.longitude - a.longitude));
  long deg = std::lround(std::atan2(y, x) * 180.0 / 3.141592653589793);
  if (deg <= 0) deg += 360;
  return deg;
}

// An 800 x 600 scope at 50 km (16 pixels per km) over the sea, Blue's
// AWACS overhead.
class Aids : public ::testing::Test {
 protected:
  void SetUp() override {
    state.isBlue = 1;
    state.configBlock.awacsLatitude[0] = kSea.latitude;
    state.configBlock.awacsLongitude[0] = kSea.longitude;
    state.configBlock.awacsMode[0] = 9;
    state.configBlock.awacsRangeKm = 400;
    geometry.UpdateGeometry({0, 0, 800, 600}, {0, 0, 800, 600});
    geometry.OnCentringCommand(kCarrierCommand, Centre());
    options.labelsShown = true;
  }
  const ScopeFrame& Prepare() {
    return preparer.Prepare(
        FrameSources{document, settings, geometry, options, status, map, markers, std::nullopt, 800, 600, kLabels});
  }
  geo::GeoPoint Offset(double eastKm, double northKm) const {
    return *geometry.ScreenToGeo(400 + static_cast<int>(eastKm * 16), 300 - static_cast<int>(northKm * 16));
  }
  void Report(int id, geo::GeoPoint at, int friendly, double headingDeg = 0.0, double speed = 600.0,
              double altitude = 5000.0, const char* name = "F-16C", char kind = 'B') {
    document.UpdateContact(id, name, at.latitude, at.longitude, altitude, geo::Radians(headingDeg), friendly, kind,
                           speed);
  }
  const FrameContact& Shown(int id) const {
    for (const FrameContact& contact : preparer.Frame().contacts)
      if (contact.id == id) return contact;
    throw std::runtime_error("not shown");
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
  ScopeFramePreparer preparer;
};

TEST_F(Aids, NothingOfTheAidsWhileTheirSettingsAreOff) {
  settings.bullseyeLatitude = kSea.latitude;  // placed, but switched off
  settings.bullseyeLongitude = kSea.longitude;
  options.braaFriendly = 1;
  Report(1, Offset(-5, 0), 1, 90.0);
  Report(2, Offset(5, 0), 1, 270.0);  // converging friendlies
  Report(16777300, Offset(0, 8), 0);
  const ScopeFrame& frame = Prepare();
  EXPECT_FALSE(frame.bullseye);
  EXPECT_FALSE(frame.braaFriendly);
  EXPECT_TRUE(frame.conflicts.empty());
  EXPECT_TRUE(frame.conflictTexts.empty());
  for (const FrameContact& contact : frame.contacts) {
    ASSERT_TRUE(contact.label);
    EXPECT_TRUE(contact.label->bullseyeLine.isEmpty());
    EXPECT_TRUE(contact.label->braaLine.isEmpty());
    EXPECT_EQ(contact.label->LineCount(), 2);
    EXPECT_EQ(contact.label->place.anchor, PlaceLabel(0, {contact.at.x, contact.at.y}, 12, 70).anchor);
  }
}

TEST_F(Aids, BullseyeLineOnHostileLabelsMatchesTheGreatCircle) {
  settings.bullseye = true;
  const geo::GeoPoint bullseye = Offset(-10, -10);
  settings.bullseyeLatitude = bullseye.latitude;
  settings.bullseyeLongitude = bullseye.longitude;
  const geo::GeoPoint hostile = Offset(12, 9);
  Report(16777301, hostile, 0);
  Report(1, Offset(3, 3), 1);
  const ScopeFrame& frame = Prepare();
  ASSERT_TRUE(frame.bullseye);
  EXPECT_EQ(*frame.bullseye, geometry.GeoToScreen(bullseye.latitude, bullseye.longitude));
  const ContactLabel& hostileLabel = *Shown(16777301).label;
  EXPECT_EQ(hostileLabel.bullseyeLine, QStringLiteral("%1/%2")
                                           .arg(AzimuthDeg(bullseye, hostile), 3, 10, QChar('0'))
                                           .arg(std::lround(HaversineKm(bullseye, hostile))));
  EXPECT_EQ(hostileLabel.LineCount(), 3);
  EXPECT_TRUE(Shown(1).label->bullseyeLine.isEmpty());

  settings.imperial = true;
  Prepare();
  EXPECT_TRUE(Shown(16777301).label->bullseyeLine.endsWith(
      QStringLiteral("/%1").arg(std::lround(HaversineKm(bullseye, hostile) * 0.539))));
}

TEST_F(Aids, BraaFromTheChosenFriendlyUntilItLeavesTheTable) {
  settings.showBraa = true;
  const geo::GeoPoint friendly = Offset(0, 0);
  // Up the screen is grid north, a degree off true north here: the calls
  // are true bearings.
  const geo::GeoPoint hostile = Offset(0, 15);
  Report(7, friendly, 1);
  Report(16777302, hostile, 0, 180.0, 900.0, 7600.0);  // nose on the friendly
  Report(16777303, Offset(10, 0), 0, 0.0);             // due east, heading north: beam
  options.braaFriendly = 7;
  const ScopeFrame& frame = Prepare();
  ASSERT_TRUE(frame.braaFriendly);
  EXPECT_EQ(*frame.braaFriendly, geometry.GeoToScreen(friendly.latitude, friendly.longitude));
  EXPECT_EQ(Shown(16777302).label->braaLine, QStringLiteral("%1/%2 760 HOT")
                                                 .arg(AzimuthDeg(friendly, hostile), 3, 10, QChar('0'))
                                                 .arg(std::lround(HaversineKm(friendly, hostile))));
  EXPECT_TRUE(Shown(16777303).label->braaLine.endsWith(" BEAM"));
  const geo::GeoPoint east = Offset(10, 0);
  EXPECT_TRUE(Shown(16777303).label->braaLine.startsWith(QStringLiteral("%1/%2 ")
                                                             .arg(AzimuthDeg(friendly, east), 3, 10, QChar('0'))
                                                             .arg(std::lround(HaversineKm(friendly, east)))));
  EXPECT_TRUE(Shown(7).label->braaLine.isEmpty());

  // A hostile chosen by mistake gives no calls; nor does a friendly gone.
  options.braaFriendly = 16777303;
  EXPECT_FALSE(Prepare().braaFriendly);
  EXPECT_TRUE(Shown(16777302).label->braaLine.isEmpty());
  options.braaFriendly = 8;
  EXPECT_FALSE(Prepare().braaFriendly);
  // The setting off ends them too.
  options.braaFriendly = 7;
  settings.showBraa = false;
  Prepare();
  EXPECT_TRUE(Shown(16777302).label->braaLine.isEmpty());
}

TEST_F(Aids, ConflictsOnlyBetweenFriendlyAircraftInTheAir) {
  settings.conflictAlert = true;
  options.labelsShown = false;
  // Converging friendlies, 6 km apart at 800 km/h each.
  Report(1, Offset(-3, 0), 1, 90.0, 800.0, 5000.0, "Colt 1-1");
  Report(2, Offset(3, 0), 1, 270.0, 800.0, 5100.0, "Uzi 2-1");
  // Hostiles converging the same way: not the alert's business.
  Report(16777310, Offset(-3, 10), 0, 90.0, 800.0);
  Report(16777311, Offset(3, 10), 0, 270.0, 800.0);
  // A friendly ship, and parked friendlies side by side.
  Report(3, Offset(-3, -10), 1, 90.0, 800.0, 0.0, "Frigate", 'C');
  Report(4, Offset(3, -10), 1, 270.0, 800.0, 0.0, "Frigate", 'C');
  Report(5, Offset(0, -15), 1, 0.0, 20.0, 30.0);
  Report(6, Offset(0.1, -15), 1, 0.0, 20.0, 30.0);
  // A take-off stream: fast, but still within 500 ft of the ground.
  Report(8, Offset(10, -20), 1, 90.0, 300.0, 140.0);
  Report(9, Offset(10.5, -20), 1, 90.0, 200.0, 100.0);
  document.AssignCallsign("VIPER", 2);
  QString callsign;
  ASSERT_TRUE(document.LookupCallsign(2, callsign));
  const ScopeFrame& frame = Prepare();
  ASSERT_EQ(frame.conflicts.size(), 1u);
  EXPECT_EQ(frame.conflicts[0].first, Shown(1).at);
  EXPECT_EQ(frame.conflicts[0].second, Shown(2).at);
  // The pixel grid rounds the 6 km a little; the closing speed is 1600 km/h.
  const double km = HaversineKm(Offset(-3, 0), Offset(3, 0));
  const int seconds = static_cast<int>((km * 1000.0 - 1852.0) / (1600.0 / 3.6));
  ASSERT_EQ(frame.conflictTexts.size(), 1u);
  EXPECT_EQ(frame.conflictTexts[0],
            QStringLiteral("CONFLICT Colt 1-1/%1 0:%2").arg(callsign).arg(seconds, 2, 10, QChar('0')));

  // Apart vertically: no alert.
  Report(2, Offset(3, 0), 1, 270.0, 800.0, 5400.0, "Uzi 2-1");
  EXPECT_TRUE(Prepare().conflicts.empty());
}

TEST_F(Aids, DeclutteredLabelsStayApartAndStillOverRepaints) {
  settings.declutter = true;
  settings.bullseye = true;
  const geo::GeoPoint bullseye = Offset(0, 0);
  settings.bullseyeLatitude = bullseye.latitude;
  settings.bullseyeLongitude = bullseye.longitude;
  // A ring of 24 contacts 5 km around the centre, alternately hostile.
  for (int i = 0; i < 24; ++i) {
    const double angle = i * 15.0 * 3.141592653589793 / 180.0;
    Report(i % 2 == 0 ? 100 + i : 16777400 + i, Offset(5 * std::sin(angle), 5 * std::cos(angle)), i % 2 == 0 ? 1 : 0);
  }
  auto boxes = [&] {
    std::vector<QRect> result;
    for (const FrameContact& contact : preparer.Frame().contacts) {
      const ContactLabel& label = *contact.label;
      result.push_back(LabelBox(label.place, label.Width({}, kLabels), label.LineCount(), 12));
    }
    return result;
  };
  Prepare();
  const std::vector<QRect> first = boxes();
  ASSERT_EQ(first.size(), 24u);
  EXPECT_EQ(CountOverlappingPairs(first), 0);
  for (const QRect& box : first) {
    for (const FrameContact& contact : preparer.Frame().contacts)
      EXPECT_FALSE(box.contains(QPoint(contact.at.x, contact.at.y)));
  }
  Prepare();
  EXPECT_EQ(boxes(), first);

  // Off again: the usual places.
  settings.declutter = false;
  Prepare();
  std::vector<QRect> usual;
  for (const FrameContact& contact : preparer.Frame().contacts)
    EXPECT_EQ(contact.label->place.anchor,
              PlaceLabel(document.CountContactsNear(contact.id, contact.at.x, contact.at.y),
                         {contact.at.x, contact.at.y}, 12, 70)
                  .anchor);
}

}  // namespace
}  // namespace vantor::scope
