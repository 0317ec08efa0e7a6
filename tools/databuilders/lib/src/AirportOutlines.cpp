#include "vantor/tools/AirportOutlines.h"

#include <charconv>

namespace vantor::tools {
namespace {

using geo::BearingRad;
using geo::Destination;
using geo::GeoPoint;
using geo::kPi;
using geo::Runway;

void AppendDegrees(std::string& text, double value) {
  char buffer[32];
  text.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6).ptr);
}

// A closed rectangle of `widthKm` around the segment from `a` to `b`.
Polyline Strip(GeoPoint a, GeoPoint b, double widthKm) {
  const double along = BearingRad(a, b);
  const double right = along + kPi / 2;
  const double half = widthKm / 2;
  const GeoPoint a1 = Destination(a, right, half), a2 = Destination(a, right, -half);
  const GeoPoint b1 = Destination(b, right, half), b2 = Destination(b, right, -half);
  return {a1, b1, b2, a2, a1};
}

}  // namespace

double RunwayWidthKm(const Runway& runway) {
  const double length = runway.LengthKm();
  if (length < 2.2) return 0.045;
  if (length < 3.0) return 0.050;
  return 0.060;
}

std::vector<Polyline> RunwayOutlines(const Runway& runway) {
  const double direction = BearingRad(runway.end1, runway.end2);
  const double right = direction + kPi / 2;
  const double length = runway.LengthKm();
  const double width = RunwayWidthKm(runway);
  std::vector<Polyline> outlines;
  outlines.push_back(Strip(runway.end1, runway.end2, width));
  // The taxiway runs the runway's length beside it; links join them at both
  // ends and in the middle, from runway edge to taxiway edge.
  const GeoPoint taxiStart = Destination(runway.end1, right, kTaxiwayOffsetKm);
  const GeoPoint taxiEnd = Destination(runway.end2, right, kTaxiwayOffsetKm);
  outlines.push_back(Strip(taxiStart, taxiEnd, kTaxiwayWidthKm));
  for (double at : {0.0, 0.5, 1.0}) {
    const double inset = at == 0.0 ? kTaxiwayWidthKm / 2 : (at == 1.0 ? -kTaxiwayWidthKm / 2 : 0.0);
    const GeoPoint onRunway = Destination(runway.end1, direction, at * length + inset);
    const GeoPoint edge = Destination(onRunway, right, width / 2);
    const GeoPoint taxiEdge = Destination(onRunway, right, kTaxiwayOffsetKm - kTaxiwayWidthKm / 2);
    outlines.push_back(Strip(edge, taxiEdge, kTaxiwayWidthKm));
  }
  return outlines;
}

std::string AirportFileText(std::span<const Runway> runways) {
  std::string text = "# Vantor theatre airfields: runways, parallel taxiways and their links (latitude, longitude)\n";
  for (const Runway& runway : runways) {
    for (const Polyline& polyline : RunwayOutlines(runway)) {
      for (const GeoPoint& point : polyline) {
        AppendDegrees(text, point.latitude);
        text += '\t';
        AppendDegrees(text, point.longitude);
        text += '\n';
      }
      text += "0\t0\n";
    }
  }
  return text;
}

}  // namespace vantor::tools
