// The main window's menu bar: its three menus in the language of the user
// interface, the Airports entries greyed for the coalition, the Radars menu
// rebuilt from the friendly radar sites, check marks following the scope.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "vantor/model/CRivakDoc.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/scope/CRivakView.h"
#include "vantor/shell/CMainFrame.h"
#include "vantor/shell/CRivakApp.h"
#include "vantor/shell/MainMenus.h"

namespace vantor::shell {
namespace {

void AddRadarSite(model::CRivakDoc& document, int id, int friendly) {
  document.UpdateContact(id, "HAWK SR", 45.0, 38.0 + id * 0.01, 100, 0, friendly, 'A', 0);
}

TEST(MainMenus, AirportEntriesGreyedByTheCoalitionsFlags) {
  protocol::ConfigBlock config;
  config.airfieldRadarOn[0].fill(1);
  config.airfieldRadarOn[0][3] = 0;
  config.airfieldRadarOn[1][7] = 1;
  const auto blue = GreyedAirportEntries(config, 0);
  EXPECT_TRUE(blue[3]);
  EXPECT_FALSE(blue[0]);
  EXPECT_FALSE(blue[21]);
  const auto red = GreyedAirportEntries(config, 1);
  EXPECT_FALSE(red[7]);
  EXPECT_TRUE(red[0]);
}

TEST(MainMenus, RadarEntriesListFriendlySitesBelowFiftyInNumberOrder) {
  model::ClientState state;
  model::CRivakDoc document(state);
  for (int i = 0; i < 5; ++i) AddRadarSite(document, 100 + i, 1);  // radar numbers 0 ... 4
  AddRadarSite(document, 200, 0);                                  // hostile: never listed
  document.UpdateContact(102, "", 0, 0, 0, 0, 1, 'A', 0);          // removes radar 2
  document.UpdateContact(103, "", 0, 0, 0, 0, 1, 'A', 0);          // and radar 3
  auto entries = RadarMenuEntries(document, Language::English);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].command, 32800);
  EXPECT_EQ(entries[0].text, "Radar_0");
  EXPECT_EQ(entries[1].text, "Radar_1");
  EXPECT_EQ(entries[2].command, 32804);
  EXPECT_EQ(entries[2].text, "Radar_4");
  EXPECT_EQ(RadarMenuEntries(document, Language::Spanish)[2].text, "Radares_4");
  EXPECT_EQ(RadarMenuEntries(document, Language::French)[2].text, "Radar_4");
  // Radar numbers of 50 and beyond are never listed.
  for (int i = 0; i < 50; ++i) AddRadarSite(document, 300 + i, 1);
  entries = RadarMenuEntries(document, Language::English);
  EXPECT_EQ(entries.back().command, 32849);
  EXPECT_EQ(entries.size(), 3u + 45u);
}

class MainFrame : public ::testing::Test {
 protected:
  void Start(const char* installerLanguage = "1033") {
    {
      auto store = SettingsStore::OpenFile(dir.filePath("rivak.ini"));
      store->WriteString("config", "Installer Language", installerLanguage);
      store->Sync();
    }
    ShellPlatform platform;
    platform.sound = std::make_unique<SilentSoundPlayer>();
    platform.taskBar = std::make_unique<NoTaskBar>();
    platform.workArea = [] { return QRect(0, 0, 1280, 994); };
    StartupOptions options;
    options.settingsFile = dir.filePath("rivak.ini");
    options.dataFolders = {dir.path(), test::BinDir()};
    options.sounds = false;
    app = std::make_unique<CRivakApp>(std::move(options), std::move(platform));
    ASSERT_TRUE(app->InitInstance());
    frame = app->MainWindow();
    ASSERT_NE(frame, nullptr);
  }
  void TearDown() override {
    if (app) app->ExitInstance();
  }
  QStringList Titles() const {
    QStringList titles;
    for (QAction* action : frame->menuBar()->actions()) titles << action->text();
    return titles;
  }

 public:
  QTemporaryDir dir;
  std::unique_ptr<CRivakApp> app;
  CMainFrame* frame = nullptr;
};

TEST_F(MainFrame, ThreeMenusInEachLanguage) {
  Start("1033");
  EXPECT_EQ(Titles(), (QStringList{"&Airports", "&Radars", "&?"}));
  const QList<QAction*> airports = frame->AirportsMenu()->actions();
  ASSERT_EQ(airports.size(), 26);
  EXPECT_EQ(airports[0]->text(), "Adler");
  EXPECT_EQ(airports[10]->text(), "Krasnodar center");
  EXPECT_EQ(airports[21]->text(), "Kuznetsov");
  EXPECT_TRUE(airports[22]->isSeparator());
  EXPECT_EQ(airports[23]->text(), "Record…");
  EXPECT_EQ(airports[24]->text(), "Stop recording");
  EXPECT_EQ(airports[25]->text(), "&Exit");
  EXPECT_EQ(frame->HelpMenu()->actions().at(0)->text(), "&About Vantor...");
  ASSERT_EQ(frame->RadarsMenu()->actions().size(), 1);
  EXPECT_TRUE(frame->RadarsMenu()->actions().at(0)->isSeparator());
  // The scope is one of the window's panes.
  ASSERT_NE(frame->Scope(), nullptr);
  EXPECT_TRUE(frame->centralWidget()->isAncestorOf(frame->Scope()));
}

TEST_F(MainFrame, FrenchAndSpanishMenus) {
  Start("1036");
  EXPECT_EQ(Titles(), (QStringList{"&Aéroports", "&Radars", "&?"}));
  EXPECT_EQ(frame->AirportsMenu()->actions().back()->text(), "&Quitter");
  EXPECT_EQ(frame->HelpMenu()->actions().at(0)->text(), "&A propos de Vantor...");
}

TEST_F(MainFrame, SpanishMenus) {
  Start("1034");
  EXPECT_EQ(Titles(), (QStringList{"&Aeropuerto", "&Radares", "&?"}));
  EXPECT_EQ(frame->AirportsMenu()->actions().back()->text(), "&Salir");
  EXPECT_EQ(frame->HelpMenu()->actions().at(0)->text(), "&Sobre Vantor...");
}

TEST_F(MainFrame, AirportsCentreTheScopeAndCarryTheCheckMark) {
  Start();
  // The first showing centred on Krasnodar center.
  EXPECT_TRUE(frame->ActionForCommand(32710)->isChecked());
  app->State().configBlock.airfieldRadarOn[0].fill(1);
  app->State().configBlock.airfieldRadarOn[0][1] = 0;
  frame->PrepareAirportsMenu();
  EXPECT_FALSE(frame->ActionForCommand(32701)->isEnabled());
  EXPECT_TRUE(frame->ActionForCommand(32700)->isEnabled());
  frame->ActionForCommand(32700)->trigger();
  EXPECT_EQ(frame->Scope()->CentringCommand(), 32700);
  EXPECT_TRUE(frame->ActionForCommand(32700)->isChecked());
  EXPECT_FALSE(frame->ActionForCommand(32710)->isChecked());
  // Choosing the checked entry again keeps its mark.
  frame->ActionForCommand(32700)->trigger();
  EXPECT_TRUE(frame->ActionForCommand(32700)->isChecked());
}

TEST_F(MainFrame, RadarsMenuRebuiltWhenItOpens) {
  Start();
  model::CRivakDoc& document = *app->Document();
  AddRadarSite(document, 100, 1);
  AddRadarSite(document, 101, 1);
  frame->PrepareRadarsMenu();
  ASSERT_EQ(frame->RadarsMenu()->actions().size(), 3);
  EXPECT_EQ(frame->RadarsMenu()->actions().at(2)->text(), "Radar_1");
  frame->ActionForCommand(32801)->trigger();
  EXPECT_EQ(frame->Scope()->CentringCommand(), 32801);
  EXPECT_TRUE(frame->ActionForCommand(32801)->isChecked());
  EXPECT_FALSE(frame->ActionForCommand(32710)->isChecked());
  // Rebuilt: the site gone, the mark kept on the one still there.
  document.UpdateContact(100, "", 0, 0, 0, 0, 1, 'A', 0);
  frame->PrepareRadarsMenu();
  ASSERT_EQ(frame->RadarsMenu()->actions().size(), 2);
  EXPECT_TRUE(frame->ActionForCommand(32801)->isChecked());
  // Back to an airfield: the radar loses its mark.
  frame->ActionForCommand(32715)->trigger();
  EXPECT_FALSE(frame->ActionForCommand(32801)->isChecked());
  EXPECT_TRUE(frame->ActionForCommand(32715)->isChecked());
}

}  // namespace
}  // namespace vantor::shell
