#include "dialogs/frm_splash.h"

#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "media/embedded_files.h"
#include "media/png_painting.h"
#include "platform/version.h"
#include "table/picture_box.h"
#include "table/table_geometry.h"

namespace dialogs {

namespace {

constexpr QSize kLogoSize{162, 90};
constexpr QSize kBackSize{table::CardWidth, table::CardHeight};
constexpr QSize kWindowSize{420, 200};

}  // namespace

QString VersionText(int major, int minor, int revision) {
  return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

FrmSplash::FrmSplash(const QString& DataPath, const QImage& cardBack, bool LargeFonts, platform::UiService& ui,
                     QWidget* parent, media::PictureReports* reports)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), png_(std::make_unique<media::StdPNG>(ui)) {
  setObjectName("frmSplash");
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(kWindowSize);
  setStyleSheet("FrmSplash { background: #f4ecd8; border: 2px solid #6b4a1c; }");
  setAttribute(Qt::WA_StyledBackground);

  Frame1 = new QGroupBox("loading...", this);
  Frame1->setGeometry(8, 4, kWindowSize.width() - 16, kWindowSize.height() - 12);
  Frame1->installEventFilter(this);

  picLogoSplash = new table::PictureBox(table::PileControl::None, 0, Frame1);
  picLogoSplash->setObjectName("picLogoSplash");
  picLogoSplash->setGeometry(16, 24, kLogoSize.width(), kLogoSize.height());
  QImage logo(kLogoSize, QImage::Format_ARGB32_Premultiplied);
  logo.fill(Qt::transparent);
  const QString logoFile = DataPath + media::kSmallLogoFile;
  const auto painted = media::PaintPngFile(*png_, logoFile, media::SplashLogoTarget{&logo});
  if (reports) reports->Report(logoFile, painted);
  if (painted.ok()) picLogoSplash->SetPicture(logo);

  FilePic = new QLabel(Frame1);
  FilePic->setObjectName("FilePic");
  FilePic->setGeometry(Frame1->width() - kBackSize.width() - 20, 24, kBackSize.width(), kBackSize.height());
  // Under large fonts the back is scaled into the box; otherwise it is the
  // box's picture as it is.
  if (!cardBack.isNull())
    FilePic->setPixmap(QPixmap::fromImage(
        LargeFonts ? cardBack.scaled(kBackSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation) : cardBack));

  lblVersion = new QLabel("Version", Frame1);
  lblVersion->setObjectName("lblVersion");
  lblVersion->setGeometry(16, 120, 260, 18);
  lblVersion->setText(VersionText(platform::kVersionMajor, platform::kVersionMinor, platform::kVersionRevision));

  lblLegal = new QLabel(Frame1);
  lblLegal->setObjectName("lblLegal");
  lblLegal->setWordWrap(true);
  lblLegal->setGeometry(16, 138, Frame1->width() - 32, 44);
  QFont small = lblLegal->font();
  small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.8));
  lblLegal->setFont(small);
  lblLegal->setText(QString::fromLatin1(platform::kLegalNotice));
}

FrmSplash::~FrmSplash() = default;

void FrmSplash::keyPressEvent(QKeyEvent*) { close(); }

bool FrmSplash::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Frame1 && event->type() == QEvent::MouseButtonPress) {
    close();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

SplashHolder::~SplashHolder() {
  if (frmSplash_) delete frmSplash_.data();
}

void SplashHolder::Show() {
  if (!frmSplash_)
    frmSplash_ = new FrmSplash(dataPath_, back_ ? *back_ : QImage(), largeFonts_, ui_, nullptr, reports_);
  frmSplash_->show();
  frmSplash_->raise();
}

void SplashHolder::Unload() {
  if (frmSplash_) {
    frmSplash_->hide();
    frmSplash_->deleteLater();
    frmSplash_ = nullptr;
  }
}

bool SplashHolder::IsOpen() const { return frmSplash_ && frmSplash_->isVisible(); }

}  // namespace dialogs
