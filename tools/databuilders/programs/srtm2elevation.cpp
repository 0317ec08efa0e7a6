// vantor-srtm2elevation: "elevation.dat" from real SRTM tiles.
#include "vantor/tools/FileBytes.h"
#include "vantor/tools/SrtmConverter.h"
#include "vantor/tools/ToolArguments.h"

#include <iostream>

using namespace vantor::tools;

int main(int argc, char** argv) {
  ToolArguments arguments(
      "vantor-srtm2elevation",
      "Builds the theatre's terrain grid from SRTM .hgt tiles (1201 or 3601 samples square, big-endian int16,\n"
      "void -32768, named after their south-west corner like N43E042.hgt). The theatre spans tiles N42-N45,\n"
      "E033-E043. Samples no tile covers come from --base (for example the generated grid), else 0.",
      {{"output", "file", "Where to write elevation.dat."},
       {"base", "file", "An elevation.dat whose samples fill what the tiles do not cover."},
       {"landmask", "file", "A land mask (data/landmask.rle): its sea samples are set to 0."}},
      "TILE.hgt...");
  if (const auto exit = arguments.Parse(argc, argv)) return *exit;
  if (!arguments.Has("output")) return arguments.Fail("needs --output");
  if (arguments.Positional().empty()) return arguments.Fail("needs at least one .hgt tile");
  std::string error;
  std::vector<SrtmTile> tiles;
  for (const std::string& path : arguments.Positional()) {
    auto tile = SrtmTile::Load(path, &error);
    if (!tile) return arguments.Fail(error);
    tiles.push_back(std::move(*tile));
  }
  vantor::geo::ElevationSamples samples;
  if (arguments.Has("base")) {
    const auto base = LoadElevationFile(arguments.Value("base"), &error);
    if (!base) return arguments.Fail(error);
    samples = base->Samples();
  }
  std::optional<LandMask> land;
  if (arguments.Has("landmask")) {
    land = LandMask::Load(arguments.Value("landmask"), &error);
    if (!land) return arguments.Fail(error);
  }
  const SrtmConversionReport report = ConvertSrtm(tiles, land ? &*land : nullptr, samples);
  if (!SaveElevationFile(vantor::geo::ElevationGrid(std::move(samples)), arguments.Value("output"), &error))
    return arguments.Fail(error);
  std::cout << "vantor-srtm2elevation: " << report.filledSamples << " samples from the tiles, "
            << report.uncoveredSamples << " not covered\n";
  return 0;
}
