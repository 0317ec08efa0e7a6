#include "vantor/server/ServerEventLog.h"

#include <QDateTime>

#include "vantor/server/WallClock.h"
#include "vantor/texts/Texts.h"

namespace vantor::server {

TextId SkipReasonText(std::size_t reason) {
  switch (reason) {
    case static_cast<std::size_t>(FeedRecordStatus::BadId):
      return TextId::SrvSkipBadId;
    case static_cast<std::size_t>(FeedRecordStatus::BadClass):
      return TextId::SrvSkipBadClass;
    case static_cast<std::size_t>(FeedRecordStatus::NoCoalitionMark):
      return TextId::SrvSkipNoCoalitionMark;
    case static_cast<std::size_t>(FeedRecordStatus::NoCoalitionBracket):
      return TextId::SrvSkipNoCoalitionBracket;
    case static_cast<std::size_t>(FeedRecordStatus::EmptyName):
      return TextId::SrvSkipEmptyName;
    case static_cast<std::size_t>(FeedRecordStatus::NameHoldsRecordMark):
      return TextId::SrvSkipNameHoldsRecordMark;
    case static_cast<std::size_t>(FeedRecordStatus::BadNumbers):
      return TextId::SrvSkipBadNumbers;
    default:
      return TextId::SrvSkipTooLong;
  }
}

ServerEventLog::ServerEventLog(const ClientSlots& clients, const FeedConnections& feeds, const WallClock& clock,
                               Language language, std::chrono::milliseconds joinTimeout, QObject* parent)
    : QObject(parent),
      clock_(clock),
      language_(language),
      joinTimeoutSeconds_(std::chrono::duration_cast<std::chrono::seconds>(joinTimeout).count()) {
  connect(&feeds, &FeedConnections::FeedConnected, this, [this](const FeedStatistics& feed) {
    seenByFeed_[feed.feed] = SkipCountsOf(feed);
    Emit(Format(TextId::SrvEventFeedConnected).arg(feed.feed).arg(feed.peer.toString()));
  });
  connect(&feeds, &FeedConnections::BatchProcessed, this, [this](const FeedStatistics& feed) {
    CountSkips(feed);
    ReportSkips();
  });
  connect(&feeds, &FeedConnections::FeedClosed, this, &ServerEventLog::OnFeedClosed);
  connect(&clients, &ClientSlots::ClientSeated, this, [this](const ClientSlotInfo& client) {
    Emit(Format(TextId::SrvEventClientAccepted).arg(client.peer.toString()).arg(client.slot));
  });
  connect(&clients, &ClientSlots::ClientJoined, this, [this](const ClientSlotInfo& client) {
    Emit(Format(TextId::SrvEventClientJoined)
             .arg(client.slot)
             .arg(client.peer.toString(), CoalitionText(client.coalition)));
  });
  connect(&clients, &ClientSlots::ClientLeft, this, &ServerEventLog::OnClientLeft);
  connect(&clients, &ClientSlots::ClientRefused, this, [this](const QHostAddress& peer, ClientRefusal reason) {
    const TextId text =
        reason == ClientRefusal::ServerFull ? TextId::SrvEventClientRefusedFull : TextId::SrvEventClientRefusedHost;
    Emit(Format(text).arg(peer.toString()));
  });
}

QString ServerEventLog::Timestamp(std::int64_t seconds) {
  return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

void ServerEventLog::Emit(const QString& event) { Q_EMIT EventLine(Timestamp(clock_.NowSeconds()) + "  " + event); }

QString ServerEventLog::Format(TextId id) const { return QString::fromUtf8(Text(id, language_)); }

QString ServerEventLog::CoalitionText(quint8 coalition) const {
  if (coalition == static_cast<quint8>(protocol::CoalitionCode::Blue)) return Format(TextId::SrvCoalitionBlue);
  if (coalition == static_cast<quint8>(protocol::CoalitionCode::Red)) return Format(TextId::SrvCoalitionRed);
  return Format(TextId::SrvCoalitionOther).arg(coalition);
}

void ServerEventLog::OnFeedClosed(const FeedStatistics& feed, FeedCloseReason reason) {
  CountSkips(feed);
  seenByFeed_.erase(feed.feed);
  if (reason == FeedCloseReason::Stopped) {
    Emit(Format(TextId::SrvEventFeedStopped).arg(feed.feed));
  } else {
    const TextId text = reason == FeedCloseReason::ReadFailed ? TextId::SrvEventFeedFailed : TextId::SrvEventFeedClosed;
    Emit(Format(text).arg(feed.feed).arg(feed.batches).arg(feed.records).arg(feed.skipped + feed.discardedUnfinished));
  }
  ReportSkips();
}

void ServerEventLog::OnClientLeft(const ClientSlotInfo& client, ClientLeaveReason reason) {
  const QString peer = client.peer.toString();
  switch (reason) {
    case ClientLeaveReason::JoinTimeout:
      Emit(Format(TextId::SrvEventClientTimedOut).arg(client.slot).arg(peer).arg(joinTimeoutSeconds_));
      break;
    case ClientLeaveReason::PeerClosed:
      Emit(Format(TextId::SrvEventClientLeft).arg(client.slot).arg(peer));
      break;
    case ClientLeaveReason::SendFailed:
      Emit(Format(TextId::SrvEventClientDropped).arg(client.slot).arg(peer));
      break;
    case ClientLeaveReason::Ended:
      Emit(Format(TextId::SrvEventClientEnded).arg(client.slot).arg(peer));
      break;
  }
}

ServerEventLog::SkipCounts ServerEventLog::SkipCountsOf(const FeedStatistics& feed) {
  SkipCounts counts{};
  for (std::size_t i = 0; i < kFeedRecordStatusCount; ++i) counts[i] = feed.skippedBy[i];
  counts[kFeedRecordStatusCount] = feed.discardedUnfinished;
  return counts;
}

void ServerEventLog::CountSkips(const FeedStatistics& feed) {
  const SkipCounts now = SkipCountsOf(feed);
  SkipCounts& seen = seenByFeed_[feed.feed];
  for (std::size_t i = 0; i < kSkipReasonCount; ++i) {
    if (now[i] > seen[i]) pending_[i] += now[i] - seen[i];
  }
  seen = now;
}

void ServerEventLog::ReportSkips() {
  const std::int64_t now = clock_.NowSeconds();
  for (std::size_t i = 0; i < kSkipReasonCount; ++i) {
    if (pending_[i] == 0) continue;
    // Counts not yet due wait for a later batch; a closing feed's line gives
    // its total in any case.
    if (lastLineAt_[i] != 0 && now - lastLineAt_[i] < kSkipLinePeriodSeconds) continue;
    Emit(Format(TextId::SrvEventRecordsSkipped).arg(pending_[i]).arg(Format(SkipReasonText(i))));
    pending_[i] = 0;
    lastLineAt_[i] = now;
  }
}

}  // namespace vantor::server
