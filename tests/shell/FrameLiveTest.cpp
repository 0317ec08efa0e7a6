// The main frame against the real vantorsrv: "Send Msg" reaching another
// client of the server byte for byte, and the exit dialog's Reconnect
// bringing the picture back after the server was restarted.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTcpSocket>
#include <QTest>

#include "FrameTestSupport.h"
#include "NetTestSupport.h"
#include "vantor/net/ServerAddressList.h"
#include "vantor/protocol/ConfigBlock.h"
#include "vantor/scope/CRivakView.h"
#include "vantor/shell/CExitDlg.h"
#include "vantor/shell/CSendMsgDlg.h"
#include "vantor/shell/ConnectionShell.h"

namespace vantor::shell::test {
namespace {

using namespace std::chrono_literals;
using vantor::test::FeedWriter;
using vantor::test::ServerProcess;
using vantor::test::WaitUntil;

// The address dialog, answered with the local server every time.
class LocalServerPrompt final : public net::ServerAddressPrompt {
 public:
  explicit LocalServerPrompt(int& asked) : asked_(asked) {}
  std::optional<QString> AskServerAddress(net::ServerAddressList&) override {
    ++asked_;
    return QStringLiteral("127.0.0.1");
  }

 private:
  int& asked_;
};

// The client of the frame, on 127.0.0.2, with the server's ports.
std::unique_ptr<ClientUnderTest> FrameClient(const ServerProcess& server, int& addressAsked) {
  return std::make_unique<ClientUnderTest>(
      "1033", QRect(0, 0, 1600, 1000), [&server, &addressAsked](StartupOptions& options, ShellPlatform& platform) {
        options.connection.serverPort = server.clientPort();
        options.connection.datagramPort = server.clientPort();
        options.connection.bindAddress = QHostAddress(QStringLiteral("127.0.0.2"));
        options.connection.serverListFile = options.dataFolders.front() + "/Configsrv.cfg";
        platform.addressPrompt = [&addressAsked](QWidget*, Language) {
          return std::make_unique<LocalServerPrompt>(addressAsked);
        };
        platform.connectionNotifier = [](QWidget*) { return std::make_unique<vantor::test::RecordingNotifier>(); };
      });
}

net::ClientConnection& ConnectionOf(ClientUnderTest& client) { return client.app->Connection()->Connection(); }

std::string ContactNames(const model::CRivakDoc& document) {
  std::lock_guard<model::ContactLock> guard(document.ContactTableLock());
  std::string names;
  for (const model::CContact& contact : document.Contacts()) names += contact.name.toStdString() + "; ";
  return names;
}

std::size_t ContactCount(const model::CRivakDoc& document) {
  std::lock_guard<model::ContactLock> guard(document.ContactTableLock());
  std::size_t count = 0;
  for ([[maybe_unused]] const model::CContact& contact : document.Contacts()) ++count;
  return count;
}

// A hostile ship off the coast and a friendly aircraft over Krasnodar (a
// hostile aircraft only counts once the server has measured its speed).
QByteArray Batch(double step) {
  return FeedWriter::Record(10000001, 'C', "Frigate Rezky", "Allies", 44.60 + step, 37.50, 0.0, 1.0) +
         FeedWriter::Record(10000002, 'B', "F-15C (Colt 11)", "USA", 45.05, 39.00 + step, 3000.0, 2.0);
}

TEST(FrameLive, SendAndSendToAllReachAnotherClientOfTheServer) {
  ServerProcess server;
  ASSERT_TRUE(server.Start()) << server.Output().toStdString();
  int asked = 0;
  auto client = FrameClient(server, asked);
  ASSERT_TRUE(WaitUntil([&] { return ConnectionOf(*client).IsJoined(); }, 10s)) << server.Output().toStdString();

  // Another controller, logged on as Red by hand.
  QTcpSocket other;
  ASSERT_TRUE(other.bind(QHostAddress(QStringLiteral("127.0.0.3")), 0));
  other.connectToHost(QHostAddress::LocalHost, server.clientPort());
  ASSERT_TRUE(other.waitForConnected(5000));
  ASSERT_TRUE(WaitUntil([&] { return other.bytesAvailable() >= static_cast<qint64>(protocol::kConfigBlockSize); }, 5s));
  other.read(static_cast<qint64>(protocol::kConfigBlockSize));
  other.write(QByteArray("\x06\x01", 2));
  ASSERT_TRUE(WaitUntil([&] { return server.Output().count("127.0.0.3") >= 2; }, 5s)) << server.Output().toStdString();

  CMainFrame& frame = client->Frame();
  auto send = [&frame](const QString& text, const char* button) {
    WhenModalOpens<CSendMsgDlg>([text, button](CSendMsgDlg& dialog) {
      EXPECT_EQ(dialog.Edit()->maxLength(), 250);
      QTest::keyClicks(dialog.Edit(), text);
      Click(dialog, button);
    });
    frame.OpenSendMessage();
  };
  auto received = [&other](qsizetype count) {
    EXPECT_TRUE(WaitUntil([&] { return other.bytesAvailable() >= count; }, 5s));
    QTest::qWait(50);  // nothing more follows
    return other.readAll();
  };

  // Send: the own coalition's byte (Blue, 0), then the text, no zero byte.
  send("Tally ho", "send");
  EXPECT_EQ(received(9), QByteArray("\x00Tally ho", 9));
  // Send To All: destination 3.
  send("Bandits north", "sendToAll");
  EXPECT_EQ(received(14), QByteArray("\x03"
                                     "Bandits north",
                                     14));
  // An empty line sends the destination byte alone.
  send("", "send");
  EXPECT_EQ(received(1), QByteArray("\x00", 1));
  // Cancel sends nothing.
  send("never", "cancel");
  QTest::qWait(300);
  EXPECT_EQ(other.bytesAvailable(), 0);

  // The server relays to the sender too: its message window shows them.
  const QStringList& shown = client->app->Connection()->MessageWindow().Messages();
  EXPECT_TRUE(WaitUntil([&] { return shown.contains("Bandits north"); }, 5s));
  EXPECT_TRUE(shown.contains("Tally ho"));

  // Without a connection nothing is sent.
  server.Stop();
  ASSERT_TRUE(WaitUntil([&] { return !ConnectionOf(*client).IsJoined(); }, 5s));
  send("lost", "send");
  EXPECT_FALSE(ConnectionOf(*client).IsJoined());
}

TEST(FrameLive, ReconnectBringsThePictureBackAfterTheServerRestarted) {
  ServerProcess server;
  ASSERT_TRUE(server.Start()) << server.Output().toStdString();
  int asked = 0;
  auto client = FrameClient(server, asked);
  ASSERT_TRUE(WaitUntil([&] { return ConnectionOf(*client).IsJoined(); }, 10s));
  EXPECT_EQ(asked, 1);
  model::CRivakDoc& document = *client->app->Document();

  auto feedUntilSeen = [&] {
    FeedWriter feed;
    if (!feed.Connect(server.feedPort())) return false;
    for (int batch = 0; batch < 50 && ContactCount(document) < 2; ++batch) {
      feed.Send(Batch(0.001 * batch));
      WaitUntil([] { return false; }, 100ms);
    }
    return ContactCount(document) == 2;
  };
  ASSERT_TRUE(feedUntilSeen()) << ContactNames(document) << server.Output().toStdString();

  // The server goes: the client says so and keeps what it had.
  server.Stop();
  ASSERT_TRUE(WaitUntil([&] { return !ConnectionOf(*client).IsJoined(); }, 5s));
  EXPECT_EQ(ContactCount(document), 2u);

  // It comes back on the same ports.
  ASSERT_TRUE(server.Start());
  ASSERT_TRUE(WaitUntil([&] { return server.Output().count("client port") >= 2; }, 10s))
      << server.Output().toStdString();

  // Exit dialog, Reconnect: asks for the server again, starts from an empty
  // table, joins, and the contacts come back.
  client->Frame().ExpandRightColumn(false);
  WhenModalOpens<CExitDlg>([](CExitDlg& dialog) { Click(dialog, "reconnect"); });
  client->Frame().RequestExit();
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(ContactCount(document), 0u);
  EXPECT_FALSE(client->Frame().Scope()->Geometry().WideScope());
  EXPECT_TRUE(client->Frame().isVisible());
  ASSERT_TRUE(WaitUntil([&] { return ConnectionOf(*client).IsJoined(); }, 10s)) << server.Output().toStdString();
  EXPECT_TRUE(feedUntilSeen());
}

}  // namespace
}  // namespace vantor::shell::test
