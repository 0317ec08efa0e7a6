// The map's text files: the same bytes as the coastline (exactly 14746
// entries, longitude first) and as the airfield outlines (latitude first).
#include <cmath>
#include <cstdint>

#include "FuzzSupport.h"
#include "vantor/geo/MapFiles.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto file = fuzz::WriteScratchFile("map.dat", text);

  const geo::CoastlineTable coastline = geo::LoadCoastline(file);
  FUZZ_CHECK(coastline.Loaded());
  std::size_t lines = 0;
  for (const char c : text) lines += c == '\n' ? 1 : 0;
  for (std::size_t i = 0; i < coastline.Size(); ++i) {
    const geo::GeoPoint& point = coastline[i];
    FUZZ_CHECK(std::isfinite(point.latitude) && std::isfinite(point.longitude));
    // Entries past the file's lines are separators.
    if (i > lines) FUZZ_CHECK(point.latitude == 0.0 && point.longitude == 0.0);
  }

  const geo::AirfieldOutlineList outlines = geo::LoadAirfieldOutlines(file);
  FUZZ_CHECK(outlines.size() <= lines + 1);
  for (const geo::GeoPoint& point : outlines) {
    FUZZ_CHECK(std::isfinite(point.latitude) && std::isfinite(point.longitude));
  }
  // The same line reads as the same pair either way round.
  if (const auto pair = geo::ParseNumberPair(text.substr(0, text.find('\n')))) {
    FUZZ_CHECK(std::isfinite(pair->first) && std::isfinite(pair->second));
  }
  return 0;
}
