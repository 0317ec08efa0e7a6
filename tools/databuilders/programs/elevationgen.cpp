// vantor-elevationgen: the generated terrain grid "elevation.dat".
#include "vantor/tools/FileBytes.h"
#include "vantor/tools/TerrainGenerator.h"
#include "vantor/tools/ToolArguments.h"

#include <charconv>
#include <iostream>

using namespace vantor::tools;

int main(int argc, char** argv) {
  ToolArguments arguments(
      "vantor-elevationgen",
      "Generates the theatre's terrain grid (" + std::to_string(vantor::geo::ElevationGrid::kRows) + " x " +
          std::to_string(vantor::geo::ElevationGrid::kColumns) +
          " little-endian int16 metres) from the\n"
          "land mask: real crest lines and summit heights of the Caucasus and the Crimean Mountains,\n"
          "foothills, valleys, coastal plains, fractal detail. Deterministic.",
      {{"landmask", "file", "The land mask (data/landmask.rle)."},
       {"output", "file", "Where to write elevation.dat."},
       {"seed", "n", "Seed of the fractal detail (default 20240601)."}});
  if (const auto exit = arguments.Parse(argc, argv)) return *exit;
  if (!arguments.Has("landmask") || !arguments.Has("output")) return arguments.Fail("needs --landmask and --output");
  TerrainOptions options;
  if (arguments.Has("seed")) {
    const std::string text = arguments.Value("seed");
    const auto result = std::from_chars(text.data(), text.data() + text.size(), options.seed);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
      return arguments.Fail("--seed must be a whole number");
  }
  std::string error;
  const auto land = LandMask::Load(arguments.Value("landmask"), &error);
  if (!land) return arguments.Fail(error);
  const auto grid = GenerateTerrain(*land, options, &error);
  if (!grid || !SaveElevationFile(*grid, arguments.Value("output"), &error)) return arguments.Fail(error);
  return 0;
}
