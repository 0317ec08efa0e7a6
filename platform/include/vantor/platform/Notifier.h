#pragma once
// Where user-facing failures go: a modal message box when a window exists,
// a line on stderr when the program runs headless.

#include <QString>

namespace vantor {

class Notifier {
 public:
  virtual ~Notifier() = default;
  virtual void showError(const QString& text) = 0;
  virtual void showInformation(const QString& text) = 0;
};

class StderrNotifier final : public Notifier {
 public:
  explicit StderrNotifier(QString programName);
  void showError(const QString& text) override;
  void showInformation(const QString& text) override;

 private:
  QString programName_;
};

}  // namespace vantor
