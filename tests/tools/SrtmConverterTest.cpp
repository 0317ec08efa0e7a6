// Real elevation data: SRTM .hgt tiles into the theatre's grid.
#include "TestSupport.h"

#include "vantor/tools/FileBytes.h"
#include "vantor/tools/SrtmConverter.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vantor::tools {
namespace {

using geo::ElevationGrid;

// A 3 arc-second tile whose height rises by 1 m per sample row southward
// and 2 m per column eastward, with a void block.
std::vector<std::uint8_t> SyntheticTile(int voidRow = -1, int voidColumn = -1, int voidSize = 0) {
  constexpr int kSize = 1201;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(kSize) * kSize * 2);
  for (int r = 0; r < kSize; ++r)
    for (int c = 0; c < kSize; ++c) {
      std::int16_t h = static_cast<std::int16_t>(100 + r + 2 * c);
      if (r >= voidRow && r < voidRow + voidSize && c >= voidColumn && c < voidColumn + voidSize) h = kSrtmVoid;
      const auto u = static_cast<std::uint16_t>(h);
      const std::size_t at = (static_cast<std::size_t>(r) * kSize + c) * 2;
      bytes[at] = static_cast<std::uint8_t>(u >> 8);  // big-endian
      bytes[at + 1] = static_cast<std::uint8_t>(u & 0xFF);
    }
  return bytes;
}

TEST(SrtmTile, ReadsTheCornerFromTheNameAndRefusesOtherSizes) {
  EXPECT_EQ(SrtmTile::CornerFromName("/data/N43E042.hgt"), std::make_pair(43, 42));
  EXPECT_EQ(SrtmTile::CornerFromName("s01w002.HGT"), std::make_pair(-1, -2));
  EXPECT_FALSE(SrtmTile::CornerFromName("tile.hgt"));
  EXPECT_FALSE(SrtmTile::CornerFromName("X43E042.hgt"));
  EXPECT_FALSE(SrtmTile::CornerFromName("N4aE042.hgt"));
  std::string error;
  EXPECT_FALSE(SrtmTile::FromBytes(std::vector<std::uint8_t>(1000), 43, 40, &error));
  EXPECT_FALSE(error.empty());
}

TEST(SrtmTile, InterpolatesBetweenSamplesAndSkipsVoids) {
  std::string error;
  const auto tile = SrtmTile::FromBytes(SyntheticTile(600, 600, 4), 43, 40, &error);
  ASSERT_TRUE(tile) << error;
  EXPECT_EQ(tile->Size(), 1201);
  // The north-west corner is sample (0, 0); 1/1200 degree per sample.
  EXPECT_DOUBLE_EQ(*tile->HeightAt({44.0, 40.0}), 100.0);
  EXPECT_DOUBLE_EQ(*tile->HeightAt({43.0, 41.0}), 100.0 + 1200 + 2400);
  EXPECT_NEAR(*tile->HeightAt({44.0 - 10.5 / 1200, 40.0 + 20.25 / 1200}), 100 + 10.5 + 40.5, 1e-6);
  // Inside the void block nothing is known; at its edge the valid samples count.
  EXPECT_FALSE(tile->HeightAt({44.0 - 601.5 / 1200, 40.0 + 601.5 / 1200}));
  // Three valid corners of four: (1897 + 1899 + 1898) / 3.
  EXPECT_NEAR(*tile->HeightAt({44.0 - 599.5 / 1200, 40.0 + 599.5 / 1200}), 1898.0, 1e-6);
}

TEST(SrtmConversion, FillsTheCoveredGridAndKeepsTheRest) {
  std::string error;
  std::vector<SrtmTile> tiles;
  tiles.push_back(*SrtmTile::FromBytes(SyntheticTile(), 43, 40, &error));
  geo::ElevationSamples samples(ElevationGrid::kSampleCount, 0);
  samples[ElevationGrid::SampleIndex(0, 0)] = 77;  // outside the tile: kept
  const auto report = ConvertSrtm(tiles, nullptr, samples);
  const ElevationGrid grid(samples);
  EXPECT_EQ(grid.At(0, 0), 77);
  // Every grid sample between 43 and 44 N, 40 and 41 E comes from the tile.
  const auto cell = geo::CellOf({43.5, 40.5});
  ASSERT_TRUE(cell);
  const geo::GeoPoint centre = geo::CellCentre(cell->row, cell->column);
  const double expected = 100 + (44.0 - centre.latitude) * 1200 + 2 * (centre.longitude - 40.0) * 1200;
  EXPECT_NEAR(grid.At(cell->row, cell->column), expected, 0.51);
  EXPECT_GT(report.filledSamples, 300u * 300u);
  EXPECT_EQ(report.filledSamples + report.uncoveredSamples, ElevationGrid::kSampleCount);

  // With a land mask, the sea is 0 whatever the tile says.
  LandMask land(ElevationGrid::kColumns, ElevationGrid::kRows);
  land.SetLand(cell->row, cell->column, true);
  geo::ElevationSamples maskedSamples;
  ConvertSrtm(tiles, &land, maskedSamples);
  const ElevationGrid masked(maskedSamples);
  EXPECT_NEAR(masked.At(cell->row, cell->column), expected, 0.51);
  EXPECT_EQ(masked.At(cell->row, cell->column + 1), 0);
}

TEST(SrtmConversion, TheProgramBuildsAFullGridFileFromATileFile) {
  QTemporaryDir dir;
  const std::string tilePath = dir.filePath("N44E038.hgt").toStdString();
  std::string error;
  ASSERT_TRUE(WriteFileBytes(tilePath, SyntheticTile(), &error)) << error;
  const QString output = dir.filePath("elevation.dat");
  QProcess process;
  process.start(test::ProgramPath("vantor-srtm2elevation"), {"--output", output, QString::fromStdString(tilePath)});
  ASSERT_TRUE(process.waitForFinished(30000));
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  const auto grid = LoadElevationFile(output.toStdString(), &error);
  ASSERT_TRUE(grid) << error;
  // Within a grid sample (about 4 tile samples) of the tile's height there.
  EXPECT_NEAR(grid->HeightAt({44.5, 38.5}), 100 + 600 + 1200, 8.0);
  EXPECT_EQ(grid->HeightAt({43.5, 38.5}), 0);

  process.start(test::ProgramPath("vantor-srtm2elevation"), {"--output", output, dir.filePath("bad-name.hgt")});
  ASSERT_TRUE(process.waitForFinished(10000));
  EXPECT_NE(process.exitCode(), 0);
}

TEST(DataBuilders, EveryProgramAnswersHelpAndVersion) {
  for (const char* program : {"vantor-elevationgen", "vantor-srtm2elevation", "vantor-airportgen", "vantor-soundgen"}) {
    for (const char* option : {"--help", "--version"}) {
      QProcess process;
      process.start(test::ProgramPath(program), {option});
      ASSERT_TRUE(process.waitForFinished(10000)) << program;
      EXPECT_EQ(process.exitCode(), 0) << program << ' ' << option;
      EXPECT_TRUE(process.readAllStandardOutput().contains(program)) << program << ' ' << option;
    }
    QProcess bad;
    bad.start(test::ProgramPath(program), {"--no-such-option"});
    ASSERT_TRUE(bad.waitForFinished(10000));
    EXPECT_EQ(bad.exitCode(), 2) << program;
  }
}

}  // namespace
}  // namespace vantor::tools
