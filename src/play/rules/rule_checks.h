#pragma once
// The rules the local player's moves are judged by, and the messages that
// explain a refusal on the table's message line. The computer's moves are
// chosen legal by its own search, and the online opponent's are judged on
// arrival by the pile rules alone, seen from its side.

#include <QString>
#include <optional>

#include "platform/sound.h"
#include "play/state/play_state.h"
#include "table/game_state.h"
#include "table/piles.h"
#include "table/sound_effects.h"
#include "table/table_view.h"

namespace play {

// Why a move is refused. The numbers are the reason codes every part of the
// game passes to IllegalMove.
enum class RuleReason : int {
  WrongPlace = 0,  // only the heading line
  CenterSequence = 1,
  TableauColours = 2,
  OpponentSequence = 3,
  OpponentSequenceToo = 4,  // same text as 3
  OwnReserve = 5,
  WasteIsDead = 6,
  FillTableauBeforeStock = 7,
  ReserveToCenterBeforeStock = 8,
  TableauToCenterBeforeStock = 9,
  FillTableauBeforeEndTurn = 10,
  HandCardToCenter = 11,
  TableauToCenterBeforeEndTurn = 12,
  ReserveToCenterNow = 13,
  NotToCenter = 14,
};

inline const QString kWrongPlaceHeading = QStringLiteral("That card cannot be played there.");
inline const QString kNotYourTurn = QStringLiteral("It's NOT your turn!");
inline const QString kHandEmptyHint = QStringLiteral(
    "Since you no longer have any Hand cards, press the End Turn button when you have finished "
    "your turn.");
inline const QString kErrorSoundFile = QStringLiteral("~109.tmp");
constexpr int kNotYourTurnEffect = 8;

// The reason's own text ("" for WrongPlace).
QString RuleText(RuleReason reason);
// Codes 0..5 are wrong-place refusals and carry the heading line.
bool HasWrongPlaceHeading(RuleReason reason);

struct RuleVerdict {
  std::optional<RuleReason> refusal;  // empty: the move is legal
  bool Legal() const { return !refusal.has_value(); }
  bool operator==(const RuleVerdict&) const = default;
};

// A proposed move of the local player: from a pile control and index to a
// pile control and index, with the target's top card (0 when it is empty).
struct Drop {
  table::PileControl source = table::PileControl::None;
  int sourceIndex = 0;
  table::CardCode card = 0;
  table::PileControl target = table::PileControl::None;
  int targetIndex = 0;
  table::CardCode targetTop = 0;
};

// What a rule message needs beyond the game state: where it is shown and
// heard, the player's sound switch, the folder of the sound files and
// whether an online game is running (NetConnIndex not 0).
struct RuleMessageOutput {
  table::TableView& view;
  table::SoundEffects& effects;
  platform::SoundChannel& channel;
  bool SoundOn = true;
  QString DataPath;  // ends in a separator
  bool Online = false;
};

// The drop judged by the pile rules alone: whether the target takes the card
// (suit and sequence, colours, loads), whatever the STOP rules say.
RuleVerdict CheckTarget(const Drop& drop);
// The drop judged by the pile rules and the STOP rules, first rule first.
RuleVerdict CheckDrop(const table::PileArrays& piles, const Drop& drop);
// May the local player turn up (or play) his Stock card now?
RuleVerdict CanTurnStock(const table::PileArrays& piles, table::Turn currentTurn);

// Shows the rule message of the reason, or "It's NOT your turn!" when it is
// the other side's turn, and plays the error sound.
void IllegalMove(RuleReason reason, PlayState& state, const RuleMessageOutput& out);
// Judges the drop; a refusal has been shown when it returns false.
bool CheckDrop(const table::PileArrays& piles, const Drop& drop, PlayState& state, const RuleMessageOutput& out);
bool CanTurnStock(const table::PileArrays& piles, PlayState& state, const RuleMessageOutput& out);
// Tells the player to end his turn with the Done button, and shows it.
void HandEmptyHint(table::TableView& view);

}  // namespace play
