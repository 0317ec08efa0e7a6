#pragma once
// The radar scope: the client's main view of the document. It owns the
// scope's geometry, options, map data and tools, prepares a frame from the
// contact table and paints it every 500 ms, and tells the rest of the client
// what the controller did on it through its signals.

#include <QImage>
#include <QPoint>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "vantor/scope/ApproachGeometry.h"
#include "vantor/scope/CursorReadoutWidget.h"
#include "vantor/scope/ScopeFrame.h"
#include "vantor/scope/ScopeFramePreparer.h"
#include "vantor/scope/ScopeGeometry.h"
#include "vantor/scope/ScopePainter.h"
#include "vantor/scope/ScopeStatus.h"
#include "vantor/scope/ScopeTools.h"

namespace vantor {
class SettingsStore;
}
namespace vantor::model {
class CRivakDoc;
struct ClientSettings;
}  // namespace vantor::model

namespace vantor::scope {

struct ScopeMapData;

inline constexpr int kScopeTimerMs = 500;
// Registry values of the scope in section "config".
inline constexpr const char* kViewCircleSetting = "ViewCircle";
inline constexpr const char* kIntensitySetting = "Intensity";

class CRivakView : public QWidget {
  Q_OBJECT
 public:
  struct Environment {
    model::CRivakDoc& document;
    model::ClientSettings& settings;                 // read for every frame: the settings dialog changes them
    SettingsStore* store = nullptr;                  // "ViewCircle" and "Intensity"; none: defaults, nothing saved
    std::vector<std::filesystem::path> dataFolders;  // where the map files are looked up, in order
  };

  explicit CRivakView(Environment environment, QWidget* parent = nullptr);
  // Stores the range-ring option and saves the drawing.
  ~CRivakView() override;

  // --- Map data --------------------------------------------------------
  // Given before the first showing, these replace the files.
  void SetMapData(std::unique_ptr<ScopeMapData> data);
  const ScopeMapData* MapData() const { return map_.get(); }
  // False (and the file untouched) when it cannot be written.
  bool SaveDrawing();

  // --- Navigation ------------------------------------------------------
  ScopeGeometry& Geometry() { return geometry_; }
  const ScopeGeometry& Geometry() const { return geometry_; }
  int CentringCommand() const { return geometry_.CentringCommand(); }
  unsigned RangeKm() const { return geometry_.RangeKm(); }

  // --- Options and tools -----------------------------------------------
  ScopeOptions& Options() { return options_; }
  const ScopeOptions& Options() const { return options_; }
  const ScopeStatus& Status() const { return status_; }
  ScopeTools& Tools() { return tools_; }

  // --- Picture ---------------------------------------------------------
  // One tick of the 500 ms timer: geometry, status flags, repaint.
  void Tick();
  // A whole frame prepared and painted at the view's size, as the screen
  // shows it.
  QImage RenderImage();
  // The frame of the last paint.
  const ScopeFrame& Frame() const { return preparer_.Frame(); }
  // The centred airfield's approach in airfield mode, for the approach view.
  const std::optional<ApproachGeometry>& Approach() const { return preparer_.Approach(); }
  int CoastlineProjections() const { return preparer_.CoastlineProjections(); }
  // Where the cursor was last seen over the scope.
  std::optional<QPoint> CursorPosition() const { return cursor_; }
  // The readout box in the corner (hidden while its setting is off).
  const CursorReadoutWidget* CursorReadout() const { return readout_; }

  // --- Controller's aids -------------------------------------------------
  // Places the bullseye (and turns it on), stored at once; nothing without
  // a store. Removing keeps the position for the next time.
  void SetBullseye(GeoPoint position);
  void RemoveBullseye();
  // The scope's context menu at a point: bullseye and the end of BRAA calls.
  // Ctrl + right click and the menu key open it while the bullseye or BRAA
  // is switched on; otherwise they do what they always did.
  void ShowAidsMenu(QPoint at);
  bool AidsMenuOffered() const;

 public Q_SLOTS:
  // --- What the rest of the client asks of the scope ------------------
  // Airports (32700 ... 32721) and Radars (32800 ... 32809) menu commands.
  void OnCentringCommand(int command);
  // The button panel's range selector and ATC mode.
  void SetRangeKm(unsigned rangeKm);
  void SetAirfieldMode(bool on);
  // The main frame hides or shows the side panel.
  void SetSidePanelHidden(bool hidden);
  void MarkCoastlineStale() { geometry_.MarkCoastlineStale(); }
  // The information panel keeps the scope on the centred airfield in ATC
  // mode: moves the centre there, the command stays.
  void CentreOn(double latitude, double longitude);
  // The information panel waits for contacts to be picked.
  void SetPickingMode(bool on);
  // Drawing (the button panel's drawing button).
  void StartDrawing();
  void StopDrawing();
  // The frame's undo command: the last drawing point goes, while drawing.
  void UndoDrawingPoint();

 Q_SIGNALS:
  // The range changed (or the wheel was refused in airfield mode): the
  // button panel shows `legendBitmap` (0: leave it) and redraws its range
  // picture.
  void RangeChanged(unsigned rangeKm, int legendBitmap);
  // A centring command changed the menus' check marks.
  void CentringChanged(const vantor::scope::CentringResult& result);
  // The terrain grid is missing or short: the installation is broken.
  void MapDataMissing(const QString& message);
  // Picking mode: the contact clicked for the information panel.
  void ContactPicked(int contactId);
  // A contact was double-clicked: the callsign dialog opens for it.
  void CallsignRequested(int contactId);

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FirstShow();
  void LoadMapData();
  void UpdateGeometry();
  void ApplyCentring(const CentringResult& result);
  void DispatchToolRequest(const ToolRequest& request);
  void UpdateCursor();
  const ScopeFrame& PrepareFrame(QSize size);
  void PaintInto(QImage& image);
  void UpdateReadout();

  Environment env_;
  ScopeGeometry geometry_;
  ScopeOptions options_;
  ScopeStatus status_;
  ScopeTools tools_;
  ScopeFramePreparer preparer_;
  ScopePainter painter_;
  std::unique_ptr<ScopeMapData> map_;
  QImage picture_;  // the off-screen picture, reused between paints
  QTimer timer_;
  bool shown_ = false;
  bool mapGiven_ = false;
  int wheelDelta_ = 0;  // wheel turns not yet worth a notch
  std::optional<QPoint> cursor_;
  CursorReadoutWidget* readout_ = nullptr;  // a child: Qt owns it
  bool mouseInside_ = false;                // the readout follows only over the scope
};

}  // namespace vantor::scope
