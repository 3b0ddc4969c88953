// The menu commands and their keys, with the menus' own dialogs replaced
// by a script, on the program's real record files.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPushButton>
#include <csignal>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "dialogs/menu_program.h"
#include "platform/vb.h"
#include "play/records/saved_game_record.h"

namespace dialogs {
namespace {

using testing_support::MenuProgram;

class ScriptedDialogs : public play::MenuDialogs {
 public:
  explicit ScriptedDialogs(play::Program& p) : program(p) {}
  void LoadList(int, const QStringList&, play::ListAnswers) override {}
  void ShowList(int, int) override {}
  void UnloadList() override {}
  play::SaveChoice ShowSaveDialog(int mode, bool) override {
    calls.push_back(mode == 0 ? "save" : "restore");
    return {slot == 0, static_cast<std::int16_t>(slot), description};
  }
  bool ShowMatchDialog() override {
    calls.push_back("match");
    program.scores().MatchPoints = 150;
    program.scores().MatchOn = true;
    return true;
  }
  void ShowPlayerWindow() override { calls.push_back("player"); }
  void ShowSpeedWindow() override { calls.push_back("speed"); }
  void ShowAboutWindow() override { calls.push_back("about"); }
  bool Called(const std::string& c) const { return std::find(calls.begin(), calls.end(), c) != calls.end(); }

  play::Program& program;
  std::vector<std::string> calls;
  int slot = 3;
  QString description = "mine";
};

class MenuCommandsTest : public MenuProgram {
 protected:
  void SetUp() override {
    MenuProgram::SetUp();
    dialogs = std::make_unique<ScriptedDialogs>(*program);
    windows.dialogs = dialogs.get();
  }
  void Key(int code, int shift = 0) { M().KeyShortcut(code, shift); }
  play::SavedGameRecord Record(int n) {
    return play::SavedGameRecord::Decode(program->savedGames().SavedGamesFile.Read(n));
  }
  void Deal() {
    W().cmdDeal->click();
    ASSERT_EQ(program->state().CurrentTurn, table::Turn::Local);
  }
  std::unique_ptr<ScriptedDialogs> dialogs;
};

TEST_F(MenuCommandsTest, KeysReachTheirCommandsOnEachSide) {
  ASSERT_TRUE(program->Start());
  Key(116);
  EXPECT_TRUE(dialogs->Called("speed"));
  const int structure = program->backgrounds().CurrentStructure();
  Key(40, 2);
  EXPECT_NE(program->backgrounds().CurrentStructure(), structure) << "Ctrl+Down steps the structure";
  const int background = program->backgrounds().BackgroundIndex();
  Key(40);
  if (program->backgrounds().BackgroundCount() > 0) {
    EXPECT_NE(program->backgrounds().BackgroundIndex(), background) << "Down steps the background";
  }
  Key(120);
  EXPECT_TRUE(Has("internet"));
  dialogs->calls.clear();
  windows.calls.clear();
  Key(116, 4);  // Alt matches no row
  Key('S', 6);
  Key(27, 4);  // only Esc acts whatever the shift state
  EXPECT_TRUE(dialogs->calls.empty());

  const auto sizesShown = [this] {
    for (const auto& b : fakeUi->boxes)
      if (b.text.startsWith("Pop-up Height: ") &&
          b.text.endsWith("\r\nCard Height Twips:  1440 Pixels:  96\r\nCard Pic Height:  1440"))
        return true;
    return false;
  };
  Key(121, 2);  // Ctrl+F10 speaks only in the developer view
  EXPECT_FALSE(sizesShown());

  // The developer view: Ctrl+Shift and four keys; the modifiers pressed on
  // the way are part of typing it.
  Key(17, 2);
  Key('M', 3);
  Key(16, 3);
  Key('D', 3);
  Key('M', 3);
  Key('V', 3);
  EXPECT_TRUE(program->state().IsDeveloperView);
  Key(121, 2);
  EXPECT_TRUE(sizesShown());

  // Online on the host, restore, stalemate and restart go through the
  // connection; the remote side reaches only Save and the scores.
  SetConn(1);
  SetHost(true);
  Key('R', 2);
  EXPECT_TRUE(Has("net restore"));
  EXPECT_FALSE(dialogs->Called("restore"));
  SetPeerVersion("39");
  Key('X', 2);
  EXPECT_TRUE(BoxShown("Your Opponent has an older version of the game.\r\nUnable to Declare Stalemate"));
  Key(114);
  EXPECT_TRUE(dialogs->Called("match"));
  SetHost(false);
  dialogs->calls.clear();
  Key(114);
  Key('R', 2);
  Key('P', 2);
  EXPECT_TRUE(dialogs->calls.empty());
  Key(119);
  EXPECT_EQ(windows.scoreTabs, std::vector<int>({1})) << "the match tab while a match runs";
  Key(112 + 4);
  EXPECT_TRUE(dialogs->Called("speed"));
  // While an online game is set up only the keys up to the arrows work,
  // and F9, which ends the set-up.
  SetConn(99);
  dialogs->calls.clear();
  Key(116);
  EXPECT_TRUE(dialogs->calls.empty());
  windows.calls.clear();
  Key(120);
  EXPECT_TRUE(Has("internet"));
}

TEST_F(MenuCommandsTest, TheFirstKeyPressedOnTheTableRunsItsCommandOnce) {
  ASSERT_TRUE(program->Start());
  QKeyEvent f9(QEvent::KeyPress, Qt::Key_F9, Qt::NoModifier);
  QCoreApplication::sendEvent(&W(), &f9);
  EXPECT_EQ(windows.calls, std::vector<std::string>{"internet"});
  QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
  QCoreApplication::sendEvent(&W(), &f5);
  EXPECT_TRUE(dialogs->Called("speed"));
}

TEST_F(MenuCommandsTest, SaveRestoreAndPreviousTurnUseTheirRecords) {
  ASSERT_TRUE(program->Start());
  M().GameMenu(play::kCmdSave);
  EXPECT_TRUE(BoxShown("There's no game to save!"));
  EXPECT_FALSE(dialogs->Called("save"));
  M().GameMenu(play::kCmdPreviousTurn);
  EXPECT_TRUE(BoxShown("No previous turn to backup to."));

  Deal();
  M().GameMenu(play::kCmdSave);
  const play::SavedGameRecord saved = Record(3), start = Record(23), deal = Record(13);
  EXPECT_NE(saved.CurrentTurn, table::Turn::None);
  EXPECT_EQ(vb::TrimRecord(saved.Description), "mine");
  EXPECT_EQ(vb::TrimRecord(start.Description), "mine");
  play::SavedGameRecord dealWithDescription = deal;
  dealWithDescription.Description = start.Description;
  EXPECT_EQ(start, dealWithDescription) << "slot 3's game start is the deal of the game saved";

  // Another game, then slot 3 restored: its deal becomes the game start.
  W().cmdDeal->show();
  Deal();
  ASSERT_NE(Record(13), dealWithDescription);
  M().GameMenu(play::kCmdRestore);
  EXPECT_EQ(Record(13), dealWithDescription);
  EXPECT_EQ(program->savedGames().SaveSlot, 3);

  // The Previous Turn slot of the dialog, and the command, take the
  // backup that the turn count's parity picks.
  dialogs->slot = 11;
  const std::int16_t turns = program->state().TurnCount;
  M().GameMenu(play::kCmdRestore);
  EXPECT_EQ(program->savedGames().SaveSlot, turns % 2 == 0 ? 12 : 11);
  EXPECT_FALSE(M().Commands.RestoringPreviousTurn);

  // A cancelled save writes nothing.
  dialogs->slot = 0;
  const QByteArray before = program->savedGames().SavedGamesFile.Read(3);
  M().GameMenu(play::kCmdSave);
  EXPECT_EQ(program->savedGames().SavedGamesFile.Read(3), before);
}

// A save that fails (here the file cannot be written for a size limit, as
// on a full disk) is told once, in one box with the file and the system's
// reason, and the saved games stay as they were.
TEST_F(MenuCommandsTest, AFailedSaveIsOneBoxNamingTheFileAndTheReason) {
  ASSERT_TRUE(program->Start());
  Deal();
  platform::RecordFile& file = program->savedGames().SavedGamesFile;
  const QByteArray before = file.Read(3);
  fakeUi->boxes.clear();
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{rlim_t(play::kSavedGameRecordLength), rlim_t(play::kSavedGameRecordLength)};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(3);
    M().GameMenu(play::kCmdSave);
    if (fakeUi->boxes.size() != 1) _exit(10 + static_cast<int>(std::min<std::size_t>(fakeUi->boxes.size(), 9)));
    const auto& box = fakeUi->boxes.front();
    _exit(box.title == "Unable to Save" && box.text.contains(file.Path()) && box.text.contains("File too large") ? 0
                                                                                                                 : 2);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(file.Read(3), before);
}

TEST_F(MenuCommandsTest, CommandsThatReplaceTheTableWaitForTheDeal) {
  ASSERT_TRUE(program->Start());
  program->wait().SetTimeScale(0.01);  // the deal waits, so the keys arrive inside it
  bool insideTheDeal = false;
  Soon([&] {
    insideTheDeal = !program->guard().MayReplaceTable();
    Key('S', 2);
    Key('R', 2);
    Key(113);
    Key('P', 2);
    Key(114);
    M().GameMenu(play::kCmdRestart);
    M().GameMenu(play::kCmdStalemate);
  });
  Deal();
  ASSERT_TRUE(insideTheDeal);
  EXPECT_TRUE(dialogs->calls.empty()) << dialogs->calls.front();
  EXPECT_TRUE(fakeUi->boxes.empty()) << fakeUi->boxes.front().text.toStdString();
}

TEST_F(MenuCommandsTest, AMatchStartedDuringAGameCanTakeThatGameIn) {
  ASSERT_TRUE(program->Start());
  Deal();
  fakeUi->QueueAnswer(platform::vbYes);  // include the game on the table
  M().GameMenu(play::kCmdMatch);
  EXPECT_TRUE(dialogs->Called("match"));
  EXPECT_TRUE(program->scores().MatchOn);
  EXPECT_EQ(program->scores().CurrentScores.MatchTarget, 150);
  EXPECT_EQ(program->scores().CurrentScores.MatchInProgress, 1);
  const play::SavedGameRecord deal = Record(13);
  EXPECT_EQ(deal.Description, QString("Match ").leftJustified(30, u' '));
  EXPECT_EQ(deal.Tableau[0][play::kMatchPointsRow], 150);
  EXPECT_EQ(deal.Tableau[0][play::kMatchGamesRow], 0);

  // Restarting the game keeps it in the match.
  program->scores().MatchOn = false;
  M().GameMenu(play::kCmdRestart);
  EXPECT_TRUE(program->scores().MatchOn);
  EXPECT_EQ(program->scores().MatchPoints, 150);

  // Ending the match with no game played in it clears its counters.
  fakeUi->QueueAnswer(platform::vbYes);
  M().GameMenu(play::kCmdMatch);
  EXPECT_FALSE(program->scores().MatchOn);
  EXPECT_EQ(program->scores().CurrentScores.MatchInProgress, 0);
}

}  // namespace
}  // namespace dialogs
