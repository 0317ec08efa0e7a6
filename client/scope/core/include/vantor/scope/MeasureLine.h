#pragma once
// The range-and-bearing line, from where the right button went down to the
// cursor: held by the tools, measured when a frame is prepared.

#include <QPoint>

namespace vantor::scope {

struct MeasureLine {
  QPoint anchor;
  QPoint cursor;
};

}  // namespace vantor::scope
