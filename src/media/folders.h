#pragma once
// The program's folders and the small path operations the rest of the
// program builds, tests and creates paths with. Paths use "/" and the four
// folders end in "/" once start-up has set them.

#include <QString>
#include <QStringList>
#include <optional>

namespace media {

struct Folders {
  QString AppPath;            // the program's folder; shipped data under "Data/"
  QString DataPath;           // per-user data: the record files, the temporary sound and picture files
  QString UserPath;           // per-user folder: the play list, "Net/", the user's own added files
  QString DocsPath;           // the user's documents folder
  QString LastPictureFolder;  // folder of the last background picture added in this run
};

// Shell folder numbers the program asks for.
inline constexpr int kCsidlPersonal = 5;  // the user's documents
inline constexpr int kCsidlAppData = 26;  // the per-user application data

// The per-user application-data folder ($XDG_DATA_HOME, else
// ~/.local/share) + "/Brackwell/Marrowdale", without a trailing "/"; empty
// when there is no such folder to be had.
QString GetAppDataFolder();

// The folder for a shell folder number (the documents folder for 5, the
// application-data folder for 26), without a trailing "/"; programFolder
// when it cannot be located.
QString GetSpecialFolder(int csidl, const QString& programFolder);

// The path with "/" appended unless it already ends in one ("" gives "/").
QString AddBackslash(const QString& path);
// Blanks trimmed from both ends, then one trailing "/" removed.
QString StripBackslash(const QString& path);

// True when a file-system entry (file or folder) matches the path; the last
// part of the path may hold the wildcards * and ? (nothing else is special).
bool FileExists(const QString& path);
// Replaces the path by StripBackslash of it, then answers whether it names
// a folder.
bool FolderExists(QString& path);
// Creates UserPath + name (one level, a bare name) when it is missing.
// False when it is missing and cannot be created.
bool EnsureFolder(const Folders& folders, const QString& name);

void SetPictureFolder(Folders& folders, const QString& folder);
QString GetPictureFolder(const Folders& folders);

// The four folders as start-up sets them, from the program's folder.
// Nothing when no application-data folder can be had: the start must stop
// then rather than keep the players' files in a folder built from nothing.
std::optional<Folders> SetUpFolders(const QString& programFolder);

struct SeedCopy {
  QStringList copied;  // files put in place, relative to their seed folder ("User/" before the user's)
  QStringList failed;  // files that were missing and could not be copied
  QString folder;      // where the first failure was
  QString reason;      // the system's reason for it, when known
  bool ok() const { return failed.isEmpty(); }
};

// Copies the shipped seed files (AppPath + "Data/seed/", with their
// sub-folders) into DataPath, and those of AppPath + "Data/user-seed/" (the
// chat's sounds, icons, default avatar and quick-chat texts) into UserPath,
// where they are missing, never over an existing file, creating DataPath and
// UserPath when they are missing.
SeedCopy CopySeedFiles(const Folders& folders);

// Removes the temporaries a kill left while one of the program's files was
// being written whole: those of the data files named (and of the seeds,
// the sounds and pictures written at start) in DataPath, and those of the
// music list and the user seeds in UserPath. Nothing else is touched.
void RemoveStaleTemporaries(const Folders& folders, QStringList dataNames);

}  // namespace media
