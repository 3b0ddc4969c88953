#pragma once
// The small window shown while the program starts: the logo, the program's
// own card back, the version and the legal notice, in a frame captioned
// "loading...". A key or a click on the frame closes it early.

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "play/start_up.h"

class QGroupBox;
class QLabel;

namespace media {
class PictureReports;
class StdPNG;
}  // namespace media
namespace platform {
class UiService;
}
namespace table {
class PictureBox;
}

namespace dialogs {

// "Version 4.0.0".
QString VersionText(int major, int minor, int revision);

class FrmSplash : public QWidget {
  Q_OBJECT
 public:
  // DataPath holds "splash.tmp"; cardBack is the program's own back. A
  // logo that cannot be painted is told of through reports, when given.
  FrmSplash(const QString& DataPath, const QImage& cardBack, bool LargeFonts, platform::UiService& ui,
            QWidget* parent = nullptr, media::PictureReports* reports = nullptr);
  ~FrmSplash() override;

  QGroupBox* Frame1 = nullptr;
  table::PictureBox* picLogoSplash = nullptr;
  QLabel* FilePic = nullptr;
  QLabel* lblVersion = nullptr;
  QLabel* lblLegal = nullptr;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::unique_ptr<media::StdPNG> png_;
};

// The splash as start-up sees it: shown, unloaded, open or not. The window
// is deleted later, never inside its own handler.
class SplashHolder : public play::SplashWindow {
 public:
  // cardBack is read when the splash is shown.
  SplashHolder(QString DataPath, const QImage* cardBack, bool LargeFonts, platform::UiService& ui,
               media::PictureReports* reports = nullptr)
      : dataPath_(std::move(DataPath)), back_(cardBack), largeFonts_(LargeFonts), ui_(ui), reports_(reports) {}
  ~SplashHolder() override;
  void Show() override;
  void Unload() override;
  bool IsOpen() const override;
  FrmSplash* Window() const { return frmSplash_; }

 private:
  QString dataPath_;
  const QImage* back_;
  bool largeFonts_;
  platform::UiService& ui_;
  media::PictureReports* reports_;
  QPointer<FrmSplash> frmSplash_;
};

}  // namespace dialogs
