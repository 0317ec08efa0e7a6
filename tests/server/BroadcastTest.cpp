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
  void Join(std::size_t slot) {
    joined_[slot] = true;
    newClient_[slot] = true;
  }
  void Leave(std::size_t slot) { joined_[slot] = false; }
  void FailSendsTo(std::size_t slot) { failing_[slot] = true; }
  bool IsJoined(std::size_t slot) const override { return joined_[slot]; }
  bool IsNewClient(std::size_t slot) const override { return newClient_[slot]; }
  void ClearNewClient(std::size_t slot) override { newClient_[slot] = false; }
  void Send(std::size_t slot, std::span<const std::string> datagrams) override {
    if (failing_[slot]) {
      joined_[slot] = false;  // dropped
      return;
    }
    last_[slot].assign(datagrams.begin(), datagrams.end());
  }
  // The text of the last broadcast to the slot (datagrams joined).
  std::string Text(std::size_t slot) const {
    std::string joined;
    for (const auto& datagram : last_.at(slot)) joined += datagram;
    return joined;
  }
  const std::vector<std::string>& Datagrams(std::size_t slot) const { return last_.at(slot); }
  bool Received(std::size_t slot) const { return last_.contains(slot); }
  void Forget() { last_.clear(); }

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

  Server() { Feed("Mission start time: 0##"); }
  void Feed(std::string_view text) {
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
  server.clients.Join(0);
  server.clients.Join(2);

  // Batch 1: created objects are not sent; an empty datagram still goes out.
  server.Feed(Obj(10000001, 'B', "Colt", 45.0, 38.0) + Obj(10000002, 'D', "Tanker", 44.0, 37.0));
  EXPECT_EQ(server.clients.Datagrams(0), std::vector<std::string>{""});
  EXPECT_EQ(server.clients.Datagrams(2), std::vector<std::string>{""});
  EXPECT_FALSE(server.clients.Received(1));

  // Batch 2: both move and are sent with their speed, in table order.
  server.now += 1;
  server.Feed(Obj(10000001, 'B', "Colt", 45.1, 38.0) + Obj(10000002, 'D', "Tanker", 44.1, 37.0));
  const std::string moved =
      "10000001BColt[B]@45.1000 38.0000 1000.0 1.50 0##"
      "10000002DTanker[B]@44.1000 37.0000 1000.0 1.50 0##";
  EXPECT_EQ(server.clients.Text(0), moved);
  EXPECT_EQ(server.clients.Text(2), moved);

  // Batch 3, 12 s later: Colt moved on (speed sampled), Tanker stands at its sample.
  server.now += 12;
  server.Feed(Obj(10000001, 'B', "Colt", 45.2, 38.0) + Obj(10000002, 'D', "Tanker", 44.1, 37.0));
  EXPECT_EQ(server.clients.Text(0),
            "10000001BColt[B]@45.2000 38.0000 1000.0 1.50 3336##"
            "10000002DTanker[B]@0.0 0.0 0.0 0.0 0##");

  // Batch 4: Tanker reports standing again and is deleted; Colt goes silent.
  server.now += 1;
  server.Feed(Obj(10000002, 'D', "Tanker", 44.1, 37.0));
  EXPECT_EQ(server.clients.Text(0), "");
  EXPECT_EQ(server.table.Size(), 1u);

  // Colt, silent, is sent as lost at two broadcasts, then deleted.
  const std::string lostColt = "10000001BColt[B]@0.0 0.0 0.0 0.0 0##";
  server.now += 10;  // 11 s after its sample
  server.Feed("");
  EXPECT_EQ(server.clients.Text(0), lostColt);
  server.now += 1;
  server.Feed("");
  EXPECT_EQ(server.clients.Text(2), lostColt);
  server.now += 1;
  server.Feed("");
  EXPECT_EQ(server.clients.Text(0), "");
  EXPECT_TRUE(server.table.Empty());
}

TEST(BroadcastTracks, RadarSitesGoOncePerClientAndAgainToANewClient) {
  Server server;
  server.clients.Join(0);
  const std::string site = Obj(30000001, 'A', "SA-11 Buk SR", 45.0, 38.0);
  server.Feed(site);  // created
  server.now += 1;
  server.Feed(site);
  EXPECT_EQ(server.clients.Text(0), "30000001ASA-11 Buk SR[B]@45.0000 38.0000 1000.0 1.50 0##");
  server.now += 1;
  server.Feed(site);
  EXPECT_EQ(server.clients.Text(0), "");  // sent once while it keeps reporting

  server.clients.Join(1);  // a new client gets the site at its first broadcast
  server.now += 1;
  server.Feed(site);
  EXPECT_EQ(server.clients.Text(0), "");
  EXPECT_NE(server.clients.Text(1), "");

  // A client seated again in slot 0 receives it again.
  server.clients.Leave(0);
  server.clients.Join(0);
  server.now += 1;
  server.Feed(site);
  EXPECT_NE(server.clients.Text(0), "");
  EXPECT_EQ(server.clients.Text(1), "");
}

TEST(BroadcastTracks, ClientsSentTheSameRecordsShareTheirDatagramsAndALateClientStillGetsItsRadarSites) {
  Server server;
  for (std::size_t slot : {0, 1, 4}) server.clients.Join(slot);
  const std::string site = Obj(30000001, 'A', "SA-11 Buk SR", 45.0, 38.0);
  server.Feed(site + Obj(10000001, 'B', "Colt", 45.0, 38.0));  // created
  server.now += 1;
  server.Feed(site + Obj(10000001, 'B', "Colt", 45.1, 38.0));
  const std::string both =
      "30000001ASA-11 Buk SR[B]@45.0000 38.0000 1000.0 1.50 0##"
      "10000001BColt[B]@45.1000 38.0000 1000.0 1.50 0##";
  for (std::size_t slot : {0, 1, 4}) EXPECT_EQ(server.clients.Text(slot), both) << slot;

  server.clients.Join(2);
  server.now += 1;
  server.Feed(site + Obj(10000001, 'B', "Colt", 45.2, 38.0));
  const std::string colt = "10000001BColt[B]@45.2000 38.0000 1000.0 1.50 0##";
  for (std::size_t slot : {0, 1, 4}) EXPECT_EQ(server.clients.Text(slot), colt) << slot;
  EXPECT_EQ(server.clients.Text(2), "30000001ASA-11 Buk SR[B]@45.0000 38.0000 1000.0 1.50 0##" + colt);
}

TEST(BroadcastTracks, RadarTypeFilterHidesDisabledTypesFromEveryClient) {
  Server server;
  server.clients.Join(0);
  server.clients.Join(1);
  server.radarTypes[11] = 0;  // BUK SR
  const std::string batch = Obj(30000001, 'A', "sa-11 buk sr", 45.0, 38.0) +
                            Obj(30000002, 'A', "BUK SR and KUB STR", 45.0, 38.0) +
                            Obj(10000001, 'B', "Colt", 45.0, 38.0);
  server.Feed(batch);
  server.now += 1;
  server.Feed(Obj(30000001, 'A', "sa-11 buk sr", 45.0, 38.0) + Obj(30000002, 'A', "BUK SR and KUB STR", 45.0, 38.0) +
              Obj(10000001, 'B', "Colt", 45.1, 38.0));
  for (std::size_t slot : {0u, 1u}) {
    const std::string text = server.clients.Text(slot);
    EXPECT_EQ(text.find("30000001"), std::string::npos);
    EXPECT_NE(text.find("30000002"), std::string::npos);  // KUB STR still enabled
    EXPECT_NE(text.find("10000001"), std::string::npos);
  }

  server.radarTypes.fill(0);
  server.radarTypes[25] = 1;  // flags past the 23 types change nothing
  server.clients.Join(3);
  server.now += 1;
  server.Feed(Obj(30000002, 'A', "BUK SR and KUB STR", 45.0, 38.0) + Obj(10000001, 'B', "Colt", 45.2, 38.0));
  EXPECT_EQ(server.clients.Text(3).find("30000002"), std::string::npos);
  EXPECT_NE(server.clients.Text(3).find("10000001"), std::string::npos);  // moving objects unaffected
}

TEST(BroadcastTracks, LargeBroadcastIsSplitIntoDatagramsOfAtMost10000Bytes) {
  Server server;
  server.clients.Join(0);
  std::string created, moved;
  for (int i = 0; i < 500; ++i) {
    created += Obj(10000000 + i, 'B', "Flight " + std::to_string(i), 45.0, 38.0);
    moved += Obj(10000000 + i, 'B', "Flight " + std::to_string(i), 45.1, 38.0);
  }
  server.Feed(created);
  server.now += 1;
  server.Feed(moved);
  const auto& datagrams = server.clients.Datagrams(0);
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
  server.clients.Join(0);
  server.clients.Join(1);
  server.clients.FailSendsTo(1);
  server.Feed(Obj(10000001, 'B', "Colt", 45.0, 38.0));
  EXPECT_TRUE(server.clients.IsJoined(0));
  EXPECT_FALSE(server.clients.IsJoined(1));
}
