#include <gtest/gtest.h>

#include <string>

#include "GeoTestSupport.h"
#include "vantor/geo/ElevationGrid.h"
#include "vantor/geo/MapFiles.h"
#include "vantor/texts/Texts.h"

using namespace vantor::geo;
using namespace vantor::geo::test;

namespace {

std::string LittleEndianGrid(std::size_t bytes) {
  std::string data(bytes, '\0');
  auto put = [&](std::size_t index, std::uint16_t value) {
    if (2 * index + 1 >= data.size()) return;
    data[2 * index] = static_cast<char>(value & 0xff);
    data[2 * index + 1] = static_cast<char>(value >> 8);
  };
  put(0, 0x0102);                                                         // row 0, column 0: 258
  put(3310, 0xfffe);                                                      // row 0, last column: -2
  put(static_cast<std::size_t>(600) * 3311 + 1000, 5642);                 // a peak
  put(ElevationGrid::kSampleCount - 1, static_cast<std::uint16_t>(-28));  // last sample
  return data;
}

}  // namespace

TEST(ElevationFile, FullFileLoadsLittleEndianRows) {
  ScratchFolder folder;
  folder.Write("elevation.dat", LittleEndianGrid(ElevationGrid::kFileBytes) + "extra bytes are ignored");
  const auto result = LoadElevation(folder.File("elevation.dat"));
  ASSERT_TRUE(result.Ok());
  EXPECT_EQ(result.grid.At(0, 0), 258);
  EXPECT_EQ(result.grid.At(0, 3310), -2);
  EXPECT_EQ(result.grid.At(600, 1000), 5642);
  EXPECT_EQ(result.grid.At(1203, 3310), -28);
  EXPECT_EQ(result.grid.At(1, 0), 0);
}

TEST(ElevationFile, MissingOrShortFileFailsWithTheInstallMessage) {
  ScratchFolder folder;
  EXPECT_EQ(ElevationGrid::Load(folder.File("elevation.dat")).status, ElevationLoadStatus::Missing);
  folder.Write("elevation.dat", LittleEndianGrid(ElevationGrid::kFileBytes - 1));
  EXPECT_EQ(ElevationGrid::Load(folder.File("elevation.dat")).status, ElevationLoadStatus::Short);
  folder.Write("elevation.dat", "");
  const auto empty = ElevationGrid::Load(folder.File("elevation.dat"));
  EXPECT_EQ(empty.status, ElevationLoadStatus::Short);
  EXPECT_EQ(empty.grid.At(600, 1000), 0);  // a failed load leaves flat terrain
  for (vantor::Language language : vantor::kLanguages) {
    EXPECT_STREQ(vantor::Text(vantor::TextId::GeoElevationMissing, language),
                 "Install corrupt. File elevation.dat not found!");
  }
}

// The builders write ToBytes() and read their inputs with FromBytes(); the
// client reads with Load(): one layout for both.
TEST(ElevationFile, TheBuildersImageIsWhatTheClientReads) {
  TerrainBuilder terrain;
  terrain.Set(0, 1, -12).Set(600, 1000, 5642).Set(ElevationGrid::kRows - 1, ElevationGrid::kColumns - 1, 77);
  const ElevationGrid grid = terrain.Build();
  const std::vector<std::uint8_t> image = grid.ToBytes();
  ASSERT_EQ(image.size(), ElevationGrid::kFileBytes);
  ScratchFolder folder;
  folder.Write("elevation.dat", std::string(image.begin(), image.end()));
  const auto loaded = LoadElevation(folder.File("elevation.dat"));
  ASSERT_TRUE(loaded.Ok());
  EXPECT_EQ(loaded.grid.Samples(), grid.Samples());
  EXPECT_EQ(loaded.grid.MaxAtLeastOver(0, 0, ElevationGrid::kRows - 1, ElevationGrid::kColumns - 1), 5642);

  const std::string clientFile = LittleEndianGrid(ElevationGrid::kFileBytes);
  std::string error;
  const auto read = ElevationGrid::FromBytes(std::vector<std::uint8_t>(clientFile.begin(), clientFile.end()), &error);
  ASSERT_TRUE(read) << error;
  EXPECT_EQ(read->At(0, 0), 258);
  EXPECT_EQ(read->At(0, 3310), -2);
  EXPECT_EQ(read->At(1203, 3310), -28);
  EXPECT_EQ(read->ToBytes(), std::vector<std::uint8_t>(clientFile.begin(), clientFile.end()));
}

TEST(ElevationFile, RefusesAFileOfAnotherSize) {
  std::string error;
  EXPECT_FALSE(ElevationGrid::FromBytes(std::vector<std::uint8_t>(ElevationGrid::kFileBytes - 1), &error));
  EXPECT_NE(error.find("7972888"), std::string::npos);
  // Unlike the client, the builders do not take a longer file for a grid.
  error.clear();
  EXPECT_FALSE(ElevationGrid::FromBytes(std::vector<std::uint8_t>(ElevationGrid::kFileBytes + 2), &error));
  EXPECT_FALSE(error.empty());
  TerrainBuilder terrain;
  terrain.Set(0, 0, -12).Set(ElevationGrid::kRows - 1, ElevationGrid::kColumns - 1, 5642);
  const ElevationGrid grid = terrain.Build();
  const auto back = ElevationGrid::FromBytes(grid.ToBytes(), &error);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->At(0, 0), -12);
  EXPECT_EQ(back->At(ElevationGrid::kRows - 1, ElevationGrid::kColumns - 1), 5642);
  EXPECT_EQ(grid.ToBytes()[0], 0xF4);  // little-endian
  EXPECT_EQ(grid.ToBytes()[1], 0xFF);
}

TEST(ElevationGrid, CellsCoverExactlyTheGridsFrame) {
  for (const GridCell cell : {GridCell{0, 0}, GridCell{600, 1000}, GridCell{1203, 3310}}) {
    const auto back = CellOf(CellCentre(cell.row, cell.column));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->row, cell.row);
    EXPECT_EQ(back->column, cell.column);
  }
  // The southern and western edges belong to the grid, the northern and
  // eastern ones to the next sample beyond it.
  const double north = ElevationGrid::kSouthLatitude + ElevationGrid::kRows / ElevationGrid::kSamplesPerDegree;
  const double east = ElevationGrid::kWestLongitude + ElevationGrid::kColumns / ElevationGrid::kSamplesPerDegree;
  EXPECT_EQ(CellOf({42.0 + 1e-9, 38.0})->row, 1203);
  EXPECT_FALSE(CellOf({42.0, 38.0}));
  EXPECT_FALSE(CellOf({41.99, 38.0}));
  EXPECT_EQ(CellOf({44.0, 33.0})->column, 0);
  EXPECT_FALSE(CellOf({44.0, 32.999999}));
  EXPECT_EQ(CellOf({north - 1e-9, 38.0})->row, 0);
  EXPECT_FALSE(CellOf({north + 1e-9, 38.0}));
  EXPECT_EQ(CellOf({44.0, east - 1e-9})->column, 3310);
  EXPECT_FALSE(CellOf({44.0, east + 1e-9}));

  TerrainBuilder terrain;
  terrain.Set(1203, 0, 321);
  const ElevationGrid grid = terrain.Build();
  EXPECT_EQ(grid.HeightAt({42.0 + 1e-9, 33.0}), 321);
  EXPECT_EQ(grid.HeightAt({42.0, 33.0}), 0);  // outside: sea level
}

TEST(ParseNumberPair, ReadsLikeTabSeparatedScanf) {
  EXPECT_EQ(ParseNumberPair("45.1\t38.9"), (std::pair{45.1, 38.9}));
  EXPECT_EQ(ParseNumberPair("  -1.5   +2e1 trailing"), (std::pair{-1.5, 20.0}));
  EXPECT_EQ(ParseNumberPair("45.1\t38.9\r"), (std::pair{45.1, 38.9}));
  EXPECT_EQ(ParseNumberPair("7 8"), (std::pair{7.0, 8.0}));
  EXPECT_FALSE(ParseNumberPair(""));
  EXPECT_FALSE(ParseNumberPair("45.1"));
  EXPECT_FALSE(ParseNumberPair("45,1\t38,9"));
  EXPECT_FALSE(ParseNumberPair("abc\t1"));
  EXPECT_FALSE(ParseNumberPair("nan\t1"));
  EXPECT_FALSE(ParseNumberPair("1\tinf"));
  EXPECT_FALSE(ParseNumberPair("1\t1e999"));
  EXPECT_FALSE(ParseNumberPair("+-1\t2"));
}

TEST(CoastlineFile, ShortFileLeavesSeparatorsAndReadsLongitudeFirst) {
  ScratchFolder folder;
  folder.Write("borderline.dat", "37.5\t44.5\n37.6\t44.6\n#\n38.0\t45.0\r\nnot a number\n38.1\n38.2\t45.2\n");
  const CoastlineTable table = LoadCoastline(folder.File("borderline.dat"));
  EXPECT_TRUE(table.Loaded());
  ASSERT_EQ(table.Size(), 14746u);
  EXPECT_EQ(table[0], (GeoPoint{44.5, 37.5}));  // the first line starts a polyline
  EXPECT_EQ(table[1], (GeoPoint{44.6, 37.6}));
  EXPECT_TRUE(table[2].IsSeparator());
  EXPECT_EQ(table[3], (GeoPoint{45.0, 38.0}));
  EXPECT_TRUE(table[4].IsSeparator());
  EXPECT_TRUE(table[5].IsSeparator());
  EXPECT_EQ(table[6], (GeoPoint{45.2, 38.2}));
  for (std::size_t i = 7; i < table.Size(); ++i) ASSERT_TRUE(table[i].IsSeparator()) << i;
}

TEST(CoastlineFile, ReadsExactly14746LinesAndToleratesAMissingFile) {
  ScratchFolder folder;
  std::string text;
  for (int i = 0; i < 14746 + 10; ++i) text += std::to_string(33 + i % 10) + "\t" + std::to_string(i) + "\n";
  folder.Write("borderline.dat", text);
  const CoastlineTable table = CoastlineTable::Load(folder.File("borderline.dat"));
  EXPECT_EQ(table[14745].latitude, 14745.0);
  EXPECT_EQ(table[14745].longitude, 33 + 14745 % 10);

  const CoastlineTable missing = CoastlineTable::Load(folder.File("nothing.dat"));
  EXPECT_FALSE(missing.Loaded());
  EXPECT_TRUE(missing[0].IsSeparator());
}

TEST(AirfieldOutlineFile, HashLinesAreSkippedAndZerosSeparate) {
  ScratchFolder folder;
  folder.Write("airport.dat", "# Anapa\n45.0\t37.3\n# still the same polyline\n45.1\t37.4\n0\t0\nbroken\n44.5\t38.0\n");
  const auto points = LoadAirfieldOutlines(folder.File("airport.dat"));
  ASSERT_EQ(points.size(), 5u);
  EXPECT_EQ(points[0], (GeoPoint{45.0, 37.3}));  // latitude first
  EXPECT_EQ(points[1], (GeoPoint{45.1, 37.4}));
  EXPECT_TRUE(points[2].IsSeparator());
  EXPECT_TRUE(points[3].IsSeparator());  // an unreadable line ends the polyline
  EXPECT_EQ(points[4], (GeoPoint{44.5, 38.0}));
  EXPECT_TRUE(LoadAirfieldOutlines(folder.File("missing.dat")).empty());
}

TEST(LocateDataFile, FirstFolderHoldingTheFileWins) {
  ScratchFolder first, second;
  second.Write("airport.dat", "1\t2\n");
  const std::filesystem::path folders[] = {first.Path(), second.Path()};
  EXPECT_EQ(LocateDataFile("airport.dat", folders), second.File("airport.dat"));
  EXPECT_EQ(LocateDataFile("elevation.dat", folders), first.File("elevation.dat"));
  first.Write("airport.dat", "3\t4\n");
  EXPECT_EQ(LocateDataFile("airport.dat", folders), first.File("airport.dat"));
}
