// Whole flows with the real vantorsrv and a scripted simulator feed: Blue
// and Red clients on their own loopback addresses log on, follow the feed,
// chat, and see the server go.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "NetTestSupport.h"

namespace vantor::test {
namespace {

using net::ConnectionState;
using protocol::CoalitionCode;

constexpr int kFrigate = 10000001;  // Red's ship
constexpr int kTarawa = 10000002;   // Blue's ship
constexpr int kEagle = 10000003;    // Blue's fighter

class LiveServer : public ::testing::Test {
 protected:
  explicit LiveServer(int maxClient = 2)
      : server([maxClient](SettingsStore& settings) {
          settings.WriteString("Config", "bluepass", "Azure");
          settings.WriteString("Config", "redpass", "crimson");
          settings.WriteInt("Config", "MaxClient", maxClient);
        }) {}

  void SetUp() override { ASSERT_TRUE(server.Start()) << server.Output().toStdString(); }

  std::unique_ptr<ClientUnderTest> Client(const QString& localAddress, const QString& password) {
    net::ConnectionOptions options;
    options.serverPort = server.clientPort();
    options.datagramPort = server.clientPort();
    options.bindAddress = QHostAddress(localAddress);
    options.presetServer = "127.0.0.1";
    options.presetPassword = password;
    options.serverListFile = dir.filePath(localAddress + ".cfg");
    return std::make_unique<ClientUnderTest>(options);
  }
  std::unique_ptr<ClientUnderTest> Joined(const QString& localAddress, const QString& password) {
    auto client = Client(localAddress, password);
    EXPECT_TRUE(client->connection->ConnectToServer());
    EXPECT_TRUE(client->WaitForState(ConnectionState::Joined)) << client->notifier.shown.size();
    return client;
  }
  static QByteArray Batch(double step, bool eagleStandsStill = false) {
    QByteArray batch;
    batch += FeedWriter::Record(kFrigate, 'C', "Frigate Rezky", "Allies", 44.60 + step, 37.50, 0.0, 1.0);
    batch += FeedWriter::Record(kTarawa, 'C', "USS Tarawa", "USA", 43.90 + step, 38.20, 0.0, 2.0);
    const double eagleStep = eagleStandsStill ? step - 0.01 : step;
    batch += FeedWriter::Record(kEagle, 'B', "F-15C Eagle (Viper 1)", "USA", 45.00 + eagleStep, 38.90, 3000.0, 1.57);
    return batch;
  }

  QTemporaryDir dir;
  ServerProcess server;
};

TEST_F(LiveServer, BlueAndRedFollowTheFeedChatAndSeeTheServerGo) {
  auto blue = Joined("127.0.0.2", "AZURE");
  auto red = Joined("127.0.0.3", "Crimson");
  ASSERT_EQ(blue->state.isBlue, 1);
  ASSERT_EQ(red->state.isBlue, 0);
  EXPECT_EQ(blue->prompts.passwordShown + red->prompts.passwordShown, 0);
  EXPECT_EQ(blue->state.configBlock.password[0], "Azure");

  FeedWriter feed;
  ASSERT_TRUE(feed.Connect(server.feedPort()));
  feed.Send("Mission start time: 43200##");
  feed.Send(Batch(0.0));
  WaitUntil([] { return false; }, std::chrono::milliseconds(250));
  feed.Send(Batch(0.01));

  // Blue sees all three; Red does not show a hostile fighter without speed.
  ASSERT_TRUE(blue->WaitForContacts(3)) << blue->document.ContactCount();
  ASSERT_TRUE(red->WaitForContacts(2)) << red->document.ContactCount();
  EXPECT_EQ(blue->Contact(kFrigate)->friendly, 0);
  EXPECT_EQ(blue->Contact(kTarawa)->friendly, 1);
  EXPECT_EQ(blue->Contact(kEagle)->friendly, 1);
  EXPECT_EQ(blue->Contact(kEagle)->name, "F-15C Eagle (Viper 1)");
  EXPECT_NEAR(blue->Contact(kEagle)->latitude, 45.01, 1e-9);
  EXPECT_DOUBLE_EQ(blue->Contact(kEagle)->altitude, 3000.0);
  EXPECT_EQ(red->Contact(kFrigate)->friendly, 1);
  EXPECT_EQ(red->Contact(kTarawa)->friendly, 0);
  EXPECT_EQ(red->Contact(kEagle), nullptr);

  // The fighter stands still at its sampled place: the server reports it
  // lost and Blue deletes it; the ships move on.
  feed.Send(Batch(0.02, true));
  ASSERT_TRUE(WaitUntil([&] { return blue->Contact(kEagle) == nullptr; }));
  ASSERT_TRUE(WaitUntil([&] { return blue->Contact(kTarawa)->latitude > 43.915; }));
  EXPECT_EQ(blue->document.ContactCount(), 2u);

  // Chat: to everyone reaches both; to Blue only Blue, the sender included.
  ASSERT_TRUE(red->connection->SendChatMessage(CoalitionCode::Everyone, "all stations"));
  ASSERT_TRUE(WaitUntil([&] { return blue->messages.messages.size() == 1 && red->messages.messages.size() == 1; }));
  EXPECT_EQ(blue->messages.messages[0], "all stations");
  EXPECT_EQ(red->messages.messages[0], "all stations");
  ASSERT_TRUE(blue->connection->SendChatMessage(blue->connection->OwnCoalition(), "blue only"));
  ASSERT_TRUE(WaitUntil([&] { return blue->messages.messages.size() == 2; }));
  EXPECT_EQ(blue->messages.messages[1], "blue only");
  WaitUntil([] { return false; }, std::chrono::milliseconds(200));
  EXPECT_EQ(red->messages.messages.size(), 1u);

  // A third client finds both slots taken.
  auto third = Client("127.0.0.4", "azure");
  ASSERT_TRUE(third->connection->ConnectToServer());
  ASSERT_TRUE(third->WaitForState(ConnectionState::Closed));
  EXPECT_EQ(third->notifier.shown, std::vector<QString>{"Server full.Closing connection!!!"});

  // The feed ends: the server ends every client connection.
  EXPECT_TRUE(blue->notifier.shown.empty());
  feed.Close();
  ASSERT_TRUE(blue->WaitForState(ConnectionState::Closed));
  ASSERT_TRUE(red->WaitForState(ConnectionState::Closed));
  EXPECT_EQ(blue->notifier.shown, std::vector<QString>{"Disconnected from server"});
  EXPECT_EQ(red->notifier.shown, std::vector<QString>{"Disconnected from server"});
  // The contacts stay until the next connection.
  EXPECT_EQ(blue->document.ContactCount(), 2u);
}

class SingleSlotServer : public LiveServer {
 protected:
  SingleSlotServer() : LiveServer(1) {}
};

TEST_F(SingleSlotServer, ThreeWrongPasswordsFreeTheSlot) {
  auto guesser = Client("127.0.0.5", "guess");
  guesser->prompts.passwords = {QString("azure1"), QString("red")};
  ASSERT_TRUE(guesser->connection->ConnectToServer());
  ASSERT_TRUE(guesser->WaitForState(ConnectionState::Closed));
  EXPECT_EQ(guesser->notifier.shown,
            (std::vector<QString>{"Invalid password.", "Invalid password.", "Can't connect!!!"}));

  // The one slot is free again at once, long before the join timeout.
  auto controller = Joined("127.0.0.6", "crimson");
  EXPECT_EQ(controller->state.isBlue, 0);
  EXPECT_TRUE(controller->notifier.shown.empty());
}

}  // namespace
}  // namespace vantor::test
