#include "vantor/shell/CButtonView.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <utility>

#include "vantor/model/ClientSettings.h"
#include "vantor/platform/Display.h"
#include "vantor/platform/Notifier.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/scope/CRivakView.h"
#include "vantor/shell/ButtonPanelPrompts.h"
#include "vantor/shell/PanelLayout.h"
#include "vantor/shell/ShellContext.h"
#include "vantor/shell/SoundPlayer.h"
#include "vantor/texts/QText.h"
#include "vantor/voiceclient/PxRemoteVoiceClient.h"

namespace vantor::shell {

using namespace panel;

namespace {

constexpr int kButtons = 6;
constexpr int kHiddenButtons = 4;

std::size_t Index(CButtonView::Control control) { return static_cast<std::size_t>(control); }

}  // namespace

QString ChannelKey(int button) { return QStringLiteral("Canal%1").arg(button); }
QString ChannelPushKey(int button) { return QStringLiteral("Canal%1Push").arg(button); }

CButtonView::CButtonView(const ShellContext& context, scope::CRivakView* scope, QWidget* parent)
    : CButtonView(context, scope, ButtonPanelServices{}, parent) {}

CButtonView::CButtonView(const ShellContext& context, scope::CRivakView* scope, ButtonPanelServices services,
                         QWidget* parent)
    : QWidget(parent),
      context_(context),
      scope_(*scope),
      voice_(std::move(services.voice)),
      keys_(std::move(services.keys)),
      prompts_(std::move(services.prompts)),
      notifier_(std::move(services.notifier)),
      sound_(services.sound),
      artwork_(context.language) {
  setObjectName(QStringLiteral("buttonPanel"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(kPanelSize);
  if (!notifier_) {
    const QString title = QText(TextId::PanelBoxTitle, context_.language);
    notifier_ = NotifierForDisplay(title, title, this);
  }
  if (!prompts_) prompts_ = std::make_unique<DialogButtonPanelPrompts>(this, context_.language);
  if (!keys_) keys_ = CreateSystemKeyChordInjector(QGuiApplication::platformName());
  if (!voice_) voice_ = std::make_unique<voiceclient::PxRemoteVoiceClient>();
  SetSoundPlayer(sound_);
  // The voice functions are never called through a missing address.
  if (!voice_->Available()) notifier_->ShowError(QText(TextId::PanelVoiceLibraryMissing, context_.language));

  // Hidden buttons 1 ... 4: a click switches, a double click assigns.
  for (int i = 0; i < kHiddenButtons; ++i) {
    auto* button = new QPushButton(QText(TextId::PanelHiddenChannelButton, context_.language).arg(i + 1), this);
    button->hide();
    button->installEventFilter(this);
    connect(button, &QPushButton::clicked, this, [this, i] { SwitchToSlot(i + 1); });
    hiddenButtons_[static_cast<std::size_t>(i)] = button;
  }

  // Start state of the pictures, from the scope's options as they are.
  const scope::ScopeOptions& options = scope_.Options();
  pictures_[Index(Control::Range)] =
      RangePicture(scope_.RangeKm(), context_.settings.imperial).value_or(kFirstMetricRangePicture + 4);
  pictures_[Index(Control::Quit)] = kPictureQuit;
  pictures_[Index(Control::Atc)] = kPictureOff;
  pictures_[Index(Control::Labels)] = PictureFor(options.labelsOption);
  pictures_[Index(Control::Strip)] = kStripPictures[0];
  pictures_[Index(Control::Settings)] = PictureFor(options.windDirectionDeg != 0);
  pictures_[Index(Control::Coast)] = PictureFor(options.coastlineShown);
  pictures_[Index(Control::Rings)] = PictureFor(options.rangeRingsShown);
  pictures_[Index(Control::Drawing)] = PictureFor(scope_.Tools().DrawingMode());
  pictures_[Index(Control::Coverage)] = PictureFor(options.coverageShown);
  pictures_[Index(Control::Intensity)] = kIntensityPictureBase + intensityStep_;
  pictures_[Index(Control::Talk)] = kPictureTalkReleased;
  pictures_[Index(Control::Units)] = context_.settings.imperial ? kPictureUnitsNautical : kPictureUnitsMetric;
  pictures_[Index(Control::Decoration)] = kPictureDecoration;
  labelsOn_ = options.labelsOption;
  atcLabel_ = QText(TextId::PanelAwacsLabel, context_.language);

  FillChannelNames();
  if (VoiceAvailable()) {
    // Only the names matter here: without a voice client they stay "Not used".
    std::int32_t count = 0;
    voice_->GetChannels(channels_, count);
  }
  ReadStoredAssignments();

  connect(&scope_, &scope::CRivakView::RangeChanged, this, [this](unsigned, int legendBitmap) {
    if (legendBitmap != 0) SetPicture(Control::Range, legendBitmap);
    OnRangeChangedElsewhere();
  });
}

CButtonView::~CButtonView() {
  // No messages and no channel switch while going away: only the keys.
  if (talkHeld_) keys_->Send(kPushToTalkChord, KeyAction::Release);
  if (pushReturnSlot_) keys_->Send(keyChord_, KeyAction::Release);
}

void CButtonView::SetSoundPlayer(SoundPlayer* sound) {
  if (sound == nullptr) {
    if (!ownSound_) ownSound_ = std::make_unique<QtSoundPlayer>();
    sound = ownSound_.get();
  }
  sound_ = sound;
}

bool CButtonView::VoiceAvailable() const { return voice_ && voice_->Available(); }

void CButtonView::FillChannelNames() {
  const QString notUsed = QText(TextId::PanelChannelNotUsed, context_.language);
  for (PxrChannelInfo& channel : channels_) {
    channel = PxrChannelInfo{};
    voiceclient::SetFieldText(channel.name, sizeof(channel.name), notUsed);
  }
}

void CButtonView::ReadStoredAssignments() {
  for (int button = 1; button <= kButtons; ++button) {
    const auto i = static_cast<std::size_t>(button - 1);
    slotChannel_[i] = context_.store.ReadInt(kChannelSection, ChannelKey(button), 0);
    slotPush_[i] = context_.store.ReadInt(kChannelSection, ChannelPushKey(button), 0) != 0;
  }
}

int CButtonView::SlotChannel(int slot) const {
  if (slot < 0 || slot >= kButtons) return -1;
  return slotChannel_[static_cast<std::size_t>(slot)];
}

bool CButtonView::SlotPush(int slot) const {
  if (slot < 0 || slot >= kButtons) return false;
  return slotPush_[static_cast<std::size_t>(slot)];
}

QString CButtonView::ChannelName(int channel) const {
  for (const PxrChannelInfo& record : channels_) {
    if (record.id == channel) return voiceclient::ChannelName(record);
  }
  return QText(TextId::PanelChannelNotUsed, context_.language);
}

int CButtonView::PictureOf(Control control) const { return pictures_[Index(control)]; }

QRect CButtonView::RectOf(Control control) {
  switch (control) {
    case Control::Range:
      return kRangeRect;
    case Control::Quit:
      return kQuitRect;
    case Control::Atc:
      return kAtcRect;
    case Control::Labels:
      return kLabelsRect;
    case Control::Strip:
      return kStripRect;
    case Control::Settings:
      return kSettingsRect;
    case Control::Coast:
      return kCoastRect;
    case Control::Rings:
      return kRingsRect;
    case Control::Drawing:
      return kDrawingRect;
    case Control::Coverage:
      return kCoverageRect;
    case Control::Intensity:
      return kIntensityRect;
    case Control::Talk:
      return kTalkRect;
    case Control::Units:
      return kUnitsRect;
    case Control::Decoration:
      return kDecorationRect;
  }
  return {};
}

void CButtonView::SetPicture(Control control, int picture) {
  pictures_[Index(control)] = picture;
  update(RectOf(control));
}

// --- Voice channels --------------------------------------------------------

void CButtonView::SwitchToSlot(int button) {
  if (button < 1 || button > kButtons) return;
  const auto i = static_cast<std::size_t>(button - 1);
  SetPicture(Control::Strip, kStripPictures[i]);
  // A failed switch is not reported: the strip shows the button anyway.
  if (VoiceAvailable()) voice_->SwitchChannelId(slotChannel_[i]);
  currentSlot_ = button - 1;
  Q_EMIT CurrentSlotChanged(currentSlot_);
}

void CButtonView::AssignSlot(int button) {
  if (button < 1 || button > kButtons) return;
  if (!VoiceAvailable()) {
    // Without the library the assignments are left as they are.
    notifier_->ShowError(QText(TextId::PanelVoiceLibraryMissing, context_.language));
    return;
  }
  const auto i = static_cast<std::size_t>(button - 1);
  int chosen = -1;
  bool push = slotPush_[i];
  std::int32_t count = 0;
  if (voice_->GetChannels(channels_, count) != PXR_OK) {
    notifier_->ShowError(QText(TextId::PanelParlixUnreachable, context_.language));
  } else {
    count = std::clamp(count, 0, voiceclient::kChannelCapacity);
    const std::span<const PxrChannelInfo> listed(channels_.data(), static_cast<std::size_t>(count));
    if (const auto choice = prompts_->SelectChannel(listed, push)) {
      chosen = choice->channel;
      push = choice->push;
    }
  }
  slotChannel_[i] = chosen;
  slotPush_[i] = push;
  context_.store.WriteInt(kChannelSection, ChannelPushKey(button), push ? 1 : 0);
  context_.store.WriteInt(kChannelSection, ChannelKey(button), chosen);
  context_.store.Sync();
}

QString CButtonView::StripToolTip(int button) const {
  const int channel = SlotChannel(button - 1);
  QString tip;
  if (channel < 0) {
    tip = QText(TextId::PanelChannelTipNone, context_.language).arg(button);
  } else {
    const TextId id = SlotPush(button - 1) ? TextId::PanelChannelTipPush : TextId::PanelChannelTip;
    tip = QText(id, context_.language).arg(button).arg(ChannelName(channel));
  }
  return tip + QLatin1Char('\n') + QText(TextId::PanelChannelHelp, context_.language);
}

// --- Keys ------------------------------------------------------------------

void CButtonView::SendChord(const KeyChord& chord, KeyAction action) {
  switch (keys_->Send(chord, action)) {
    case KeyChordOutcome::Sent:
      break;
    case KeyChordOutcome::Refused:
      keyErrors_.append(QText(TextId::PanelKeyEventsRefused, context_.language));
      break;
    case KeyChordOutcome::Unavailable:
      if (!keyNoticeShown_) {
        keyNoticeShown_ = true;
        keyNotice_ = QText(TextId::PanelKeyChordsUnavailable, context_.language).arg(keys_->UnavailableReason());
      }
      break;
  }
  if (!talkHeld_ && !pushReturnSlot_) ShowKeyMessages();
}

void CButtonView::ShowKeyMessages() {
  const QStringList errors = std::exchange(keyErrors_, {});
  const QString notice = std::exchange(keyNotice_, {});
  for (const QString& error : errors) notifier_->ShowError(error);
  if (!notice.isEmpty()) notifier_->ShowInformation(notice);
}

void CButtonView::ReleaseHeldKeys() {
  if (pushReturnSlot_) {
    const int back = *pushReturnSlot_;
    pushReturnSlot_.reset();
    SwitchToSlot(back + 1);
    SendChord(keyChord_, KeyAction::Release);
  }
  if (talkHeld_) {
    talkHeld_ = false;
    SendChord(kPushToTalkChord, KeyAction::Release);
    SetPicture(Control::Talk, kPictureTalkReleased);
  }
}

// --- Mouse -----------------------------------------------------------------

void CButtonView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  event->accept();
  LeftPressed(event->position().toPoint());
}

void CButtonView::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  event->accept();
  if (event->button() == Qt::RightButton) {
    if (kStripRect.contains(at)) {
      if (const auto button = StripButtonAt(at.x() - kStripRect.left())) AssignSlot(*button);
    }
    return;
  }
  // The second press of a quick double click is a press like any other.
  if (event->button() == Qt::LeftButton) LeftPressed(at);
}

void CButtonView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  event->accept();
  LeftReleased(event->position().toPoint());
}

void CButtonView::LeftPressed(QPoint at) {
  if (kTalkRect.contains(at) && !talkHeld_) {
    SetPicture(Control::Talk, kPictureTalkPressed);
    keyChord_ = kPushToTalkChord;
    talkHeld_ = true;  // the mouse stays with the panel until the release
    SendChord(keyChord_, KeyAction::Press);
  }
  if (kUnitsRect.contains(at)) OnUnitsClicked();
  if (kStripRect.contains(at) && !pushReturnSlot_) {
    const auto button = StripButtonAt(at.x() - kStripRect.left());
    if (button && slotPush_[static_cast<std::size_t>(*button - 1)]) {
      pushReturnSlot_ = currentSlot_;
      SwitchToSlot(*button);
      keyChord_ = ChannelButtonChord(*button);
      SendChord(keyChord_, KeyAction::Press);
    }
  }
  ClickedControl(at);
}

void CButtonView::LeftReleased(QPoint at) {
  if (pushReturnSlot_) {
    const int back = *pushReturnSlot_;
    pushReturnSlot_.reset();
    SwitchToSlot(back + 1);
    SendChord(keyChord_, KeyAction::Release);
  } else if (kStripRect.contains(at)) {
    if (const auto button = StripButtonAt(at.x() - kStripRect.left())) SwitchToSlot(*button);
  }
  if (talkHeld_) {
    talkHeld_ = false;
    SendChord(kPushToTalkChord, KeyAction::Release);
    SetPicture(Control::Talk, kPictureTalkReleased);
  }
}

void CButtonView::ClickedControl(QPoint at) {
  if (kRangeRect.contains(at)) OnRangeClicked(at);
  if (kQuitRect.contains(at)) {
    // Posted: the frame's confirmation runs after this click is done.
    QTimer::singleShot(0, this, [this] { Q_EMIT ExitRequested(); });
  }
  if (kAtcRect.contains(at)) OnAtcClicked();
  if (kLabelsRect.contains(at)) OnLabelsClicked();
  if (kSettingsRect.contains(at)) Q_EMIT DisplaySettingsRequested();
  if (kCoastRect.contains(at)) OnCoastClicked();
  if (kRingsRect.contains(at)) OnRingsClicked();
  if (kDrawingRect.contains(at)) OnDrawingClicked();
  if (kCoverageRect.contains(at)) OnCoverageClicked();
  if (kIntensityRect.contains(at)) OnIntensityClicked(at);
}

// --- Scope options ----------------------------------------------------------

void CButtonView::PlaySwitchSound() {
  // Started, not waited for: a click sound must not hold up the panel.
  sound_->Play(QString::fromLatin1(kSwitchSound));
}

void CButtonView::OnRangeClicked(QPoint at) {
  const auto band = RangeBandAt(at.y());
  if (!band) return;
  if (atcMode_ && *band > kLastAtcRangeBand) return;
  const unsigned rangeKm = kRangeBandsKm[static_cast<std::size_t>(*band - 1)];
  scope_.SetRangeKm(rangeKm);
  ShowRange(static_cast<int>(rangeKm));
}

void CButtonView::OnAtcClicked() {
  if (scope_.CentringCommand() >= kFirstRadarCentring) return;
  if (!atcMode_) {
    PlaySwitchSound();
    atcMode_ = true;
    SetPicture(Control::Atc, kPictureOn);
    rangeBeforeAtc_ = scope_.RangeKm();
    scope_.SetRangeKm(kAtcRangeKm);
    ShowRange(static_cast<int>(kAtcRangeKm));
    scope_.SetAirfieldMode(true);  // also redraws the coastline
    Q_EMIT IlsViewShown(true);
    atcLabel_ = QText(TextId::PanelAtcLabel, context_.language);
    if (scope_.Options().coverageShown) {
      scope_.Options().coverageShown = false;
      SetPicture(Control::Coverage, kPictureOff);
    }
  } else {
    atcMode_ = false;
    SetPicture(Control::Atc, kPictureOff);
    scope_.SetAirfieldMode(false);
    atcLabel_ = QText(TextId::PanelAwacsLabel, context_.language);
    scope_.SetRangeKm(rangeBeforeAtc_);
    ShowRange(static_cast<int>(rangeBeforeAtc_));
    Q_EMIT IlsViewShown(false);
  }
  update(CaptionRect(kAtcRect));
  scope_.update();
}

void CButtonView::ShowScopeSwitches() {
  const scope::ScopeOptions& options = scope_.Options();
  labelsOn_ = options.labelsOption;
  SetPicture(Control::Labels, PictureFor(labelsOn_));
  SetPicture(Control::Coverage, PictureFor(options.coverageShown));
}

void CButtonView::OnLabelsClicked() {
  scope::ScopeOptions& options = scope_.Options();
  options.labelsOption = !options.labelsOption;
  options.labelsShown = options.labelsOption;
  labelsOn_ = options.labelsOption;
  SetPicture(Control::Labels, PictureFor(labelsOn_));
  scope_.update();
}

void CButtonView::OnCoastClicked() {
  PlaySwitchSound();
  scope::ScopeOptions& options = scope_.Options();
  options.coastlineShown = !options.coastlineShown;
  if (options.coastlineShown) scope_.MarkCoastlineStale();
  SetPicture(Control::Coast, PictureFor(options.coastlineShown));
  scope_.update();
}

void CButtonView::OnRingsClicked() {
  PlaySwitchSound();
  scope::ScopeOptions& options = scope_.Options();
  options.rangeRingsShown = !options.rangeRingsShown;
  SetPicture(Control::Rings, PictureFor(options.rangeRingsShown));
  scope_.update();
}

void CButtonView::OnCoverageClicked() {
  PlaySwitchSound();
  scope::ScopeOptions& options = scope_.Options();
  options.coverageShown = !options.coverageShown;
  SetPicture(Control::Coverage, PictureFor(options.coverageShown));
  scope_.update();
}

void CButtonView::OnDrawingClicked() {
  PlaySwitchSound();
  if (!scope_.Tools().DrawingMode()) {
    scope_.StartDrawing();
    SetPicture(Control::Drawing, kPictureOn);
    return;
  }
  scope_.StopDrawing();
  SetPicture(Control::Drawing, kPictureOff);
  repaint(kDrawingRect);  // the switch is off before the question comes up
  if (prompts_->AskYesNo(QText(TextId::PanelSaveDrawing, context_.language)) && !scope_.SaveDrawing())
    notifier_->ShowError(QText(TextId::GeoCantCreateFile, context_.language));
}

void CButtonView::OnIntensityClicked(QPoint at) {
  int& intensity = scope_.Options().coastlineIntensity;
  if (at.x() > kIntensitySplitX) {
    intensity = std::min(intensity + kIntensityStepLimit, kIntensityMax);
    intensityStep_ = intensityStep_ % 4 + 1;
  } else {
    intensity = std::max(intensity - kIntensityStepLimit, 0);
    intensityStep_ = intensityStep_ == 1 ? 4 : intensityStep_ - 1;
  }
  scope_.MarkCoastlineStale();
  context_.store.WriteInt(model::kClientSettingsSection, scope::kIntensitySetting, intensity);
  context_.store.Sync();
  SetPicture(Control::Intensity, kIntensityPictureBase + intensityStep_);
  scope_.update();
}

void CButtonView::OnUnitsClicked() {
  // For this run only; the stored setting stays as it is.
  context_.settings.imperial = !context_.settings.imperial;
  SetPicture(Control::Units, context_.settings.imperial ? kPictureUnitsNautical : kPictureUnitsMetric);
  ShowRange(static_cast<int>(scope_.RangeKm()));
  scope_.update();
}

void CButtonView::ShowRange(int rangeKm) {
  const auto picture =
      rangeKm > 0 ? RangePicture(static_cast<unsigned>(rangeKm), context_.settings.imperial) : std::nullopt;
  if (picture) {
    pictures_[Index(Control::Range)] = *picture;
  } else {
    rangeText_ = QText(TextId::PanelUnknownRange, context_.language);
  }
  update(kRangeRect);
}

void CButtonView::OnRangeChangedElsewhere() { update(kRangeRect); }

void CButtonView::ShowWindState(bool windOn) { SetPicture(Control::Settings, PictureFor(windOn)); }

// --- Window ------------------------------------------------------------------

bool CButtonView::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::ToolTip: {
      const auto* help = static_cast<QHelpEvent*>(event);
      const QPoint at = help->pos();
      const auto button = kStripRect.contains(at) ? StripButtonAt(at.x() - kStripRect.left()) : std::nullopt;
      if (button) {
        QToolTip::showText(help->globalPos(), StripToolTip(*button), this);
      } else {
        QToolTip::hideText();
        event->ignore();
      }
      return true;
    }
    case QEvent::WindowDeactivate:
      ReleaseHeldKeys();
      break;
    default:
      break;
  }
  return QWidget::event(event);
}

bool CButtonView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    const auto found = std::find(hiddenButtons_.begin(), hiddenButtons_.end(), watched);
    if (found != hiddenButtons_.end()) {
      AssignSlot(static_cast<int>(found - hiddenButtons_.begin()) + 1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void CButtonView::hideEvent(QHideEvent* event) {
  ReleaseHeldKeys();
  QWidget::hideEvent(event);
}

QSize CButtonView::sizeHint() const { return kPanelSize; }

QSize CButtonView::minimumSizeHint() const { return kPanelSize; }

void CButtonView::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  const qreal scale = p.device()->devicePixelRatioF();
  if (background_.size() != size() * scale || background_.devicePixelRatio() != scale)
    background_ = artwork_.Background(size(), scale);
  p.drawImage(event->rect(), background_,
              QRectF(QPointF(event->rect().topLeft()) * scale, event->rect().size() * scale));
  for (int c = 0; c <= static_cast<int>(Control::Decoration); ++c) {
    const auto control = static_cast<Control>(c);
    const QRect rect = RectOf(control);
    if (!rect.intersects(event->rect())) continue;
    const QImage& picture = artwork_.Picture(PictureOf(control), scale);
    if (!picture.isNull()) p.drawImage(rect.topLeft(), picture);
  }
  // The ATC button's label, lit while ATC mode is on.
  const QRect label = CaptionRect(kAtcRect);
  QFont font = p.font();
  font.setFamily(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(12);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(55, 57, 62));
  p.drawText(label.translated(0, 1), Qt::AlignLeft | Qt::AlignVCenter, atcLabel_);
  p.setPen(atcMode_ ? QColor(255, 186, 64) : QColor(212, 216, 222));
  p.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, atcLabel_);
}

QImage CButtonView::RenderImage(qreal scale) {
  QImage image(size() * scale, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  image.fill(Qt::black);
  render(&image);
  return image;
}

}  // namespace vantor::shell
