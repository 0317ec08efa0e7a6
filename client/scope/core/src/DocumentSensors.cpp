#include "vantor/scope/DocumentSensors.h"

#include <QString>

#include <mutex>

#include "vantor/model/CRivakDoc.h"

namespace vantor::scope {

SensorPicture CollectSensors(const model::CRivakDoc& document, int side) {
  const std::size_t s = side == 0 ? 0 : 1;
  const protocol::ConfigBlock& config = document.State().configBlock;
  std::lock_guard guard(document.ContactTableLock());

  SensorPicture picture;
  for (int i = 0; i < protocol::kAirfieldCount; ++i) {
    const auto index = static_cast<std::size_t>(i);
    if (config.airfieldRadarOn[s][index] == 0) continue;
    AirfieldRadar radar;
    radar.index = i;
    radar.rangeKm = config.airfieldRadarRangeKm[s][index];
    const int menuId = model::kAirportMenuFirstId + i;
    if (menuId == model::kCarrierMenuId) {
      double latitude = 0.0;
      double longitude = 0.0;
      document.FindCarrierPosition(latitude, longitude);
      if (latitude == 0.0 || longitude == 0.0) continue;
      radar.position = {latitude, longitude};
      radar.elevationM = 0.0;
    } else {
      QString name;
      if (!document.FindAirfieldByMenuId(menuId, name, radar.position.latitude, radar.position.longitude,
                                         &radar.elevationM))
        continue;
    }
    picture.airfieldRadars.push_back(radar);
  }

  for (int n = 0; n < kRadarSiteSlots; ++n) {
    const model::CContact* site = document.FindRadarSite(n);
    if (site == nullptr) continue;
    picture.radarSites.push_back(RadarSiteSensor{{site->latitude, site->longitude},
                                                 site->altitude,
                                                 site->heading,
                                                 site->sectorDeg,
                                                 site->detectionRangeKm,
                                                 site->altitudeLimitKm});
  }

  const model::AwacsSlot slot = model::GetAwacsSlot(config, side);
  picture.awacs = AwacsSensor{{slot.latitude, slot.longitude}, slot.mode, config.awacsRangeKm};
  return picture;
}

std::optional<GeoPoint> DocumentCentringSources::CarrierPosition() const {
  GeoPoint position;
  if (!document_.FindCarrierPosition(position.latitude, position.longitude)) return std::nullopt;
  return position;
}

std::optional<GeoPoint> DocumentCentringSources::RadarSitePosition(int radarNumber) const {
  std::lock_guard guard(document_.ContactTableLock());
  const model::CContact* site = document_.FindRadarSite(radarNumber);
  if (site == nullptr) return std::nullopt;
  return GeoPoint{site->latitude, site->longitude};
}

}  // namespace vantor::scope
