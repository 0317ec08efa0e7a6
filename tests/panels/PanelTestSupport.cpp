#include "PanelTestSupport.h"

#include <QMouseEvent>
#include <QTest>

#include "BuildPaths.h"
#include "vantor/scope/ScopeMapData.h"
#include "vantor/shell/PanelLayout.h"
#include "vantor/voiceclient/PxRemoteVoiceClient.h"
#include "vantor/voiceclient/VoiceChannels.h"

namespace vantor::shell::test {

QString BuiltPxRemotePath() {
#if defined(Q_OS_WIN)
  const char* file = "PxRemote.dll";
#else
  const char* file = "libPxRemote.so";
#endif
  return QString::fromStdString((vantor::test::BuildBinFolder() / file).string());
}

bool ScriptedPrompts::AskYesNo(const QString& question) {
  answers_->questions.append(question);
  return answers_->yes;
}

std::optional<ChannelChoice> ScriptedPrompts::SelectChannel(std::span<const PxrChannelInfo> channels, bool push) {
  std::vector<std::pair<QString, int>> listed;
  for (const PxrChannelInfo& channel : channels) listed.emplace_back(voiceclient::ChannelName(channel), channel.id);
  answers_->listsShown.push_back(listed);
  answers_->pushPresets.push_back(push);
  if (!answers_->choose) return std::nullopt;
  return answers_->choose(listed, push);
}

PanelBench::PanelBench() {
  store = SettingsStore::OpenFile(folder.filePath(QStringLiteral("vantor.ini")));
  scope = std::make_unique<scope::CRivakView>(scope::CRivakView::Environment{document, settings, store.get(), {}});
  auto map = std::make_unique<scope::ScopeMapData>();
  map->drawingFile = folder.filePath(QStringLiteral("dessin.dat")).toStdString();
  scope->SetMapData(std::move(map));
  scope->resize(800, 600);
  context = std::make_unique<ShellContext>(Context());
}

PanelBench::~PanelBench() = default;

std::unique_ptr<CButtonView> PanelBench::MakePanel(std::unique_ptr<voiceclient::VoiceClient> voice,
                                                   std::unique_ptr<KeyChordInjector> keys) {
  ButtonPanelServices services;
  services.voice = voice ? std::move(voice) : std::make_unique<voiceclient::PxRemoteVoiceClient>(BuiltPxRemotePath());
  services.keys = keys ? std::move(keys) : std::make_unique<RecordingKeys>(chords);
  services.prompts = std::make_unique<ScriptedPrompts>(answers);
  services.notifier = std::make_unique<RecordingNotifier>(messages);
  services.sound = &sound;
  auto panel = std::make_unique<CButtonView>(*context, scope.get(), std::move(services));
  panel->resize(panel->sizeHint());
  return panel;
}

void PanelBench::Press(CButtonView& panel, QPoint at, Qt::MouseButton button) {
  QTest::mousePress(&panel, button, Qt::NoModifier, at);
}

void PanelBench::Release(CButtonView& panel, QPoint at, Qt::MouseButton button) {
  QTest::mouseRelease(&panel, button, Qt::NoModifier, at);
}

void PanelBench::DoubleClick(CButtonView& panel, QPoint at, Qt::MouseButton button) {
  QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(at), panel.mapToGlobal(QPointF(at)), button, button,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(&panel, &event);
  Release(panel, at, button);
}

QPoint PanelBench::StripOffset(int x) { return QPoint(panel::kStripRect.left() + x, panel::kStripRect.center().y()); }

QPoint PanelBench::StripButton(int button) {
  const int right = panel::kStripButtonRightEdges[static_cast<std::size_t>(button - 1)];
  const int left = button == 1 ? 0 : panel::kStripButtonRightEdges[static_cast<std::size_t>(button - 2)] + 1;
  return StripOffset((left + right) / 2);
}

QPoint PanelBench::Middle(CButtonView::Control control) { return CButtonView::RectOf(control).center(); }

}  // namespace vantor::shell::test
