#pragma once
// Profile-style settings under the company key "VANTOR".
//
// On Windows the store is the registry (HKEY_CURRENT_USER\Software\VANTOR\<app>),
// elsewhere QSettings' native files. Application names, section names and value
// names compare without regard to case on every platform, as they do in the
// registry: "Rivak"/"rivak" are one application, "config"/"Config" one section.
// A store opened on a file reads and writes that INI file instead, whatever the
// application (tests, dedicated hosts, portable installs).

#include <QString>

#include <memory>

class QSettings;

namespace vantor {

class SettingsStore {
 public:
  // The current user's store of `application` (organisation "VANTOR").
  static std::unique_ptr<SettingsStore> OpenUser(const QString& application);
  // The INI file at `path` (created on the first write).
  static std::unique_ptr<SettingsStore> OpenFile(const QString& path);
  // OpenFile(path) when `path` is not empty, OpenUser(application) otherwise.
  static std::unique_ptr<SettingsStore> Open(const QString& application, const QString& path);

  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  bool Contains(const QString& section, const QString& name) const;
  // Integer values: a stored text converts by its leading digits, as the
  // profile functions do; no value gives the default.
  int ReadInt(const QString& section, const QString& name, int defaultValue) const;
  QString ReadString(const QString& section, const QString& name, const QString& defaultValue) const;
  void WriteInt(const QString& section, const QString& name, int value);
  void WriteString(const QString& section, const QString& name, const QString& value);
  void Remove(const QString& section, const QString& name);
  // Flushes pending writes; true when the store was written without error.
  // A store that cannot be written keeps its previous content (the file is
  // written beside it and renamed) and the values stay pending for the next
  // call.
  bool Sync();

  QString Location() const;

 private:
  explicit SettingsStore(std::unique_ptr<QSettings> settings);
  // The stored spelling of a section or value name that matches `name`
  // without regard to case, or `name` itself when none is stored yet.
  QString StoredSection(const QString& section) const;
  QString StoredKey(const QString& section, const QString& name) const;

  // Replaces settings_ after a failed write; see Sync.
  void Renew();
  // Whether the store's file holds every value as this object has it.
  bool WrittenWhole() const;

  std::unique_ptr<QSettings> settings_;
  bool failed_ = false;  // the last write failed
};

// Leading-digit integer conversion of a profile string (optional blanks and
// sign, then digits; 0 when none), as GetProfileInt does.
int ProfileTextToInt(const QString& text);

}  // namespace vantor
