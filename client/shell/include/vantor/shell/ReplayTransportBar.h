#pragma once
// The replay's transport bar under the window's panes: play/pause, the
// speeds 1x, 4x and 16x, the timeline to seek on, and the elapsed and total
// mission time.

#include <QWidget>

#include <cstdint>

#include "vantor/texts/Language.h"

class QButtonGroup;
class QLabel;
class QSlider;
class QToolButton;

namespace vantor::record {
class ReplayController;
}

namespace vantor::shell {

class ReplayTransportBar : public QWidget {
  Q_OBJECT
 public:
  // Follows and drives `controller`, which must outlive the bar.
  ReplayTransportBar(record::ReplayController& controller, Language language, QWidget* parent = nullptr);

  QToolButton* PlayButton() const { return play_; }
  QSlider* Timeline() const { return timeline_; }
  QLabel* TimeLabel() const { return time_; }
  // The speed button of 1, 4 or 16, or nullptr.
  QToolButton* SpeedButton(int speed) const;

 private:
  void ShowPosition(std::uint32_t positionMs, std::uint32_t durationMs);
  void ShowPlaying(bool playing);

  record::ReplayController& controller_;
  Language language_;
  QToolButton* play_ = nullptr;
  QButtonGroup* speeds_ = nullptr;
  QSlider* timeline_ = nullptr;
  QLabel* time_ = nullptr;
};

}  // namespace vantor::shell
