#include "table/card_table.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegion>
#include <vector>

#include "platform/ui.h"
#include "platform/wait.h"
#include "support/temp_home.h"
#include "table/drag_drop.h"
#include "table/fake_sound_effects.h"
#include "table/table_geometry.h"
#include "table/table_rig.h"
#include "table/table_text.h"

using namespace table;

namespace {

class CardTableTest : public ::testing::Test, protected testing_support::TableRig {
 protected:
  CardTableTest() { testing_support::LayOutAtDesignSize(table); }

  CardTable table{Services()};
};

}  // namespace

TEST_F(CardTableTest, PaintsAFaceCutFromTheSheet) {
  ASSERT_FALSE(table.frmStdSm.Sheet().isNull());
  table.PaintCard(PileControl::picCenter, 3, 14, 2);
  const QImage expected = CutFace(table.frmStdSm.Sheet(), 14).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  EXPECT_EQ(table.picCenter[3]->Picture(), expected);
  EXPECT_EQ(sounds.effects, std::vector<int>{2});
  EXPECT_FALSE(table.picCenter[3]->isHidden());
}

TEST_F(CardTableTest, PaintsABackWithTheOwnBacksRimAndKeepsIt) {
  settings.CardBack = 0;
  settings.CardBackColor = 0x000000FF;  // red
  table.PaintCard(PileControl::picPlayer, 1, 0, 3);
  PictureBox* box = table.picPlayer[1];
  EXPECT_EQ(box->Picture(),
            table.frmPic.FilePic[table::kCurrentBackPicture].convertToFormat(QImage::Format_ARGB32_Premultiplied));
  EXPECT_EQ(box->BorderStyle(), 1);
  EXPECT_EQ(box->BackColor(), QColor(255, 0, 0));
  EXPECT_EQ(sounds.effects, std::vector<int>{3});
  table.PaintCard(PileControl::picPlayer, 1, 52, 0);
  EXPECT_EQ(box->BorderStyle(), 1);
}

// The own back's rim belongs to the back: a face painted over a pile that
// showed the back (the Reserve and the Hand after the deal) looks as on a
// pile that never did, its see-through corners showing the table.
TEST_F(CardTableTest, AFaceOverTheOwnBackShowsNoRim) {
  settings.CardBack = 0;
  settings.CardBackColor = 0x00800000;
  table.show();
  table.PaintCard(PileControl::picPlayer, 2, 0, 3);
  PictureBox* reserve = table.picPlayer[2];
  PictureBox* waste = table.picPlayer[3];
  const QImage back = table.grab(reserve->geometry()).toImage();
  EXPECT_EQ(back.pixel(0, back.height() / 2), QColor(0, 0, 128).darker(180).rgb());
  table.PaintCard(PileControl::picPlayer, 2, 14, 0);
  table.PaintCard(PileControl::picPlayer, 3, 14, 0);
  EXPECT_EQ(reserve->BorderStyle(), 1);
  const QImage onReserve = table.grab(reserve->geometry()).toImage();
  const QImage onWaste = table.grab(waste->geometry()).toImage();
  ASSERT_FALSE(onReserve.isNull());
  EXPECT_EQ(onReserve, onWaste);
  // A back painted again brings its rim back.
  table.PaintCard(PileControl::picPlayer, 2, 0, 0);
  EXPECT_EQ(table.grab(reserve->geometry()).toImage(), back);
}

// The cover a slide or a click leaves under a pile (a back, when the card
// beneath lies face down) does not show through the see-through edges of
// the card back on top of it.
TEST_F(CardTableTest, TheCoverLeftUnderAPileDoesNotShowThroughIt) {
  settings.CardBack = 0;
  settings.CardBackColor = 0x00800000;
  table.show();
  const auto look = [&](QWidget* box) { return table.grab(box->geometry()).toImage(); };
  table.PaintCard(PileControl::picOpponent, 3, 14, 0);
  const QImage alone = look(table.picOpponent[3]);

  state.CurrentTurn = Turn::Opponent;
  piles.ReserveCount[1] = 3;
  piles.ReserveFaceDown[1] = 2;
  table.AnimateCard(PileControl::picOpponent, 2, 14, PileControl::picCenter, 1);
  ASSERT_FALSE(table.picSmoke[0]->isHidden());
  EXPECT_EQ(look(table.picOpponent[2]), look(table.picSmoke[0]));
  table.PaintCard(PileControl::picOpponent, 2, 14, 0);
  table.BringToFront(table.picOpponent[2]);
  EXPECT_EQ(look(table.picOpponent[2]), alone);

  // A click on the own Reserve leaves the cover under it, and the card shows alone.
  state.CurrentTurn = Turn::Local;
  piles.ReserveCount[0] = 3;
  piles.ReserveFaceDown[0] = 2;
  table.PaintCard(PileControl::picPlayer, 3, 14, 0);
  table.PaintCard(PileControl::picPlayer, 2, 14, 0);
  table.DragStart(PileControl::picPlayer, 2, 5, 5);
  EXPECT_EQ(table.DragDrop(PileControl::picPlayer, 2), DropOutcome::Click);
  ASSERT_FALSE(table.picSmoke[0]->isHidden());
  EXPECT_EQ(table.picSmoke[0]->pos(), table.picPlayer[2]->pos());
  EXPECT_EQ(look(table.picPlayer[2]), look(table.picPlayer[3]));
}

TEST_F(CardTableTest, PaintsTheEmptyPileSilently) {
  table.PaintCard(PileControl::picTableau, 8, 0, 88);
  EXPECT_EQ(table.picTableau[8]->Picture(),
            table.frmPic.ImgEmpty3.convertToFormat(QImage::Format_ARGB32_Premultiplied));
  settings.WoodPlaceHolders = false;
  table.RefreshEmptyPilePictures();
  table.PaintCard(PileControl::picTableau, 8, 0, 88);
  EXPECT_EQ(table.picTableau[8]->Picture(),
            table.frmPic.ImgEmpty2.convertToFormat(QImage::Format_ARGB32_Premultiplied));
  EXPECT_TRUE(sounds.effects.empty());
}

TEST_F(CardTableTest, CardSoundsOnlyWhenWantedAndInRange) {
  table.PaintCard(PileControl::picCenter, 1, 5, 6);
  table.PaintCard(PileControl::picCenter, 1, 5, 0);
  settings.CardSoundSet = kNoCardSounds;
  table.PaintCard(PileControl::picCenter, 1, 5, 4);
  EXPECT_TRUE(sounds.effects.empty());
}

TEST_F(CardTableTest, AMissingPileIsReportedNotPainted) {
  table.PaintCard(PileControl::picCenter, 9, 5, 2);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text,
            "Houston, we have a problem:\nError 340\n: Control array element '9' doesn't exist\n"
            "Object is: picCenter\nToPicNum: 9  FromPicNum: 5  adjusted (From): 5");
  EXPECT_EQ(ui.boxes[0].icon(), platform::vbExclamation);
  EXPECT_TRUE(sounds.effects.empty());
}

TEST_F(CardTableTest, MissingPicturesPaintBlank) {
  QTemporaryDir empty;
  CardTable bare{{piles, state, settings, wait, ui, &sounds, empty.path()}};
  bare.SetFixedSizes();
  bare.PaintCard(PileControl::picTableau, 2, 40, 0);
  bare.PaintCard(PileControl::picTableau, 3, 0, 0);
  bare.PaintCard(PileControl::picTableau, 4, 0, 88);
  EXPECT_TRUE(bare.picTableau[2]->Picture().isNull());
  EXPECT_TRUE(bare.picTableau[3]->Picture().isNull());
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CardTableTest, RedrawShowsTheTurnedStockOnlyInItsOwnersTurn) {
  piles.StockCount[0] = 2;
  piles.Stock[0][2] = 7;
  piles.TableauCount[1] = 1;
  piles.Tableau[1][1] = 9;
  piles.TableauCount[2] = 2;
  piles.Tableau[2][2] = 10;
  state.StockTurned = true;
  state.CurrentTurn = table::Turn::Local;
  table.RedrawTable();
  const auto face = [&](CardCode c) {
    return CutFace(table.frmStdSm.Sheet(), c).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  };
  EXPECT_EQ(table.picPlayer[1]->Picture(), face(7));
  EXPECT_EQ(table.lblTabCnt[1]->text(), "");
  EXPECT_EQ(table.lblTabCnt[2]->text(), "2");
  EXPECT_EQ(table.lblPHandCnt->text(), "2");
  state.CurrentTurn = table::Turn::Opponent;
  table.RedrawTable();
  EXPECT_EQ(table.picPlayer[1]->Picture(),
            table.frmPic.FilePic[table::kCurrentBackPicture].convertToFormat(QImage::Format_ARGB32_Premultiplied));
  const QImage back =
      table.frmPic.FilePic[table::kCurrentBackPicture].convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QImage empty = table.EmptyPic->convertToFormat(QImage::Format_ARGB32_Premultiplied);
  // An empty Stock shows the empty pile, also once the game is over (a
  // change of deck repaints the ended game's table); a Stock that still
  // holds cards is turned face down then.
  piles.StockCount[0] = 0;
  table.RedrawTable();
  EXPECT_EQ(table.picPlayer[1]->Picture(), empty);
  EXPECT_EQ(table.lblPHandCnt->text(), "");
  state.GameEnded = true;
  state.CurrentTurn = table::Turn::None;
  piles.StockCount[1] = 3;
  table.RedrawTable();
  EXPECT_EQ(table.picPlayer[1]->Picture(), empty);
  EXPECT_EQ(table.picOpponent[1]->Picture(), back);
  piles.StockCount[0] = 2;
  table.RedrawTable();
  EXPECT_EQ(table.picPlayer[1]->Picture(), back);
  // The table without a game keeps the backs ClearTable gives its Stocks.
  table.ClearTable();
  table.RedrawTable();
  EXPECT_EQ(table.picPlayer[1]->Picture(), back);
  EXPECT_EQ(table.picOpponent[1]->Picture(), back);
  EXPECT_TRUE(sounds.effects.empty());
}

TEST_F(CardTableTest, EnablePilesLeavesTheOpponentAndCenterAlone) {
  table.PaintCard(PileControl::picPlayer, 2, 27, 0);
  const QImage enabledLook = table.picPlayer[2]->grab().toImage();
  table.EnablePiles(false);
  // A disabled pile shows its card unchanged.
  EXPECT_EQ(table.picPlayer[2]->grab().toImage(), enabledLook);
  EXPECT_FALSE(table.picPlayer[2]->isEnabled());
  EXPECT_FALSE(table.picTableau[5]->isEnabled());
  EXPECT_TRUE(table.picOpponent[2]->isEnabled());
  EXPECT_TRUE(table.picCenter[5]->isEnabled());
  table.SetEnabled(PileControl::picTableau, 5);
  EXPECT_TRUE(table.picTableau[5]->isEnabled());
}

TEST_F(CardTableTest, SlideEndsWithTheCardHiddenAtHomeAndTheCoverInFront) {
  piles.TableauCount[3] = 2;
  piles.Tableau[3][1] = 20;
  piles.Tableau[3][2] = 21;
  state.CurrentTurn = table::Turn::Opponent;
  const QPoint home = table.picTableau[3]->pos();
  table.AnimateCard(PileControl::picTableau, 3, 21, PileControl::picCenter, 4);
  EXPECT_EQ(table.picTableau[3]->pos(), home);
  EXPECT_TRUE(table.picTableau[3]->isHidden());
  EXPECT_EQ(QPoint(table.DragHomeLeft, table.DragHomeTop), home);
  EXPECT_EQ(table.picSmoke[0]->pos(), home);
  EXPECT_FALSE(table.picSmoke[0]->isHidden());
  // The cover shows the card underneath.
  EXPECT_EQ(table.picSmoke[0]->Picture(),
            CutFace(table.frmStdSm.Sheet(), 20).convertToFormat(QImage::Format_ARGB32_Premultiplied));
  EXPECT_FALSE(table.Animating());
}

TEST_F(CardTableTest, NoSlideWhileExiting) {
  table.DragHomeLeft = 5;
  table.DragHomeTop = 6;
  wait.SetExiting(true);
  table.AnimateCard(PileControl::picPlayer, 1, 0, PileControl::picTableau, 8);
  EXPECT_EQ(table.DragHomeLeft, 5);
  EXPECT_EQ(table.DragHomeTop, 6);
  EXPECT_FALSE(table.picPlayer[1]->isHidden());
}

TEST_F(CardTableTest, LabelsLieBeneathThePilesWhateverTheirOrder) {
  QLabel* frame = table.lblCardFrame[2];
  frame->raise();
  table.SendToBack(table.picPlayer[2]);
  // The frame's layer stands beneath every pile, button and frame.
  QWidget* layer = frame->parentWidget();
  ASSERT_NE(layer, &table);
  const auto order = table.children();
  for (QWidget* upper : {static_cast<QWidget*>(table.picPlayer[2]), static_cast<QWidget*>(table.picTableau[8]),
                         static_cast<QWidget*>(table.cmdDeal), static_cast<QWidget*>(table.fraPause)})
    EXPECT_LT(order.indexOf(layer), order.indexOf(upper));
}

TEST_F(CardTableTest, ClearTableEmptiesEverything) {
  piles.ReserveCount[0] = 3;
  state.CurrentTurn = table::Turn::Local;
  state.StockTurned = true;
  table.lblMessage->setText("hello");
  table.cmdDone->show();
  table.ClearTable();
  EXPECT_EQ(piles, PileArrays{});
  EXPECT_EQ(state.CurrentTurn, table::Turn::None);
  EXPECT_FALSE(state.StockTurned);
  EXPECT_TRUE(table.lblMessage->text().isEmpty());
  EXPECT_TRUE(table.cmdDone->isHidden());
  EXPECT_EQ(table.picPlayer[1]->Picture(),
            table.frmPic.FilePic[table::kCurrentBackPicture].convertToFormat(QImage::Format_ARGB32_Premultiplied));
  EXPECT_EQ(table.picPlayer[2]->Picture(), table.EmptyPic->convertToFormat(QImage::Format_ARGB32_Premultiplied));
  EXPECT_FALSE(table.lblCardFrame[2]->autoFillBackground());
}

TEST_F(CardTableTest, SlideCoverShowsWhatThePileWillShow) {
  const auto premul = [](const QImage& i) { return i.convertToFormat(QImage::Format_ARGB32_Premultiplied); };
  state.CurrentTurn = table::Turn::Opponent;
  piles.ReserveCount[1] = 3;
  piles.Reserve[1][2] = 30;
  piles.ReserveFaceDown[1] = 0;  // the card beneath lies face up
  table.AnimateCard(PileControl::picOpponent, 2, 31, PileControl::picCenter, 1);
  EXPECT_EQ(table.picSmoke[0]->Picture(), premul(CutFace(table.frmStdSm.Sheet(), 30)));
  piles.ReserveFaceDown[1] = 2;  // face down beneath
  table.AnimateCard(PileControl::picOpponent, 2, 31, PileControl::picCenter, 1);
  EXPECT_EQ(table.picSmoke[0]->Picture(), premul(table.frmPic.FilePic[table::kCurrentBackPicture]));
  // The computer's last Tableau card leaves the empty pile behind.
  piles.TableauCount[6] = 1;
  table.AnimateCard(PileControl::picTableau, 6, 12, PileControl::picCenter, 1);
  EXPECT_EQ(table.picSmoke[0]->Picture(), premul(*table.EmptyPic));
  // During the deal the Stock always has cards left.
  table.Dealing = true;
  table.AnimateCard(PileControl::picPlayer, 1, 0, PileControl::picTableau, 8);
  EXPECT_EQ(table.picSmoke[0]->Picture(), premul(table.frmPic.FilePic[table::kCurrentBackPicture]));
  table.Dealing = false;
}

// At every text size Preferences offers, up to its largest, each text
// around the piles shows whole inside its place, and the places stay off
// the buttons, the piles, the turn markers and the structures' frame lines;
// at the default size every text keeps the player's size.
TEST_F(CardTableTest, TextsShowWholeInsideTheirPlacesAtEveryTextSize) {
  constexpr int kDefaultSize = 13;
  constexpr int kLargestOfferedSize = 24;
  const QString messages[] = {
      "Your score is:\r\n30 points for the win\r\n44 pts for my Stock/Waste\r\n26 pts for my Reserve\r\n\r\n"
      "Total Score: 100",
      "Your points: 52\r\nOpponent's: 52\r\n52 - 52 =\r\nStalemate points awarded:\r\nTotal Score:  0\r\n"
      "Nobody won this Stalemate. Points were equal."};
  struct Window {
    QSize client;
    int offsetX, offsetY;
  };
  const Window windows[] = {{{1022, 694}, 0, 56}, {{1364, 694}, 78, 56}, {{1210, 770}, 0, 0}};
  std::vector<QLabel*> texts{table.lblPResCnt,   table.lblOResCnt,   table.lblPHandCnt, table.lblOHandCnt,
                             table.lblPWasteCnt, table.lblOWasteCnt, table.lblMessage,  table.lblTurn};
  for (int i = 1; i <= 8; ++i) texts.push_back(table.lblTabCnt[i]);
  table.cmdDeal->show();
  table.cmdDone->show();
  table.ImgTurn1->show();

  for (const Window& w : windows) {
    for (const int size : {kDefaultSize, 18, kLargestOfferedSize}) {
      for (const QString& message : messages) {
        SCOPED_TRACE(
            QString("%1x%2 at %3 points").arg(w.client.width()).arg(w.client.height()).arg(size).toStdString());
        settings.TextFontSize = static_cast<std::int16_t>(size);
        table.resize(w.client);
        table.SetTableOffsets(w.offsetX, w.offsetY);
        table.ArrangePiles();
        table.ArrangeControls();
        table.SetLabelColors();
        table.lblMessage->setText(message);
        table.lblTurn->setText("NOBODY is the WINNER!\r\n- STALEMATE Declared -");
        for (QLabel* count : {table.lblPResCnt, table.lblOResCnt, table.lblPHandCnt, table.lblOHandCnt,
                              table.lblPWasteCnt, table.lblOWasteCnt})
          count->setText("52");
        for (int i = 1; i <= 8; ++i) table.lblTabCnt[i]->setText("13");

        const QRegion unlined =
            StructureTextBoxes(ArrangePilePlaces(0, 0), kTableWidth).translated(w.offsetX, -w.offsetY);
        std::vector<QRect> keepOff{table.cmdDeal->geometry(), table.cmdDone->geometry(), table.ImgTurn1->geometry(),
                                   table.StatusMsg->geometry(), QRect(table.LogoLeft, table.LogoTop, 150, 80)};
        for (int i = 1; i <= 8; ++i) {
          keepOff.push_back(table.picCenter[i]->geometry());
          keepOff.push_back(table.picTableau[i]->geometry());
          if (i <= 3) keepOff.push_back(table.picPlayer[i]->geometry());
          if (i <= 3) keepOff.push_back(table.picOpponent[i]->geometry());
        }
        for (QLabel* label : texts) {
          SCOPED_TRACE(label->objectName().toStdString());
          const auto* text = dynamic_cast<const TableText*>(label);
          ASSERT_NE(text, nullptr);
          const QRect place = label->geometry();
          const QRectF ink = text->DrawnInk().translated(place.topLeft());
          EXPECT_FALSE(ink.isEmpty());
          EXPECT_TRUE(QRectF(place).contains(ink)) << "ink runs out of its place";
          EXPECT_EQ(unlined.intersected(place), QRegion(place)) << "a frame line runs through the place";
          for (const QRect& other : keepOff) EXPECT_FALSE(place.intersects(other));
          if (size == kDefaultSize) {
            EXPECT_EQ(text->DrawnFont().pointSize(), label->font().pointSize());
          }
        }
        // Both lines of the turn line show, in at least the default size.
        QFont turnFont = table.lblTurn->font();
        turnFont.setPointSize(kDefaultSize);
        EXPECT_GE(dynamic_cast<const TableText*>(table.lblTurn)->DrawnFont().pointSize(), kDefaultSize);
        EXPECT_EQ(LayOutText(table.lblTurn->text(), turnFont, table.lblTurn->size(), Qt::AlignTop, true).lines.size(),
                  2u);
      }
    }
  }
}
