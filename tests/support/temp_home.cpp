#include "support/temp_home.h"

#include <QDir>

TempHome::TempHome()
    : oldHome_(qgetenv("HOME")), oldData_(qgetenv("XDG_DATA_HOME")), oldConfig_(qgetenv("XDG_CONFIG_HOME")) {
  QDir().mkpath(DataHome());
  QDir().mkpath(ConfigHome());
  qputenv("HOME", Path().toUtf8());
  qputenv("XDG_DATA_HOME", DataHome().toUtf8());
  qputenv("XDG_CONFIG_HOME", ConfigHome().toUtf8());
}

TempHome::~TempHome() {
  qputenv("HOME", oldHome_);
  qputenv("XDG_DATA_HOME", oldData_);
  qputenv("XDG_CONFIG_HOME", oldConfig_);
}

QString SourceFile(const QString& relative) { return QStringLiteral(MARROWDALE_SOURCE_DIR) + "/" + relative; }
