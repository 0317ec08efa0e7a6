#include "vantor/scope/BezelShading.h"

#include <QColor>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vantor::scope::bezel {

int Grain(int x, int y, int spread) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return static_cast<int>((h >> 24) % static_cast<std::uint32_t>(spread)) - spread / 2;
}

QRgb Shade(int r, int g, int b, double light) {
  auto channel = [light](int c) { return std::clamp(static_cast<int>(std::lround(c * light)), 0, 255); };
  return qRgba(channel(r), channel(g), channel(b), 255);
}

double OpeningDistance(const Opening& opening, double x, double y, double& normalX, double& normalY) {
  const double px = x - opening.centreX, py = y - opening.centreY;
  const double qx = std::fabs(px) - opening.halfWidth, qy = std::fabs(py) - opening.halfHeight;
  const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
  const double outside = std::hypot(ox, oy);
  if (outside > 0.0) {
    normalX = std::copysign(ox / outside, px);
    normalY = std::copysign(oy / outside, py);
  } else if (qx > qy) {
    normalX = std::copysign(1.0, px);
    normalY = 0.0;
  } else {
    normalX = 0.0;
    normalY = std::copysign(1.0, py);
  }
  return outside + std::min(std::max(qx, qy), 0.0) - opening.radius;
}

OuterEdge NearestOuterEdge(int x, int y, int width, int height) {
  const int toLeft = x, toTop = y, toRight = width - 1 - x, toBottom = height - 1 - y;
  const int nearest = std::min({toLeft, toTop, toRight, toBottom});
  if (nearest == toTop) return {nearest, 0.0, -1.0};
  if (nearest == toLeft) return {nearest, -1.0, 0.0};
  if (nearest == toBottom) return {nearest, 0.0, 1.0};
  return {nearest, 1.0, 0.0};
}

}  // namespace vantor::scope::bezel
