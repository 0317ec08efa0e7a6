#include "vantor/server/AirfieldSettings.h"

#include <string>

namespace vantor::server {

const std::array<AirfieldSite, protocol::kAirfieldCount> kAirfieldSites = {{
    {"Adler", geo::GeoPoint{43.440833, 39.953611}},
    {"Anapa", geo::GeoPoint{44.998889, 37.355}},
    {"Belbek", geo::GeoPoint{44.688056, 33.575556}},
    {"Dzhakoy", geo::GeoPoint{45.686111, 34.423333}},
    {"Gelendzhik", geo::GeoPoint{44.569167, 38.019722}},
    {"Gudauta", geo::GeoPoint{43.115, 40.584722}},
    {"Gvardeyskoye", geo::GeoPoint{45.105833, 33.968611}},
    {"Kerch", geo::GeoPoint{45.397778, 36.25}},
    {"Khersones", geo::GeoPoint{44.576667, 33.396389}},
    {"Kirovskoye", geo::GeoPoint{45.159167, 35.188889}},
    {"Krasnodar center", geo::GeoPoint{45.081667, 38.95}},
    {"Krasnodar-Pashkovkiy", geo::GeoPoint{45.032222, 39.178055}},
    {"Krasnogvardeyskoye", geo::GeoPoint{45.571667, 34.286944}},
    {"Krymsk", geo::GeoPoint{44.9625, 38.003056}},
    {"Maykop", geo::GeoPoint{44.678056, 40.048889}},
    {"Novorossiysk", geo::GeoPoint{44.663889, 37.786111}},
    {"Oktyabrskoye", geo::GeoPoint{45.322222, 34.09}},
    {"Razdolnoye", geo::GeoPoint{45.733333, 33.524722}},
    {"Saki", geo::GeoPoint{45.0825, 33.599167}},
    {"Simferopol", geo::GeoPoint{45.035555, 33.984166}},
    {"Sukhumi", geo::GeoPoint{42.861944, 41.141944}},
    {"( Kuznetsov )", std::nullopt},
}};

const std::array<int, 11> kUkraineGroup = {3, 4, 7, 8, 9, 10, 13, 17, 18, 19, 20};
const std::array<int, 11> kRussiaGroup = {1, 2, 5, 6, 11, 12, 14, 15, 16, 21, 22};

std::optional<std::size_t> RangeItemFor(int rangeKm) {
  const std::string digits = std::to_string(rangeKm);
  for (std::size_t i = 0; i < kRangeItemsKm.size(); ++i) {
    if (std::to_string(kRangeItemsKm[i]).starts_with(digits)) return i;
  }
  return std::nullopt;
}

const std::array<RadarTypeNominal, protocol::kRadarTypeCount> kRadarTypeNominals = {{
    {"6", false},   {"90", true},  {"170", true}, {"5", false},  {"35", true},  {"90", true},
    {"4", false},   {"6.5", false}, {"300", true}, {"18", true},  {"300", true}, {"100", true},
    {"35", true},   {"4", false},  {"75", true},  {"30", true},  {"160", true}, {"120", true},
    {"180", true},  {"8", false},  {"8", false},  {"25", true},  {"5", false},
}};

}  // namespace vantor::server
