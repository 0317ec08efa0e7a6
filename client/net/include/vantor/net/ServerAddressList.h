#pragma once
// The addresses of the servers used before, kept in "Configsrv.cfg" in the
// working folder: one address per line, in the order they were first used.

#include <QString>
#include <QStringList>

namespace vantor::net {

inline constexpr const char* kServerListFileName = "Configsrv.cfg";

class ServerAddressList {
 public:
  // The list file; "Configsrv.cfg" in the working folder by default.
  explicit ServerAddressList(QString filePath = QString::fromLatin1(kServerListFileName));

  // Reads the file: each line not already listed (exact, case-sensitive
  // comparison) is appended. A missing or unreadable file gives an empty
  // list; blank lines are skipped.
  void Load();

  // The address chosen in the dialog. One that is not listed yet is
  // appended and the file rewritten; a listed one leaves the file untouched.
  // Returns false only when the file had to be written and could not be.
  bool Confirm(const QString& address);

  // Empties the list and the file.
  bool Reset();

  bool Contains(const QString& address) const { return entries_.contains(address); }
  // In file order.
  const QStringList& Entries() const { return entries_; }
  // As the dialog's drop-down shows them: sorted without regard to case.
  QStringList SortedForDisplay() const;
  const QString& FilePath() const { return filePath_; }

 private:
  bool Write() const;

  QString filePath_;
  QStringList entries_;
};

// What a typed address means: surrounding blanks and byte-order marks are
// not part of it.
QString NormalisedAddress(const QString& typed);

}  // namespace vantor::net
