// The drawing file: loaded as the scope loads it, saved, and loaded again.
// Every point is a finite number pair, and a save keeps every point.
#include <cmath>
#include <cstdint>

#include "FuzzSupport.h"
#include "vantor/geo/DrawingList.h"

using namespace vantor;

namespace {

bool Close(double a, double b) { return std::fabs(a - b) <= 1e-6 + std::fabs(a) * 1e-15; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto file = fuzz::WriteScratchFile("dessin.dat", text);
  geo::DrawingList loaded;
  FUZZ_CHECK(loaded.LoadDrawing(file));
  for (const geo::GeoPoint& point : loaded.Points()) {
    FUZZ_CHECK(std::isfinite(point.latitude) && std::isfinite(point.longitude));
  }
  // Drawing on top of what was loaded, then undoing some of it.
  loaded.StartDrawing();
  loaded.AddDrawingPoint(44.5, 38.25);
  FUZZ_CHECK(loaded.UndoDrawingPoint());
  loaded.StopDrawing();
  FUZZ_CHECK(!loaded.UndoDrawingPoint());

  const auto saved = fuzz::ScratchFolder() / "saved.dat";
  FUZZ_CHECK(loaded.SaveDrawing(saved) == geo::DrawingSaveStatus::Saved);
  geo::DrawingList reloaded;
  FUZZ_CHECK(reloaded.LoadDrawing(saved));
  FUZZ_CHECK(reloaded.Size() == loaded.Size());
  for (std::size_t i = 0; i < loaded.Size(); ++i) {
    FUZZ_CHECK(Close(loaded.Points()[i].latitude, reloaded.Points()[i].latitude));
    FUZZ_CHECK(Close(loaded.Points()[i].longitude, reloaded.Points()[i].longitude));
  }
  return 0;
}
