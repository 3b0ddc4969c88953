// The saved-game slots of an online game: the dialog's online descriptions
// and marks, and the save that the end of an online game offers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>

#include "dialogs/frm_save.h"
#include "dialogs/menu_program.h"
#include "play/records/saved_game_record.h"
#include "table/busy_guard.h"

namespace dialogs {
namespace {

using testing_support::MenuProgram;

class FrmSaveOnline : public MenuProgram {
 protected:
  void SetUp() override {
    MenuProgram::SetUp();
    ASSERT_TRUE(program->Start());
  }
  play::NetState& Net() { return program->NetParts().net; }
  void GoOnline(bool host) {
    Net().NetConnIndex = 1;
    Net().NetIsHost = host ? play::kNetHost : play::kNetRemote;
    Net().OpponentName = "Ann";
    Net().HostName = "Hal";
    program->gameState().CurrentTurn = table::Turn::Local;
  }
  void WriteSlot(int n, const QString& description) {
    play::SavedGameRecord rec;
    rec.CurrentTurn = table::Turn::Local;
    rec.Description = description.leftJustified(play::SavedGameRecord::kDescriptionWidth, u' ');
    ASSERT_TRUE(program->savedGames().SavedGamesFile.Write(n, rec.Encode()));
  }
};

TEST_F(FrmSaveOnline, NetSaveNamesTheOtherPlayerAndMarksTheGameAsOnline) {
  const QDateTime at(QDate(2026, 2, 1), QTime(10, 5));
  const QLocale locale;
  const QString stamp =
      locale.toString(at.date(), QLocale::ShortFormat) + "_" + locale.toString(at.time(), QLocale::ShortFormat);
  for (const bool host : {true, false}) {
    SCOPED_TRACE(host);
    GoOnline(host);
    program->menus().Commands.SavingNetGame = true;
    FrmSave dialog(SaveParts());
    dialog.now = [at] { return at; };
    dialog.LoadForm(0);
    EXPECT_EQ(dialog.cmdSave->text(), "NET SAVE");
    dialog.Text1_Click(4);
    const QString shown = "NET " + stamp + (host ? "Ann" : "Hal");
    EXPECT_EQ(dialog.Text1[4]->text(), shown);
    dialog.cmdSave_Click();
    EXPECT_EQ(dialog.Choice().Slot, 4);
    EXPECT_EQ(dialog.Choice().Description, "^^" + shown);
  }

  // Restoring: online a marked slot is a secure game; offline it is refused.
  WriteSlot(3, "^^NET 1/2/26_10:00Ann");
  WriteSlot(5, "plain");
  for (const bool online : {true, false}) {
    SCOPED_TRACE(online);
    Net().NetConnIndex = online ? 1 : 0;
    FrmSave dialog(SaveParts());
    dialog.LoadForm(1);
    EXPECT_EQ(dialog.Text1[3]->text(), "NET 1/2/26_10:00Ann");
    dialog.Text1_Click(3);
    EXPECT_EQ(dialog.Choice().NetSecureGame, online);
    EXPECT_EQ(dialog.SelectedSlot, online ? 3 : 0);
    EXPECT_EQ(BoxShown("Saved Internet games can only be restored online from the Internet Menu."), !online);
    dialog.Text1_Click(5);
    EXPECT_FALSE(dialog.Choice().NetSecureGame);
  }
}

// A slot deleted with a right click is emptied and disabled at once, and
// neither it nor an empty slot can then be chosen.
TEST_F(FrmSaveOnline, ADeletedSlotCanNoLongerBeChosen) {
  WriteSlot(4, "Friday");
  WriteSlot(6, "Saturday");
  FrmSave dialog(SaveParts());
  dialog.LoadForm(1);
  dialog.show();
  const auto press = [](QWidget* w, Qt::MouseButton button) {
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), button, button,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), button, Qt::NoButton,
                   Qt::NoModifier);
    QApplication::sendEvent(w, &up);
  };
  press(dialog.Text1[4], Qt::LeftButton);
  EXPECT_EQ(dialog.SelectedSlot, 4);
  press(dialog.Text1[4], Qt::RightButton);  // the box's first answer: Yes
  EXPECT_TRUE(BoxShown("Delete this Saved game?"));
  EXPECT_EQ(dialog.Text1[4]->text(), QString());
  EXPECT_FALSE(dialog.Text1[4]->isEnabled());
  EXPECT_EQ(dialog.SelectedSlot, 0);
  EXPECT_EQ(play::SavedGameRecord::Decode(program->savedGames().SavedGamesFile.Read(4)).CurrentTurn, table::Turn::None);

  for (int slot : {4, 2}) {
    press(dialog.Text1[slot], Qt::LeftButton);
    EXPECT_EQ(dialog.SelectedSlot, 0) << slot;
  }
  dialog.cmdSave_Click();
  EXPECT_EQ(dialog.Label1->text(), "Select a game slot!");
  press(dialog.Text1[6], Qt::LeftButton);
  EXPECT_EQ(dialog.SelectedSlot, 6);
}

// The save question at the end of an online game saves it marked as
// online, also while the wait that the end cut short still holds the table.
TEST_F(FrmSaveOnline, TheSaveAskedForAtTheEndOfAnOnlineGameIsWritten) {
  class ScriptedSave : public play::MenuDialogs {
   public:
    void LoadList(int, const QStringList&, play::ListAnswers) override {}
    void ShowList(int, int) override {}
    void UnloadList() override {}
    play::SaveChoice ShowSaveDialog(int mode, bool savingNetGame) override {
      netSave = mode == 0 && savingNetGame;
      return {false, 6, "^^NET game"};
    }
    bool ShowMatchDialog() override { return false; }
    void ShowPlayerWindow() override {}
    void ShowSpeedWindow() override {}
    void ShowAboutWindow() override {}
    bool netSave = false;
  } dialogs;
  windows.dialogs = &dialogs;
  W().cmdDeal->click();
  ASSERT_EQ(program->state().CurrentTurn, table::Turn::Local);
  GoOnline(false);
  {
    auto busy = program->NetParts().guard.Enter(table::Activity::Deal);
    program->NetParts().hooks.SaveGameFromMenu();
  }
  EXPECT_TRUE(dialogs.netSave);
  const auto saved = play::SavedGameRecord::Decode(program->savedGames().SavedGamesFile.Read(6));
  EXPECT_EQ(saved.CurrentTurn, table::Turn::Local);
  EXPECT_TRUE(saved.Description.startsWith("^^NET game"));
  EXPECT_FALSE(program->menus().Commands.SavingNetGame);
}

}  // namespace
}  // namespace dialogs
