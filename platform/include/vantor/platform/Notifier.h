#pragma once
// Where user-facing failures go: a modal message box when a window exists,
// a line on stderr when the program runs headless.

#include <QString>

namespace vantor {

class Notifier {
 public:
  virtual ~Notifier() = default;
  virtual void ShowError(const QString& text) = 0;
  virtual void ShowInformation(const QString& text) = 0;
};

class StderrNotifier final : public Notifier {
 public:
  explicit StderrNotifier(QString programName);
  void ShowError(const QString& text) override;
  void ShowInformation(const QString& text) override;

 private:
  QString programName_;
};

}  // namespace vantor
