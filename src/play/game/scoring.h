#pragma once
// The score of an ended game: who won, the points, and the texts that
// announce them.

#include <QString>
#include <cstdint>

#include "table/piles.h"

namespace play {

// GameOver's winner argument.
constexpr std::int16_t kLocalSideWins = 0;
constexpr std::int16_t kOpponentWins = 1;
constexpr std::int16_t kNobodyWins = 3;  // as argument: decide by the stalemate count

constexpr int kPointsForTheWin = 30;

// The scoring of an ended game and its announcement texts.
struct GameScore {
  std::int16_t winner = kNobodyWins;  // 0 the local side, 1 the opponent, 3 nobody
  std::int16_t GamePoints = 0;
  QString turnText;  // for the turn line lblTurn
  QString message;   // for the message line lblMessage
  QString subject;   // "You're", "Your Opponent is", or empty for nobody
};

// Scores the position on the table. stalemate: decide the winner by the
// stalemate count; otherwise winner (0 or 1) has emptied its piles and
// scores 30 plus the loser's Stock and Waste cards plus twice its Reserve.
GameScore ScoreGame(const table::PileArrays& piles, std::int16_t winner, bool stalemate, bool online,
                    const QString& OpponentName);

// The cards each side has left, and the stalemate count (Reserve cards
// count twice; fewer is better).
int CardsLeft(const table::PileArrays& piles, int side);
int StalemateCount(const table::PileArrays& piles, int side);

}  // namespace play
