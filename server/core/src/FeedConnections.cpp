#include "vantor/server/FeedConnections.h"

#include <QTimer>

#include <algorithm>

#include "FeedSocket.h"
#include "vantor/server/ClientSlots.h"
#include "vantor/server/WallClock.h"

namespace vantor::server {

struct FeedConnections::Connection {
  std::unique_ptr<FeedSocket> socket;
  std::vector<char> readBuffer = std::vector<char>(FeedIntake::kIntakeBytes);
  QTimer* pacing = nullptr;
  FeedIntake intake;
  WorldTable table;
  FeedStatistics statistics;
};

FeedConnections::FeedConnections(ClientSlots& clients, MissionTime& mission, const WallClock& clock,
                                 std::chrono::milliseconds readPacing, QObject* parent)
    : QObject(parent), clients_(clients), mission_(mission), clock_(clock), readPacing_(readPacing), listener_(*this) {}

FeedConnections::~FeedConnections() {
  for (const auto& feed : feeds_) Release(*feed);
}

std::optional<int> FeedConnections::Listen(quint16 port) {
  return listener_.ListenForDescriptors(port, [this](qintptr descriptor) { AcceptFeed(descriptor); });
}

void FeedConnections::StopListening() { listener_.Close(); }

void FeedConnections::AcceptFeed(qintptr descriptor) {
  auto owned = std::make_unique<Connection>();
  Connection* feed = owned.get();
  feed->socket = std::make_unique<FeedSocket>(descriptor, FeedIntake::kIntakeBytes);
  feed->statistics.feed = nextFeedNumber_++;
  feed->statistics.peer = feed->socket->PeerAddress();
  feed->statistics.connectedAt = clock_.NowSeconds();
  feed->pacing = new QTimer(this);
  feed->pacing->setSingleShot(true);
  feed->pacing->setInterval(readPacing_);
  connect(feed->pacing, &QTimer::timeout, this, [this, feed] { ReadFeed(feed); });
  // Readiness starts the pause before the read; nothing more is asked of the
  // socket until that read has been made.
  feed->socket->OnReadable([feed] {
    feed->socket->SetNotification(false);
    feed->pacing->start();
  });
  feeds_.push_back(std::move(owned));
  Q_EMIT FeedConnected(StatisticsOf(*feed));
  Q_EMIT FeedsChanged();
}

void FeedConnections::ReadFeed(Connection* feed) {
  const FeedSocket::ReadResult read = feed->socket->Read(feed->readBuffer.data(), feed->intake.ReadCapacity());
  switch (read.status) {
    case FeedSocket::ReadStatus::EndOfStream:
      CloseFeed(feed, FeedCloseReason::PeerClosed);
      return;
    case FeedSocket::ReadStatus::Failed:
      CloseFeed(feed, FeedCloseReason::ReadFailed);
      return;
    case FeedSocket::ReadStatus::WouldBlock:
      break;
    case FeedSocket::ReadStatus::Data: {
      const std::int64_t now = clock_.NowSeconds();
      const FeedIntakeResult result =
          feed->intake.ProcessFeedText(std::string_view(feed->readBuffer.data(), read.bytes), feed->table, mission_,
                                       now, [this, feed] { clients_.BroadcastTracks(feed->table); });
      FeedStatistics& statistics = feed->statistics;
      statistics.bytesRead += read.bytes;
      statistics.records += static_cast<std::uint64_t>(result.objectRecords);
      statistics.skipped += static_cast<std::uint64_t>(result.skippedRecords);
      for (std::size_t i = 0; i < kFeedRecordStatusCount; ++i) {
        statistics.skippedBy[i] += static_cast<std::uint64_t>(result.skippedBy[i]);
      }
      statistics.discardedUnfinished += static_cast<std::uint64_t>(result.discardedUnfinished);
      statistics.missionClockSeen = feed->intake.MissionSeen();
      if (result.broadcasts > 0) {
        statistics.batches += static_cast<std::uint64_t>(result.broadcasts);
        statistics.lastBatchAt = now;
        Q_EMIT BatchProcessed(StatisticsOf(*feed));
        // A handler may have stopped the server and with it this feed.
        if (!Holds(feed)) return;
      }
      break;
    }
  }
  // More waiting (or the end of the stream) shows as readiness again.
  feed->socket->SetNotification(true);
}

bool FeedConnections::Holds(const Connection* feed) const {
  return std::any_of(feeds_.begin(), feeds_.end(), [feed](const auto& owned) { return owned.get() == feed; });
}

void FeedConnections::CloseFeed(Connection* feed, FeedCloseReason reason) {
  const auto it = std::find_if(feeds_.begin(), feeds_.end(), [feed](const auto& owned) { return owned.get() == feed; });
  if (it == feeds_.end()) return;
  // Deleting the connection ends its table and every object in it.
  const std::unique_ptr<Connection> closed = std::move(*it);
  feeds_.erase(it);
  Release(*closed);
  Q_EMIT FeedClosed(StatisticsOf(*closed), reason);
  // Only a feed that delivered a record (its mission clock record) is the
  // simulator; a port scan or a stray connection closes quietly.
  if (reason != FeedCloseReason::Stopped && closed->intake.MissionSeen()) clients_.EndAllClients();
  Q_EMIT FeedsChanged();
}

void FeedConnections::CloseAll() {
  while (!feeds_.empty()) CloseFeed(feeds_.back().get(), FeedCloseReason::Stopped);
}

void FeedConnections::Release(Connection& feed) {
  feed.socket.reset();
  if (feed.pacing != nullptr) {
    feed.pacing->stop();
    feed.pacing->disconnect();
    feed.pacing->deleteLater();
    feed.pacing = nullptr;
  }
}

FeedStatistics FeedConnections::StatisticsOf(const Connection& feed) {
  FeedStatistics statistics = feed.statistics;
  statistics.objects = feed.table.Size();
  return statistics;
}

std::vector<std::size_t> FeedConnections::TableSizes() const {
  std::vector<std::size_t> sizes;
  for (const auto& feed : feeds_) sizes.push_back(feed->table.Size());
  return sizes;
}

std::vector<FeedStatistics> FeedConnections::Statistics() const {
  std::vector<FeedStatistics> statistics;
  for (const auto& feed : feeds_) statistics.push_back(StatisticsOf(*feed));
  return statistics;
}

WorldSnapshot FeedConnections::Snapshot() const {
  WorldSnapshot snapshot;
  snapshot.takenAt = clock_.NowSeconds();
  snapshot.mission = mission_;
  for (const auto& feed : feeds_) snapshot.feeds.push_back({StatisticsOf(*feed), SnapshotTable(feed->table)});
  return snapshot;
}

}  // namespace vantor::server
