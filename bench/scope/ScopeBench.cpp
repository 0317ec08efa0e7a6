// A full repaint (the frame prepared, then painted) of a 1920 x 1080 scope
// with 1,000 visible contacts, their labels, history trails and radar
// coverage, on the installed map data when it is there (build*/bin). The
// coastline is projected once: the frames after the first do not touch it
// while the view stays.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

#include "vantor/geo/Sphere.h"
#include "vantor/missiongen/Mission.h"
#include "vantor/model/CRivakDoc.h"
#include "vantor/model/ClientSettings.h"
#include "vantor/scope/ConflictAlert.h"
#include "vantor/scope/LabelDeclutter.h"
#include "vantor/scope/ScopeFramePreparer.h"
#include "vantor/scope/ScopeGeometry.h"
#include "vantor/scope/ScopeMapData.h"
#include "vantor/scope/ScopePainter.h"
#include "vantor/scope/ScopeStatus.h"

using namespace vantor;

namespace {

std::filesystem::path DataFolder() {
  if (const char* bin = std::getenv("VANTOR_BIN_DIR")) return bin;
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path("bin") : self.parent_path().parent_path() / "bin";
}

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kContacts = 1000;

// A mission around Krasnodar: friendly and hostile aircraft with full
// trails, radar sites of both sides with coverage, a few ships; Blue's
// Krasnodar radar and its own radar sites see them.
struct Mission {
  model::ClientState state;
  std::int64_t now = 1'000'000;
  model::CRivakDoc document{state, [this] { return now; }};
  model::ClientSettings settings;
  scope::ScopeGeometry geometry;
  scope::ScopeOptions options;
  scope::ScopeStatus status;
  std::unique_ptr<scope::ScopeMapData> map;
  std::vector<geo::GeoPoint> markers;

  Mission() {
    const std::filesystem::path folders[] = {DataFolder()};
    map = scope::ScopeMapData::Load(folders);
    map->drawingFile.clear();
    state.isBlue = 1;
    state.configBlock.airfieldRadarOn[0].fill(1);
    state.configBlock.airfieldRadarRangeKm[0].fill(300);
    state.configBlock.awacsRangeKm = 400;
    state.configBlock.awacsMode[0] = 9;
    state.configBlock.awacsLatitude[0] = 45.3;
    state.configBlock.awacsLongitude[0] = 38.6;
    options.coverageShown = true;
    options.labelsShown = true;
    settings.showOldPositions = 1;
    settings.showRose = 1;

    const scope::PixelRect rect{0, 0, kWidth, kHeight};
    geometry.UpdateGeometry(rect, rect);
    geometry.SetRangeKm(200);
    struct NoSources final : scope::CentringSources {
      std::optional<geo::GeoPoint> CarrierPosition() const override { return std::nullopt; }
      std::optional<geo::GeoPoint> RadarSitePosition(int) const override { return std::nullopt; }
    } sources;
    geometry.OnCentringCommand(scope::kHomeAirfieldCommand, sources);

    std::mt19937 random(11);
    std::uniform_real_distribution<double> latitude(44.6, 45.55), longitude(37.7, 40.2);
    std::uniform_real_distribution<double> altitude(1500.0, 9000.0), heading(0.0, 6.28), speed(150.0, 950.0);
    struct Track {
      int id;
      std::string name;
      double lat, lon, alt, hdg, spd;
      int friendly;
      char kind;
    };
    std::vector<Track> tracks;
    for (int i = 0; i < kContacts; ++i) {
      Track t{16777216 + i, "", latitude(random), longitude(random), altitude(random), heading(random), speed(random),
              i % 2,        'B'};
      if (i % 25 == 0) {  // radar sites, some with a Patriot's sector
        t.kind = 'A';
        t.alt = 100.0;
        t.spd = 0.0;
        t.name = i % 50 == 0 ? "PATRIOT STR" : "S-300PS 40B6MD SR";
      } else if (i % 25 == 1) {  // ships
        t.kind = 'C';
        t.alt = 0.0;
        t.spd = 40.0;
        t.friendly = 1;
        t.name = "Frigate";
      } else {
        t.name = t.friendly ? "F-16C (Viper " + std::to_string(i) + ")" : "Su-27";
      }
      tracks.push_back(t);
    }
    // Six reports 6 s apart: five history points each.
    for (int round = 0; round < 6; ++round) {
      for (Track& t : tracks) {
        document.UpdateContact(t.id, t.name, t.lat, t.lon, t.alt, t.hdg, t.friendly, t.kind, t.spd);
        t.lat += 0.01 * std::cos(t.hdg);
        t.lon += 0.014 * std::sin(t.hdg);
        t.alt += 30.0;
      }
      now += 6;
    }
  }

  scope::FrameSources Sources(scope::ScopePainter& painter) {
    const scope::LabelMetrics labels = painter.MeasureLabels(settings.fontSize);
    return {document, settings, geometry, options, status, *map, markers, std::nullopt, kWidth, kHeight, labels};
  }
};

// One repaint as the view does it: the frame prepared, then painted.
void Repaint(Mission& mission, scope::ScopeFramePreparer& preparer, scope::ScopePainter& painter, QImage& picture) {
  painter.Paint(picture, preparer.Prepare(mission.Sources(painter)));
}

int VisibleContacts(Mission& mission, const QImage& picture) {
  // Every contact that got a symbol on screen.
  int onScreen = 0;
  for (const model::CContact& contact : mission.document.Contacts())
    if (picture.rect().contains(contact.screenX, contact.screenY)) ++onScreen;
  return onScreen;
}

void FullPaint1920x1080(benchmark::State& state) {
  Mission mission;
  scope::ScopeFramePreparer preparer;
  scope::ScopePainter painter;
  QImage picture(kWidth, kHeight, QImage::Format_RGB32);
  Repaint(mission, preparer, painter, picture);  // the first frame projects the coastline
  for (auto _ : state) {
    Repaint(mission, preparer, painter, picture);
    benchmark::DoNotOptimize(picture.constBits());
  }
  // SCOPE_BENCH_PNG=file keeps the picture for a look.
  if (const char* file = std::getenv("SCOPE_BENCH_PNG")) picture.save(QString::fromLocal8Bit(file));
  state.counters["contacts_on_screen"] = VisibleContacts(mission, picture);
  state.counters["contacts_shown"] = static_cast<double>(preparer.Frame().contacts.size());
  // Stays 1: frames without a view change reuse the projected coastline.
  state.counters["coastline_projections"] = preparer.CoastlineProjections();
}
BENCHMARK(FullPaint1920x1080)->Unit(benchmark::kMillisecond);

void FullPaintWithViewChange(benchmark::State& state) {
  Mission mission;
  scope::ScopeFramePreparer preparer;
  scope::ScopePainter painter;
  QImage picture(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    mission.geometry.MarkCoastlineStale();  // as a resize or a re-centring does
    Repaint(mission, preparer, painter, picture);
    benchmark::DoNotOptimize(picture.constBits());
  }
  state.counters["coastline_projections"] = preparer.CoastlineProjections();
}
BENCHMARK(FullPaintWithViewChange)->Unit(benchmark::kMillisecond);

// The worst case for the label texts: every contact's altitude text changes
// between two paints, so every second line is drawn afresh.
void FullPaintEveryLabelChanging(benchmark::State& state) {
  Mission mission;
  scope::ScopeFramePreparer preparer;
  scope::ScopePainter painter;
  QImage picture(kWidth, kHeight, QImage::Format_RGB32);
  Repaint(mission, preparer, painter, picture);
  for (auto _ : state) {
    state.PauseTiming();
    for (model::CContact& contact : mission.document.Contacts()) contact.altitude += 10.0;
    state.ResumeTiming();
    Repaint(mission, preparer, painter, picture);
    benchmark::DoNotOptimize(picture.constBits());
  }
}
BENCHMARK(FullPaintEveryLabelChanging)->Unit(benchmark::kMillisecond);

// The two halves of a repaint apart: the frame's decisions (projection,
// visibility, labels) and the drawing of a prepared frame.
void PrepareFrameOnly(benchmark::State& state) {
  Mission mission;
  scope::ScopeFramePreparer preparer;
  scope::ScopePainter painter;
  QImage picture(kWidth, kHeight, QImage::Format_RGB32);
  Repaint(mission, preparer, painter, picture);
  for (auto _ : state) benchmark::DoNotOptimize(&preparer.Prepare(mission.Sources(painter)));
}
BENCHMARK(PrepareFrameOnly)->Unit(benchmark::kMillisecond);

// The decisions with the labels placed apart: what the declutter adds.
void PrepareFrameDeclutteredOnly(benchmark::State& state) {
  Mission mission;
  scope::ScopeFramePreparer preparer;
  scope::ScopePainter painter;
  preparer.SetTextWidth(painter.TextWidth());
  mission.settings.declutter = true;
  QImage picture(kWidth, kHeight, QImage::Format_RGB32);
  Repaint(mission, preparer, painter, picture);
  for (auto _ : state) benchmark::DoNotOptimize(&preparer.Prepare(mission.Sources(painter)));
}
BENCHMARK(PrepareFrameDeclutteredOnly)->Unit(benchmark::kMillisecond);

void PaintPreparedFrameOnly(benchmark::State& state) {
  Mission mission;
  scope::ScopeFramePreparer preparer;
  scope::ScopePainter painter;
  QImage picture(kWidth, kHeight, QImage::Format_RGB32);
  Repaint(mission, preparer, painter, picture);
  for (auto _ : state) {
    painter.Paint(picture, preparer.Frame());
    benchmark::DoNotOptimize(picture.constBits());
  }
}
BENCHMARK(PaintPreparedFrameOnly)->Unit(benchmark::kMillisecond);

// Label boxes of the contacts on the picture, as the painter lays them out.
int OverlappingLabelPairs(const scope::ScopeFrame& frame, scope::ScopePainter& painter,
                          const scope::LabelMetrics& metrics) {
  const scope::TextWidthFunction measure = painter.TextWidth();
  const QRect picture(0, 0, frame.width, frame.height);
  std::vector<QRect> boxes;
  for (const scope::FrameContact& contact : frame.contacts) {
    if (!contact.label || !picture.contains(contact.at.x, contact.at.y)) continue;
    const scope::ContactLabel& label = *contact.label;
    boxes.push_back(scope::LabelBox(label.place, label.Width(measure, metrics), label.LineCount(), metrics.fontSize));
  }
  return scope::CountOverlappingPairs(boxes);
}

// The full repaint with the labels placed apart: the 15 ms budget. Reports
// the label overlaps on the picture without and with the declutter.
void FullPaintDecluttered1920x1080(benchmark::State& state) {
  Mission mission;
  scope::ScopeFramePreparer preparer;
  scope::ScopePainter painter;
  preparer.SetTextWidth(painter.TextWidth());
  QImage picture(kWidth, kHeight, QImage::Format_RGB32);
  const scope::LabelMetrics metrics = painter.MeasureLabels(mission.settings.fontSize);
  Repaint(mission, preparer, painter, picture);
  const int before = OverlappingLabelPairs(preparer.Frame(), painter, metrics);
  mission.settings.declutter = true;
  Repaint(mission, preparer, painter, picture);
  for (auto _ : state) {
    Repaint(mission, preparer, painter, picture);
    benchmark::DoNotOptimize(picture.constBits());
  }
  if (const char* file = std::getenv("SCOPE_BENCH_DECLUTTER_PNG")) picture.save(QString::fromLocal8Bit(file));
  state.counters["label_overlaps_plain"] = before;
  state.counters["label_overlaps_decluttered"] = OverlappingLabelPairs(preparer.Frame(), painter, metrics);
}
BENCHMARK(FullPaintDecluttered1920x1080)->Unit(benchmark::kMillisecond);

// Every aid on: the declutter, bullseye and BRAA lines on the hostile
// labels (taller, wider labels to place), the conflict alert.
void FullPaintWithAllAids1920x1080(benchmark::State& state) {
  Mission mission;
  scope::ScopeFramePreparer preparer;
  scope::ScopePainter painter;
  preparer.SetTextWidth(painter.TextWidth());
  QImage picture(kWidth, kHeight, QImage::Format_RGB32);
  mission.settings.declutter = true;
  mission.settings.bullseye = true;
  mission.settings.bullseyeLatitude = 45.0;
  mission.settings.bullseyeLongitude = 39.0;
  mission.settings.showBraa = true;
  mission.settings.conflictAlert = true;
  for (const model::CContact& contact : mission.document.Contacts())
    if (contact.friendly && !contact.radarSite && !contact.altSymbol) {
      mission.options.braaFriendly = contact.id;
      break;
    }
  Repaint(mission, preparer, painter, picture);
  for (auto _ : state) {
    Repaint(mission, preparer, painter, picture);
    benchmark::DoNotOptimize(picture.constBits());
  }
  if (const char* file = std::getenv("SCOPE_BENCH_AIDS_PNG")) picture.save(QString::fromLocal8Bit(file));
  const scope::LabelMetrics metrics = painter.MeasureLabels(mission.settings.fontSize);
  state.counters["label_overlaps_decluttered"] = OverlappingLabelPairs(preparer.Frame(), painter, metrics);
  state.counters["conflicts"] = static_cast<double>(preparer.Frame().conflicts.size());
}
BENCHMARK(FullPaintWithAllAids1920x1080)->Unit(benchmark::kMillisecond);

// The mission generator's 1,000-object mission after 35 s, as Blue sees it
// at 300 km: the label overlaps on the picture without and with the
// declutter, and the decluttered repaint.
void MissionGenerator1000At300Km(benchmark::State& state) {
  Mission mission;
  mission.document.ClearContacts();
  missiongen::Mission generated(missiongen::MissionOptions{1, 5.0, 1000});
  for (int batch = 0; batch < 175; ++batch) generated.NextBatch();
  for (const auto& object : generated.Objects()) {
    const missiongen::MotionState& motion = object->state;
    mission.document.UpdateContact(object->id, object->name, motion.position.latitude, motion.position.longitude,
                                   motion.altitudeM, motion.headingRad,
                                   object->coalition == missiongen::Coalition::Blue ? 1 : 0, object->classLetter,
                                   motion.speedKmh);
  }
  mission.geometry.SetRangeKm(300);
  mission.options.coverageShown = false;
  scope::ScopeFramePreparer preparer;
  scope::ScopePainter painter;
  preparer.SetTextWidth(painter.TextWidth());
  QImage picture(kWidth, kHeight, QImage::Format_RGB32);
  const scope::LabelMetrics metrics = painter.MeasureLabels(mission.settings.fontSize);
  Repaint(mission, preparer, painter, picture);
  const int before = OverlappingLabelPairs(preparer.Frame(), painter, metrics);
  if (const char* file = std::getenv("SCOPE_BENCH_MISSION_PLAIN_PNG")) picture.save(QString::fromLocal8Bit(file));
  mission.settings.declutter = true;
  Repaint(mission, preparer, painter, picture);
  for (auto _ : state) {
    Repaint(mission, preparer, painter, picture);
    benchmark::DoNotOptimize(picture.constBits());
  }
  if (const char* file = std::getenv("SCOPE_BENCH_MISSION_PNG")) picture.save(QString::fromLocal8Bit(file));
  int labelled = 0;
  for (const scope::FrameContact& contact : preparer.Frame().contacts)
    if (contact.label && picture.rect().contains(contact.at.x, contact.at.y)) ++labelled;
  state.counters["labels_on_picture"] = labelled;
  state.counters["label_overlaps_plain"] = before;
  state.counters["label_overlaps_decluttered"] = OverlappingLabelPairs(preparer.Frame(), painter, metrics);
}
BENCHMARK(MissionGenerator1000At300Km)->Unit(benchmark::kMillisecond);

// The conflict search alone over 1,000 friendly aircraft: spread over the
// theatre, and packed into a 60 km circle.
void ConflictSearch1000Friendly(benchmark::State& state) {
  std::mt19937 random(23);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const double spreadKm = static_cast<double>(state.range(0));
  std::vector<scope::ConflictTrack> tracks;
  for (int i = 0; i < 1000; ++i) {
    const geo::GeoPoint at =
        geo::Destination({45.0, 38.9}, unit(random) * geo::kTwoPi, std::sqrt(unit(random)) * spreadKm);
    tracks.push_back({i, at, 1000.0 + unit(random) * 8000.0, unit(random) * geo::kTwoPi, 200.0 + unit(random) * 800.0});
  }
  scope::ConflictDetector detector;
  std::size_t found = 0;
  for (auto _ : state) {
    found = detector.Find(tracks).size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["conflicts"] = static_cast<double>(found);
}
BENCHMARK(ConflictSearch1000Friendly)->Arg(300)->Arg(60)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);  // fonts need it
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
