#include "vantor/geo/ElevationGrid.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <fstream>

#include "vantor/geo/Geodesy.h"

namespace vantor::geo {
namespace {

// The box inside which the line of sight is tested; the target's western
// limit differs from the radar's.
constexpr double kBoxSouth = 42.1;
constexpr double kBoxNorth = 45.9;
constexpr double kRadarBoxWest = 33.1;
constexpr double kTargetBoxWest = 33.112;
constexpr double kBoxEast = 43.9;

// Walk stretches this short are read sample by sample.
constexpr int kLeafSteps = 16;

// The samples of a file image of at least kFileBytes bytes.
ElevationSamples DecodeSamples(const std::uint8_t* bytes) {
  ElevationSamples samples(ElevationGrid::kSampleCount);
  for (std::size_t i = 0; i < ElevationGrid::kSampleCount; ++i) {
    const auto raw = static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    samples[i] = static_cast<std::int16_t>(raw);
  }
  return samples;
}

bool Inside(double latitude, double longitude, double west) {
  return latitude >= kBoxSouth && latitude <= kBoxNorth && longitude >= west && longitude <= kBoxEast;
}

struct Cell {
  int row;
  int column;
};

// One of the two walks from the radar toward the target. Sample(k) is the
// k-th visited cell and Threshold(k) the sight line's height there; both
// are monotone in k, so a stretch of the walk lies inside the box spanned by
// its two ends and its lowest threshold is at one of them.
struct ColumnWalk {
  double x1, dx, slope, intercept, step, sign;
  Cell Sample(int k) const {
    const double x = x1 + sign * k;
    return {TruncToInt(slope * x + intercept), TruncToInt(x)};
  }
  double Threshold(int k) const { return std::fabs(dx - sign * k) * step; }
};

struct RowWalk {
  double x1, y1, dx, dy, slope, intercept, step, sign;
  Cell Sample(int k) const {
    const double y = y1 + sign * k;
    return {TruncToInt(y), dx == 0.0 ? TruncToInt(x1) : TruncToInt((y - intercept) / slope)};
  }
  double Threshold(int k) const { return std::fabs(dy - sign * k) * step; }
};

// Number of integer steps k >= 0 with k < |d|.
int StepsBelow(double d) { return TruncToInt(std::ceil(std::fabs(d))); }

// Counts obstructing samples of steps a..b (inclusive), from the target end
// backwards, and stops once `count` reaches `limit`. Only the order of the
// reads differs from a plain walk: a stretch whose block maximum cannot
// exceed both the target height and the sight line holds no obstruction.
template <typename Walk>
void CountStretch(const ElevationGrid& grid, const Walk& walk, int a, int b, double targetHeight, int limit,
                  int& count) {
  if (b - a < kLeafSteps) {
    for (int k = b; k >= a; --k) {
      const Cell cell = walk.Sample(k);
      if (!ElevationGrid::Contains(cell.row, cell.column)) continue;
      const double h = grid.At(cell.row, cell.column);
      if (h > targetHeight && h > walk.Threshold(k) && ++count >= limit) return;
    }
    return;
  }
  const Cell first = walk.Sample(a);
  const Cell last = walk.Sample(b);
  const double highest = grid.MaxAtLeastOver(std::min(first.row, last.row), std::min(first.column, last.column),
                                             std::max(first.row, last.row), std::max(first.column, last.column));
  if (highest <= targetHeight || highest <= std::min(walk.Threshold(a), walk.Threshold(b))) return;
  const int middle = a + (b - a) / 2;
  CountStretch(grid, walk, middle + 1, b, targetHeight, limit, count);
  if (count < limit) CountStretch(grid, walk, a, middle, targetHeight, limit, count);
}

}  // namespace

ElevationGrid::ElevationGrid() : ElevationGrid(std::vector<std::int16_t>(kSampleCount, 0)) {}

ElevationGrid::ElevationGrid(ElevationSamples samples) : samples_(std::move(samples)) {
  samples_.resize(kSampleCount, 0);
  BuildPyramid();
}

void ElevationGrid::BuildPyramid() {
  levels_.clear();
  const std::int16_t* below = samples_.data();
  int rows = kRows;
  int columns = kColumns;
  while (rows > 1 || columns > 1) {
    Level level;
    level.rows = (rows + 1) / 2;
    level.columns = (columns + 1) / 2;
    level.maxima.assign(static_cast<std::size_t>(level.rows) * level.columns, INT16_MIN);
    for (int r = 0; r < rows; ++r) {
      const std::int16_t* source = below + static_cast<std::size_t>(r) * columns;
      std::int16_t* target = level.maxima.data() + static_cast<std::size_t>(r / 2) * level.columns;
      for (int c = 0; c < columns; ++c) target[c / 2] = std::max(target[c / 2], source[c]);
    }
    levels_.push_back(std::move(level));
    below = levels_.back().maxima.data();
    rows = levels_.back().rows;
    columns = levels_.back().columns;
  }
}

std::int16_t ElevationGrid::MaxAtLeastOver(int r0, int c0, int r1, int c1) const {
  r0 = std::max(r0, 0);
  c0 = std::max(c0, 0);
  r1 = std::min(r1, kRows - 1);
  c1 = std::min(c1, kColumns - 1);
  if (r0 > r1 || c0 > c1) return INT16_MIN;
  // Spans below 2^shift cover at most two cells per axis at that level.
  const int shift = std::min(static_cast<int>(std::bit_width(static_cast<unsigned>(std::max(r1 - r0, c1 - c0)))),
                             static_cast<int>(levels_.size()));
  const std::int16_t* cells = shift == 0 ? samples_.data() : levels_[static_cast<std::size_t>(shift) - 1].maxima.data();
  const int columns = shift == 0 ? kColumns : levels_[static_cast<std::size_t>(shift) - 1].columns;
  std::int16_t highest = INT16_MIN;
  for (int r = r0 >> shift; r <= r1 >> shift; ++r) {
    for (int c = c0 >> shift; c <= c1 >> shift; ++c) {
      highest = std::max(highest, cells[static_cast<std::size_t>(r) * columns + static_cast<std::size_t>(c)]);
    }
  }
  return highest;
}

ElevationGrid::LoadResult ElevationGrid::Load(const std::filesystem::path& file) {
  LoadResult result;
  std::ifstream in(file, std::ios::binary);
  if (!in) return result;
  std::vector<std::uint8_t> bytes(kFileBytes);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (static_cast<std::size_t>(in.gcount()) != kFileBytes) {
    result.status = ElevationLoadStatus::Short;
    return result;
  }
  result.grid = ElevationGrid(DecodeSamples(bytes.data()));
  result.status = ElevationLoadStatus::Loaded;
  return result;
}

std::vector<std::uint8_t> ElevationGrid::ToBytes() const {
  std::vector<std::uint8_t> bytes(kFileBytes);
  for (std::size_t i = 0; i < kSampleCount; ++i) {
    const auto value = static_cast<std::uint16_t>(samples_[i]);
    bytes[2 * i] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(value >> 8);
  }
  return bytes;
}

std::optional<ElevationGrid> ElevationGrid::FromBytes(std::span<const std::uint8_t> bytes, std::string* error) {
  if (bytes.size() != kFileBytes) {
    if (error)
      *error =
          "an elevation grid has " + std::to_string(kFileBytes) + " bytes, this one " + std::to_string(bytes.size());
    return std::nullopt;
  }
  return ElevationGrid(DecodeSamples(bytes.data()));
}

std::int16_t ElevationGrid::HeightAt(GeoPoint position) const {
  const auto cell = CellOf(position);
  return cell ? At(cell->row, cell->column) : std::int16_t{0};
}

std::optional<GridCell> CellOf(GeoPoint position) {
  const double x = GridColumnOf(position.longitude);
  const double y = GridRowOf(position.latitude);
  if (!(x >= 0.0 && x < ElevationGrid::kColumns && y >= 0.0 && y < ElevationGrid::kRows)) return std::nullopt;
  return GridCell{static_cast<int>(y), static_cast<int>(x)};
}

GeoPoint CellCentre(int row, int column) {
  return {ElevationGrid::kSouthLatitude + (ElevationGrid::kRows - row - 0.5) / ElevationGrid::kSamplesPerDegree,
          ElevationGrid::kWestLongitude + (column + 0.5) / ElevationGrid::kSamplesPerDegree};
}

int CountTerrainObstructions(const ElevationGrid& grid, double radarLatitude, double radarLongitude,
                             double targetLatitude, double targetLongitude, double targetAltitude,
                             bool fromAltitudeMode, double heightParameter, int limit) {
  if (!Inside(radarLatitude, radarLongitude, kRadarBoxWest) || !Inside(targetLatitude, targetLongitude, kTargetBoxWest))
    return -1;

  const double x1 = GridColumnOf(radarLongitude);
  const double y1 = GridRowOf(radarLatitude);
  const double x2 = GridColumnOf(targetLongitude);
  const double y2 = GridRowOf(targetLatitude);
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  const double slope = dy / dx;
  const double intercept = y1 - slope * x1;

  double targetHeight = std::max(targetAltitude, static_cast<double>(grid.At(TruncToInt(y2), TruncToInt(x2))));
  if (!fromAltitudeMode) targetHeight += heightParameter;
  const double stepX = fromAltitudeMode ? heightParameter / std::fabs(dx) : 0.0;
  const double stepY = fromAltitudeMode ? heightParameter / std::fabs(dy) : 0.0;

  int count = 0;
  if (dx != 0.0) {
    const ColumnWalk walk{x1, dx, slope, intercept, stepX, dx < 0.0 ? -1.0 : 1.0};
    CountStretch(grid, walk, 0, StepsBelow(dx) - 1, targetHeight, limit, count);
  }
  if (dy != 0.0 && count < limit) {
    const RowWalk walk{x1, y1, dx, dy, slope, intercept, stepY, dy < 0.0 ? -1.0 : 1.0};
    CountStretch(grid, walk, 0, StepsBelow(dy) - 1, targetHeight, limit, count);
  }
  return count;
}

bool TerrainLineOfSight(const ElevationGrid& grid, double radarLatitude, double radarLongitude, double targetLatitude,
                        double targetLongitude, double targetAltitude, bool fromAltitudeMode, double heightParameter) {
  return CountTerrainObstructions(grid, radarLatitude, radarLongitude, targetLatitude, targetLongitude, targetAltitude,
                                  fromAltitudeMode, heightParameter, kMaskingObstructions) < kMaskingObstructions;
}

}  // namespace vantor::geo
