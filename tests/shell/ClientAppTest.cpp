// The application object's start-up and shutdown, window placement, sounds
// and the Vantor program's command line.
#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include "TestSupport.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/shell/CMainFrame.h"
#include "vantor/shell/CRivakApp.h"
#include "vantor/shell/ConnectionShell.h"
#include "vantor/shell/SoundPlayer.h"

namespace vantor::shell {
namespace {

// Records what the application asked for, and in which state.
struct Journal {
  std::vector<std::string> events;
};

class RecordingSound final : public SoundPlayer {
 public:
  RecordingSound(Journal& journal, std::function<std::string()> probe) : journal_(journal), probe_(std::move(probe)) {}
  void PlayToEnd(const QString& fileName) override {
    journal_.events.push_back("sound " + fileName.toStdString() + probe_());
  }
  void Play(const QString& fileName) override { journal_.events.push_back("async " + fileName.toStdString()); }

 private:
  Journal& journal_;
  std::function<std::string()> probe_;
};

class RecordingTaskBar final : public TaskBar {
 public:
  RecordingTaskBar(Journal& journal, int initial) : journal_(journal), state_(initial) {}
  int State() const override { return state_; }
  void SetState(int state) override {
    state_ = state;
    journal_.events.push_back("taskbar " + std::to_string(state));
  }

 private:
  Journal& journal_;
  int state_;
};

class ClientApp : public ::testing::Test {
 protected:
  std::unique_ptr<CRivakApp> Make(QRect workArea) {
    ShellPlatform platform;
    CRivakApp** self = &app;
    platform.sound = std::make_unique<RecordingSound>(journal, [self] {
      const bool shown = *self != nullptr && (*self)->MainWindow() != nullptr && (*self)->MainWindow()->isVisible();
      return std::string(shown ? " (window shown)" : " (no window)");
    });
    platform.taskBar = std::make_unique<RecordingTaskBar>(journal, 3);
    platform.workArea = [workArea] { return workArea; };
    StartupOptions options;
    options.settingsFile = settingsFile();
    options.dataFolders = {dir.path(), test::BinDir()};  // the scope's map data; the drawing is saved in dir
    auto made = std::make_unique<CRivakApp>(std::move(options), std::move(platform));
    app = made.get();
    return made;
  }
  QString settingsFile() const { return dir.filePath("rivak.ini"); }

  QTemporaryDir dir;
  Journal journal;
  CRivakApp* app = nullptr;
};

TEST_F(ClientApp, StartsWithDefaultsOnANormalScreen) {
  auto client = Make(QRect(0, 0, 1280, 994));  // 1280 x 1024 with a 30-pixel task bar at the bottom
  ASSERT_TRUE(client->InitInstance());
  EXPECT_EQ(client->UiLanguage(), Language::French);
  EXPECT_EQ(client->Settings().fontSize, 12);
  EXPECT_EQ(client->State().isBlue, 1);
  EXPECT_EQ(client->State().friendlyRadarCount, 0);
  ASSERT_NE(client->Document(), nullptr);
  EXPECT_EQ(client->Document()->Airfields().size(), 26u);
  EXPECT_EQ(client->Document()->ContactCount(), 0u);
  EXPECT_FALSE(client->SmallScreen());

  CMainFrame* window = client->MainWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(window->geometry(), QRect(0, 0, 1280, 994));
  // The start sound plays once the window is up; the task bar is untouched.
  EXPECT_EQ(journal.events, (std::vector<std::string>{"sound interfer.wav (window shown)"}));

  client->ExitInstance();
  EXPECT_EQ(journal.events.back(), "sound fall.wav (window shown)");
  EXPECT_EQ(journal.events.size(), 2u);
}

TEST_F(ClientApp, SmallScreenClearsTheTaskBarAndRestoresItAtExit) {
  auto client = Make(QRect(0, 0, 1024, 740));
  ASSERT_TRUE(client->InitInstance());
  EXPECT_TRUE(client->SmallScreen());
  EXPECT_EQ(client->MainWindow()->geometry(), QRect(0, 0, 1024, 768));
  client->ExitInstance();
  EXPECT_EQ(journal.events, (std::vector<std::string>{"taskbar 0", "sound interfer.wav (window shown)",
                                                      "sound fall.wav (window shown)", "taskbar 3"}));
}

TEST_F(ClientApp, ReadsItsSettingsFromTheStore) {
  {
    auto store = SettingsStore::OpenFile(settingsFile());
    store->WriteString("config", "Installer Language", "1033");
    store->WriteInt("config", "metric", 0);
    store->WriteInt("config", "Invertcallsign", 1);
    store->WriteString("config", "fontsize", "16pt");
    store->WriteInt("config", "AcceptAnyTrackSender", 1);
    store->Sync();
  }
  auto client = Make(QRect(0, 0, 1920, 1080));
  ASSERT_TRUE(client->InitInstance());
  EXPECT_EQ(client->UiLanguage(), Language::English);
  EXPECT_EQ(client->Settings().imperial, 1);
  EXPECT_EQ(client->Settings().invertCallsign, 1);
  EXPECT_EQ(client->Settings().fontSize, 16);
  // The setting reaches the connection as the command-line option would.
  ASSERT_NE(client->Connection(), nullptr);
  EXPECT_TRUE(client->Connection()->Connection().Options().acceptAnyTrackSender);
  ASSERT_NE(client->Store(), nullptr);
  client->ExitInstance();
}

TEST(MainWindowPlacement, FollowsTheWorkAreaOrTheSmallScreenSize) {
  EXPECT_EQ(MainWindowGeometry(QRect(0, 0, 1280, 994), false), QRect(0, 0, 1280, 994));
  // A task bar at the top or left moves the work area; the window still starts at (0, 0).
  EXPECT_EQ(MainWindowGeometry(QRect(0, 30, 1280, 994), false), QRect(0, 0, 1280, 1024));
  EXPECT_EQ(MainWindowGeometry(QRect(60, 0, 1220, 1024), false), QRect(0, 0, 1280, 1024));
  EXPECT_EQ(MainWindowGeometry(QRect(0, 0, 800, 600), true), QRect(0, 0, 1024, 768));
  EXPECT_FALSE(IsSmallScreen(QSize(1024, 768)));
  EXPECT_TRUE(IsSmallScreen(QSize(1023, 900)));
  EXPECT_TRUE(IsSmallScreen(QSize(1600, 767)));
}

QByteArray WaveImage(int sampleRate, int milliseconds, bool listChunkFirst = false) {
  const int channels = 1;
  const int bytesPerSample = 2;
  const quint32 byteRate = static_cast<quint32>(sampleRate * channels * bytesPerSample);
  const quint32 dataSize = byteRate * static_cast<quint32>(milliseconds) / 1000;
  QByteArray image;
  auto le32 = [&image](quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    image.append(bytes, 4);
  };
  auto le16 = [&image](quint16 value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    image.append(bytes, 2);
  };
  image.append("RIFF");
  le32(0);  // patched below
  image.append("WAVE");
  if (listChunkFirst) {
    image.append("LIST");
    le32(3);
    image.append("abc");
    image.append('\0');  // pad byte of an odd chunk
  }
  image.append("fmt ");
  le32(16);
  le16(1);
  le16(channels);
  le32(static_cast<quint32>(sampleRate));
  le32(byteRate);
  le16(channels * bytesPerSample);
  le16(16);
  image.append("data");
  le32(dataSize);
  image.append(QByteArray(static_cast<qsizetype>(dataSize), '\0'));
  qToLittleEndian(static_cast<quint32>(image.size() - 8), image.data() + 4);
  return image;
}

TEST(Sounds, WaveDurationFromTheHeader) {
  EXPECT_EQ(WaveDuration(WaveImage(8000, 250)), std::chrono::milliseconds(250));
  EXPECT_EQ(WaveDuration(WaveImage(22050, 1000, true)), std::chrono::milliseconds(1000));
  EXPECT_EQ(WaveDuration(QByteArray("RIFF....WAVE")), std::nullopt);
  EXPECT_EQ(WaveDuration(QByteArray("not a wave file at all")), std::nullopt);
  EXPECT_EQ(WaveDuration(WaveImage(8000, 250).left(30)), std::nullopt);
  QByteArray noRate = WaveImage(8000, 250);
  qToLittleEndian(quint32{0}, noRate.data() + 28);
  EXPECT_EQ(WaveDuration(noRate), std::nullopt);
  QByteArray hugeChunk = WaveImage(8000, 250, true);
  qToLittleEndian(quint32{0xFFFFFFF0u}, hugeChunk.data() + 16);
  EXPECT_EQ(WaveDuration(hugeChunk), std::nullopt);
}

TEST(Sounds, FilesAreLookedUpFolderByFolder) {
  QTemporaryDir first, second;
  QFile inSecond(second.filePath("fall.wav"));
  ASSERT_TRUE(inSecond.open(QIODevice::WriteOnly));
  inSecond.close();
  EXPECT_EQ(FindSoundFile("fall.wav", {first.path(), second.path()}), inSecond.fileName());
  EXPECT_EQ(FindSoundFile("switch.wav", {first.path(), second.path()}), QString());
  EXPECT_EQ(FindSoundFile("fall.wav", {}), QString());
}

TEST(Sounds, PlayingToTheEndNeverHangs) {
  QTemporaryDir dir;
  QFile wave(dir.filePath("interfer.wav"));
  ASSERT_TRUE(wave.open(QIODevice::WriteOnly));
  wave.write(WaveImage(8000, 200));
  wave.close();
  QFile junk(dir.filePath("junk.wav"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("RIFF garbage");
  junk.close();

  QtSoundPlayer player({dir.path()});
  QElapsedTimer timer;
  timer.start();
  player.PlayToEnd("missing.wav");
  player.PlayToEnd("junk.wav");
  EXPECT_LT(timer.elapsed(), 500);
  // With or without an audio device: the sound's length plus the margin at most.
  timer.restart();
  player.PlayToEnd("interfer.wav");
  EXPECT_LT(timer.elapsed(), 200 + QtSoundPlayer::kMargin.count() + 1000);
  player.Play("interfer.wav");
  player.Play("interfer.wav");
  player.Play("missing.wav");
}

TEST(VantorProgram, AnswersHelpAndVersion) {
  QProcess help;
  help.start(test::ProgramPath("Vantor"), {"--help"});
  ASSERT_TRUE(help.waitForFinished(10000));
  EXPECT_EQ(help.exitCode(), 0);
  const QString helpText = QString::fromLocal8Bit(help.readAllStandardOutput());
  EXPECT_TRUE(helpText.contains("--settings")) << helpText.toStdString();
  EXPECT_TRUE(helpText.contains("Vantor")) << helpText.toStdString();

  QProcess version;
  version.start(test::ProgramPath("Vantor"), {"--version"});
  ASSERT_TRUE(version.waitForFinished(10000));
  EXPECT_EQ(version.exitCode(), 0);
  EXPECT_TRUE(version.readAllStandardOutput().startsWith("Vantor "));

  QProcess wrong;
  wrong.start(test::ProgramPath("Vantor"), {"--no-such-option"});
  ASSERT_TRUE(wrong.waitForFinished(10000));
  EXPECT_NE(wrong.exitCode(), 0);
}

TEST(VantorProgram, StartsAndKeepsRunning) {
  QTemporaryDir dir;
  QProcess client;
  client.setWorkingDirectory(dir.path());
  client.start(test::ProgramPath("Vantor"), {"--settings", dir.filePath("rivak.ini"), "--no-sound"});
  ASSERT_TRUE(client.waitForStarted(10000));
  EXPECT_FALSE(client.waitForFinished(1500)) << client.readAllStandardError().toStdString();
  EXPECT_EQ(client.state(), QProcess::Running);
  client.terminate();
  if (!client.waitForFinished(5000)) {
    client.kill();
    client.waitForFinished(5000);
  }
}

}  // namespace
}  // namespace vantor::shell
