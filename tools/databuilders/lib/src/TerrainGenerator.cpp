#include "vantor/tools/TerrainGenerator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "vantor/geo/Sphere.h"

namespace vantor::tools {
namespace {

using geo::CellCentre;
using geo::ElevationGrid;
using geo::GeoPoint;
using geo::Radians;

// --- Ranges and summits -------------------------------------------------------

using Crest = std::span<const CrestPoint>;

constexpr CrestPoint kGreaterCaucasus[] = {
    {{44.88, 37.30}, 250, 12},  {{44.75, 37.75}, 600, 15},  {{44.55, 38.15}, 750, 18},  {{44.35, 38.65}, 900, 22},
    {{44.15, 39.15}, 1300, 25}, {{43.97, 39.75}, 2300, 28}, {{43.80, 40.25}, 2800, 30}, {{43.60, 40.75}, 3000, 32},
    {{43.45, 41.25}, 3400, 34}, {{43.28, 41.70}, 3500, 36}, {{43.18, 42.25}, 3700, 38}, {{43.10, 42.65}, 4000, 38},
    {{43.02, 43.05}, 4300, 38}, {{42.90, 43.50}, 3800, 36}, {{42.80, 44.00}, 3700, 34}, {{42.70, 44.50}, 4000, 32},
};
// The Rocky Range, north of the main ridge and parallel to it.
constexpr CrestPoint kRockyRange[] = {
    {{43.72, 41.20}, 2300, 14}, {{43.60, 41.80}, 2900, 14}, {{43.50, 42.40}, 3300, 14},
    {{43.35, 43.10}, 3400, 14}, {{43.15, 43.80}, 3000, 14},
};
constexpr CrestPoint kGagraBzyb[] = {
    {{43.36, 40.15}, 1700, 9}, {{43.30, 40.45}, 2400, 10}, {{43.22, 40.90}, 2500, 11}, {{43.15, 41.30}, 2200, 11}};
constexpr CrestPoint kKodori[] = {{{43.10, 41.20}, 1500, 9}, {{43.05, 41.35}, 2400, 11}, {{42.95, 41.85}, 2900, 12}};
constexpr CrestPoint kSvaneti[] = {{{42.92, 42.20}, 3100, 11}, {{42.88, 42.65}, 3600, 12}, {{42.86, 43.10}, 3300, 12}};
constexpr CrestPoint kEgrisi[] = {
    {{42.60, 41.75}, 900, 8}, {{42.62, 41.95}, 2300, 10}, {{42.66, 42.35}, 2800, 11}, {{42.72, 42.55}, 1500, 9}};
constexpr CrestPoint kRacha[] = {
    {{42.70, 42.78}, 1200, 9}, {{42.66, 42.95}, 2400, 11}, {{42.60, 43.60}, 2500, 12}, {{42.58, 43.85}, 1400, 10}};
constexpr CrestPoint kLikhi[] = {
    {{42.48, 43.30}, 800, 8}, {{42.35, 43.35}, 1400, 9}, {{42.05, 43.45}, 1700, 10}, {{41.80, 43.40}, 1900, 11}};
// The Lesser Caucasus lies south of the grid; its northern slopes reach in.
constexpr CrestPoint kMeskheti[] = {{{41.85, 41.80}, 2000, 18}, {{41.75, 42.60}, 2700, 20}, {{41.80, 43.30}, 2400, 18}};
constexpr CrestPoint kStavropolUpland[] = {
    {{45.40, 41.60}, 380, 55}, {{45.05, 41.95}, 620, 55}, {{44.70, 42.30}, 520, 45}};
// Crimea: the Main Range along the south coast, the Inner Range and the Kerch hills.
constexpr CrestPoint kCrimeanMain[] = {
    {{44.50, 33.60}, 500, 6},  {{44.43, 33.85}, 900, 7},  {{44.46, 34.05}, 1100, 7}, {{44.58, 34.20}, 1300, 8},
    {{44.70, 34.30}, 1250, 8}, {{44.76, 34.42}, 1100, 8}, {{44.86, 34.60}, 1000, 8}, {{44.88, 34.85}, 650, 7},
    {{44.93, 35.10}, 420, 6},  {{44.98, 35.30}, 220, 5},
};
constexpr CrestPoint kCrimeanInner[] = {
    {{44.70, 33.75}, 330, 6}, {{44.85, 34.10}, 480, 6}, {{44.98, 34.50}, 430, 6}, {{45.05, 34.95}, 280, 5}};
constexpr CrestPoint kKerchHills[] = {{{45.30, 35.80}, 80, 10}, {{45.36, 36.20}, 150, 10}, {{45.32, 36.50}, 110, 8}};
constexpr CrestPoint kTamanHills[] = {{{45.22, 36.75}, 70, 8}, {{45.18, 37.10}, 90, 8}};

const std::array<Crest, 14> kRanges = {
    Crest(kGreaterCaucasus), Crest(kRockyRange),   Crest(kGagraBzyb),  Crest(kKodori),     Crest(kSvaneti),
    Crest(kEgrisi),          Crest(kRacha),        Crest(kLikhi),      Crest(kMeskheti),   Crest(kStavropolUpland),
    Crest(kCrimeanMain),     Crest(kCrimeanInner), Crest(kKerchHills), Crest(kTamanHills),
};

constexpr Summit kSummits[] = {
    {"Elbrus", {43.355, 42.439}, 5642, 9.0},       {"Dykh-Tau", {43.053, 43.132}, 5205, 3.5},
    {"Shkhara", {42.999, 43.113}, 5193, 3.5},      {"Koshtan-Tau", {43.061, 43.227}, 5152, 3.5},
    {"Tetnuldi", {43.038, 42.980}, 4858, 3.5},     {"Ushba", {43.125, 42.666}, 4710, 3.5},
    {"Dombai-Ulgen", {43.243, 41.695}, 4046, 3.5}, {"Pshish", {43.440, 41.230}, 3790, 3.5},
    {"Chugush", {43.793, 40.232}, 3238, 3.5},      {"Fisht", {43.962, 39.925}, 2868, 3.0},
    {"Arabika", {43.380, 40.340}, 2661, 3.0},      {"Kazbek", {42.697, 44.518}, 5054, 6.0},
    {"Roman-Kosh", {44.610, 34.240}, 1545, 3.0},   {"Eklizi-Burun", {44.730, 34.300}, 1527, 3.0},
    {"Demerdzhi", {44.750, 34.410}, 1356, 2.5},    {"Ai-Petri", {44.450, 34.060}, 1234, 2.5},
};

// --- Local plane -------------------------------------------------------------
// Kilometres east and north of the grid's south-west corner; over four
// degrees of latitude a single scale is close enough for shaping terrain.

// One degree on the mean sphere, rounded as the terrain has always been
// generated with it (the exact value would move a few thousand samples by a
// metre).
constexpr double kKmPerDegree = 111.195;
static_assert(kKmPerDegree - Radians(geo::kMeanEarthRadiusKm) < 0.001 &&
              Radians(geo::kMeanEarthRadiusKm) - kKmPerDegree < 0.001);
const double kKmPerDegreeLon = kKmPerDegree * std::cos(Radians(44.0));

struct Km {
  double x;
  double y;
};

Km ToKm(GeoPoint p) {
  return {(p.longitude - ElevationGrid::kWestLongitude) * kKmPerDegreeLon,
          (p.latitude - ElevationGrid::kSouthLatitude) * kKmPerDegree};
}

// --- Noise --------------------------------------------------------------------

std::uint64_t Mix(std::uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

class ValueNoise {
 public:
  explicit ValueNoise(std::uint64_t seed) : seed_(seed) {}

  // Smooth noise in [0, 1) with features about one unit apart.
  double At(double x, double y, int layer) const {
    const double fx = std::floor(x), fy = std::floor(y);
    const auto ix = static_cast<std::int64_t>(fx), iy = static_cast<std::int64_t>(fy);
    const double tx = Smooth(x - fx), ty = Smooth(y - fy);
    const double a = Lattice(ix, iy, layer), b = Lattice(ix + 1, iy, layer);
    const double c = Lattice(ix, iy + 1, layer), d = Lattice(ix + 1, iy + 1, layer);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
  }

  // Fractal sum, in about [-1, 1].
  double Fractal(double x, double y, int octaves, int layer) const {
    double sum = 0, amplitude = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
      sum += amplitude * (2.0 * At(x, y, layer * 16 + o) - 1.0);
      norm += amplitude;
      amplitude *= 0.5;
      NextOctave(x, y);
    }
    return sum / norm;
  }

  // Sharp crests and V-shaped valleys, in [0, 1].
  double Ridged(double x, double y, int octaves, int layer) const {
    double sum = 0, amplitude = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
      const double n = 1.0 - std::abs(2.0 * At(x, y, layer * 16 + o) - 1.0);
      sum += amplitude * n * n;
      norm += amplitude;
      amplitude *= 0.5;
      NextOctave(x, y);
    }
    return sum / norm;
  }

 private:
  // Doubles the frequency and turns the lattice, so that no octave's grid
  // lines up with another's and the relief shows no north-south grain.
  static void NextOctave(double& x, double& y) {
    constexpr double kCos = 0.7986355100472928 * 2.03, kSin = 0.6018150231520483 * 2.03;  // 37 degrees
    const double nx = kCos * x - kSin * y + 17.31;
    y = kSin * x + kCos * y + 5.77;
    x = nx;
  }

  static double Smooth(double t) { return t * t * (3.0 - 2.0 * t); }
  double Lattice(std::int64_t x, std::int64_t y, int layer) const {
    const std::uint64_t h = Mix(seed_ ^ Mix(static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ULL ^
                                            Mix(static_cast<std::uint64_t>(y) + 0x632BE59BD9B4E019ULL) ^
                                            static_cast<std::uint64_t>(layer) * 0xD1B54A32D192ED03ULL));
    return static_cast<double>(h >> 11) * (1.0 / 9007199254740992.0);
  }
  std::uint64_t seed_;
};

// --- Range shape -----------------------------------------------------------------

struct RangeSample {
  double distanceKm;
  double crestM;
  double halfWidthKm;
};

// Nearest point of a crest line, with the crest height and width there.
RangeSample NearestOnCrest(Km p, const std::vector<Km>& line, Crest crest) {
  RangeSample best{std::numeric_limits<double>::infinity(), 0, 1};
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    const Km a = line[i], b = line[i + 1];
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0.0;
    const double d = std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
    if (d < best.distanceKm) {
      best.distanceKm = d;
      best.crestM = crest[i].crestM + (crest[i + 1].crestM - crest[i].crestM) * t;
      best.halfWidthKm = crest[i].halfWidthKm + (crest[i + 1].halfWidthKm - crest[i].halfWidthKm) * t;
    }
  }
  return best;
}

// Height fraction of a range at x half-widths from its crest: a core that
// falls off like a mountain flank, and a long low tail of foothills that
// fades out by 8 half-widths.
double RangeProfile(double x) {
  const double core = std::exp(-x * x);
  const double tail = x < 8.0 ? 0.15 * std::exp(-x / 3.0) * (1.0 - x / 8.0) : 0.0;
  return 0.85 * core + tail;
}

// Distance of every land sample to the nearest sea sample, in km (chamfer).
std::vector<float> CoastDistanceKm(const LandMask& land) {
  const int rows = ElevationGrid::kRows, columns = ElevationGrid::kColumns;
  const double dy = kKmPerDegree / ElevationGrid::kSamplesPerDegree;
  std::vector<float> distance(static_cast<std::size_t>(rows) * columns);
  std::vector<double> dxOfRow(rows);
  for (int r = 0; r < rows; ++r) dxOfRow[r] = dy * std::cos(Radians(CellCentre(r, 0).latitude));
  const float far = 1e9f;
  auto at = [&](int r, int c) -> float& { return distance[static_cast<std::size_t>(r) * columns + c]; };
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) at(r, c) = land.IsLand(r, c) ? far : 0.0f;
  auto relax = [&](int r, int c, int nr, int nc) {
    if (nr < 0 || nr >= rows || nc < 0 || nc >= columns) return;
    const double dx = dxOfRow[r] * std::abs(nc - c), ddy = dy * std::abs(nr - r);
    const float candidate = at(nr, nc) + static_cast<float>(std::hypot(dx, ddy));
    if (candidate < at(r, c)) at(r, c) = candidate;
  };
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) {
      relax(r, c, r, c - 1);
      relax(r, c, r - 1, c - 1);
      relax(r, c, r - 1, c);
      relax(r, c, r - 1, c + 1);
    }
  for (int r = rows - 1; r >= 0; --r)
    for (int c = columns - 1; c >= 0; --c) {
      relax(r, c, r, c + 1);
      relax(r, c, r + 1, c + 1);
      relax(r, c, r + 1, c);
      relax(r, c, r + 1, c - 1);
    }
  // Land that touches no sea inside the grid (none in this theatre) would
  // stay "far"; treat it as inland.
  for (float& d : distance)
    if (d >= far) d = 500.0f;
  return distance;
}

struct PreparedRange {
  Crest crest;
  std::vector<Km> line;
  double minX, maxX, minY, maxY;  // box beyond which the range adds nothing
};

}  // namespace

std::span<const Summit> TheatreSummits() { return kSummits; }

std::optional<ElevationGrid> GenerateTerrain(const LandMask& land, const TerrainOptions& options, std::string* error) {
  if (land.Width() != ElevationGrid::kColumns || land.Height() != ElevationGrid::kRows) {
    if (error)
      *error = "the land mask is " + std::to_string(land.Width()) + " x " + std::to_string(land.Height()) +
               ", the grid " + std::to_string(ElevationGrid::kColumns) + " x " + std::to_string(ElevationGrid::kRows);
    return std::nullopt;
  }
  const ValueNoise noise(options.seed);
  const std::vector<float> coastKm = CoastDistanceKm(land);

  std::vector<PreparedRange> ranges;
  for (Crest crest : kRanges) {
    PreparedRange range{crest, {}, 1e9, -1e9, 1e9, -1e9};
    double widest = 0;
    for (const CrestPoint& point : crest) {
      const Km k = ToKm(point.position);
      range.line.push_back(k);
      range.minX = std::min(range.minX, k.x);
      range.maxX = std::max(range.maxX, k.x);
      range.minY = std::min(range.minY, k.y);
      range.maxY = std::max(range.maxY, k.y);
      widest = std::max(widest, point.halfWidthKm);
    }
    const double reach = 8.0 * widest;
    range.minX -= reach;
    range.maxX += reach;
    range.minY -= reach;
    range.maxY += reach;
    ranges.push_back(std::move(range));
  }

  geo::ElevationSamples heights(ElevationGrid::kSampleCount, 0);
  for (int row = 0; row < ElevationGrid::kRows; ++row) {
    for (int column = 0; column < ElevationGrid::kColumns; ++column) {
      if (!land.IsLand(row, column)) continue;  // sea stays at 0
      const GeoPoint centre = CellCentre(row, column);
      const Km p = ToKm(centre);
      const double coast = coastKm[ElevationGrid::SampleIndex(row, column)];

      // Plains: rising gently from the shore, with broad swells.
      double height = 3.0 + 70.0 * (1.0 - std::exp(-coast / 30.0)) +
                      35.0 * (0.5 + 0.5 * noise.Fractal(p.x / 60.0, p.y / 60.0, 3, 1)) * std::min(1.0, coast / 10.0);

      // Mountains: the highest range wins; ridged noise cuts valleys and spurs.
      double mountains = 0.0;
      for (const PreparedRange& range : ranges) {
        if (p.x < range.minX || p.x > range.maxX || p.y < range.minY || p.y > range.maxY) continue;
        const RangeSample sample = NearestOnCrest(p, range.line, range.crest);
        const double x = sample.distanceKm / sample.halfWidthKm;
        if (x >= 8.0) continue;
        mountains = std::max(mountains, sample.crestM * RangeProfile(x));
      }
      if (mountains > 0.0) {
        const double relief = 0.55 + 0.45 * noise.Ridged(p.x / 18.0, p.y / 18.0, 5, 2);
        height = std::max(height, height * 0.3 + mountains * relief);
      }
      for (const Summit& summit : kSummits) {
        const Km s = ToKm(summit.position);
        const double d = std::hypot(p.x - s.x, p.y - s.y);
        if (d < 4.0 * summit.radiusKm) height = std::max(height, summit.heightM * std::exp(-d / summit.radiusKm));
      }
      // Fine detail grows with height: rough peaks, smooth plains.
      height *= 1.0 + 0.06 * noise.Fractal(p.x / 3.0, p.y / 3.0, 4, 3);
      height += 6.0 * noise.Fractal(p.x / 1.5, p.y / 1.5, 2, 4);
      // Nothing around a summit rises above it.
      for (const Summit& summit : kSummits) {
        const Km s = ToKm(summit.position);
        if (std::hypot(p.x - s.x, p.y - s.y) < 2.0 * summit.radiusKm) height = std::min(height, summit.heightM - 1.0);
      }
      // Coasts are low: the last km or two fall to the shore.
      height *= std::min(1.0, 0.2 + coast / 3.0);
      heights[ElevationGrid::SampleIndex(row, column)] =
          static_cast<std::int16_t>(std::clamp(std::lround(height), 1L, 8000L));
    }
  }
  // Each summit's own sample carries its surveyed height.
  for (const Summit& summit : kSummits)
    if (const auto cell = geo::CellOf(summit.position); cell && land.IsLand(cell->row, cell->column))
      heights[ElevationGrid::SampleIndex(cell->row, cell->column)] = static_cast<std::int16_t>(summit.heightM);
  return ElevationGrid(std::move(heights));
}

}  // namespace vantor::tools
