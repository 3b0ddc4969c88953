#include "media/folders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/temp_home.h"
#include "support/test_files.h"

using namespace media;

TEST(Folders, FollowXdgDataHome) {
  TempHome home;
  const std::optional<Folders> f = SetUpFolders("/opt/marrowdale");
  ASSERT_TRUE(f.has_value());
  EXPECT_EQ(f->AppPath, "/opt/marrowdale/");
  EXPECT_EQ(f->DataPath, home.DataHome() + "/Brackwell/Marrowdale/Data/");
  EXPECT_EQ(f->UserPath, home.DataHome() + "/Brackwell/Marrowdale/User/");
  EXPECT_TRUE(f->DocsPath.endsWith('/'));
  EXPECT_EQ(f->LastPictureFolder, "");
  EXPECT_EQ(GetSpecialFolder(kCsidlAppData, "/opt/marrowdale"), home.DataHome());
}

TEST(Folders, WithoutXdgDataHomeUseTheHomeFolderAndWithoutEitherRefuse) {
  TempHome home;
  qunsetenv("XDG_DATA_HOME");
  EXPECT_EQ(GetAppDataFolder(), home.Path() + "/.local/share/Brackwell/Marrowdale");
  qputenv("XDG_DATA_HOME", "relative/share");  // not absolute: ignored, as the XDG rules say
  EXPECT_EQ(GetAppDataFolder(), home.Path() + "/.local/share/Brackwell/Marrowdale");

  qunsetenv("XDG_DATA_HOME");
  qunsetenv("HOME");
  EXPECT_EQ(GetAppDataFolder(), "");
  EXPECT_FALSE(SetUpFolders("/opt/marrowdale").has_value())
      << "the players' files are never put in a folder built from nothing";
}

TEST(Folders, Backslashes) {
  EXPECT_EQ(AddBackslash(""), "/");
  EXPECT_EQ(AddBackslash("/a/b/"), "/a/b/");
  EXPECT_EQ(AddBackslash("/a/b"), "/a/b/");
  EXPECT_EQ(StripBackslash("  /a/b/  "), "/a/b");
  EXPECT_EQ(StripBackslash("/a/b//"), "/a/b/");
  EXPECT_EQ(StripBackslash("/a/b"), "/a/b");
}

TEST(Folders, FileAndFolderTests) {
  QTemporaryDir dir;
  const QString d = dir.path() + "/";
  WriteFile(d + "~106.tmp", "x");
  WriteFile(d + "a[1].sav", "x");
  QDir().mkdir(d + "Net");

  EXPECT_TRUE(FileExists(d + "~106.tmp"));
  EXPECT_TRUE(FileExists(d + "*.tmp"));
  EXPECT_TRUE(FileExists(d + "~1?6.tmp"));
  EXPECT_FALSE(FileExists(d + "~1?.tmp")) << "? stands for exactly one character";
  EXPECT_FALSE(FileExists(d + "*.wav"));
  EXPECT_TRUE(FileExists(d + "a[1].*")) << "brackets are plain characters";
  EXPECT_FALSE(FileExists(d + "a1.*"));
  EXPECT_TRUE(FileExists(d + "Net")) << "a folder answers too";
  EXPECT_FALSE(FileExists(d + "missing/*.tmp"));
  EXPECT_FALSE(FileExists(""));

  QString folder = d + "Net/";
  EXPECT_TRUE(FolderExists(folder));
  EXPECT_EQ(folder, d + "Net") << "the caller's path loses its trailing slash";
  QString file = d + "~106.tmp";
  EXPECT_FALSE(FolderExists(file));
  QString none = d + "None";
  EXPECT_FALSE(FolderExists(none));
}

TEST(Folders, EnsureFolderCreatesOneLevelOnce) {
  QTemporaryDir dir;
  Folders f;
  f.UserPath = dir.path() + "/User/";
  EXPECT_FALSE(EnsureFolder(f, "Net")) << "UserPath itself is missing: one level only";
  QDir().mkdir(f.UserPath);
  EXPECT_TRUE(EnsureFolder(f, "Net"));
  EXPECT_TRUE(QFileInfo(f.UserPath + "Net").isDir());
  EXPECT_TRUE(EnsureFolder(f, "Net"));
  WriteFile(f.UserPath + "Sounds", "a file in the way");
  EXPECT_FALSE(EnsureFolder(f, "Sounds"));
  for (const char* bad : {"", "../Out", "a/b", ".hidden"}) EXPECT_FALSE(EnsureFolder(f, bad)) << bad;
  EXPECT_FALSE(QFileInfo(dir.path() + "/Out").exists());
  Folders unset;
  EXPECT_FALSE(EnsureFolder(unset, "Net"));
}

TEST(Folders, PictureFolderIsRememberedForTheRun) {
  Folders f;
  EXPECT_EQ(GetPictureFolder(f), "");
  SetPictureFolder(f, "/home/u/Pictures/");
  EXPECT_EQ(GetPictureFolder(f), "/home/u/Pictures/");
}

TEST(Folders, SeedFilesAreCopiedWhenMissingAndNeverOverAFile) {
  TempHome home;
  QTemporaryDir app;
  WriteFile(app.path() + "/Data/seed/players4.sav", "seed players");
  WriteFile(app.path() + "/Data/seed/backup4.sav", "seed games");
  WriteFile(app.path() + "/Data/seed/Backgrounds/felt.png", "seed picture");
  std::optional<Folders> f = SetUpFolders(app.path());
  ASSERT_TRUE(f.has_value());

  WriteFile(f->DataPath + "players4.sav", "the player's own");
  const SeedCopy first = CopySeedFiles(*f);
  EXPECT_TRUE(first.ok());
  EXPECT_EQ(first.copied.size(), 2);
  EXPECT_EQ(FileBytes(f->DataPath + "players4.sav"), "the player's own");
  EXPECT_EQ(FileBytes(f->DataPath + "backup4.sav"), "seed games");
  EXPECT_EQ(FileBytes(f->DataPath + "Backgrounds/felt.png"), "seed picture");
  EXPECT_TRUE(QFileInfo(f->UserPath).isDir());

  WriteFile(f->DataPath + "backup4.sav", "played since");
  const SeedCopy second = CopySeedFiles(*f);
  EXPECT_TRUE(second.ok());
  EXPECT_TRUE(second.copied.isEmpty());
  EXPECT_EQ(FileBytes(f->DataPath + "backup4.sav"), "played since");
}
