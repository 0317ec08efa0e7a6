// The scope's texts and label decisions: placement by crowding, what the
// two lines say for friendly and hostile contacts, trend arrows, units, the
// measuring text.
#include <gtest/gtest.h>

#include <QPoint>
#include <QString>

#include <random>

#include "vantor/geo/Geodesy.h"
#include "vantor/model/CRivakDoc.h"
#include "vantor/scope/LabelCrowding.h"
#include "vantor/scope/ScopeLabels.h"

namespace vantor::scope {
namespace {

TEST(LabelPlacement, TableByCrowding) {
  const QPoint at(300, 200);
  const int w0 = 70;
  EXPECT_EQ(PlaceLabel(0, at, 12, w0).anchor, QPoint(290, 190));
  EXPECT_EQ(PlaceLabel(0, at, 12, w0).leaderEnd, QPoint(285, 185));
  EXPECT_EQ(PlaceLabel(1, at, 12, w0).anchor, QPoint(290, 200 + 36 + 10));
  EXPECT_EQ(PlaceLabel(1, at, 12, w0).leaderStart, QPoint(295, 205));
  EXPECT_EQ(PlaceLabel(2, at, 12, w0).anchor, QPoint(300 + 70 + 10, 180));
  EXPECT_EQ(PlaceLabel(3, at, 12, w0).leaderEnd, QPoint(315, 215));
  EXPECT_EQ(PlaceLabel(4, at, 12, w0).anchor, QPoint(280, 215));
  EXPECT_EQ(PlaceLabel(5, at, 12, w0).anchor, QPoint(390, 215));
  EXPECT_EQ(PlaceLabel(6, at, 12, w0).anchor, PlaceLabel(0, at, 12, w0).anchor);
  EXPECT_EQ(PlaceLabel(40, at, 12, w0).leaderEnd, PlaceLabel(0, at, 12, w0).leaderEnd);
}

// The paint counts crowding with an index over the points of its walk; it
// must count what CountContactsNear counts, edges included.
TEST(LabelCrowding, CountsAsTheDocumentDoes) {
  model::ClientState state;
  model::CRivakDoc document(state);
  std::mt19937 random(3);
  std::uniform_int_distribution<int> coordinate(-300, 300);
  for (int i = 0; i < 400; ++i) {
    document.UpdateContact(1000 + i, i % 9 == 0 ? "HAWK SR" : "Su-27", 44.0, 36.0, 3000, 0, 0, i % 9 == 0 ? 'A' : 'B',
                           300);
  }
  LabelCrowding index;
  int i = 0;
  for (model::CContact& contact : document.Contacts()) {
    // Clustered points, many exactly 100 apart.
    contact.screenX = (i % 3 == 0) ? 100 * (coordinate(random) / 100) : coordinate(random);
    contact.screenY = (i % 4 == 0) ? 100 * (coordinate(random) / 100) : coordinate(random) / 3;
    ++i;
  }
  for (const model::CContact& contact : document.Contacts()) {
    ASSERT_EQ(index.Count(contact.screenX, contact.screenY),
              document.CountContactsNear(contact.id, contact.screenX, contact.screenY))
        << "contact " << contact.id;
    for (const QPoint probe :
         {QPoint(contact.screenX + 100, contact.screenY), QPoint(contact.screenX - 100, contact.screenY),
          QPoint(contact.screenX, contact.screenY + 99), QPoint(contact.screenX + 1, contact.screenY - 100)})
      ASSERT_EQ(index.Count(probe.x(), probe.y()), document.CountContactsNear(contact.id, probe.x(), probe.y()));
    if (contact.radarSite == 0) index.Add(contact.screenX, contact.screenY);
  }
}

TEST(Measuring, TextInBothUnits) {
  EXPECT_EQ(MeasureText(12, 45.0, false), "12 KM ( CAP: 45 )");
  EXPECT_EQ(MeasureText(0, 0.0, false), "0 KM ( CAP: 0 )");
  EXPECT_EQ(MeasureText(100, 269.6, true), "54 Nm ( CAP: 270 )");  // 53.9 nautical miles
  // The scope's range between two pixels is 0.9726 of the straight distance.
  const int range = geo::ScopeRangeKm(200, 300, 400, 300, 16, 400, 300);
  EXPECT_EQ(range, 12);
  EXPECT_EQ(geo::ScopeBearing(200, 300, 400, 300), 90.0);
}

TEST(LabelFontSize, StoredSizesWithoutDigitsOrAbsurdOnesAreTamed) {
  EXPECT_EQ(LabelFontSize(12), 12);
  EXPECT_EQ(LabelFontSize(16), 16);
  EXPECT_EQ(LabelFontSize(0), kDefaultLabelFontSize);
  EXPECT_EQ(LabelFontSize(-4), kDefaultLabelFontSize);
  EXPECT_EQ(LabelFontSize(96), 96);
  EXPECT_EQ(LabelFontSize(4000), kLargestLabelFontSize);
}

TEST(TrendArrow, TwentyMetresEitherWayIsLevel) {
  EXPECT_EQ(TrendOf(3021, 3000), TrendArrow::Climb);
  EXPECT_EQ(TrendOf(3020, 3000), TrendArrow::Level);
  EXPECT_EQ(TrendOf(2980, 3000), TrendArrow::Level);
  EXPECT_EQ(TrendOf(2979.5, 3000), TrendArrow::Descend);
}

model::CContact Contact(int id, const char* name, int friendly, double altitude = 3000, double speed = 900) {
  model::CContact contact;
  contact.id = id;
  contact.name = QString::fromUtf8(name);
  contact.friendly = friendly;
  contact.altitude = altitude;
  contact.previousAltitude = altitude;
  contact.speed = speed;
  return contact;
}

constexpr LabelStyle kMetric{{12, 70}, false, false, false};

TEST(ContactLabel, HostileIdOrCallsignUnderlinedUnlessTheCarrier) {
  const model::CContact hostile = Contact(16777217, "Su-27", 0);
  ContactLabel label = LabelContact(hostile, {300, 200}, std::nullopt, 0, kMetric);
  EXPECT_EQ(label.firstLine, "7217");
  EXPECT_TRUE(label.underlined);
  EXPECT_EQ(label.altitude, "300");
  EXPECT_EQ(label.speed, "090");
  EXPECT_EQ(label.trend, TrendArrow::Level);
  EXPECT_EQ(label.place.anchor, QPoint(290, 190));
  EXPECT_EQ(LabelContact(Contact(123, "Su-27", 0), {0, 0}, std::nullopt, 0, kMetric).firstLine, "");
  // A callsign replaces the id, parentheses and all.
  EXPECT_EQ(LabelContact(hostile, {300, 200}, QString("PAP(1)"), 0, kMetric).firstLine, "PAP(1)");
  model::CContact carrier = Contact(77, "Admiral Kuznetsov", 0);
  carrier.carrier = 1;
  EXPECT_FALSE(LabelContact(carrier, {300, 200}, std::nullopt, 0, kMetric).underlined);
}

TEST(ContactLabel, FriendlyNameCutAndStrippedOfParentheses) {
  const model::CContact friendly = Contact(5, "F-16C (Viper 1-1)", 1);
  ContactLabel label = LabelContact(friendly, {300, 200}, std::nullopt, 2, kMetric);
  EXPECT_EQ(label.firstLine, "F-16C Vip");
  EXPECT_FALSE(label.underlined);
  EXPECT_EQ(label.place.anchor, QPoint(300 + 70 + 10, 180));  // two contacts crowd it
  LabelStyle inverted = kMetric;
  inverted.invertCallsign = true;
  EXPECT_EQ(LabelContact(friendly, {300, 200}, std::nullopt, 0, inverted).firstLine, "Viper 1-1");
  EXPECT_EQ(LabelContact(friendly, {300, 200}, QString("KOD(1)"), 0, kMetric).firstLine, "KOD1");
}

TEST(ContactLabel, UnitsHiddenSpeedAndTrend) {
  model::CContact climbing = Contact(16777217, "Su-27", 0, 3000, 900);
  climbing.previousAltitude = 2900;
  LabelStyle nautical = kMetric;
  nautical.nauticalUnits = true;
  ContactLabel label = LabelContact(climbing, {300, 200}, std::nullopt, 0, nautical);
  EXPECT_EQ(label.altitude, "098");
  EXPECT_EQ(label.speed, "049");
  EXPECT_EQ(label.trend, TrendArrow::Climb);
  nautical.hideSpeed = true;
  EXPECT_EQ(LabelContact(climbing, {300, 200}, std::nullopt, 0, nautical).speed, "");
}

TEST(MeasureText, FromALineOnTheScope) {
  ScopeScreen screen{800, 800, 400, 300};
  const ScopeProjection projection(screen, {44.0, 37.5}, 16);
  EXPECT_EQ(MeasureText(MeasureLine{{200, 300}, {400, 300}}, projection, false), "12 KM ( CAP: 90 )");
  EXPECT_EQ(MeasureText(MeasureLine{{200, 300}, {200, 300}}, projection, false), "0 KM ( CAP: 0 )");
}

}  // namespace
}  // namespace vantor::scope
