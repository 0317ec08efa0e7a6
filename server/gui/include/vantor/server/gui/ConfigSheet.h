#pragma once
// The configuration sheet: the Blue and Red coalition pages and the general
// page, over a copy of the configuration. OK stores every page into the
// copy. Opening the map page from a coalition page stores that page and
// hands the copy over at once (Committed), before and after the map, so what
// was placed survives whatever closes the sheet; from then on Cancel is
// greyed.

#include <QDialog>

#include <functional>

#include "vantor/server/ServerConfig.h"
#include "vantor/server/gui/MapPage.h"
#include "vantor/texts/Language.h"

class QPushButton;
class QTabWidget;

namespace vantor {
class Notifier;
}

namespace vantor::server::gui {

class CoalitionPage;
class RadarPage;

class ConfigSheet final : public QDialog {
  Q_OBJECT

 public:
  // Opens the map page over the copy, modally.
  using MapOpener = std::function<void(QWidget* parent, ServerConfig& config, MapSide side)>;

  ConfigSheet(const ServerConfig& config, Language language, Notifier& notifier, MapOpener openMap,
              QWidget* parent = nullptr);

  const ServerConfig& Result() const { return working_; }
  CoalitionPage& Page(int side) { return side == 0 ? *blue_ : *red_; }
  RadarPage& General() { return *general_; }
  QTabWidget& Tabs() { return *tabs_; }
  QPushButton& OkButton() { return *ok_; }
  QPushButton& CancelButton() { return *cancel_; }

  void accept() override;
  // Refused while Cancel is greyed: the sheet then closes with OK only.
  void reject() override;

 Q_SIGNALS:
  void Committed(const vantor::server::ServerConfig& config);

 private:
  void OpenMap(CoalitionPage& page, bool placeAwacs);

  ServerConfig working_;
  Language language_;
  Notifier& notifier_;
  MapOpener openMap_;
  QTabWidget* tabs_ = nullptr;
  CoalitionPage* blue_ = nullptr;
  CoalitionPage* red_ = nullptr;
  RadarPage* general_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace vantor::server::gui
