#pragma once
// What happens on a running server, as timestamped lines for an operator:
// feeds connected and closed, clients accepted, joined, timed out, refused
// or dropped, and feed records skipped, counted by reason with at most one
// line per reason per minute. The headless program writes the lines on
// standard output, the window lists them. QtCore only.

#include <QObject>
#include <QString>

#include <array>
#include <chrono>
#include <cstdint>
#include <map>

#include "vantor/server/ClientSlots.h"
#include "vantor/server/FeedConnections.h"
#include "vantor/server/WorldSnapshot.h"
#include "vantor/texts/Language.h"

namespace vantor {
enum class TextId : int;
}

namespace vantor::server {

class WallClock;

// Why feed records were skipped, as a catalogue text: `reason` is a
// FeedRecordStatus, or kFeedRecordStatusCount for records too long for the
// intake.
TextId SkipReasonText(std::size_t reason);

class ServerEventLog final : public QObject {
  Q_OBJECT

 public:
  // A reason's skipped records get one line at most per this period.
  static constexpr std::int64_t kSkipLinePeriodSeconds = 60;

  ServerEventLog(const ClientSlots& clients, const FeedConnections& feeds, const WallClock& clock, Language language,
                 std::chrono::milliseconds joinTimeout = std::chrono::milliseconds(protocol::kJoinTimeoutMs),
                 QObject* parent = nullptr);

  // "yyyy-MM-dd hh:mm:ss" in local time.
  static QString Timestamp(std::int64_t seconds);

 Q_SIGNALS:
  // A timestamp, two blanks, the event.
  void EventLine(const QString& line);

 private:
  // The skip reasons: FeedRecordStatus values, then records too long for
  // the intake.
  static constexpr std::size_t kSkipReasonCount = kFeedRecordStatusCount + 1;
  using SkipCounts = std::array<std::uint64_t, kSkipReasonCount>;

  void Emit(const QString& event);
  QString Format(TextId id) const;
  QString SlotText(const ClientSlotInfo& client) const;
  QString CoalitionText(quint8 coalition) const;
  void OnFeedClosed(const FeedStatistics& feed, FeedCloseReason reason);
  void OnClientLeft(const ClientSlotInfo& client, ClientLeaveReason reason);
  void CountSkips(const FeedStatistics& feed);
  void ReportSkips();
  static SkipCounts SkipCountsOf(const FeedStatistics& feed);

  const WallClock& clock_;
  Language language_;
  std::int64_t joinTimeoutSeconds_;
  std::map<int, SkipCounts> seenByFeed_;  // by feed number
  SkipCounts pending_{};
  std::array<std::int64_t, kSkipReasonCount> lastLineAt_{};  // 0: never
};

}  // namespace vantor::server
