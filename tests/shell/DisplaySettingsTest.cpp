// The display settings dialog as the main frame runs it: what it opens
// with, the wind rules, the validation of the direction, what OK stores and
// applies, and that Cancel changes nothing.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <vector>

#include "FrameTestSupport.h"
#include "vantor/model/ClientSettings.h"
#include "vantor/platform/Notifier.h"
#include "vantor/scope/CRivakView.h"
#include "vantor/shell/CButtonView.h"
#include "vantor/shell/CDisplaySettingsDlg.h"
#include "vantor/shell/CVoiceWnd.h"

namespace vantor::shell::test {
namespace {

const char* const kStoredNames[] = {"metric",          "DisplayMode", "Invertcallsign", "fontsize",
                                    "ShowOldPosition", "Showrose",    "ShowParlix",     "DONOTShowspeed"};

// A click on a check box's indicator, as the user ticks it.
void Tick(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2)); }

class RecordingNotifier final : public Notifier {
 public:
  explicit RecordingNotifier(std::vector<QString>& shown) : shown_(shown) {}
  void ShowError(const QString& text) override { shown_.push_back(text); }
  void ShowInformation(const QString& text) override { shown_.push_back(text); }

 private:
  std::vector<QString>& shown_;
};

class DisplaySettings : public ::testing::Test {
 protected:
  void Start(const char* language = "1033", const std::function<void(SettingsStore&)>& stored = {}) {
    client_ = std::make_unique<ClientUnderTest>(language, QRect(0, 0, 1600, 1000),
                                                [this, &stored](StartupOptions& options, ShellPlatform&) {
                                                  if (!stored) return;
                                                  auto store = SettingsStore::OpenFile(options.settingsFile);
                                                  stored(*store);
                                                  store->Sync();
                                                });
  }
  CMainFrame& Frame() { return client_->Frame(); }
  scope::CRivakView& Scope() { return *Frame().Scope(); }
  model::ClientSettings& Memory() { return client_->app->Settings(); }
  // Opens the dialog from the frame, runs `act` in it and returns once it
  // has closed. Validation messages are collected in `messages_`.
  void Open(const std::function<void(CDisplaySettingsDlg&)>& act, bool fromPanel = false) {
    WhenModalOpens<CDisplaySettingsDlg>([this, act](CDisplaySettingsDlg& dialog) {
      dialog.SetNotifier(std::make_unique<RecordingNotifier>(messages_));
      act(dialog);
      if (dialog.isVisible()) {
        ADD_FAILURE() << "the dialog was left open";
        dialog.reject();
      }
    });
    Frame().OpenDisplaySettings(fromPanel);
  }
  bool StoredAny() const {
    auto store = client_->Store();
    for (const char* name : kStoredNames)
      if (store->Contains("config", name)) return true;
    return false;
  }
  static void TypeWind(CDisplaySettingsDlg& dialog, const QString& text) {
    dialog.WindEdit()->selectAll();
    QTest::keyClicks(dialog.WindEdit(), text);
    if (text.isEmpty()) dialog.WindEdit()->clear();
  }

  std::unique_ptr<ClientUnderTest> client_;
  std::vector<QString> messages_;
};

TEST_F(DisplaySettings, WithNothingStoredOpensWithMetricFontTwelveAndTheHistoryFromMemory) {
  Start();
  Open([](CDisplaySettingsDlg& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Wind");
    EXPECT_TRUE(dialog.MetricBox()->isChecked());
    EXPECT_EQ(dialog.FontSizeList()->currentText(), "12");
    EXPECT_TRUE(dialog.OldPositionsBox()->isChecked());
    for (QCheckBox* box : {dialog.WindBox(), dialog.AdvancedBox(), dialog.InvertCallsignBox(), dialog.RoseBox(),
                           dialog.VoiceWindowBox(), dialog.HideSpeedBox()})
      EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    // No wind: slider and edit disabled, the direction at 1.
    EXPECT_FALSE(dialog.WindSlider()->isEnabled());
    EXPECT_FALSE(dialog.WindEdit()->isEnabled());
    EXPECT_EQ(dialog.WindEdit()->text(), "1");
    EXPECT_EQ(dialog.WindSlider()->minimum(), 1);
    EXPECT_EQ(dialog.WindSlider()->maximum(), 360);
    QStringList sizes;
    for (int i = 0; i < dialog.FontSizeList()->count(); ++i) sizes << dialog.FontSizeList()->itemText(i);
    EXPECT_EQ(sizes, QStringList({"10", "12", "14", "16", "18", "20"}));
    Click(dialog, "cancel");
  });
  EXPECT_FALSE(StoredAny());
}

TEST_F(DisplaySettings, StoredAndInMemoryValuesEachWhereTheyBelong) {
  Start("1033", [](SettingsStore& store) {
    store.WriteInt("config", "metric", 1);
    store.WriteInt("config", "ShowOldPosition", 1);
    store.WriteInt("config", "Showrose", 1);
    store.WriteInt("config", "DONOTShowspeed", 1);
  });
  // The panel flipped the units for this run; the history trail and the
  // advanced display changed in memory only.
  Memory().imperial = true;
  Memory().showOldPositions = false;
  Memory().displayMode = true;
  Memory().showRose = false;
  Open([](CDisplaySettingsDlg& dialog) {
    EXPECT_TRUE(dialog.MetricBox()->isChecked());         // stored
    EXPECT_FALSE(dialog.OldPositionsBox()->isChecked());  // memory
    EXPECT_TRUE(dialog.AdvancedBox()->isChecked());       // memory
    EXPECT_TRUE(dialog.RoseBox()->isChecked());           // stored
    EXPECT_TRUE(dialog.HideSpeedBox()->isChecked());      // stored
    Click(dialog, "cancel");
  });
  EXPECT_TRUE(Memory().imperial);  // Cancel applies nothing
}

TEST_F(DisplaySettings, FontSizeSelectedByTheStoredTextsBeginning) {
  EXPECT_EQ(FontSizeChoiceFor("12"), 1);
  EXPECT_EQ(FontSizeChoiceFor("1"), 0);  // "10" begins with "1"
  EXPECT_EQ(FontSizeChoiceFor("2"), 5);
  EXPECT_EQ(FontSizeChoiceFor("13"), -1);
  EXPECT_EQ(FontSizeChoiceFor("12abc"), -1);
  EXPECT_EQ(FontSizeChoiceFor("abc"), -1);

  // A stored 13 opens without a selection; OK without choosing stores 12.
  Start("1033", [](SettingsStore& store) { store.WriteString("config", "fontsize", "13"); });
  EXPECT_EQ(Memory().fontSize, 13);
  Open([](CDisplaySettingsDlg& dialog) {
    EXPECT_EQ(dialog.FontSizeList()->currentIndex(), -1);
    Click(dialog, "ok");
  });
  EXPECT_EQ(client_->Store()->ReadString("config", "fontsize", ""), "12");
  EXPECT_EQ(Memory().fontSize, 12);
}

TEST_F(DisplaySettings, DirectionOutsideOneTo360KeepsTheDialogOpenWithTheMessage) {
  Start("1036");
  Open([this](CDisplaySettingsDlg& dialog) {
    EXPECT_EQ(dialog.WindBox()->text(), "Vent ( Oui/Non)");
    Tick(dialog.WindBox());
    EXPECT_TRUE(dialog.WindEdit()->isEnabled());
    EXPECT_TRUE(dialog.WindSlider()->isEnabled());
    EXPECT_TRUE(messages_.empty());  // "1" is a direction
    for (const char* wrong : {"0", "361", "99999999999"}) {
      TypeWind(dialog, wrong);
      Click(dialog, "ok");
      EXPECT_TRUE(dialog.isVisible()) << wrong;
    }
    TypeWind(dialog, "");
    Click(dialog, "ok");
    EXPECT_TRUE(dialog.isVisible());
    // The edit takes nine digits at most: the long number is out of range.
    ASSERT_EQ(messages_.size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(messages_[i].toStdString(), "Tapez un nombre entier compris entre 1 et 360.");
    EXPECT_EQ(messages_[3].toStdString(), "Tapez un nombre entier.");
    EXPECT_FALSE(StoredAny());
    // The wind box validates too: one message per click.
    Tick(dialog.WindBox());
    EXPECT_EQ(messages_.size(), 5u);
    Tick(dialog.WindBox());
    EXPECT_EQ(messages_.size(), 6u);
    TypeWind(dialog, "360");
    Click(dialog, "ok");
    EXPECT_FALSE(dialog.isVisible());
  });
  EXPECT_EQ(Scope().Options().windDirectionDeg, 360u);
  EXPECT_TRUE(StoredAny());
  // The wind is never stored.
  auto store = client_->Store();
  EXPECT_FALSE(store->Contains("config", "wind"));
  EXPECT_EQ(store->ReadInt("config", "metric", 7), 1);
}

TEST_F(DisplaySettings, TheScopesWindPresetsTheBoxAndUntickingSetsNoWind) {
  Start("1034");
  Scope().Options().windDirectionDeg = 90;
  Open([](CDisplaySettingsDlg& dialog) {
    EXPECT_EQ(dialog.WindBox()->text(), "&Viento");
    EXPECT_TRUE(dialog.WindBox()->isChecked());
    EXPECT_EQ(dialog.WindEdit()->text(), "90");
    EXPECT_EQ(dialog.WindSlider()->value(), 90);
    // The slider writes the direction into the edit.
    dialog.WindSlider()->setValue(200);
    EXPECT_EQ(dialog.WindEdit()->text(), "200");
    // A direction typed in full moves the slider.
    TypeWind(dialog, "45");
    EXPECT_EQ(dialog.WindSlider()->value(), 45);
    Click(dialog, "ok");
  });
  EXPECT_EQ(Scope().Options().windDirectionDeg, 45u);
  // The panel's settings button shows the wind: lit.
  EXPECT_EQ(Frame().ButtonView()->PictureOf(CButtonView::Control::Settings), 154);

  Open([](CDisplaySettingsDlg& dialog) {
    EXPECT_EQ(dialog.WindEdit()->text(), "45");
    Tick(dialog.WindBox());
    EXPECT_FALSE(dialog.WindEdit()->isEnabled());
    EXPECT_EQ(dialog.WindEdit()->text(), "45");
    Click(dialog, "ok");
  });
  EXPECT_EQ(Scope().Options().windDirectionDeg, 0u);
  EXPECT_EQ(Frame().ButtonView()->PictureOf(CButtonView::Control::Settings), 155);

  // The panel's settings button opens the same dialog.
  bool opened = false;
  WhenModalOpens<CDisplaySettingsDlg>([&opened](CDisplaySettingsDlg& dialog) {
    opened = true;
    EXPECT_FALSE(dialog.WindBox()->isChecked());
    Click(dialog, "cancel");
  });
  Q_EMIT Frame().ButtonView()->DisplaySettingsRequested();
  EXPECT_TRUE(opened);
}

TEST_F(DisplaySettings, CancelWritesNothingAndKeepsTheWind) {
  Start();
  Scope().Options().windDirectionDeg = 120;
  const model::ClientSettings before = Memory();
  Open([](CDisplaySettingsDlg& dialog) {
    Tick(dialog.WindBox());
    Tick(dialog.MetricBox());
    dialog.FontSizeList()->setCurrentIndex(5);
    Click(dialog, "cancel");
  });
  EXPECT_EQ(Scope().Options().windDirectionDeg, 120u);
  EXPECT_FALSE(StoredAny());
  EXPECT_EQ(Memory().imperial, before.imperial);
  EXPECT_EQ(Memory().fontSize, before.fontSize);
}

TEST_F(DisplaySettings, OkStoresEveryOptionAppliesItAndAsksForTheVoiceWindow) {
  Start();
  QSignalSpy voice(&Frame(), &CMainFrame::VoiceWindowShowRequested);
  QSignalSpy changed(&Frame(), &CMainFrame::DisplaySettingsChanged);
  Open(
      [](CDisplaySettingsDlg& dialog) {
        for (QCheckBox* box :
             {dialog.MetricBox(), dialog.OldPositionsBox(), dialog.AdvancedBox(), dialog.InvertCallsignBox(),
              dialog.RoseBox(), dialog.VoiceWindowBox(), dialog.HideSpeedBox()})
          Tick(box);
        dialog.FontSizeList()->setCurrentIndex(3);
        Click(dialog, "ok");
      },
      true);
  auto store = client_->Store();
  EXPECT_EQ(store->ReadInt("config", "metric", 7), 0);
  EXPECT_EQ(store->ReadInt("config", "DisplayMode", 7), 1);
  EXPECT_EQ(store->ReadInt("config", "Invertcallsign", 7), 1);
  EXPECT_EQ(store->ReadString("config", "fontsize", ""), "16");
  EXPECT_EQ(store->ReadInt("config", "ShowOldPosition", 7), 0);
  EXPECT_EQ(store->ReadInt("config", "Showrose", 7), 1);
  EXPECT_EQ(store->ReadInt("config", "ShowParlix", 7), 1);
  EXPECT_EQ(store->ReadInt("config", "DONOTShowspeed", 7), 1);
  EXPECT_TRUE(Memory().imperial);
  EXPECT_TRUE(Memory().displayMode);
  EXPECT_TRUE(Memory().invertCallsign);
  EXPECT_EQ(Memory().fontSize, 16);
  EXPECT_FALSE(Memory().showOldPositions);
  EXPECT_TRUE(Memory().showRose);
  EXPECT_TRUE(Memory().showVoiceWindow);
  EXPECT_TRUE(Memory().hideSpeed);
  EXPECT_EQ(voice.count(), 1);
  EXPECT_EQ(changed.count(), 1);
  // The voice window comes up at (10, 10).
  ASSERT_NE(Frame().VoiceWindow(), nullptr);
  EXPECT_TRUE(Frame().VoiceWindow()->isVisible());
  EXPECT_EQ(Frame().VoiceWindow()->pos(), QPoint(10, 10));

  // Unticking the voice window box asks for nothing.
  Open([](CDisplaySettingsDlg& dialog) {
    EXPECT_TRUE(dialog.VoiceWindowBox()->isChecked());
    Tick(dialog.VoiceWindowBox());
    Click(dialog, "ok");
  });
  EXPECT_EQ(voice.count(), 1);
  EXPECT_FALSE(Memory().showVoiceWindow);
  // Unticking does not hide a window already shown.
  EXPECT_TRUE(Frame().VoiceWindow()->isVisible());
  EXPECT_EQ(client_->Store()->ReadInt("config", "ShowParlix", 7), 0);
}

TEST_F(DisplaySettings, AStoredVoiceWindowSettingShowsTheWindowAtStart) {
  Start("1033", [](SettingsStore& store) { store.WriteInt("config", "ShowParlix", 1); });
  ASSERT_NE(Frame().VoiceWindow(), nullptr);
  EXPECT_TRUE(Frame().VoiceWindow()->isVisible());
  EXPECT_EQ(Frame().VoiceWindow()->pos(), QPoint(10, 10));
}

TEST(DisplaySettingsTexts, EnglishAndSpanishReplaceTheFrenchTemplate) {
  CDisplaySettingsDlg english(Language::English);
  EXPECT_EQ(english.MetricBox()->text(), "&Metric system");
  EXPECT_EQ(english.OldPositionsBox()->text(), "&Show five last positions of contacts");
  EXPECT_EQ(english.findChild<QPushButton*>("cancel")->text(), "&Cancel");
  CDisplaySettingsDlg spanish(Language::Spanish);
  EXPECT_EQ(spanish.MetricBox()->text(), "&Sist.Métrico");
  EXPECT_EQ(spanish.findChild<QPushButton*>("cancel")->text(), "&Cancelar");
  CDisplaySettingsDlg french(Language::French);
  EXPECT_EQ(french.HideSpeedBox()->text(), "Ne pas afficher la vitesse des contacts");
  EXPECT_EQ(french.findChild<QPushButton*>("cancel")->text(), "Cancel");
}

}  // namespace
}  // namespace vantor::shell::test

namespace vantor::shell::test {
namespace {

const char* const kAidNames[] = {"ShowCursorReadout", "Bullseye", "ShowBraa", "Declutter", "ConflictAlert"};

TEST_F(DisplaySettings, ScopeAidsAreTickedStoredAndLeftOutOfAStoreThatNeverHadThem) {
  Start();
  // OK with the aids left off writes none of their keys.
  Open([](CDisplaySettingsDlg& dialog) {
    for (QCheckBox* box : {dialog.CursorReadoutBox(), dialog.BullseyeBox(), dialog.BraaBox(), dialog.DeclutterBox(),
                           dialog.ConflictAlertBox()})
      EXPECT_FALSE(box->isChecked());
    Click(dialog, "ok");
  });
  for (const char* name : kAidNames) EXPECT_FALSE(client_->Store()->Contains("config", name)) << name;

  Open([](CDisplaySettingsDlg& dialog) {
    for (QCheckBox* box : {dialog.CursorReadoutBox(), dialog.BullseyeBox(), dialog.BraaBox(), dialog.DeclutterBox(),
                           dialog.ConflictAlertBox()})
      Tick(box);
    Click(dialog, "ok");
  });
  for (const char* name : kAidNames) EXPECT_EQ(client_->Store()->ReadInt("config", name, 7), 1) << name;
  EXPECT_TRUE(Memory().showCursorReadout && Memory().bullseye && Memory().showBraa && Memory().declutter &&
              Memory().conflictAlert);

  // Off again: now written as 0, and the dialog opens with what memory holds.
  Open([](CDisplaySettingsDlg& dialog) {
    EXPECT_TRUE(dialog.DeclutterBox()->isChecked());
    Tick(dialog.DeclutterBox());
    Tick(dialog.ConflictAlertBox());
    Click(dialog, "ok");
  });
  EXPECT_EQ(client_->Store()->ReadInt("config", "Declutter", 7), 0);
  EXPECT_EQ(client_->Store()->ReadInt("config", "ConflictAlert", 7), 0);
  EXPECT_EQ(client_->Store()->ReadInt("config", "Bullseye", 7), 1);
  EXPECT_FALSE(Memory().declutter);
}

TEST_F(DisplaySettings, ScopeAidBoxesSpeakTheInterfacesLanguage) {
  Start("1036");
  Open([](CDisplaySettingsDlg& dialog) {
    EXPECT_EQ(dialog.DeclutterBox()->text(), QString::fromUtf8("Écarter les étiquettes"));
    EXPECT_EQ(dialog.BraaBox()->text(), QString::fromUtf8("BRAA depuis l'ami choisi (Ctrl + clic)"));
    dialog.reject();
  });
}

}  // namespace
}  // namespace vantor::shell::test
