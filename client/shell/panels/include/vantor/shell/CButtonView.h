#pragma once
// The voice channel panel of the main window's right-hand column. This
// stand-in has the panel's signals and slots so the frame can be wired; the
// panel itself replaces it.

#include <QWidget>

#include "vantor/shell/ShellContext.h"

namespace vantor::scope {
class CRivakView;
}

namespace vantor::shell {

class CButtonView : public QWidget {
  Q_OBJECT
 public:
  CButtonView(const ShellContext& context, scope::CRivakView* scope, QWidget* parent = nullptr);

  int CurrentSlot() const { return 0; }
  bool IsAtcMode() const { return false; }

 public Q_SLOTS:
  void ShowRange(int /*rangeKm*/) {}
  void OnRangeChangedElsewhere() {}
  // The settings button's picture: lit while the scope has a wind.
  void ShowWindState(bool /*windOn*/) {}

 Q_SIGNALS:
  void ExitRequested();
  void IlsViewShown(bool shown);
  void DisplaySettingsRequested();
  void VoiceWindowShowRequested();
  void CurrentSlotChanged(int slot);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ShellContext context_;
  scope::CRivakView* scope_;
};

}  // namespace vantor::shell
