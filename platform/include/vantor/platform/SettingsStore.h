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
  static std::unique_ptr<SettingsStore> openUser(const QString& application);
  // The INI file at `path` (created on the first write).
  static std::unique_ptr<SettingsStore> openFile(const QString& path);
  // openFile(path) when `path` is not empty, openUser(application) otherwise.
  static std::unique_ptr<SettingsStore> open(const QString& application, const QString& path);

  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  bool contains(const QString& section, const QString& name) const;
  // Integer values: a stored text converts by its leading digits, as the
  // profile functions do; no value gives the default.
  int readInt(const QString& section, const QString& name, int defaultValue) const;
  QString readString(const QString& section, const QString& name, const QString& defaultValue) const;
  void writeInt(const QString& section, const QString& name, int value);
  void writeString(const QString& section, const QString& name, const QString& value);
  void remove(const QString& section, const QString& name);
  // Flushes pending writes; true when the store was written without error.
  bool sync();

  QString location() const;

 private:
  explicit SettingsStore(std::unique_ptr<QSettings> settings);
  // The stored spelling of a section or value name that matches `name`
  // without regard to case, or `name` itself when none is stored yet.
  QString storedSection(const QString& section) const;
  QString storedKey(const QString& section, const QString& name) const;

  std::unique_ptr<QSettings> settings_;
};

// Leading-digit integer conversion of a profile string (optional blanks and
// sign, then digits; 0 when none), as GetProfileInt does.
int ProfileTextToInt(const QString& text);

}  // namespace vantor
