// The Vantor program's --snapshot option: the scope's picture as a PNG
// after a few seconds of running.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "vantor/shell/ScopeSnapshots.h"

namespace vantor::shell {
namespace {

TEST(SnapshotOptions, SecondsFromTheCommandLine) {
  using std::chrono::milliseconds;
  EXPECT_EQ(ParseSnapshotSeconds("3"), milliseconds(3000));
  EXPECT_EQ(ParseSnapshotSeconds("0.25"), milliseconds(250));
  EXPECT_EQ(ParseSnapshotSeconds(" 0 "), milliseconds(0));
  EXPECT_EQ(ParseSnapshotSeconds("-1"), std::nullopt);
  EXPECT_EQ(ParseSnapshotSeconds("soon"), std::nullopt);
  EXPECT_EQ(ParseSnapshotSeconds("inf"), std::nullopt);
  EXPECT_EQ(ParseSnapshotSeconds("1e9"), std::nullopt);
}

TEST(SnapshotOptions, PngWrittenWholeOrNotAtAll) {
  QTemporaryDir dir;
  QImage image(20, 10, QImage::Format_RGB32);
  image.fill(Qt::green);
  const QString file = dir.filePath("scope.png");
  EXPECT_EQ(WritePng(image, file), std::nullopt);
  EXPECT_EQ(QImage(file).size(), QSize(20, 10));
  EXPECT_TRUE(WritePng(QImage(), file).has_value());
  EXPECT_EQ(QImage(file).size(), QSize(20, 10));  // the earlier picture stays
  EXPECT_TRUE(WritePng(image, dir.filePath("no/such/folder/scope.png")).has_value());
}

QProcessEnvironment Offscreen() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  return environment;
}

TEST(VantorSnapshot, WritesThePictureAndExits) {
  QTemporaryDir dir;
  QProcess client;
  client.setProcessEnvironment(Offscreen());
  client.setWorkingDirectory(dir.path());
  const QString file = dir.filePath("scope.png");
  client.start(test::ProgramPath("Vantor"),
               {"--settings", dir.filePath("rivak.ini"), "--no-sound", "--snapshot", file, "--snapshot-after", "0.5"});
  ASSERT_TRUE(client.waitForFinished(15000)) << client.readAllStandardError().toStdString();
  EXPECT_EQ(client.exitCode(), 0) << client.readAllStandardError().toStdString();
  EXPECT_TRUE(client.readAllStandardOutput().contains(file.toLocal8Bit()));
  const QImage picture(file);
  ASSERT_FALSE(picture.isNull());
  // The offscreen screen is small: a 1024 x 768 window less its menu bar,
  // the scope's column 297 pixels narrower than the window.
  EXPECT_EQ(picture.width(), 1024 - 297);
  EXPECT_GT(picture.height(), 700);
  EXPECT_LE(picture.height(), 768);
  // Krasnodar Center's runway in the middle.
  int runway = 0;
  for (int y = picture.height() / 2 - 10; y < picture.height() / 2 + 10; ++y)
    for (int x = picture.width() / 2 - 40; x < picture.width() / 2 + 40; ++x)
      if (picture.pixel(x, y) == qRgb(233, 233, 233)) ++runway;
  EXPECT_GT(runway, 20);
}

TEST(VantorSnapshot, TheWholeWindowBesideTheScope) {
  QTemporaryDir dir;
  QProcess client;
  client.setProcessEnvironment(Offscreen());
  client.setWorkingDirectory(dir.path());
  const QString window = dir.filePath("window.png");
  const QString scope = dir.filePath("scope.png");
  client.start(test::ProgramPath("Vantor"), {"--settings", dir.filePath("rivak.ini"), "--no-sound", "--snapshot", scope,
                                             "--snapshot-window", window, "--snapshot-after", "0.5"});
  ASSERT_TRUE(client.waitForFinished(15000)) << client.readAllStandardError().toStdString();
  EXPECT_EQ(client.exitCode(), 0) << client.readAllStandardError().toStdString();
  const QByteArray said = client.readAllStandardOutput();
  EXPECT_TRUE(said.contains("window picture written to " + window.toLocal8Bit())) << said.toStdString();
  EXPECT_TRUE(said.contains("scope picture written to " + scope.toLocal8Bit())) << said.toStdString();
  const QImage picture(window);
  ASSERT_FALSE(picture.isNull());
  // The whole 1024 x 768 window: menu bar, the scope's column of 727 pixels,
  // the grey bar, the right-hand column.
  EXPECT_EQ(picture.size(), QSize(1024, 768));
  EXPECT_EQ(picture.pixel(729, 400), qRgb(90, 93, 99));
  EXPECT_EQ(QImage(scope).width(), 727);
  // The panel beside the scope is painted, not left blank.
  EXPECT_NE(picture.pixel(900, 200), picture.pixel(900, 600));
}

TEST(VantorSnapshot, RepeatsWithEvery) {
  QTemporaryDir dir;
  QProcess client;
  client.setProcessEnvironment(Offscreen());
  client.setWorkingDirectory(dir.path());
  const QString file = dir.filePath("scope.png");
  client.start(test::ProgramPath("Vantor"), {"--settings", dir.filePath("rivak.ini"), "--no-sound", "--snapshot", file,
                                             "--snapshot-after", "0.2", "--snapshot-every", "0.3"});
  ASSERT_TRUE(client.waitForStarted(10000));
  ASSERT_TRUE(test::WaitUntil([&] { return QFile::exists(file); }, std::chrono::seconds(10)));
  const QDateTime first = QFileInfo(file).lastModified();
  ASSERT_TRUE(test::WaitUntil([&] { return QFileInfo(file).lastModified() != first; }, std::chrono::seconds(5)));
  EXPECT_EQ(client.state(), QProcess::Running);
  client.terminate();
  if (!client.waitForFinished(5000)) {
    client.kill();
    client.waitForFinished(5000);
  }
}

TEST(VantorSnapshot, RejectsBadOptions) {
  for (const QStringList& arguments :
       {QStringList{"--snapshot", "x.png", "--snapshot-after", "later"},
        QStringList{"--snapshot", "x.png", "--snapshot-every", "-2"}, QStringList{"--snapshot-after", "2"},
        QStringList{"--range", "7"}, QStringList{"--range", "400"}, QStringList{"--range", "far"},
        QStringList{"--compare", "16778752"}, QStringList{"--compare", "1,x"}, QStringList{"--compare", "1,2,3"}}) {
    QProcess client;
    client.setProcessEnvironment(Offscreen());
    client.start(test::ProgramPath("Vantor"), arguments);
    ASSERT_TRUE(client.waitForFinished(10000));
    EXPECT_EQ(client.exitCode(), 2) << arguments.join(' ').toStdString();
  }
  QProcess help;
  help.start(test::ProgramPath("Vantor"), {"--help"});
  ASSERT_TRUE(help.waitForFinished(10000));
  const QString text = QString::fromLocal8Bit(help.readAllStandardOutput());
  EXPECT_TRUE(text.contains("--snapshot <FILE>")) << text.toStdString();
  EXPECT_TRUE(text.contains("--snapshot-after")) << text.toStdString();
  EXPECT_TRUE(text.contains("--range <KM>")) << text.toStdString();
}

// The longest run of pure white pixels on a row of `area`.
int LongestWhiteRun(const QImage& image, const QRect& area) {
  int longest = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    int run = 0;
    for (int x = area.left(); x <= area.right(); ++x) {
      run = image.pixel(x, y) == qRgb(255, 255, 255) ? run + 1 : 0;
      longest = std::max(longest, run);
    }
  }
  return longest;
}

TEST(VantorSnapshot, AtcOpensTheApproachViewAtStart) {
  // The approach view's runway (25 ... 110, 180 of the view) shows in the
  // window's top-left corner only in ATC mode.
  for (const bool atc : {false, true}) {
    QTemporaryDir dir;
    QProcess client;
    client.setProcessEnvironment(Offscreen());
    client.setWorkingDirectory(dir.path());
    const QString file = dir.filePath("window.png");
    QStringList arguments{"--settings", dir.filePath("rivak.ini"), "--no-sound", "--compare",
                          "1,2",        "--snapshot-window",       file,         "--snapshot-after",
                          "0.5"};
    if (atc) arguments << "--atc";
    client.start(test::ProgramPath("Vantor"), arguments);
    ASSERT_TRUE(client.waitForFinished(15000)) << client.readAllStandardError().toStdString();
    ASSERT_EQ(client.exitCode(), 0) << client.readAllStandardError().toStdString();
    const QImage picture(file);
    ASSERT_FALSE(picture.isNull());
    const int runway = LongestWhiteRun(picture, QRect(0, 150, 150, 100));
    if (atc)
      EXPECT_GE(runway, 80);
    else
      EXPECT_LT(runway, 20);
  }
}

}  // namespace
}  // namespace vantor::shell
