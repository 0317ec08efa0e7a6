#include "vantor/server/FeedConnections.h"

#include <QTimer>

#include <algorithm>

#include "FeedSocket.h"
#include "vantor/server/ClientSlots.h"
#include "vantor/server/WallClock.h"

namespace vantor::server {

struct FeedConnections::Connection {
  Connection(std::size_t intakeBytes, std::chrono::milliseconds step)
      : readBuffer(intakeBytes), intake(intakeBytes), pacer(intakeBytes, step) {}

  std::unique_ptr<FeedSocket> socket;
  std::vector<char> readBuffer;
  QTimer* pacing = nullptr;
  std::optional<FeedPacing::TimePoint> readDue;  // while `pacing` runs
  std::size_t waitingBytes = 0;                  // what the system held at the last look
  FeedIntake intake;
  FeedPacing pacer;
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
  auto owned = std::make_unique<Connection>(intakeBytes_, readPacing_);
  Connection* feed = owned.get();
  feed->socket = std::make_unique<FeedSocket>(descriptor, intakeBytes_);
  feed->statistics.feed = nextFeedNumber_++;
  feed->statistics.peer = feed->socket->PeerAddress();
  feed->statistics.connectedAt = clock_.NowSeconds();
  feed->pacing = new QTimer(this);
  feed->pacing->setSingleShot(true);
  // A sleep never ends early; neither may the pacing step.
  feed->pacing->setTimerType(Qt::PreciseTimer);
  connect(feed->pacing, &QTimer::timeout, this, [this, feed] { OnPacingTimer(feed); });
  feed->socket->OnReadable([this, feed] { OnFeedReadable(feed); });
  feeds_.push_back(std::move(owned));
  Q_EMIT FeedConnected(StatisticsOf(*feed));
  Q_EMIT FeedsChanged();
}

void FeedConnections::OnFeedReadable(Connection* feed) {
  // Readiness starts the wait before the read; nothing more is asked of the
  // socket until that read has been made.
  feed->socket->SetNotification(false);
  feed->waitingBytes = feed->socket->Available();
  ScheduleRead(feed, feed->pacer.OnReadable(FeedPacing::Clock::now()));
}

void FeedConnections::OnPacingTimer(Connection* feed) {
  feed->readDue.reset();
  if (feed->pacer.Budgeted()) {
    // A batch still arriving: its read waits until it stops growing.
    const std::size_t waiting = feed->socket->Available();
    if (waiting > feed->waitingBytes) {
      feed->waitingBytes = waiting;
      const auto now = FeedPacing::Clock::now();
      const auto due = feed->pacer.OnReadable(now);
      if (due > now) {
        ScheduleRead(feed, due);
        return;
      }
    }
  }
  ReadFeed(feed);
}

void FeedConnections::ScheduleRead(Connection* feed, FeedPacing::TimePoint due) {
  // A read already due at that time stays as it is.
  if (feed->pacing->isActive() && feed->readDue == due) return;
  feed->readDue = due;
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(due - FeedPacing::Clock::now());
  feed->pacing->start(std::max(wait, std::chrono::milliseconds(0)));
}

void FeedConnections::ReadFeed(Connection* feed) {
  const auto readAt = FeedPacing::Clock::now();
  const std::size_t allowance = std::min(feed->pacer.Allowance(readAt), feed->intake.ReadCapacity());
  const FeedSocket::ReadResult read = feed->socket->Read(feed->readBuffer.data(), allowance);
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
      ++statistics.reads;
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
  const std::size_t taken = read.status == FeedSocket::ReadStatus::Data ? read.bytes : 0;
  if (const auto next = feed->pacer.OnRead(readAt, taken, feed->socket->Available() > 0)) {
    ScheduleRead(feed, *next);
    return;
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
