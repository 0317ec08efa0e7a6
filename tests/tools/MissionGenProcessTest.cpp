// vantor-missiongen as a program: options, standard output, a real loopback
// connection with late start, reconnection, recording, replay, clean stop,
// and standing in as "falcrest" in a simulator folder.
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace {

using namespace std::chrono_literals;
using vantor::test::ProgramPath;
using vantor::test::WaitUntil;

QString Generator() { return ProgramPath("vantor-missiongen"); }

struct ProgramRun {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

ProgramRun RunToEnd(const QStringList& arguments, int timeoutMs = 20000) {
  QProcess process;
  process.start(Generator(), arguments);
  ProgramRun run;
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished();
    return run;
  }
  run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
  run.out = process.readAllStandardOutput();
  run.err = process.readAllStandardError();
  return run;
}

// A feed port on loopback that collects what each connection sends.
class FeedPort {
 public:
  bool Listen(quint16 port) {
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connections_.push_back({socket, {}});
        const std::size_t index = connections_.size() - 1;
        QObject::connect(socket, &QTcpSocket::readyRead,
                         [this, index] { connections_[index].bytes += connections_[index].socket->readAll(); });
      }
    });
    return server_.listen(QHostAddress::LocalHost, port);
  }
  std::size_t Count() const { return connections_.size(); }
  QByteArray& Bytes(std::size_t index) { return connections_[index].bytes; }
  QTcpSocket* Socket(std::size_t index) { return connections_[index].socket; }

 private:
  struct Connection {
    QTcpSocket* socket;
    QByteArray bytes;
  };
  QTcpServer server_;
  std::vector<Connection> connections_;
};

class Generated {
 public:
  explicit Generated(const QStringList& arguments, const QString& program = Generator(), const QString& folder = {}) {
    if (!folder.isEmpty()) process_.setWorkingDirectory(folder);
    process_.start(program, arguments);
    process_.waitForStarted();
  }
  ~Generated() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished();
    }
  }
  QProcess& Process() { return process_; }
  bool Ended() { return process_.state() == QProcess::NotRunning; }

 private:
  QProcess process_;
};

TEST(MissionGenProgram, AnswersHelpAndVersionAndRefusesBadOptions) {
  const ProgramRun help = RunToEnd({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  for (const char* option : {"--host", "--port", "--rate", "--objects", "--duration", "--seed", "--record", "--replay"})
    EXPECT_TRUE(help.out.contains(option)) << option;
  const ProgramRun version = RunToEnd({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_TRUE(version.out.startsWith("vantor-missiongen "));
  for (const QStringList& bad : {QStringList{"--port", "0"}, QStringList{"--port", "70000"}, QStringList{"--rate", "0"},
                                 QStringList{"--objects", "10001"}, QStringList{"--objects", "many"},
                                 QStringList{"--duration", "-1"}, QStringList{"--bogus"}, QStringList{"extra"}}) {
    const ProgramRun run = RunToEnd(bad);
    EXPECT_EQ(run.exitCode, 2) << bad.join(' ').toStdString();
    EXPECT_FALSE(run.err.isEmpty());
  }
  const ProgramRun missing = RunToEnd({"--replay", "/nonexistent/feed.txt"});
  EXPECT_EQ(missing.exitCode, 1);
}

TEST(MissionGenProgram, SameSeedWritesTheSameBytes) {
  const QStringList base = {"--stdout", "--fast", "--duration", "30"};
  const ProgramRun first = RunToEnd(base + QStringList{"--seed", "3"});
  const ProgramRun second = RunToEnd(base + QStringList{"--seed", "3"});
  const ProgramRun other = RunToEnd(base + QStringList{"--seed", "4"});
  ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
  EXPECT_TRUE(first.out.startsWith("Mission start time: "));
  EXPECT_TRUE(first.out.endsWith("##"));
  EXPECT_GT(first.out.size(), 100000);
  EXPECT_EQ(first.out, second.out);
  EXPECT_NE(first.out, other.out);
}

TEST(MissionGenProgram, WaitsForTheServerRecordsWhatItSendsAndStopsCleanly) {
  const quint16 port = vantor::test::FreeTcpPort();
  QTemporaryDir dir;
  const QString record = dir.filePath("feed.txt");
  Generated generator({"--port", QString::number(port), "--rate", "20", "--record", record});
  // The server is not up yet: the generator keeps trying.
  QThread::msleep(1500);
  ASSERT_FALSE(generator.Ended());
  FeedPort feed;
  ASSERT_TRUE(feed.Listen(port));
  ASSERT_TRUE(WaitUntil([&] { return feed.Count() == 1 && feed.Bytes(0).count("##") > 300; }, 10s));
  EXPECT_TRUE(feed.Bytes(0).startsWith("Mission start time: "));

  generator.Process().terminate();  // SIGTERM
  ASSERT_TRUE(WaitUntil([&] { return generator.Ended(); }, 10s));
  EXPECT_EQ(generator.Process().exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(generator.Process().exitCode(), 0);
  WaitUntil([&] { return feed.Socket(0)->state() == QAbstractSocket::UnconnectedState; }, 3s);
  feed.Bytes(0) += feed.Socket(0)->readAll();
  QFile file(record);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), feed.Bytes(0));
}

TEST(MissionGenProgram, ConnectsAgainAfterTheServerDropsTheConnection) {
  const quint16 port = vantor::test::FreeTcpPort();
  FeedPort feed;
  ASSERT_TRUE(feed.Listen(port));
  Generated generator({"--port", QString::number(port), "--rate", "20", "--objects", "20"});
  ASSERT_TRUE(WaitUntil([&] { return feed.Count() == 1 && feed.Bytes(0).count("##") > 40; }, 10s));
  feed.Socket(0)->abort();
  ASSERT_TRUE(WaitUntil([&] { return feed.Count() == 2 && feed.Bytes(1).count("##") > 40; }, 10s));
  // Every connection opens with the mission clock, which has moved on.
  EXPECT_TRUE(feed.Bytes(1).startsWith("Mission start time: "));
}

TEST(MissionGenProgram, ReplaysARecordingBatchByBatchAndEnds) {
  QTemporaryDir dir;
  const QString recording = dir.filePath("capture.txt");
  const ProgramRun captured =
      RunToEnd({"--stdout", "--fast", "--duration", "4", "--objects", "30", "--record", recording});
  ASSERT_EQ(captured.exitCode, 0);

  const quint16 port = vantor::test::FreeTcpPort();
  FeedPort feed;
  ASSERT_TRUE(feed.Listen(port));
  Generated replay({"--port", QString::number(port), "--replay", recording, "--rate", "50"});
  ASSERT_TRUE(WaitUntil([&] { return replay.Ended(); }, 15s));
  EXPECT_EQ(replay.Process().exitCode(), 0);
  ASSERT_EQ(feed.Count(), 1u);
  WaitUntil([&] { return feed.Bytes(0).size() >= captured.out.size(); }, 3s);
  EXPECT_EQ(feed.Bytes(0), captured.out);
}

// The server starts its simulator as "falcrest" in the simulator folder; the
// stand-in then takes its options from "vantor-export.ini" there.
TEST(MissionGenProgram, StandsInAsFalcrestWithTheFoldersExportSettings) {
  QTemporaryDir folder;
  ASSERT_TRUE(QFile::link(Generator(), folder.filePath("falcrest")));
  const quint16 port = vantor::test::FreeTcpPort();
  QFile ini(folder.filePath("vantor-export.ini"));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write(QStringLiteral("[Export]\nport=%1\nduration=2\nobjects=10\nrate=10\n").arg(port).toUtf8());
  ini.close();
  FeedPort feed;
  ASSERT_TRUE(feed.Listen(port));
  Generated falcrest({}, folder.filePath("falcrest"), folder.path());
  ASSERT_TRUE(WaitUntil([&] { return falcrest.Ended(); }, 15s));
  EXPECT_EQ(falcrest.Process().exitCode(), 0);
  ASSERT_EQ(feed.Count(), 1u);
  WaitUntil([&] { return feed.Bytes(0).count("##") >= 201; }, 3s);
  // The clock record, then up to 20 batches of 10 objects: the mission runs
  // from the start, as the simulator's does, so a batch due before the
  // connection was up is not sent.
  const auto records = feed.Bytes(0).count("##");
  EXPECT_GE(records, 1 + 15 * 10);
  EXPECT_LE(records, 1 + 20 * 10);
  EXPECT_EQ((records - 1) % 10, 0);
}

}  // namespace
