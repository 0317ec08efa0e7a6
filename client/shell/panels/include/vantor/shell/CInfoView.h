#pragma once
// The information panel at the bottom of the right-hand column. This
// stand-in has the panel's signals so the frame can be wired; the panel
// itself replaces it.

#include <QWidget>

#include "vantor/shell/ShellContext.h"

namespace vantor::scope {
class CRivakView;
}

namespace vantor::shell {

class CButtonView;

class CInfoView : public QWidget {
  Q_OBJECT
 public:
  // `channels` is the voice channel panel whose state it shows (may be null).
  CInfoView(const ShellContext& context, scope::CRivakView* scope, const CButtonView* channels,
            QWidget* parent = nullptr);

 Q_SIGNALS:
  // Hovering expands the right-hand column, a click at its corner collapses it.
  void ExpandRequested(bool expand);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ShellContext context_;
  scope::CRivakView* scope_;
  const CButtonView* channels_;
};

}  // namespace vantor::shell
