// The theatre's data files as the build places them beside the programs:
// exact sizes and formats, read back by the client's own loaders, the
// builders reproduce what is committed, and the terrain masks what it should.
#include "TestSupport.h"

#include "vantor/geo/Airfields.h"
#include "vantor/geo/ElevationGrid.h"
#include "vantor/geo/MapFiles.h"
#include "vantor/geo/Sphere.h"
#include "vantor/model/Airfields.h"
#include "vantor/tools/AirportOutlines.h"
#include "vantor/tools/FileBytes.h"
#include "vantor/tools/LandMask.h"
#include "vantor/tools/TerrainGenerator.h"
#include "vantor/tools/WaveSynth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace vantor::tools {
namespace {

using geo::DistanceKm;
using geo::ElevationGrid;
using geo::GeoPoint;
using geo::Runway;
using geo::Runways;

std::string BinFile(const char* name) { return (test::BinDir() + '/' + name).toStdString(); }
// The committed files, beside the build's copies.
std::string SourceDataFile(const char* name) { return std::string(VANTOR_TOOLS_SOURCE_DATA) + "/" + name; }

std::vector<std::uint8_t> Bytes(const std::string& path) {
  std::string error;
  auto bytes = ReadFileBytes(path, &error);
  EXPECT_TRUE(bytes) << error;
  return bytes ? *bytes : std::vector<std::uint8_t>{};
}

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool ReadPair(const std::string& line, double& first, double& second) {
  const auto tab = line.find('\t');
  if (tab == std::string::npos) return false;
  std::istringstream a(line.substr(0, tab)), b(line.substr(tab + 1));
  a.imbue(std::locale::classic());
  b.imbue(std::locale::classic());
  return static_cast<bool>(a >> first) && static_cast<bool>(b >> second) && a.eof() && b.eof();
}

TEST(DataFiles, BorderlineHoldsExactlyItsLinesOfShoreAndBorders) {
  const auto lines = Lines(BinFile("borderline.dat"));
  ASSERT_EQ(lines.size(), 14746u);
  EXPECT_EQ(Bytes(BinFile("borderline.dat")), Bytes(SourceDataFile("borderline.dat")));
  int points = 0, polylines = 0;
  bool inPolyline = false;
  for (const std::string& line : lines) {
    if (line.starts_with('#')) {
      inPolyline = false;
      continue;
    }
    double lon = 0, lat = 0;
    ASSERT_TRUE(ReadPair(line, lon, lat)) << line;
    EXPECT_TRUE(lon >= 33.0 && lon <= 44.0 && lat >= 42.0 && lat <= 46.0) << line;
    ++points;
    if (!inPolyline) ++polylines;
    inPolyline = true;
  }
  EXPECT_GT(points, 13000);  // the line budget goes to detail
  EXPECT_GT(polylines, 20);
  // The client's loader sees the same points.
  const auto table = geo::LoadCoastline(BinFile("borderline.dat"));
  ASSERT_TRUE(table.Loaded());
  int loadedPoints = 0;
  for (const auto& entry : table.Entries()) loadedPoints += !entry.IsSeparator();
  EXPECT_EQ(loadedPoints, points);
}

TEST(DataFiles, AirportOutlinesAreClosedRunwaysTaxiwaysAndLinks) {
  const std::string expected = AirportFileText(Runways());
  const auto committed = Bytes(SourceDataFile("airport.dat"));
  EXPECT_EQ(std::string(committed.begin(), committed.end()), expected) << "run vantor-airportgen";
  EXPECT_EQ(Bytes(BinFile("airport.dat")), committed);

  const auto outline = geo::LoadAirfieldOutlines(BinFile("airport.dat"));
  std::vector<std::vector<geo::GeoPoint>> polylines(1);
  for (const auto& point : outline) {
    if (point.IsSeparator())
      polylines.emplace_back();
    else
      polylines.back().push_back(point);
  }
  polylines.pop_back();  // after the last separator
  ASSERT_EQ(polylines.size(), Runways().size() * 5);
  for (const auto& polyline : polylines) {
    ASSERT_EQ(polyline.size(), 5u);
    EXPECT_EQ(polyline.front().latitude, polyline.back().latitude);
    EXPECT_EQ(polyline.front().longitude, polyline.back().longitude);
  }
  // Each runway's outline lies around its two ends at 45 to 60 m width.
  for (std::size_t i = 0; i < Runways().size(); ++i) {
    const Runway& runway = Runways()[i];
    const auto& strip = polylines[i * 5];
    const GeoPoint a1 = strip[0], a2 = strip[3];
    const GeoPoint b1 = strip[1];
    const double widthM = DistanceKm(a1, a2) * 1000;
    EXPECT_TRUE(widthM >= 44.9 && widthM <= 60.1) << runway.name << " " << widthM;
    EXPECT_LT(DistanceKm(geo::Lerp(a1, a2, 0.5), runway.end1) * 1000, 1.0) << runway.name;
    EXPECT_NEAR(DistanceKm(a1, b1), runway.LengthKm(), 0.005) << runway.name;
  }
}

// The mission generator's aircraft use these runways and the outline file
// draws them; the client draws its own airfield records over both.
TEST(DataFiles, RunwaysAreTheClientsAirfieldRecords) {
  const std::vector<model::CAirfield> client = model::BuildAirfieldTable();
  ASSERT_EQ(client.size(), Runways().size() + 1);  // the carrier's position is live
  for (std::size_t i = 0; i < Runways().size(); ++i) {
    const Runway& runway = Runways()[i];
    const model::CAirfield& record = client[i];
    EXPECT_EQ(record.name.toStdString(), runway.name) << i;
    EXPECT_EQ(record.code.toStdString(), runway.code) << runway.name;
    EXPECT_EQ(record.menuId, runway.menuId) << runway.name;
    EXPECT_EQ(record.runwayHeading, runway.headingDeg) << runway.name;
    EXPECT_EQ(record.elevationM, runway.elevationM) << runway.name;
    EXPECT_EQ((GeoPoint{record.end1Latitude, record.end1Longitude}), runway.end1) << runway.name;
    EXPECT_EQ((GeoPoint{record.end2Latitude, record.end2Longitude}), runway.end2) << runway.name;
    EXPECT_EQ((GeoPoint{record.refLatitude, record.refLongitude}), runway.reference) << runway.name;
  }
}

TEST(DataFiles, SoundsAreShortPcmWavesAsTheBuilderMakesThem) {
  for (const char* name : {"switch.wav", "interfer.wav", "fall.wav"}) {
    const auto bytes = Bytes(BinFile(name));
    EXPECT_EQ(bytes, Bytes(SourceDataFile(name))) << name;
    EXPECT_EQ(bytes, SoundFile(name)) << name << ": run vantor-soundgen";
    ASSERT_GT(bytes.size(), WaveHeaderLayout::kSize);
    auto u16 = [&](std::size_t at) { return bytes[at] | (bytes[at + 1] << 8); };
    auto u32 = [&](std::size_t at) { return static_cast<std::uint32_t>(u16(at) | (u16(at + 2) << 16)); };
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(u32(WaveHeaderLayout::kRiffSize), bytes.size() - 8);
    EXPECT_EQ(u16(WaveHeaderLayout::kFormatTag), 1);
    EXPECT_EQ(u16(WaveHeaderLayout::kChannels), 1);
    EXPECT_EQ(u32(WaveHeaderLayout::kSampleRate), 22050u);
    EXPECT_EQ(u16(WaveHeaderLayout::kBitsPerSample), 16);
    const std::uint32_t dataBytes = u32(WaveHeaderLayout::kDataSize);
    EXPECT_EQ(dataBytes + WaveHeaderLayout::kSize, bytes.size());
    const double seconds = dataBytes / 2.0 / 22050.0;
    EXPECT_LT(seconds, std::string(name) == "switch.wav" ? 0.2 : 1.5) << name;
    int peak = 0;
    for (std::size_t at = WaveHeaderLayout::kSize; at + 1 < bytes.size(); at += 2)
      peak = std::max(peak, std::abs(static_cast<std::int16_t>(u16(at))));
    EXPECT_GT(peak, 10000) << name;  // audible, and not clipped
    EXPECT_LT(peak, 20000) << name;
  }
}

class Terrain : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    grid_ = new std::optional<ElevationGrid>(LoadElevationFile(BinFile("elevation.dat"), &error));
    ASSERT_TRUE(*grid_) << error;
  }
  static void TearDownTestSuite() {
    delete grid_;
    grid_ = nullptr;
  }
  static const ElevationGrid& Grid() { return **grid_; }
  static std::int16_t At(double lat, double lon) { return Grid().HeightAt({lat, lon}); }
  static std::optional<ElevationGrid>* grid_;
};
std::optional<ElevationGrid>* Terrain::grid_ = nullptr;

TEST_F(Terrain, ElevationFileHasTheGridsExactSizeAndLoadsInTheClient) {
  std::ifstream in(BinFile("elevation.dat"), std::ios::binary | std::ios::ate);
  EXPECT_EQ(static_cast<std::size_t>(in.tellg()), 7972888u);
  EXPECT_TRUE(geo::LoadElevation(BinFile("elevation.dat")).Ok());
}

TEST_F(Terrain, SeaIsAtZeroAndLandAboveIt) {
  std::string error;
  const auto land = LandMask::Load(SourceDataFile("landmask.rle"), &error);
  ASSERT_TRUE(land) << error;
  std::size_t wrong = 0;
  for (int row = 0; row < ElevationGrid::kRows; ++row)
    for (int column = 0; column < ElevationGrid::kColumns; ++column)
      wrong += land->IsLand(row, column) ? Grid().At(row, column) < 1 : Grid().At(row, column) != 0;
  EXPECT_EQ(wrong, 0u);
  EXPECT_EQ(At(43.0, 36.0), 0);  // the Black Sea
  EXPECT_EQ(At(45.8, 36.8), 0);  // the Sea of Azov
  const int krasnodar = At(45.035, 38.976);
  EXPECT_TRUE(krasnodar >= 1 && krasnodar < 200) << krasnodar;  // the Kuban plain
}

TEST_F(Terrain, SummitsCarryTheirRealHeights) {
  for (const Summit& summit : TheatreSummits()) {
    const auto cell = geo::CellOf(summit.position);
    if (!cell) continue;  // Kazbek lies east of the grid
    EXPECT_EQ(Grid().At(cell->row, cell->column), static_cast<int>(summit.heightM)) << summit.name;
  }
  EXPECT_EQ(At(43.355, 42.439), 5642);  // Elbrus
  EXPECT_EQ(At(44.61, 34.24), 1545);    // Roman-Kosh
  // Elbrus is the highest point of the theatre.
  std::int16_t highest = 0;
  for (std::int16_t h : Grid().Samples()) highest = std::max(highest, h);
  EXPECT_EQ(highest, 5642);
  // The main ridge stands high between Sochi and the Kuban plain.
  std::int16_t ridge = 0;
  for (double lat = 43.6; lat < 44.1; lat += 0.003) ridge = std::max(ridge, At(lat, 40.1));
  EXPECT_GT(ridge, 2000);
}

// A radar at sea level on the Sochi shore looks north over the main ridge.
TEST_F(Terrain, TheCaucasusHidesALowTargetFromACoastalRadarButNotAHighOne) {
  const ElevationGrid& clientGrid = Grid();
  const GeoPoint radar{43.585, 39.715};
  const GeoPoint behindRidge{44.45, 40.40};  // north of the ridge, near Maykop
  constexpr double kAntennaM = 6.0;
  auto visible = [&](GeoPoint target, double altitude) {
    return geo::TerrainLineOfSight(clientGrid, radar.latitude, radar.longitude, target.latitude, target.longitude,
                                   altitude, false, kAntennaM);
  };
  EXPECT_FALSE(visible(behindRidge, 500.0));
  EXPECT_TRUE(visible(behindRidge, 8000.0));
  EXPECT_TRUE(visible({43.30, 39.30}, 500.0));  // out over the sea
}

TEST(LandMaskFile, RoundTripsAndRefusesDamagedFiles) {
  LandMask mask(5, 2);
  mask.SetLand(0, 1, true);
  mask.SetLand(0, 2, true);
  mask.SetLand(1, 4, true);
  const auto bytes = mask.Encode();
  std::string error;
  const auto decoded = LandMask::Decode(bytes, &error);
  ASSERT_TRUE(decoded) << error;
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 5; ++c) EXPECT_EQ(decoded->IsLand(r, c), mask.IsLand(r, c));

  auto cut = bytes;
  cut.pop_back();
  EXPECT_FALSE(LandMask::Decode(cut, &error));
  auto magic = bytes;
  magic[0] = 'X';
  EXPECT_FALSE(LandMask::Decode(magic, &error));
  auto longRow = bytes;
  longRow[10] = 9;  // first run of row 0 now longer than the width
  EXPECT_FALSE(LandMask::Decode(longRow, &error));
  EXPECT_FALSE(error.empty());
  auto trailing = bytes;
  trailing.push_back(0);
  EXPECT_FALSE(LandMask::Decode(trailing, &error));
  EXPECT_FALSE(GenerateTerrain(mask, {}, &error));  // not the grid's size
}
}  // namespace
}  // namespace vantor::tools
