#include "vantor/platform/SettingsStore.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <filesystem>
#include <map>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "vantor/platform/WholeFile.h"

namespace vantor {

namespace {

// The bytes of a store kept in a file: null bytes when the file does not
// exist yet, nullopt when the store is no file (the registry).
std::optional<QByteArray> StoredFile(const QString& location, QSettings::Format format) {
#if defined(Q_OS_WIN) || defined(Q_OS_APPLE)
  if (format == QSettings::NativeFormat) return std::nullopt;
#else
  (void)format;
#endif
  QFile file(location);
  if (!file.exists()) return QByteArray();
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray bytes = file.readAll();
  if (bytes.isNull()) bytes = QByteArray("");  // present but empty
  return bytes;
}

// What the file at `location` holds, read by an object of its own over a
// copy: objects over one file share their contents, so reading the file
// itself would only show what was meant to be written.
std::optional<std::map<QString, QString>> ReadBack(const QString& location, QSettings::Format format) {
  QFile file(location);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  QTemporaryDir folder;
  const QString copy = folder.filePath("copy");
  if (!folder.isValid() || !WriteWholeFile(copy, bytes)) return std::nullopt;
  const QSettings settings(copy, format);
  std::map<QString, QString> values;
  const QStringList keys = settings.allKeys();
  for (const QString& key : keys) values.emplace(key, settings.value(key).toString());
  if (settings.status() != QSettings::NoError) return std::nullopt;
  return values;
}

}  // namespace

SettingsStore::SettingsStore(std::unique_ptr<QSettings> settings) : settings_(std::move(settings)) {}

SettingsStore::~SettingsStore() = default;

std::unique_ptr<SettingsStore> SettingsStore::OpenUser(const QString& application) {
#ifdef Q_OS_WIN
  // The registry compares key names without regard to case by itself.
  const QString appKey = application;
#else
  // One file per application whatever the spelling the caller uses.
  const QString appKey = application.toLower();
#endif
  return std::unique_ptr<SettingsStore>(
      new SettingsStore(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "VANTOR", appKey)));
}

std::unique_ptr<SettingsStore> SettingsStore::OpenFile(const QString& path) {
  return std::unique_ptr<SettingsStore>(new SettingsStore(std::make_unique<QSettings>(path, QSettings::IniFormat)));
}

std::unique_ptr<SettingsStore> SettingsStore::Open(const QString& application, const QString& path) {
  return path.isEmpty() ? OpenUser(application) : OpenFile(path);
}

QString SettingsStore::StoredSection(const QString& section) const {
  const QStringList groups = settings_->childGroups();
  for (const QString& group : groups) {
    if (group.compare(section, Qt::CaseInsensitive) == 0) return group;
  }
  return section;
}

QString SettingsStore::StoredKey(const QString& section, const QString& name) const {
  settings_->beginGroup(StoredSection(section));
  const QStringList keys = settings_->childKeys();
  settings_->endGroup();
  for (const QString& key : keys) {
    if (key.compare(name, Qt::CaseInsensitive) == 0) return key;
  }
  return name;
}

bool SettingsStore::Contains(const QString& section, const QString& name) const {
  return settings_->contains(StoredSection(section) + '/' + StoredKey(section, name));
}

int SettingsStore::ReadInt(const QString& section, const QString& name, int defaultValue) const {
  const QVariant value = settings_->value(StoredSection(section) + '/' + StoredKey(section, name));
  if (!value.isValid()) return defaultValue;
  return ProfileTextToInt(value.toString());
}

QString SettingsStore::ReadString(const QString& section, const QString& name, const QString& defaultValue) const {
  const QVariant value = settings_->value(StoredSection(section) + '/' + StoredKey(section, name));
  if (!value.isValid()) return defaultValue;
  return value.toString();
}

void SettingsStore::WriteInt(const QString& section, const QString& name, int value) {
  settings_->setValue(StoredSection(section) + '/' + StoredKey(section, name), value);
}

void SettingsStore::WriteString(const QString& section, const QString& name, const QString& value) {
  settings_->setValue(StoredSection(section) + '/' + StoredKey(section, name), value);
}

void SettingsStore::Remove(const QString& section, const QString& name) {
  settings_->remove(StoredSection(section) + '/' + StoredKey(section, name));
}

bool SettingsStore::Sync() {
  if (failed_) Renew();
  const QString location = settings_->fileName();
  const std::optional<QByteArray> previous = StoredFile(location, settings_->format());
  // A second name for the file as it is: putting it back after a cut write
  // then needs no free space, which a full disk does not have.
  const std::filesystem::path file = location.toStdU16String();
  const std::filesystem::path kept = (location + QStringLiteral(".kept")).toStdU16String();
  std::error_code error;
  std::filesystem::remove(kept, error);
  const bool linked = previous && !previous->isNull() && (std::filesystem::create_hard_link(file, kept, error), !error);
  settings_->sync();
  failed_ = settings_->status() != QSettings::NoError || !WrittenWhole();
  if (failed_ && previous) {
    // QSaveFile, which QSettings writes through, ignores the error of its
    // last flush: on a full disk it puts a cut file in place of the old one.
    if (linked) {
      std::filesystem::rename(kept, file, error);
    } else if (previous->isNull()) {
      QFile::remove(location);
    } else if (!WriteWholeFile(location, *previous)) {
      QFile::remove(location);  // frees the cut file's space for the old one
      WriteWholeFile(location, *previous);
    }
  }
  std::filesystem::remove(kept, error);
  return !failed_;
}

bool SettingsStore::WrittenWhole() const {
  const QString location = settings_->fileName();
  if (!StoredFile(location, settings_->format())) return true;  // not a file: nothing to compare
  const std::optional<std::map<QString, QString>> written = ReadBack(location, settings_->format());
  if (!written) return false;
  const QStringList keys = settings_->allKeys();
  if (written->size() != static_cast<std::size_t>(keys.size())) return false;
  for (const QString& key : keys) {
    const auto found = written->find(key);
    if (found == written->end() || found->second != settings_->value(key).toString()) return false;
  }
  return true;
}

// QSettings keeps its first error for good, so a write that works after a
// failed one would still read as failed. A fresh object over the same store
// (made once the store may take writes again), holding the same values as
// pending changes, reports the next write on its own.
void SettingsStore::Renew() {
  // Objects over one file share its contents: the values are taken first.
  std::vector<std::pair<QString, QVariant>> values;
  const QStringList keys = settings_->allKeys();
  for (const QString& key : keys) values.emplace_back(key, settings_->value(key));
  const QString location = settings_->fileName();
  const QSettings::Format format = settings_->format();
  settings_.reset();
  settings_ = std::make_unique<QSettings>(location, format);
  settings_->clear();
  for (const auto& [key, value] : values) settings_->setValue(key, value);
}

QString SettingsStore::Location() const { return settings_->fileName(); }

int ProfileTextToInt(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) {
    value = value * 10 + (text[i].unicode() - '0');
    if (value > 0x7fffffffLL) value = 0x80000000LL;  // saturate, never overflow
    ++i;
  }
  if (negative) value = -value;
  if (value > 0x7fffffffLL) value = 0x7fffffffLL;
  return static_cast<int>(value);
}

}  // namespace vantor
