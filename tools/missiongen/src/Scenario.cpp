#include "vantor/missiongen/Scenario.h"

#include "vantor/missiongen/FeedText.h"

#include <array>
#include <cmath>
#include <map>
#include <string_view>

namespace vantor::missiongen {
namespace {

using geo::Destination;
using geo::kPi;
using geo::Radians;

// --- Theatre tables ---------------------------------------------------------

struct AircraftType {
  std::string_view name;
  AircraftPerformance performance;
};

// cruise, approach, rotate km/h; climb m/s; turn rad/s
constexpr std::array<AircraftType, 14> kAircraftTypes = {{
    {"Su-27", {850, 310, 290, 45, 0.055}},
    {"MiG-29S", {840, 300, 280, 45, 0.055}},
    {"Su-30", {860, 310, 290, 42, 0.05}},
    {"Su-24M", {800, 330, 320, 30, 0.04}},
    {"Su-25T", {650, 280, 260, 20, 0.05}},
    {"F-15C", {880, 300, 280, 45, 0.055}},
    {"F-16C", {850, 290, 270, 45, 0.06}},
    {"F/A-18C", {830, 280, 260, 40, 0.055}},
    {"F-14A", {850, 290, 280, 38, 0.045}},
    {"Tornado IDS", {800, 300, 290, 30, 0.045}},
    {"A-10A", {560, 250, 220, 15, 0.06}},
    {"MiG-31", {1000, 340, 330, 50, 0.035}},
    {"Tu-22M3", {900, 350, 340, 20, 0.025}},
    {"Su-33", {820, 290, 280, 40, 0.05}},
}};

const AircraftPerformance& PerformanceOf(std::string_view type) {
  for (const AircraftType& candidate : kAircraftTypes)
    if (candidate.name == type) return candidate.performance;
  return kAircraftTypes[0].performance;
}

struct Station {
  GeoPoint centre;
  double axisDeg;
  double legKm;
};

// Patrol and strike areas: 0 to 7 Red, 8 to 14 Blue.
constexpr std::array<Station, 15> kStations = {{
    {{44.35, 33.65}, 90, 60},   // 0 south of Sevastopol
    {{45.05, 36.45}, 20, 50},   // 1 Kerch strait
    {{44.25, 37.65}, 110, 60},  // 2 off Novorossiysk
    {{43.95, 38.85}, 125, 60},  // 3 off Tuapse
    {{43.55, 39.45}, 135, 50},  // 4 off Sochi
    {{45.25, 39.80}, 60, 60},   // 5 east of Krasnodar
    {{43.75, 37.10}, 90, 60},   // 6 over the carrier group
    {{43.20, 40.35}, 140, 25},  // 7 strike area near Gudauta
    {{43.05, 39.85}, 315, 60},  // 8 off Gudauta
    {{42.60, 40.65}, 300, 60},  // 9 off Sukhumi
    {{43.25, 38.95}, 300, 70},  // 10 forward, over the sea
    {{42.45, 42.25}, 270, 50},  // 11 inland
    {{42.85, 37.90}, 0, 60},    // 12 deep over the sea
    {{43.50, 40.05}, 70, 20},   // 13 strike area east of Adler
    {{44.55, 37.95}, 60, 20},   // 14 strike area north of Novorossiysk
}};

struct FlightSpec {
  Coalition side;
  std::string_view type;
  std::string_view airfield;
  std::string_view callsign;
  int firstNumber;  // Red flights count 1, 2, ...; Blue ones 11, 12, ...
  int count;
  int station;
  double altitudeM;
};

constexpr std::array<FlightSpec, 17> kFlights = {{
    {Coalition::Red, "Su-27", "Belbek", "Wolf", 1, 2, 0, 8000},
    {Coalition::Blue, "F-15C", "Sukhumi", "Colt", 11, 2, 9, 9000},
    {Coalition::Red, "MiG-29S", "Krymsk", "Sokol", 1, 2, 6, 6500},
    {Coalition::Blue, "F-15C", "Sukhumi", "Colt", 13, 2, 8, 9500},
    {Coalition::Red, "Su-30", "Krasnodar Center", "Berkut", 1, 2, 5, 9000},
    {Coalition::Blue, "F/A-18C", "Gudauta", "Enfield", 11, 2, 10, 8000},
    {Coalition::Red, "Su-27", "Kerch-Bagerovo", "Bear", 1, 2, 1, 8500},
    {Coalition::Blue, "F-16C", "Sukhumi", "Dodge", 11, 2, 11, 7500},
    {Coalition::Red, "MiG-29S", "Anapa", "Strizh", 1, 2, 2, 7000},
    {Coalition::Blue, "A-10A", "Sukhumi", "Pontiac", 11, 2, 13, 3000},
    {Coalition::Red, "Su-27", "Krasnodar-Pashkovskiy", "Yastreb", 1, 2, 3, 8000},
    {Coalition::Blue, "Tornado IDS", "Gudauta", "Chevy", 11, 2, 14, 1500},
    {Coalition::Red, "Su-25T", "Maykop", "Kobra", 1, 2, 7, 4500},
    {Coalition::Blue, "F-14A", "Gudauta", "Ford", 11, 2, 12, 8500},
    {Coalition::Red, "MiG-29S", "Sochi-Adler", "Korshun", 1, 2, 4, 6000},
    {Coalition::Red, "Su-24M", "Gvardeyskoye", "Grach", 1, 2, 0, 5000},
    {Coalition::Red, "MiG-29S", "Saki", "Sapsan", 1, 2, 1, 7000},
}};

constexpr std::array<std::string_view, 8> kRedCallsigns = {"Wolf",   "Sokol", "Berkut", "Bear",
                                                           "Strizh", "Kobra", "Grach",  "Sapsan"};
constexpr std::array<std::string_view, 8> kBlueCallsigns = {"Colt",    "Dodge",   "Ford", "Chevy",
                                                            "Enfield", "Pontiac", "Uzi",  "Springfield"};

struct HelicopterSpec {
  Coalition side;
  std::string_view type;
  std::string_view callsign;
  int number;
  GeoPoint siteA;
  double elevationA;
  GeoPoint siteB;
  double elevationB;
};

constexpr std::array<HelicopterSpec, 6> kHelicopters = {{
    {Coalition::Red, "Mi-24V", "Shmel", 1, {44.6650, 37.7900}, 40, {44.5700, 38.0300}, 25},
    {Coalition::Blue, "AH-64A", "Uzi", 11, {42.8600, 41.1300}, 15, {42.7300, 41.4700}, 10},
    {Coalition::Red, "Mi-8MTV", "Pchela", 1, {45.0830, 38.9500}, 32, {44.9620, 38.0100}, 20},
    {Coalition::Blue, "UH-60A", "Springfield", 11, {42.8650, 41.1450}, 15, {43.1150, 40.5900}, 21},
    {Coalition::Red, "Ka-50", "Akula", 1, {43.4420, 39.9450}, 30, {43.5500, 40.1500}, 550},
    {Coalition::Blue, "AH-64A", "Uzi", 12, {43.1100, 40.5950}, 21, {43.2800, 40.2700}, 15},
}};

struct ShipSpec {
  Coalition side;
  std::string_view name;
  double speedKmh;
  std::array<GeoPoint, 4> route;
  int points;
};

constexpr std::array<ShipSpec, 7> kShips = {{
    {Coalition::Red, "Admiral Kuznetsov", 14, {{{43.85, 36.60}, {43.65, 37.40}, {43.45, 37.00}, {43.65, 36.30}}}, 4},
    {Coalition::Red, "Slava (Moskva)", 28, {{{44.45, 33.20}, {44.30, 33.90}, {44.10, 33.50}}}, 3},
    {Coalition::Blue, "Ticonderoga (Normandy)", 28, {{{42.55, 39.90}, {42.35, 40.60}, {42.20, 40.20}}}, 3},
    {Coalition::Red, "Krivak II (Ladny)", 30, {{{44.45, 37.60}, {44.20, 38.10}, {44.05, 37.60}}}, 3},
    {Coalition::Blue, "Oliver Perry (Taylor)", 30, {{{42.90, 39.20}, {42.70, 39.80}, {43.00, 39.70}}}, 3},
    {Coalition::Red, "Grisha V (Aleksandrovets)", 25, {{{45.60, 36.70}, {45.75, 37.30}, {45.55, 37.25}}}, 3},
    {Coalition::Blue, "Oliver Perry (Halyburton)", 30, {{{42.45, 41.20}, {42.25, 41.45}, {42.35, 40.95}}}, 3},
}};

struct GroundSpec {
  Coalition side;
  std::string_view type;
  std::string_view place;
  GeoPoint position;
  double altitudeM;
  double headingDeg;
};

// Air defence and early warning: every radar type of both sides, with some
// of the launchers that stand beside them.
constexpr std::array<GroundSpec, 36> kGroundUnits = {{
    {Coalition::Red, "S-300PS 64H6E SR", "Novorossiysk", {44.7400, 37.6800}, 120, 200},
    {Coalition::Blue, "PATRIOT STR", "Kutaisi", {42.2700, 42.6500}, 140, 300},
    {Coalition::Red, "S-300PS 40B6MD SR", "Novorossiysk", {44.7430, 37.6840}, 120, 200},
    {Coalition::Blue, "PATRIOT STR", "Sukhumi", {42.8800, 41.0800}, 30, 320},
    {Coalition::Red, "S-300PS 40B6M TR", "Novorossiysk", {44.7420, 37.6770}, 120, 200},
    {Coalition::Blue, "HAWK SR", "Gudauta", {43.1100, 40.6200}, 30, 300},
    {Coalition::Red, "55G6 EWR", "Dzhankoy", {45.7200, 34.3800}, 20, 0},
    {Coalition::Blue, "HAWK TR", "Gudauta", {43.1120, 40.6230}, 30, 300},
    {Coalition::Red, "1L13 EWR", "Tuapse", {44.1200, 39.1200}, 300, 0},
    {Coalition::Blue, "ROLAND RDR", "Zugdidi", {42.5100, 41.8700}, 110, 0},
    {Coalition::Red, "BUK SR 9S18M1", "Krasnodar", {45.0500, 38.8500}, 30, 180},
    {Coalition::Blue, "ROLAND ADS", "Senaki", {42.2700, 42.0500}, 40, 0},
    {Coalition::Red, "KUB STR 1S91", "Maykop", {44.7000, 40.1000}, 200, 180},
    {Coalition::Blue, "AVENGER", "Ochamchire", {42.7200, 41.4700}, 10, 0},
    {Coalition::Red, "OSA 9A33 LN", "Anapa", {44.9800, 37.3700}, 40, 0},
    {Coalition::Blue, "VULCAN", "Sukhumi", {42.8580, 41.1400}, 15, 0},
    {Coalition::Red, "TOR 9A331", "Sochi", {43.4500, 39.9000}, 40, 0},
    {Coalition::Blue, "STINGER manpad", "Gudauta", {43.1200, 40.5800}, 25, 0},
    {Coalition::Red, "2S6 TUNGUSKA", "Adler", {43.4300, 39.9500}, 25, 0},
    {Coalition::Blue, "HAWK SR", "Poti", {42.1700, 41.7200}, 5, 270},
    {Coalition::Red, "ZSU-23-4 SHILKA", "Krymsk", {44.9600, 38.0200}, 25, 0},
    {Coalition::Red, "STRELA-10 9A35", "Kerch", {45.3900, 36.2400}, 100, 0},
    {Coalition::Red, "STRELA-1 9P31", "Simferopol", {45.0200, 33.9900}, 180, 0},
    {Coalition::Red, "SA-18 IGLA manpad", "Gelendzhik", {44.5700, 38.0300}, 30, 0},
    {Coalition::Red, "DOG EAR RDR", "Belbek", {44.6900, 33.5900}, 90, 0},
    {Coalition::Red, "S-300PS 64H6E SR", "Sevastopol", {44.5800, 33.6200}, 150, 180},
    {Coalition::Red, "S-300PS 40B6M TR", "Sevastopol", {44.5820, 33.6250}, 150, 180},
    {Coalition::Red, "1L13 EWR", "Kerch", {45.3300, 36.4200}, 80, 0},
    // Launchers and guns without their own radar.
    {Coalition::Red, "S-300PS 5P85C LN", "Novorossiysk", {44.7380, 37.6850}, 120, 200},
    {Coalition::Red, "S-300PS 5P85C LN", "Sevastopol", {44.5790, 33.6270}, 150, 180},
    {Coalition::Red, "SA-11 BUK LN 9A310M1", "Krasnodar", {45.0520, 38.8530}, 30, 180},
    {Coalition::Red, "SA-6 KUB LN 2P25", "Maykop", {44.7020, 40.1030}, 200, 180},
    {Coalition::Blue, "Hawk LN M192", "Gudauta", {43.1090, 40.6250}, 30, 300},
    {Coalition::Blue, "Patriot LN M901", "Kutaisi", {42.2720, 42.6530}, 140, 300},
    {Coalition::Red, "SA-11 BUK LN 9A310M1", "Krasnodar", {45.0480, 38.8540}, 30, 180},
    {Coalition::Blue, "Patriot LN M901", "Sukhumi", {42.8820, 41.0830}, 30, 320},
}};

struct VehicleGroupSpec {
  Coalition side;
  std::string_view type;
  std::string_view callsign;
  int count;
  std::array<GeoPoint, 3> route;  // a single point for a group that stands still
  int points;
  double altitudeM;
};

constexpr std::array<VehicleGroupSpec, 6> kVehicles = {{
    {Coalition::Red, "T-80UD", "Armour", 3, {{{43.4700, 40.0200}}}, 1, 60},
    {Coalition::Blue, "M-1 Abrams", "Armour", 3, {{{43.1400, 40.7000}}}, 1, 40},
    {Coalition::Red, "Ural-375", "Supply", 3, {{{45.0300, 38.9500}, {44.8700, 38.1600}, {44.9300, 38.0000}}}, 3, 30},
    {Coalition::Blue, "HMMWV", "Supply", 3, {{{42.8700, 41.0500}, {42.7300, 41.4700}, {42.5100, 41.8700}}}, 3, 20},
    {Coalition::Red, "BMP-2", "Mech", 3, {{{43.4800, 40.0500}}}, 1, 80},
    {Coalition::Blue, "M-2 Bradley", "Mech", 2, {{{43.1300, 40.7200}}}, 1, 40},
}};

// --- Building objects -------------------------------------------------------

bool RunwayReversed(const geo::Runway& runway, double windFromRad) {
  return std::cos(geo::BearingRad(runway.end1, runway.end2) - windFromRad) < 0.0;
}

std::unique_ptr<MissionObject> NewObject(IdSequence& ids, char classLetter, Coalition side, std::string typeName) {
  auto object = std::make_unique<MissionObject>();
  object->id = ids.Next();
  object->classLetter = classLetter;
  object->coalition = side;
  object->typeName = std::move(typeName);
  return object;
}

void GiveCallsign(MissionObject& object, std::string_view base, int number) {
  object.callsignBase = std::string(base);
  object.callsignNumber = number;
  object.name = CallsignName(object.typeName, object.callsignBase, number);
}

SortiePlan MakePlan(const FlightSpec& flight, double windFromRad, Random& random) {
  const geo::Runway* runway = geo::FindRunway(flight.airfield);
  const Station& station = kStations[static_cast<std::size_t>(flight.station)];
  // Spread the members of a flight a little so their tracks do not merge.
  const GeoPoint centre = Destination(station.centre, random.Uniform(0, 2 * kPi), random.Uniform(0, 12));
  const double axis = Radians(station.axisDeg + random.Uniform(-15, 15));
  SortiePlan plan;
  plan.runway = runway;
  plan.reversed = RunwayReversed(*runway, windFromRad);
  plan.stationA = Destination(centre, axis + kPi, station.legKm / 2);
  plan.stationB = Destination(centre, axis, station.legKm / 2);
  plan.stationAltitudeM = flight.altitudeM + random.Uniform(-500, 500);
  plan.patrolSeconds = random.Uniform(900, 1800);
  plan.turnaroundSeconds = random.Uniform(600, 1200);
  return plan;
}

// Parking slots handed out per runway, so aircraft do not park on each other.
using ParkingSlots = std::map<const geo::Runway*, int>;

std::unique_ptr<MissionObject> MakeAircraft(const FlightSpec& flight, int number, double windFromRad,
                                            ParkingSlots& slots, IdSequence& ids, Random& random) {
  auto object = NewObject(ids, 'B', flight.side, std::string(flight.type));
  GiveCallsign(*object, flight.callsign, number);
  SortiePlan plan = MakePlan(flight, windFromRad, random);
  plan.parkingSlot = slots[plan.runway]++ % RunwayLayout::kParkingSlots;
  auto mover = std::make_unique<SortieMover>(plan, PerformanceOf(flight.type));
  const double start = random.Unit();
  if (start < 0.45)
    mover->StartOnPatrol(random.Uniform(120, 1500), random.Unit(), object->state);
  else if (start < 0.65)
    mover->StartEnroute(random.Uniform(0.2, 0.9), object->state);
  else
    mover->StartParked(random.Uniform(15, 600), object->state);
  object->mover = std::move(mover);
  return object;
}

std::unique_ptr<MissionObject> MakeAwacs(Coalition side, IdSequence& ids, Random& random) {
  const bool red = side == Coalition::Red;
  auto object = NewObject(ids, 'B', side, red ? "A-50" : "E-3A");
  GiveCallsign(*object, red ? "Dozor" : "Magic", red ? 1 : 11);
  RacetrackPattern pattern;
  pattern.centre = red ? GeoPoint{45.30, 37.90} : GeoPoint{42.60, 39.80};
  pattern.axisRad = Radians(red ? 90.0 : 310.0);
  pattern.legKm = red ? 80.0 : 90.0;
  pattern.turnRadiusKm = 12.0;
  pattern.altitudeM = red ? 9000.0 : 9500.0;
  pattern.speedKmh = red ? 600.0 : 650.0;
  auto mover = std::make_unique<RacetrackMover>(pattern, random.Unit());
  object->state = mover->At(0.0);
  mover->Advance(0.0, object->state);
  object->mover = std::move(mover);
  return object;
}

std::unique_ptr<MissionObject> MakeHelicopter(const HelicopterSpec& spec, int number, double jitterKm, IdSequence& ids,
                                              Random& random) {
  auto object = NewObject(ids, 'D', spec.side, std::string(spec.type));
  GiveCallsign(*object, spec.callsign, number);
  ShuttlePlan plan;
  plan.siteA = Destination(spec.siteA, random.Uniform(0, 2 * kPi), jitterKm * random.Unit());
  plan.siteAElevationM = spec.elevationA;
  plan.siteB = Destination(spec.siteB, random.Uniform(0, 2 * kPi), jitterKm * random.Unit());
  plan.siteBElevationM = spec.elevationB;
  plan.cruiseHeightM = random.Uniform(150, 400);
  plan.cruiseKmh = random.Uniform(220, 260);
  plan.groundSeconds = random.Uniform(120, 420);
  object->mover = std::make_unique<ShuttleMover>(plan, random.Unit(), object->state);
  return object;
}

std::unique_ptr<MissionObject> MakeShip(const ShipSpec& spec, double jitterKm, IdSequence& ids, Random& random) {
  auto object = NewObject(ids, 'C', spec.side, std::string(spec.name));
  object->name = object->typeName;
  RoutePlan plan;
  for (int i = 0; i < spec.points; ++i)
    plan.waypoints.push_back(
        Destination(spec.route[static_cast<std::size_t>(i)], random.Uniform(0, 2 * kPi), jitterKm * random.Unit()));
  plan.speedKmh = spec.speedKmh;
  plan.turnRateRadPerS = 0.006;
  object->mover =
      std::make_unique<RouteMover>(std::move(plan), random.Index(static_cast<std::size_t>(spec.points)), object->state);
  return object;
}

std::unique_ptr<MissionObject> MakeGroundUnit(const GroundSpec& spec, double jitterKm, IdSequence& ids,
                                              Random& random) {
  auto object = NewObject(ids, 'A', spec.side, std::string(spec.type));
  object->name = std::string(spec.type) + " (" + std::string(spec.place) + ")";
  object->state.position = Destination(spec.position, random.Uniform(0, 2 * kPi), jitterKm * random.Unit());
  object->state.altitudeM = spec.altitudeM;
  object->state.headingRad = geo::WrapRadians(Radians(spec.headingDeg));
  return object;
}

std::unique_ptr<MissionObject> MakeVehicle(const VehicleGroupSpec& spec, int member, double jitterKm, IdSequence& ids,
                                           Random& random) {
  auto object = NewObject(ids, 'A', spec.side, std::string(spec.type));
  GiveCallsign(*object, spec.callsign, member);
  if (spec.points == 1) {
    object->state.position =
        Destination(spec.route[0], random.Uniform(0, 2 * kPi), 0.05 + (0.3 + jitterKm) * random.Unit());
    object->state.altitudeM = spec.altitudeM;
    object->state.headingRad = random.Uniform(0, 2 * kPi);
    return object;
  }
  RoutePlan plan;
  for (int i = 0; i < spec.points; ++i)
    plan.waypoints.push_back(
        Destination(spec.route[static_cast<std::size_t>(i)], random.Uniform(0, 2 * kPi), jitterKm * random.Unit()));
  plan.loop = false;
  plan.speedKmh = 40.0;
  plan.turnRateRadPerS = 0.2;
  plan.altitudeM = spec.altitudeM;
  auto mover = std::make_unique<RouteMover>(std::move(plan), 0, object->state);
  // Members of a convoy follow each other at about 300 m.
  for (int step = 0; step < member * 27; ++step) mover->Advance(1.0, object->state);
  object->mover = std::move(mover);
  return object;
}

// Extra traffic for load tests, mixed like the standard mission.
std::unique_ptr<MissionObject> MakeExtraObject(std::size_t index, double windFromRad, ParkingSlots& slots,
                                               IdSequence& ids, Random& random) {
  const double kind = random.Unit();
  if (kind < 0.60) {
    const FlightSpec& flight = kFlights[random.Index(kFlights.size())];
    const auto& callsigns = flight.side == Coalition::Red ? kRedCallsigns : kBlueCallsigns;
    FlightSpec extra = flight;
    extra.callsign = callsigns[random.Index(callsigns.size())];
    const int number = static_cast<int>(100 + index);
    return MakeAircraft(extra, number, windFromRad, slots, ids, random);
  }
  if (kind < 0.85) return MakeGroundUnit(kGroundUnits[random.Index(kGroundUnits.size())], 15.0, ids, random);
  if (kind < 0.95) {
    const HelicopterSpec& spec = kHelicopters[random.Index(kHelicopters.size())];
    return MakeHelicopter(spec, static_cast<int>(100 + index), 5.0, ids, random);
  }
  auto ship = MakeShip(kShips[1 + random.Index(kShips.size() - 1)], 15.0, ids, random);
  return ship;
}

}  // namespace

int IdSequence::Next() {
  // Ids in the style the simulator hands out, 256 apart; they stay 8 digits
  // for over 300,000 objects and wrap round after that.
  constexpr int kBase = 16777472;
  constexpr int kSpan = (kLastObjectId - kBase) / 256;
  return kBase + 256 * (count_++ % kSpan);
}

std::string CallsignName(const std::string& typeName, const std::string& callsignBase, int number) {
  return typeName + " (" + callsignBase + " " + std::to_string(number) + ")";
}

int StandardObjectCount() {
  IdSequence ids;
  return static_cast<int>(BuildScenario(ScenarioOptions{}, ids).size());
}

std::vector<std::unique_ptr<MissionObject>> BuildScenario(const ScenarioOptions& options, IdSequence& ids) {
  const Random root(options.seed);
  std::uint64_t stream = 0;
  auto nextRandom = [&] { return root.Fork(stream++); };

  std::vector<std::unique_ptr<MissionObject>> objects;
  ParkingSlots slots;
  auto full = [&] {
    return options.objectCount > 0 && objects.size() >= static_cast<std::size_t>(options.objectCount);
  };
  auto add = [&](std::unique_ptr<MissionObject> object) {
    if (!full()) objects.push_back(std::move(object));
  };

  // Most important first, so that a small --objects keeps a coherent picture.
  {
    Random random = nextRandom();
    add(MakeAwacs(Coalition::Red, ids, random));
    add(MakeAwacs(Coalition::Blue, ids, random));
  }
  {
    Random random = nextRandom();
    add(MakeShip(kShips[0], 0.0, ids, random));
  }
  for (const FlightSpec& flight : kFlights) {
    for (int member = 0; member < flight.count && !full(); ++member) {
      Random random = nextRandom();
      add(MakeAircraft(flight, flight.firstNumber + member, options.windFromRad, slots, ids, random));
    }
  }
  for (std::size_t i = 1; i < kShips.size() && !full(); ++i) {
    Random random = nextRandom();
    add(MakeShip(kShips[i], 0.0, ids, random));
  }
  for (const HelicopterSpec& spec : kHelicopters) {
    if (full()) break;
    Random random = nextRandom();
    add(MakeHelicopter(spec, spec.number, 0.0, ids, random));
  }
  for (const GroundSpec& spec : kGroundUnits) {
    if (full()) break;
    Random random = nextRandom();
    add(MakeGroundUnit(spec, 0.0, ids, random));
  }
  for (const VehicleGroupSpec& spec : kVehicles) {
    for (int member = 1; member <= spec.count && !full(); ++member) {
      Random random = nextRandom();
      add(MakeVehicle(spec, member, 0.0, ids, random));
    }
  }
  while (options.objectCount > 0 && !full()) {
    Random random = nextRandom();
    add(MakeExtraObject(objects.size(), options.windFromRad, slots, ids, random));
  }
  return objects;
}

std::unique_ptr<MissionObject> MakeReplacement(const MissionObject& lost, int callsignNumber, IdSequence& ids,
                                               Random& random) {
  const auto* sortie = dynamic_cast<const SortieMover*>(lost.mover.get());
  if (sortie == nullptr) return nullptr;
  auto object = NewObject(ids, lost.classLetter, lost.coalition, lost.typeName);
  GiveCallsign(*object, lost.callsignBase, callsignNumber);
  SortiePlan plan = sortie->Plan();
  plan.patrolSeconds = random.Uniform(900, 1800);
  auto mover = std::make_unique<SortieMover>(plan, sortie->Performance());
  mover->StartParked(random.Uniform(30, 180), object->state);
  object->mover = std::move(mover);
  return object;
}

}  // namespace vantor::missiongen
