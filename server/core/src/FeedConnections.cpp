#include "vantor/server/FeedConnections.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

#include "SocketDisposal.h"
#include "vantor/server/ClientSlots.h"
#include "vantor/server/WallClock.h"

namespace vantor::server {

struct FeedConnections::Connection {
  Connection(std::size_t intakeBytes, std::chrono::milliseconds step) : intake(intakeBytes), pacer(intakeBytes, step) {}

  QTcpSocket* socket = nullptr;
  QTimer* pacing = nullptr;
  std::optional<FeedPacing::TimePoint> readDue;  // while `pacing` runs
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
  return listener_.Listen(port, [this](QTcpSocket* socket) { AcceptFeed(socket); });
}

void FeedConnections::StopListening() { listener_.Close(); }

void FeedConnections::AcceptFeed(QTcpSocket* socket) {
  auto owned = std::make_unique<Connection>(intakeBytes_, readPacing_);
  Connection* feed = owned.get();
  feed->socket = socket;
  // What the intake cannot take yet stays with the system, which makes a
  // feed that outruns the intake wait instead of filling our memory.
  socket->setReadBufferSize(static_cast<qint64>(intakeBytes_));
  feed->statistics.feed = nextFeedNumber_++;
  feed->statistics.peer = PlainPeerAddress(socket->peerAddress());
  feed->statistics.connectedAt = clock_.NowSeconds();
  feed->pacing = new QTimer(this);
  feed->pacing->setSingleShot(true);
  // A sleep never ends early; neither may the pacing step.
  feed->pacing->setTimerType(Qt::PreciseTimer);
  connect(feed->pacing, &QTimer::timeout, this, [this, feed] { ReadFeed(feed); });
  connect(socket, &QTcpSocket::readyRead, this,
          [this, feed] { ScheduleRead(feed, feed->pacer.OnReadable(FeedPacing::Clock::now())); });
  connect(socket, &QTcpSocket::disconnected, this, [this, feed] { CloseFeed(feed, FeedCloseReason::PeerClosed); });
  connect(socket, &QTcpSocket::errorOccurred, this, [this, feed](QAbstractSocket::SocketError error) {
    // A remote close is reported again as the disconnection.
    if (error != QAbstractSocket::RemoteHostClosedError) CloseFeed(feed, FeedCloseReason::ReadFailed);
  });
  feeds_.push_back(std::move(owned));
  Q_EMIT FeedConnected(StatisticsOf(*feed));
  Q_EMIT FeedsChanged();
}

void FeedConnections::ScheduleRead(Connection* feed, FeedPacing::TimePoint due) {
  // A read already due at that time stays as it is.
  if (feed->pacing->isActive() && feed->readDue == due) return;
  feed->readDue = due;
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(due - FeedPacing::Clock::now());
  feed->pacing->start(std::max(wait, std::chrono::milliseconds(0)));
}

void FeedConnections::ReadFeed(Connection* feed) {
  feed->readDue.reset();
  const auto readAt = FeedPacing::Clock::now();
  const std::size_t allowance = std::min(feed->pacer.Allowance(readAt), feed->intake.ReadCapacity());
  const QByteArray bytes = feed->socket->read(static_cast<qint64>(allowance));
  if (!bytes.isEmpty()) {
    const std::int64_t now = clock_.NowSeconds();
    const FeedIntakeResult result = feed->intake.ProcessFeedText(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), feed->table, mission_, now,
        [this, feed] { clients_.BroadcastTracks(feed->table); });
    FeedStatistics& statistics = feed->statistics;
    statistics.bytesRead += static_cast<std::uint64_t>(bytes.size());
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
    }
  }
  const auto next =
      feed->pacer.OnRead(readAt, static_cast<std::size_t>(bytes.size()), feed->socket->bytesAvailable() > 0);
  if (next) ScheduleRead(feed, *next);
}

void FeedConnections::CloseFeed(Connection* feed, FeedCloseReason reason) {
  const auto it = std::find_if(feeds_.begin(), feeds_.end(), [feed](const auto& owned) { return owned.get() == feed; });
  if (it == feeds_.end()) return;
  // Deleting the connection ends its table and every object in it.
  const std::unique_ptr<Connection> closed = std::move(*it);
  feeds_.erase(it);
  Release(*closed);
  Q_EMIT FeedClosed(StatisticsOf(*closed), reason);
  if (reason != FeedCloseReason::Stopped) clients_.EndAllClients();
  Q_EMIT FeedsChanged();
}

void FeedConnections::CloseAll() {
  while (!feeds_.empty()) CloseFeed(feeds_.back().get(), FeedCloseReason::Stopped);
}

void FeedConnections::Release(Connection& feed) {
  Dispose(feed.socket, this);
  feed.socket = nullptr;
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
