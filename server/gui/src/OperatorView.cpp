#include "vantor/server/gui/OperatorView.h"

#include <QDateTime>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "vantor/server/ServerEventLog.h"
#include "vantor/server/ServerRuntime.h"
#include "vantor/server/gui/ServerStyle.h"
#include "vantor/texts/QText.h"

namespace vantor::server::gui {
namespace {

constexpr int kTickMs = 1000;
enum Column { SlotColumn, AddressColumn, CoalitionColumn, SinceColumn, ColumnCount };

QString ClockText(std::int64_t seconds) {
  return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("hh:mm:ss"));
}

QString DurationText(std::int64_t seconds) {
  seconds = std::max<std::int64_t>(seconds, 0);
  return QStringLiteral("%1:%2:%3")
      .arg(seconds / 3600)
      .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QLabel* ValueLabel(QWidget* parent, const QString& name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

OperatorView::OperatorView(const ServerRuntime& runtime, Language language, QWidget* parent)
    : QWidget(parent), runtime_(runtime), language_(language) {
  setObjectName(QStringLiteral("operatorView"));
  monotonic_.start();

  ports_ = ValueLabel(this, QStringLiteral("ports"));
  ports_->setProperty("role", QStringLiteral("caption"));
  mission_ = ValueLabel(this, QStringLiteral("mission"));
  mission_->setProperty("role", QStringLiteral("caption"));
  auto* header = new QHBoxLayout;
  header->addWidget(ports_, 1);
  header->addWidget(mission_);

  auto* clientsBox = new QGroupBox(QText(TextId::SrvViewClients, language), this);
  slotsTaken_ = ValueLabel(clientsBox, QStringLiteral("slotsTaken"));
  clients_ = new QTableWidget(0, ColumnCount, clientsBox);
  clients_->setObjectName(QStringLiteral("clients"));
  clients_->setHorizontalHeaderLabels({QText(TextId::SrvViewSlot, language), QText(TextId::SrvViewAddress, language),
                                       QText(TextId::SrvViewCoalition, language),
                                       QText(TextId::SrvViewSince, language)});
  clients_->verticalHeader()->hide();
  clients_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  clients_->setSelectionMode(QAbstractItemView::NoSelection);
  clients_->setFocusPolicy(Qt::NoFocus);
  clients_->setShowGrid(false);
  clients_->setAlternatingRowColors(true);
  clients_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  clients_->horizontalHeader()->setStretchLastSection(true);
  clients_->setMinimumHeight(110);
  auto* clientsLayout = new QVBoxLayout(clientsBox);
  clientsLayout->addWidget(slotsTaken_);
  clientsLayout->addWidget(clients_);

  auto* feedBox = new QGroupBox(QText(TextId::SrvViewFeed, language), this);
  feedTitle_ = ValueLabel(feedBox, QStringLiteral("feedTitle"));
  objects_ = ValueLabel(feedBox, QStringLiteral("objects"));
  batchRate_ = ValueLabel(feedBox, QStringLiteral("batchRate"));
  records_ = ValueLabel(feedBox, QStringLiteral("records"));
  skipped_ = ValueLabel(feedBox, QStringLiteral("skipped"));
  skipped_->setWordWrap(true);
  auto* feedForm = new QFormLayout;
  feedForm->addRow(QText(TextId::SrvViewObjects, language), objects_);
  feedForm->addRow(QText(TextId::SrvViewBatchRate, language), batchRate_);
  feedForm->addRow(QText(TextId::SrvViewRecords, language), records_);
  feedForm->addRow(QText(TextId::SrvViewSkipped, language), skipped_);
  auto* feedLayout = new QVBoxLayout(feedBox);
  feedLayout->addWidget(feedTitle_);
  feedLayout->addSpacing(6);
  feedLayout->addLayout(feedForm);
  feedLayout->addStretch(1);

  auto* eventsBox = new QGroupBox(QText(TextId::SrvViewEvents, language), this);
  events_ = new QListWidget(eventsBox);
  events_->setObjectName(QStringLiteral("events"));
  events_->setSelectionMode(QAbstractItemView::NoSelection);
  events_->setFocusPolicy(Qt::NoFocus);
  events_->setMinimumHeight(90);
  events_->setWordWrap(true);
  auto* eventsLayout = new QVBoxLayout(eventsBox);
  eventsLayout->addWidget(events_);

  auto* middle = new QHBoxLayout;
  middle->addWidget(clientsBox, 3);
  middle->addWidget(feedBox, 2);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(header);
  layout->addLayout(middle, 2);
  layout->addWidget(eventsBox, 1);

  const ClientSlots& clientSlots = runtime.Clients();
  const FeedConnections& feeds = runtime.Feeds();
  connect(&clientSlots, &ClientSlots::ClientsChanged, this, &OperatorView::RefreshClients);
  const auto refreshFeeds = [this] {
    RefreshHeader();  // the mission time comes with a feed
    RefreshFeeds();
  };
  connect(&feeds, &FeedConnections::FeedsChanged, this, refreshFeeds);
  connect(&feeds, &FeedConnections::BatchProcessed, this, refreshFeeds);
  connect(&runtime, &ServerRuntime::StatusChanged, this, &OperatorView::RefreshHeader);
  connect(&runtime, &ServerRuntime::ConfigChanged, this, &OperatorView::RefreshClients);
  tick_.setInterval(kTickMs);
  connect(&tick_, &QTimer::timeout, this, &OperatorView::Refresh);
  tick_.start();
  Refresh();
}

void OperatorView::Refresh() {
  RefreshHeader();
  RefreshClients();
  // The rates move on with the tick only, over whole seconds.
  const std::int64_t nowMs = monotonic_.elapsed();
  std::map<int, RateSample> rates;
  for (const FeedStatistics& feed : runtime_.Feeds().Statistics()) {
    RateSample sample{feed.batches, nowMs, 0.0};
    if (const auto last = rates_.find(feed.feed); last != rates_.end()) {
      sample = last->second;
      if (nowMs - last->second.atMs >= kTickMs / 2) {
        sample.perSecond = static_cast<double>(feed.batches - last->second.batches) * 1000.0 /
                           static_cast<double>(nowMs - last->second.atMs);
        sample.batches = feed.batches;
        sample.atMs = nowMs;
      }
    }
    rates[feed.feed] = sample;
  }
  rates_ = std::move(rates);
  RefreshFeeds();
}

void OperatorView::RefreshHeader() {
  const auto port = [this](quint16 value) {
    return value != 0 ? QString::number(value) : QText(TextId::SrvViewPortClosed, language_);
  };
  ports_->setText(QText(TextId::SrvViewPorts, language_).arg(port(runtime_.FeedPort()), port(runtime_.ClientPort())));
  const MissionTime& mission = runtime_.Mission();
  if (mission.missionStartWall == 0) {
    mission_->setText(QText(TextId::SrvViewMissionUnknown, language_));
  } else {
    const std::int64_t clock = mission.MissionClock(runtime_.Clock().NowSeconds());
    mission_->setText(QText(TextId::SrvViewMissionTime, language_).arg(DurationText(clock % 86400)));
  }
}

QString OperatorView::Since(std::int64_t at) const {
  return QText(TextId::SrvViewDuration, language_).arg(ClockText(at), DurationText(runtime_.Clock().NowSeconds() - at));
}

void OperatorView::RefreshClients() {
  const std::vector<ClientSlotInfo> seated = runtime_.Clients().Seated();
  slotsTaken_->setText(QText(TextId::SrvViewSlotsTaken, language_).arg(seated.size()).arg(runtime_.Config().maxClient));
  clients_->setRowCount(static_cast<int>(seated.size()));
  int row = 0;
  for (const ClientSlotInfo& client : seated) {
    QString coalition = QText(TextId::SrvViewWaitingJoin, language_);
    QColor colour = kStoppedColour;
    if (client.joined) {
      if (client.coalition == static_cast<quint8>(protocol::CoalitionCode::Blue)) {
        coalition = QText(TextId::SrvCoalitionBlue, language_);
        colour = kBlueColour;
      } else if (client.coalition == static_cast<quint8>(protocol::CoalitionCode::Red)) {
        coalition = QText(TextId::SrvCoalitionRed, language_);
        colour = QColor(255, 90, 80);
      } else {
        coalition = QText(TextId::SrvCoalitionOther, language_).arg(client.coalition);
        colour = palette().color(QPalette::Text);
      }
    }
    const QString cells[ColumnCount] = {QString::number(client.slot), client.peer.toString(), coalition,
                                        Since(client.joined ? client.joinedAt : client.seatedAt)};
    for (int column = 0; column < ColumnCount; ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      if (column == CoalitionColumn) item->setForeground(colour);
      clients_->setItem(row, column, item);
    }
    ++row;
  }
}

QString OperatorView::FeedSummary() const {
  return QStringList{feedTitle_->text(), objects_->text(), batchRate_->text(), records_->text(), skipped_->text()}.join(
      '\n');
}

void OperatorView::RefreshFeeds() {
  const std::vector<FeedStatistics> feeds = runtime_.Feeds().Statistics();
  if (feeds.empty()) {
    feedTitle_->setText(QText(TextId::SrvViewNoFeed, language_));
    feedTitle_->setStyleSheet(QStringLiteral("color: rgb(235, 180, 70);"));
  } else {
    QStringList titles;
    for (const FeedStatistics& feed : feeds) {
      titles += QText(TextId::SrvViewFeedFrom, language_)
                    .arg(feed.feed)
                    .arg(feed.peer.toString(), ClockText(feed.connectedAt));
    }
    feedTitle_->setText(titles.join('\n'));
    feedTitle_->setStyleSheet(QStringLiteral("color: rgb(110, 210, 100);"));
  }
  std::size_t objects = 0;
  std::uint64_t records = 0;
  double rate = 0.0;
  std::array<std::uint64_t, kFeedRecordStatusCount + 1> skippedBy{};
  for (const FeedStatistics& feed : feeds) {
    objects += feed.objects;
    records += feed.records;
    if (const auto sample = rates_.find(feed.feed); sample != rates_.end()) rate += sample->second.perSecond;
    for (std::size_t i = 0; i < kFeedRecordStatusCount; ++i) skippedBy[i] += feed.skippedBy[i];
    skippedBy[kFeedRecordStatusCount] += feed.discardedUnfinished;
  }
  objects_->setText(QString::number(objects));
  batchRate_->setText(QString::number(rate, 'f', 1));
  records_->setText(QString::number(records));

  // Index 0 is a record taken; the last, a record too long for the intake.
  QStringList reasons;
  for (std::size_t reason = 1; reason < skippedBy.size(); ++reason) {
    if (skippedBy[reason] > 0) {
      reasons += QStringLiteral("%1 × %2").arg(skippedBy[reason]).arg(QText(SkipReasonText(reason), language_));
    }
  }
  skipped_->setText(reasons.isEmpty() ? QText(TextId::SrvViewNoneSkipped, language_) : reasons.join('\n'));
}

void OperatorView::AddEvent(const QString& line) {
  events_->addItem(line);
  while (events_->count() > kMaxEvents) delete events_->takeItem(0);
  events_->scrollToBottom();
}

}  // namespace vantor::server::gui
