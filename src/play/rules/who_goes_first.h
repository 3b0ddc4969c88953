#pragma once
// Who moves first after the deal: the side with the lowest or the highest
// card, comparing the Reserve tops and then the four houses pair by pair,
// or a coin toss. The decision is explained on the message line in the
// computer's own voice, or online with the opponent's name; the host also
// words it for the remote player, who is sent that text.

#include <QString>
#include <functional>
#include <optional>

#include "play/state/play_state.h"
#include "table/game_state.h"
#include "table/piles.h"
#include "table/sound_effects.h"
#include "table/table_view.h"

namespace play {

// The player's choice, as stored in his record.
enum class FirstPlayerRule : int { Lowest = 0, Highest = 1, CoinToss = 2 };
// A stored value outside 0..2 (a damaged players file) reads as Lowest.
FirstPlayerRule FirstPlayerRuleFromStored(int stored);

constexpr int kDecidingFrame = 0;  // lblCardFrame(0) marks the opponent's deciding card
constexpr double kHousePause = 1.0;
constexpr double kReservePause = 0.5;

inline const QString kAllEqualLine = QStringLiteral("Amazing! All cards are equal. We'll have to toss a coin.");

// Who the game is played with. Offline the computer speaks for itself.
struct FirstPlayerPeople {
  bool Online = false;   // NetConnIndex not 0
  QString PlayerName;    // the local player
  QString OpponentName;  // the online opponent
};

// A decision by the cards: 0 the Reserve tops, 1..4 the houses.
struct CardDecision {
  table::Turn turn = table::Turn::None;  // Local or Opponent
  int DecidingHouse = 0;
  bool operator==(const CardDecision&) const = default;
};
// The first pair of cards whose ranks differ decides; none when all five
// pairs are equal. Rule CoinToss compares nothing.
std::optional<CardDecision> DecideByCards(const table::PileArrays& piles, FirstPlayerRule rule);
// The coin: a draw below 0.5 gives the local player, anything else the
// opponent.
table::Turn CoinToss(double draw);

// Name of the deciding pair in the message ("Reserve", "1st House" ...).
QString DecidingPileName(int house);

struct FirstPlayerResult {
  table::Turn turn = table::Turn::None;  // Local or Opponent
  QString Message;                       // the explanation for the local player
  QString WhoGoesFirstText;              // online: the same for the remote player
  std::optional<int> DecidingHouse;      // the pair that decided; none for a toss
  bool allEqual = false;                 // five equal pairs forced the toss
};
// The decision and its wording, without showing or playing anything. The
// draw is asked for only when a coin is tossed.
FirstPlayerResult DecideFirstPlayer(const table::PileArrays& piles, FirstPlayerRule rule,
                                    const FirstPlayerPeople& people, const std::function<double()>& draw);

// What announcing the first player asks of the table window beyond the
// table view: placing the card frame over the opponent's deciding pile.
class DecidingCardMarker {
 public:
  virtual ~DecidingCardMarker() = default;
  // Moves lblCardFrame(0) to 5 pixels left of and 4 pixels above pile(index).
  virtual void MoveCardFrameOver(table::PileControl pile, int index) = 0;
};

struct FirstPlayerOutput {
  table::TableView& view;
  table::SoundEffects& effects;
  DecidingCardMarker& marker;
  std::function<void(double)> pause;  // the wait service's Pause
  std::function<double()> draw;       // uniform in [0, 1), the program's one generator
};

// Decides, puts the explanation into Message, plays the coin for five equal
// pairs and marks the opponent's deciding card when it goes first. Returns
// the new CurrentTurn. The remote player's text is left in *whoGoesFirstText
// when given.
table::Turn WhoGoesFirst(int storedRule, const table::PileArrays& piles, PlayState& state,
                         const FirstPlayerPeople& people, const FirstPlayerOutput& out,
                         QString* whoGoesFirstText = nullptr);

}  // namespace play
