#pragma once
// The shading the console's bezels share: the scope's frame and the side
// panels' frames are each shaded once as a whole master image with these
// pieces, so both look cut from the same metal.

#include <QRgb>

namespace vantor::scope::bezel {

// Deterministic grain in [-spread / 2, spread / 2] per pixel, so the metal
// does not look flat and shows no seams where pieces meet.
int Grain(int x, int y, int spread);

// The colour (r, g, b) lit by `light` (1 = as it is), each channel within 0 ... 255.
QRgb Shade(int r, int g, int b, double light);

// A rounded rectangle opening: centre, half sizes of its straight part, corner radius.
struct Opening {
  double centreX;
  double centreY;
  double halfWidth;
  double halfHeight;
  double radius;
};

// Signed distance from (x, y) to the opening: positive on the bezel,
// negative inside; (normalX, normalY) points out of the opening.
double OpeningDistance(const Opening& opening, double x, double y, double& normalX, double& normalY);

// The master's outer edge nearest to pixel (x, y): its distance in pixels
// and its outward normal.
struct OuterEdge {
  int distance;
  double normalX;
  double normalY;
};
OuterEdge NearestOuterEdge(int x, int y, int width, int height);

}  // namespace vantor::scope::bezel
