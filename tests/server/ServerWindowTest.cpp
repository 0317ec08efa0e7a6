// The control window over an in-process server on loopback: texts by
// language, the start, the configuration sheet with its saving rules, the
// about box, and the operator's view following a live server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "ServerTestSupport.h"
#include "vantor/server/gui/AboutBox.h"
#include "vantor/server/gui/CoalitionPage.h"
#include "vantor/server/gui/ConfigSheet.h"
#include "vantor/server/gui/OperatorView.h"
#include "vantor/server/gui/RadarPage.h"
#include "vantor/server/gui/ServerWindow.h"
#include "vantor/texts/Texts.h"

using namespace vantor;
using namespace vantor::test;
using namespace vantor::server::gui;
using protocol::CoalitionCode;

namespace {

// A window whose sheet is driven by `drive` instead of a modal loop, and
// whose map page is replaced by `placeOnMap` (none: the map is not shown).
struct WindowUnderTest {
  explicit WindowUnderTest(ServerHarness& harness, Language language = Language::English) {
    harness.Runtime().SetLanguage(language);
    WindowOptions options;
    options.launchSimulator = false;
    options.loadMap = [] { return TheatreMapBase{}; };
    options.runSheet = [this](ConfigSheet& sheet) {
      sheets += 1;
      if (drive) drive(sheet);
      return sheet.result();
    };
    options.openMap = [this](QWidget*, server::ServerConfig& config, MapSide side) {
      mapSides.push_back(side);
      if (placeOnMap) placeOnMap(config);
    };
    window = std::make_unique<ServerWindow>(harness.Runtime(), harness.Notifier(), std::move(options));
  }
  std::function<void(ConfigSheet&)> drive;
  std::function<void(server::ServerConfig&)> placeOnMap;
  std::vector<MapSide> mapSides;
  int sheets = 0;
  std::unique_ptr<ServerWindow> window;
};

template <typename T>
T& Child(QWidget& parent, const QString& name) {
  T* child = parent.findChild<T*>(name);
  if (child == nullptr) throw std::runtime_error("no child " + name.toStdString());
  return *child;
}

}  // namespace

TEST(ServerWindow, TextsAndStatusByLanguage) {
  struct Expected {
    Language language;
    const char* stopped;
    const char* running;
    const char* start;
    const char* exit;
    const char* notLaunch;
  };
  for (const Expected& expected : {Expected{Language::French, "VANTORSRV stoppé", "VANTORSRV démarré", "&Vol...",
                                            "&Quitter", "Ne pas lancer Falcrest"},
                                   Expected{Language::English, "VANTORSRV not running", "VANTORSRV running", "&Fly...",
                                            "&Exit", "&Don't start Falcrest"},
                                   Expected{Language::Spanish, "VANTORSRV no iniciado", "VANTORSRV iniciado",
                                            "&Volar...", "&Salir", "&No Iniciar Falcrest"}}) {
    ServerHarness harness;
    WindowUnderTest test(harness, expected.language);
    ServerWindow& window = *test.window;
    EXPECT_EQ(window.windowTitle(), "vantorsrv");
    EXPECT_EQ(window.Status().text(), QString::fromUtf8(expected.stopped));
    EXPECT_EQ(window.StartButton().text(), QString::fromUtf8(expected.start));
    EXPECT_EQ(window.ExitButton().text(), QString::fromUtf8(expected.exit));
    EXPECT_EQ(window.ConfigButton().text(), "&Config");
    EXPECT_EQ(window.NotLaunchBox().text(), QString::fromUtf8(expected.notLaunch));
    EXPECT_TRUE(window.StartButton().isDefault());
    EXPECT_TRUE(window.StartButton().isEnabled());
    window.StartButton().click();
    EXPECT_EQ(window.Status().text(), QString::fromUtf8(expected.running));
    EXPECT_FALSE(window.StartButton().isEnabled());
  }
}

TEST(ServerWindow, OpeningReadsTheStartSettingsAndTheStartRecordsTheCheckBox) {
  ServerHarness harness;
  harness.Settings().WriteInt("Config", "notlaunchfalcrest", 1);
  harness.Settings().WriteInt("Config", "MaxClient", 4);
  harness.Settings().WriteInt("Config", "AwacsRange", 333);
  harness.simulatorFolder = "/opt/falcrest";
  WindowUnderTest test(harness);
  ServerWindow& window = *test.window;
  EXPECT_TRUE(window.NotLaunchBox().isChecked());
  EXPECT_EQ(harness.Runtime().Config().maxClient, 4);
  EXPECT_EQ(harness.Runtime().Config().block.awacsRangeKm, 333);
  // The hidden port edits hold the ports the start opens.
  EXPECT_EQ(Child<QLineEdit>(window, "feedPort").text(), QString::number(harness.FeedPort()));
  EXPECT_FALSE(Child<QLineEdit>(window, "clientPort").isVisibleTo(&window));

  window.NotLaunchBox().setChecked(false);
  window.StartButton().click();
  EXPECT_EQ(harness.Settings().ReadInt("Config", "notlaunchfalcrest", -1), 0);
  EXPECT_EQ(harness.Runtime().FeedPort(), harness.FeedPort());
  EXPECT_EQ(harness.Runtime().ClientPort(), harness.ClientPort());
  EXPECT_TRUE(harness.Launcher().programs.empty());  // this run was told not to launch

  // Escape leaves a running server alone; "Exit" ends the window.
  window.show();
  int finished = 0;
  QObject::connect(&window, &QDialog::finished, &window, [&finished] { ++finished; });
  QTest::keyClick(&window, Qt::Key_Escape);
  EXPECT_EQ(finished, 0);
  EXPECT_TRUE(window.isVisible());
  window.ExitButton().click();
  EXPECT_EQ(finished, 1);
  EXPECT_FALSE(window.isVisible());
}

TEST(ServerWindow, SheetHasItsThreePagesAndOkStoresAndSavesThem) {
  ServerHarness harness;
  WindowUnderTest test(harness);
  test.drive = [](ConfigSheet& sheet) {
    EXPECT_EQ(sheet.windowTitle(), "Config");
    ASSERT_EQ(sheet.Tabs().count(), 3);
    EXPECT_EQ(sheet.Tabs().tabText(0), "BLUE Coalition");
    EXPECT_EQ(sheet.Tabs().tabText(1), "RED Coalition");
    EXPECT_EQ(sheet.Tabs().tabText(2), "General");
    Child<QLineEdit>(sheet.Page(0), "password").setText("bleu");
    Child<QCheckBox>(sheet.Page(1), "airfield2").setChecked(false);
    Child<QSpinBox>(sheet.General(), "maxClient").setValue(5);
    sheet.OkButton().click();
  };
  test.window->ConfigButton().click();
  EXPECT_EQ(test.sheets, 1);
  EXPECT_EQ(harness.Runtime().Config().block.password[0], "bleu");
  EXPECT_EQ(harness.Runtime().Config().maxClient, 5);
  EXPECT_EQ(harness.Settings().ReadString("Config", "bluepass", "?"), "bleu");
  EXPECT_EQ(harness.Settings().ReadInt("Config", "b2", -1), 0);
  EXPECT_EQ(harness.Settings().ReadInt("Config", "MaxClient", -1), 5);
  EXPECT_TRUE(harness.Notifier().information.empty());  // a password is set: no warning

  // The next client to log on receives the new configuration.
  harness.Start();
  TestClient client("127.0.0.2", harness.ClientPort());
  ASSERT_TRUE(client.ConnectTo(harness.ClientPort()));
  const auto block = client.WaitConfigBlock();
  ASSERT_TRUE(block);
  EXPECT_EQ(block->password[0], "bleu");
  EXPECT_EQ(block->airfieldRadarOn[1][1], 0);
}

TEST(ServerWindow, CancelKeepsTheConfigurationButSavesItAndWarnsWithoutPasswords) {
  ServerHarness harness;
  WindowUnderTest test(harness);
  test.drive = [](ConfigSheet& sheet) {
    Child<QCheckBox>(sheet.Page(0), "airfield1").setChecked(false);
    sheet.CancelButton().click();
  };
  EXPECT_FALSE(harness.Settings().Contains("Config", "a1"));
  test.window->ConfigButton().click();
  EXPECT_EQ(harness.Runtime().Config().block.airfieldRadarOn[0][0], 1);
  // SaveConfig ran all the same: every key is there, as it was.
  EXPECT_EQ(harness.Settings().ReadInt("Config", "a1", -1), 1);
  EXPECT_EQ(harness.Settings().ReadString("Config", "Along1", "?"), "0.000000");
  EXPECT_EQ(harness.Settings().ReadInt("Config", "MaxClient", -1), 2);
  EXPECT_FALSE(harness.Settings().Contains("Config", "notlaunchfalcrest"));
  ASSERT_EQ(harness.Notifier().information.size(), 1u);
  EXPECT_EQ(harness.Notifier().information[0], "You doesn't enter any passwords. Player can only control Blue Team");

  // With a Red password only: no warning.
  harness.Settings().WriteString("Config", "redpass", "rouge");
  harness.Runtime().LoadConfig();
  test.window->ConfigButton().click();
  EXPECT_EQ(harness.Notifier().information.size(), 1u);
}

TEST(ServerWindow, MapFromAPageStoresItGreysCancelAndWhatWasPlacedSurvivesAnyClose) {
  ServerHarness harness;
  WindowUnderTest test(harness);
  test.placeOnMap = [](server::ServerConfig& config) {
    config.block.awacsLatitude[0] = 43.99774;
    config.block.awacsLongitude[0] = 37.99902;
  };
  test.drive = [&harness](ConfigSheet& sheet) {
    CoalitionPage& blue = sheet.Page(0);
    blue.Choose(AwacsChoice::Static);
    Child<QCheckBox>(blue, "airfield5").setChecked(false);
    Child<QPushButton>(blue, "map").click();
    EXPECT_FALSE(sheet.CancelButton().isEnabled());
    // The page was stored and handed over before the map opened.
    EXPECT_EQ(harness.Runtime().Config().block.airfieldRadarOn[0][4], 0);
    EXPECT_EQ(harness.Runtime().Config().block.awacsMode[0], 10);
    int finished = 0;
    QObject::connect(&sheet, &QDialog::finished, &sheet, [&finished] { ++finished; });
    sheet.reject();  // Escape or the close button: refused while Cancel is greyed
    EXPECT_EQ(finished, 0);
    // Closed anyway from outside, without OK.
    sheet.done(QDialog::Rejected);
    EXPECT_EQ(finished, 1);
  };
  test.window->ConfigButton().click();
  ASSERT_EQ(test.mapSides.size(), 1u);
  EXPECT_EQ(test.mapSides[0], MapSide::Blue);
  ASSERT_FALSE(harness.Notifier().information.empty());
  EXPECT_EQ(harness.Notifier().information[0], "DOUCLE-CLICK on MAP to position Awacs.");
  EXPECT_EQ(harness.Settings().ReadInt("Config", "a5", -1), 0);
  EXPECT_EQ(harness.Settings().ReadString("Config", "Alat0", "?"), "43.997740");
  EXPECT_EQ(harness.Settings().ReadString("Config", "Along0", "?"), "37.999020");

  // Outside the static mode the map only shows.
  test.placeOnMap = nullptr;
  test.drive = [](ConfigSheet& sheet) {
    CoalitionPage& red = sheet.Page(1);
    red.Choose(AwacsChoice::RadarOnly);
    Child<QPushButton>(red, "map").click();
    sheet.OkButton().click();
  };
  const std::size_t notices = harness.Notifier().information.size();
  test.window->ConfigButton().click();
  ASSERT_EQ(test.mapSides.size(), 2u);
  EXPECT_EQ(test.mapSides[1], MapSide::ViewOnly);
  EXPECT_EQ(harness.Notifier().information.size(), notices + 1);  // only the password warning
  EXPECT_EQ(harness.Settings().ReadInt("Config", "RadarOnly1", -1), 1);
}

TEST(ServerWindow, SheetRefusesToCloseWithoutOkOnceTheMapWasOpened) {
  ServerHarness harness;
  server::ServerConfig config = harness.Runtime().Config();
  ConfigSheet sheet(config, Language::English, harness.Notifier(), nullptr);
  sheet.show();
  Child<QPushButton>(sheet.Page(0), "map").click();
  QTest::keyClick(&sheet, Qt::Key_Escape);
  EXPECT_TRUE(sheet.isVisible());
  sheet.close();
  EXPECT_TRUE(sheet.isVisible());
  sheet.OkButton().click();
  EXPECT_FALSE(sheet.isVisible());
  EXPECT_EQ(sheet.result(), QDialog::Accepted);
}

TEST(ServerWindow, AboutBoxFromF1AndTheContextMenu) {
  for (const Language language : {Language::French, Language::English, Language::Spanish}) {
    ServerHarness harness;
    WindowUnderTest test(harness, language);
    ServerWindow& window = *test.window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QString caption, version;
    QTimer::singleShot(0, [&] {
      if (auto* about = qobject_cast<AboutBox*>(QApplication::activeModalWidget())) {
        caption = about->windowTitle();
        version = Child<QLabel>(*about, "version").text();
        Child<QPushButton>(*about, "ok").click();
      }
    });
    QTest::keyClick(&window, Qt::Key_F1);
    EXPECT_EQ(version, "vantorsrv version 1.5");
    const char* expected = language == Language::English   ? "About Vantorsrv"
                           : language == Language::Spanish ? "Sobre Vantorsrv"
                                                           : "A propos de Vantorsrv";
    EXPECT_EQ(caption, expected);
  }
  EXPECT_EQ(ServerWindow::kAboutCommand, 16u);
}

TEST(ServerWindow, OperatorViewFollowsClientsFeedAndEvents) {
  ServerHarness harness;
  WindowUnderTest test(harness);
  ServerWindow& window = *test.window;
  window.StartButton().click();
  OperatorView& view = window.View();
  EXPECT_EQ(Child<QLabel>(view, "ports").text(),
            QString("Feed port %1 · client port %2").arg(harness.FeedPort()).arg(harness.ClientPort()));
  EXPECT_EQ(Child<QLabel>(view, "slotsTaken").text(), "0 of 2 slots taken");
  EXPECT_TRUE(view.FeedSummary().startsWith("No feed connected"));

  auto red = harness.JoinedClient("127.0.0.3", CoalitionCode::Red);
  ASSERT_TRUE(red);
  TestClient waiting("127.0.0.2", harness.ClientPort());
  ASSERT_TRUE(waiting.ConnectTo(harness.ClientPort()) && waiting.WaitConfigBlock());
  ASSERT_TRUE(WaitUntil([&] { return view.Clients().rowCount() == 2; }));
  EXPECT_EQ(Child<QLabel>(view, "slotsTaken").text(), "2 of 2 slots taken");
  EXPECT_EQ(view.Clients().item(0, 0)->text(), "1");
  EXPECT_EQ(view.Clients().item(0, 1)->text(), "127.0.0.3");
  EXPECT_EQ(view.Clients().item(0, 2)->text(), "Red");
  EXPECT_EQ(view.Clients().item(1, 1)->text(), "127.0.0.2");
  EXPECT_EQ(view.Clients().item(1, 2)->text(), "waiting for its join reply");
  harness.Clock().Advance(75);
  view.Refresh();
  EXPECT_TRUE(view.Clients().item(0, 3)->text().endsWith("(0:01:15)"))
      << view.Clients().item(0, 3)->text().toStdString();

  TestFeed feed;
  ASSERT_TRUE(feed.ConnectTo(harness.FeedPort()));
  feed.Send("Mission start time: 3600##" + FeedObject(10000001, 'B', "Colt", 45, 38) +
            FeedObject(10000002, 'B', "Hawg", 44, 37) + "10000003 B Colt@@45 38 1000 1.5##");
  ASSERT_TRUE(red->WaitDatagrams(1));
  ASSERT_TRUE(WaitUntil([&] { return view.FeedSummary().contains("Feed 1 from 127.0.0.1"); }));
  const QString summary = view.FeedSummary();
  EXPECT_EQ(Child<QLabel>(view, "objects").text(), "2");
  EXPECT_EQ(Child<QLabel>(view, "records").text(), "2");
  EXPECT_EQ(Child<QLabel>(view, "skipped").text(), QString::fromUtf8("1 × no coalition bracket \"[\" before \"@@\""));
  EXPECT_EQ(Child<QLabel>(view, "mission").text(), "Mission time 1:00:00");

  // Batches per second, measured by the view's own tick over a feed that
  // keeps sending about ten a second.
  double rate = 0.0;
  for (int i = 0; i < 40 && rate == 0.0; ++i) {
    Broadcast(feed, *red, FeedObject(10000001, 'B', "Colt", 45, 38 + i * 0.01));
    WaitUntil([] { return false; }, std::chrono::milliseconds(80));
    rate = Child<QLabel>(view, "batchRate").text().toDouble();
  }
  EXPECT_GT(rate, 2.0);
  EXPECT_LT(rate, 20.0);

  const QListWidget& events = view.Events();
  QStringList lines;
  for (int i = 0; i < events.count(); ++i) lines += events.item(i)->text().mid(21);
  EXPECT_TRUE(lines.contains("slot 1 (127.0.0.3) joined Red")) << lines.join('\n').toStdString();
  EXPECT_TRUE(lines.contains("feed 1 connected from 127.0.0.1"));
}

TEST(ServerWindow, SheetPagesRenderLaidOutInEveryLanguage) {
  // With VANTOR_SNAPSHOT_DIR set, the pictures are kept there for a look.
  const QString keep = qEnvironmentVariable("VANTOR_SNAPSHOT_DIR");
  for (const Language language : kLanguages) {
    ServerHarness harness;
    ConfigSheet sheet(harness.Runtime().Config(), language, harness.Notifier(), nullptr);
    sheet.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
    for (int page = 0; page < sheet.Tabs().count(); ++page) {
      sheet.Tabs().setCurrentIndex(page);
      const QImage picture = sheet.grab().toImage();
      // Every control fits: nothing is squeezed below its own minimum.
      for (QWidget* child : sheet.Tabs().currentWidget()->findChildren<QWidget*>()) {
        if (!child->isVisible()) continue;
        EXPECT_GE(child->width(), child->minimumSizeHint().width()) << child->objectName().toStdString();
      }
      if (!keep.isEmpty()) {
        picture.save(QString("%1/sheet-%2-%3.png").arg(keep).arg(static_cast<int>(language)).arg(page));
      }
    }
  }
}
