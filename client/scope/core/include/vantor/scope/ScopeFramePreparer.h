#pragma once
// Prepares the scope's frames: projects every layer for the view, decides
// which contacts the coalition sees, their labels and the runways' approach
// ends, under the contact lock. This is where the scope writes to the
// document: each contact's screen point (screenX, screenY) for the tools and
// CountContactsNear, and the primary runways' activeEndFlipped for the
// approach view. The paint pass then only draws the frame.

#include <memory>
#include <optional>
#include <vector>

#include "vantor/geo/Geodesy.h"
#include "vantor/scope/ApproachGeometry.h"
#include "vantor/scope/ConflictAlert.h"
#include "vantor/scope/LabelCrowding.h"
#include "vantor/scope/LabelDeclutter.h"
#include "vantor/scope/MeasureLine.h"
#include "vantor/scope/ScopeFrame.h"
#include "vantor/scope/ScopeLabels.h"
#include "vantor/scope/ScopeProjection.h"

namespace vantor::geo {
class ElevationGrid;
}
namespace vantor::model {
class CRivakDoc;
struct CContact;
struct CAirfield;
struct ClientSettings;
}  // namespace vantor::model

namespace vantor::scope {

class CoastlineScreenCache;
class ScopeGeometry;
class SensorVisibility;
struct ScopeMapData;
struct ScopeOptions;
struct ScopeStatus;

// What one frame is prepared from.
struct FrameSources {
  model::CRivakDoc& document;
  const model::ClientSettings& settings;
  ScopeGeometry& geometry;  // its coastline and paint bookkeeping move on
  const ScopeOptions& options;
  const ScopeStatus& status;
  const ScopeMapData& map;
  const std::vector<geo::GeoPoint>& markers;
  std::optional<MeasureLine> measure;
  int width = 0;  // the picture
  int height = 0;
  LabelMetrics labels;  // the painter's label font at the settings' size
};

// Friendly aircraft lower above the terrain than this (about 500 ft), or
// slower, are taking off, landing or on the ground, where streams and
// aprons are close by design: they take no part in conflict alerts.
inline constexpr double kAlertFloorAboveGroundM = 150.0;
inline constexpr double kAirborneSpeedKmh = 100.0;

class ScopeFramePreparer {
 public:
  ScopeFramePreparer();
  ~ScopeFramePreparer();
  ScopeFramePreparer(const ScopeFramePreparer&) = delete;
  ScopeFramePreparer& operator=(const ScopeFramePreparer&) = delete;

  // The next frame; valid until the following call.
  const ScopeFrame& Prepare(const FrameSources& sources);
  const ScopeFrame& Frame() const { return frame_; }
  // How the painter measures label texts, for placing labels apart; without
  // it their widths are estimated.
  void SetTextWidth(TextWidthFunction measure) { textWidth_ = std::move(measure); }

  // The approach of the centred airfield, from the last frame that built one
  // (airfield mode); kept until a frame builds another.
  const std::optional<ApproachGeometry>& Approach() const { return approach_; }
  // How often the coastline has been projected (only when the view changes).
  int CoastlineProjections() const { return coastlineProjections_; }

 private:
  void PrepareCoastline(const FrameSources& sources, const ScopeProjection& projection);
  void PrepareRunways(const FrameSources& sources, const ScopeProjection& projection);
  void PrepareRunway(const FrameSources& sources, const ScopeProjection& projection, model::CAirfield& runway);
  std::optional<ScreenCircle> AirfieldRadarCircle(const FrameSources& sources, const ScopeProjection& projection,
                                                  const model::CAirfield& runway) const;
  void PrepareContacts(const FrameSources& sources, const ScopeProjection& projection);
  void PrepareAwacs(const FrameSources& sources, const ScopeProjection& projection);
  void DeclutterLabels(const FrameSources& sources);
  void PrepareConflicts();
  static bool IsAirborneFriendly(const model::CContact& contact, const geo::ElevationGrid& terrain);
  static QString ConflictName(const model::CContact& contact, const std::optional<QString>& callsign,
                              bool invertCallsign);

  ScopeFrame frame_;
  std::unique_ptr<CoastlineScreenCache> coastlineCache_;
  // What the coastline cache was projected for.
  std::optional<ScopeScreen> coastlineScreen_;
  GeoPoint coastlineCentre_;
  int coastlinePixelsPerKm_ = -1;
  int coastlineProjections_ = 0;
  std::optional<ApproachGeometry> approach_;
  LabelCrowding crowding_;
  // Kept between frames: the declutter remembers its places, and the
  // buffers keep their room.
  LabelDeclutter declutter_;
  TextWidthFunction textWidth_;
  std::vector<DeclutterRequest> declutterRequests_;
  std::vector<QPoint> declutterSymbols_;
  std::vector<std::size_t> declutterOwners_;
  ConflictDetector conflictDetector_;
  struct ConflictContact {
    ScreenPoint at;
    QString name;
  };
  std::vector<ConflictTrack> conflictTracks_;
  std::vector<ConflictContact> conflictContacts_;
};

}  // namespace vantor::scope
