#include "play/game/scoring.h"

#include <utility>

#include "platform/vb.h"

namespace play {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The words of the score text for a winner: subject, owner and loser's.
struct ScoreWords {
  QString subject;
  QString owner;
  QString losers;
};

ScoreWords WordsFor(std::int16_t winner) {
  switch (winner) {
    case kLocalSideWins: return {QStringLiteral("You're"), QStringLiteral("Your"), QStringLiteral("your opponent's")};
    case kOpponentWins:
      return {QStringLiteral("Your Opponent is"), QStringLiteral("Your opponent's"), QStringLiteral("your")};
    default: return {};
  }
}

QString TurnText(std::int16_t winner, bool stalemate, bool online, const QString& OpponentName) {
  QString text;
  if (winner == kLocalSideWins) {
    text = QStringLiteral("You WON!");
  } else {
    QString subject;
    if (winner == kNobodyWins) {
      subject = QStringLiteral("NOBODY is");
    } else if (online) {
      subject = OpponentName + QStringLiteral(" is");
    } else {
      subject = QStringLiteral("I'm");  // the computer speaks
    }
    text = subject + QStringLiteral(" the WINNER!");
  }
  if (stalemate) text += kCrLf + QStringLiteral("- STALEMATE Declared -");
  return text;
}

bool ValidSide(int side) { return side >= 0 && side < table::kSides; }

}  // namespace

int CardsLeft(const table::PileArrays& piles, int side) {
  if (!ValidSide(side)) return 0;
  const auto i = static_cast<std::size_t>(side);
  return piles.ReserveCount[i] + piles.StockCount[i] + piles.WasteCount[i];
}

int StalemateCount(const table::PileArrays& piles, int side) {
  if (!ValidSide(side)) return 0;
  const auto i = static_cast<std::size_t>(side);
  return 2 * piles.ReserveCount[i] + piles.WasteCount[i] + piles.StockCount[i];
}

GameScore ScoreGame(const table::PileArrays& piles, std::int16_t winner, bool stalemate, bool online,
                    const QString& OpponentName) {
  GameScore g;
  QString& msg = g.message;
  if (stalemate) {
    const int local = StalemateCount(piles, 0);
    const int opponent = StalemateCount(piles, 1);
    int more = opponent;  // the difference is written larger first
    int fewer = local;
    if (opponent > local) {
      g.winner = kLocalSideWins;
    } else if (opponent < local) {
      g.winner = kOpponentWins;
      std::swap(more, fewer);
    } else {
      g.winner = kNobodyWins;
    }
    g.GamePoints = vb::Clamp16(more - fewer);
    msg = QStringLiteral("Your points: ") + vb::D(local) + kCrLf + QStringLiteral("Opponent's: ") + vb::D(opponent) +
          kCrLf + vb::D(more) + QStringLiteral(" - ") + vb::D(fewer) + QStringLiteral(" =") + kCrLf +
          QStringLiteral("Stalemate points awarded:") + kCrLf;
  } else {
    g.winner = winner;
    const auto loser = static_cast<std::size_t>(winner == kLocalSideWins ? 1 : 0);
    const int stockAndWaste = piles.StockCount[loser] + piles.WasteCount[loser];
    const int reserve = 2 * piles.ReserveCount[loser];
    g.GamePoints = vb::Clamp16(kPointsForTheWin + reserve + stockAndWaste);
    const ScoreWords words = WordsFor(g.winner);
    msg = words.owner + QStringLiteral(" score is:") + kCrLf + QStringLiteral("30 points for the win") + kCrLf +
          vb::Str(stockAndWaste) + QStringLiteral(" pts for ") + words.losers + QStringLiteral(" Stock/Waste") + kCrLf +
          vb::Str(reserve) + QStringLiteral(" pts for ") + words.losers + QStringLiteral(" Reserve") + kCrLf + kCrLf;
  }
  msg += QStringLiteral("Total Score: ") + vb::Str(g.GamePoints);
  if (g.winner == kNobodyWins) msg += kCrLf + QStringLiteral("Nobody won this Stalemate. Points were equal.");

  g.turnText = TurnText(g.winner, stalemate, online, OpponentName);
  g.subject = WordsFor(g.winner).subject;
  return g;
}

}  // namespace play
