// Vantor recording and replaying as a user runs it: recording a real
// vantorsrv's mission, killed without warning, and the file replayed to a
// picture of a past moment; recordings it must refuse.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

#include "ChildProcess.h"
#include "NetTestSupport.h"
#include "vantor/record/RecordFormat.h"
#include "vantor/record/RecordReader.h"

namespace vantor::test {
namespace {

int RunToEnd(const QStringList& arguments, QString& output, int timeoutMs = 20000) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(ProgramPath("Vantor"), arguments);
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished();
    return -1;
  }
  output = QString::fromUtf8(process.readAll());
  return process.exitCode();
}

TEST(ReplayProgram, RecordingOfAKilledClientReplaysToAPictureOfAPastMoment) {
  ServerProcess server;
  ASSERT_TRUE(server.Start()) << server.Output().toStdString();
  QTemporaryDir dir;
  const QString recording = dir.filePath("mission.vrec");
  {
    ChildProcess vantor(
        "Vantor",
        {"--settings", dir.filePath("rivak.ini"), "--no-sound", "--log-tracks", "--server", "127.0.0.1",
         "--client-port", QString::number(server.clientPort()), "--bind", "127.0.0.9", "--record", recording},
        dir.path());
    ASSERT_TRUE(vantor.WaitFor("joined (Blue)")) << vantor.Output().toStdString();
    FeedWriter feed;
    ASSERT_TRUE(feed.Connect(server.feedPort()));
    feed.Send("Mission start time: 36000##");
    for (int batch = 0; batch < 4; ++batch) {
      feed.Send(FeedWriter::Record(10000001, 'C', "Frigate Rezky", "USA", 45.0 + 0.01 * batch, 38.9, 0.0, 1.0) +
                FeedWriter::Record(10000003, 'B', "F-15C Eagle", "USA", 45.1, 39.0 + 0.01 * batch, 3000.0, 1.57));
      WaitUntil([] { return false; }, 400ms);
    }
    ASSERT_TRUE(vantor.WaitFor("table 2 contacts")) << vantor.Output().toStdString();
    // What arrived more than a second ago is on the disk, whatever happens.
    WaitUntil([] { return false; }, 1500ms);
    ::kill(static_cast<pid_t>(vantor.Get().processId()), SIGKILL);
    vantor.Get().waitForFinished(5000);
  }
  record::OpenFailure failure;
  const auto reader = record::RecordReader::Open(recording.toStdU16String(), failure);
  ASSERT_TRUE(reader);
  EXPECT_FALSE(reader->Truncated());
  ASSERT_FALSE(reader->Blocks().empty());
  EXPECT_EQ(reader->Header().coalition, 0);
  EXPECT_GT(reader->DurationMs(), 1000u);

  // The last moment, and the mission clock of then, in a picture.
  const QString picture = dir.filePath("past.png");
  const QString window = dir.filePath("past-window.png");
  const std::uint32_t seconds = reader->DurationMs() / 1000;
  QString output;
  ASSERT_EQ(RunToEnd({"--settings", dir.filePath("rivak.ini"), "--no-sound", "--replay", recording, "--seek",
                      QStringLiteral("0:00:%1").arg(seconds, 2, 10, QLatin1Char('0')), "--snapshot", picture,
                      "--snapshot-window", window, "--snapshot-after", "0.5"},
                     output),
            0)
      << output.toStdString();
  EXPECT_TRUE(output.contains("scope picture written")) << output.toStdString();
  const QImage scope(picture);
  const QImage whole(window);
  ASSERT_FALSE(scope.isNull());
  ASSERT_FALSE(whole.isNull());
  EXPECT_GT(whole.height(), scope.height());
}

TEST(ReplayProgram, RefusesWhatItCannotReplay) {
  QTemporaryDir dir;
  QString output;
  // A newer format: told, with both versions, and the program ends.
  const QString newer = dir.filePath("newer.vrec");
  {
    record::RecordHeader header;
    header.version = 2;
    const auto bytes = record::EncodeFileHeader(header);
    QFile file(newer);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  }
  {
    // The messages in English.
    QFile settings(dir.filePath("rivak.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[config]\nInstaller%20Language=1033\n");
  }
  const QStringList common{"--settings", dir.filePath("rivak.ini"), "--no-sound"};
  EXPECT_EQ(RunToEnd(common + QStringList{"--replay", newer}, output), 1);
  EXPECT_TRUE(output.contains("was recorded in format 2; this Vantor reads format 1 and older only"))
      << output.toStdString();
  const QString text = dir.filePath("notes.txt");
  {
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a recording at all, just some words");
  }
  EXPECT_EQ(RunToEnd(common + QStringList{"--replay", text}, output), 1);
  EXPECT_TRUE(output.contains("is not a Vantor recording")) << output.toStdString();
  EXPECT_EQ(RunToEnd(common + QStringList{"--replay", dir.filePath("missing.vrec")}, output), 1);
  EXPECT_TRUE(output.contains("Cannot open")) << output.toStdString();

  EXPECT_EQ(RunToEnd(common + QStringList{"--seek", "1:00"}, output), 2);
  EXPECT_TRUE(output.contains("--seek needs --replay")) << output.toStdString();
  EXPECT_EQ(RunToEnd(common + QStringList{"--replay", newer, "--seek", "1:75:00"}, output), 2);
  EXPECT_EQ(RunToEnd(common + QStringList{"--replay", newer, "--record", text}, output), 2);
  ASSERT_EQ(RunToEnd({"--help"}, output), 0);
  for (const char* option : {"--record", "--replay", "--seek"}) EXPECT_TRUE(output.contains(option)) << option;
}

}  // namespace
}  // namespace vantor::test
