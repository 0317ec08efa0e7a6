// The client's connection against hostile and broken peers: forged track
// datagrams from other addresses, malformed, truncated, oversized and
// out-of-order datagrams and control messages while logged on.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QUdpSocket>

#include <algorithm>

#include "NetTestSupport.h"

namespace vantor::test {
namespace {

using net::ConnectionState;

QByteArray Record(int id, char classLetter, const char* name, char side, double latitude, double longitude,
                  double speed = 400.0) {
  char text[160];
  std::snprintf(text, sizeof text, "%08d%c%s[%c]@%.4f %.4f 3000.0 1.57 %.0f##", id, classLetter, name, side, latitude,
                longitude, speed);
  return QByteArray(text);
}

class HostileServer : public ::testing::Test {
 protected:
  HostileServer() : datagramPort_(FreeTcpPort()) {}

  void Join(bool acceptAnySender = false) {
    net::ConnectionOptions options;
    options.serverPort = server_.port();
    options.datagramPort = datagramPort_;
    options.bindAddress = QHostAddress("127.0.0.1");
    options.serverListFile = dir_.filePath("Configsrv.cfg");
    options.acceptAnyTrackSender = acceptAnySender;
    client_ = std::make_unique<ClientUnderTest>(options);
    client_->prompts.addresses.push_back("127.0.0.1");
    ASSERT_TRUE(client_->connection->ConnectToServer());
    ASSERT_TRUE(server_.WaitForClient());
    server_.Send(ConfigBlockBytes(BlockWithPasswords("", "")));
    ASSERT_TRUE(client_->WaitForState(ConnectionState::Joined));
  }
  void Datagram(const QByteArray& bytes) { server_.SendDatagram(bytes, datagramPort_); }
  // From a socket of its own on another loopback address.
  void Forge(const QByteArray& bytes) {
    QUdpSocket forger;
    ASSERT_TRUE(forger.bind(QHostAddress("127.0.0.2"), 0));
    ASSERT_EQ(forger.writeDatagram(bytes, QHostAddress("127.0.0.1"), datagramPort_), bytes.size());
  }
  static void Settle() {
    WaitUntil([] { return false; }, 100ms);
  }

  QTemporaryDir dir_;
  ScriptedServer server_;
  quint16 datagramPort_;
  std::unique_ptr<ClientUnderTest> client_;
};

TEST_F(HostileServer, TrackDatagramsFromAnyoneButTheServerAreRefused) {
  Join();
  for (int i = 0; i < 50; ++i) Forge(Record(30000000 + i, 'C', "Ghost", 'A', 44.0, 38.0 + i * 0.01));
  Datagram(Record(10000001, 'C', "Real", 'A', 44.5, 38.5));
  ASSERT_TRUE(client_->WaitForContacts(1));
  Settle();
  EXPECT_EQ(client_->document.ContactCount(), 1u);
  EXPECT_NE(client_->Contact(10000001), nullptr);
  EXPECT_EQ(client_->connection->RefusedDatagrams(), 50u);
}

TEST_F(HostileServer, AnySenderIsTakenWhenTheSettingAsksForIt) {
  Join(true);
  Forge(Record(30000001, 'C', "Relay", 'A', 44.0, 38.0));
  ASSERT_TRUE(client_->WaitForContacts(1));
  EXPECT_EQ(client_->connection->LastDatagramSender(), QHostAddress("127.0.0.2"));
  EXPECT_EQ(client_->connection->RefusedDatagrams(), 0u);
}

TEST_F(HostileServer, ContactTableStopsGrowingAtItsBound) {
  Join();
  QByteArray datagram;
  int sent = 0;
  for (int id = 10000000; sent < static_cast<int>(model::kMaxContacts) + 500; ++id, ++sent) {
    const QByteArray record = Record(id, 'C', "Ship", 'A', 44.0, 38.0);
    if (datagram.size() + record.size() > 9000) {
      Datagram(datagram);
      datagram.clear();
      // Paced by the client's reading, so the socket's buffer never drops one.
      const std::size_t applied = std::min<std::size_t>(static_cast<std::size_t>(sent), model::kMaxContacts);
      ASSERT_TRUE(WaitUntil([&] { return client_->document.ContactCount() >= applied; }));
    }
    datagram += record;
  }
  Datagram(datagram);
  ASSERT_TRUE(client_->WaitForContacts(model::kMaxContacts, 10s));
  Settle();
  EXPECT_EQ(client_->document.ContactCount(), model::kMaxContacts);
  // A lost contact makes room for a new one; known ones still move.
  Datagram("10000000CShip[A]@0.0 0.0 0.0 0.0 0##" + Record(19999999, 'C', "Late", 'A', 44.0, 38.0) +
           Record(10000001, 'C', "Ship", 'A', 45.0, 39.0));
  ASSERT_TRUE(WaitUntil([&] { return client_->Contact(19999999) != nullptr; }));
  EXPECT_EQ(client_->document.ContactCount(), model::kMaxContacts);
  EXPECT_DOUBLE_EQ(client_->Contact(10000001)->latitude, 45.0);
}

// Whatever the server's port sends, the client keeps running with the table
// the well-formed records describe.
TEST_F(HostileServer, MalformedDatagramsAndControlMessagesLeaveACorrectTable) {
  Join();
  const std::vector<QByteArray> datagrams = {
      QByteArray("\x00\x01\x02garbage", 10),
      "##########",
      "notanid[A]@1 2 3 4 5##",
      "12345678C[A]@1 2 3 4 5##",                         // no name
      "12345678CNoBracket@1 2 3 4 5##",                   // no side bracket
      "12345678CHuge[A]@1e400 2 3 4 5##",                 // out of range
      "12345678CNan[A]@nan inf 3 4 5##",                  // not a position
      Record(10000002, 'C', "Frigate", 'A', 44.0, 37.0),  // complete, for later checks
      "10000003BLost before seen[A]@0.0 0.0 0.0 0.0 0##",
      "10000004CHalf[A]@44.1 38",  // truncated: completed by the next datagram
      ".2 3000.0 1.57 400##",
      QByteArray(9000, '#') + Record(10000005, 'C', "After hashes", 'A', 44.2, 38.3),
  };
  for (const QByteArray& datagram : datagrams) Datagram(datagram);
  // Larger than any receive: only the first 10,000 bytes count, and the
  // record cut there waits for a completion that never matches.
  QByteArray oversized = Record(10000006, 'C', "Oversized", 'A', 44.3, 38.4);
  oversized += QByteArray(60000 - oversized.size(), 'x');
  Datagram(oversized);
  // Out of order: the older position arrives last and is what the table holds.
  Datagram(Record(10000002, 'C', "Frigate", 'A', 44.2, 37.2));
  Datagram(Record(10000002, 'C', "Frigate", 'A', 44.1, 37.1));

  // Control messages that are no chat: too long, binary, a second block, a
  // late "FIN", a flood.
  for (const QByteArray& message :
       {QByteArray(300, 'L'), QByteArray("\x03\x00\xff\xfe", 4), ConfigBlockBytes(BlockWithPasswords("x", "y")),
        QByteArray("FIN"), QByteArray(10000, '\x03')}) {
    server_.Send(message);
    Settle();  // one read each
  }

  // A final good datagram proves the reader is in step.
  Datagram("##" + Record(10000007, 'A', "SA-11 Buk SR", 'B', 44.5, 38.5));
  ASSERT_TRUE(WaitUntil([&] { return client_->Contact(10000007) != nullptr; }));
  Settle();
  EXPECT_EQ(client_->connection->State(), ConnectionState::Joined);
  std::vector<int> ids;
  {
    std::lock_guard<model::ContactLock> guard(client_->document.ContactTableLock());
    for (const model::CContact& contact : client_->document.Contacts()) ids.push_back(contact.id);
  }
  EXPECT_EQ(ids, (std::vector<int>{10000002, 10000004, 10000005, 10000006, 10000007}));
  EXPECT_DOUBLE_EQ(client_->Contact(10000002)->latitude, 44.1);
  EXPECT_DOUBLE_EQ(client_->Contact(10000004)->longitude, 38.2);
  EXPECT_EQ(client_->Contact(10000005)->name, "After hashes");
  const auto invalid = std::count(client_->messages.messages.begin(), client_->messages.messages.end(),
                                  QString("Receive a invalide Msg"));
  EXPECT_GE(invalid, 3);
  // The binary message is shown up to its NUL; "FIN" is addressed to nobody.
  EXPECT_EQ(client_->messages.messages.size() - static_cast<std::size_t>(invalid), 1u);
}

}  // namespace
}  // namespace vantor::test
