#pragma once
// The voice window: a small, see-through, always-on-top window that lists
// the voice channels that have players, with their players under them,
// refreshed every 4 seconds while shown. Hidden when created; it keeps its
// own binding to the voice library for its whole life.

#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

#include "vantor/shell/ShellContext.h"
#include "vantor/voiceclient/VoiceChannels.h"

namespace vantor {
class Notifier;
}
namespace vantor::voiceclient {
class VoiceClient;
}

namespace vantor::shell {

inline constexpr int kVoiceWindowRefreshMs = 4000;
inline constexpr qreal kVoiceWindowOpacity = 150.0 / 255.0;
// Where the client shows it.
inline constexpr QPoint kVoiceWindowPlace{10, 10};
inline constexpr QSize kVoiceWindowSize{230, 300};
inline constexpr QColor kVoicePlayerColour{0, 150, 0};

class CVoiceWnd : public QWidget {
  Q_OBJECT
 public:
  // `voice` and `notifier` may be null: PxRemote beside the program, and
  // message boxes (stderr without a display). A missing library or call is
  // reported once, here.
  CVoiceWnd(const ShellContext& context, std::unique_ptr<voiceclient::VoiceClient> voice = nullptr,
            std::unique_ptr<Notifier> notifier = nullptr, QWidget* parent = nullptr);
  ~CVoiceWnd() override;

  // Moves the window to (x, y) over the other windows, without resizing it,
  // shows it and refreshes it now and every 4 seconds.
  void ShowAt(int x, int y);
  // The window's part of the display setting "ShowParlix": on shows it at
  // (10, 10); off leaves a shown window where it is.
  void ApplyShowSetting(bool show);

  // One refresh: asks the voice client again and repaints.
  void Refresh();
  const std::vector<voiceclient::VoiceWindowLine>& Lines() const { return lines_; }
  const QTimer& RefreshTimer() const { return timer_; }
  QImage RenderImage();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  ShellContext context_;
  std::unique_ptr<voiceclient::VoiceClient> voice_;
  std::unique_ptr<Notifier> notifier_;
  std::vector<voiceclient::VoiceWindowLine> lines_;
  QTimer timer_;
};

}  // namespace vantor::shell
