#include "vantor/shell/ReplayTransportBar.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

#include "vantor/record/ReplayController.h"
#include "vantor/texts/QText.h"

namespace vantor::shell {

ReplayTransportBar::ReplayTransportBar(record::ReplayController& controller, Language language, QWidget* parent)
    : QWidget(parent), controller_(controller), language_(language) {
  setObjectName("replayTransportBar");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 2, 6, 2);
  play_ = new QToolButton(this);
  play_->setObjectName("replayPlay");
  layout->addWidget(play_);
  connect(play_, &QToolButton::clicked, &controller_, &record::ReplayController::TogglePlay);

  speeds_ = new QButtonGroup(this);
  for (const int speed : record::kReplaySpeeds) {
    auto* button = new QToolButton(this);
    button->setText(QStringLiteral("%1×").arg(speed));
    button->setCheckable(true);
    button->setChecked(speed == controller_.Speed());
    speeds_->addButton(button, speed);
    layout->addWidget(button);
  }
  connect(speeds_, &QButtonGroup::idClicked, &controller_, &record::ReplayController::SetSpeed);

  timeline_ = new QSlider(Qt::Horizontal, this);
  timeline_->setObjectName("replayTimeline");
  // Whole seconds: a 2-hour mission still moves by one step a second.
  timeline_->setRange(0, static_cast<int>(controller_.DurationMs() / 1000));
  timeline_->setPageStep(60);
  layout->addWidget(timeline_, 1);
  // Seeks once the handle is let go (or at each click or key), not at
  // every pixel of a drag.
  timeline_->setTracking(false);
  connect(timeline_, &QSlider::valueChanged, this,
          [this](int seconds) { controller_.SeekTo(static_cast<std::uint32_t>(seconds) * 1000); });

  time_ = new QLabel(this);
  time_->setObjectName("replayTime");
  layout->addWidget(time_);

  connect(&controller_, &record::ReplayController::PositionChanged, this, &ReplayTransportBar::ShowPosition);
  connect(&controller_, &record::ReplayController::PlayingChanged, this, &ReplayTransportBar::ShowPlaying);
  connect(&controller_, &record::ReplayController::SpeedChanged, this, [this](int speed) {
    if (QAbstractButton* button = speeds_->button(speed)) button->setChecked(true);
  });
  ShowPlaying(controller_.IsPlaying());
  ShowPosition(controller_.PositionMs(), controller_.DurationMs());
}

QToolButton* ReplayTransportBar::SpeedButton(int speed) const {
  return qobject_cast<QToolButton*>(speeds_->button(speed));
}

void ReplayTransportBar::ShowPosition(std::uint32_t positionMs, std::uint32_t durationMs) {
  if (!timeline_->isSliderDown()) {
    const QSignalBlocker quiet(timeline_);
    timeline_->setMaximum(static_cast<int>(durationMs / 1000));
    timeline_->setValue(static_cast<int>(positionMs / 1000));
  }
  time_->setText(record::FormatReplayTime(positionMs) + QStringLiteral(" / ") + record::FormatReplayTime(durationMs));
}

void ReplayTransportBar::ShowPlaying(bool playing) {
  play_->setText(QText(playing ? TextId::ReplayPause : TextId::ReplayPlay, language_));
}

}  // namespace vantor::shell
