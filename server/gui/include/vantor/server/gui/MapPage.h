#pragma once
// The map page: the theatre with the coverages of the configuration being
// edited. Opened for one side (Blue or Red) it places that side's static
// AWACS where the operator double-clicks; opened for viewing it changes
// nothing.

#include <QDialog>
#include <QImage>
#include <QWidget>

#include "vantor/server/ServerConfig.h"
#include "vantor/texts/Language.h"

class QLabel;

namespace vantor::server::gui {

enum class MapSide {
  ViewOnly = 0,
  Blue = 1,
  Red = 2,
};

class MapView final : public QWidget {
  Q_OBJECT

 public:
  // `config` is the configuration being edited; it outlives the view.
  MapView(const QImage& base, ServerConfig& config, MapSide side, Language language, QWidget* parent = nullptr);

  // What the view shows: the background with the coverages over it.
  QImage Picture() const;
  QSize sizeHint() const override;

 Q_SIGNALS:
  void AwacsPlaced();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QImage base_;
  ServerConfig& config_;
  MapSide side_;
  Language language_;
};

class MapPage final : public QDialog {
  Q_OBJECT

 public:
  MapPage(const QImage& base, ServerConfig& config, MapSide side, Language language, bool coastlineFound = true,
          QWidget* parent = nullptr);

  MapView& View() { return *view_; }

 private:
  void ShowPositions();

  ServerConfig& config_;
  Language language_;
  MapView* view_ = nullptr;
  QLabel* positions_ = nullptr;
};

}  // namespace vantor::server::gui
