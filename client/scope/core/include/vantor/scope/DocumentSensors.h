#pragma once
// The scope's questions to the document: where the coalition's sensors are
// for a repaint, and where the carrier and the radar sites are for the
// centring commands.

#include "vantor/scope/ScopeGeometry.h"
#include "vantor/scope/SensorVisibility.h"

namespace vantor::model {
class CRivakDoc;
}

namespace vantor::scope {

inline constexpr int kRadarSiteSlots = 50;

// Collects, under the contact lock, the sensors of coalition `side` (0 Blue,
// 1 Red) from the document and the received configuration: airfield radars
// in service (the carrier's only while a contact is the carrier), radar
// sites 0 ... 49 and the AWACS slot with "AwacsRange".
SensorPicture CollectSensors(const model::CRivakDoc& document, int side);

class DocumentCentringSources final : public CentringSources {
 public:
  explicit DocumentCentringSources(const model::CRivakDoc& document) : document_(document) {}
  std::optional<GeoPoint> CarrierPosition() const override;
  std::optional<GeoPoint> RadarSitePosition(int radarNumber) const override;

 private:
  const model::CRivakDoc& document_;
};

}  // namespace vantor::scope
