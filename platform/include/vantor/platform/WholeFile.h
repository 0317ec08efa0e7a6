#pragma once
// Replacing a file whole: written beside it and renamed over it, so a full
// disk, a read-only folder or a crash leaves the previous file as it was.

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace vantor {

// Writes `bytes` (text mode: line ends as the platform writes them) and
// renames the result over `path`. False, with the reason in `error`, when any
// of it fails; `path` is then untouched. QSaveFile alone is not enough: it
// commits a file cut short by a full disk as if it were whole.
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode = QIODevice::NotOpen,
                    QString* error = nullptr);

}  // namespace vantor
