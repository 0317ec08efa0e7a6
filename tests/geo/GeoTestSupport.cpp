#include "GeoTestSupport.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace vantor::geo::test {

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  // Test programs run in parallel: a random tag keeps their folders apart.
  const auto tag = std::random_device{}();
  path_ =
      std::filesystem::temp_directory_path() / ("vantor-geo-" + std::to_string(tag) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

void ScratchFolder::Write(const std::string& name, const std::string& contents) const {
  std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
  out << contents;
  if (!out) throw std::runtime_error("cannot write " + name);
}

std::string ScratchFolder::Read(const std::string& name) const {
  std::ifstream in(path_ / name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int ReferenceObstructionCount(const ElevationGrid& grid, double radarLatitude, double radarLongitude,
                              double targetLatitude, double targetLongitude, double targetAltitude,
                              bool fromAltitudeMode, double heightParameter) {
  const bool radarInside =
      radarLatitude >= 42.1 && radarLatitude <= 45.9 && radarLongitude >= 33.1 && radarLongitude <= 43.9;
  const bool targetInside =
      targetLatitude >= 42.1 && targetLatitude <= 45.9 && targetLongitude >= 33.112 && targetLongitude <= 43.9;
  if (!radarInside || !targetInside) return -1;

  const double s = 301.65912518853696;
  const double x1 = (radarLongitude - 33) * s;
  const double y1 = 1204 - (radarLatitude - 42) * s;
  const double x2 = (targetLongitude - 33) * s;
  const double y2 = 1204 - (targetLatitude - 42) * s;
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  const double slope = dy / dx;
  const double intercept = y1 - slope * x1;

  auto sample = [&](double row, double column, bool& inside) -> double {
    const long long r = static_cast<long long>(std::max(-1e9, std::min(1e9, row)));
    const long long c = static_cast<long long>(std::max(-1e9, std::min(1e9, column)));
    inside = r >= 0 && r < 1204 && c >= 0 && c < 3311;
    return inside ? grid.Samples()[static_cast<std::size_t>(r * 3311 + c)] : 0.0;
  };

  bool inside = true;
  double target = std::max(targetAltitude, sample(y2, x2, inside));
  if (!fromAltitudeMode) target += heightParameter;
  const double stepX = fromAltitudeMode ? heightParameter / std::fabs(dx) : 0.0;
  const double stepY = fromAltitudeMode ? heightParameter / std::fabs(dy) : 0.0;

  int count = 0;
  if (dx != 0) {
    const double direction = dx < 0 ? -1 : 1;
    for (double i = 0; std::fabs(i) < std::fabs(dx); i += direction) {
      const double h = sample(slope * (x1 + i) + intercept, x1 + i, inside);
      if (inside && h > target && h > std::fabs(dx - i) * stepX) ++count;
    }
  }
  if (dy != 0) {
    const double direction = dy < 0 ? -1 : 1;
    for (double j = 0; std::fabs(j) < std::fabs(dy); j += direction) {
      const double column = dx == 0 ? x1 : (y1 + j - intercept) / slope;
      const double h = sample(y1 + j, column, inside);
      if (inside && h > target && h > std::fabs(dy - j) * stepY) ++count;
    }
  }
  return count;
}

ElevationGrid HillyTerrain(unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> phase(0.0, 6.283);
  const double p1 = phase(random), p2 = phase(random), p3 = phase(random);
  std::vector<std::int16_t> samples(ElevationGrid::kSampleCount);
  for (int r = 0; r < ElevationGrid::kRows; ++r) {
    for (int c = 0; c < ElevationGrid::kColumns; ++c) {
      double h =
          400.0 * std::sin(r * 0.013 + p1) * std::cos(c * 0.009 + p2) + 250.0 * std::sin((r + c) * 0.041 + p3) + 150.0;
      if (r > 600) h += (r - 600) * 3.0;  // mountains in the south
      samples[static_cast<std::size_t>(r) * ElevationGrid::kColumns + static_cast<std::size_t>(c)] =
          static_cast<std::int16_t>(std::max(-30.0, h));
    }
  }
  // Narrow ridges, a few samples high, where the walks may or may not land.
  std::uniform_int_distribution<int> row(0, ElevationGrid::kRows - 1), column(0, ElevationGrid::kColumns - 1);
  for (int n = 0; n < 4000; ++n) {
    samples[static_cast<std::size_t>(row(random)) * ElevationGrid::kColumns +
            static_cast<std::size_t>(column(random))] = 3500;
  }
  return ElevationGrid(std::move(samples));
}

}  // namespace vantor::geo::test
