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
  // The offscreen screen is small: a 1024 x 768 window less its menu bar.
  EXPECT_EQ(picture.width(), 1024);
  EXPECT_GT(picture.height(), 700);
  EXPECT_LE(picture.height(), 768);
  // Krasnodar Center's runway in the middle.
  int runway = 0;
  for (int y = picture.height() / 2 - 10; y < picture.height() / 2 + 10; ++y)
    for (int x = 470; x < 550; ++x)
      if (picture.pixel(x, y) == qRgb(233, 233, 233)) ++runway;
  EXPECT_GT(runway, 20);
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
        QStringList{"--range", "7"}, QStringList{"--range", "400"}, QStringList{"--range", "far"}}) {
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

}  // namespace
}  // namespace vantor::shell
