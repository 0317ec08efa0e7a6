// The configuration sheet's pages and the map page, offscreen: what they
// load from the settings file and store back, their rules, their pixels.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>

#include "TestSupport.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/server/AirfieldSettings.h"
#include "vantor/server/MapPageGeometry.h"
#include "vantor/server/gui/CoalitionPage.h"
#include "vantor/server/gui/MapPage.h"
#include "vantor/server/gui/RadarPage.h"
#include "vantor/server/gui/ServerStyle.h"
#include "vantor/server/gui/TheatreMap.h"
#include "vantor/texts/Texts.h"

using namespace vantor;
using namespace vantor::server;
using namespace vantor::server::gui;

namespace {

constexpr int kAnapa = 2;
constexpr int kAdler = 1;
constexpr int kBelbek = 3;

class ConfigPagesTest : public ::testing::Test {
 protected:
  std::unique_ptr<SettingsStore> Store() { return SettingsStore::OpenFile(dir_.filePath("vantorsrv.ini")); }
  ServerConfig LoadFromStore() {
    ServerConfig config = DefaultServerConfig();
    LoadConfig(*Store(), config);
    LoadStartSettings(*Store(), config);
    return config;
  }
  QTemporaryDir dir_;
};

template <typename T>
T& Child(QWidget& parent, const QString& name) {
  T* child = parent.findChild<T*>(name);
  if (child == nullptr) throw std::runtime_error("no child " + name.toStdString());
  return *child;
}

QComboBox& Range(CoalitionPage& page, int airfield) { return Child<QComboBox>(page, QString("range%1").arg(airfield)); }
QCheckBox& InService(CoalitionPage& page, int airfield) {
  return Child<QCheckBox>(page, QString("airfield%1").arg(airfield));
}
QSpinBox& Altitude(CoalitionPage& page) { return Child<QSpinBox>(page, "altitude"); }
QRadioButton& ChoiceButton(CoalitionPage& page, AwacsChoice choice) {
  return Child<QRadioButton>(page, QString("awacsChoice%1").arg(static_cast<int>(choice)));
}

}  // namespace

TEST_F(ConfigPagesTest, CoalitionPagesLoadAndStoreEveryKeyOfTheirSide) {
  {
    auto store = Store();
    store->WriteInt("Config", "b2", 0);
    store->WriteInt("Config", "b22", 0);
    store->WriteInt("Config", "RR2", 300);
    store->WriteInt("Config", "RR21", 5);
    store->WriteInt("Config", "Awacs1", 14);
    store->WriteString("Config", "redpass", "rouge");
    store->WriteString("Config", "Alat1", "44.25");
    store->WriteInt("Config", "a1", 0);  // the other side's
  }
  const ServerConfig loaded = LoadFromStore();
  CoalitionPage red(1, Language::English);
  red.Load(loaded);
  EXPECT_FALSE(InService(red, kAnapa).isChecked());
  EXPECT_FALSE(InService(red, 22).isChecked());
  EXPECT_TRUE(InService(red, kAdler).isChecked());
  EXPECT_EQ(Range(red, kAnapa).currentText(), "300");
  EXPECT_EQ(Range(red, 21).currentText(), "5");
  EXPECT_EQ(Range(red, kAdler).currentText(), "50");
  EXPECT_EQ(red.Choice(), AwacsChoice::Static);
  EXPECT_EQ(Altitude(red).value(), 14);
  EXPECT_TRUE(Altitude(red).isEnabled());
  EXPECT_EQ(Child<QLineEdit>(red, "password").text(), "rouge");

  // Stored unchanged, the page gives back what was loaded.
  ServerConfig stored = loaded;
  red.Save(stored);
  EXPECT_EQ(stored, loaded);

  // Edits reach the keys of this side only.
  InService(red, kAdler).setChecked(false);
  Range(red, kBelbek).setCurrentText("200");
  Altitude(red).setValue(3);
  Child<QLineEdit>(red, "password").setText("nouveau");
  red.Save(stored);
  SaveConfig(*Store(), stored);
  auto store = Store();
  EXPECT_EQ(store->ReadInt("Config", "b1", -1), 0);
  EXPECT_EQ(store->ReadInt("Config", "RR3", -1), 200);
  EXPECT_EQ(store->ReadInt("Config", "Awacs1", -1), 3);
  EXPECT_EQ(store->ReadString("Config", "redpass", "?"), "nouveau");
  EXPECT_EQ(store->ReadString("Config", "Alat1", "?"), "44.250000");
  EXPECT_EQ(store->ReadInt("Config", "a1", -1), 0);
  EXPECT_EQ(store->ReadInt("Config", "R3", -1), 50);
  EXPECT_EQ(store->ReadInt("Config", "Awacs", -1), 10);
}

TEST_F(ConfigPagesTest, RangeListsSelectTheFirstItemBeginningWithTheStoredRange) {
  EXPECT_EQ(RangeItemFor(30), std::optional<std::size_t>(7));  // "300"
  EXPECT_EQ(RangeItemFor(1), std::optional<std::size_t>(2));   // "10"
  EXPECT_EQ(RangeItemFor(2), std::optional<std::size_t>(0));
  EXPECT_EQ(RangeItemFor(20), std::optional<std::size_t>(3));
  EXPECT_EQ(RangeItemFor(7), std::nullopt);
  EXPECT_EQ(RangeItemFor(0), std::nullopt);
  EXPECT_EQ(RangeItemFor(-5), std::nullopt);

  ServerConfig config = DefaultServerConfig();
  config.block.airfieldRadarRangeKm[0][0] = 30;
  config.block.airfieldRadarRangeKm[0][1] = 1;
  config.block.airfieldRadarRangeKm[0][2] = 7;
  config.block.airfieldRadarRangeKm[0][3] = 1000;  // "1000" begins no item
  config.block.airfieldRadarRangeKm[0][4] = 0;
  CoalitionPage blue(0, Language::English);
  blue.Load(config);
  EXPECT_EQ(Range(blue, 1).currentText(), "300");
  EXPECT_EQ(Range(blue, 2).currentText(), "10");
  EXPECT_EQ(Range(blue, 3).currentIndex(), -1);
  EXPECT_EQ(Range(blue, 4).currentIndex(), -1);
  blue.Save(config);
  EXPECT_EQ(config.block.airfieldRadarRangeKm[0][0], 300);
  EXPECT_EQ(config.block.airfieldRadarRangeKm[0][1], 10);
  EXPECT_EQ(config.block.airfieldRadarRangeKm[0][2], 50);
  EXPECT_EQ(config.block.airfieldRadarRangeKm[0][3], 50);
  EXPECT_EQ(config.block.airfieldRadarRangeKm[0][4], 50);
  for (int airfield = 1; airfield <= 22; ++airfield) EXPECT_EQ(Range(blue, airfield).count(), 8);
}

TEST_F(ConfigPagesTest, AwacsModeAndAltitudeRules) {
  ServerConfig config = DefaultServerConfig();
  config.block.awacsMode = {0, 12};
  config.block.radarOnly = {0, 1};
  CoalitionPage blue(0, Language::English);
  CoalitionPage red(1, Language::English);
  blue.Load(config);
  red.Load(config);
  // Mode word 0: the simulator's AWACS; the altitude shows 0, not editable.
  EXPECT_EQ(blue.Choice(), AwacsChoice::FromSimulator);
  EXPECT_FALSE(Altitude(blue).isEnabled());
  EXPECT_EQ(Altitude(blue).value(), 0);
  // The radar-only flag wins over the mode word, which stays shown.
  EXPECT_EQ(red.Choice(), AwacsChoice::RadarOnly);
  EXPECT_FALSE(Altitude(red).isEnabled());
  EXPECT_EQ(Altitude(red).value(), 12);

  // Choosing the static AWACS with altitude 0 gives 8.
  ChoiceButton(blue, AwacsChoice::Static).click();
  EXPECT_TRUE(Altitude(blue).isEnabled());
  EXPECT_EQ(Altitude(blue).value(), 8);
  Altitude(blue).setValue(0);
  ChoiceButton(blue, AwacsChoice::RadarOnly).click();
  EXPECT_FALSE(Altitude(blue).isEnabled());
  ChoiceButton(blue, AwacsChoice::Static).click();
  EXPECT_EQ(Altitude(blue).value(), 8);
  Altitude(blue).setValue(25);  // the edit keeps 0 ... 20
  EXPECT_EQ(Altitude(blue).value(), 20);
  blue.Save(config);
  EXPECT_EQ(config.block.awacsMode[0], 20);
  EXPECT_EQ(config.block.radarOnly[0], 0);

  // Radar only keeps the mode word; the simulator's AWACS clears it.
  red.Save(config);
  EXPECT_EQ(config.block.awacsMode[1], 12);
  EXPECT_EQ(config.block.radarOnly[1], 1);
  ChoiceButton(red, AwacsChoice::FromSimulator).click();
  EXPECT_FALSE(Altitude(red).isEnabled());
  red.Save(config);
  EXPECT_EQ(config.block.awacsMode[1], 0);
  EXPECT_EQ(config.block.radarOnly[1], 0);
}

TEST_F(ConfigPagesTest, AllAndNoneActOnTheirOwnGroup) {
  ServerConfig config = DefaultServerConfig();
  CoalitionPage blue(0, Language::English);
  blue.Load(config);
  auto& ukraine = Child<QGroupBox>(blue, "ukraine");
  auto& russia = Child<QGroupBox>(blue, "russia");
  EXPECT_EQ(ukraine.title(), "Ukraine");
  EXPECT_EQ(russia.title(), "Russia");
  Child<QPushButton>(ukraine, "none").click();
  blue.Save(config);
  for (int airfield : kUkraineGroup) EXPECT_EQ(config.block.airfieldRadarOn[0][airfield - 1], 0) << airfield;
  for (int airfield : kRussiaGroup) EXPECT_EQ(config.block.airfieldRadarOn[0][airfield - 1], 1) << airfield;
  Child<QPushButton>(russia, "none").click();
  Child<QPushButton>(ukraine, "all").click();
  blue.Save(config);
  for (int airfield : kUkraineGroup) EXPECT_EQ(config.block.airfieldRadarOn[0][airfield - 1], 1) << airfield;
  for (int airfield : kRussiaGroup) EXPECT_EQ(config.block.airfieldRadarOn[0][airfield - 1], 0) << airfield;
  // The groups together hold every airfield once.
  std::vector<int> all(kUkraineGroup.begin(), kUkraineGroup.end());
  all.insert(all.end(), kRussiaGroup.begin(), kRussiaGroup.end());
  std::sort(all.begin(), all.end());
  for (int i = 0; i < 22; ++i) EXPECT_EQ(all[i], i + 1);
  EXPECT_EQ(InService(blue, 22).text(), "( Kuznetsov )");
}

TEST_F(ConfigPagesTest, PagesShowTheirTextsByLanguage) {
  CoalitionPage french(0, Language::French);
  CoalitionPage english(0, Language::English);
  CoalitionPage spanish(0, Language::Spanish);
  EXPECT_EQ(Child<QPushButton>(Child<QGroupBox>(french, "ukraine"), "all").text(), "&Tous");
  EXPECT_EQ(Child<QPushButton>(Child<QGroupBox>(english, "russia"), "none").text(), "&None");
  EXPECT_EQ(Child<QPushButton>(Child<QGroupBox>(spanish, "ukraine"), "all").text(), "Todos");
  EXPECT_EQ(Child<QPushButton>(french, "map").text(), "Carte");
  EXPECT_EQ(Child<QPushButton>(spanish, "map").text(), "Map");
  EXPECT_EQ(ChoiceButton(english, AwacsChoice::RadarOnly).text(), "&Use only Radar view");
  EXPECT_EQ(ChoiceButton(spanish, AwacsChoice::RadarOnly).text(), QString::fromUtf8("&Sólo Radar"));
  EXPECT_EQ(ChoiceButton(english, AwacsChoice::Static).text(), "Utiliser Awacs statique");
  EXPECT_TRUE(Child<QLabel>(english, "notice").text().startsWith("You don't need to restart Vantorsrv"));
  EXPECT_TRUE(Child<QLabel>(spanish, "notice").text().startsWith("No necesita reiniciar"));
}

TEST_F(ConfigPagesTest, PasswordEditTakesNineBytesOfText) {
  ServerConfig config = DefaultServerConfig();
  CoalitionPage blue(0, Language::English);
  blue.Load(config);
  auto& password = Child<QLineEdit>(blue, "password");
  password.setFocus();
  for (int i = 0; i < 5; ++i) {  // the fifth would make 10 bytes
    QTest::sendKeyEvent(QTest::Click, &password, Qt::Key_Eacute, QString::fromUtf8("é"), Qt::NoModifier);
  }
  EXPECT_EQ(password.text(), QString::fromUtf8("éééé"));
  QTest::keyClicks(&password, "xy");
  EXPECT_EQ(password.text(), QString::fromUtf8("éééé") + "x");
  blue.Save(config);
  EXPECT_EQ(config.block.password[0], "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9x");
}

TEST_F(ConfigPagesTest, GeneralPageLoadsAndStoresAllThirtyOneRadarTypeFlags) {
  {
    auto store = Store();
    store->WriteInt("Config", "Ra0", 0);
    store->WriteInt("Config", "Ra11", 0);
    store->WriteInt("Config", "Ra25", 0);  // no box shows it: kept as stored
    store->WriteInt("Config", "MaxClient", 7);
    store->WriteInt("Config", "AwacsRange", 650);
  }
  ServerConfig config = LoadFromStore();
  RadarPage page(Language::English);
  page.Load(config);
  EXPECT_FALSE(Child<QCheckBox>(page, "radarType0").isChecked());
  EXPECT_TRUE(Child<QCheckBox>(page, "radarType1").isChecked());
  EXPECT_EQ(Child<QCheckBox>(page, "radarType0").text(), "AVENGER (6 Km)");
  EXPECT_EQ(Child<QCheckBox>(page, "radarType7").text(), "ROLAND ADS (6.5 Km)");
  EXPECT_EQ(Child<QCheckBox>(page, "radarType17").text(), "S-300PS 40B6MD SR (120 Km) *");
  EXPECT_EQ(Child<QCheckBox>(page, "radarType22").text(), "ZSU-23-4 SHILKA (5 Km)");
  EXPECT_EQ(page.findChild<QCheckBox*>("radarType23"), nullptr);
  EXPECT_EQ(Child<QSpinBox>(page, "maxClient").value(), 7);
  EXPECT_EQ(Child<QSpinBox>(page, "awacsRange").value(), 650);

  Child<QCheckBox>(page, "radarType0").setChecked(true);
  Child<QCheckBox>(page, "radarType22").setChecked(false);
  Child<QSpinBox>(page, "maxClient").setValue(11);   // kept to 1 ... 10
  Child<QSpinBox>(page, "awacsRange").setValue(90);  // kept to 100 ... 800
  page.Save(config);
  SaveConfig(*Store(), config);
  auto store = Store();
  EXPECT_EQ(store->ReadInt("Config", "Ra0", -1), 1);
  EXPECT_EQ(store->ReadInt("Config", "Ra11", -1), 0);
  EXPECT_EQ(store->ReadInt("Config", "Ra22", -1), 0);
  EXPECT_EQ(store->ReadInt("Config", "Ra25", -1), 0);
  EXPECT_EQ(store->ReadInt("Config", "Ra30", -1), 1);
  EXPECT_EQ(store->ReadInt("Config", "MaxClient", -1), 10);
  EXPECT_EQ(store->ReadInt("Config", "AwacsRange", -1), 100);
}

namespace {

QImage BlackBase() {
  QImage base(kMapWidth, kMapHeight, QImage::Format_RGB32);
  base.fill(Qt::black);
  return base;
}

// Pixels of `colour` within `radius` of `at`.
int CountNear(const QImage& image, QPoint at, const QColor& colour, int radius = 1) {
  int count = 0;
  for (int dy = -radius; dy <= radius; ++dy) {
    for (int dx = -radius; dx <= radius; ++dx) {
      const QPoint p = at + QPoint(dx, dy);
      if (image.rect().contains(p) && image.pixelColor(p) == colour) ++count;
    }
  }
  return count;
}

QPoint AnapaPixel() {
  const MapPoint p = MapPixelOf(*kAirfieldSites[kAnapa - 1].mapPoint);
  return {static_cast<int>(p.x), static_cast<int>(p.y)};
}

ServerConfig OnlyAnapa(int blueKm, int redKm) {
  ServerConfig config = DefaultServerConfig();
  for (auto& side : config.block.airfieldRadarOn) side.fill(0);
  config.block.airfieldRadarOn[0][kAnapa - 1] = 1;
  config.block.airfieldRadarOn[1][kAnapa - 1] = 1;
  config.block.airfieldRadarRangeKm[0][kAnapa - 1] = blueKm;
  config.block.airfieldRadarRangeKm[1][kAnapa - 1] = redKm;
  config.block.awacsMode = {0, 0};
  return config;
}

}  // namespace

TEST_F(ConfigPagesTest, MapDrawsOneYellowEllipseWhenBothSidesHaveTheSameRange) {
  ServerConfig config = OnlyAnapa(50, 50);
  MapView view(BlackBase(), config, MapSide::ViewOnly, Language::English);
  const QImage picture = view.Picture();
  const QPoint anapa = AnapaPixel();
  EXPECT_EQ(anapa, QPoint(328, 76));
  // Half-width 45, half-height 37 pixels.
  for (const QPoint edge :
       {anapa + QPoint(45, 0), anapa - QPoint(45, 0), anapa + QPoint(0, 37), anapa - QPoint(0, 37)}) {
    EXPECT_GT(CountNear(picture, edge, kBothColour), 0) << edge.x() << "," << edge.y();
  }
  EXPECT_EQ(CountNear(picture, anapa + QPoint(45, 0), kBlueColour, 3), 0);
  EXPECT_EQ(CountNear(picture, anapa + QPoint(45, 0), kRedColour, 3), 0);
  EXPECT_EQ(CountNear(picture, anapa + QPoint(30, 0), kBothColour, 3), 0);  // an outline, not a disc
}

TEST_F(ConfigPagesTest, MapDrawsABlueAndARedEllipseForDifferentRanges) {
  ServerConfig config = OnlyAnapa(50, 100);
  MapView view(BlackBase(), config, MapSide::ViewOnly, Language::English);
  const QImage picture = view.Picture();
  const QPoint anapa = AnapaPixel();
  EXPECT_GT(CountNear(picture, anapa + QPoint(45, 0), kBlueColour), 0);
  EXPECT_GT(CountNear(picture, anapa - QPoint(0, 37), kBlueColour), 0);
  EXPECT_GT(CountNear(picture, anapa + QPoint(90, 0), kRedColour), 0);
  EXPECT_GT(CountNear(picture, anapa - QPoint(0, 75), kRedColour), 0);
  EXPECT_EQ(CountNear(picture, anapa + QPoint(90, 0), kBlueColour, 3), 0);
  EXPECT_EQ(CountNear(picture, anapa + QPoint(45, 0), kBothColour, 3), 0);

  // A side without the airfield in service draws nothing for it.
  config.block.airfieldRadarOn[0][kAnapa - 1] = 0;
  const QImage redOnly = MapView(BlackBase(), config, MapSide::ViewOnly, Language::English).Picture();
  EXPECT_EQ(CountNear(redOnly, anapa + QPoint(45, 0), kBlueColour, 3), 0);
  EXPECT_GT(CountNear(redOnly, anapa + QPoint(90, 0), kRedColour), 0);
}

TEST_F(ConfigPagesTest, StaticAwacsCoverageIsAHatchedEllipseForwardForBlueBackwardForRed) {
  ServerConfig config = OnlyAnapa(50, 50);
  for (auto& side : config.block.airfieldRadarOn) side.fill(0);
  config.block.awacsMode = {10, 0};
  config.block.awacsRangeKm = 200;  // half-axes 180 x 150
  config.block.awacsLatitude[0] = 44.0;
  config.block.awacsLongitude[0] = 38.0;
  const QImage blue = MapView(BlackBase(), config, MapSide::ViewOnly, Language::English).Picture();
  const MapPoint centre = MapPixelOf({44.0, 38.0});
  const QPoint c(static_cast<int>(centre.x), static_cast<int>(centre.y));

  // Inside: lines of the side's colour with gaps between them, running
  // down to the right ("\") for Blue.
  int lit = 0, dark = 0, alongForward = 0, alongBackward = 0;
  for (int y = c.y() - 40; y < c.y() + 40; ++y) {
    for (int x = c.x() - 60; x < c.x() + 60; ++x) {
      if (blue.pixelColor(x, y) != kBlueColour) {
        ++dark;
        continue;
      }
      ++lit;
      if (blue.pixelColor(x + 1, y + 1) == kBlueColour) ++alongForward;
      if (blue.pixelColor(x + 1, y - 1) == kBlueColour) ++alongBackward;
    }
  }
  EXPECT_GT(lit, 500);
  EXPECT_GT(dark, 2 * lit);
  EXPECT_GT(alongForward, lit * 9 / 10);
  EXPECT_LT(alongBackward, lit / 5);
  // The outline at the half-axes, nothing outside.
  EXPECT_GT(CountNear(blue, c + QPoint(180, 0), kBlueColour), 0);
  EXPECT_GT(CountNear(blue, c - QPoint(0, 150), kBlueColour), 0);
  EXPECT_EQ(CountNear(blue, c + QPoint(186, 0), kBlueColour, 2), 0);

  config.block.awacsMode = {0, 10};
  config.block.awacsLatitude[1] = 44.0;
  config.block.awacsLongitude[1] = 38.0;
  const QImage red = MapView(BlackBase(), config, MapSide::ViewOnly, Language::English).Picture();
  int redLit = 0, redBackward = 0;
  for (int y = c.y() - 40; y < c.y() + 40; ++y) {
    for (int x = c.x() - 60; x < c.x() + 60; ++x) {
      if (red.pixelColor(x, y) != kRedColour) continue;
      ++redLit;
      if (red.pixelColor(x + 1, y - 1) == kRedColour) ++redBackward;
    }
  }
  EXPECT_GT(redLit, 500);
  EXPECT_GT(redBackward, redLit * 9 / 10);
  EXPECT_EQ(CountNear(red, c + QPoint(30, 0), kBlueColour, 10), 0);  // Blue's simulator AWACS: nothing drawn
}

TEST_F(ConfigPagesTest, MapLegendAtItsPlaces) {
  ServerConfig config = OnlyAnapa(50, 50);
  const QImage picture = MapView(BlackBase(), config, MapSide::ViewOnly, Language::English).Picture();
  // Text is smoothed: a pixel counts when it is the colour or a darker
  // shade of it over the legend's dark backing.
  const auto resembles = [](const QColor& pixel, const QColor& colour) {
    const double scale = std::max({pixel.redF(), pixel.greenF(), pixel.blueF()}) /
                         std::max({colour.redF(), colour.greenF(), colour.blueF()});
    if (scale < 0.45) return false;
    return std::abs(pixel.redF() - colour.redF() * scale) < 0.12 &&
           std::abs(pixel.greenF() - colour.greenF() * scale) < 0.12 &&
           std::abs(pixel.blueF() - colour.blueF() * scale) < 0.12;
  };
  const auto inBox = [&](QRect box, const QColor& colour) {
    int count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
      for (int x = box.left(); x <= box.right(); ++x) count += resembles(picture.pixelColor(x, y), colour) ? 1 : 0;
    return count;
  };
  EXPECT_GT(inBox(QRect(5, 240, 90, 18), kBlueColour), 20);    // "Blue team"
  EXPECT_GT(inBox(QRect(5, 260, 90, 18), kRedColour), 20);     // "Red team"
  EXPECT_GT(inBox(QRect(5, 280, 90, 18), kBothColour), 20);    // "Both team"
  EXPECT_GT(inBox(QRect(100, 240, 90, 18), kBlueColour), 20);  // "Blue Awacs"
  EXPECT_GT(inBox(QRect(100, 260, 90, 18), kRedColour), 20);   // "Red Awacs"
  EXPECT_GT(inBox(QRect(200, 240, 31, 21), kBlueColour), 20);  // hatched samples
  EXPECT_GT(inBox(QRect(200, 260, 31, 21), kRedColour), 20);
}

TEST_F(ConfigPagesTest, DoubleClickPlacesTheOpeningSidesAwacsOnly) {
  ServerConfig config = DefaultServerConfig();
  MapView blue(BlackBase(), config, MapSide::Blue, Language::English);
  int placed = 0;
  QObject::connect(&blue, &MapView::AwacsPlaced, &blue, [&placed] { ++placed; });
  QTest::mouseDClick(&blue, Qt::LeftButton, Qt::NoModifier, QPoint(377, 151));
  EXPECT_EQ(placed, 1);
  EXPECT_NEAR(config.block.awacsLatitude[0], 43.99774, 1e-9);
  EXPECT_NEAR(config.block.awacsLongitude[0], 37.99902, 1e-9);
  EXPECT_EQ(config.block.awacsLatitude[1], 0.0);
  EXPECT_EQ(FormatCoordinate(config.block.awacsLatitude[0]), "43.997740");

  MapView red(BlackBase(), config, MapSide::Red, Language::English);
  QTest::mouseDClick(&red, Qt::LeftButton, Qt::NoModifier, QPoint(1, 300));
  EXPECT_NEAR(config.block.awacsLatitude[1], 42.022, 1e-12);
  EXPECT_NEAR(config.block.awacsLongitude[1], 33.01326, 1e-12);

  const ServerConfig before = config;
  MapView viewOnly(BlackBase(), config, MapSide::ViewOnly, Language::English);
  QTest::mouseDClick(&viewOnly, Qt::LeftButton, Qt::NoModifier, QPoint(500, 100));
  EXPECT_EQ(config, before);
}

TEST_F(ConfigPagesTest, TheTheatreIsDrawnFromTheProjectsCoastlineAndTerrain) {
  const std::vector<std::filesystem::path> folders = {test::BinDir().toStdString()};
  const TheatreMapBase base = LoadTheatreMap(folders);
  ASSERT_TRUE(base.coastlineFound);
  ASSERT_TRUE(base.terrainFound);
  ASSERT_EQ(base.picture.size(), QSize(kMapWidth, kMapHeight));
  const auto at = [&base](double lat, double lon) {
    const MapPoint p = MapPixelOf({lat, lon});
    return base.picture.pixelColor(static_cast<int>(p.x), static_cast<int>(p.y));
  };
  const QColor sea = at(43.3, 35.3);  // the open Black Sea
  EXPECT_EQ(at(43.6, 36.5), sea);
  EXPECT_NE(at(45.3, 40.5), sea);  // the Kuban plain
  EXPECT_NE(at(43.0, 42.5), sea);  // the Caucasus
  EXPECT_NE(at(45.3, 34.0), sea);  // Crimea
  // The Caucasus is drawn lighter (higher) than the plain.
  EXPECT_GT(at(43.0, 42.5).lightness(), at(45.3, 40.5).lightness());

  // The lines come from "borderline.dat": drawn without terrain, the
  // picture differs from one without a coastline along thousands of pixels.
  const geo::CoastlineTable coastline = geo::LoadCoastline(geo::LocateDataFile(geo::kCoastlineFileName, folders));
  const QImage lines = RenderTheatreMap(coastline, nullptr);
  const QImage plain = RenderTheatreMap(geo::CoastlineTable(), nullptr);
  int differing = 0;
  for (int y = 0; y < kMapHeight; ++y)
    for (int x = 0; x < kMapWidth; ++x) differing += lines.pixel(x, y) != plain.pixel(x, y) ? 1 : 0;
  EXPECT_GT(differing, 3000);

  // Without the files: sea all over, no line, and the page says so.
  const std::vector<std::filesystem::path> nowhere = {(QDir::tempPath() + "/vantor-no-such-folder").toStdString()};
  const TheatreMapBase empty = LoadTheatreMap(nowhere);
  EXPECT_FALSE(empty.coastlineFound);
  EXPECT_FALSE(empty.terrainFound);
  EXPECT_EQ(empty.picture.pixelColor(400, 150), empty.picture.pixelColor(100, 50));
}
