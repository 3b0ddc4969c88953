#pragma once
// What the game logic asks of the table window's controls. The table
// window (frmPlay) implements it; tests use a recording fake. Names follow
// the window's controls so a search for a control lands here too.

#include <QString>
#include <cstdint>

#include "table/game_state.h"
#include "table/piles.h"

namespace table {

inline constexpr char kWaitText[] = " W A I T ";  // lblWAIT's text

// Text controls of the table window. lblTabCnt(1..8) is reached by
// SetTabCount.
enum class TableLabel {
  lblMessage,  // the message line
  lblTurn,     // the turn line
  StatusMsg,   // the status line
  lblWAIT,     // the waiting notice
  lblOHandCnt,
  lblOResCnt,
  lblOWasteCnt,
  lblPHandCnt,
  lblPResCnt,
  lblPWasteCnt,
};

// Picture controls that the game shows and hides.
enum class TableImage {
  ImgTurn1,  // the local player moves
  ImgTurn2,  // the opponent moves
  imgIcon,   // the small picture below the menu bar
  cmdDone,   // not a picture: the Done button, shown and hidden the same way
  cmdDeal,   // not a picture: the Deal button, shown and hidden the same way
  picHand1,  // picHand(1), the tutorial's pointing hand over the piles
};

class TableView {
 public:
  virtual ~TableView() = default;

  // Paints card 1..52 face up, 0 face down, or with sound 88 the empty
  // pile, into pile control pile(index); sound 1..5 plays that card sound.
  virtual void PaintCard(PileControl pile, int index, CardCode card, int sound) = 0;
  // Gives pile(index) the empty-pile picture.
  virtual void ShowEmpty(PileControl pile, int index) = 0;
  // Brings pile(index) to the front of the drawing order.
  virtual void BringToFront(PileControl pile, int index) = 0;
  // Lets the local player press the piles, or not.
  virtual void EnablePiles(bool enabled) = 0;
  // Paints the opening position of a deal with its animation.
  virtual void LayOutPiles() = 0;

  virtual void SetLabel(TableLabel label, const QString& text) = 0;
  virtual QString Label(TableLabel label) const = 0;
  virtual void SetTabCount(int pile, const QString& text) = 0;
  virtual void SetImageVisible(TableImage image, bool visible) = 0;
  // imgIcon shows the picture file; an empty name clears it.
  virtual void SetIconPicture(const QString& file) = 0;
  // Green card frame lblCardFrame(index) shown or hidden.
  virtual void SetCardFrameVisible(int index, bool visible) = 0;
  // Backdrop of frame label lblCardFrame(index): 1 opaque, its colour seen
  // as a rim around the pile; 0 transparent.
  virtual void SetCardFrameBackStyle(int index, int backStyle) = 0;
  // Status bar panel 1..11 text.
  virtual void SetStatusPanel(int panel, const QString& text) = 0;
  // The elapsed-time clock (Timer1) started from now, or stopped.
  virtual void StartClock() = 0;
  // The clock of a restored game, started from the time it had.
  virtual void StartClockAt(double elapsedSeconds) = 0;
  // Whole seconds the clock shows, for the records that keep the time.
  virtual std::int64_t ElapsedSeconds() const = 0;

  // Game over and the match panels.
  virtual void StopClock() = 0;
  virtual void SetLabelVisible(TableLabel label, bool visible) = 0;
  // The logo picture picLogo painted and shown, or hidden.
  virtual void ShowLogo(bool show) = 0;
  // Status bar panel 1..11 tool tip, and the panels laid out again.
  virtual void SetStatusPanelToolTip(int panel, const QString& text) = 0;
  virtual void SizeStatusBar() = 0;

  // Slides the card from source(sourceIndex) to target(targetIndex); the
  // source picture is left hidden and back at its home position.
  virtual void AnimateCard(PileControl source, int sourceIndex, CardCode card, PileControl target, int targetIndex) = 0;
  // Shows or hides pile(index).
  virtual void SetPileVisible(PileControl pile, int index, bool visible) = 0;
  // Puts the slide cover picSmoke(0) where pile(index) stands.
  virtual void MoveSmokeTo(PileControl pile, int index) = 0;
  // Empties the pile arrays and the table (ClearTable).
  virtual void ClearTable() = 0;
};

// A table nobody sees: every call draws nothing. Searches and simulations
// that run the game's own moves derive from it and keep only the slides
// (and, where it matters, the clearing) to themselves.
class UnseenTableView : public TableView {
 public:
  void PaintCard(PileControl, int, CardCode, int) override {}
  void ShowEmpty(PileControl, int) override {}
  void BringToFront(PileControl, int) override {}
  void EnablePiles(bool) override {}
  void LayOutPiles() override {}
  void SetLabel(TableLabel, const QString&) override {}
  QString Label(TableLabel) const override { return QString(); }
  void SetTabCount(int, const QString&) override {}
  void SetImageVisible(TableImage, bool) override {}
  void SetIconPicture(const QString&) override {}
  void SetCardFrameVisible(int, bool) override {}
  void SetCardFrameBackStyle(int, int) override {}
  void SetStatusPanel(int, const QString&) override {}
  void StartClock() override {}
  void StartClockAt(double) override {}
  std::int64_t ElapsedSeconds() const override { return 0; }
  void StopClock() override {}
  void SetLabelVisible(TableLabel, bool) override {}
  void ShowLogo(bool) override {}
  void SetStatusPanelToolTip(int, const QString&) override {}
  void SizeStatusBar() override {}
  void SetPileVisible(PileControl, int, bool) override {}
  void MoveSmokeTo(PileControl, int) override {}
  void ClearTable() override {}
};

}  // namespace table
