#pragma once
// Applying a move to the piles. Every card played from one pile to another,
// whoever plays it, takes the same steps: the caller sets MoveCard,
// MoveSource and MoveSourceIndex, slides the card (the human's drag moves
// the picture itself), calls one Place operation for the target, then
// RemoveFromSourcePile for the source.
//
// This lives in play rather than beside the pile arrays in table because
// taking a card off its pile ends the game, writes the move file and hands
// the move to the online peer: game play's business, reached through
// PlayHooks.

#include <QString>
#include <cstdint>
#include <utility>

#include "play/rules/table_search.h"
#include "play/state/net_state.h"
#include "play/state/play_state.h"
#include "table/busy_guard.h"
#include "table/game_state.h"
#include "table/piles.h"

namespace platform {
class WaitService;
}

namespace table {
class SoundEffects;
class TableView;
}  // namespace table

namespace play {

// The local move in the form the peer's mirrored table names it: control
// names "picPlayer", "picOpponent", "picTableau", "picCenter" and indexes.
struct OnlineMove {
  QString MoveFromPile;
  std::int16_t MoveFromIndex = 0;
  QString MoveToPile;
  std::int16_t MoveToIndex = 0;
  bool operator==(const OnlineMove&) const = default;
};

// Calls the move operations and the computer's turn make into parts of the
// game that live elsewhere: game over and the pile counters, the saved-game
// and move files, the online exchange and the tutorial window.
class PlayHooks {
 public:
  virtual ~PlayHooks() = default;
  // Ends and scores the game; winner 0 the local side, 1 the opponent. Game
  // over sets GameEnded, clears ComputerThinking and CurrentTurn.
  virtual void GameOver(int winner) = 0;
  // Status bar panels 2 and 3: each side's cards left.
  virtual void ShowPileCounts() = 0;
  // Fills the game record from the table and writes it as that record of
  // the move file.
  virtual void WriteMoveRecord(int record) = 0;
  // The one-turn backup of the saved-games file, chosen by TurnCount.
  virtual void SaveGameRecord() = 0;
  // Sends the local move to the peer and waits for the exchange to finish.
  // False when the peer left, ended the game or started a new one meanwhile.
  virtual bool Move_Transmit_PlayCard(const OnlineMove& move) = 0;
  // Enables or disables the tutorial window's Next button cmdNextTip(0).
  virtual void EnableNextTip(bool enabled) = 0;
};

// What the move operations and the computer's turn work on and talk to.
// One per running program, owned by the table window.
struct MoveServices {
  MoveServices(table::PileArrays& piles, PlayState& state, table::TableView& view, table::SoundEffects& sfx,
               platform::WaitService& wait, table::BusyGuard& guard, PlayHooks& hooks, const NetState& net,
               float ThinkDelay = 0, OnlineMove NetMove = {})
      : piles(piles),
        state(state),
        view(view),
        sfx(sfx),
        wait(wait),
        guard(guard),
        hooks(hooks),
        net(net),
        ThinkDelay(ThinkDelay),
        NetMove(std::move(NetMove)) {}

  table::PileArrays& piles;
  PlayState& state;
  table::TableView& view;
  table::SoundEffects& sfx;
  platform::WaitService& wait;
  table::BusyGuard& guard;
  PlayHooks& hooks;
  const NetState& net;      // whether an online game is set up or running
  float ThinkDelay = 0;     // seconds the computer pauses after each step (SpeedFactor of ThinkLevel)
  OnlineMove NetMove;       // the local move being made, as it will be sent to the peer
  SearchFindings findings;  // what the searches found for the move that follows them, the computer's above all
};

// What became of a move operation. A refusal changes nothing: local legal
// play never meets one, and the replay of an online peer's move reads it as
// the end of the online game.
enum class MoveResult {
  Applied,
  NoSuchPile,   // a pile number or side pile index outside its range
  PileFull,     // the target already holds as many cards as it can
  NoSuchCard,   // MoveCard is not a card code 1..52
  EmptySource,  // there is no card to take off the source pile
  NotASource,   // cards are never taken from that pile (a Center or Waste pile)
};
const char* MoveResultText(MoveResult result);

inline constexpr int kCenterSound = 2;
inline constexpr int kTableauSound = 4;  // also the side piles
inline constexpr int kStockTurnSound = 1;
inline constexpr int kReserveTurnUpSound = 3;
inline constexpr double kLoadedCardPause = 0.5;
// Backdrops of the frame labels around the local player's Reserve and Waste.
inline constexpr int kFrameTransparent = 0;
inline constexpr int kFrameOpaque = 1;
inline constexpr double kReserveTurnUpPause = 0.5;

// Owner value of PlaceOnSidePile: the local player's pile; any other value
// is the opponent's.
inline constexpr int kLocalOwner = 1;
inline constexpr int kOpponentOwner = 2;
// MoveSourceIndex of the computer's end-of-turn discard from its Stock.
inline constexpr int kEndOfTurnDiscard = 3;

// Pushes MoveCard onto Center pile 1..8 and paints it with the Center sound.
MoveResult PlaceOnCenter(MoveServices& s, int pile);
// Pushes MoveCard onto Tableau pile 1..8, updates its count label.
MoveResult PlaceOnTableau(MoveServices& s, int pile);
// Pushes MoveCard onto a side's Reserve (pile 2) or Waste (pile 3). A card
// the opponent loads onto the local player's pile is framed and shown a
// moment.
MoveResult PlaceOnSidePile(MoveServices& s, int pile, int owner);
// Takes the top card off the source pile of the side whose turn it is,
// repaints it and handles what an emptied pile means: the end of the Stock
// (the offline computer's Waste is turned over), a Reserve card to turn face
// up, a won game. Then the move goes to the peer online, into the move file
// and the counters.
MoveResult RemoveFromSourcePile(MoveServices& s, table::PileControl source, int index);
// Turns the computer's Stock top face up and waits the thinking time.
void TurnOpponentStock(MoveServices& s);

// The control's name as it travels in the online move message.
QString PileControlName(table::PileControl pile);

}  // namespace play
