#pragma once
// The simulator feeds: the feed listening socket and every accepted feed
// connection with its intake, its world table and its read pacing
// (FeedPacing). After
// each complete batch the connection's table goes to the client slots for
// broadcast; the end of a connection ends every client. QtCore/QtNetwork
// only.

#include <QObject>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "vantor/server/FeedPacing.h"
#include "vantor/server/FeedProcessor.h"
#include "vantor/server/TcpListener.h"
#include "vantor/server/WorldSnapshot.h"

namespace vantor::server {

class ClientSlots;
class WallClock;

enum class FeedCloseReason {
  PeerClosed,  // the simulator closed the connection
  ReadFailed,  // reading it failed
  Stopped,     // the server stopped
};

class FeedConnections final : public QObject {
  Q_OBJECT

 public:
  // The pause before each feed read paces a fast feed into batches.
  static constexpr std::chrono::milliseconds kDefaultReadPacing{100};

  // `mission` is written by whichever feed delivers a mission clock record.
  FeedConnections(ClientSlots& clients, MissionTime& mission, const WallClock& clock,
                  std::chrono::milliseconds readPacing = kDefaultReadPacing, QObject* parent = nullptr);
  ~FeedConnections() override;

  // See TcpListener::Listen.
  std::optional<int> Listen(quint16 port);
  void StopListening();
  quint16 Port() const { return listener_.Port(); }
  // Bytes read per pacing step by the connections accepted from now on:
  // the server's "FeedIntake" (see FeedPacing).
  void SetIntakeBytes(std::size_t bytes) { intakeBytes_ = bytes; }
  std::size_t IntakeBytes() const { return intakeBytes_; }
  // Closes every feed connection; the clients are left to the caller.
  void CloseAll();

  int Count() const { return static_cast<int>(feeds_.size()); }
  // Objects held per feed connection, in accept order.
  std::vector<std::size_t> TableSizes() const;
  std::vector<FeedStatistics> Statistics() const;
  WorldSnapshot Snapshot() const;

 Q_SIGNALS:
  void FeedConnected(const vantor::server::FeedStatistics& feed);
  // After each read that completed a batch, once the batch was broadcast.
  void BatchProcessed(const vantor::server::FeedStatistics& feed);
  void FeedClosed(const vantor::server::FeedStatistics& feed, vantor::server::FeedCloseReason reason);
  // After each connection or close.
  void FeedsChanged();

 private:
  struct Connection;

  void AcceptFeed(qintptr descriptor);
  void OnFeedReadable(Connection* feed);
  void OnPacingTimer(Connection* feed);
  void ScheduleRead(Connection* feed, FeedPacing::TimePoint due);
  void ReadFeed(Connection* feed);
  bool Holds(const Connection* feed) const;
  void CloseFeed(Connection* feed, FeedCloseReason reason);
  void Release(Connection& feed);
  static FeedStatistics StatisticsOf(const Connection& feed);

  ClientSlots& clients_;
  MissionTime& mission_;
  const WallClock& clock_;
  std::chrono::milliseconds readPacing_;
  std::size_t intakeBytes_ = kDefaultFeedIntakeBytes;
  TcpListener listener_;
  int nextFeedNumber_ = 1;
  std::vector<std::unique_ptr<Connection>> feeds_;
};

}  // namespace vantor::server
