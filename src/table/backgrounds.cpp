#include "table/backgrounds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QPainter>

#include <fcntl.h>
#include <unistd.h>

#include "media/embedded_files.h"
#include "media/folders.h"
#include "media/png_errors.h"
#include "media/png_painting.h"
#include "platform/key_translator.h"
#include "platform/recordfile.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "table/card_table.h"
#include "table/game_state.h"
#include "table/picture_box.h"
#include "table/table_settings.h"

namespace table {

namespace {

constexpr QSize kLargeLogo{307, 131};
constexpr QSize kSmallLogo{162, 90};
constexpr QSize kHandSize{29, 55};
constexpr const char* kHandFiles[2] = {media::kHandDownFile, media::kHandUpFile};
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

QStringList PicturesIn(const QString& folder) {
  QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  QStringList paths;
  for (const QString& n : names)
    if (IsBackgroundFile(n)) paths << folder + n;
  return paths;
}

QString ProblemText(const QString& description) {
  return platform::ProblemText(platform::kFileAccessError, ": " + description);
}

}  // namespace

bool IsBackgroundFile(const QString& name) {
  const QString ext = name.right(3).toUpper();
  return name.size() >= 3 && (ext == "JPG" || ext == "GIF" || ext == "BMP");
}

QString FileNameOnly(const QString& path) { return path.mid(path.lastIndexOf(u'/') + 1); }

QStringList ListBackgroundFiles(const QString& programFolder, const QString& userFolder) {
  return PicturesIn(programFolder) + PicturesIn(userFolder);
}

int StepBackgroundIndex(int index, int count, int key) {
  const int none = count + 1;
  if (key == platform::kVkSpace || key == platform::kVkDown) {
    ++index;
    if (index > none) index = 1;
  } else {
    --index;
    if (index < 1) index = none;
  }
  return index;
}

std::int16_t StepStructure(std::int16_t current, int k) {
  int n = current;
  if (k == platform::kVkDown || k == platform::kVkSpace) {
    n = current + 1;
    if (n > kStructureLast) n = kStructureFirst;
  } else if (k == platform::kVkUp) {
    n = current - 1;
    if (n < kStructureFirst) n = kStructureLast;
  } else {
    n = k;
  }
  return static_cast<std::int16_t>(n >= kStructureFirst && n <= kStructureLast ? n : kStructureFirst);
}

void TileBackground(const QImage& picture, QImage& target) {
  const int w = picture.width(), h = picture.height();
  if (w <= 0 || h <= 0 || target.isNull()) return;
  QPainter p(&target);
  for (int y = 0; y < target.height(); y += h)
    for (int x = 0; x < target.width(); x += w) p.drawImage(x, y, picture);
}

QString StructurePicture(const QString& AppPath, int n) { return AppPath + "Data/" + QString::number(n) + ".dat"; }

QString ReadBackgroundPicture(const QString& path, QImage& picture) {
  // Only a plain file is opened: a FIFO in a picture's place would wait for a writer.
  QString reason;
  const int fd = platform::OpenPlainFile(path, O_RDONLY, &reason);
  if (fd < 0) return "The file cannot be opened: " + reason + ".";
  QFile file;
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return "The file cannot be opened: " + file.errorString() + ".";
  }
  if (file.size() == 0) return QStringLiteral("The file is empty.");
  // The kind of picture is told by its first bytes, not by its name.
  QImageReader reader(&file);
  const QSize declared = reader.size();
  if (declared.isValid() && qint64(declared.width()) * declared.height() > kMaxBackgroundPixels)
    return QString("The picture is %1 x %2 pixels; a background may have at most %3 million pixels.")
        .arg(declared.width())
        .arg(declared.height())
        .arg(kMaxBackgroundPixels / 1'000'000);
  QImage loaded = reader.read();
  if (loaded.isNull()) return "The picture cannot be read: " + reader.errorString() + ".";
  picture = loaded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  return {};
}

QString BackgroundProblemText(const QString& path, const QString& reason) {
  return path + "\r\n\r\n" + reason + "\r\n\r\nThe table shows its plain colour instead.";
}

Backgrounds::Backgrounds(CardTable& table, GameState& state, const TableSettings& settings, platform::UiService& ui,
                         media::Folders& folders, std::int16_t& CurrentStructure, int twipsPerPixel,
                         platform::BuiltLater<BackgroundFollower> follower)
    : table_(table),
      state_(state),
      settings_(settings),
      ui_(ui),
      folders_(folders),
      currentStructure_(CurrentStructure),
      twipsPerPixel_(platform::TwipsPerPixelOrNormal(twipsPerPixel)),
      follower_(std::move(follower)),
      png_(std::make_unique<media::StdPNG>(ui)),
      pictureReports_(std::make_unique<media::PictureReports>(ui)) {}

Backgrounds::~Backgrounds() = default;

void Backgrounds::ClearTablePicture() {
  bare_ = false;
  table_.FormPicture() = QImage();
  table_.SetFormBackColor(settings_.MatColor);
}

bool Backgrounds::TileBackground(QImage& surface) {
  if (!listed_ || picture_.isNull()) return false;
  table::TileBackground(picture_, surface);
  return true;
}

void Backgrounds::LoadBackgroundList(QString& BackgroundName) {
  list_ = ListBackgroundFiles(folders_.AppPath + kProgramBackgrounds, folders_.UserPath + kUserBackgrounds + "/");
  listed_ = true;
  const QString wanted = BackgroundName.trimmed();
  // The stored name is matched against the end of each path, as it always was.
  bool found = false;
  for (int i = 0; i < list_.size() && !wanted.isEmpty(); ++i) {
    if (list_[i].endsWith(wanted)) {
      index_ = i + 1;
      found = true;
      break;
    }
  }
  if (!found && wanted != QLatin1String(kBackgroundNone) && index_ == 0) {
    index_ = 1;
    BackgroundName = list_.isEmpty() ? QString(kBackgroundNone) : FileNameOnly(list_[0]);
  }
  // An index kept from before may point past a list that shrank.
  index_ = std::clamp(index_, 1, BackgroundCount() + 1);
  name_ = BackgroundName.trimmed();
}

void Backgrounds::SetBackgroundIndex(int index) { index_ = std::clamp(index, 0, BackgroundCount() + 1); }

QString Backgrounds::BackgroundList(int index) const {
  return index >= 1 && index <= BackgroundCount() ? list_[index - 1] : QString();
}

void Backgrounds::PaintBackground() {
  paintedSize_ = table_.size().expandedTo(QSize(1, 1));
  paintedColor_ = settings_.MatColor;
  table_.SetFormBackColor(settings_.MatColor);
  RepaintBackground();
  table_.update();
}

void Backgrounds::RepaintBackground() {
  // Painted again rather than kept beside the table's picture: a second
  // window-sized image held for the rare change of structure costs megabytes.
  QImage& canvas = table_.FormPicture();
  canvas = QImage();
  canvas = QImage(paintedSize_, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(ColorFromBgr(paintedColor_));
  if (!picture_.isNull()) table::TileBackground(picture_, canvas);
  bare_ = true;
}

void Backgrounds::ShowBackground() {
  for (int attempt = 0; attempt < 2; ++attempt) {
    picture_ = QImage();
    if (index_ < 1 || index_ > BackgroundCount()) break;  // "None": the mat colour
    const QString path = list_[index_ - 1];
    if (unreadable_.contains(path)) break;
    const QString problem = ReadBackgroundPicture(path, picture_);
    if (problem.isEmpty()) {
      name_ = FileNameOnly(path);
      break;
    }
    // A picture that cannot be loaded: the list is built again and the
    // same picture, while it is still listed, tried once more; after that
    // it shows as "None" for the rest of the run, while the player keeps
    // the name he chose. He is told once, not at every repaint; the file is
    // marked before the box opens, since the table may be laid out again
    // while it is open.
    if (attempt == 0) {
      QString name = name_;
      LoadBackgroundList(name);
      const int at = list_.indexOf(path);
      if (at >= 0) index_ = at + 1;
    } else {
      unreadable_.insert(path);
      const QString told = path + u'\n' + problem;
      if (!toldUnreadable_.contains(told)) {
        toldUnreadable_.insert(told);
        ui_.MsgBox(BackgroundProblemText(path, problem), platform::vbExclamation,
                   QString::fromLatin1(kBackgroundProblemTitle));
      }
    }
  }
  PaintBackground();
  if (!state_.StartingUp) NextStructure(currentStructure_);
  if (!state_.StartingUp && ShowStartLogo) {
    ShowLogo(true);
    ShowStartLogo = false;
  } else if (table_.picLogo && table_.picLogo->isVisible()) {
    ShowLogo(true);
  }
}

void Backgrounds::NextBackground(int key) {
  index_ = StepBackgroundIndex(index_, BackgroundCount(), key);
  ShowBackground();
  if (index_ == BackgroundCount() + 1) {
    name_ = kBackgroundNone;
    if (follower_) follower_->FollowBackground(nullptr, settings_.MatColor);
  } else if (follower_) {
    follower_->FollowBackground(picture_.isNull() ? nullptr : &picture_, settings_.MatColor);
  }
}

void Backgrounds::NextStructure(int k) {
  currentStructure_ = StepStructure(currentStructure_, k);
  // Painted again only when something lies on it: showing the background
  // has just painted it bare.
  if (paintedSize_.isEmpty()) {
    PaintBackground();
  } else if (!bare_) {
    RepaintBackground();
  }
  if (!ShowStructure(currentStructure_) && currentStructure_ != kStructureFirst) {
    currentStructure_ = kStructureFirst;
    RepaintBackground();
    ShowStructure(currentStructure_);
  }
  SetTableauCountColor(currentStructure_ <= kLastLightStructure ? kBlack : kWhite);
  table_.update();
}

void Backgrounds::SetTableauCountColor(std::uint32_t color) {
  for (int i = 1; i <= kSharedPiles; ++i) {
    QLabel* label = table_.lblTabCnt[i];
    if (!label) continue;
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, ColorFromBgr(color));
    label->setPalette(pal);
  }
}

bool Backgrounds::ShowStructure(std::int16_t n) {
  bare_ = false;
  const auto result = media::PaintPngFile(*png_, StructurePicture(folders_.AppPath, n),
                                          media::StructureTarget{&table_.FormPicture(), table_.TableOffsetX(),
                                                                 table_.TableOffsetY(), table_.TableBottom()});
  if (!result.ok() && !structureReported_) {
    structureReported_ = true;
    const media::PngMessage m = media::PngErrorMessage(result.error, result.detail);
    ui_.MsgBox(StructurePicture(folders_.AppPath, n) + "\r\n\r\n" + m.text, platform::vbExclamation, m.title);
  }
  table_.update();
  return result.ok();
}

int Backgrounds::WindowWidthTwips() const {
  const QWidget* w = table_.window();
  const int pixels = w->isVisible() ? w->frameGeometry().width() : w->width();
  return pixels * twipsPerPixel_;
}

void Backgrounds::ShowLogo(bool show) {
  PictureBox* box = table_.picLogo;
  if (!box) return;
  if (!show) {
    box->hide();
    return;
  }
  const bool small = WindowWidthTwips() <= kSmallLogoWidthTwips;
  const QSize size = small ? kSmallLogo : kLargeLogo;
  box->setGeometry(table_.LogoLeft, table_.LogoTop, size.width(), size.height());
  QImage image;
  const QString file = folders_.DataPath + (small ? media::kSmallLogoFile : media::kLogoFile);
  const auto result =
      media::PaintPngFile(*png_, file, media::BoxTarget{&image, &table_.FormPicture(), box->pos(), size});
  pictureReports_->Report(file, result);
  if (!result.ok()) return;
  box->SetPicture(image);
  box->show();
  box->raise();
}

void Backgrounds::ShowHand() {
  for (int k = 0; k < 2; ++k) {
    PictureBox* box = table_.picHand[k];
    if (!box) continue;
    box->resize(kHandSize);
    QImage image;
    const QString file = folders_.DataPath + kHandFiles[k];
    const auto result =
        media::PaintPngFile(*png_, file, media::BoxTarget{&image, &table_.FormPicture(), box->pos(), kHandSize});
    pictureReports_->Report(file, result);
    if (result.ok()) box->SetPicture(image);
  }
}

void Backgrounds::ManageBackground(const QString& action) {
  const bool adding = action == "Add";
  const QString userFolder = folders_.UserPath + kUserBackgrounds;
  QString start = adding ? media::GetPictureFolder(folders_) : userFolder;
  if (adding && start.isEmpty()) start = folders_.DocsPath;
  const std::optional<platform::ChosenFile> picked =
      ui_.GetOpenFileName({action.toUpper() + " Background Picture", start, kPictureFilter});
  if (!picked || picked->path.isEmpty()) return;
  const QString chosen = picked->path;
  const QFileInfo file(chosen);
  const QString title = file.fileName();
  bool showAfter = true;

  if (adding) {
    if (title.size() > kMaxBackgroundName) {
      // The player record keeps 40 characters: a longer name could never be found again.
      ui_.MsgBox(ProblemText("The picture's name \"" + title + "\" is longer than " +
                             QString::number(kMaxBackgroundName) + " characters. Please rename it first."),
                 platform::vbExclamation, QString());
      return;
    }
    if (!QDir().mkpath(userFolder)) {
      ui_.MsgBox(ProblemText("Cannot create the folder " + userFolder), platform::vbExclamation, QString());
      return;
    }
    const QString target = userFolder + "/" + title;
    if (file.absoluteFilePath().toUpper() != QFileInfo(target).absoluteFilePath().toUpper()) {
      // A picture of the same name is replaced, and kept as it was when the
      // copy fails.
      const QString problem = platform::CopyWholeFile(chosen, target, true);
      if (!problem.isEmpty()) {
        ui_.MsgBox(ProblemText("The picture could not be copied to " + target + ": " + problem),
                   platform::vbExclamation, QString());
        return;
      }
      QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    }
    // The picture now there is tried, and told of, afresh, even when it or
    // one of its name could not be shown before.
    unreadable_.remove(target);
    toldUnreadable_.removeIf([&](const QString& told) { return told.startsWith(target + u'\n'); });
    name_ = title;
    media::SetPictureFolder(folders_, file.absolutePath());
  } else {
    // Only the player's own added pictures may be deleted.
    if (QFileInfo(file.absolutePath()).canonicalFilePath() != QFileInfo(userFolder).canonicalFilePath()) {
      ui_.MsgBox(ProblemText("Only pictures in " + userFolder + " can be removed."), platform::vbExclamation,
                 QString());
      return;
    }
    if (ui_.MsgBox("Are you sure you want to * DELETE * this background?",
                   platform::vbYesNo | platform::vbQuestion | platform::vbDefaultButton2,
                   "Delete Background") != platform::vbYes)
      return;
    QFile victim(chosen);
    if (!victim.remove()) {
      ui_.MsgBox(ProblemText("The picture " + chosen + " could not be deleted: " + victim.errorString()),
                 platform::vbExclamation, QString());
      return;
    }
    if (title == name_) {
      name_ = kBackgroundRemoved;
      index_ = 0;
    } else {
      showAfter = false;
    }
  }
  QString name = name_;
  const QString current = BackgroundList(index_);
  LoadBackgroundList(name);
  // The current picture keeps its place in the rebuilt list.
  if (!showAfter && !current.isEmpty()) {
    const int at = list_.indexOf(current);
    if (at >= 0) index_ = at + 1;
  }
  if (showAfter) ShowBackground();
}

}  // namespace table
