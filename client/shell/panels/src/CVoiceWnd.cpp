#include "vantor/shell/CVoiceWnd.h"

#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include "vantor/model/ClientSettings.h"
#include "vantor/platform/Display.h"
#include "vantor/platform/Notifier.h"
#include "vantor/shell/ShellContext.h"
#include "vantor/texts/QText.h"
#include "vantor/voiceclient/PxRemoteVoiceClient.h"

namespace vantor::shell {
namespace {

constexpr int kMargin = 10;
constexpr int kLineStep = 15;
constexpr int kPlayerIndent = 20;

}  // namespace

CVoiceWnd::CVoiceWnd(const ShellContext& context, std::unique_ptr<voiceclient::VoiceClient> voice,
                     std::unique_ptr<Notifier> notifier, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      context_(context),
      voice_(std::move(voice)),
      notifier_(std::move(notifier)) {
  setObjectName(QStringLiteral("voiceWindow"));
  setWindowTitle(QText(TextId::VoiceWindowTitle, context_.language));
  setWindowOpacity(kVoiceWindowOpacity);
  setAttribute(Qt::WA_ShowWithoutActivating);
  // The desktop's tooltip colours.
  QPalette colours = palette();
  const QPalette tips = QToolTip::palette();
  colours.setColor(QPalette::Window, tips.color(QPalette::ToolTipBase));
  colours.setColor(QPalette::WindowText, tips.color(QPalette::ToolTipText));
  setPalette(colours);
  setAutoFillBackground(true);
  resize(kVoiceWindowSize);

  if (!notifier_) {
    const QString title = QText(TextId::PanelBoxTitle, context_.language);
    notifier_ = NotifierForDisplay(title, title, nullptr);
  }
  if (!voice_) voice_ = std::make_unique<voiceclient::PxRemoteVoiceClient>();
  if (!voice_->Available()) notifier_->ShowError(QText(TextId::PanelVoiceLibraryMissing, context_.language));

  timer_.setInterval(kVoiceWindowRefreshMs);
  connect(&timer_, &QTimer::timeout, this, &CVoiceWnd::Refresh);
}

CVoiceWnd::~CVoiceWnd() = default;

void CVoiceWnd::ShowAt(int x, int y) {
  move(x, y);
  show();
  raise();
  Refresh();
  timer_.start();
}

void CVoiceWnd::ApplyShowSetting(bool show) {
  if (show) ShowAt(kVoiceWindowPlace.x(), kVoiceWindowPlace.y());
}

void CVoiceWnd::Refresh() {
  // Asked here rather than while painting: a call may block for 3.5 s, which
  // an expose of the window must not wait for.
  if (voice_->Available()) {
    lines_ = voiceclient::OccupiedChannelLines(*voice_);
  } else {
    lines_.clear();
  }
  update();
}

void CVoiceWnd::hideEvent(QHideEvent* event) {
  timer_.stop();
  QWidget::hideEvent(event);
}

void CVoiceWnd::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QFont font(QStringLiteral("Arial"));
  if (context_.settings.fontSize > 0) font.setPixelSize(context_.settings.fontSize);
  p.setFont(font);
  const QRect area = rect().adjusted(kMargin, kMargin, 0, 0);
  int y = area.top();
  for (const voiceclient::VoiceWindowLine& line : lines_) {
    if (line.player) {
      p.setPen(kVoicePlayerColour);
      p.drawText(QRect(area.left() + kPlayerIndent, y, area.width() - kPlayerIndent, area.bottom() - y + 1),
                 Qt::AlignLeft | Qt::AlignTop, line.text);
    } else {
      p.setPen(Qt::black);
      p.drawText(QRect(area.left(), y, area.width(), area.bottom() - y + 1),
                 Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, line.text);
    }
    y += kLineStep;
  }
}

QImage CVoiceWnd::RenderImage() {
  QImage image(size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(palette().color(QPalette::Window));
  render(&image);
  return image;
}

}  // namespace vantor::shell
