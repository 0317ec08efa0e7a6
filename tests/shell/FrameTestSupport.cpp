#include "FrameTestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>
#include <QTest>

#include "TestSupport.h"
#include "vantor/shell/SoundPlayer.h"
#include "vantor/shell/TaskBar.h"

namespace vantor::shell::test {

ClientUnderTest::ClientUnderTest(const char* installerLanguage, QRect workArea,
                                 const std::function<void(StartupOptions&, ShellPlatform&)>& prepare) {
  {
    auto store = SettingsStore::OpenFile(dir.filePath("rivak.ini"));
    store->WriteString("config", "Installer Language", installerLanguage);
    store->Sync();
  }
  // The drawing is read from and saved to the temporary folder, never to
  // the build's.
  {
    QFile drawing(dir.filePath("dessin.dat"));
    EXPECT_TRUE(drawing.open(QIODevice::WriteOnly));
  }
  ShellPlatform platform;
  platform.sound = std::make_unique<SilentSoundPlayer>();
  platform.taskBar = std::make_unique<NoTaskBar>();
  platform.workArea = [workArea] { return workArea; };
  StartupOptions options;
  options.settingsFile = dir.filePath("rivak.ini");
  // The map data of the build.
  options.dataFolders = {dir.path(), vantor::test::BinDir()};
  options.sounds = false;
  if (prepare) prepare(options, platform);
  app = std::make_unique<CRivakApp>(std::move(options), std::move(platform));
  EXPECT_TRUE(app->InitInstance());
  QTest::qWait(10);
}

ClientUnderTest::~ClientUnderTest() {
  if (app) app->ExitInstance();
}

std::unique_ptr<SettingsStore> ClientUnderTest::Store() const {
  return SettingsStore::OpenFile(dir.filePath("rivak.ini"));
}

void Click(QWidget& dialog, const char* button) {
  auto* target = dialog.findChild<QPushButton*>(QString::fromLatin1(button));
  ASSERT_NE(target, nullptr) << button;
  QTest::mouseClick(target, Qt::LeftButton);
}

}  // namespace vantor::shell::test
