// The button panel through real mouse events on the offscreen platform: the
// scope's options, the range bands and ATC mode, intensity, drawing, the
// strip's hit test and push mode, push-to-talk, and the "Select Channel"
// dialog. The voice client here answers nothing; the voice tests use the
// real one against parlix-sim.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "PanelTestSupport.h"
#include "TestSupport.h"
#include "vantor/scope/ScopeGeometry.h"
#include "vantor/shell/CSelectChannelDlg.h"
#include "vantor/shell/PanelLayout.h"
#include "vantor/texts/QText.h"
#include "vantor/voiceclient/VoiceChannels.h"

namespace vantor::shell::test {
namespace {

using Control = CButtonView::Control;
using namespace panel;

class ButtonPanel : public ::testing::Test {
 protected:
  ButtonPanel() { bench_.settings.language = Language::English; }
  std::unique_ptr<CButtonView> Make(KeyChordOutcome outcome = KeyChordOutcome::Sent) {
    bench_.context->language = bench_.settings.language;
    auto panel =
        bench_.MakePanel(std::make_unique<SilentVoice>(), std::make_unique<RecordingKeys>(bench_.chords, outcome));
    panel->show();
    return panel;
  }
  static QPoint Band(int band) { return QPoint(kRangeRect.center().x(), band * kRangeBandHeight + 15); }

  PanelBench bench_;
};

TEST_F(ButtonPanel, StartsFromTheScopeAndWithEveryButtonOnChannelZero) {
  auto panel = Make();
  for (int slot = 0; slot < 6; ++slot) {
    EXPECT_EQ(panel->SlotChannel(slot), 0) << slot;
    EXPECT_FALSE(panel->SlotPush(slot)) << slot;
  }
  EXPECT_EQ(panel->SlotChannel(6), -1);
  EXPECT_EQ(panel->CurrentSlot(), 0);
  EXPECT_FALSE(panel->PushReturnSlot());
  for (const PxrChannelInfo& record : panel->ChannelRecords()) ASSERT_EQ(voiceclient::ChannelName(record), "Not used");
  EXPECT_EQ(panel->ChannelName(42), "Not used");
  EXPECT_EQ(panel->PictureOf(Control::Strip), 149);
  EXPECT_EQ(panel->PictureOf(Control::Talk), 228);
  EXPECT_EQ(panel->PictureOf(Control::Intensity), 224);
  EXPECT_EQ(panel->PictureOf(Control::Units), 232);
  EXPECT_EQ(panel->PictureOf(Control::Range), 1037);  // 50 km
  EXPECT_EQ(panel->PictureOf(Control::Coast), 154);
  EXPECT_EQ(panel->PictureOf(Control::Rings), 154);
  EXPECT_EQ(panel->PictureOf(Control::Coverage), 155);
  EXPECT_EQ(panel->PictureOf(Control::Drawing), 155);
  EXPECT_EQ(panel->PictureOf(Control::Atc), 155);
  EXPECT_EQ(panel->PictureOf(Control::Labels), 155);
  EXPECT_EQ(panel->AtcLabel(), "Awacs");
  EXPECT_EQ(bench_.messages->Count(), 0);

  // Spanish names the unused records differently.
  bench_.settings.language = Language::Spanish;
  auto spanish = Make();
  EXPECT_EQ(voiceclient::ChannelName(spanish->ChannelRecords()[49]), "No Utilizado");
}

// Start options reach the scope after the panel is made: its switches follow,
// and the next click turns the labels off rather than "on" a second time.
TEST_F(ButtonPanel, SwitchesFollowStartOptionsAppliedAfterItWasMade) {
  auto panel = Make();
  bench_.scope->Options().labelsShown = bench_.scope->Options().labelsOption = true;
  bench_.scope->Options().coverageShown = true;
  panel->ShowScopeSwitches();
  EXPECT_EQ(panel->PictureOf(Control::Labels), 154);
  EXPECT_EQ(panel->PictureOf(Control::Coverage), 154);
  PanelBench::Click(*panel, PanelBench::Middle(Control::Labels));
  EXPECT_FALSE(bench_.scope->Options().labelsShown);
  EXPECT_EQ(panel->PictureOf(Control::Labels), 155);
}

TEST_F(ButtonPanel, StripHitTestByXOffset) {
  const std::vector<std::pair<int, std::optional<int>>> cases{
      {-1, std::nullopt}, {0, 1},   {37, 1},  {38, 2},  {71, 2},  {72, 3},  {104, 3},
      {105, 4},           {135, 4}, {136, 5}, {166, 5}, {167, 6}, {203, 6}, {204, std::nullopt}};
  for (const auto& [x, button] : cases) EXPECT_EQ(StripButtonAt(x), button) << x;

  auto panel = Make();
  QSignalSpy switched(panel.get(), &CButtonView::CurrentSlotChanged);
  PanelBench::Click(*panel, PanelBench::StripOffset(38));
  EXPECT_EQ(panel->CurrentSlot(), 1);
  PanelBench::Click(*panel, PanelBench::StripOffset(37));
  EXPECT_EQ(panel->CurrentSlot(), 0);
  PanelBench::Click(*panel, PanelBench::StripOffset(203));
  EXPECT_EQ(panel->CurrentSlot(), 5);
  EXPECT_EQ(panel->PictureOf(Control::Strip), 223);
  PanelBench::Click(*panel, PanelBench::StripOffset(204));  // beyond the strip: no button
  EXPECT_EQ(panel->CurrentSlot(), 5);
  ASSERT_EQ(switched.count(), 3);
  EXPECT_EQ(switched.at(2).at(0).toInt(), 5);
}

TEST_F(ButtonPanel, ANonPushButtonSwitchesOnReleaseAndStays) {
  auto panel = Make();
  QSignalSpy switched(panel.get(), &CButtonView::CurrentSlotChanged);
  PanelBench::Press(*panel, PanelBench::StripButton(3));
  EXPECT_EQ(switched.count(), 0);
  EXPECT_EQ(panel->PictureOf(Control::Strip), 149);
  PanelBench::Release(*panel, PanelBench::StripButton(3));
  ASSERT_EQ(switched.count(), 1);
  EXPECT_EQ(panel->CurrentSlot(), 2);
  EXPECT_EQ(panel->PictureOf(Control::Strip), 151);
  EXPECT_TRUE(bench_.chords->empty());
}

TEST_F(ButtonPanel, PushButtonsHoldCtrlAltFnAndReturn) {
  for (int button = 1; button <= 6; ++button) bench_.store->WriteInt("Config", ChannelPushKey(button), 1);
  bench_.store->WriteInt("Config", ChannelPushKey(2), 0);
  auto panel = Make();
  PanelBench::Click(*panel, PanelBench::StripButton(2));  // the button to come back to
  ASSERT_EQ(panel->CurrentSlot(), 1);
  for (const int button : {1, 3, 4, 5, 6}) {
    bench_.chords->clear();
    const KeyChord chord{{29, 56, static_cast<std::uint16_t>(58 + button)}};
    PanelBench::Press(*panel, PanelBench::StripButton(button));
    EXPECT_EQ(panel->CurrentSlot(), button - 1);
    EXPECT_EQ(panel->PictureOf(Control::Strip), kStripPictures[static_cast<std::size_t>(button - 1)]);
    EXPECT_EQ(panel->PushReturnSlot(), 1);
    ASSERT_EQ(*bench_.chords, (std::vector<SentChord>{{chord, KeyAction::Press}})) << button;
    // Released anywhere: back to button 2, keys up.
    PanelBench::Release(*panel, QPoint(5, 5));
    EXPECT_EQ(panel->CurrentSlot(), 1);
    EXPECT_EQ(panel->PictureOf(Control::Strip), 150);
    EXPECT_FALSE(panel->PushReturnSlot());
    EXPECT_EQ(*bench_.chords, (std::vector<SentChord>{{chord, KeyAction::Press}, {chord, KeyAction::Release}}));
  }
  // A window that loses the mouse in between lets go of the keys as well.
  bench_.chords->clear();
  PanelBench::Press(*panel, PanelBench::StripButton(4));
  QEvent deactivate(QEvent::WindowDeactivate);
  QCoreApplication::sendEvent(panel.get(), &deactivate);
  EXPECT_EQ(panel->CurrentSlot(), 1);
  ASSERT_EQ(bench_.chords->size(), 2u);
  EXPECT_EQ(bench_.chords->back().action, KeyAction::Release);
  PanelBench::Release(*panel, PanelBench::StripButton(4));  // the late release changes nothing more
  EXPECT_EQ(bench_.chords->size(), 2u);
}

TEST_F(ButtonPanel, TalkButtonHoldsCtrlAltF10WhilePressed) {
  auto panel = Make();
  const KeyChord talk{{29, 56, 68}};
  PanelBench::Press(*panel, PanelBench::Middle(Control::Talk));
  EXPECT_TRUE(panel->TalkHeld());
  EXPECT_EQ(panel->PictureOf(Control::Talk), 229);
  ASSERT_EQ(*bench_.chords, (std::vector<SentChord>{{talk, KeyAction::Press}}));
  // The mouse is the panel's until released, wherever that happens.
  PanelBench::Release(*panel, QPoint(600, 900));
  EXPECT_FALSE(panel->TalkHeld());
  EXPECT_EQ(panel->PictureOf(Control::Talk), 228);
  EXPECT_EQ(*bench_.chords, (std::vector<SentChord>{{talk, KeyAction::Press}, {talk, KeyAction::Release}}));
  EXPECT_EQ(bench_.messages->Count(), 0);
  // Going away while held: the keys go up.
  PanelBench::Press(*panel, PanelBench::Middle(Control::Talk));
  panel.reset();
  EXPECT_EQ(bench_.chords->back(), (SentChord{talk, KeyAction::Release}));
}

TEST_F(ButtonPanel, KeyEventsRefusedOrImpossibleAreReported) {
  {
    auto panel = Make(KeyChordOutcome::Refused);
    PanelBench::Press(*panel, PanelBench::Middle(Control::Talk));
    EXPECT_EQ(bench_.messages->Count(), 0);  // not while the button is held
    PanelBench::Release(*panel, PanelBench::Middle(Control::Talk));
    EXPECT_EQ(bench_.messages->errors, QStringList({"Error", "Error"}));
  }
  bench_.messages->errors.clear();
  auto panel = Make(KeyChordOutcome::Unavailable);
  PanelBench::Click(*panel, PanelBench::Middle(Control::Talk));
  PanelBench::Click(*panel, PanelBench::Middle(Control::Talk));
  ASSERT_EQ(bench_.messages->information.size(), 1);  // once, not at every press
  EXPECT_TRUE(bench_.messages->information[0].contains("offscreen"));
  EXPECT_TRUE(bench_.messages->errors.isEmpty());
  EXPECT_EQ(panel->PictureOf(Control::Talk), 228);
}

TEST_F(ButtonPanel, RangeBandsOfThirtyPixels) {
  auto panel = Make();
  const unsigned ranges[] = {2, 5, 10, 20, 50, 100, 200, 300};
  for (int band = 1; band <= 8; ++band) {
    PanelBench::Click(*panel, Band(band));
    EXPECT_EQ(bench_.scope->RangeKm(), ranges[band - 1]) << band;
    EXPECT_EQ(panel->PictureOf(Control::Range), 1032 + band);
  }
  // The top edge of band 1 and the bottom edge of band 8.
  PanelBench::Click(*panel, QPoint(kRangeRect.center().x(), 30));
  EXPECT_EQ(bench_.scope->RangeKm(), 2u);
  PanelBench::Click(*panel, QPoint(kRangeRect.center().x(), 269));
  EXPECT_EQ(bench_.scope->RangeKm(), 300u);
  // Nautical units show the nautical pictures.
  PanelBench::Click(*panel, PanelBench::Middle(Control::Units));
  EXPECT_EQ(panel->PictureOf(Control::Range), 140);
  PanelBench::Click(*panel, Band(3));
  EXPECT_EQ(panel->PictureOf(Control::Range), 135);
}

class RadarAt final : public scope::CentringSources {
 public:
  std::optional<geo::GeoPoint> CarrierPosition() const override { return std::nullopt; }
  std::optional<geo::GeoPoint> RadarSitePosition(int) const override { return geo::GeoPoint{44.5, 38.0}; }
};

TEST_F(ButtonPanel, AtcModeKeepsTo50KmOrLessAndRestoresTheRange) {
  auto panel = Make();
  QSignalSpy ils(panel.get(), &CButtonView::IlsViewShown);
  PanelBench::Click(*panel, Band(4));  // 20 km
  PanelBench::Click(*panel, PanelBench::Middle(Control::Coverage));
  ASSERT_TRUE(bench_.scope->Options().coverageShown);
  bench_.sound.started.clear();

  PanelBench::Click(*panel, PanelBench::Middle(Control::Atc));
  EXPECT_TRUE(panel->IsAtcMode());
  EXPECT_EQ(panel->PictureOf(Control::Atc), 154);
  EXPECT_EQ(bench_.scope->RangeKm(), 50u);
  EXPECT_EQ(panel->PictureOf(Control::Range), 1037);
  EXPECT_TRUE(bench_.scope->Geometry().AirfieldMode());
  EXPECT_EQ(panel->AtcLabel(), "Atc");
  EXPECT_FALSE(bench_.scope->Options().coverageShown);
  EXPECT_EQ(panel->PictureOf(Control::Coverage), 155);
  EXPECT_EQ(bench_.sound.started, QStringList({"switch.wav"}));
  ASSERT_EQ(ils.count(), 1);
  EXPECT_TRUE(ils.at(0).at(0).toBool());

  for (const int band : {6, 7, 8}) {
    PanelBench::Click(*panel, Band(band));
    EXPECT_EQ(bench_.scope->RangeKm(), 50u) << band;
  }
  PanelBench::Click(*panel, Band(3));
  EXPECT_EQ(bench_.scope->RangeKm(), 10u);

  PanelBench::Click(*panel, PanelBench::Middle(Control::Atc));
  EXPECT_FALSE(panel->IsAtcMode());
  EXPECT_EQ(bench_.scope->RangeKm(), 20u);  // as before ATC mode
  EXPECT_EQ(panel->PictureOf(Control::Range), 1036);
  EXPECT_FALSE(bench_.scope->Geometry().AirfieldMode());
  EXPECT_EQ(panel->AtcLabel(), "Awacs");
  EXPECT_EQ(bench_.sound.started.size(), 1);  // no sound going back
  ASSERT_EQ(ils.count(), 2);
  EXPECT_FALSE(ils.at(1).at(0).toBool());

  // Centred on a radar, the button does nothing.
  bench_.scope->Geometry().OnCentringCommand(scope::kFirstRadarCommand + 3, RadarAt());
  ASSERT_EQ(bench_.scope->CentringCommand(), 32803);
  PanelBench::Click(*panel, PanelBench::Middle(Control::Atc));
  EXPECT_FALSE(panel->IsAtcMode());
  EXPECT_EQ(ils.count(), 2);
}

TEST_F(ButtonPanel, IntensityStepsByTenWithinLimitsAndItsPictureCyclesRegardless) {
  auto panel = Make();
  ASSERT_EQ(bench_.scope->Options().coastlineIntensity, 233);
  const QPoint brighter(kIntensitySplitX + 1, kIntensityRect.center().y());
  const QPoint darker(kIntensitySplitX, kIntensityRect.center().y());
  const int expectedIntensity[] = {243, 250, 250, 250, 250};
  const int expectedPicture[] = {225, 226, 227, 224, 225};
  for (int i = 0; i < 5; ++i) {
    PanelBench::Click(*panel, brighter);
    EXPECT_EQ(bench_.scope->Options().coastlineIntensity, expectedIntensity[i]) << i;
    EXPECT_EQ(panel->PictureOf(Control::Intensity), expectedPicture[i]) << i;
  }
  EXPECT_EQ(bench_.store->ReadInt("config", "Intensity", 0), 250);
  PanelBench::Click(*panel, darker);  // x = 124 darkens
  EXPECT_EQ(bench_.scope->Options().coastlineIntensity, 240);
  EXPECT_EQ(panel->PictureOf(Control::Intensity), 224);
  for (int i = 0; i < 30; ++i) PanelBench::Click(*panel, darker);
  EXPECT_EQ(bench_.scope->Options().coastlineIntensity, 0);
  EXPECT_EQ(panel->PictureOf(Control::Intensity), 226);  // 31 steps back from 225
  EXPECT_EQ(bench_.store->ReadInt("config", "Intensity", -1), 0);
  EXPECT_TRUE(bench_.sound.started.isEmpty());
}

TEST_F(ButtonPanel, StoppingADrawingAsksWhetherToSaveIt) {
  const QString file = bench_.folder.filePath("dessin.dat");
  auto panel = Make();
  PanelBench::Click(*panel, PanelBench::Middle(Control::Drawing));
  EXPECT_TRUE(bench_.scope->Tools().DrawingMode());
  EXPECT_EQ(panel->PictureOf(Control::Drawing), 154);
  EXPECT_TRUE(bench_.answers->questions.isEmpty());

  bench_.answers->yes = false;
  PanelBench::Click(*panel, PanelBench::Middle(Control::Drawing));
  EXPECT_FALSE(bench_.scope->Tools().DrawingMode());
  EXPECT_EQ(panel->PictureOf(Control::Drawing), 155);
  EXPECT_EQ(bench_.answers->questions, QStringList({"Save drawing to file?"}));
  EXPECT_FALSE(QFile::exists(file));

  bench_.answers->yes = true;
  PanelBench::Click(*panel, PanelBench::Middle(Control::Drawing));
  PanelBench::Click(*panel, PanelBench::Middle(Control::Drawing));
  ASSERT_TRUE(QFile::exists(file));
  QFile saved(file);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(saved.readAll(), "0.000000\t0.000000\n0.000000\t0.000000\n");  // one separator per drawing
  EXPECT_EQ(bench_.sound.started.size(), 4);
  EXPECT_TRUE(bench_.messages->errors.isEmpty());

  // A file that cannot be written is reported.
  saved.close();
  ASSERT_TRUE(QFile::remove(file));
  ASSERT_TRUE(QDir(bench_.folder.path()).mkdir("dessin.dat"));
  PanelBench::Click(*panel, PanelBench::Middle(Control::Drawing));
  PanelBench::Click(*panel, PanelBench::Middle(Control::Drawing));
  EXPECT_EQ(bench_.messages->errors, QStringList({"Can't Create file"}));

  // The question in the other languages.
  bench_.settings.language = Language::Spanish;
  auto spanish = Make();
  PanelBench::Click(*spanish, PanelBench::Middle(Control::Drawing));
  bench_.answers->yes = false;
  PanelBench::Click(*spanish, PanelBench::Middle(Control::Drawing));
  EXPECT_EQ(bench_.answers->questions.back(), "Guardar el dibujo ?");
  bench_.settings.language = Language::French;
  auto french = Make();
  PanelBench::Click(*french, PanelBench::Middle(Control::Drawing));
  PanelBench::Click(*french, PanelBench::Middle(Control::Drawing));
  EXPECT_EQ(bench_.answers->questions.back(), "Sauvegarder dessin ?");
}

TEST_F(ButtonPanel, ToggleButtonsSwitchTheScopesOptions) {
  auto panel = Make();
  scope::ScopeOptions& options = bench_.scope->Options();
  PanelBench::Click(*panel, PanelBench::Middle(Control::Labels));
  EXPECT_TRUE(options.labelsOption);
  EXPECT_TRUE(options.labelsShown);
  EXPECT_TRUE(panel->LabelsOn());
  EXPECT_EQ(panel->PictureOf(Control::Labels), 154);
  EXPECT_TRUE(bench_.sound.started.isEmpty());  // labels click silently
  PanelBench::Click(*panel, PanelBench::Middle(Control::Labels));
  EXPECT_FALSE(options.labelsShown);

  PanelBench::Click(*panel, PanelBench::Middle(Control::Coast));
  EXPECT_FALSE(options.coastlineShown);
  EXPECT_EQ(panel->PictureOf(Control::Coast), 155);
  bench_.scope->Geometry().CoastlineCacheRebuilt();
  PanelBench::Click(*panel, PanelBench::Middle(Control::Coast));
  EXPECT_TRUE(options.coastlineShown);
  EXPECT_TRUE(bench_.scope->Geometry().CoastlineCacheStale());  // redrawn when it comes back

  PanelBench::Click(*panel, PanelBench::Middle(Control::Rings));
  EXPECT_FALSE(options.rangeRingsShown);
  EXPECT_EQ(panel->PictureOf(Control::Rings), 155);
  PanelBench::Click(*panel, PanelBench::Middle(Control::Coverage));
  EXPECT_TRUE(options.coverageShown);
  EXPECT_EQ(panel->PictureOf(Control::Coverage), 154);
  EXPECT_EQ(bench_.sound.started, QStringList({"switch.wav", "switch.wav", "switch.wav", "switch.wav"}));
  EXPECT_TRUE(bench_.sound.waited.isEmpty());

  QSignalSpy settingsAsked(panel.get(), &CButtonView::DisplaySettingsRequested);
  QSignalSpy exitAsked(panel.get(), &CButtonView::ExitRequested);
  PanelBench::Click(*panel, PanelBench::Middle(Control::Settings));
  EXPECT_EQ(settingsAsked.count(), 1);
  panel->ShowWindState(true);
  EXPECT_EQ(panel->PictureOf(Control::Settings), 154);
  panel->ShowWindState(false);
  EXPECT_EQ(panel->PictureOf(Control::Settings), 155);
  PanelBench::Click(*panel, PanelBench::Middle(Control::Quit));
  EXPECT_EQ(exitAsked.count(), 0);  // posted, not sent from inside the click
  EXPECT_TRUE(exitAsked.wait(1000));
  PanelBench::Click(*panel, PanelBench::Middle(Control::Decoration));
  EXPECT_EQ(exitAsked.count(), 1);
  EXPECT_EQ(settingsAsked.count(), 1);
}

TEST_F(ButtonPanel, UnitToggleFlipsTheUnitsForThisRunOnly) {
  auto panel = Make();
  PanelBench::Click(*panel, PanelBench::Middle(Control::Units));
  EXPECT_TRUE(bench_.settings.imperial);
  EXPECT_EQ(panel->PictureOf(Control::Units), 231);
  EXPECT_EQ(panel->PictureOf(Control::Range), 137);
  PanelBench::Click(*panel, PanelBench::Middle(Control::Units));
  EXPECT_FALSE(bench_.settings.imperial);
  EXPECT_EQ(panel->PictureOf(Control::Units), 232);
  EXPECT_FALSE(bench_.store->Contains("config", "metric"));
}

TEST_F(ButtonPanel, RangePictureFollowsTheWheel) {
  auto panel = Make();
  bench_.scope->show();
  ASSERT_EQ(bench_.scope->RangeKm(), 50u);
  QWheelEvent event(QPointF(400, 300), bench_.scope->mapToGlobal(QPointF(400, 300)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(bench_.scope.get(), &event);
  EXPECT_EQ(bench_.scope->RangeKm(), 100u);
  EXPECT_EQ(panel->PictureOf(Control::Range), 1038);

  panel->ShowRange(200);
  EXPECT_EQ(panel->PictureOf(Control::Range), 1039);
  panel->ShowRange(400);  // no picture for it
  EXPECT_EQ(panel->PictureOf(Control::Range), 1039);
  EXPECT_EQ(panel->RangeText(), "???");
}

TEST_F(ButtonPanel, HiddenChannelButtonsSwitchAndAssign) {
  auto panel = Make();
  const auto buttons = panel->findChildren<QPushButton*>();
  ASSERT_EQ(buttons.size(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(buttons[i]->text(), QStringLiteral("Canal %1").arg(i + 1));
    EXPECT_TRUE(buttons[i]->isHidden());
  }
  buttons[2]->click();
  EXPECT_EQ(panel->CurrentSlot(), 2);
  QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
  QCoreApplication::sendEvent(buttons[3], &doubleClick);
  // The silent voice client cannot list channels: button 4 is unassigned.
  EXPECT_EQ(bench_.messages->errors, QStringList({"Can't connect.Parlix running and connected?"}));
  EXPECT_EQ(panel->SlotChannel(3), -1);
}

PxrChannelInfo Channel(int id, const char* name) {
  PxrChannelInfo channel{};
  channel.id = id;
  voiceclient::SetFieldText(channel.name, sizeof(channel.name), QString::fromUtf8(name));
  return channel;
}

TEST(SelectChannelDialog, SortedNamesWithTheirChannelNumbersAndThePushBox) {
  const std::vector<PxrChannelInfo> channels{Channel(4, "Tower"), Channel(5, "approach"), Channel(2, "Blue Ops"),
                                             Channel(1, "lobby")};
  CSelectChannelDlg dialog(channels, true, Language::English);
  QComboBox* list = dialog.ChannelList();
  ASSERT_EQ(list->count(), 4);
  const QStringList expected{"approach", "Blue Ops", "lobby", "Tower"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list->itemText(i), expected[i]);
  EXPECT_EQ(list->itemData(3).toInt(), 4);
  EXPECT_EQ(list->currentIndex(), 0);
  EXPECT_EQ(dialog.ChosenChannel(), 5);
  EXPECT_TRUE(dialog.Push());
  EXPECT_EQ(dialog.windowTitle(), "Select Channel");
  EXPECT_EQ(dialog.PushBox()->text(), "Use has a push button");
  EXPECT_EQ(dialog.CancelButton()->text(), "&Cancel");
  list->setCurrentIndex(1);
  dialog.PushBox()->setChecked(false);
  EXPECT_EQ(dialog.ChosenChannel(), 2);
  EXPECT_FALSE(dialog.Push());

  CSelectChannelDlg spanish({}, false, Language::Spanish);
  EXPECT_EQ(spanish.windowTitle(), "Seleccione canal");
  EXPECT_EQ(spanish.CancelButton()->text(), "&Cancelar");
  EXPECT_EQ(spanish.ChosenChannel(), -1);  // an empty list
  CSelectChannelDlg french(channels, false, Language::French);
  EXPECT_EQ(french.PushBox()->text(), "Utiliser comme bouton pousoir");
  EXPECT_EQ(french.CancelButton()->text(), "Annuler");
  EXPECT_FALSE(french.Push());
}

TEST(SelectChannelDialog, OkAndCancelThroughTheRealDialog) {
  const std::vector<PxrChannelInfo> channels{Channel(7, "Ground"), Channel(3, "Approach")};
  const auto answerWith = [](bool ok) {
    QTimer::singleShot(0, [ok] {
      auto* dialog = qobject_cast<CSelectChannelDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      dialog->ChannelList()->setCurrentIndex(1);
      dialog->PushBox()->setChecked(true);
      (ok ? dialog->OkButton() : dialog->CancelButton())->click();
    });
  };
  CSelectChannelDlg dialog(channels, false, Language::English);
  answerWith(true);
  ASSERT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(dialog.ChosenChannel(), 7);
  EXPECT_TRUE(dialog.Push());
  CSelectChannelDlg again(channels, false, Language::English);
  answerWith(false);
  EXPECT_EQ(again.exec(), QDialog::Rejected);
}

}  // namespace
}  // namespace vantor::shell::test
