// The list window under the menu bar, and the player window, offscreen in
// the whole program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/frm_menu.h"
#include "dialogs/frm_name.h"
#include "dialogs/frm_save.h"
#include "dialogs/menu_dialogs.h"
#include "dialogs/menu_program.h"
#include "platform/vb.h"
#include "play/records/saved_game_record.h"
#include "play/window/status_bar.h"

namespace dialogs {
namespace {

using testing_support::MenuProgram;

constexpr int kHeadingY = 40;
constexpr int kOptionsX = 250, kHelpX = 560, kGameX = 100;
constexpr int kSoundRow = 1, kStatusBarRow = 4;

class MenuWindows : public MenuProgram {
 protected:
  void SetUp() override {
    MenuProgram::SetUp();
    MakeDialogs();
  }
  void MakeDialogs() {
    dialogs = std::make_unique<Dialogs>(program->MenuWindowsParts());
    windows.dialogs = dialogs.get();
  }
  // Presses the list window's row, as the mouse does.
  void ChooseRow(int row, Qt::MouseButton button = Qt::LeftButton) {
    FrmMenu* list = dialogs->ListWindow();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->isVisible());
    const QRect r = list->List1->visualItemRect(list->List1->item(row));
    list->List1_MouseDown(button, r.center());
  }
  play::PlayerRecord StoredPlayer(int n) { return play::PlayerRecord::Decode(Parts().playersFile.Read(n)); }
  // Shows the player window and, once it is up, types the name and
  // presses OK.
  void EnterName(const QString& typed) {
    Soon([typed] {
      auto* window = qobject_cast<FrmName*>(QApplication::activeModalWidget());
      ASSERT_NE(window, nullptr);
      window->Combo1->setEditText(typed);
      window->cmdOK->click();
      if (window->isVisible()) {
        ADD_FAILURE() << "the name was refused";
        window->hide();
      }
    });
    dialogs->ShowPlayerWindow();
  }
  std::unique_ptr<Dialogs> dialogs;
};

// The Saved Games window stands over the table, and its questions over it.
TEST_F(MenuWindows, TheSavedGamesWindowOwnsItsQuestionsAndStaysOverTheTable) {
  ASSERT_TRUE(program->Start());
  play::SavedGameRecord rec;
  rec.CurrentTurn = table::Turn::Local;
  rec.Description = QString("kept").leftJustified(play::SavedGameRecord::kDescriptionWidth, u' ');
  ASSERT_TRUE(program->savedGames().SavedGamesFile.Write(4, rec.Encode()));
  fakeUi->QueueAnswer(platform::vbNo);
  QPointer<FrmSave> seen;
  Soon([&] {
    seen = qobject_cast<FrmSave*>(QApplication::activeModalWidget());
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->parentWidget(), &W()) << "the window belongs to the table";
    EXPECT_TRUE(seen->isWindow());
    seen->Text1_MouseDown(4, Qt::RightButton);
    seen->Command2->click();
  });
  dialogs->ShowSaveDialog(-1, false);
  ASSERT_FALSE(fakeUi->boxes.empty());
  EXPECT_EQ(fakeUi->boxes.back().text, "Delete this Saved game?");
  EXPECT_TRUE(fakeUi->boxes.back().owner == seen.data()) << "the question speaks for the Saved Games window";
  EXPECT_EQ(fakeUi->Owner(), nullptr) << "once it is gone, boxes speak for the table again";
}

TEST_F(MenuWindows, ARowRunsItsCommandOnceAlsoAfterASecondHeadingClick) {
  ASSERT_TRUE(program->Start());
  play::StatusBar* bar = W().StatusBar1;
  ASSERT_FALSE(bar->isHidden());
  Soon([this] {
    EXPECT_EQ(dialogs->ListWindow()->Rows().size(), 9u) << "the Options list";
    // A click on another heading replaces the list; its row runs.
    Soon([this] {
      EXPECT_EQ(M().Menu.MenuNumber, play::kMenuHelp);
      ChooseRow(kStatusBarRow);
    });
    M().picPanel_MouseDown(kHelpX, kHeadingY);
  });
  M().picPanel_MouseDown(kOptionsX, kHeadingY);
  EXPECT_TRUE(bar->isHidden()) << "the status bar was toggled once";
  EXPECT_FALSE(M().Menu.MenuOpen);
  EXPECT_EQ(M().Menu.MenuNumber, 0);
  EXPECT_EQ(dialogs->ListWindow(), nullptr);

  // Separators keep the list open; a click outside the headings closes it
  // without a command.
  Soon([this] {
    ChooseRow(3);
    EXPECT_TRUE(M().Menu.MenuOpen);
    M().picPanel_MouseDown(kGameX, 10);
    EXPECT_TRUE(M().Menu.MenuOpen) << "above the heading band nothing happens";
    M().picPanel_MouseDown(190, kHeadingY);
  });
  M().picPanel_MouseDown(kHelpX, kHeadingY);
  EXPECT_FALSE(M().Menu.MenuOpen);
  EXPECT_TRUE(bar->isHidden());
}

TEST_F(MenuWindows, ACloseWhileAListIsOpenRunsNoCommand) {
  ASSERT_TRUE(program->Start());
  Soon([this] {
    ChooseRow(kStatusBarRow);
    W().close();
  });
  M().picPanel_MouseDown(kHelpX, kHeadingY);
  EXPECT_FALSE(W().StatusBar1->isHidden()) << "no command ran";
  EXPECT_FALSE(W().isVisible()) << "the close was completed";
}

TEST_F(MenuWindows, SoundOffFromThePopupSilencesTheGameAndIsStored) {
  AddLastPlayer("Dora");
  Make();
  MakeDialogs();
  ASSERT_TRUE(program->Start());
  ASSERT_TRUE(program->player().SoundOn);
  // Picking the item that is already checked leaves the list open.
  popupChoice = [this] { W().frmPic.mnuNoise[0]->trigger(); };
  Soon([this] {
    ChooseRow(kSoundRow);
    EXPECT_TRUE(M().Menu.MenuOpen);
    popupChoice = [this] { W().frmPic.mnuNoise[1]->trigger(); };
    ChooseRow(kSoundRow);
  });
  M().picPanel_MouseDown(kOptionsX, kHeadingY);
  EXPECT_FALSE(M().Menu.MenuOpen);
  EXPECT_FALSE(program->player().SoundOn);
  EXPECT_FALSE(program->tableSettings().SoundOn);
  EXPECT_EQ(StoredPlayer(3).SoundOn, 0);
  fakeSound->played.clear();
  M().picPanel_MouseDown(kGameX, 10);
  Soon([this] { M().PanelHide(); });
  M().picPanel_MouseDown(kGameX, kHeadingY);
  EXPECT_TRUE(fakeSound->played.empty()) << "the heading click sounds only with sound on";
}

TEST_F(MenuWindows, APlayerNamedOnAFreshFileIsKeptAndFound) {
  ASSERT_TRUE(program->Start());
  ASSERT_EQ(program->player().CurrentPlayer, 0);
  EnterName(" Ann ");
  EXPECT_EQ(program->player().CurrentPlayer, 1);
  EXPECT_EQ(program->player().PlayerName, "Ann");
  EXPECT_EQ(vb::TrimRecord(StoredPlayer(1).Name), "Ann");
  EXPECT_EQ(StoredPlayer(play::kSettingsRecord).LastPlayer(), 1);

  // A long name is kept cut to 20 characters; typed again in full it finds
  // the same player, and the outgoing one is saved on the way.
  const QString longName = "Bartholomew Quentin Smithe";  // 26 characters
  Parts().player.AnimSpeed = 210;
  EnterName("  " + longName + "  ");
  EXPECT_EQ(program->player().CurrentPlayer, 2);
  EXPECT_EQ(StoredPlayer(1).AnimSpeed, 210) << "Ann's settings were saved when she left";
  EnterName(longName);
  EXPECT_EQ(program->player().CurrentPlayer, 2);
  EXPECT_TRUE(vb::TrimRecord(StoredPlayer(3).Name).isEmpty()) << "no second record for the same name";

  EnterName("Ann");
  EXPECT_EQ(program->player().CurrentPlayer, 1);
  EXPECT_EQ(program->player().PlayerName, "Ann");

  // An empty name is refused and the window stays until a name is given.
  Soon([] {
    auto* window = qobject_cast<FrmName*>(QApplication::activeModalWidget());
    ASSERT_NE(window, nullptr);
    window->Combo1->setEditText("   ");
    window->cmdOK->click();
    EXPECT_TRUE(window->isVisible());
    window->close();
    EXPECT_TRUE(window->isVisible()) << "the window has no close";
    // The OK button's face is seen (not painted black), and Enter answers as OK does.
    const QImage face = window->cmdOK->grab().toImage();
    const QColor middle = face.pixelColor(face.width() / 2, face.height() / 4);
    EXPECT_GT(middle.lightness(), 96);
    window->Combo1->setEditText("Ann");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(window->Combo1->lineEdit(), &enter);
  });
  dialogs->ShowPlayerWindow();
  EXPECT_TRUE(BoxShown("Please enter a name..."));

  // The next start loads her.
  W().close();
  dialogs.reset();
  program.reset();
  Make();
  ASSERT_TRUE(program->Start());
  EXPECT_EQ(program->player().CurrentPlayer, 1);
  EXPECT_EQ(program->player().PlayerName, "Ann");
}

// With ten players kept any of them can still be chosen from the list, by
// the keys or as the mouse does it, or typed; only a new name is refused.
TEST_F(MenuWindows, WithTenPlayersAnyListedPlayerIsChosenAndOnlyANewNameIsRefused) {
  {
    platform::RecordFile file;
    ASSERT_TRUE(file.Open(folders.DataPath + "players4.sav", play::kPlayerRecordLength));
    play::PlayerRecord player = play::PlayerRecord::Decode(file.Read(play::kTemplateRecord));
    for (int n = play::kFirstPlayerRecord; n <= play::kLastPlayerRecord; ++n) {
      player.Name = QString("Player %1").arg(n);
      ASSERT_TRUE(file.Write(n, player.Encode()));
    }
    play::PlayerRecord settings = play::PlayerRecord::Decode(file.Read(play::kSettingsRecord));
    settings.SetLastPlayer(4);
    ASSERT_TRUE(file.Write(play::kSettingsRecord, settings.Encode()));
  }
  Make();
  MakeDialogs();
  ASSERT_TRUE(program->Start());
  const auto send = [](QWidget* to, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(to, &press);
  };
  Soon([&] {
    auto* window = qobject_cast<FrmName*>(QApplication::activeModalWidget());
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->PlayerListFull);
    EXPECT_EQ(window->Combo1->currentText(), "Player 4");
    // A key goes to the combo box, which has the focus, not to its line edit.
    send(window->Combo1, Qt::Key_Down);
    EXPECT_EQ(window->Combo1->currentText(), "Player 1") << "the arrow key chose the next name";
    window->Combo1->setCurrentIndex(window->Combo1->findText("Player 7"));  // as a click in the list does
    EXPECT_EQ(window->Combo1->currentText(), "Player 7");
    EXPECT_TRUE(fakeUi->boxes.empty());
    // Names are typed as with fewer players; an eleventh is refused only
    // when confirmed, and what was typed stays to be put right.
    window->Combo1->lineEdit()->clear();
    for (const QChar c : QString("Player 11")) send(window->Combo1, Qt::Key_unknown, c);
    EXPECT_EQ(window->Combo1->currentText(), "Player 11");
    EXPECT_TRUE(fakeUi->boxes.empty()) << "typing is no new player yet";
    window->cmdOK->click();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Combo1->currentText(), "Player 11");
    ASSERT_EQ(fakeUi->boxes.size(), 1u);
    EXPECT_EQ(fakeUi->boxes[0].title, "10 Players Max");
    EXPECT_EQ(fakeUi->boxes[0].icon(), platform::vbInformation);
    send(window->Combo1, Qt::Key_Backspace);
    send(window->Combo1, Qt::Key_Backspace);
    send(window->Combo1, Qt::Key_7, "7");
    EXPECT_EQ(window->Combo1->currentText(), "Player 7");
    window->cmdOK->click();
  });
  dialogs->ShowPlayerWindow();
  EXPECT_EQ(program->player().CurrentPlayer, 7);
  EXPECT_EQ(program->player().PlayerName, "Player 7");
  EXPECT_EQ(StoredPlayer(play::kSettingsRecord).LastPlayer(), 7);

  Soon([&] {
    auto* window = qobject_cast<FrmName*>(QApplication::activeModalWidget());
    ASSERT_NE(window, nullptr);
    send(window->Combo1, Qt::Key_Down);
    send(window->Combo1->lineEdit(), Qt::Key_Return);
  });
  dialogs->ShowPlayerWindow();
  EXPECT_EQ(program->player().CurrentPlayer, 1) << "Enter took the name chosen by the arrow key";

  // Esc is no typing: it leaves the window, and the player stays.
  Soon([&] {
    auto* window = qobject_cast<FrmName*>(QApplication::activeModalWidget());
    ASSERT_NE(window, nullptr);
    send(window->Combo1, Qt::Key_Down);
    send(window->Combo1, Qt::Key_Escape, "\x1b");
    if (window->isVisible()) {
      ADD_FAILURE() << "Esc did not leave the window";
      window->hide();
    }
  });
  dialogs->ShowPlayerWindow();
  EXPECT_EQ(program->player().CurrentPlayer, 1);
  EXPECT_EQ(fakeUi->boxes.size(), 1u);
}

// Choosing the player already in play changes nothing, the game on the table
// included, and so does Esc; another player starts from an empty table.
TEST_F(MenuWindows, ThePlayerInPlayKeepsTheGameAnotherPlayerClearsIt) {
  {
    platform::RecordFile file;
    ASSERT_TRUE(file.Open(folders.DataPath + "players4.sav", play::kPlayerRecordLength));
    play::PlayerRecord player = play::PlayerRecord::Decode(file.Read(play::kTemplateRecord));
    player.Name = "Dora";
    ASSERT_TRUE(file.Write(1, player.Encode()));
    play::PlayerRecord settings = play::PlayerRecord::Decode(file.Read(play::kSettingsRecord));
    settings.SetLastPlayer(1);
    ASSERT_TRUE(file.Write(play::kSettingsRecord, settings.Encode()));
  }
  Make();
  MakeDialogs();
  ASSERT_TRUE(program->Start());
  W().cmdDeal->click();
  ASSERT_NE(program->state().CurrentTurn, table::Turn::None);
  const table::PileArrays dealt = program->piles();
  const table::Turn turn = program->state().CurrentTurn;
  ASSERT_GT(dealt.ReserveCount[0], 0);
  EnterName("Dora");
  EXPECT_EQ(program->piles(), dealt);
  EXPECT_EQ(program->state().CurrentTurn, turn);
  EXPECT_TRUE(W().cmdDeal->isHidden()) << "the game goes on; no Deal button over it";
  Soon([] {
    auto* window = qobject_cast<FrmName*>(QApplication::activeModalWidget());
    ASSERT_NE(window, nullptr);
    window->Combo1->setEditText("Eve");
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(window->Combo1, &esc);
    if (window->isVisible()) {
      ADD_FAILURE() << "Esc did not leave the window";
      window->hide();
    }
  });
  dialogs->ShowPlayerWindow();
  EXPECT_EQ(program->player().PlayerName, "Dora") << "Esc keeps the player in play";
  EXPECT_EQ(program->piles(), dealt);
  EXPECT_TRUE(vb::TrimRecord(StoredPlayer(2).Name).isEmpty()) << "no player was made";

  EnterName("Eve");
  EXPECT_EQ(program->player().PlayerName, "Eve");
  EXPECT_EQ(program->state().CurrentTurn, table::Turn::None);
  EXPECT_EQ(program->piles(), table::PileArrays{});
  EXPECT_FALSE(W().cmdDeal->isHidden());
}

}  // namespace
}  // namespace dialogs
