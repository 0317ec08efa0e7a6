#include "vantor/net/ServerAddressList.h"

#include <QFile>

#include <algorithm>

#include "vantor/platform/WholeFile.h"

namespace vantor::net {
namespace {

// A byte-order mark is no part of an address; the decoder drops one at the
// start of a line but keeps it elsewhere, so an address holding one would
// not read back as it was written.
QString WithoutByteOrderMarks(QString text) { return text.remove(QChar(0xFEFF)); }

}  // namespace

ServerAddressList::ServerAddressList(QString filePath) : filePath_(std::move(filePath)) {}

void ServerAddressList::Load() {
  QFile file(filePath_);
  // Read as bytes: Qt's text mode drops a CR inside a line on one read and
  // not on another, so an entry would change each time the list is written.
  if (!file.open(QIODevice::ReadOnly)) return;
  while (!file.atEnd()) {
    QString address = WithoutByteOrderMarks(QString::fromUtf8(file.readLine()));
    // A file written on another system may keep its CR before the LF.
    while (address.endsWith('\n') || address.endsWith('\r')) address.chop(1);
    if (address.trimmed().isEmpty()) continue;
    if (!entries_.contains(address)) entries_.append(address);
  }
}

bool ServerAddressList::Confirm(const QString& address) {
  if (address.isEmpty() || entries_.contains(address)) return true;
  entries_.append(address);
  return Write();
}

bool ServerAddressList::Reset() {
  entries_.clear();
  return Write();
}

QStringList ServerAddressList::SortedForDisplay() const {
  QStringList sorted = entries_;
  std::stable_sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
  });
  return sorted;
}

bool ServerAddressList::Write() const {
  // Written whole beside the list and moved into place, so a full disk or an
  // interrupted write never leaves half a list.
  QByteArray text;
  for (const QString& address : entries_) {
    text += address.toUtf8();
    text += '\n';
  }
  return WriteWholeFile(filePath_, text, QIODevice::Text);
}

QString NormalisedAddress(const QString& typed) { return WithoutByteOrderMarks(typed).trimmed(); }

}  // namespace vantor::net
