#pragma once
// What an operator watches of the running server, under the window's
// status: the ports and the mission time, the seated clients (slot,
// address, coalition, since when), the simulator feed (connected or not,
// objects in the world table, batches per second, records skipped and
// why) and the latest events. It follows the runtime's signals and
// refreshes its times and rates every second.

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <map>
#include "vantor/texts/Language.h"

class QLabel;
class QListWidget;
class QTableWidget;

namespace vantor::server {
class ServerRuntime;
}

namespace vantor::server::gui {

class OperatorView final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMaxEvents = 500;

  OperatorView(const ServerRuntime& runtime, Language language, QWidget* parent = nullptr);

  // Reads everything again from the runtime.
  void Refresh();
  void AddEvent(const QString& line);

  const QTableWidget& Clients() const { return *clients_; }
  QString FeedSummary() const;
  const QListWidget& Events() const { return *events_; }

 private:
  void RefreshHeader();
  void RefreshClients();
  void RefreshFeeds();
  QString Since(std::int64_t at) const;

  struct RateSample {
    std::uint64_t batches = 0;
    std::int64_t atMs = 0;
    double perSecond = 0.0;
  };

  const ServerRuntime& runtime_;
  Language language_;
  QTimer tick_;
  QElapsedTimer monotonic_;
  std::map<int, RateSample> rates_;  // by feed number
  QLabel* ports_ = nullptr;
  QLabel* mission_ = nullptr;
  QLabel* slotsTaken_ = nullptr;
  QTableWidget* clients_ = nullptr;
  QLabel* feedTitle_ = nullptr;
  QLabel* objects_ = nullptr;
  QLabel* batchRate_ = nullptr;
  QLabel* records_ = nullptr;
  QLabel* skipped_ = nullptr;
  QListWidget* events_ = nullptr;
};

}  // namespace vantor::server::gui
