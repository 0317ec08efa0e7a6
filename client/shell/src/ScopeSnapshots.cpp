#include "vantor/shell/ScopeSnapshots.h"

#include <QBuffer>

#include <cmath>

#include "vantor/platform/WholeFile.h"

namespace vantor::shell {

std::optional<std::chrono::milliseconds> ParseSnapshotSeconds(const QString& text) {
  bool ok = false;
  const double seconds = text.trimmed().toDouble(&ok);
  // A day is far more than any run needs and keeps the timer in range.
  if (!ok || !std::isfinite(seconds) || seconds < 0.0 || seconds > 86400.0) return std::nullopt;
  return std::chrono::milliseconds(std::llround(seconds * 1000.0));
}

std::optional<QString> WritePng(const QImage& image, const QString& file) {
  if (image.isNull()) return QStringLiteral("the scope has no picture yet");
  // Encoded first, then written whole: a full disk leaves the previous
  // picture, not a cut one.
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return QStringLiteral("PNG encoding failed");
  QString error;
  if (!WriteWholeFile(file, png, QIODevice::NotOpen, &error)) return error;
  return std::nullopt;
}

ScopeSnapshots::ScopeSnapshots(SnapshotOptions options, std::function<QImage()> render, QObject* parent)
    : QObject(parent), options_(std::move(options)), render_(std::move(render)) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &ScopeSnapshots::Take);
}

void ScopeSnapshots::Start() { timer_.start(options_.after); }

void ScopeSnapshots::Take() {
  if (const auto error = WritePng(render_(), options_.file)) {
    qWarning("Vantor: cannot write the snapshot %s: %s", qPrintable(options_.file), qPrintable(*error));
    Q_EMIT Finished(1);
    return;
  }
  ++written_;
  Q_EMIT Written(options_.file);
  if (options_.every) {
    timer_.start(std::max(*options_.every, std::chrono::milliseconds(100)));
    return;
  }
  Q_EMIT Finished(0);
}

}  // namespace vantor::shell
