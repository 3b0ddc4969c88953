#pragma once
// Filling the piles for a new game: shuffling both decks or loading a
// numbered sample game into the Reserve arrays, dealing them out, and
// turning a Waste pile over into its Stock.

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "table/game_state.h"
#include "table/piles.h"
#include "table/sample_game_record.h"

namespace platform {
class UiService;
class WaitService;
}  // namespace platform

namespace table {

class SoundEffects;
class TableView;

// The program's single random generator: each call gives a uniform value in
// [0, 1). The program seeds it once at start-up; tests fix it.
using RandomSource = std::function<double()>;

// A generator whose sequence depends only on the seed, on every platform
// (a Mersenne twister read as 32-bit fractions).
RandomSource SeededRandom(std::uint32_t seed);

// Cards of the opening position per side.
inline constexpr int kReserveDealt = 13;
inline constexpr int kTableauDealt = 4;
inline constexpr int kStockDealt = kDeckSize - kReserveDealt - kTableauDealt;

// Calls into the rest of the game that the deal makes; the game play
// implements them.
class DealHooks {
 public:
  virtual ~DealHooks() = default;
  // Decides which side moves first by the rule (0 lowest Reserve card, 1
  // highest, 2 coin toss), puts the announcement into Message and returns
  // Turn::Local or Turn::Opponent.
  virtual Turn WhoGoesFirst(int FirstPlayerRule) = 0;
  // Only when the opponent's own program shares the deal: the deciding side
  // tells the other whose turn it is; the other waits for it, the word that
  // arrives setting CurrentTurn.
  virtual void WhoseTurn() = 0;
  // Stores the dealt table as the opening backup.
  virtual void SaveGameRecord() = 0;
};

// Who decides who moves first. The table alone against the computer; when
// the opponent plays at a program of their own, one of the two decides and
// tells the other.
enum class FirstMoveDecider : std::int8_t {
  Alone,     // this program, with no other program taking part
  HereTold,  // this program, which then tells the opponent's
  There,     // the opponent's program; this one waits for its word
};

// What the game play settles of a deal before the table deals it: the
// default is a game at this table alone.
struct DealOpening {
  FirstMoveDecider decider = FirstMoveDecider::Alone;
  bool AnnounceCoinTossHere = false;  // with There: the deciding program leaves the coin toss for this one to show
  QString OpponentName;               // the opponent named in that announcement
};

// What the deal works on and talks to.
struct DealServices {
  PileArrays& piles;
  GameState& state;
  TableView& view;
  SoundEffects& sfx;
  platform::WaitService& wait;
  platform::UiService& ui;
  DealHooks& hooks;
};

// Writes both sides' decks into Reserve(s, 1..52) in random order: ten
// passes of swaps per side, side 0 first, 520 draws per side.
void ShuffleDecks(PileArrays& piles, const RandomSource& random);

// True when Reserve(side, 1..52) holds each card code 1..52 once.
bool IsFullDeck(const PileArrays& piles, int side);

enum class SampleLoad {
  Loaded,    // the stored decks are in the Reserve arrays
  Shuffled,  // the game was not available: the user was told, the decks were shuffled
};

// Reads sample game n from AppPath + "Data/reserve.ran" (a record of two
// decks in dealing order). Nothing when the
// file cannot be read, n is not one of its records or a deck is not a full
// deck of 52.
std::optional<SampleGameRecord> ReadSampleGame(const QString& AppPath, int n);

// Puts the two decks of sample game n into Reserve(0..1, 1..52), the first
// deck to side 0 (to side 1 when SampleDealReversed). When the game is not
// available the user is told so and the decks are shuffled instead.
SampleLoad LoadSampleGame(std::int16_t n, bool SampleDealReversed, const QString& AppPath, PileArrays& piles,
                          platform::UiService& ui, const RandomSource& random);

inline constexpr char kSampleGamesTitle[] = "Sample Games";
inline constexpr char kSampleNotAvailable[] = "Sample game %1 is not available.";

enum class DealResult {
  Dealt,
  BadDecks,  // the Reserve arrays did not hold two full decks; nothing was dealt
};

inline constexpr char kBadDecksText[] =
    "The cards to deal are not two complete decks of 52 cards.\r\n\r\nThe game cannot be dealt.";

// Deals both decks from Reserve(s, 1..52) into the opening position, lays
// out the table, decides who goes first, stores the deal and starts the
// clock. Decks that are not two full decks are refused before anything
// changes (alone with an error box; when the opponent's program shares the
// deal the caller ends the game).
DealResult DealNewGame(DealServices& s, int FirstPlayerRule, const DealOpening& opening);

// Turns the Waste of the side whose turn it is over into its Stock (the
// top Waste card becomes the bottom Stock card) and repaints both piles.
// False, with nothing changed, when that side's Stock still holds cards:
// turning the Waste onto it would lose them.
bool RecycleWaste(PileArrays& piles, GameState& state, TableView& view, SoundEffects& sfx);

}  // namespace table
