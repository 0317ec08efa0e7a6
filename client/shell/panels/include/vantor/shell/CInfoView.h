#pragma once
// The information panel in the lower part of the side column. Every three
// seconds it shows the coalition clock, the zone the scope is centred on,
// the six voice-channel buttons with the active one bright, the friendly
// contacts with a callsign, and two comparison blocks of two contacts each,
// picked on the scope with the "C1" and "C2" buttons.

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

#include "vantor/model/CRivakDoc.h"
#include "vantor/shell/ChannelStateSource.h"
#include "vantor/shell/InfoPanelModel.h"
#include "vantor/shell/ShellContext.h"

class QPushButton;

namespace vantor::scope {
class CRivakView;
}

namespace vantor::shell {

class CButtonView;
class PanelFrameArt;

// A click this close to both the right and the bottom edge folds the side
// column away.
inline constexpr int kCollapseCornerPx = 30;

class CInfoView : public QWidget {
  Q_OBJECT
 public:
  // `scope` is where contacts are picked and whose centre the panel keeps
  // on the airfield in ATC mode; `channels` is the button panel's state.
  // Either may be null (channels until the button panel exists).
  CInfoView(const ShellContext& context, scope::CRivakView* scope, const ChannelStateSource* channels,
            QWidget* parent = nullptr);
  // Reads the button panel itself and follows its channel switches.
  CInfoView(const ShellContext& context, scope::CRivakView* scope, const CButtonView* buttonPanel,
            QWidget* parent = nullptr);
  ~CInfoView() override;

  void SetChannelSource(const ChannelStateSource* channels);
  // The same, kept by the panel (an adapter over the button panel, such as
  // PanelChannelState<CButtonView>).
  void AdoptChannelSource(std::unique_ptr<const ChannelStateSource> channels);
  // The usable height of a full-screen window (the screen's available
  // height unless set), which decides how many lines fit.
  void SetScreenHeightSource(std::function<int()> usableScreenHeight);
  // Wall-clock seconds for the coalition clock.
  void SetClock(model::SecondsClock clock) { clock_ = std::move(clock); }

  const ComparisonPicks& Picks() const { return picks_; }
  // Fills comparison block 0 or 1 without picking (the --compare option).
  void Compare(int block, int firstId, int secondId);
  // The "C1" (block 0) and "C2" (block 1) buttons.
  QPushButton* PickButton(int block) const { return pickButtons_[static_cast<std::size_t>(block)]; }
  // One tick of the 3 s timer: the centring check, then a repaint.
  void Tick();
  // The picture as the screen shows it, at the panel's size.
  QImage RenderImage();

 public Q_SLOTS:
  // The scope's picking mode handed over a clicked contact.
  void OnContactPicked(int contactId);
  // Something shown changed (the button panel switched channel).
  void Refresh() { update(); }

 Q_SIGNALS:
  // Open (true) or fold away (false) the side column.
  void ExpandRequested(bool expand);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void OnPickButton(int block);
  void SetScopePicking(bool on);
  void CheckCentring();
  void PaintInto(QImage& image);
  int UsableScreenHeight() const;

  ShellContext context_;
  scope::CRivakView* scope_;
  const ChannelStateSource* channels_;
  std::unique_ptr<const ChannelStateSource> ownedChannels_;
  std::function<int()> usableScreenHeight_;
  model::SecondsClock clock_;
  std::shared_ptr<const PanelFrameArt> artwork_;
  ComparisonPicks picks_;
  std::array<QPushButton*, kComparisonBlockCount> pickButtons_{};
  QImage picture_;  // the off-screen picture, reused between paints
  QTimer timer_;
};

}  // namespace vantor::shell
