#include "vantor/platform/WholeFile.h"

#include <QSaveFile>

namespace vantor {

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode, QString* error) {
  QSaveFile file(path);
  // Unbuffered, so that a short write shows in the count write returns.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered | mode)) {
    if (error) *error = file.errorString();
    return false;
  }
  if (file.write(bytes) != bytes.size()) {
    if (error) *error = file.errorString();
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) {
    if (error) *error = file.errorString();
    return false;
  }
  return true;
}

}  // namespace vantor
