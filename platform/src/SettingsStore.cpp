#include "vantor/platform/SettingsStore.h"

#include <QSettings>

namespace vantor {

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
  settings_->sync();
  return settings_->status() == QSettings::NoError;
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
