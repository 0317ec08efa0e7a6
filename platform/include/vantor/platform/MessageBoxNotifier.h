#pragma once
#include <QPointer>
#include <QWidget>

#include "vantor/platform/Notifier.h"

namespace vantor {

// Modal message boxes over an optional parent window.
class MessageBoxNotifier final : public Notifier {
 public:
  explicit MessageBoxNotifier(QString title, QWidget* parent = nullptr);
  void ShowError(const QString& text) override;
  void ShowInformation(const QString& text) override;

 private:
  QString title_;
  QPointer<QWidget> parent_;
};

}  // namespace vantor
