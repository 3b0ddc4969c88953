#include "media/html_help.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "platform/ui.h"
#include "support/temp_home.h"

namespace media {
namespace {

class HtmlHelpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program = home.Path() + "/app";
    QDir().mkpath(program);
    Touch(program + "/Marrowdale.qhc");
  }
  static void Touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  HTMLHelpWrapper Make() { return HTMLHelpWrapper(backend, ui, program + "/"); }

  TempHome home;
  QString program;
  RecordingHelpBackend backend;
  platform::FakeUi ui;
};

TEST_F(HtmlHelpTest, KeywordAndContentsIssueTheirCommandsWithTheWindowType) {
  HTMLHelpWrapper help = Make();
  const QString chm = program + "/Marrowdale.chm";
  help.SetCHMFile(chm);
  help.SetHHWindow("Size");
  help.SetHHKeyword("Online");
  EXPECT_EQ(help.HHDisplayKeyword(), 2);
  ASSERT_EQ(backend.calls.size(), 2u);
  EXPECT_EQ(backend.calls[0].command, HelpCommand::DisplayTopic);
  EXPECT_EQ(backend.calls[0].file, chm) << "the default topic opens in the plain file";
  EXPECT_TRUE(backend.calls[0].topic.isEmpty());
  EXPECT_EQ(backend.calls[1].command, HelpCommand::KeywordLookup);
  EXPECT_EQ(backend.calls[1].file, chm);
  EXPECT_EQ(backend.calls[1].keywords, "Online");
  EXPECT_EQ(backend.calls[1].window, "Size");

  EXPECT_EQ(help.HHDisplayContents(), 3);
  EXPECT_EQ(backend.calls[2].command, HelpCommand::DisplayToc);
  EXPECT_EQ(backend.calls[2].file, chm + ">Size");

  help.HHClose();
  EXPECT_EQ(backend.calls.back().command, HelpCommand::CloseAll);
  EXPECT_TRUE(backend.calls.back().file.isEmpty());
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(HtmlHelpTest, WrongNamesAndMissingFilesShowTheirBoxAndNoHelp) {
  HTMLHelpWrapper help = Make();
  // Only a name ending in ".chm" is a help file.
  for (const char* name : {"Marrowdale.xchm", "Marrowdalechm", "Marrowdale.hlp"}) {
    help.SetCHMFile(program + "/" + name);
    EXPECT_EQ(help.HHDisplayContents(), 0);
    EXPECT_EQ(ui.boxes.back().text, program + "/" + name + " is not a valid HTML Help file.");
    EXPECT_EQ(ui.boxes.back().title, "HTML Help Class");
    EXPECT_EQ(ui.boxes.back().icon(), platform::vbExclamation);
  }

  help.SetCHMFile(home.Path() + "/elsewhere/Marrowdale.CHM");
  EXPECT_EQ(help.HHDisplayContents(), 0);
  EXPECT_EQ(ui.boxes.back().text, "The file " + home.Path() +
                                      "/elsewhere/Marrowdale.qhc does not exist.\nPlease make sure the correct "
                                      "path and file name have been specified.");
  EXPECT_TRUE(backend.calls.empty());
}

TEST_F(HtmlHelpTest, ANameWithoutAFolderIsLookedForInTheProgramFolder) {
  HTMLHelpWrapper help = Make();
  help.SetCHMFile("Marrowdale.chm");
  help.HHDisplayContents();
  EXPECT_EQ(help.CHMFile, program + "/Marrowdale.chm");
  ASSERT_EQ(backend.calls.size(), 1u);
  EXPECT_EQ(backend.calls[0].file, program + "/Marrowdale.chm");
}

}  // namespace
}  // namespace media
