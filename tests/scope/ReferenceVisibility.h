#pragma once
// The coverage test written out plainly, step by step as the client's rules
// state it, with the plain terrain walk: the yardstick for the optimised
// SensorVisibility.

#include "vantor/geo/ElevationGrid.h"
#include "vantor/scope/ScopeProjection.h"
#include "vantor/scope/SensorVisibility.h"

namespace vantor::scope::test {

using geo::ElevationGrid;

double ReferenceChordKm(double lat1, double lon1, double lat2, double lon2);
double ReferenceHorizonKm(double targetAltitude, double baseAltitude, double antenna);

bool ReferenceIsContactVisible(const ElevationGrid& grid, const scope::ScopeProjection& projection,
                               const scope::SensorPicture& sensors, const scope::VisibilityTarget& target);

}  // namespace vantor::scope::test
