#include "platform/settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "support/temp_home.h"
#include "support/test_files.h"

using platform::IniSettingsStore;

TEST(IniSettingsStoreTest, OneFilePerApplicationUnderTheConfigFolder) {
  TempHome home;
  IniSettingsStore store;
  EXPECT_EQ(store.FileFor("Brackwell"), home.ConfigHome() + "/Brackwell.ini");
  EXPECT_EQ(store.GetSetting("Brackwell", "Marrowdale4", "MusicFolder", "none"), "none");

  store.SaveSetting("Brackwell", "Marrowdale4", "MusicFolder", "/home/a b/Music, old");
  store.SaveSetting("Brackwell", "Marrowdale4", "Sample", "7");
  store.SaveSetting("Other", "Marrowdale4", "Sample", "9");
  EXPECT_TRUE(QFile::exists(home.ConfigHome() + "/Brackwell.ini"));
  EXPECT_TRUE(QFile::exists(home.ConfigHome() + "/Other.ini"));

  IniSettingsStore again;  // a later run reads the same values back
  EXPECT_EQ(again.GetSetting("Brackwell", "Marrowdale4", "MusicFolder", ""), "/home/a b/Music, old");
  EXPECT_EQ(again.GetNumber("Brackwell", "Marrowdale4", "Sample", 0), 7);
  EXPECT_EQ(again.GetNumber("Other", "Marrowdale4", "Sample", 0), 9);
  EXPECT_EQ(again.GetNumber("Brackwell", "Elsewhere", "Sample", -3), -3);
}

TEST(IniSettingsStoreTest, ExplicitFolderAndUnsafeApplicationNames) {
  TempHome home;
  IniSettingsStore store(home.Path() + "/elsewhere");
  store.SaveSetting("../escape", "s", "k", "v");
  EXPECT_TRUE(store.FileFor("../escape").startsWith(home.Path() + "/elsewhere/"));
  EXPECT_FALSE(store.FileFor("../escape").contains("/../"));
  EXPECT_EQ(store.GetSetting("../escape", "s", "k", ""), "v");
}

TEST(IniSettingsStoreTest, MalformedValuesReadAsTheDefault) {
  TempHome home;
  WriteFile(home.ConfigHome() + "/Brackwell.ini",
            "[Marrowdale4]\n"
            "Sample=12abc\n"
            "Empty=\n"
            "Huge=99999999999999999999999\n"
            "Padded=  42 \n"
            "Negative=-5\n"
            "Fraction=2.5\n"
            "Listed=a,b\n"
            "Variant=@Variant(garbage)\n");
  IniSettingsStore store;
  EXPECT_EQ(store.GetNumber("Brackwell", "Marrowdale4", "Sample", 1), 1);
  EXPECT_EQ(store.GetNumber("Brackwell", "Marrowdale4", "Empty", 2), 2);
  EXPECT_EQ(store.GetNumber("Brackwell", "Marrowdale4", "Huge", 3), 3);
  EXPECT_EQ(store.GetNumber("Brackwell", "Marrowdale4", "Padded", 4), 42);
  EXPECT_EQ(store.GetNumber("Brackwell", "Marrowdale4", "Negative", 5), -5);
  EXPECT_EQ(store.GetNumber("Brackwell", "Marrowdale4", "Fraction", 6), 6);
  EXPECT_EQ(store.GetSetting("Brackwell", "Marrowdale4", "Listed", "d"), "a,b");
  EXPECT_EQ(store.GetSetting("Brackwell", "Marrowdale4", "Variant", "d"), "d");
}
