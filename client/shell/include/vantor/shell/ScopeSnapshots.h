#pragma once
// The scope's picture saved as a PNG image after a few seconds of normal
// running, once (then the program ends) or over and over: headless renders
// of a live mission for tests, documentation and the demo.

#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

namespace vantor::shell {

struct SnapshotOptions {
  QString file;
  std::chrono::milliseconds after{3000};
  // Keep running and rewrite the file at this period.
  std::optional<std::chrono::milliseconds> every;
};

// Seconds from the command line: a non-negative decimal number.
std::optional<std::chrono::milliseconds> ParseSnapshotSeconds(const QString& text);

// Writes the image as PNG, replacing `file` only once the image is complete
// so that readers never see half a picture. The error text when it fails.
std::optional<QString> WritePng(const QImage& image, const QString& file);

class ScopeSnapshots : public QObject {
  Q_OBJECT
 public:
  ScopeSnapshots(SnapshotOptions options, std::function<QImage()> render, QObject* parent = nullptr);
  void Start();
  int WrittenCount() const { return written_; }

 Q_SIGNALS:
  // A picture was written to the file.
  void Written(const QString& file);
  // The single snapshot is done (exit code 0), or writing failed (1).
  void Finished(int exitCode);

 private:
  void Take();

  SnapshotOptions options_;
  std::function<QImage()> render_;
  QTimer timer_;
  int written_ = 0;
};

}  // namespace vantor::shell
