#pragma once
// A client's live session over loopback sockets against a scripted server,
// recorded as it runs (the recorder's clock is the client's).

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <memory>
#include <string>

#include "NetTestSupport.h"
#include "vantor/protocol/TrackRecord.h"
#include "vantor/record/SessionRecorder.h"

namespace vantor::test {

class RecordedSession : public ::testing::Test {
 protected:
  RecordedSession() : datagramPort_(FreeTcpPort()) {
    net::ConnectionOptions options;
    options.serverPort = server_.port();
    options.datagramPort = datagramPort_;
    options.bindAddress = QHostAddress("127.0.0.1");
    options.serverListFile = dir_.filePath("Configsrv.cfg");
    client_ = std::make_unique<ClientUnderTest>(options);
    record::WriterOptions writerOptions;
    writerOptions.flushInterval = std::chrono::milliseconds(20);
    writerOptions.syncToDisk = false;
    recorder_ = std::make_unique<record::SessionRecorder>(
        *client_->connection, client_->document, Language::English, [this] { return client_->now * 1000 + 420; },
        writerOptions);
  }
  void JoinAsRed() {
    client_->prompts.addresses.push_back("127.0.0.1");
    client_->prompts.passwords.push_back("red");
    ASSERT_TRUE(client_->connection->ConnectToServer());
    ASSERT_TRUE(server_.WaitForClient());
    ASSERT_TRUE(client_->WaitForState(net::ConnectionState::WaitingForConfig));
    server_.Send(ConfigBlockBytes(BlockWithPasswords("blue", "red")));
    ASSERT_TRUE(client_->WaitForState(net::ConnectionState::Joined));
  }
  // One broadcast; waits until the client has applied it.
  void Broadcast(const std::string& records) {
    const int before = client_->datagramsApplied;
    server_.SendDatagram(QByteArray::fromStdString(records), datagramPort_);
    ASSERT_TRUE(WaitUntil([&] { return client_->datagramsApplied > before; }));
  }

  QTemporaryDir dir_;
  ScriptedServer server_;
  quint16 datagramPort_;
  std::unique_ptr<ClientUnderTest> client_;
  std::unique_ptr<record::SessionRecorder> recorder_;
};

// A record as the server sends it; `id` below 1000 becomes an eight-digit id.
inline std::string Track(int id, char classLetter, const std::string& name, char side, double lat, double lon,
                         double alt, double speed) {
  return protocol::InsertSpeed(
      protocol::FormatTrackRecord({10'000'000 + id, classLetter, name, side, lat, lon, alt, 1.2}), speed);
}

}  // namespace vantor::test
