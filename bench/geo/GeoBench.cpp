// The scope repaints every 500 ms and evaluates every contact; these measure
// the worst and the typical visibility pass and the coastline projection, on
// the installed data files when they are there (build*/bin), otherwise on
// synthetic files of the same size.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "vantor/geo/ElevationGrid.h"
#include "vantor/geo/MapFiles.h"
#include "vantor/model/Airfields.h"
#include "vantor/scope/CoastlineScreenCache.h"
#include "vantor/scope/ScopeGeometry.h"
#include "vantor/scope/SensorVisibility.h"

using namespace vantor;
using geo::GeoPoint;
using scope::SensorPicture;
using scope::VisibilityTarget;

namespace {

std::filesystem::path DataFolder() {
  if (const char* bin = std::getenv("VANTOR_BIN_DIR")) return bin;
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path("bin") : self.parent_path().parent_path() / "bin";
}

// Sea in the west and north-west, the Caucasus ridge from north-west to
// south-east rising to 5000 m, hills elsewhere, and a high valley ringed by
// 5000 m peaks (43.1 N 42.4 E) where a contact hides from every direction.
constexpr GeoPoint kValley{43.1, 42.4};

geo::ElevationGrid SyntheticTerrain() {
  std::vector<std::int16_t> samples(geo::ElevationGrid::kSampleCount);
  std::mt19937 random(5);
  std::uniform_real_distribution<double> jitter(-1.0, 1.0);
  for (int r = 0; r < geo::ElevationGrid::kRows; ++r) {
    for (int c = 0; c < geo::ElevationGrid::kColumns; ++c) {
      const double lat = 46.0 - r / geo::ElevationGrid::kSamplesPerDegree;
      const double lon = 33.0 + c / geo::ElevationGrid::kSamplesPerDegree;
      double h = 0.0;
      if (lat > 44.3 || lon > 39.5) {  // land
        const double ridge = std::fabs((lat - 43.3) + 0.45 * (lon - 41.0));
        h = 150.0 + 4800.0 * std::exp(-ridge * ridge * 18.0) * std::clamp(lon - 37.3, 0.0, 1.0);
        h += 120.0 * std::sin(r * 0.05) * std::cos(c * 0.043) + 40.0 * jitter(random);
      }
      const double ring = std::hypot(lat - kValley.latitude, (lon - kValley.longitude) * 0.73);
      if (ring < 0.16) h = 1500.0;
      if (ring >= 0.16 && ring < 0.2) h = 5000.0;
      samples[static_cast<std::size_t>(r) * geo::ElevationGrid::kColumns + static_cast<std::size_t>(c)] =
          static_cast<std::int16_t>(std::max(0.0, h));
    }
  }
  return geo::ElevationGrid(std::move(samples));
}

geo::CoastlineTable SyntheticCoastline(const std::filesystem::path& scratch) {
  std::string text;
  for (std::size_t i = 0; i < geo::CoastlineTable::kEntryCount; ++i) {
    if (i % 500 == 0) {
      text += "#\n";
      continue;
    }
    const double t = static_cast<double>(i) / geo::CoastlineTable::kEntryCount;
    char line[64];
    std::snprintf(line, sizeof line, "%.6f\t%.6f\n", 33.0 + 9.0 * t + 0.1 * std::sin(i * 0.1),
                  44.0 + 1.5 * std::sin(t * 9.0) + 0.05 * std::cos(i * 0.3));
    text += line;
  }
  FILE* file = std::fopen(scratch.c_str(), "w");
  if (file != nullptr) {
    std::fputs(text.c_str(), file);
    std::fclose(file);
  }
  return geo::CoastlineTable::Load(scratch);
}

struct Theatre {
  geo::ElevationGrid terrain;
  geo::CoastlineTable coastline;
  bool realTerrain = false;
  bool realCoastline = false;

  Theatre() {
    const auto folder = DataFolder();
    auto loaded = geo::ElevationGrid::Load(folder / geo::kElevationFileName);
    realTerrain = loaded.Ok();
    terrain = realTerrain ? std::move(loaded.grid) : SyntheticTerrain();
    coastline = geo::CoastlineTable::Load(folder / geo::kCoastlineFileName);
    realCoastline = coastline.Loaded();
    if (!realCoastline) {
      const auto scratch = std::filesystem::temp_directory_path() / "vantor-bench-borderline.dat";
      coastline = SyntheticCoastline(scratch);
      std::filesystem::remove(scratch);
    }
  }
};

const Theatre& TheTheatre() {
  static const Theatre theatre;
  return theatre;
}

// The synthetic terrain with its ringed valley: harsher than the theatre,
// since a contact there needs a walk for almost every sensor.
const geo::ElevationGrid& RingedValleyTerrain() {
  static const geo::ElevationGrid terrain = SyntheticTerrain();
  return terrain;
}

scope::ScopeGeometry Scope(unsigned rangeKm) {
  scope::ScopeGeometry geometry;
  geometry.UpdateGeometry({0, 0, 1000, 800}, {0, 0, 996, 796});
  geometry.SetSidePanelHidden(true);
  geometry.SetRangeKm(rangeKm);
  return geometry;
}

std::vector<GeoPoint> LandPositions(const geo::ElevationGrid& terrain, std::size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> lat(42.3, 45.8), lon(33.3, 43.7);
  std::vector<GeoPoint> positions;
  while (positions.size() < count) {
    const GeoPoint p{lat(random), lon(random)};
    if (terrain.At(static_cast<int>(geo::GridRowOf(p.latitude)), static_cast<int>(geo::GridColumnOf(p.longitude))) > 0)
      positions.push_back(p);
  }
  return positions;
}

// All 22 airfield radars at 300 km, 50 friendly early-warning sites of 300 km
// and an AWACS.
SensorPicture EverySensor(const geo::ElevationGrid& terrain) {
  SensorPicture sensors;
  const auto airfields = model::BuildAirfieldTable();
  for (int i = 0; i < 22; ++i) {
    const int menuId = model::kAirportMenuFirstId + i;
    const auto found =
        std::find_if(airfields.begin(), airfields.end(), [&](const auto& a) { return a.menuId == menuId; });
    const bool carrier = menuId == model::kCarrierMenuId;
    sensors.airfieldRadars.push_back(
        scope::AirfieldRadar{i, carrier ? GeoPoint{43.6, 37.9} : GeoPoint{found->refLatitude, found->refLongitude},
                             carrier ? 0.0 : static_cast<double>(found->elevationM), 300});
  }
  for (const GeoPoint& p : LandPositions(terrain, 50, 11))
    sensors.radarSites.push_back(scope::RadarSiteSensor{p, 200.0, 0.0, 360, 300.0, 120});
  sensors.awacs = scope::AwacsSensor{{44.0, 36.0}, 9, 250};
  return sensors;
}

// Number of sensors whose range, ceiling and horizon tests pass: each of
// them costs a terrain walk when nothing sees the contact.
int WalksNeeded(const SensorPicture& sensors, const VisibilityTarget& t) {
  int walks = 0;
  for (const auto& a : sensors.airfieldRadars) {
    const double d = scope::ChordDistanceKm(t.latitude, t.longitude, a.position.latitude, a.position.longitude);
    walks += t.altitude < 12000 && d <= a.rangeKm && d < scope::RadarHorizonKm(t.altitude, a.elevationM, 20);
  }
  for (const auto& s : sensors.radarSites) {
    const double d = scope::ChordDistanceKm(t.latitude, t.longitude, s.position.latitude, s.position.longitude);
    walks += s.altitudeLimitKm * 1000.0 > t.altitude && d <= s.detectionRangeKm &&
             d < scope::RadarHorizonKm(t.altitude, s.altitudeM, 6);
  }
  const auto& w = sensors.awacs;
  walks += t.speed > 100 &&
           scope::ChordDistanceKm(t.latitude, t.longitude, w.position.latitude, w.position.longitude) <= w.rangeKm;
  return walks;
}

void ProjectAll(const scope::ScopeGeometry& geometry, std::vector<VisibilityTarget>& targets) {
  for (auto& t : targets) {
    const auto point = geometry.GeoToScreen(t.latitude, t.longitude);
    t.screenX = point.x;
    t.screenY = point.y;
  }
}

// Argument 0: the installed terrain (synthetic when missing); 1: always the
// synthetic terrain with the ringed valley.
void BM_VisibilityWorstCase(benchmark::State& state) {
  const bool ringedValley = state.range(0) != 0;
  const geo::ElevationGrid& terrain = ringedValley ? RingedValleyTerrain() : TheTheatre().terrain;
  const auto geometry = Scope(300);
  const SensorPicture sensors = EverySensor(terrain);
  const scope::SensorVisibility visibility(terrain, geometry.Projection(), sensors);

  // Contacts low in the terrain that no sensor sees, those needing the most
  // terrain walks first; half of the candidates are drawn near the high
  // valley of the synthetic terrain (elsewhere on real terrain).
  std::mt19937 random(3);
  std::uniform_real_distribution<double> lat(42.2, 45.8), lon(33.2, 43.8), height(0.0, 1.0), near(-0.2, 0.2);
  std::vector<std::pair<int, VisibilityTarget>> hidden;
  for (int n = 0; n < 60000 && hidden.size() < 8000; ++n) {
    VisibilityTarget t;
    t.latitude = n % 2 ? lat(random) : kValley.latitude + near(random);
    t.longitude = n % 2 ? lon(random) : kValley.longitude + near(random);
    const int ground =
        terrain.At(static_cast<int>(geo::GridRowOf(t.latitude)), static_cast<int>(geo::GridColumnOf(t.longitude)));
    t.altitude = std::max(ground, 0) + 30.0 + 3000.0 * height(random);
    t.speed = 700.0;
    if (visibility.IsContactVisible(t)) continue;
    hidden.emplace_back(WalksNeeded(sensors, t), t);
  }
  std::sort(hidden.begin(), hidden.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<VisibilityTarget> targets;
  long walks = 0;
  for (std::size_t i = 0; i < hidden.size() && targets.size() < 1000; ++i) {
    targets.push_back(hidden[i].second);
    walks += hidden[i].first;
  }
  ProjectAll(geometry, targets);

  for (auto _ : state) {
    int seen = 0;
    for (const auto& t : targets) seen += visibility.IsContactVisible(t);
    benchmark::DoNotOptimize(seen);
  }
  state.counters["contacts"] = static_cast<double>(targets.size());
  state.counters["walks_per_contact"] = targets.empty() ? 0.0 : static_cast<double>(walks) / targets.size();
  state.counters["real_terrain"] = !ringedValley && TheTheatre().realTerrain;
}
BENCHMARK(BM_VisibilityWorstCase)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A mission picture: aircraft of both sides over the theatre, ships, a few
// radar sites; the coalition has six airfield radars, fifteen sites of mixed
// types and an AWACS. The pass projects each contact, then tests it.
void BM_VisibilityTypical(benchmark::State& state) {
  const Theatre& theatre = TheTheatre();
  const auto geometry = Scope(200);
  SensorPicture sensors;
  const auto airfields = model::BuildAirfieldTable();
  for (int menuId : {32700, 32701, 32710, 32714, 32705, 32713}) {
    const auto a = std::find_if(airfields.begin(), airfields.end(), [&](const auto& r) { return r.menuId == menuId; });
    sensors.airfieldRadars.push_back(scope::AirfieldRadar{
        menuId - 32700, {a->refLatitude, a->refLongitude}, static_cast<double>(a->elevationM), 150});
  }
  const struct {
    double range;
    int limit;
    int sector;
  } types[] = {{300, 120, 360}, {90, 90, 360}, {170, 170, 120}, {100, 100, 360}, {35, 35, 360}, {25, 25, 360}};
  int k = 0;
  for (const GeoPoint& p : LandPositions(theatre.terrain, 15, 21)) {
    const auto& type = types[k++ % 6];
    sensors.radarSites.push_back(scope::RadarSiteSensor{p, 150.0, 0.7 * k, type.sector, type.range, type.limit});
  }
  sensors.awacs = scope::AwacsSensor{{44.3, 38.5}, 9, 250};
  const scope::SensorVisibility visibility(theatre.terrain, geometry.Projection(), sensors);

  std::mt19937 random(8);
  std::uniform_real_distribution<double> lat(42.3, 45.9), lon(33.2, 43.8), unit(0.0, 1.0);
  std::vector<VisibilityTarget> targets(1000);
  for (auto& t : targets) {
    t.latitude = lat(random);
    t.longitude = lon(random);
    const double kind = unit(random);
    t.friendly = unit(random) < 0.5;
    if (kind < 0.65) {  // aircraft
      t.altitude = 300.0 + 9000.0 * unit(random);
      t.speed = 350.0 + 600.0 * unit(random);
    } else if (kind < 0.8) {  // helicopters and low fliers
      t.altitude = 30.0 + 300.0 * unit(random);
      t.speed = 150.0 + 150.0 * unit(random);
    } else if (kind < 0.95) {  // ships and vehicles
      t.altitude = 0.0;
      t.speed = 30.0 * unit(random);
      t.altSymbol = true;
    } else {
      t.radarSite = true;
    }
  }
  int seen = 0;
  for (auto _ : state) {
    ProjectAll(geometry, targets);
    seen = 0;
    for (const auto& t : targets) seen += visibility.IsContactVisible(t);
    benchmark::DoNotOptimize(seen);
  }
  state.counters["visible"] = seen;
  state.counters["real_terrain"] = theatre.realTerrain;
}
BENCHMARK(BM_VisibilityTypical)->Unit(benchmark::kMillisecond);

void BM_CoastlineProjection(benchmark::State& state) {
  const Theatre& theatre = TheTheatre();
  const auto geometry = Scope(static_cast<unsigned>(state.range(0)));
  scope::CoastlineScreenCache cache;
  for (auto _ : state) {
    cache.Rebuild(theatre.coastline, geometry.Projection());
    benchmark::DoNotOptimize(cache.ScreenPoints().data());
  }
  state.counters["real_coastline"] = theatre.realCoastline;
}
BENCHMARK(BM_CoastlineProjection)->Arg(50)->Arg(400)->Unit(benchmark::kMillisecond);

// One long terrain walk from an early-warning radar to a low contact.
void BM_TerrainLineOfSightLong(benchmark::State& state) {
  const Theatre& theatre = TheTheatre();
  const bool fromAltitude = state.range(0) != 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(geo::TerrainLineOfSight(theatre.terrain, 45.0, 38.9, 43.4, 41.9, 800.0, fromAltitude,
                                                     fromAltitude ? 9000.0 : 60.0));
  }
}
BENCHMARK(BM_TerrainLineOfSightLong)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
