// The vantorsrv program as outside tools run it.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>

#include "ServerTestSupport.h"
#include "vantor/protocol/ControlMessages.h"

using namespace vantor;
using namespace vantor::test;

namespace {

class ServerProcess {
 public:
  ServerProcess(const QTemporaryDir& dir, QStringList extra = {})
      : feedPort_(FreeTcpPort()), clientPort_(FreeTcpPort()), settings_(dir.filePath("vantorsrv.ini")) {
    arguments_ =
        QStringList{
            "--headless", "--feed-port", QString::number(feedPort_), "--client-port", QString::number(clientPort_),
            "--settings", settings_} +
        extra;
  }
  ~ServerProcess() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished(5000);
    }
  }
  bool Start() {
    process_.start(ProgramPath("vantorsrv"), arguments_);
    if (!process_.waitForStarted(5000)) return false;
    // Serving once both ports are reported.
    return WaitUntil([&] { return StderrText().contains("client port"); }, std::chrono::seconds(10));
  }
  QString StderrText() {
    stderr_ += QString::fromUtf8(process_.readAllStandardError());
    return stderr_;
  }
  QString StdoutText() {
    stdout_ += QString::fromUtf8(process_.readAllStandardOutput());
    return stdout_;
  }
  // The event lines written so far, without their timestamps.
  QStringList Events() {
    QStringList events;
    for (const QString& line : StdoutText().split('\n', Qt::SkipEmptyParts)) events += line.mid(21);
    return events;
  }
  bool Terminate(int& exitCode) {
    ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
    if (!process_.waitForFinished(5000)) return false;
    exitCode = process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    return true;
  }
  quint16 FeedPort() const { return feedPort_; }
  quint16 ClientPort() const { return clientPort_; }
  const QString& SettingsPath() const { return settings_; }

 private:
  quint16 feedPort_;
  quint16 clientPort_;
  QString settings_;
  QStringList arguments_;
  QProcess process_;
  QString stderr_;
  QString stdout_;
};

std::unique_ptr<TestClient> Join(const QString& address, quint16 port, protocol::CoalitionCode coalition) {
  auto client = std::make_unique<TestClient>(address, port);
  if (!client->ConnectTo(port) || !client->WaitConfigBlock()) return nullptr;
  client->Join(coalition);
  return client;
}

QByteArray RunToEnd(const QStringList& arguments, int& exitCode) {
  QProcess process;
  process.start(ProgramPath("vantorsrv"), arguments);
  process.waitForFinished(10000);
  exitCode = process.exitCode();
  return process.readAllStandardOutput() + process.readAllStandardError();
}

}  // namespace

TEST(VantorsrvProgram, AnswersHelpAndVersion) {
  int exitCode = -1;
  const QByteArray help = RunToEnd({"--help"}, exitCode);
  EXPECT_EQ(exitCode, 0);
  for (const char* option : {"--headless", "--no-simulator", "--feed-port", "--client-port", "--settings",
                             "--simulator-dir", "--feed-intake", "--version", "--print-config"}) {
    EXPECT_TRUE(help.contains(option)) << option;
  }
  const QByteArray version = RunToEnd({"--version"}, exitCode);
  EXPECT_EQ(exitCode, 0);
  EXPECT_TRUE(version.contains(VANTOR_VERSION));
  RunToEnd({"--headless", "--feed-port", "70000"}, exitCode);
  EXPECT_EQ(exitCode, 2);
  for (const char* intake : {"9999", "16777217", "1e6", "-1"}) {
    const QByteArray refused = RunToEnd({"--headless", "--feed-intake", intake}, exitCode);
    EXPECT_EQ(exitCode, 2) << intake;
    EXPECT_TRUE(refused.contains("--feed-intake must be a number of bytes from 10000 to 16777216")) << intake;
  }
}

TEST(VantorsrvProgram, FeedIntakeComesFromTheOptionElseFromTheSetting) {
  QTemporaryDir dir;
  {
    ServerProcess server(dir, {"--no-simulator"});
    ASSERT_TRUE(server.Start()) << server.StderrText().toStdString();
    EXPECT_TRUE(server.StderrText().contains("feed intake 10000 bytes per step")) << server.StderrText().toStdString();
  }
  {
    auto settings = SettingsStore::OpenFile(dir.filePath("vantorsrv.ini"));
    settings->WriteInt("Config", "FeedIntake", 250000);
    settings->Sync();
  }
  {
    ServerProcess server(dir, {"--no-simulator"});
    ASSERT_TRUE(server.Start()) << server.StderrText().toStdString();
    EXPECT_TRUE(server.StderrText().contains("feed intake 250000 bytes per step")) << server.StderrText().toStdString();
  }
  ServerProcess server(dir, {"--no-simulator", "--feed-intake", "1000000"});
  ASSERT_TRUE(server.Start()) << server.StderrText().toStdString();
  EXPECT_TRUE(server.StderrText().contains("feed intake 1000000 bytes per step")) << server.StderrText().toStdString();
}

TEST(VantorsrvProgram, ServesAFeedToSeveralClientsAndStopsCleanlyOnSigterm) {
  QTemporaryDir dir;
  ServerProcess server(dir, {"--no-simulator"});
  {
    auto settings = SettingsStore::OpenFile(server.SettingsPath());
    settings->WriteInt("Config", "MaxClient", 3);
    settings->WriteString("Config", "bluepass", "bleu");
    settings->WriteString("Config", "redpass", "rouge");
    settings->WriteInt("Config", "Ra11", 0);
  }
  ASSERT_TRUE(server.Start()) << server.StderrText().toStdString();

  auto blue = Join("127.0.0.2", server.ClientPort(), protocol::CoalitionCode::Blue);
  auto red = Join("127.0.0.3", server.ClientPort(), protocol::CoalitionCode::Red);
  ASSERT_TRUE(blue && red);

  TestFeed feed;
  ASSERT_TRUE(feed.ConnectTo(server.FeedPort()));
  const QByteArray first =
      "Mission start time: 43200##"
      "16779010 B Colt 11[Enemies]@@45.0322 38.9251 3000.0 1.57##"
      "30000001 A SA-11 Buk SR[Allies]@@44.0 38.0 10 0##"
      "30000002 A Kub STR[Allies]@@44.5 38.5 10 0##";
  feed.Send(first);
  ASSERT_TRUE(blue->WaitDatagrams(1) && red->WaitDatagrams(1));
  EXPECT_EQ(blue->Datagrams().back(), QByteArray());  // created objects wait for their update

  feed.Send(
      "16779010 B Colt 11[Enemies]@@45.0422 38.9251 3000.0 1.57##"
      "30000001 A SA-11 Buk SR[Allies]@@44.0 38.0 10 0##"
      "30000002 A Kub STR[Allies]@@44.5 38.5 10 0##");
  ASSERT_TRUE(blue->WaitDatagrams(2) && red->WaitDatagrams(2));
  const QByteArray expected =
      "16779010BColt 11[A]@45.0422 38.9251 3000.0 1.57 0##"
      "30000002AKub STR[B]@44.5000 38.5000 10.0 0.00 0##";  // BUK SR is disabled
  EXPECT_EQ(blue->Datagrams()[1], expected);
  EXPECT_EQ(red->Datagrams()[1], expected);

  const auto chat = protocol::EncodeChatMessage(protocol::CoalitionCode::Everyone, "bonjour");
  const QByteArray chatBytes(reinterpret_cast<const char*>(chat.data()), static_cast<qsizetype>(chat.size()));
  red->Send(chatBytes);
  EXPECT_EQ(blue->WaitControl(chatBytes.size()), chatBytes);
  EXPECT_EQ(red->WaitControl(chatBytes.size()), chatBytes);

  int exitCode = -1;
  ASSERT_TRUE(server.Terminate(exitCode));
  EXPECT_EQ(exitCode, 0);
  EXPECT_TRUE(blue->WaitDisconnected());
  EXPECT_TRUE(red->WaitDisconnected());
  EXPECT_TRUE(server.StderrText().contains("VANTORSRV")) << server.StderrText().toStdString();
}

TEST(VantorsrvProgram, LaunchesTheSimulatorFromItsFolderUnlessToldNotTo) {
  QTemporaryDir simulator;
  {
    QFile script(simulator.filePath("falcrest"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho started >> launched.txt\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  const QString marker = simulator.filePath("launched.txt");

  QTemporaryDir dir;
  {
    ServerProcess server(dir, {"--simulator-dir", simulator.path()});
    ASSERT_TRUE(server.Start());
    EXPECT_TRUE(WaitUntil([&] { return QFile::exists(marker); }));
    int exitCode = -1;
    ASSERT_TRUE(server.Terminate(exitCode));
    EXPECT_EQ(exitCode, 0);
  }
  QFile::remove(marker);
  {
    ServerProcess server(dir, {"--simulator-dir", simulator.path(), "--no-simulator"});
    ASSERT_TRUE(server.Start());
    int exitCode = -1;
    ASSERT_TRUE(server.Terminate(exitCode));
    EXPECT_FALSE(QFile::exists(marker));
    // The start recorded the stored choice, not this run's option.
    EXPECT_EQ(SettingsStore::OpenFile(server.SettingsPath())->ReadInt("Config", "notlaunchfalcrest", -1), 0);
  }
  {
    ServerProcess server(dir, {"--simulator-dir", simulator.filePath("nowhere")});
    ASSERT_TRUE(server.Start());
    EXPECT_TRUE(WaitUntil([&] { return server.StderrText().contains("Error Starting Falcrest!!!!!"); }));
    int exitCode = -1;
    ASSERT_TRUE(server.Terminate(exitCode));
  }
}

TEST(VantorsrvProgram, WritesTimestampedEventLinesOnStandardOutput) {
  QTemporaryDir dir;
  ServerProcess server(dir, {"--no-simulator"});
  {
    auto settings = SettingsStore::OpenFile(server.SettingsPath());
    settings->WriteInt("Config", "MaxClient", 1);
    settings->WriteString("Config", "Installer Language", "1033");
  }
  ASSERT_TRUE(server.Start()) << server.StderrText().toStdString();
  auto blue = Join("127.0.0.2", server.ClientPort(), protocol::CoalitionCode::Blue);
  ASSERT_TRUE(blue);
  ASSERT_TRUE(WaitUntil([&] { return server.Events().size() >= 2; }));
  TestClient refused("127.0.0.3", server.ClientPort());
  ASSERT_TRUE(refused.ConnectTo(server.ClientPort()));
  EXPECT_EQ(refused.WaitControl(3), "FIN");
  TestFeed feed;
  ASSERT_TRUE(feed.ConnectTo(server.FeedPort()));
  feed.Send("Mission start time: 0##10000001 B Colt[Allies]@@45 38 1000 1.5##10000002 B Colt@@45 38 1000 1.5##");
  ASSERT_TRUE(blue->WaitDatagrams(1));
  feed.Close();
  ASSERT_TRUE(blue->WaitDisconnected());
  ASSERT_TRUE(WaitUntil([&] { return server.Events().size() >= 7; })) << server.StdoutText().toStdString();

  const QStringList expected = {
      "client 127.0.0.2 accepted in slot 1",
      "slot 1 (127.0.0.2) joined Blue",
      "client 127.0.0.3 refused with \"FIN\": every slot is taken",
      "feed 1 connected from 127.0.0.1",
      "1 feed record(s) skipped: no coalition bracket \"[\" before \"@@\"",
      "feed 1 closed by the simulator (1 batches, 1 records, 1 skipped)",
      "slot 1 (127.0.0.2) disconnected: feed closed or server stopped",
  };
  EXPECT_EQ(server.Events().join('\n').toStdString(), expected.join('\n').toStdString());
  const QString first = server.StdoutText().section('\n', 0, 0);
  EXPECT_TRUE(QDateTime::fromString(first.left(19), "yyyy-MM-dd hh:mm:ss").isValid()) << first.toStdString();
  EXPECT_EQ(first.mid(19, 2), "  ");
  int exitCode = -1;
  ASSERT_TRUE(server.Terminate(exitCode));
  EXPECT_EQ(exitCode, 0);
}

TEST(VantorsrvProgram, PrintsTheConfigurationInEffectAsAnIniFileThatReadsBackTheSame) {
  QTemporaryDir dir;
  const QString settings = dir.filePath("vantorsrv.ini");
  {
    auto store = SettingsStore::OpenFile(settings);
    store->WriteInt("Config", "a7", 0);
    store->WriteInt("Config", "RR3", 300);
    store->WriteInt("Config", "MaxClient", 40);  // clamped to 10 in effect
    store->WriteInt("Config", "notlaunchfalcrest", 1);
    store->WriteString("Config", "bluepass", "b,l;u\"e=");
    store->WriteString("Config", "Alat1", "44.5678901234");
    store->WriteString("Config", "Installer Language", "1034");
  }
  int exitCode = -1;
  const QByteArray printed = RunToEnd({"--print-config", "--settings", settings}, exitCode);
  ASSERT_EQ(exitCode, 0) << printed.toStdString();
  const QString text = QString::fromUtf8(printed);
  EXPECT_TRUE(text.startsWith("; Configuraci")) << text.toStdString();  // the installer's language
  for (const char* line : {"\n[Config]\n", "\na1=1\n", "\na7=0\n", "\nRR3=300\n", "\nRa30=1\n", "\nAwacs=10\n",
                           "\nAwacsRange=200\n", "\nAlat1=44.567890\n", "\nMaxClient=10\n", "\nnotlaunchfalcrest=1\n",
                           "\nbluepass=\"b,l;u\\\"e=\"\n", "\nInstaller Language=\"1034\"\n", "\nFeedIntake=10000\n"}) {
    EXPECT_TRUE(text.contains(line)) << line;
  }
  // Every key the server reads: 4 x 22 airfield keys, 31 radar types, 5
  // AWACS keys, 2 passwords, 4 coordinates, FeedIntake, MaxClient,
  // notlaunchfalcrest and the language.
  EXPECT_EQ(text.count(QRegularExpression("^[^;\\[][^=]*=", QRegularExpression::MultilineOption)),
            88 + 31 + 5 + 2 + 4 + 4);

  const QString copy = dir.filePath("copy.ini");
  {
    QFile file(copy);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(printed);
  }
  const QByteArray again = RunToEnd({"--print-config", "--settings", copy}, exitCode);
  ASSERT_EQ(exitCode, 0);
  // The same configuration, from another file.
  EXPECT_EQ(QString::fromUtf8(again).section('\n', 1), text.section('\n', 1));
  // --feed-intake stands for the setting on its run.
  const QByteArray raised = RunToEnd({"--print-config", "--settings", copy, "--feed-intake", "1000000"}, exitCode);
  ASSERT_EQ(exitCode, 0);
  EXPECT_TRUE(raised.contains("\nFeedIntake=1000000\n")) << raised.toStdString();
}
