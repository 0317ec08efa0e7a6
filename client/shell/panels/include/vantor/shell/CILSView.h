#pragma once
// The approach (ILS) view above the scope, hidden until the ATC mode shows
// it. This stand-in has the view's slot so the frame can be wired; the view
// itself replaces it.

#include <QWidget>

#include "vantor/shell/ShellContext.h"

namespace vantor::scope {
class CRivakView;
}

namespace vantor::shell {

class CILSView : public QWidget {
  Q_OBJECT
 public:
  CILSView(const ShellContext& context, const scope::CRivakView* scope, QWidget* parent = nullptr);
  bool Active() const { return active_; }

 public Q_SLOTS:
  void SetActive(bool active);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ShellContext context_;
  const scope::CRivakView* scope_;
  bool active_ = false;
};

}  // namespace vantor::shell
