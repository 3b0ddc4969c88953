// Painting the piles: one card, the whole table, the opening deal and the
// cleared table.
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <iterator>

#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/wait.h"
#include "table/card_deck.h"
#include "table/card_table.h"
#include "table/sound_effects.h"

namespace table {

namespace {

constexpr int kErrBadElement = 340;     // "Control array element doesn't exist"
constexpr int kErrInvalidArgument = 5;  // "Invalid procedure call or argument"
constexpr double kDealPause = 0.1;

QString CountText(int n) { return QString::number(n); }

// The table as ClearTable leaves it, before a deal or a restore.
bool NoCardsOnTable(const PileArrays& p) {
  const auto none = [](const auto& counts) {
    return std::all_of(std::begin(counts), std::end(counts), [](auto n) { return n == 0; });
  };
  return none(p.StockCount) && none(p.ReserveCount) && none(p.WasteCount) && none(p.TableauCount) &&
         none(p.CenterCount);
}

}  // namespace

void CardTable::PaintCard(PileControl pile, int index, CardCode card, int sound) {
  if (state_.CurrentTurn == Turn::Opponent && tableauCards_ && tableauCards_->TableauCardsWindowShown())
    tableauCards_->HideTableauCardsWindow();
  PictureBox* box = Pile(pile, index);
  if (!box) {
    static const char* names[] = {"", "picPlayer", "picOpponent", "picTableau", "picCenter"};
    ReportPaintError(kErrBadElement, QString("Control array element '%1' doesn't exist").arg(index),
                     names[static_cast<int>(pile)], index, card);
    return;
  }
  PaintInto(box, card, sound);
}

void CardTable::PaintInto(PictureBox* box, CardCode card, int sound) {
  box->setVisible(true);
  if (card < 0 || card > kDeckSize) {
    ReportPaintError(kErrInvalidArgument, "Invalid procedure call or argument", box->objectName(), box->Index(), card);
    return;
  }
  if (card != 0) {
    const QRect cell = FaceCell(card);
    if (frmStdSm.Sheet().rect().contains(cell)) {
      box->PaintPicture(frmStdSm.Sheet(), cell, QPoint(0, 0));
    } else {
      box->SetPicture(QImage());  // no face sheet: the pile shows blank
    }
  } else if (sound == kEmptyMarker) {
    box->SetPicture(EmptyPic ? *EmptyPic : QImage());
  } else {
    box->SetPicture(frmPic.FilePic[kCurrentBackPicture]);
    if (settings_.CardBack == kOwnBack) {
      box->SetBorderStyle(1);
      box->SetBackColor(ColorFromBgr(settings_.CardBackColor));
    }
  }
  if (sound >= 1 && sound <= 5 && settings_.CardSoundSet != kNoCardSounds && sounds_) sounds_->PlaySfx(sound);
}

void CardTable::ReportPaintError(int number, const QString& description, const QString& object, int index,
                                 CardCode card) {
  const QString text = "Houston, we have a problem:\nError" + vb::Str(static_cast<long long>(number)) +
                       "\n: " + description + "\nObject is: " + object +
                       "\nToPicNum:" + vb::Str(static_cast<long long>(index)) +
                       "  FromPicNum:" + vb::Str(static_cast<long long>(card)) +
                       "  adjusted (From):" + vb::Str(static_cast<long long>(card));
  ui_.MsgBox(text, platform::vbExclamation, QString());
}

void CardTable::LayOutPiles() {
  Dealing = true;
  for (int side = 0; side < kSides; ++side) {
    const PileControl X = side == 0 ? PileControl::picPlayer : PileControl::picOpponent;
    auto& boxes = side == 0 ? picPlayer : picOpponent;
    PaintCard(X, 1, 0, 0);
    for (int n = 0; n < piles_.ReserveCount[side]; ++n) {
      PaintCard(X, 2, 0, side == 0 ? 3 : 5);
      AnimateCard(X, 1, 0, X, 2);
      boxes[1]->setVisible(true);
      wait_.Pause(kDealPause);
    }
    const int top = piles_.ReserveCount[side];
    PaintCard(X, 2, top >= 1 && top <= kSidePileCapacity ? piles_.Reserve[side][top] : 0, 1);
    wait_.Pause(kDealPause);
    const int order[2][4] = {{8, 7, 6, 5}, {1, 2, 3, 4}};
    for (int t : order[side]) {
      AnimateCard(X, 1, 0, PileControl::picTableau, t);
      boxes[1]->setVisible(true);
      const int count = piles_.TableauCount[t];
      PaintCard(PileControl::picTableau, t, count >= 1 && count <= kSharedPileCapacity ? piles_.Tableau[t][count] : 0,
                3);
      SendToBack(picTableau[t]);
      wait_.Pause(kDealPause);
    }
    PaintCard(X, 1, 0, 0);
  }
  Dealing = false;
  lblPResCnt->setText(CountText(piles_.ReserveCount[0]));
  lblOResCnt->setText(CountText(piles_.ReserveCount[1]));
  lblPHandCnt->setText(CountText(piles_.StockCount[0]));
  lblOHandCnt->setText(CountText(piles_.StockCount[1]));
  for (int s = 0; s < kSides; ++s) piles_.ReserveFaceDown[s] = static_cast<std::int16_t>(piles_.ReserveCount[s] - 1);
}

void CardTable::RedrawTable() {
  const auto top = [](const PileArrays::SidePile& pile, int count) -> CardCode {
    return count >= 1 && count <= kSidePileCapacity ? pile[count] : 0;
  };
  const bool noCards = NoCardsOnTable(piles_);
  for (int side = 0; side < kSides; ++side) {
    const PileControl X = side == 0 ? PileControl::picPlayer : PileControl::picOpponent;
    QLabel* resLabel = side == 0 ? lblPResCnt : lblOResCnt;
    QLabel* wasteLabel = side == 0 ? lblPWasteCnt : lblOWasteCnt;

    if (piles_.ReserveCount[side] != 0) {
      PaintCard(X, 2, top(piles_.Reserve[side], piles_.ReserveCount[side]), 0);
      resLabel->setText(CountText(piles_.ReserveCount[side]));
    } else {
      PaintCard(X, 2, 0, kEmptyMarker);
      resLabel->clear();
    }

    const Turn sideTurn = side == 0 ? Turn::Local : Turn::Opponent;
    if (state_.CurrentTurn == sideTurn && state_.StockTurned) {
      PaintCard(X, 1, top(piles_.Stock[side], piles_.StockCount[side]), 0);
    } else {
      PaintCard(X, 1, 0, 0);
    }
    if (piles_.StockCount[side] == 0) PaintCard(X, 1, 0, kEmptyMarker);

    if (piles_.WasteCount[side] != 0) {
      PaintCard(X, 3, top(piles_.Waste[side], piles_.WasteCount[side]), 0);
      wasteLabel->setText(CountText(piles_.WasteCount[side]));
    } else {
      PaintCard(X, 3, 0, kEmptyMarker);
      // A Wastepile turned over into its Hand reads "0" until the table is
      // cleared: a redraw (new preferences, after the game too) says what
      // the table said before it.
      if (wasteLabel->text() != CountText(0)) wasteLabel->clear();
    }

    // A game over turns the Hands face down, but a Hand played out stays
    // empty. Only the table without a game shows its Stocks as backs.
    if (state_.GameEnded && (piles_.StockCount[side] != 0 || noCards)) PaintCard(X, 1, 0, 0);
  }
  lblPHandCnt->setText(piles_.StockCount[0] ? CountText(piles_.StockCount[0]) : QString());
  lblOHandCnt->setText(piles_.StockCount[1] ? CountText(piles_.StockCount[1]) : QString());

  const auto sharedTop = [](const PileArrays::SharedPile& pile, int count) -> CardCode {
    return count >= 1 && count <= kSharedPileCapacity ? pile[count] : 0;
  };
  for (int i = 1; i <= kSharedPiles; ++i) {
    const int c = piles_.CenterCount[i];
    PaintCard(PileControl::picCenter, i, c ? sharedTop(piles_.Center[i], c) : 0, c ? 0 : kEmptyMarker);
    const int t = piles_.TableauCount[i];
    PaintCard(PileControl::picTableau, i, t ? sharedTop(piles_.Tableau[i], t) : 0, t ? 0 : kEmptyMarker);
    lblTabCnt[i]->setText(t > 1 ? CountText(t) : QString());
  }
  if (vb::Trim(settings_.BackgroundFile) == "None") SetFormBackColor(settings_.MatColor);
  if (neighbours_) neighbours_->ShowPileCounts();
  SetLabelColors();
}

void CardTable::ClearTable() {
  state_.StockTurned = false;
  state_.CurrentTurn = Turn::None;
  ArrangePiles();
  piles_ = PileArrays{};
  cmdDone->hide();
  for (int i = 1; i <= kSharedPiles; ++i) {
    PaintCard(PileControl::picCenter, i, 0, kEmptyMarker);
    PaintCard(PileControl::picTableau, i, 0, kEmptyMarker);
    lblTabCnt[i]->clear();
  }
  for (int i = 1; i <= 3; ++i) {
    PaintCard(PileControl::picPlayer, i, 0, kEmptyMarker);
    PaintCard(PileControl::picOpponent, i, 0, kEmptyMarker);
  }
  PaintCard(PileControl::picPlayer, 1, 0, 0);
  PaintCard(PileControl::picOpponent, 1, 0, 0);
  for (QLabel* l : {lblPResCnt, lblOResCnt, lblPHandCnt, lblOHandCnt, lblPWasteCnt, lblOWasteCnt}) l->clear();
  ImgTurn1->hide();
  ImgTurn2->hide();
  lblCardFrame[0]->hide();
  SetFrameBackStyle(2, 0);
  SetFrameBackStyle(3, 0);
  lblMessage->clear();
  lblTurn->clear();
  ClearTableFrame();
  if (pictures_) pictures_->ShowLogo(false);
  if (neighbours_) neighbours_->ShowMatchPoints();
  EnablePiles(true);
}

void CardTable::EnablePiles(bool flag) {
  for (int i = 1; i <= 3; ++i)
    if (picPlayer[i]) picPlayer[i]->setEnabled(flag);
  for (int i = 1; i <= kSharedPiles; ++i)
    if (picTableau[i]) picTableau[i]->setEnabled(flag);
}

void CardTable::SetEnabled(PileControl pile, int index) {
  if (PictureBox* box = Pile(pile, index)) box->setEnabled(true);
}

}  // namespace table
