// The client's connection against a scripted server: the handshake, log-on,
// track datagrams, chat and every failure path, over loopback sockets.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "NetTestSupport.h"
#include "vantor/net/LogOnRules.h"
#include "vantor/net/ServerAddressList.h"
#include "vantor/protocol/ControlMessages.h"

namespace vantor::test {
namespace {

using net::ConnectionState;
using protocol::CoalitionCode;

const QByteArray kBlueJoin("\x06\x00", 2);
const QByteArray kRedJoin("\x06\x01", 2);

class Connection : public ::testing::Test {
 protected:
  Connection() : datagramPort(FreeTcpPort()) {}

  net::ConnectionOptions Options() const {
    net::ConnectionOptions options;
    options.serverPort = server.port();
    options.datagramPort = datagramPort;
    options.bindAddress = QHostAddress("127.0.0.1");
    options.serverListFile = dir.filePath("Configsrv.cfg");
    return options;
  }
  ClientUnderTest& Client() {
    if (!client) client = std::make_unique<ClientUnderTest>(Options());
    return *client;
  }
  // Connects through the address dialog and waits for the server's accept.
  void Connect() {
    Client().prompts.addresses.push_back("127.0.0.1");
    ASSERT_TRUE(Client().connection->ConnectToServer());
    ASSERT_TRUE(server.WaitForClient());
    ASSERT_TRUE(Client().WaitForState(ConnectionState::WaitingForConfig));
  }
  // Connects and logs on as Blue on a server without passwords.
  void Join(const protocol::ConfigBlock& block = BlockWithPasswords("", "")) {
    Connect();
    server.Send(ConfigBlockBytes(block));
    ASSERT_TRUE(server.WaitForReceived(2));
    ASSERT_TRUE(Client().WaitForState(ConnectionState::Joined));
  }
  void Datagram(const QByteArray& bytes) { server.SendDatagram(bytes, datagramPort); }
  // Lets datagrams and control bytes in flight arrive.
  static void Settle() {
    WaitUntil([] { return false; }, 100ms);
  }

  QTemporaryDir dir;
  ScriptedServer server;
  quint16 datagramPort;
  std::unique_ptr<ClientUnderTest> client;
};

TEST_F(Connection, BlockInTwoReadsIsAssembledAndAnsweredWithTheJoinReply) {
  Connect();
  const QByteArray block = ConfigBlockBytes(BlockWithPasswords("", ""));
  server.Send(block.left(200));
  Settle();
  EXPECT_EQ(Client().connection->State(), ConnectionState::WaitingForConfig);
  EXPECT_TRUE(server.Received().isEmpty());
  server.Send(block.mid(200));
  ASSERT_TRUE(server.WaitForReceived(2));
  EXPECT_EQ(server.Received(), kBlueJoin);
  EXPECT_TRUE(Client().WaitForState(ConnectionState::Joined));
  // No passwords: no dialog, Blue.
  EXPECT_EQ(Client().prompts.passwordShown, 0);
  EXPECT_EQ(Client().state.isBlue, 1);
  EXPECT_EQ(Client().loggedOnSides, std::vector<int>{0});
  EXPECT_EQ(Client().state.logOnTime, Client().now);
  EXPECT_TRUE(Client().notifier.shown.empty());
  // The stored block is the server's.
  EXPECT_EQ(Client().state.configBlock.awacsRangeKm, 200);
  EXPECT_EQ(Client().state.configBlock.airfieldRadarRangeKm[1][5], 100);
}

TEST_F(Connection, ServerFullIsReportedAndTheConnectionClosed) {
  Connect();
  server.Send("FIN");
  ASSERT_TRUE(server.WaitForClientClosed());
  EXPECT_EQ(Client().notifier.shown, std::vector<QString>{"Server full.Closing connection!!!"});
  EXPECT_EQ(Client().connection->State(), ConnectionState::Closed);
  EXPECT_TRUE(server.Received().isEmpty());
}

TEST_F(Connection, ServerFullWithTheCloseRightBehindIsReportedOnce) {
  Connect();
  server.Send("FIN");
  server.CloseClient();
  ASSERT_TRUE(Client().WaitForState(ConnectionState::Closed));
  Settle();
  EXPECT_EQ(Client().notifier.shown, std::vector<QString>{"Server full.Closing connection!!!"});
}

TEST_F(Connection, WrongVersionSendsNothingAndCloses) {
  Connect();
  protocol::ConfigBlock block = BlockWithPasswords("pw", "");
  block.version = 5;
  block.awacsRangeKm = 999;
  server.Send(ConfigBlockBytes(block));
  ASSERT_TRUE(server.WaitForClientClosed());
  EXPECT_TRUE(server.Received().isEmpty());
  EXPECT_EQ(Client().notifier.shown, std::vector<QString>{"Version not compatible with Server!!!"});
  EXPECT_EQ(Client().prompts.passwordShown, 0);
  // The incompatible block is not adopted.
  EXPECT_NE(Client().state.configBlock.awacsRangeKm, 999);
}

TEST_F(Connection, ChatMessagesByLengthAndDestination) {
  Join();
  QByteArray longest(251, 'm');
  longest[0] = 3;
  server.Send(longest);
  ASSERT_TRUE(WaitUntil([&] { return Client().messages.messages.size() == 1; }));
  EXPECT_EQ(Client().messages.messages[0], QString(250, 'm'));
  EXPECT_EQ(Client().messages.shownCount, 1);

  QByteArray tooLong(255, 'x');
  tooLong[0] = 3;
  server.Send(tooLong);
  ASSERT_TRUE(WaitUntil([&] { return Client().messages.messages.size() == 2; }));
  EXPECT_EQ(Client().messages.messages[1], "Receive a invalide Msg");

  // Addressed to Red: dropped silently by a Blue client.
  server.Send(QByteArray("\x01red only"));
  Settle();
  server.Send(QByteArray("\x00", 1) + "blue only");
  ASSERT_TRUE(WaitUntil([&] { return Client().messages.messages.size() == 3; }));
  EXPECT_EQ(Client().messages.messages[2], "blue only");
  EXPECT_TRUE(Client().notifier.shown.empty());
}

TEST_F(Connection, SendsChatOnlyWhileJoined) {
  EXPECT_FALSE(Client().connection->SendChatMessage(CoalitionCode::Everyone, "too early"));
  Join();
  ASSERT_EQ(server.Received(), kBlueJoin);
  ASSERT_TRUE(Client().connection->SendChatMessage(Client().connection->OwnCoalition(), "to my side"));
  ASSERT_TRUE(server.WaitForReceived(2 + 11));
  EXPECT_EQ(server.Received().mid(2), QByteArray("\x00", 1) + "to my side");
  ASSERT_TRUE(Client().connection->SendChatMessage(CoalitionCode::Everyone, ""));
  ASSERT_TRUE(server.WaitForReceived(2 + 11 + 1));
  EXPECT_EQ(server.Received().mid(13), QByteArray("\x03"));
}

TEST_F(Connection, DatagramsFillTheContactTable) {
  Join();
  Datagram(
      "16779010BColt 11[A]@45.0322 38.9251 3000.0 1.57 820##"
      "20000001CSAM [2][B]@44.5 38.0 50.0 0.00 0##");
  ASSERT_TRUE(Client().WaitForContacts(2));
  const model::CContact* colt = Client().Contact(16779010);
  ASSERT_NE(colt, nullptr);
  EXPECT_EQ(colt->name, "Colt 11");
  EXPECT_EQ(colt->friendly, 1);
  EXPECT_DOUBLE_EQ(colt->speed, 820.0);
  EXPECT_DOUBLE_EQ(colt->latitude, 45.0322);
  const model::CContact* sam = Client().Contact(20000001);
  ASSERT_NE(sam, nullptr);
  EXPECT_EQ(sam->name, "SAM [2]");
  EXPECT_EQ(sam->friendly, 0);
  EXPECT_EQ(sam->altSymbol, 1);

  // An empty datagram between two with records changes nothing.
  Datagram(QByteArray());
  Datagram("16779010BColt 11[A]@45.1 38.9 3100.0 1.57 830##");
  ASSERT_TRUE(WaitUntil([&] { return Client().Contact(16779010)->altitude == 3100.0; }));
  EXPECT_EQ(Client().datagramsApplied, 2);

  // A record split across datagrams is completed by the next one.
  Datagram("30000001DFrigate[B]@44.");
  Settle();
  EXPECT_EQ(Client().document.ContactCount(), 2u);
  Datagram("2 37.8 0.0 2.00 25##16779010BColt 11[A]@0.0 0.0 0.0 0.0 0##");
  ASSERT_TRUE(WaitUntil([&] { return Client().Contact(30000001) != nullptr; }));
  EXPECT_DOUBLE_EQ(Client().Contact(30000001)->latitude, 44.2);
  // ... and the lost-track record behind it removes Colt 11.
  EXPECT_EQ(Client().Contact(16779010), nullptr);
  EXPECT_EQ(Client().document.ContactCount(), 2u);
}

TEST_F(Connection, FriendlyFollowsTheSideOfTheLogOn) {
  Connect();
  Client().prompts.passwords = {QString("Red")};
  server.Send(ConfigBlockBytes(BlockWithPasswords("blue", "red")));
  ASSERT_TRUE(server.WaitForReceived(2));
  EXPECT_EQ(server.Received(), kRedJoin);
  EXPECT_EQ(Client().state.isBlue, 0);
  Datagram("10000001CShip[A]@44.0 37.0 0.0 0.00 10##10000002CBoat[B]@44.1 37.1 0.0 0.00 10##");
  ASSERT_TRUE(Client().WaitForContacts(2));
  EXPECT_EQ(Client().Contact(10000001)->friendly, 0);
  EXPECT_EQ(Client().Contact(10000002)->friendly, 1);
  // Chat to Blue is not for a Red client.
  server.Send(QByteArray("\x00", 1) + "blue only");
  server.Send(QByteArray("\x01") + "red only");
  ASSERT_TRUE(WaitUntil([&] { return !Client().messages.messages.empty(); }));
  Settle();
  EXPECT_EQ(Client().messages.messages, std::vector<QString>{"red only"});
}

TEST_F(Connection, ChatDuringTheLogOnWaitsForTheSideToBeDecided) {
  Connect();
  Client().prompts.passwords = {QString("red")};
  Client().prompts.whilePasswordShown = [this] {
    // Read before the log-on decides, it would be taken for a Blue client.
    server.Send(QByteArray("\x01") + "red only");
    Settle();
    // Nothing is read while the password is asked for.
    EXPECT_TRUE(Client().messages.messages.empty());
  };
  server.Send(ConfigBlockBytes(BlockWithPasswords("blue", "red")));
  ASSERT_TRUE(server.WaitForReceived(2));
  EXPECT_EQ(server.Received(), kRedJoin);
  ASSERT_TRUE(WaitUntil([&] { return !Client().messages.messages.empty(); }));
  Settle();
  EXPECT_EQ(Client().messages.messages, std::vector<QString>{"red only"});
}

TEST_F(Connection, PasswordsAreComparedWithoutCaseOverNineCharacters) {
  Connect();
  Client().prompts.passwords = {QString("ABCDEFGHIJKL")};
  server.Send(ConfigBlockBytes(BlockWithPasswords("abcdefghi", "red")));
  ASSERT_TRUE(server.WaitForReceived(2));
  EXPECT_EQ(server.Received(), kBlueJoin);
  EXPECT_EQ(Client().prompts.passwordShown, 1);
  EXPECT_TRUE(Client().notifier.shown.empty());
}

TEST_F(Connection, ThreeWrongPasswordsEndTheConnection) {
  Connect();
  Client().prompts.passwords = {QString("one"), QString("two"), QString("three"), QString("blue")};
  server.Send(ConfigBlockBytes(BlockWithPasswords("blue", "red")));
  ASSERT_TRUE(server.WaitForClientClosed());
  EXPECT_EQ(Client().prompts.passwordShown, 3);
  EXPECT_EQ(Client().notifier.shown,
            (std::vector<QString>{"Invalid password.", "Invalid password.", "Can't connect!!!"}));
  EXPECT_TRUE(server.Received().isEmpty());
  EXPECT_EQ(Client().connection->State(), ConnectionState::Closed);
}

TEST_F(Connection, WrongPasswordThenTheRightOne) {
  Connect();
  Client().prompts.passwords = {QString("nope"), QString("RED")};
  server.Send(ConfigBlockBytes(BlockWithPasswords("blue", "red")));
  ASSERT_TRUE(server.WaitForReceived(2));
  EXPECT_EQ(server.Received(), kRedJoin);
  EXPECT_EQ(Client().notifier.shown, std::vector<QString>{"Invalid password."});
}

TEST_F(Connection, CancelledPasswordClosesWithoutMessage) {
  Connect();
  server.Send(ConfigBlockBytes(BlockWithPasswords("blue", "")));
  ASSERT_TRUE(server.WaitForClientClosed());
  EXPECT_EQ(Client().prompts.passwordShown, 1);
  EXPECT_TRUE(Client().notifier.shown.empty());
  EXPECT_TRUE(server.Received().isEmpty());
}

TEST_F(Connection, PresetPasswordAnswersTheFirstDialogOnly) {
  net::ConnectionOptions options = Options();
  options.presetPassword = QString("wrong");
  client = std::make_unique<ClientUnderTest>(options);
  Connect();
  Client().prompts.passwords = {QString("Blue")};
  server.Send(ConfigBlockBytes(BlockWithPasswords("blue", "red")));
  ASSERT_TRUE(server.WaitForReceived(2));
  EXPECT_EQ(server.Received(), kBlueJoin);
  // The preset counted as the first entry; the dialog came second.
  EXPECT_EQ(Client().prompts.passwordShown, 1);
  EXPECT_EQ(Client().notifier.shown, std::vector<QString>{"Invalid password."});
}

TEST_F(Connection, ServerLeavingWhileThePasswordDialogIsOpen) {
  Connect();
  Client().prompts.passwords = {QString("blue")};
  Client().prompts.whilePasswordShown = [this] {
    server.CloseClient();
    WaitUntil([this] { return Client().connection->State() == ConnectionState::Closed; }, 2s);
  };
  server.Send(ConfigBlockBytes(BlockWithPasswords("blue", "red")));
  ASSERT_TRUE(Client().WaitForState(ConnectionState::Closed));
  Settle();
  EXPECT_EQ(Client().notifier.shown, std::vector<QString>{"Disconnected from server"});
  EXPECT_TRUE(Client().loggedOnSides.empty());
}

TEST_F(Connection, ReconnectingWhileThePasswordDialogIsOpen) {
  Connect();
  Client().prompts.passwords = {QString("blue"), QString("red")};
  Client().prompts.whilePasswordShown = [this] {
    Client().prompts.whilePasswordShown = nullptr;
    Client().prompts.addresses.push_back("127.0.0.1");
    Client().connection->ConnectToServer();
    server.WaitForClient(2s, 2);
  };
  server.Send(ConfigBlockBytes(BlockWithPasswords("blue", "red")));
  ASSERT_TRUE(server.WaitForClientClosed(5s, 0));
  // The answer meant for the first connection is not sent on the second.
  Settle();
  EXPECT_TRUE(server.Received().isEmpty());
  EXPECT_EQ(Client().connection->State(), ConnectionState::WaitingForConfig);
  server.Send(ConfigBlockBytes(BlockWithPasswords("blue", "red")));
  ASSERT_TRUE(server.WaitForReceived(2));
  EXPECT_EQ(server.Received(), kRedJoin);
  EXPECT_EQ(Client().loggedOnSides, std::vector<int>{1});
  EXPECT_TRUE(Client().notifier.shown.empty());
}

TEST_F(Connection, LogOnAdjustsTheAwacsAndCentresTheScope) {
  Connect();
  protocol::ConfigBlock block = BlockWithPasswords("", "red");
  block.radarOnly = {0, 1};
  block.airfieldRadarOn[1].fill(0);
  block.airfieldRadarOn[1][6] = 1;
  Client().prompts.passwords = {QString("red")};
  server.Send(ConfigBlockBytes(block));
  ASSERT_TRUE(server.WaitForReceived(2));
  EXPECT_EQ(Client().centringCommands, std::vector<int>{32706});
  const model::AwacsSlot red = Client().state.OwnAwacsSlot();
  EXPECT_EQ(red.mode, 8);
  EXPECT_EQ(red.latitude, 0.0);
  EXPECT_EQ(red.longitude, 0.0);
  // A friendly AWACS does not take the slot of a radar-only side.
  Datagram("10000009BA-50 Mainstay[B]@45.0 37.0 9000.0 1.00 600##");
  ASSERT_TRUE(Client().WaitForContacts(1));
  EXPECT_EQ(Client().state.OwnAwacsSlot().latitude, 0.0);
  EXPECT_EQ(Client().state.awacsSeen, 0);
}

TEST_F(Connection, NoPasswordsMeansBlueAlsoAfterARedLogOn) {
  Connect();
  Client().prompts.passwords = {QString("red")};
  server.Send(ConfigBlockBytes(BlockWithPasswords("blue", "red")));
  ASSERT_TRUE(server.WaitForReceived(2));
  ASSERT_EQ(Client().state.isBlue, 0);

  // Reconnecting to a server without passwords: Blue again, unasked.
  Client().prompts.addresses.push_back("127.0.0.1");
  ASSERT_TRUE(Client().connection->ConnectToServer());
  ASSERT_TRUE(server.WaitForClient(5s, 2));
  server.Send(ConfigBlockBytes(BlockWithPasswords("", "")));
  ASSERT_TRUE(server.WaitForReceived(2));
  EXPECT_EQ(server.Received(), kBlueJoin);
  EXPECT_EQ(Client().state.isBlue, 1);
  EXPECT_EQ(Client().prompts.passwordShown, 1);
  EXPECT_EQ(Client().loggedOnSides, (std::vector<int>{1, 0}));
}

TEST_F(Connection, ReconnectingEmptiesTheTableBeforeTheDialog) {
  Join();
  Datagram("10000001CShip[A]@44.0 37.0 0.0 0.00 10##");
  ASSERT_TRUE(Client().WaitForContacts(1));
  Client().state.configBlock.airfieldRadarOn[0][3] = 0;
  Client().state.awacsSeen = 1;
  std::size_t contactsWhenAsked = 99;
  Client().prompts.whileAddressShown = [&] { contactsWhenAsked = Client().document.ContactCount(); };
  // The dialog is cancelled: no connection and no contacts.
  EXPECT_FALSE(Client().connection->ConnectToServer());
  EXPECT_EQ(contactsWhenAsked, 0u);
  EXPECT_EQ(Client().connection->State(), ConnectionState::NoConnection);
  EXPECT_EQ(Client().document.ContactCount(), 0u);
  EXPECT_EQ(Client().state.configBlock.airfieldRadarOn[0][3], 1);
  EXPECT_EQ(Client().state.awacsSeen, 0);
  EXPECT_TRUE(server.WaitForClientClosed());
  // Leaving is not reported as a disconnection, and the track port is shut.
  Datagram("10000002CBoat[A]@44.0 37.0 0.0 0.00 10##");
  Settle();
  EXPECT_EQ(Client().document.ContactCount(), 0u);
  EXPECT_TRUE(Client().notifier.shown.empty());
}

TEST_F(Connection, ConnectingAgainReplacesTheConnection) {
  Join();
  Datagram("10000001CShip[A]@44.0 37.0 0.0 0.00 10##");
  ASSERT_TRUE(Client().WaitForContacts(1));
  Client().prompts.addresses.push_back("127.0.0.1");
  ASSERT_TRUE(Client().connection->ConnectToServer());
  EXPECT_EQ(Client().document.ContactCount(), 0u);
  ASSERT_TRUE(server.WaitForClient(5s, 2));
  EXPECT_TRUE(server.WaitForClientClosed(5s, 0));
  // The new connection runs its own handshake.
  server.Send(ConfigBlockBytes(BlockWithPasswords("", "")));
  ASSERT_TRUE(server.WaitForReceived(2));
  EXPECT_EQ(server.Received(), kBlueJoin);
  Datagram("10000002CBoat[A]@44.0 37.0 0.0 0.00 10##");
  ASSERT_TRUE(Client().WaitForContacts(1));
  EXPECT_NE(Client().Contact(10000002), nullptr);
  EXPECT_TRUE(Client().notifier.shown.empty());
}

TEST_F(Connection, ServerClosingIsReported) {
  Join();
  server.CloseClient();
  ASSERT_TRUE(Client().WaitForState(ConnectionState::Closed));
  EXPECT_EQ(Client().notifier.shown, std::vector<QString>{"Disconnected from server"});
  // The track port stays open until the next connection.
  Datagram("10000001CShip[A]@44.0 37.0 0.0 0.00 10##");
  EXPECT_TRUE(Client().WaitForContacts(1));
}

TEST_F(Connection, RefusedConnectionIsReported) {
  net::ConnectionOptions options = Options();
  options.serverPort = FreeTcpPort();  // nobody listens there
  client = std::make_unique<ClientUnderTest>(options, Language::Spanish);
  Client().prompts.addresses.push_back("127.0.0.1");
  ASSERT_TRUE(Client().connection->ConnectToServer());
  ASSERT_TRUE(Client().WaitForState(ConnectionState::Closed));
  EXPECT_EQ(Client().notifier.shown, std::vector<QString>{"No conectado al servidor"});
}

TEST_F(Connection, UnknownHostIsReportedInFrench) {
  client = std::make_unique<ClientUnderTest>(Options(), Language::French);
  Client().prompts.addresses.push_back("no-such-host.invalid");
  ASSERT_TRUE(Client().connection->ConnectToServer());
  ASSERT_TRUE(Client().WaitForState(ConnectionState::Closed, 10s));
  EXPECT_EQ(Client().notifier.shown, std::vector<QString>{QString::fromUtf8("Connexion au serveur impossible.")});
}

TEST_F(Connection, BusyTrackPortIsReportedAndNothingIsOpened) {
  QUdpSocket squatter;
  ASSERT_TRUE(squatter.bind(QHostAddress("127.0.0.1"), datagramPort));
  Client().prompts.addresses.push_back("127.0.0.1");
  EXPECT_FALSE(Client().connection->ConnectToServer());
  ASSERT_EQ(Client().notifier.shown.size(), 1u);
  EXPECT_EQ(Client().notifier.shown[0],
            QString("UDP port %1 is already in use: no tracks can be received.").arg(datagramPort));
  EXPECT_EQ(Client().connection->State(), ConnectionState::NoConnection);
  EXPECT_FALSE(server.WaitForClient(200ms));
}

TEST_F(Connection, PresetServerSkipsTheDialogAndIsRemembered) {
  net::ConnectionOptions options = Options();
  options.presetServer = " 127.0.0.1 ";
  client = std::make_unique<ClientUnderTest>(options);
  ASSERT_TRUE(Client().connection->ConnectToServer());
  EXPECT_TRUE(server.WaitForClient());
  EXPECT_EQ(Client().prompts.addressShown, 0);
  EXPECT_EQ(Client().connection->ServerAddress(), "127.0.0.1");
  net::ServerAddressList list(dir.filePath("Configsrv.cfg"));
  list.Load();
  EXPECT_EQ(list.Entries(), QStringList{"127.0.0.1"});
  // Later connections ask again.
  EXPECT_FALSE(Client().connection->ConnectToServer());
  EXPECT_EQ(Client().prompts.addressShown, 1);
}

}  // namespace
}  // namespace vantor::test
