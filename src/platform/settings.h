#pragma once
// The settings store that stands in for the registry's GetSetting and
// SaveSetting: one INI file per application name under $XDG_CONFIG_HOME,
// the section as the INI group. A missing or malformed value reads as the
// caller's default.

#include <QString>

#include "platform/version.h"

namespace platform {

// The program's own settings: the maker's file, the program's section.
inline constexpr const char* kSettingsApp = kMakerName;
inline constexpr char kSettingsSection[] = "Marrowdale4";

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual QString GetSetting(const QString& app, const QString& section, const QString& key,
                             const QString& defaultValue) const = 0;
  virtual void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value) = 0;
  // A whole number, or the default when the value is missing or not a number.
  long long GetNumber(const QString& app, const QString& section, const QString& key, long long defaultValue) const;
};

class IniSettingsStore : public SettingsStore {
 public:
  // configHome: the folder the INI files live in; empty means
  // $XDG_CONFIG_HOME (default ~/.config).
  explicit IniSettingsStore(QString configHome = {});
  QString GetSetting(const QString& app, const QString& section, const QString& key,
                     const QString& defaultValue) const override;
  void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value) override;
  QString FileFor(const QString& app) const;

 private:
  QString configHome_;
};

}  // namespace platform
