// The short form of the load runs: a real vantorsrv with a raised intake,
// vantor-missiongen sending 1,000 objects a second with stamped batches, and
// vantor-load with three clients counting for 20 seconds. Any lost record
// fails it. (The ten-minute runs are ./run.sh soak.)
#include "ChildProcess.h"
#include "TestSupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;
using vantor::test::ChildProcess;
using vantor::test::FreeTcpPort;
using vantor::test::WaitUntil;

TEST(LoadRun, ThreeClientsFollowAThousandObjectsForTwentySecondsWithoutLosingARecord) {
  QTemporaryDir dir;
  const quint16 feedPort = FreeTcpPort();
  const quint16 clientPort = FreeTcpPort();
  {
    QFile settings(dir.filePath("vantorsrv.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[Config]\nMaxClient=10\n");
  }
  ChildProcess server(
      "vantorsrv",
      {"--headless", "--no-simulator", "--settings", dir.filePath("vantorsrv.ini"), "--feed-port",
       QString::number(feedPort), "--client-port", QString::number(clientPort), "--feed-intake", "1000000"},
      dir.path());
  ASSERT_TRUE(server.WaitFor("feed intake 1000000 bytes per step")) << server.Output().toStdString();
  ChildProcess feed("vantor-missiongen",
                    {"--port", QString::number(feedPort), "--objects", "1000", "--rate", "1", "--stamp"}, dir.path());
  const QString json = dir.filePath("load.json");
  ChildProcess load(
      "vantor-load",
      {"--client-port", QString::number(clientPort), "--clients", "3", "--first-address", "127.0.0.2", "--duration",
       "20", "--warmup", "3", "--server-pid", QString::number(server.Get().processId()), "--json", json, "--quiet"},
      dir.path());
  ASSERT_TRUE(WaitUntil([&] { return load.Get().state() == QProcess::NotRunning; }, 90s))
      << load.Output().toStdString();
  const QString table = load.Output();
  EXPECT_EQ(load.Get().exitCode(), 0) << table.toStdString() << feed.Output().toStdString();

  QFile file(json);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << table.toStdString();
  const QJsonObject report = QJsonDocument::fromJson(file.readAll()).object();
  EXPECT_FALSE(report.value("recordsLost").toBool()) << table.toStdString();
  EXPECT_EQ(report.value("lostRecords").toInteger(), 0);
  EXPECT_EQ(report.value("systemDrops").toInteger(), 0);
  const qint64 batches = report.value("endBatch").toInteger() - report.value("firstBatch").toInteger();
  EXPECT_GE(batches, 15) << table.toStdString();
  const QJsonArray clients = report.value("clients").toArray();
  ASSERT_EQ(clients.size(), 3);
  for (const auto& value : clients) {
    const QJsonObject client = value.toObject();
    EXPECT_TRUE(client.value("reachedEnd").toBool());
    EXPECT_GT(client.value("records").toInteger(), batches * 100) << table.toStdString();
    EXPECT_EQ(client.value("records").toInteger(), clients.at(0).toObject().value("records").toInteger());
  }
  // The server was watched.
  const QJsonObject serverFigures = report.value("processes").toArray().at(0).toObject();
  EXPECT_EQ(serverFigures.value("label").toString(), "vantorsrv");
  EXPECT_GT(serverFigures.value("endResidentMb").toDouble(), 0.0);
}

}  // namespace
