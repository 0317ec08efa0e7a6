// The server's configuration store on a full disk and in a read-only
// folder: the operator is told, the previous file is intact, and serving
// goes on with the configuration the server holds.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "ChildProcess.h"
#include "FileFaults.h"
#include "ServerTestSupport.h"

namespace vantor::test {
namespace {

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(ServerOnAFaultyDisk, ConfigurationThatCannotBeSavedIsReportedAndKeptInUse) {
  ServerHarness harness;
  harness.Settings().WriteString("Config", "bluepass", "Azure");
  ASSERT_TRUE(harness.Settings().Sync());
  const QString store = harness.Settings().Location();
  const QByteArray previous = Contents(store);
  harness.Runtime().LoadConfig();
  server::ServerConfig config = harness.Runtime().Config();
  config.block.awacsRangeKm = 321;
  harness.Runtime().ApplyConfig(config);
  {
    const FileSizeLimit full(64);
    EXPECT_FALSE(harness.Runtime().SaveConfig());
  }
  EXPECT_EQ(Contents(store), previous);
  ASSERT_EQ(harness.Notifier().errors.size(), 1u);
  EXPECT_TRUE(harness.Notifier().errors[0].contains(store)) << harness.Notifier().errors[0].toStdString();
  {
    const ReadOnlyFolder readOnly(QFileInfo(store).absolutePath().toStdString());
    ASSERT_EQ(readOnly.Failed(), "");
    EXPECT_FALSE(harness.Runtime().SaveConfig());
  }
  EXPECT_EQ(Contents(store), previous);

  // Serving goes on, and clients get the configuration as applied.
  harness.Start();
  auto client = std::make_unique<TestClient>("127.0.0.2", harness.ClientPort());
  ASSERT_TRUE(client->ConnectTo(harness.ClientPort()));
  const auto block = client->WaitConfigBlock();
  ASSERT_TRUE(block);
  EXPECT_EQ(block->awacsRangeKm, 321);
  EXPECT_TRUE(harness.Runtime().SaveConfig()) << "saved once the disk takes it";
  EXPECT_TRUE(Contents(store).contains("AwacsRange=321"));
}

// vantorsrv records its start settings at once: on a full disk it says so
// and serves anyway.
TEST(ServerOnAFaultyDisk, VantorsrvStartsAndServesOnAFullDisk) {
  QTemporaryDir dir;
  const QString settings = dir.filePath("vantorsrv.ini");
  {
    QFile file(settings);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Config]\nbluepass=Azure\nnotlaunchfalcrest=0\nInstaller Language=1033\n");
  }
  const QByteArray previous = Contents(settings);
  const quint16 feedPort = FreeTcpPort();
  const quint16 clientPort = FreeTcpPort();
  std::unique_ptr<ChildProcess> server;
  {
    const FileSizeLimit full(16);  // inherited by the server
    server = std::make_unique<ChildProcess>(
        "vantorsrv",
        QStringList{"--headless", "--no-simulator", "--feed-port", QString::number(feedPort), "--client-port",
                    QString::number(clientPort), "--settings", settings},
        dir.path());
  }
  ASSERT_TRUE(server->WaitFor("client port")) << server->Output().toStdString();
  EXPECT_TRUE(server->Output().contains("cannot be saved")) << server->Output().toStdString();
  EXPECT_EQ(Contents(settings), previous);
  TestClient client("127.0.0.3", clientPort);
  ASSERT_TRUE(client.ConnectTo(clientPort));
  const auto block = client.WaitConfigBlock();
  ASSERT_TRUE(block);
  EXPECT_EQ(block->password[0], "Azure");
}

}  // namespace
}  // namespace vantor::test
