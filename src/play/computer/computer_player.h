#pragma once
// The computer's turn. It plays side 1 inside the event that ended the
// human turn: it searches the table for a move in a fixed order of
// preference, slides and applies the move, pauses for the thinking time and
// searches again from the top, until no move is left; then it discards its
// Hand card to its Waste and hands the turn back.
//
// The computer does not ask the rule checks: its searches only offer moves
// that fit the pile rules (Center up in suit from the Ace, Tableau down in
// alternating colours, the human's Reserve and Waste loaded in suit one
// rank up or down). The STOP rules of the human player do not bind it.

#include "play/rules/apply_move.h"
#include "table/piles.h"

namespace play {

// How a computer turn ended.
enum class TurnOutcome {
  HandedBack,      // no move left: the Hand card was discarded, the human moves
  MoveCapReached,  // handed back after kMaxMovesPerTurn moves (see there)
  GameEnded,       // one of its moves ended the game
  Exiting,         // the window is closing
  Aborted,         // the player ended the game from the menu meanwhile
};

struct TurnReport {
  TurnOutcome outcome = TurnOutcome::HandedBack;
  int moves = 0;   // cards the computer moved (the end-of-turn discard not counted)
  int passes = 0;  // times the search started again from the top
};

// A turn of the computer ends when no move is left, and every move brings
// cards nearer to the Center, the human's piles or the Tableau's order, so
// a turn is finite; should a mistake ever make the search offer moves
// without end, the turn is handed back after this many instead of freezing
// the table.
inline constexpr int kMaxMovesPerTurn = 500;

inline const QString kMyTurnLine = QStringLiteral("My turn");
inline const QString kYourTurnLine = QStringLiteral("Your turn");
inline constexpr int kYourTurnEffect = 10;
inline constexpr double kEndTurnPause = 0.4;
inline constexpr int kHumanReserve = 2;  // the human's piles the computer loads
inline constexpr int kHumanWaste = 3;

enum class CheckMode { Center = 1, Tableau = 2 };

// The turn passes to the local player, after the computer's or the online
// peer's: counted, backed up as the turn's first record, shown and announced.
void PassTurnToPlayer(MoveServices& s);

class ComputerPlayer {
 public:
  explicit ComputerPlayer(MoveServices& services) : s_(services) {}

  // Plays the computer's whole turn. Entered with CurrentTurn Opponent.
  TurnReport ComputerTurn();
  // Discards the Hand card, hands the turn back, counts it and writes the
  // backups.
  void CompEndTurn();

  // The search, one step each. A procedure that makes a move says so; one
  // that only looks leaves the move variables (and its target) set.
  bool FillTableau(int side);
  bool MoveCheckTABtoPlayersCards();
  bool MoveCheckTABtoTAB();
  bool MoveCheckReserve(CheckMode mode);
  bool MoveCheckHand(CheckMode mode);
  bool MoveCheckToPlayersCards();
  bool CheckTableauToCenter();
  bool CheckForPayBack(int pile, int humanPile);

 private:
  // Slides MoveCard from MoveSource(MoveSourceIndex) to target(index) and
  // applies the move; false when no card moved.
  bool MakeMove(table::PileControl target, int index);
  // Merges the one-card Tableau pile that fits onto another, then fills the
  // space it leaves.
  bool CombineSingleTableau();
  // The game ended or the window is closing: the turn returns at once.
  bool Stopped() const;
  void Pause(double seconds);

  MoveServices& s_;
  int movesThisTurn_ = 0;
};

}  // namespace play
