#include "media/html_help.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "platform/settings.h"
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
  HTMLHelpWrapper Make() { return HTMLHelpWrapper(backend, ui, settings, program + "/"); }

  TempHome home;
  QString program;
  RecordingHelpBackend backend;
  platform::FakeUi ui;
  platform::IniSettingsStore settings{home.ConfigHome()};
};

TEST_F(HtmlHelpTest, KeywordAndContentsIssueTheirCommandsWithTheWindowType) {
  HTMLHelpWrapper help = Make();
  const QString chm = program + "/Marrowdale.chm";
  help.SetCHMFile(chm);
  help.SetHHWindow("Size");
  help.SetHHKeyword("Online");
  EXPECT_EQ(help.HHDisplayKeyword(), 2);
  ASSERT_EQ(backend.calls.size(), 2u);
  EXPECT_EQ(backend.calls[0].request.command, HelpCommand::DisplayTopic);
  EXPECT_EQ(backend.calls[0].request.file, chm) << "the default topic opens in the plain file";
  EXPECT_TRUE(backend.calls[0].request.topic.isEmpty());
  EXPECT_EQ(backend.calls[1].request.command, HelpCommand::KeywordLookup);
  EXPECT_EQ(backend.calls[1].request.file, chm);
  EXPECT_EQ(backend.calls[1].request.lookup.keywords, "Online");
  EXPECT_EQ(backend.calls[1].request.lookup.window, "Size");
  EXPECT_EQ(backend.calls[1].owner, 0) << "no owner unless HHShowOnTop";

  help.HHDisplayContents();
  EXPECT_EQ(backend.calls[2].request.command, HelpCommand::DisplayToc);
  EXPECT_EQ(backend.calls[2].request.file, chm + ">Size");
  EXPECT_EQ(help.HHWndHandle(), 3);

  help.HHShowOnTop = true;
  help.HHDisplayIndex(77);
  EXPECT_EQ(backend.calls[3].owner, 77);

  help.HHClose();
  EXPECT_EQ(backend.calls.back().request.command, HelpCommand::CloseAll);
  EXPECT_TRUE(backend.calls.back().request.file.isEmpty());
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(HtmlHelpTest, WrongNamesAndMissingFilesShowTheirBoxAndNoHelp) {
  HTMLHelpWrapper help = Make();
  EXPECT_EQ(help.HHWndHandle(), 0);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "No HTML Help window handle to retrieve.");
  EXPECT_EQ(ui.boxes[0].title, "HTML Help Class");

  // Only a name ending in ".chm" is a help file.
  for (const char* name : {"Marrowdale.xchm", "Marrowdalechm", "Marrowdale.hlp"}) {
    help.SetCHMFile(program + "/" + name);
    EXPECT_EQ(help.HHDisplayContents(), 0);
    EXPECT_EQ(ui.boxes.back().text, program + "/" + name + " is not a valid HTML Help file.");
    EXPECT_EQ(ui.boxes.back().icon(), platform::vbExclamation);
  }

  help.SetCHMFile(home.Path() + "/elsewhere/Marrowdale.CHM");
  EXPECT_EQ(help.HHDisplayContents(), 0);
  EXPECT_EQ(ui.boxes.back().text, "The file " + home.Path() +
                                      "/elsewhere/Marrowdale.qhc does not exist.\nPlease make sure the correct "
                                      "path and file name have been specified.");
  EXPECT_TRUE(backend.calls.empty());

  // A literal popup with no text shows nothing and keeps its settings.
  help.HHPopupType = kPopupText;
  help.HHPopupTextBold = true;
  help.HHDisplayPopup(0);
  EXPECT_TRUE(backend.calls.empty());
  EXPECT_TRUE(help.HHPopupTextBold);
  help.HHPopupText = "Drag a card";
  help.HHDisplayPopup(0);
  ASSERT_EQ(backend.calls.size(), 1u);
  EXPECT_EQ(backend.calls[0].request.popup.font, "Arial, 10, ascii, Bold ");
  EXPECT_TRUE(backend.calls[0].request.nullFile);
  EXPECT_FALSE(help.HHPopupTextBold) << "the styles return to their defaults after a popup";
}

TEST_F(HtmlHelpTest, ANameWithoutAFolderIsCompletedFromItsRegistrationOrTheProgramFolder) {
  HTMLHelpWrapper help = Make();
  help.SetCHMFile("Marrowdale.chm");
  help.HHDisplayContents();
  EXPECT_EQ(help.CHMFile, program + "/Marrowdale.chm");
  ASSERT_EQ(backend.calls.size(), 1u);

  // Registering a bare name that exists in the program folder registers it there.
  help.HHRegister("Marrowdale.chm");
  EXPECT_EQ(settings.GetSetting("Brackwell", "HTML Help", "Marrowdale.chm", ""), program + "/");
  help.HHRegister("Marrowdale.chm");
  EXPECT_EQ(ui.boxes.back().text, "The file Marrowdale.chm is already registered.  HHRegister will not be run as "
                                  "no action need be taken.");

  // A registration elsewhere wins over the program folder; when its file
  // has gone the registration is still reported, without the file.
  const QString other = home.Path() + "/manuals";
  QDir().mkpath(other);
  settings.SaveSetting("Brackwell", "HTML Help", "Guide.chm", other + "/");
  help.SetCHMFile("Guide.chm");
  EXPECT_EQ(help.HHDisplayContents(), 0);
  EXPECT_EQ(help.CHMFile, other + "/Guide.chm");
  EXPECT_EQ(help.HHRegFileName(), "Guide.chm");
  EXPECT_EQ(help.HHRegFilePath(), other + "/");
  EXPECT_FALSE(help.HHRegFileExists());
  Touch(other + "/Guide.qhc");
  help.HHCheckRegistry("Guide.chm");
  EXPECT_TRUE(help.HHRegFileExists());

  help.HHUnRegister("Guide.chm");
  EXPECT_TRUE(help.HHRegFileName().isEmpty());
  help.HHUnRegister("Guide.chm");
  EXPECT_EQ(ui.boxes.back().text, "The file Guide.chm is not registered.  HHUnRegister will not be run as no "
                                  "action need be taken.");
}

TEST(HelpVersions, AreFormattedAndComparedAsNumbers) {
  EXPECT_EQ(FormatComponentVersion({4, 72, 7290, 0}), "4.72.7290.00");
  EXPECT_EQ(FormatComponentVersion({5, 0, 0, 518}), "5.00.0518");
  EXPECT_EQ(FormatComponentVersion({6, 4, 2, 0}), "6.04.02.00");

  EXPECT_EQ(HelpEngineReleaseName("4.74.8702.00"), "1.3");
  EXPECT_EQ(HelpEngineReleaseName("6.04.02.00"), "unknown");
  // Rows whose text the formatting never produces still match their number.
  EXPECT_EQ(PageViewerReleaseName("4.70.1155.00"), "3.0");
  EXPECT_EQ(PageViewerReleaseName(""), "unknown");

  // As text "10.0" sorts before "9.0"; as numbers it is newer.
  EXPECT_GT(CompareVersions("10.00.01.00", "9.74.8702"), 0);
  EXPECT_EQ(CompareVersions("4.72.8164.0", "4.72.8164"), 0);
  EXPECT_LT(CompareVersions("4.72.3110.03", "4.72.3110.3000"), 0);
  EXPECT_EQ(HelpEngineMinimum(16), "4.72.7290");
  EXPECT_EQ(HelpEngineMinimum(27), "");
  EXPECT_EQ(PageViewerMinimum(273), "5.00.2919.3800");
}

TEST_F(HtmlHelpTest, TheInstallationChecksReadTheHelpComponents) {
  HTMLHelpWrapper help = Make();
  backend.engine.version = {10, 0, 1, 0};
  EXPECT_EQ(help.HHVersion(), "10.00.01.00");
  EXPECT_TRUE(help.HHVerifyMinConfig(26, 273)) << "version 10 is newer than 4.74";
  EXPECT_FALSE(help.HHVerifyMinConfig(15, 273));
  EXPECT_EQ(help.HHFriendlyName(), "unknown");
  EXPECT_TRUE(help.HHInstalled());
  EXPECT_EQ(backend.opened, std::vector<QString>{program + "/Marrowdale.chm"});
  EXPECT_TRUE(ui.boxes.empty());

  backend.engine.present = false;
  EXPECT_EQ(help.HHVersion(), "");
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].icon(), platform::vbCritical);
  EXPECT_TRUE(ui.boxes[0].text.contains("libqt6sql6-sqlite"));
  EXPECT_FALSE(help.HHVerifyMinConfig(16, 256));
}

}  // namespace
}  // namespace media
