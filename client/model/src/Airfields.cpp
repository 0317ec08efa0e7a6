#include "vantor/model/Airfields.h"

namespace vantor::model {
namespace {

struct AirfieldRow {
  const char* name;
  const char* code;
  int menuId;
  int runwayHeading;
  int elevationM;
  int primary;
  int approachAtFirstEnd;
  int labelDy;
  int labelDx;
  double end1Latitude, end1Longitude, end2Latitude, end2Longitude, refLatitude, refLongitude;
};

// Two records of one name are the two runways of one airfield. The carrier's
// position comes from the contact table at use time.
constexpr std::array<AirfieldRow, kAirfieldRecordCount> kAirfieldRows = {{
    {"Belbek", "BELK", 32702, 70, 90, 1, 1, 20, 0, 44.683611, 33.556666, 44.692777, 33.594444, 44.688056, 33.575556},
    {"Razdolnoye", "RAZD", 32717, 360, 50, 1, 1, 20, 0, 45.719166, 33.5275, 45.747777, 33.527777, 45.733333, 33.524722},
    {"Krasnodar Center", "KRAS", 32710, 270, 32, 1, 1, 20, 0, 45.081389, 38.965833, 45.081944, 38.934167, 45.081667,
     38.95},
    {"Krasnodar-Pashkovskiy", "URKK", 0, 50, 36, 0, 1, 20, 0, 45.028373, 39.151627, 45.041089, 39.173992, 45.032222,
     39.178055},
    {"Krasnodar-Pashkovskiy", "", 32711, 50, 36, 1, 1, 20, 0, 45.024444, 39.183333, 45.041666, 39.213888, 45.032222,
     39.178055},
    {"Sochi-Adler", "ADLE", 32700, 60, 30, 1, 1, 20, 0, 43.439444, 39.937222, 43.450278, 39.972222, 43.440833,
     39.953611},
    {"Sochi-Adler", "", 0, 60, 30, 0, 0, 20, 0, 43.436388, 39.957222, 43.453333, 39.970833, 43.440833, 39.953611},
    {"Anapa", "ANAP", 32701, 40, 45, 1, 1, 20, 0, 44.989722, 37.341944, 45.008056, 37.367778, 44.998889, 37.355},
    {"Gelendzhik", "GELE", 32704, 40, 25, 1, 1, 20, 0, 44.563333, 38.011944, 44.575, 38.0275, 44.569167, 38.019722},
    {"Novorossiysk", "NOVO", 32715, 40, 40, 1, 1, 20, 0, 44.658333, 37.778056, 44.669444, 37.794167, 44.663889,
     37.786111},
    {"Krymsk", "KRYM", 32713, 220, 20, 1, 1, 0, 20, 44.970833, 38.014167, 44.953889, 37.991944, 44.9625, 38.003056},
    {"Maykop", "MAYK", 32714, 220, 180, 1, 1, 0, 20, 44.688333, 40.062778, 44.667778, 40.035, 44.678056, 40.048889},
    {"Gudauta", "GUDA", 32705, 330, 21, 1, 1, 20, 0, 43.104722, 40.590833, 43.125278, 40.578611, 43.115, 40.584722},
    {"Sukhumi", "SUKH", 32720, 300, 15, 1, 1, 0, 20, 42.856111, 41.155, 42.867778, 41.129167, 42.861944, 41.141944},
    {"Kerch-Bagerovo", "KERC", 32707, 50, 110, 1, 1, 20, 0, 45.387222, 36.233333, 45.408056, 36.266667, 45.397778,
     36.25},
    {"Kirovskoye", "KIRO", 32709, 100, 92, 1, 1, 20, 20, 45.162778, 35.169167, 45.155278, 35.208333, 45.159167,
     35.188889},
    {"Dzhakoy", "DZHA", 32703, 50, 50, 1, 1, 20, 0, 45.678611, 34.410556, 45.693333, 34.436111, 45.686111, 34.423333},
    {"Krasnogvardeyskoye", "KRAS", 32712, 50, 50, 1, 1, 20, 0, 45.561667, 34.269722, 45.581389, 34.304167, 45.571667,
     34.286944},
    {"Oktyabrskoye", "OKTY", 32716, 60, 50, 1, 1, 20, 0, 45.313889, 34.071111, 45.330278, 34.109167, 45.322222, 34.09},
    {"Gvardeyskoye", "GVAR", 32706, 10, 50, 1, 1, 0, 20, 45.092222, 33.963611, 45.119722, 33.973333, 45.105833,
     33.968611},
    {"Simferopol", "SIMF", 32719, 10, 60, 1, 1, 0, 20, 45.006111, 33.989166, 45.029722, 33.995, 45.035555, 33.984166},
    {"Simferopol", "", 32719, 10, 60, 0, 1, 0, 0, 45.027778, 33.970556, 45.061667, 33.982222, 45.035555, 33.984166},
    {"Saki", "SAKI", 32718, 40, 50, 1, 1, 0, 20, 45.073333, 33.595278, 45.094722, 33.625833, 45.0825, 33.599167},
    {"Saki", "", 32718, 40, 50, 0, 1, 0, 0, 45.071944, 33.584166, 45.0930555, 33.6147, 45.0825, 33.599167},
    {"Khersones", "KHER", 32708, 10, 10, 1, 1, 20, 0, 44.568888, 33.394444, 44.584722, 33.398333, 44.576667, 33.396389},
    {"Kuz", "", kCarrierMenuId, 0, 0, 1, 1, 0, 0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0},
}};

}  // namespace

const std::array<AirportMenuEntry, kAirportMenuEntryCount> kAirportsMenuEntries = {{
    {32700, "Adler"},
    {32701, "Anapa"},
    {32702, "Belbek"},
    {32703, "Dzhakoy"},
    {32704, "Gelendzhik"},
    {32705, "Gudauta"},
    {32706, "Gvardeyskoye"},
    {32707, "Kerch"},
    {32708, "Khersones"},
    {32709, "Kirovskoye"},
    {32710, "Krasnodar center"},
    {32711, "Krasnodar-Pashkovkiy"},
    {32712, "Krasnogvardeyskoye"},
    {32713, "Krymsk"},
    {32714, "Maykop"},
    {32715, "Novorossiysk"},
    {32716, "Oktyabrskoye"},
    {32717, "Razdolnoye"},
    {32718, "Saki"},
    {32719, "Simferopol"},
    {32720, "Sukhumi"},
    {32721, "Kuznetsov"},
}};

std::vector<CAirfield> BuildAirfieldTable() {
  std::vector<CAirfield> table;
  table.reserve(kAirfieldRows.size());
  for (const AirfieldRow& row : kAirfieldRows) {
    CAirfield airfield;
    airfield.runwayHeading = row.runwayHeading;
    airfield.menuId = row.menuId;
    airfield.primary = row.primary != 0;
    airfield.approachAtFirstEnd = row.approachAtFirstEnd != 0;
    airfield.elevationM = row.elevationM;
    airfield.labelDy = row.labelDy;
    airfield.labelDx = row.labelDx;
    airfield.end1Latitude = row.end1Latitude;
    airfield.end1Longitude = row.end1Longitude;
    airfield.end2Latitude = row.end2Latitude;
    airfield.end2Longitude = row.end2Longitude;
    airfield.refLatitude = row.refLatitude;
    airfield.refLongitude = row.refLongitude;
    airfield.name = QString::fromLatin1(row.name);
    airfield.code = QString::fromLatin1(row.code);
    table.push_back(std::move(airfield));
  }
  return table;
}

int AirfieldIndexOfMenuId(int menuId) {
  if (menuId < kAirportMenuFirstId || menuId > kCarrierMenuId) return 0;
  return menuId - kAirportMenuFirstId + 1;
}

}  // namespace vantor::model
