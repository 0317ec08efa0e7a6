#pragma once
// The general page of the configuration sheet: which radar types clients
// are shown, how many client slots are used, and the AWACS range.

#include <QWidget>

#include <array>

#include "vantor/protocol/Constants.h"
#include "vantor/server/ServerConfig.h"
#include "vantor/texts/Language.h"

class QCheckBox;
class QSpinBox;

namespace vantor::server::gui {

class RadarPage final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMinAwacsRangeKm = 100;
  static constexpr int kMaxAwacsRangeKm = 800;

  explicit RadarPage(Language language, QWidget* parent = nullptr);

  void Load(const ServerConfig& config);
  void Save(ServerConfig& config) const;

 private:
  std::array<QCheckBox*, protocol::kRadarTypeCount> types_{};
  // All 31 flags, so the ones without a box go back as they came.
  RadarTypeFlags flags_{};
  QSpinBox* maxClient_ = nullptr;
  QSpinBox* awacsRange_ = nullptr;
};

}  // namespace vantor::server::gui
