#pragma once
// Shared by the side panels' tests: a button panel's channel state to read,
// positions at a chord distance from a point, and picture probes.

#include <QImage>
#include <QRect>

#include <array>
#include <cstring>
#include <span>
#include <string>

#include "vantor/geo/GeoPoint.h"
#include "vantor/shell/ChannelStateSource.h"

namespace vantor::shell::test {

class FakeChannels final : public ChannelStateSource {
 public:
  FakeChannels() {
    for (PxrChannelInfo& record : records) {
      record = {};
      std::memcpy(record.name, "Not used", 9);
    }
    assigned.fill(0);
  }
  // Record `index` becomes channel `id` called `name` (cut to the field).
  void Name(std::size_t index, int id, const std::string& name) {
    records[index].id = id;
    std::memset(records[index].name, 0, sizeof records[index].name);
    std::memcpy(records[index].name, name.data(), std::min(name.size(), sizeof records[index].name));
  }
  int CurrentSlot() const override { return current; }
  int SlotChannel(int slot) const override { return assigned[static_cast<std::size_t>(slot)]; }
  std::span<const PxrChannelInfo> ChannelRecords() const override { return records; }

  std::array<PxrChannelInfo, 50> records{};
  std::array<int, kChannelSlotCount> assigned{};
  int current = 0;
};

// The position `km` away from `from` along the meridian (north) or the
// parallel (east), measured as the panels measure: the chord through a
// sphere of 6366 km, angles converted with 0.01745329.
geo::GeoPoint NorthOf(geo::GeoPoint from, double km);
geo::GeoPoint EastOf(geo::GeoPoint from, double km);

// The greatest green value of the pixels in `area` whose red and blue are 0
// (text in the panels' greens, antialiased on black).
int BrightestGreen(const QImage& image, const QRect& area);
// Pixels of `area` that are not black.
int Lit(const QImage& image, const QRect& area);
// With VANTOR_PANELS_TEST_DUMP set to a folder, saves the picture there as
// <suite>.<test>.<n>.png; returns it.
const QImage& Dumped(const QImage& image);

}  // namespace vantor::shell::test
