#include "vantor/platform/MessageBoxNotifier.h"

#include <QMessageBox>

namespace vantor {

MessageBoxNotifier::MessageBoxNotifier(QString title, QWidget* parent) : title_(std::move(title)), parent_(parent) {}

void MessageBoxNotifier::ShowError(const QString& text) { QMessageBox::critical(parent_.data(), title_, text); }

void MessageBoxNotifier::ShowInformation(const QString& text) {
  QMessageBox::information(parent_.data(), title_, text);
}

}  // namespace vantor
