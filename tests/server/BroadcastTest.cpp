#include <gtest/gtest.h>

#include <map>

#include "vantor/server/FeedProcessor.h"
#include "vantor/server/TrackBroadcaster.h"

using namespace vantor::server;
using vantor::protocol::TrackDatagramWriter;

namespace {

constexpr std::int64_t kStart = 1'700'000'000;

// Joined slots with what each one was sent.
class FakeClients final : public BroadcastClients {
 public:
  void join(std::size_t slot) {
    joined_[slot] = true;
    newClient_[slot] = true;
  }
  void leave(std::size_t slot) { joined_[slot] = false; }
  void failSendsTo(std::size_t slot) { failing_[slot] = true; }
  bool isJoined(std::size_t slot) const override { return joined_[slot]; }
  bool isNewClient(std::size_t slot) const override { return newClient_[slot]; }
  void clearNewClient(std::size_t slot) override { newClient_[slot] = false; }
  void send(std::size_t slot, std::span<const std::string> datagrams) override {
    if (failing_[slot]) {
      joined_[slot] = false;  // dropped
      return;
    }
    last_[slot].assign(datagrams.begin(), datagrams.end());
  }
  // The text of the last broadcast to the slot (datagrams joined).
  std::string text(std::size_t slot) const {
    std::string joined;
    for (const auto& datagram : last_.at(slot)) joined += datagram;
    return joined;
  }
  const std::vector<std::string>& datagrams(std::size_t slot) const { return last_.at(slot); }
  bool received(std::size_t slot) const { return last_.contains(slot); }
  void forget() { last_.clear(); }

 private:
  std::array<bool, 10> joined_{};
  std::array<bool, 10> newClient_{};
  std::array<bool, 10> failing_{};
  std::map<std::size_t, std::vector<std::string>> last_;
};

struct Server {
  FeedIntake intake;
  WorldTable table;
  MissionTime mission;
  FakeClients clients;
  RadarTypeFlags radarTypes = [] {
    RadarTypeFlags flags;
    flags.fill(1);
    return flags;
  }();
  TrackDatagramWriter writer;
  std::int64_t now = kStart;

  Server() { feed("Mission start time: 0##"); }
  void feed(std::string_view text) {
    intake.ProcessFeedText(text, table, mission, now,
                           [this] { BroadcastTracks(table, clients, radarTypes, now, writer); });
  }
};

std::string Obj(std::int32_t id, char cls, std::string_view name, double lat, double lon) {
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "@@%.4f %.4f 1000 1.5##", lat, lon);
  return std::to_string(id) + " " + cls + " " + std::string(name) + "[Allies]" + numbers;
}

}  // namespace

TEST(BroadcastTracks, CreatedUpdatedStandingAndStaleObjectsOverSuccessiveBatches) {
  Server server;
  server.clients.join(0);
  server.clients.join(2);

  // Batch 1: created objects are not sent; an empty datagram still goes out.
  server.feed(Obj(10000001, 'B', "Colt", 45.0, 38.0) + Obj(10000002, 'D', "Tanker", 44.0, 37.0));
  EXPECT_EQ(server.clients.datagrams(0), std::vector<std::string>{""});
  EXPECT_EQ(server.clients.datagrams(2), std::vector<std::string>{""});
  EXPECT_FALSE(server.clients.received(1));

  // Batch 2: both move and are sent with their speed, in table order.
  server.now += 1;
  server.feed(Obj(10000001, 'B', "Colt", 45.1, 38.0) + Obj(10000002, 'D', "Tanker", 44.1, 37.0));
  const std::string moved =
      "10000001BColt[B]@45.1000 38.0000 1000.0 1.50 0##"
      "10000002DTanker[B]@44.1000 37.0000 1000.0 1.50 0##";
  EXPECT_EQ(server.clients.text(0), moved);
  EXPECT_EQ(server.clients.text(2), moved);

  // Batch 3, 12 s later: Colt moved on (speed sampled), Tanker stands at its sample.
  server.now += 12;
  server.feed(Obj(10000001, 'B', "Colt", 45.2, 38.0) + Obj(10000002, 'D', "Tanker", 44.1, 37.0));
  EXPECT_EQ(server.clients.text(0),
            "10000001BColt[B]@45.2000 38.0000 1000.0 1.50 3336##"
            "10000002DTanker[B]@0.0 0.0 0.0 0.0 0##");

  // Batch 4: Tanker reports standing again and is deleted; Colt goes silent.
  server.now += 1;
  server.feed(Obj(10000002, 'D', "Tanker", 44.1, 37.0));
  EXPECT_EQ(server.clients.text(0), "");
  EXPECT_EQ(server.table.size(), 1u);

  // Colt, silent, is sent as lost at two broadcasts, then deleted.
  const std::string lostColt = "10000001BColt[B]@0.0 0.0 0.0 0.0 0##";
  server.now += 10;  // 11 s after its sample
  server.feed("");
  EXPECT_EQ(server.clients.text(0), lostColt);
  server.now += 1;
  server.feed("");
  EXPECT_EQ(server.clients.text(2), lostColt);
  server.now += 1;
  server.feed("");
  EXPECT_EQ(server.clients.text(0), "");
  EXPECT_TRUE(server.table.empty());
}

TEST(BroadcastTracks, RadarSitesGoOncePerClientAndAgainToANewClient) {
  Server server;
  server.clients.join(0);
  const std::string site = Obj(30000001, 'A', "SA-11 Buk SR", 45.0, 38.0);
  server.feed(site);  // created
  server.now += 1;
  server.feed(site);
  EXPECT_EQ(server.clients.text(0), "30000001ASA-11 Buk SR[B]@45.0000 38.0000 1000.0 1.50 0##");
  server.now += 1;
  server.feed(site);
  EXPECT_EQ(server.clients.text(0), "");  // sent once while it keeps reporting

  server.clients.join(1);  // a new client gets the site at its first broadcast
  server.now += 1;
  server.feed(site);
  EXPECT_EQ(server.clients.text(0), "");
  EXPECT_NE(server.clients.text(1), "");

  // A client seated again in slot 0 receives it again.
  server.clients.leave(0);
  server.clients.join(0);
  server.now += 1;
  server.feed(site);
  EXPECT_NE(server.clients.text(0), "");
  EXPECT_EQ(server.clients.text(1), "");
}

TEST(BroadcastTracks, RadarTypeFilterHidesDisabledTypesFromEveryClient) {
  Server server;
  server.clients.join(0);
  server.clients.join(1);
  server.radarTypes[11] = 0;  // BUK SR
  const std::string batch = Obj(30000001, 'A', "sa-11 buk sr", 45.0, 38.0) +
                            Obj(30000002, 'A', "BUK SR and KUB STR", 45.0, 38.0) +
                            Obj(10000001, 'B', "Colt", 45.0, 38.0);
  server.feed(batch);
  server.now += 1;
  server.feed(Obj(30000001, 'A', "sa-11 buk sr", 45.0, 38.0) + Obj(30000002, 'A', "BUK SR and KUB STR", 45.0, 38.0) +
              Obj(10000001, 'B', "Colt", 45.1, 38.0));
  for (std::size_t slot : {0u, 1u}) {
    const std::string text = server.clients.text(slot);
    EXPECT_EQ(text.find("30000001"), std::string::npos);
    EXPECT_NE(text.find("30000002"), std::string::npos);  // KUB STR still enabled
    EXPECT_NE(text.find("10000001"), std::string::npos);
  }

  server.radarTypes.fill(0);
  server.radarTypes[25] = 1;  // flags past the 23 types change nothing
  server.clients.join(3);
  server.now += 1;
  server.feed(Obj(30000002, 'A', "BUK SR and KUB STR", 45.0, 38.0) + Obj(10000001, 'B', "Colt", 45.2, 38.0));
  EXPECT_EQ(server.clients.text(3).find("30000002"), std::string::npos);
  EXPECT_NE(server.clients.text(3).find("10000001"), std::string::npos);  // moving objects unaffected
}

TEST(BroadcastTracks, LargeBroadcastIsSplitIntoDatagramsOfAtMost10000Bytes) {
  Server server;
  server.clients.join(0);
  std::string created, moved;
  for (int i = 0; i < 500; ++i) {
    created += Obj(10000000 + i, 'B', "Flight " + std::to_string(i), 45.0, 38.0);
    moved += Obj(10000000 + i, 'B', "Flight " + std::to_string(i), 45.1, 38.0);
  }
  server.feed(created);
  server.now += 1;
  server.feed(moved);
  const auto& datagrams = server.clients.datagrams(0);
  ASSERT_GT(datagrams.size(), 1u);
  vantor::protocol::TrackDatagramReader reader;
  std::size_t records = 0;
  for (const auto& datagram : datagrams) {
    EXPECT_LE(datagram.size(), 10000u);
    EXPECT_TRUE(datagram.ends_with("##"));
    records += reader.feed(datagram).size();
  }
  EXPECT_EQ(records, 500u);
}

TEST(BroadcastTracks, FailedSendDropsOnlyThatClient) {
  Server server;
  server.clients.join(0);
  server.clients.join(1);
  server.clients.failSendsTo(1);
  server.feed(Obj(10000001, 'B', "Colt", 45.0, 38.0));
  EXPECT_TRUE(server.clients.isJoined(0));
  EXPECT_FALSE(server.clients.isJoined(1));
}
