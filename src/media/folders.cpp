#include "media/folders.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>

#include "media/embedded_files.h"
#include "media/music_list_file.h"
#include "platform/recordfile.h"
#include "platform/system.h"
#include "platform/version.h"

namespace media {

namespace {

constexpr char kSeedFolder[] = "Data/seed";
constexpr char kUserSeedFolder[] = "Data/user-seed";

// The root of the per-user data folders by the XDG rules: $XDG_DATA_HOME
// when it is an absolute path, else $HOME/.local/share; empty when neither
// can be had.
QString XdgDataHome() {
  const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
  if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return QDir::cleanPath(xdg);
  const QString home = qEnvironmentVariable("HOME");
  if (home.isEmpty() || !QDir::isAbsolutePath(home)) return {};
  return QDir::cleanPath(home + "/.local/share");
}

bool HasWildcards(const QString& s) { return s.contains('*') || s.contains('?'); }

// Only * and ? are wildcards; every other character stands for itself.
QRegularExpression WildcardPattern(const QString& pattern) {
  QString rx;
  for (const QChar c : pattern) {
    if (c == '*')
      rx += ".*";
    else if (c == '?')
      rx += '.';
    else
      rx += QRegularExpression::escape(QString(c));
  }
  return QRegularExpression(QRegularExpression::anchoredPattern(rx), QRegularExpression::DotMatchesEverythingOption);
}

// A name the program may create inside one of its folders: one level, not
// hidden, not climbing out.
bool IsBareName(const QString& name) { return !name.isEmpty() && !name.contains('/') && !name.startsWith('.'); }

}  // namespace

QString GetAppDataFolder() {
  const QString root = XdgDataHome();
  if (root.isEmpty()) return {};
  return QDir::cleanPath(root + "/" + platform::kMakerName + "/" + platform::kProgramTitle);
}

QString GetSpecialFolder(int csidl, const QString& programFolder) {
  QString folder;
  if (csidl == kCsidlPersonal)
    folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  else if (csidl == kCsidlAppData)
    folder = XdgDataHome();
  if (folder.isEmpty()) folder = programFolder;
  return folder.size() > 1 && folder.endsWith('/') ? folder.chopped(1) : folder;
}

QString AddBackslash(const QString& path) { return path.endsWith('/') ? path : path + '/'; }

QString StripBackslash(const QString& path) {
  QString s = path;
  while (s.startsWith(' ')) s.remove(0, 1);
  while (s.endsWith(' ')) s.chop(1);
  if (s.endsWith('/')) s.chop(1);
  return s;
}

bool FileExists(const QString& path) {
  if (path.isEmpty()) return false;
  const int slash = path.lastIndexOf('/');
  const QString name = path.mid(slash + 1);
  if (!HasWildcards(name)) return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
  const QString folder = slash < 0 ? QStringLiteral(".") : slash == 0 ? QStringLiteral("/") : path.left(slash);
  const QRegularExpression rx = WildcardPattern(name);
  const QStringList entries =
      QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& entry : entries)
    if (rx.match(entry).hasMatch()) return true;
  return false;
}

bool FolderExists(QString& path) {
  path = StripBackslash(path);
  if (path.isEmpty()) return false;
  return QFileInfo(path).isDir();
}

bool EnsureFolder(const Folders& folders, const QString& name) {
  if (folders.UserPath.isEmpty() || !IsBareName(name)) return false;
  QString path = folders.UserPath + name;
  if (FolderExists(path)) return true;
  return QDir().mkdir(path);
}

void SetPictureFolder(Folders& folders, const QString& folder) { folders.LastPictureFolder = folder; }

QString GetPictureFolder(const Folders& folders) { return folders.LastPictureFolder; }

std::optional<Folders> SetUpFolders(const QString& programFolder) {
  const QString base = GetAppDataFolder();
  if (base.isEmpty()) return std::nullopt;
  Folders f;
  f.AppPath = AddBackslash(programFolder);
  f.DataPath = base + "/Data/";
  f.UserPath = base + "/User/";
  f.DocsPath = AddBackslash(GetSpecialFolder(kCsidlPersonal, programFolder));
  return f;
}

void RemoveStaleTemporaries(const Folders& folders, QStringList dataNames) {
  if (folders.DataPath.isEmpty() || folders.UserPath.isEmpty()) return;
  dataNames += QDir(folders.AppPath + kSeedFolder).entryList(QDir::Files | QDir::Hidden);
  for (const PngResourceFile& picture : kPngResourceFiles) dataNames << QString::fromLatin1(picture.fileName);
  for (int n = kFirstSoundResource; n <= kLastSoundResource; ++n) dataNames << SoundResourceFile(n);
  platform::RemoveStaleTemporaries(folders.DataPath, dataNames);
  QStringList userNames = QDir(folders.AppPath + kUserSeedFolder).entryList(QDir::Files | QDir::Hidden);
  userNames << QString::fromLatin1(kMusicListFile);
  platform::RemoveStaleTemporaries(folders.UserPath, userNames);
}

SeedCopy CopySeedFiles(const Folders& folders) {
  SeedCopy result;
  if (folders.DataPath.isEmpty() || folders.UserPath.isEmpty() || folders.AppPath.isEmpty()) {
    result.failed << QStringLiteral("(folders not set)");
    return result;
  }
  // The first failure is told with the system's reason, a full or
  // read-only disk for one.
  const auto failedIn = [&result](const QString& folder, const QString& what, const QString& error) {
    if (result.ok()) {
      result.folder = QDir::cleanPath(folder);
      result.reason = platform::FolderWriteProblem(folder, &result.folder);
      if (result.reason.isEmpty()) result.reason = error;
    }
    result.failed << what;
  };
  for (const QString& folder : {folders.DataPath, folders.UserPath}) {
    if (!QDir().mkpath(folder)) failedIn(folder, folder, QString());
  }
  if (!result.ok()) return result;

  // Each copy's bytes reach the disk before its name; the names of a
  // folder are forced to the disk once, after all its copies.
  QSet<QString> madeIn;
  const auto copyInto = [&result, &failedIn, &madeIn](const QString& seed, const QString& into, const QString& prefix) {
    const QDir seedDir(seed);
    QDirIterator it(seed, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString source = it.next();
      const QString relative = seedDir.relativeFilePath(source);
      const QString target = into + relative;
      const QFileInfo info(target);
      if (info.exists() || info.isSymLink()) continue;
      // Never over an existing file, and through a temporary file so that a
      // failed copy leaves no half file behind.
      const bool folderMade = QDir().mkpath(info.absolutePath());
      const QString problem = folderMade ? platform::CopyNewFileSyncFolderLater(source, target) : QString();
      if (folderMade && problem.isEmpty()) {
        madeIn.insert(info.absolutePath());
        // An installed seed may be read-only; the player's copy must not be.
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        result.copied << prefix + relative;
      } else {
        failedIn(info.absolutePath(), prefix + relative, problem);
      }
    }
  };
  copyInto(folders.AppPath + kSeedFolder, folders.DataPath, QString());
  copyInto(folders.AppPath + kUserSeedFolder, folders.UserPath, QStringLiteral("User/"));
  for (const QString& folder : madeIn) platform::SyncFolder(folder);
  return result;
}

}  // namespace media
