// The operator's event lines of a running server, over real loopback
// sockets, on a manual clock.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "ServerTestSupport.h"
#include "vantor/server/ServerEventLog.h"
#include "vantor/texts/Texts.h"

using namespace vantor;
using namespace vantor::test;
using protocol::CoalitionCode;

namespace {

class EventRecorder {
 public:
  explicit EventRecorder(ServerHarness& harness, Language language = Language::English)
      : log_(harness.Clients(), harness.Feeds(), harness.Clock(), language, harness.Runtime().Options().joinTimeout) {
    QObject::connect(&log_, &server::ServerEventLog::EventLine, &log_,
                     [this](const QString& line) { lines.push_back(line); });
  }
  // The lines without their timestamps.
  std::vector<QString> Events() const {
    std::vector<QString> events;
    for (const QString& line : lines) events.push_back(line.mid(21));
    return events;
  }
  bool WaitFor(std::size_t count) {
    return WaitUntil([&] { return lines.size() >= count; });
  }
  std::vector<QString> lines;

 private:
  server::ServerEventLog log_;
};

}  // namespace

TEST(ServerEventLog, ClientsFromAcceptToDepartureOrRefusal) {
  ServerHarness harness({.joinTimeout = std::chrono::milliseconds(15000), .manualTimers = true});
  harness.Settings().WriteInt("Config", "MaxClient", 2);
  EventRecorder recorder(harness);
  harness.Start();

  auto blue = harness.JoinedClient("127.0.0.2");
  ASSERT_TRUE(blue);
  TestClient silent("127.0.0.3", harness.ClientPort());
  ASSERT_TRUE(silent.ConnectTo(harness.ClientPort()) && silent.WaitConfigBlock());
  TestClient third("127.0.0.4", harness.ClientPort());
  ASSERT_TRUE(third.ConnectTo(harness.ClientPort()));
  ASSERT_EQ(third.WaitControl(3), "FIN");
  harness.Timers().Advance(std::chrono::milliseconds(15000));
  ASSERT_TRUE(silent.WaitDisconnected());
  harness.HostCheck().accept = false;
  TestClient outsider("127.0.0.5", harness.ClientPort());
  ASSERT_TRUE(outsider.ConnectTo(harness.ClientPort()));
  ASSERT_TRUE(outsider.WaitDisconnected());
  blue->Disconnect();
  ASSERT_TRUE(recorder.WaitFor(7));

  const std::vector<QString> expected = {
      "client 127.0.0.2 accepted in slot 1",
      "slot 1 (127.0.0.2) joined Blue",
      "client 127.0.0.3 accepted in slot 2",
      "client 127.0.0.4 refused with \"FIN\": every slot is taken",
      "slot 2 (127.0.0.3) timed out: no join reply within 15 s",
      "client 127.0.0.5 refused: the simulator on this host plays in another host's mission",
      "slot 1 (127.0.0.2) left by the client",
  };
  std::vector<QString> events = recorder.Events();
  ASSERT_GE(events.size(), expected.size());
  events.resize(expected.size());
  EXPECT_EQ(events, expected);
  // Stamped with the server's clock, in local time.
  EXPECT_TRUE(recorder.lines[0].startsWith(server::ServerEventLog::Timestamp(harness.Clock().NowSeconds()) + "  "));
  EXPECT_EQ(server::ServerEventLog::Timestamp(0).size(), 19);
}

TEST(ServerEventLog, FeedLinesAndSkippedRecordsAtMostOncePerReasonPerMinute) {
  ServerHarness harness;
  EventRecorder recorder(harness);
  harness.Start();
  auto red = harness.JoinedClient("127.0.0.2", CoalitionCode::Red);
  ASSERT_TRUE(red);
  TestFeed feed;
  ASSERT_TRUE(feed.ConnectTo(harness.FeedPort()));
  const QByteArray noBracket = "10000002 B Colt@@45 38 1000 1.5##";
  const QByteArray badNumbers = "10000003 B Colt[Allies]@@45 x##";
  feed.Send("Mission start time: 0##" + noBracket + noBracket + badNumbers);
  ASSERT_TRUE(red->WaitDatagrams(1));
  harness.Clock().Advance(30);
  Broadcast(feed, *red, noBracket);  // within the minute: counted, not shown
  harness.Clock().Advance(30);
  Broadcast(feed, *red, noBracket + noBracket + FeedObject(10000001, 'B', "Colt", 45, 38));
  feed.Reset();
  ASSERT_TRUE(WaitUntil([&] { return harness.Feeds().Count() == 0; }));
  ASSERT_TRUE(red->WaitDisconnected());

  const std::vector<QString> events = recorder.Events();
  const std::vector<QString> expected = {
      "client 127.0.0.2 accepted in slot 1",
      "slot 1 (127.0.0.2) joined Red",
      "feed 1 connected from 127.0.0.1",
      "2 feed record(s) skipped: no coalition bracket \"[\" before \"@@\"",
      "1 feed record(s) skipped: position or heading unreadable",
      "3 feed record(s) skipped: no coalition bracket \"[\" before \"@@\"",
      "feed 1 lost: the read failed, connection reset or broken (3 batches, 1 records, 6 skipped)",
      "slot 1 (127.0.0.2) disconnected: feed closed or server stopped",
  };
  EXPECT_EQ(events, expected);
}

TEST(ServerEventLog, LinesInTheInstallersLanguage) {
  ServerHarness harness;
  EventRecorder recorder(harness, Language::Spanish);
  harness.Start();
  TestFeed feed;
  ASSERT_TRUE(feed.ConnectTo(harness.FeedPort()));
  ASSERT_TRUE(recorder.WaitFor(1));
  feed.Close();
  ASSERT_TRUE(recorder.WaitFor(2));
  EXPECT_EQ(recorder.Events()[0], "flujo 1 conectado desde 127.0.0.1");
  EXPECT_EQ(recorder.Events()[1], "flujo 1 cerrado por el simulador (0 lotes, 0 registros, 0 descartados)");
}
