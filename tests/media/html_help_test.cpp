#include "media/html_help.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "platform/ui.h"
#include "support/fake_ui.h"
#include "support/recording_help_backend.h"
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
  const QString chm = program + "/Marrowdale.qhc";
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

  EXPECT_EQ(backend.calls[1].owner, 0) << "no owner unless HHShowOnTop";
  EXPECT_TRUE(backend.calls[1].url.isEmpty() && backend.calls[1].msgText.isEmpty());

  EXPECT_EQ(help.HHDisplayContents(), 3);
  EXPECT_EQ(backend.calls[2].command, HelpCommand::DisplayToc);
  EXPECT_EQ(backend.calls[2].file, chm + ">Size");
  EXPECT_EQ(help.HHWndHandle(), 3);

  help.HHClose();
  EXPECT_EQ(backend.calls.back().command, HelpCommand::CloseAll);
  EXPECT_TRUE(backend.calls.back().file.isEmpty());
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(HtmlHelpTest, WrongNamesAndMissingFilesShowTheirBoxAndNoHelp) {
  HTMLHelpWrapper help = Make();
  // Only a name ending in ".qhc", the collection's own, is a help file.
  for (const char* name : {"Marrowdale.xchm", "Marrowdalechm", "Marrowdale.hlp", "Marrowdale.chm", "Marrowdaleqhc"}) {
    help.SetCHMFile(program + "/" + name);
    EXPECT_EQ(help.HHDisplayContents(), 0);
    EXPECT_EQ(ui.boxes.back().text, program + "/" + name + " is not a valid HTML Help file.");
    EXPECT_EQ(ui.boxes.back().title, "HTML Help Class");
    EXPECT_EQ(ui.boxes.back().icon(), platform::vbExclamation);
  }

  help.SetCHMFile(home.Path() + "/elsewhere/Marrowdale.QHC");
  EXPECT_EQ(help.HHDisplayContents(), 0);
  EXPECT_EQ(ui.boxes.back().text, "The file " + home.Path() +
                                      "/elsewhere/Marrowdale.QHC does not exist.\nPlease make sure the correct "
                                      "path and file name have been specified.");
  EXPECT_TRUE(backend.calls.empty());
}

TEST_F(HtmlHelpTest, ANameWithoutAFolderIsLookedForInTheProgramFolder) {
  HTMLHelpWrapper help = Make();
  help.SetCHMFile("Marrowdale.qhc");
  help.HHDisplayContents();
  EXPECT_EQ(help.CHMFile, program + "/Marrowdale.qhc");
  ASSERT_EQ(backend.calls.size(), 1u);
  EXPECT_EQ(backend.calls[0].file, program + "/Marrowdale.qhc");

  // A bare name found nowhere is reported with the folder it was looked for in.
  QString missing = "Library.qhc";
  EXPECT_FALSE(help.EnsureFileExists(missing));
  EXPECT_EQ(missing, program + "/Library.qhc");
  EXPECT_EQ(ui.boxes.back().text, "The file " + program +
                                      "/Library.qhc does not exist.\nPlease make sure the correct path and file "
                                      "name have been specified.");
  EXPECT_EQ(help.HHSetHelpFile(1), program + "/Library.qhc");
  EXPECT_EQ(help.HHSetHelpFile(2), "Library.txt");
  EXPECT_EQ(help.HHSetHelpFile(3), "");
}

// Each display command issues its own command with its data; the window
// handle of the last one is kept, and an owner is passed only when asked.
TEST_F(HtmlHelpTest, EveryDisplayCommandCarriesItsData) {
  HTMLHelpWrapper help = Make();
  const QString chm = program + "/Marrowdale.qhc";
  help.CHMFile = chm;
  help.HHTopicURL = "rules.html#stop";
  EXPECT_EQ(help.HHDisplayTopicURL(41), 1);
  EXPECT_EQ(backend.calls[0].command, HelpCommand::DisplayTopic);
  EXPECT_EQ(backend.calls[0].topic, "rules.html#stop");
  EXPECT_EQ(backend.calls[0].file, chm) << "no window type, no \">\"";

  help.HHWindow = "Size";
  help.HHTopicID = 9;
  EXPECT_EQ(help.HHDisplayTopicID(41), 2);
  EXPECT_EQ(backend.calls[1].command, HelpCommand::HelpContext);
  EXPECT_EQ(backend.calls[1].topicId, 9);
  EXPECT_EQ(backend.calls[1].file, chm + ">Size");
  EXPECT_EQ(backend.calls[1].owner, 0);

  help.HHShowOnTop = true;
  EXPECT_EQ(help.HHDisplaySearch(41), 3);
  EXPECT_EQ(backend.calls[2].command, HelpCommand::DisplaySearch);
  EXPECT_TRUE(backend.calls[2].searchExecute);
  EXPECT_EQ(backend.calls[2].owner, 41);

  // The index keeps its handle only when a window type is set.
  help.HHWindow = "  ";
  EXPECT_EQ(help.HHDisplayIndex(41), 4);
  EXPECT_EQ(backend.calls[3].command, HelpCommand::DisplayIndex);
  EXPECT_EQ(backend.calls[3].file, chm);
  EXPECT_EQ(help.HHWndHandle(), 3);
  help.HHWindow = "Size";
  EXPECT_EQ(help.HHDisplayIndex(41), 5);
  EXPECT_EQ(help.HHWndHandle(), 5);

  // An A-link comes alone, with what to do when no page has it.
  help.HHALink = "Scores;Online";
  help.HHDefaultURL = "index.html";
  help.HHMsgTitle = "Not found";
  help.HHMsgText = "No page has it.";
  EXPECT_EQ(help.HHDisplayALink(41), 6);
  ASSERT_EQ(backend.calls.size(), 6u);
  const HelpRequest& alink = backend.calls[5];
  EXPECT_EQ(alink.command, HelpCommand::ALinkLookup);
  EXPECT_EQ(alink.file, chm) << "a look-up names its window type in the look-up";
  EXPECT_EQ(alink.keywords, "Scores;Online");
  EXPECT_EQ(alink.window, "Size");
  EXPECT_EQ(alink.url, "index.html");
  EXPECT_EQ(alink.msgTitle, "Not found");
  EXPECT_EQ(alink.msgText, "No page has it.");
  EXPECT_EQ(help.HHWndHandle(), 6);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(HtmlHelpTest, TheWindowHandleBeforeAnyDisplayAndThePopups) {
  HTMLHelpWrapper help(backend, ui, program + "/",
                       [](std::int32_t id) { return id == 7 ? QString("Drag the card") : QString(); });
  EXPECT_EQ(help.HHWndHandle(), 0);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "No HTML Help window handle to retrieve.");
  EXPECT_EQ(ui.boxes[0].title, "HTML Help Class");
  EXPECT_EQ(ui.boxes[0].icon(), platform::vbExclamation);

  // A literal popup with no text shows nothing and keeps its settings.
  help.HHPopupType = kPopupText;
  help.HHPopupTextBold = true;
  help.HHPopupTextColor = 0x0000FF;
  help.HHDisplayPopup(5);
  EXPECT_TRUE(backend.calls.empty());
  EXPECT_TRUE(help.HHPopupTextBold);
  EXPECT_EQ(help.HHPopupTextColor, 0x0000FFu);

  help.HHPopupText = "Drop it on a pile";
  help.HHPopupCustomColors = true;
  help.HHPopupCustomBackColor = 0xE0FFFF;
  help.HHPopupTextSize = "12";
  help.HHPopupTextUnderline = true;
  help.HHDisplayPopup(5);
  ASSERT_EQ(backend.calls.size(), 1u);
  const HelpRequest literal = backend.calls[0];
  EXPECT_EQ(literal.command, HelpCommand::DisplayTextPopup);
  EXPECT_EQ(literal.owner, 5) << "a popup stands over its caller";
  EXPECT_TRUE(literal.file.isEmpty());
  EXPECT_EQ(literal.popup.text, "Drop it on a pile");
  EXPECT_EQ(literal.popup.font, "Arial, 12, ascii, Bold Underline");
  EXPECT_EQ(literal.popup.textColor, 0u) << "the custom pair is used";
  EXPECT_EQ(literal.popup.backColor, 0xE0FFFFu);
  // After a popup the colours, the font and the styles return to their defaults.
  EXPECT_FALSE(help.HHPopupTextBold || help.HHPopupTextUnderline);
  EXPECT_EQ(help.HHPopupTextColor, 0u);
  EXPECT_EQ(help.HHPopupCustomBackColor, 0u);
  EXPECT_EQ(help.HHPopupTextFont, "Arial");
  EXPECT_EQ(help.HHPopupTextSize, "10");

  // A string of the program by its number; a number without one shows nothing.
  help.HHPopupType = kPopupResourceString;
  help.HHPopupID = 7;
  help.HHDisplayPopup(0);
  ASSERT_EQ(backend.calls.size(), 2u);
  EXPECT_EQ(backend.calls[1].popup.text, "Drag the card");
  EXPECT_EQ(backend.calls[1].popup.font, "Arial, 10, ascii, ");
  help.HHPopupID = 8;
  help.HHDisplayPopup(0);
  EXPECT_EQ(backend.calls.size(), 2u);

  // From a popup file inside the help file, which must be a ".txt".
  help.CHMFile = program + "/Marrowdale.qhc";
  help.HHPopupType = kPopupFromFile;
  help.HHPopupFile = "popups.txt";
  help.HHPopupID = 3;
  help.HHDisplayPopup(0);
  ASSERT_EQ(backend.calls.size(), 3u);
  EXPECT_EQ(backend.calls[2].file, program + "/Marrowdale.qhc::/popups.txt");
  EXPECT_EQ(backend.calls[2].popup.textId, 3);
  help.HHPopupFile = "popups.htm";
  help.HHDisplayPopup(0);
  EXPECT_EQ(backend.calls.size(), 3u);
  EXPECT_EQ(ui.boxes.back().text, "The file specified as the text popup source, '" + program +
                                      "/Marrowdale.qhc::/popups.htm', is not a valid popup file.");

  EXPECT_EQ(PopupFileTopic(".topic 2\nTwo\n.topic 3 Hand\nThe Hand\n  holds the cards.\n.topic 4\nFour", 3),
            "The Hand\nholds the cards.");
  EXPECT_EQ(PopupFileTopic(".topic 2\nTwo", 5), "");
}

}  // namespace
}  // namespace media
