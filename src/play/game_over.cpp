#include "play/game_over.h"

#include <QDebug>
#include <algorithm>

#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/wait.h"
#include "play/high_scores.h"
#include "table/busy_guard.h"
#include "table/sound_effects.h"
#include "table/table_view.h"

namespace play {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

constexpr double kTurnOverPause = 0.01;

// The words of the score text for a winner: subject, owner and loser's.
struct ScoreWords {
  QString subject;
  QString owner;
  QString losers;
};

ScoreWords WordsFor(std::int16_t winner) {
  switch (winner) {
    case kLocalSideWins:
      return {QStringLiteral("You're"), QStringLiteral("Your"), QStringLiteral("your opponent's")};
    case kOpponentWins:
      return {QStringLiteral("Your Opponent is"), QStringLiteral("Your opponent's"), QStringLiteral("your")};
    default:
      return {};
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
    msg = QStringLiteral("Your points: ") + vb::D(local) + kCrLf + QStringLiteral("Opponent's: ") +
          vb::D(opponent) + kCrLf;
    if (opponent > local) {
      g.winner = kLocalSideWins;
      g.GamePoints = vb::Clamp16(opponent - local);
      msg += vb::D(opponent) + QStringLiteral(" - ") + vb::D(local) + QStringLiteral(" =") + kCrLf;
    } else if (opponent < local) {
      g.winner = kOpponentWins;
      g.GamePoints = vb::Clamp16(local - opponent);
      msg += vb::D(local) + QStringLiteral(" - ") + vb::D(opponent) + QStringLiteral(" =") + kCrLf;
    } else {
      g.winner = kNobodyWins;
      g.GamePoints = 0;
      msg += vb::D(opponent) + QStringLiteral(" - ") + vb::D(local) + QStringLiteral(" =") + kCrLf;
    }
  } else {
    g.winner = winner;
    const int loser = winner == kLocalSideWins ? 1 : 0;
    const auto l = static_cast<std::size_t>(loser);
    g.GamePoints = vb::Clamp16(kPointsForTheWin + 2 * piles.ReserveCount[l] + piles.StockCount[l] +
                               piles.WasteCount[l]);
  }

  g.turnText = TurnText(g.winner, stalemate, online, OpponentName);
  const ScoreWords words = WordsFor(g.winner);
  g.subject = words.subject;

  if (!stalemate) {
    const auto l = static_cast<std::size_t>(g.winner == kLocalSideWins ? 1 : 0);
    const int stockAndWaste = piles.StockCount[l] + piles.WasteCount[l];
    const int reserve = 2 * piles.ReserveCount[l];
    msg = words.owner + QStringLiteral(" score is:") + kCrLf + QStringLiteral("30 points for the win") + kCrLf +
          vb::Str(stockAndWaste) + QStringLiteral(" pts for ") + words.losers + QStringLiteral(" Stock/Waste") +
          kCrLf + vb::Str(reserve) + QStringLiteral(" pts for ") + words.losers + QStringLiteral(" Reserve") +
          kCrLf + kCrLf;
  } else {
    msg += QStringLiteral("Stalemate points awarded:") + kCrLf;
  }
  msg += QStringLiteral("Total Score: ") + vb::Str(g.GamePoints);
  if (g.winner == kNobodyWins) msg += kCrLf + QStringLiteral("Nobody won this Stalemate. Points were equal.");
  return g;
}

void GameOver(GameOverServices& s, std::int16_t& winner) {
  const auto busy = s.guard.Enter(table::Activity::GameOver);
  const bool online = s.network != nullptr && s.network->NetConnIndex() != 0;
  // A winner other than either side asks for the stalemate count.
  const bool stalemate = s.scores.StalemateDeclared || (winner != kLocalSideWins && winner != kOpponentWins);

  s.view.StopClock();
  ShowPileCounts(s.piles, s.view);
  s.view.SetImageVisible(table::TableImage::cmdDone, false);

  if (online) {
    if (stalemate) {
      s.network->ExchangeStalemateReset();
    } else if (s.state.CurrentTurn == 1) {
      // The peer never saw the final move: nothing is scored.
      if (!s.network->TransmitFinalMove()) return;
    } else {
      s.network->AcknowledgeFinalMove();
    }
  }

  s.view.SetLabelVisible(table::TableLabel::lblWAIT, false);
  s.view.SetImageVisible(table::TableImage::imgIcon, false);
  s.state.CurrentTurn = 0;
  s.wait.Pause(kTurnOverPause);
  s.state.TurnCount = 0;

  const QString opponentName = online ? s.network->OpponentName() : QString();
  const GameScore score = ScoreGame(s.piles, winner, stalemate, online, opponentName);
  winner = score.winner;
  s.scores.GamePoints = score.GamePoints;
  s.state.Message = score.message;
  s.view.SetLabel(table::TableLabel::lblTurn, score.turnText);

  int rememberedStructure = 0;
  if (!stalemate) {
    if (winner == kLocalSideWins) {
      if (s.SoundOn) s.sound.Play(s.AppPath + QLatin1String(kWinSoundFile));
      rememberedStructure = s.view.CurrentStructure();
      s.view.NextStructure(kWinStructure);
    } else if (winner == kOpponentWins && s.SoundOn) {
      s.sfx.PlaySfx(kLossSoundEffect);
    }
  }

  s.view.SetLabel(table::TableLabel::lblMessage, s.state.Message);

  if (online) {
    if (stalemate) s.state.Message = QStringLiteral("*Host declared STALEMATE* ") + kCrLf + s.state.Message;
    s.network->AppendResultToChat(kCrLf + QStringLiteral("MD: ") + s.state.Message);
  }

  if (winner != kNobodyWins) {
    const bool lost = winner != kLocalSideWins;
    if (s.scores.MatchOn) {
      AddGameResult(s.scores, lost, QStringLiteral("Match"));
      CheckMatchComplete(s.scores, s.view);
      if (s.scores.MatchComplete) {
        s.view.SetLabel(table::TableLabel::lblTurn,
                        QStringLiteral("Match Complete!!!") + kCrLf + score.subject + QStringLiteral(" the winner!"));
        s.scores.MatchOn = false;
        s.scores.MatchComplete = false;
      }
    } else {
      AddGameResult(s.scores, lost, QStringLiteral("Single"));
    }

    // Through SaveScoreRec, so that the player record in memory holds the new
    // result too and a later save of the player cannot undo it.
    if (SaveScoreRec(s.scores, s.store) == StoreResult::Failed) qWarning() << "Game over: the score was not stored";

    HighScoreRecord entry;
    entry.PlayedOn = vb::ToOleDate(QDateTime(s.now().date(), QTime(0, 0)));
    if (winner == kLocalSideWins) {
      entry.WinnerName = s.PlayerName;
    } else {
      entry.WinnerName = online ? opponentName : QString::fromLatin1(kComputerName);
    }
    entry.Points = s.scores.GamePoints;
    entry.GameTime = GameTimeFromSeconds(std::max<std::int64_t>(0, s.view.ElapsedSeconds()));
    EnterHighScore(s.DataPath + QLatin1String(kHighScoreFileName), entry);

    if (rememberedStructure != 0) {
      s.wait.Pause(kWinStructureSeconds);
      s.view.NextStructure(rememberedStructure);
    }
  }

  s.view.ShowLogo(true);
  s.view.EnablePiles(false);
  if (!online) s.view.SetDealButtonVisible(true);
  s.state.ComputerThinking = false;
  s.state.GameEnded = true;
  s.scores.StalemateDeclared = false;
  // Left set, it would cut short the computer's first turn of the next game.
  s.state.AbortComputerTurn = false;
}

void DeclareStalemate(GameOverServices& s) {
  if (s.state.CurrentTurn == 0) {
    s.ui.MsgBox(QStringLiteral("There isn't an ongoing game."), platform::vbExclamation, QStringLiteral("Stalemate"));
    return;
  }
  const int answer = s.ui.MsgBox(QStringLiteral("Did you want to end this game") + kCrLf +
                                     QStringLiteral("and declare a Stalemate?"),
                                 platform::vbYesNo | platform::vbQuestion | platform::vbDefaultButton2,
                                 QStringLiteral("- STALEMATE -"));
  if (answer == platform::vbNo) return;
  // The game may have ended while the question was open.
  if (s.state.CurrentTurn == 0) return;
  s.scores.StalemateDeclared = true;
  if (s.network != nullptr && s.network->NetConnIndex() != 0 && s.network->IsHost()) s.network->SendEndGame(false);
  std::int16_t winner = kNobodyWins;
  GameOver(s, winner);
}

void ShowPileCounts(const table::PileArrays& piles, table::TableView& view) {
  view.SetStatusPanel(kLocalCountPanel, vb::Str(CardsLeft(piles, 0)));
  view.SetStatusPanel(kOpponentCountPanel, vb::Str(CardsLeft(piles, 1)));
}

void ShowMatchPoints(table::TableView& view, bool show) {
  if (!show) {
    for (int panel = kMatchPanel; panel <= kOppMatchScorePanel; ++panel) {
      view.SetStatusPanel(panel, QString());
      view.SetStatusPanelToolTip(panel, QString());
    }
    return;
  }
  view.SetStatusPanelToolTip(kMatchPanel, QStringLiteral("Match Points to reach"));
  view.SetStatusPanelToolTip(kMatchGamesPanel, QStringLiteral("Games played this Match (Player Wins/Opponent Wins)"));
  view.SetStatusPanelToolTip(kMatchScorePanel, QStringLiteral("Your Match Points"));
  view.SetStatusPanelToolTip(kOppMatchScorePanel, QStringLiteral("Opponent's Match Points"));
}

void CheckMatchComplete(ScoreState& scores, table::TableView& view) {
  view.SizeStatusBar();
  ScoreRec& rec = scores.CurrentScores;
  rec.MatchTarget = ValidMatchPoints(rec.MatchTarget);
  scores.MatchPoints = rec.MatchTarget;
  const QString points = vb::Str(scores.MatchPoints) + QStringLiteral(" pts");
  view.SetStatusPanel(kMatchPanel, scores.MatchComplete ? QStringLiteral("* MATCH COMPLETE! * ") + points
                                                        : QStringLiteral("Match: ") + points);
  view.SetStatusPanel(kMatchGamesPanel, vb::Str(rec.MatchGames) + QStringLiteral(" (") + vb::D(rec.MatchWins) +
                                            QStringLiteral(" /") + vb::Str(rec.OppMatchWins) + QStringLiteral(")"));
  view.SetStatusPanel(kMatchScorePanel, vb::Str(rec.MatchScore));
  view.SetStatusPanel(kOppMatchScorePanel, vb::Str(rec.OppMatchScore));
  ShowMatchPoints(view, true);
}

}  // namespace play
