#pragma once
// The button panel's surroundings for tests: a document, settings, a
// settings file of its own, a scope view without map files, and stand-ins
// for what the panel asks of the desktop (questions, messages, key chords,
// sounds). The voice client is the real one unless a test says otherwise.

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "vantor/model/CRivakDoc.h"
#include "vantor/model/ClientSettings.h"
#include "vantor/model/ClientState.h"
#include "vantor/platform/KeyChordInjector.h"
#include "vantor/platform/Notifier.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/scope/CRivakView.h"
#include "vantor/shell/ButtonPanelPrompts.h"
#include "vantor/shell/CButtonView.h"
#include "vantor/shell/ShellContext.h"
#include "vantor/shell/SoundPlayer.h"
#include "vantor/voiceclient/VoiceClient.h"

namespace vantor::shell::test {

// The PxRemote library of this build.
QString BuiltPxRemotePath();

struct SentChord {
  KeyChord chord;
  KeyAction action;
  bool operator==(const SentChord&) const = default;
};

class RecordingKeys final : public KeyChordInjector {
 public:
  explicit RecordingKeys(std::shared_ptr<std::vector<SentChord>> sent, KeyChordOutcome outcome = KeyChordOutcome::Sent)
      : sent_(std::move(sent)), outcome_(outcome) {}
  KeyChordOutcome Send(const KeyChord& chord, KeyAction action) override {
    sent_->push_back({chord, action});
    return outcome_;
  }
  QString UnavailableReason() const override {
    return outcome_ == KeyChordOutcome::Unavailable ? QStringLiteral("offscreen") : QString();
  }

 private:
  std::shared_ptr<std::vector<SentChord>> sent_;
  KeyChordOutcome outcome_;
};

struct Messages {
  QStringList errors;
  QStringList information;
  int Count() const { return static_cast<int>(errors.size() + information.size()); }
};

class RecordingNotifier final : public Notifier {
 public:
  explicit RecordingNotifier(std::shared_ptr<Messages> messages) : messages_(std::move(messages)) {}
  void ShowError(const QString& text) override { messages_->errors.append(text); }
  void ShowInformation(const QString& text) override { messages_->information.append(text); }

 private:
  std::shared_ptr<Messages> messages_;
};

// What the questions were and how they are answered.
struct Answers {
  bool yes = false;
  QStringList questions;
  // The channel dialog: given the listed channels (name, id) and the push
  // box's preset, the choice, or nullopt for Cancel.
  std::function<std::optional<ChannelChoice>(const std::vector<std::pair<QString, int>>&, bool)> choose;
  std::vector<std::vector<std::pair<QString, int>>> listsShown;
  std::vector<bool> pushPresets;
};

class ScriptedPrompts final : public ButtonPanelPrompts {
 public:
  explicit ScriptedPrompts(std::shared_ptr<Answers> answers) : answers_(std::move(answers)) {}
  bool AskYesNo(const QString& question) override;
  std::optional<ChannelChoice> SelectChannel(std::span<const PxrChannelInfo> channels, bool push) override;

 private:
  std::shared_ptr<Answers> answers_;
};

class RecordingSound final : public SoundPlayer {
 public:
  void PlayToEnd(const QString& fileName) override { waited.append(fileName); }
  void Play(const QString& fileName) override { started.append(fileName); }
  QStringList waited;
  QStringList started;
};

// A voice client that answers nothing and records nothing: for tests about
// the scope's buttons.
class SilentVoice final : public voiceclient::VoiceClient {
 public:
  bool Available() const override { return true; }
  std::int32_t SwitchChannelId(std::int32_t) override { return PXR_ERR_NOT_FOUND; }
  std::int32_t GetChannels(std::span<PxrChannelInfo>, std::int32_t&) override { return PXR_ERR_NOT_FOUND; }
  std::int32_t GetChannelInfoById(std::int32_t, PxrChannelInfo&, std::span<PxrPlayerInfo>, std::int32_t&) override {
    return PXR_ERR_NOT_FOUND;
  }
};

// Document, settings, store and scope, and the panel's stand-ins.
class PanelBench {
 public:
  PanelBench();
  ~PanelBench();

  // A panel over the bench's scope. `voice` null: the real PxRemote of the
  // build; `keys` null: the recording stand-in.
  std::unique_ptr<CButtonView> MakePanel(std::unique_ptr<voiceclient::VoiceClient> voice = nullptr,
                                         std::unique_ptr<KeyChordInjector> keys = nullptr);
  ShellContext Context() { return ShellContext{document, settings, *store, settings.language}; }

  // Mouse gestures on the panel, at panel coordinates.
  static void Press(CButtonView& panel, QPoint at, Qt::MouseButton button = Qt::LeftButton);
  static void Release(CButtonView& panel, QPoint at, Qt::MouseButton button = Qt::LeftButton);
  static void Click(CButtonView& panel, QPoint at) {
    Press(panel, at);
    Release(panel, at);
  }
  static void DoubleClick(CButtonView& panel, QPoint at, Qt::MouseButton button);
  // The middle of a strip button (1 ... 6), and a point at x offset `x`.
  static QPoint StripButton(int button);
  static QPoint StripOffset(int x);
  static QPoint Middle(CButtonView::Control control);

  QTemporaryDir folder;
  model::ClientState state;
  model::CRivakDoc document{state};
  model::ClientSettings settings;
  std::unique_ptr<SettingsStore> store;
  std::unique_ptr<scope::CRivakView> scope;
  std::shared_ptr<std::vector<SentChord>> chords = std::make_shared<std::vector<SentChord>>();
  std::shared_ptr<Messages> messages = std::make_shared<Messages>();
  std::shared_ptr<Answers> answers = std::make_shared<Answers>();
  RecordingSound sound;
  std::unique_ptr<ShellContext> context;
};

}  // namespace vantor::shell::test
