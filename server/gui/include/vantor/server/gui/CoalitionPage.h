#pragma once
// A coalition's page of the configuration sheet: its airfield radars (in
// service, range) in two groups, its AWACS mode and static altitude, its
// password, and the button that opens the map page.

#include <QWidget>

#include <array>

#include "vantor/protocol/Constants.h"
#include "vantor/server/ServerConfig.h"
#include "vantor/texts/Language.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace vantor {
enum class TextId : int;
}

namespace vantor::server::gui {

enum class AwacsChoice {
  FromSimulator = 0,
  Static = 1,
  RadarOnly = 2,
};

class CoalitionPage final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMaxAltitudeKm = 20;
  // Choosing the static AWACS with an altitude of 0 puts it here.
  static constexpr int kDefaultStaticAltitudeKm = 8;

  // `side`: 0 Blue, 1 Red.
  CoalitionPage(int side, Language language, QWidget* parent = nullptr);

  int Side() const { return side_; }
  void Load(const ServerConfig& config);
  void Save(ServerConfig& config) const;

  AwacsChoice Choice() const;
  void Choose(AwacsChoice choice);

 Q_SIGNALS:
  // The map button: the sheet stores the page and opens the map page.
  void MapRequested(bool placeAwacs);

 private:
  QWidget* MakeGroup(const std::array<int, 11>& airfields, TextId title, const QString& name);
  void CheckGroup(const std::array<int, 11>& airfields, bool checked);
  void OnChoice(AwacsChoice choice);

  int side_;
  Language language_;
  std::array<QCheckBox*, protocol::kAirfieldCount> inService_{};
  std::array<QComboBox*, protocol::kAirfieldCount> ranges_{};
  QButtonGroup* choices_ = nullptr;
  QSpinBox* altitude_ = nullptr;
  QLineEdit* password_ = nullptr;
  QPushButton* map_ = nullptr;
};

}  // namespace vantor::server::gui
