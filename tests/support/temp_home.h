#pragma once
// Points HOME, XDG_DATA_HOME and XDG_CONFIG_HOME at a fresh temporary
// folder for the life of the object, so a test writes only there.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TempHome {
 public:
  TempHome();
  ~TempHome();
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  QString Path() const { return dir_.path(); }
  QString DataHome() const { return dir_.path() + "/share"; }
  QString ConfigHome() const { return dir_.path() + "/config"; }

 private:
  QTemporaryDir dir_;
  QByteArray oldHome_, oldData_, oldConfig_;
};

// The source folder's path of a shipped file, as "Data/reserve.ran".
QString SourceFile(const QString& relative);
