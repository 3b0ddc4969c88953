#pragma once
// Dragging a card with the mouse: the pressed pile's own picture travels
// across the table and is let go over the pile that is to take it. The
// table finds the target pile and moves the pictures; whether the move is
// legal, and what it does to the piles, is game play's to say, through
// DropRules.

#include <QPoint>
#include <vector>

#include "table/game_state.h"
#include "table/piles.h"
#include "table/table_geometry.h"

namespace table {

// What the drag asks of game play. The move being made is the game state's
// MoveSource, MoveSourceIndex and MoveCard.
class DropRules {
 public:
  virtual ~DropRules() = default;
  // Is the move onto target(index), whose top card is targetTop (0 when the
  // pile is empty), legal? A refusal has shown its message when this
  // returns false.
  virtual bool CheckDrop(PileControl target, int index, CardCode targetTop) = 0;
  // Puts MoveCard on target(index). False when it could not be placed; the
  // piles are then unchanged.
  virtual bool PlaceCard(PileControl target, int index) = 0;
  // Takes the moved card off its source pile, once the dragged picture is
  // back at home beneath the cover.
  virtual void RemoveFromSourcePile(PileControl source, int index) = 0;
};

// What became of a drop.
enum class DropOutcome {
  Ignored,   // no drag was running
  Click,     // let go where it was picked up: nothing changes
  Placed,    // a legal move, applied
  SlidBack,  // no target, or the move was refused
};

// A dropped picture hits a pile when it lies within a third of the full
// full-size card of the pile's place, whatever card size the table uses.
inline constexpr double kDropMarginX = CardWidth / 3.0;
inline constexpr double kDropMarginY = CardHeight / 3.0;
// Distance between the positions of a refused card sliding home.
inline constexpr int kSlideBackStep = 60;
// How long each position of the slide back lasts: about one display frame.
inline constexpr double kSlideBackStepSeconds = 0.02;

// Does a picture at `dragged` (its top left corner) hit the pile at
// `candidate`?
bool OverlapsPlace(QPoint dragged, QPoint candidate);

// The positions a refused card takes on its way from where it was let go
// back home, the last one home itself.
std::vector<QPoint> SlideBackPath(QPoint release, QPoint home);

}  // namespace table
