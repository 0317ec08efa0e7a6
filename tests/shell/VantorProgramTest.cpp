// The Vantor program as a user or a script runs it: logged on from the
// command line to the real vantorsrv, following a scripted feed.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "ChildProcess.h"
#ifndef _WIN32
#include "FileFaults.h"
#endif
#include "NetTestSupport.h"

namespace vantor::test {
namespace {

// Vantor with its own settings in `dir`, logging its tracks.
class VantorProcess : public ChildProcess {
 public:
  VantorProcess(const QTemporaryDir& dir, const QStringList& arguments)
      : ChildProcess("Vantor",
                     QStringList{"--settings", dir.filePath("rivak.ini"), "--no-sound", "--log-tracks"} + arguments,
                     dir.path()) {}
};

int RunToEnd(const QStringList& arguments, QString& output) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(ProgramPath("Vantor"), arguments);
  if (!process.waitForFinished(10000)) return -1;
  output = QString::fromUtf8(process.readAll());
  return process.exitCode();
}

void Configure(SettingsStore& settings) {
  settings.WriteString("Config", "bluepass", "Azure");
  settings.WriteString("Config", "redpass", "crimson");
}

TEST(VantorCommandLine, ConnectionOptions) {
  QString output;
  ASSERT_EQ(RunToEnd({"--help"}, output), 0);
  for (const char* option : {"--server", "--password", "--client-port", "--bind", "--log-tracks", "--settings",
                             "--accept-any-track-sender"}) {
    EXPECT_TRUE(output.contains(option)) << option;
  }
  EXPECT_EQ(RunToEnd({"--client-port", "0"}, output), 2);
  EXPECT_TRUE(output.contains("--client-port")) << output.toStdString();
  EXPECT_EQ(RunToEnd({"--client-port", "70000"}, output), 2);
  EXPECT_EQ(RunToEnd({"--bind", "not-an-address"}, output), 2);
  EXPECT_TRUE(output.contains("--bind")) << output.toStdString();
}

TEST(VantorProgram, LogsOnFromTheCommandLineAndFollowsTheFeed) {
  ServerProcess server(Configure);
  ASSERT_TRUE(server.Start()) << server.Output().toStdString();
  QTemporaryDir dir;
  VantorProcess vantor(dir, {"--server", "127.0.0.1", "--password", "CRIMSON", "--client-port",
                             QString::number(server.clientPort()), "--bind", "127.0.0.7"});
  ASSERT_TRUE(vantor.WaitFor("joined (Red)")) << vantor.Output().toStdString();

  FeedWriter feed;
  ASSERT_TRUE(feed.Connect(server.feedPort()));
  feed.Send("Mission start time: 36000##");
  const auto batch = [](double step) {
    return FeedWriter::Record(10000001, 'C', "Frigate Rezky", "Allies", 44.6 + step, 37.5, 0.0, 1.0) +
           FeedWriter::Record(10000002, 'C', "USS Tarawa", "USA", 43.9 + step, 38.2, 0.0, 2.0) +
           FeedWriter::Record(10000003, 'B', "F-15C Eagle", "USA", 45.0 + step, 38.9, 3000.0, 1.57);
  };
  feed.Send(batch(0.0));
  WaitUntil([] { return false; }, 250ms);
  feed.Send(batch(0.01));
  // Red shows both ships and leaves out the hostile fighter without speed.
  EXPECT_TRUE(vantor.WaitFor("records; table 2 contacts, 1 friendly")) << vantor.Output().toStdString();

  QFile remembered(dir.filePath("Configsrv.cfg"));
  ASSERT_TRUE(remembered.open(QIODevice::ReadOnly));
  EXPECT_EQ(remembered.readAll(), "127.0.0.1\n");

  feed.Close();
  EXPECT_TRUE(vantor.WaitFor("Vantor: Disconnected from server")) << vantor.Output().toStdString();
}

#ifndef _WIN32
// A working folder the client cannot write in: it says the server list is
// not kept, logs on and follows the feed all the same.
TEST(VantorProgram, ReadOnlyWorkingFolderIsToldAndTheClientGoesOn) {
  ServerProcess server(Configure);
  ASSERT_TRUE(server.Start()) << server.Output().toStdString();
  QTemporaryDir settings;
  QTemporaryDir work;
  {
    QFile remembered(work.filePath("Configsrv.cfg"));
    ASSERT_TRUE(remembered.open(QIODevice::WriteOnly));
    remembered.write("10.1.1.1\n");
  }
  const ReadOnlyFolder readOnly(work.path().toStdString());
  ASSERT_EQ(readOnly.Failed(), "");
  ChildProcess vantor(
      "Vantor",
      {"--settings", settings.filePath("rivak.ini"), "--no-sound", "--log-tracks", "--server", "127.0.0.1",
       "--password", "azure", "--client-port", QString::number(server.clientPort()), "--bind", "127.0.0.9"},
      work.path());
  ASSERT_TRUE(vantor.WaitFor("joined (Blue)")) << vantor.Output().toStdString();
  EXPECT_TRUE(vantor.Output().contains("Configsrv.cfg")) << vantor.Output().toStdString();
  QFile remembered(work.filePath("Configsrv.cfg"));
  ASSERT_TRUE(remembered.open(QIODevice::ReadOnly));
  EXPECT_EQ(remembered.readAll(), "10.1.1.1\n");
}
#endif

TEST(VantorProgram, WrongPasswordWithoutADisplayGivesUp) {
  ServerProcess server(Configure);
  ASSERT_TRUE(server.Start()) << server.Output().toStdString();
  QTemporaryDir dir;
  VantorProcess vantor(dir, {"--server", "127.0.0.1", "--password", "nope", "--client-port",
                             QString::number(server.clientPort()), "--bind", "127.0.0.8"});
  // French, the language of a fresh installation.
  ASSERT_TRUE(vantor.WaitFor("127.0.0.1: closed")) << vantor.Output().toStdString();
  const QString output = vantor.Output();
  EXPECT_TRUE(output.contains("Vantor: error: Mot de passe invalide")) << output.toStdString();
  EXPECT_TRUE(output.contains("start with --password")) << output.toStdString();
  EXPECT_FALSE(output.contains("joined")) << output.toStdString();
}

}  // namespace
}  // namespace vantor::test
