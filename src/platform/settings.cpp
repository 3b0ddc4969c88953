#include "platform/settings.h"

#include <QDir>
#include <QSettings>
#include <QStringList>

namespace platform {

namespace {

QString DefaultConfigHome() {
  // The XDG rule: a relative $XDG_CONFIG_HOME is ignored.
  const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return xdg;
  return QDir::homePath() + QStringLiteral("/.config");
}

// The application name becomes a file name: it must stay inside the folder.
QString SafeFileName(QString app) {
  app.replace(u'/', u'_');
  app.replace(QChar(0), u'_');
  if (app.isEmpty() || app.startsWith(u'.')) app.prepend(u'_');
  return app;
}

}  // namespace

long long SettingsStore::GetNumber(const QString& app, const QString& section, const QString& key,
                                   long long defaultValue) const {
  const QString text = GetSetting(app, section, key, QString()).trimmed();
  bool ok = false;
  const long long v = text.toLongLong(&ok);
  return ok ? v : defaultValue;
}

IniSettingsStore::IniSettingsStore(QString configHome)
    : configHome_(configHome.isEmpty() ? DefaultConfigHome() : std::move(configHome)) {}

QString IniSettingsStore::FileFor(const QString& app) const {
  return configHome_ + u'/' + SafeFileName(app) + QStringLiteral(".ini");
}

QString IniSettingsStore::GetSetting(const QString& app, const QString& section, const QString& key,
                                     const QString& defaultValue) const {
  // A file with a malformed line still gives the values it holds.
  QSettings ini(FileFor(app), QSettings::IniFormat);
  ini.beginGroup(section);
  const QVariant v = ini.value(key);
  if (!v.isValid()) return defaultValue;
  // An unquoted value with commas in a hand-edited file reads as a list.
  if (v.metaType().id() == QMetaType::QStringList) return v.toStringList().join(u',');
  if (!v.canConvert<QString>()) return defaultValue;
  return v.toString();
}

void IniSettingsStore::SaveSetting(const QString& app, const QString& section, const QString& key,
                                   const QString& value) {
  QDir().mkpath(configHome_);
  QSettings ini(FileFor(app), QSettings::IniFormat);
  ini.beginGroup(section);
  ini.setValue(key, value);
  ini.endGroup();
  // Nothing to report: as with the registry, a setting that cannot be kept
  // reads back as its default next time.
  ini.sync();
}

}  // namespace platform
