#pragma once
// The number lists of the online game, built and read without a window:
// the host's two shuffled decks (DK), a move (PC) as sent and as checked on
// arrival, and a whole table handed over (RC). Each side sees its own cards
// as side 0, so every list is read mirrored. A list is checked whole before
// anything of it is used: a peer's list that a legitimate program never
// sends is refused and the table stays as it was.

#include <QString>
#include <cstdint>
#include <optional>

#include "net/line_protocol.h"
#include "play/records/score_record.h"
#include "play/rules/apply_move.h"
#include "table/game_state.h"
#include "table/piles.h"

namespace net {

// The six match values as the host's record holds them.
struct MatchFields {
  std::int16_t MatchTarget = 0;
  std::int16_t MatchGames = 0;
  std::int16_t MatchScore = 0;
  std::int16_t OppMatchScore = 0;
  std::int16_t MatchWins = 0;
  std::int16_t OppMatchWins = 0;
  bool operator==(const MatchFields&) const = default;
};
MatchFields MatchFieldsOf(const play::ScoreRec& rec);
void StoreMatchFields(const MatchFields& fields, play::ScoreRec& rec);

// Host: the DK list (without its leading "#"): side 1's deck, then side 0's,
// from the Reserve arrays' positions 1..52; the six match values when a
// match is in progress.
QString BuildDeckList(const table::PileArrays& piles, const std::optional<MatchFields>& match);

struct DeckList {
  std::array<std::array<table::CardCode, table::kDeckSize + 1>, table::kSides> decks{};  // own side 0
  std::optional<MatchFields> match;  // with each player/opponent pair exchanged
};
// Remote: the received DK text (starting "#"). 104 fields, or 110 while the
// remote's match is on; each deck a permutation of 1..52; match values in
// range. Anything else: nullopt.
std::optional<DeckList> ReadDeckList(const QString& data, bool matchOn);
// The read decks into the Reserve arrays' positions 1..52.
void LoadDecks(const DeckList& list, table::PileArrays& piles);

// Mover: the PC line of a local move, a tableau number translated into the
// peer's numbering.
QString MoveLine(const play::OnlineMove& move, const TabOrder& order);

// A received move, in the receiver's own piles.
struct ReceivedMove {
  enum class Target { Center, Tableau, OwnSidePile, StockTurn, MoverSidePile };
  table::PileControl source = table::PileControl::None;  // picTableau, or picOpponent (the mover's pile)
  std::int16_t sourceIndex = 0;
  Target target = Target::Center;
  std::int16_t targetIndex = 0;
  table::CardCode card = 0;  // the card that moves; 0 for the Stock turn and an empty discard
  // The mover's Hand went onto its own pile: its turn ends.
  bool EndsTurn() const { return target == Target::MoverSidePile; }
};
// Checks a received move against the table: known piles in range, a card
// on the source (except the Stock turn and the end-of-turn discard), room
// on the target, and a target that takes the card by the pile rules (the
// mover's own piles only for its Hand card onto its Waste). The order the
// STOP rules ask for is not judged: the mover's program did that.
std::optional<ReceivedMove> CheckReceivedMove(const QString& fromPile, int fromIndex, const QString& toPile,
                                              int toIndex, const table::PileArrays& piles, bool olderPeer,
                                              const TabOrder& order);

// A whole table, as the host hands it over.
struct RecoverTable {
  table::PileArrays piles;
  table::Turn CurrentTurn = table::Turn::None;
  std::int64_t GameSeconds = 0;
  std::int16_t MatchInProgress = 0;
  MatchFields match;
  bool operator==(const RecoverTable&) const = default;
};
// The game time as it travels: " H:MM:SS", hours at most 99.
QString GameTimeText(std::int64_t seconds);
// Host: the RC list. olderPeer picks the peer's old tableau order.
QString BuildRecoverList(const RecoverTable& table, bool olderPeer, const TabOrder& order);
// Remote: the RC list read with the sides and the turn exchanged, checked
// whole (field count, counts in range, the Reserve's face-down cards within
// it, 104 cards, each code exactly twice, a layout a game can reach: Center
// piles up from their Aces in suit, Tableau piles down in alternating
// colours, each Reserve within what loads make of it, cards on each side;
// the match values in range).
std::optional<RecoverTable> ReadRecoverList(const QString& data, bool olderPeer, const TabOrder& order);

}  // namespace net
