#include "play/game_over.h"

#include <QDebug>
#include <algorithm>
#include <optional>
#include <utility>

#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/version.h"
#include "platform/wait.h"
#include "play/apply_move.h"
#include "play/high_scores.h"
#include "play/status_bar.h"
#include "play/table_search.h"
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

// Counts the game in the score record in force and the running match, and
// stores the record.
void CountTheGame(GameOverServices& s, std::int16_t winner, const QString& subject) {
  const bool lost = winner != kLocalSideWins;
  if (s.scores.MatchOn) {
    AddGameResult(s.scores, lost, QStringLiteral("Match"));
    CheckMatchComplete(s.scores, s.view);
    if (s.scores.MatchComplete) {
      s.view.SetLabel(table::TableLabel::lblTurn,
                      QStringLiteral("Match Complete!!!") + kCrLf + subject + QStringLiteral(" the winner!"));
      s.scores.MatchOn = false;
      s.scores.MatchComplete = false;
    }
  } else {
    AddGameResult(s.scores, lost, QStringLiteral("Single"));
  }
  // Through SaveScoreRec, so that the player record in memory holds the new
  // result too and a later save of the player cannot undo it.
  if (SaveScoreRec(s.scores, s.store) == StoreResult::Failed) qWarning() << "Game over: the score was not stored";
}

// Enters the game just scored into the high scores. opponentName: the
// winner's name when the local side lost.
void EnterTheHighScores(GameOverServices& s, std::int16_t winner, const QString& opponentName) {
  HighScoreRecord entry;
  entry.PlayedOn = vb::ToOleDate(QDateTime(s.now().date(), QTime(0, 0)));
  entry.WinnerName = winner == kLocalSideWins ? s.PlayerName : opponentName;
  entry.Points = s.scores.GamePoints;
  entry.GameTime = GameTimeFromSeconds(std::max<std::int64_t>(0, s.view.ElapsedSeconds()));
  QString notice;
  if (EnterHighScore(s.DataPath + QLatin1String(kHighScoreFileName), entry, nullptr, s.writeFailures, &notice) ==
      HighScoreResult::Failed) {
    qWarning() << "Game over: the high scores were not updated";
  }
  if (!notice.isEmpty())
    s.ui.MsgBox(notice, platform::vbOKOnly | platform::vbExclamation, QString::fromLatin1(platform::kProgramTitle));
}

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

void GameOver(GameOverServices& s, std::int16_t& winner) {
  const auto busy = s.guard.Enter(table::Activity::GameOver);
  // The connection can end during the waits below, so it is asked each time
  // it matters; the game was an online game all the same.
  auto online = [&s] { return s.network != nullptr && s.network->NetConnIndex() != 0; };
  const bool onlineGame = online();
  // A winner other than either side asks for the stalemate count.
  const bool stalemate = s.scores.StalemateDeclared || (winner != kLocalSideWins && winner != kOpponentWins);

  s.view.StopClock();
  ShowPileCounts(s.piles, s.view);
  s.view.SetImageVisible(table::TableImage::cmdDone, false);

  if (onlineGame) {
    if (stalemate) {
      s.network->ExchangeStalemateReset();
    } else if (s.state.CurrentTurn == table::Turn::Local) {
      // The peer never saw the final move: nothing is scored.
      if (!s.network->TransmitFinalMove()) return;
    } else {
      s.network->AcknowledgeFinalMove();
    }
  }

  s.view.SetLabelVisible(table::TableLabel::lblWAIT, false);
  s.view.SetImageVisible(table::TableImage::imgIcon, false);
  s.state.CurrentTurn = table::Turn::None;
  s.wait.Pause(kTurnOverPause);
  s.state.TurnCount = 0;

  const QString opponentName = onlineGame ? s.network->OpponentName() : QString();
  const GameScore score = ScoreGame(s.piles, winner, stalemate, onlineGame, opponentName);
  winner = score.winner;
  s.scores.GamePoints = score.GamePoints;
  s.state.Message = score.message;
  s.view.SetLabel(table::TableLabel::lblTurn, score.turnText);

  std::optional<int> rememberedStructure;
  if (!stalemate) {
    if (winner == kLocalSideWins) {
      if (s.SoundOn) s.sound.Play(s.AppPath + QLatin1String(kWinSoundFile));
      if (s.structures != nullptr) {
        rememberedStructure = s.structures->CurrentStructure();
        s.structures->NextStructure(kWinStructure);
      }
    } else if (winner == kOpponentWins && s.SoundOn) {
      s.sfx.PlaySfx(kLossSoundEffect);
    }
  }

  s.view.SetLabel(table::TableLabel::lblMessage, s.state.Message);

  if (online()) {
    if (stalemate) s.state.Message = QStringLiteral("*Host declared STALEMATE* ") + kCrLf + s.state.Message;
    s.network->AppendResultToChat(kCrLf + QStringLiteral("MD: ") + s.state.Message);
  }

  if (winner != kNobodyWins) {
    // When the peer was lost on the way, the record in force may already be
    // the player's own again, or not yet: counting the online game in either
    // could mix the two, so it is not counted.
    if (!onlineGame || online()) {
      CountTheGame(s, winner, score.subject);
    } else {
      qWarning() << "Game over: the peer was lost, the game is not counted";
    }
    EnterTheHighScores(s, winner, onlineGame ? opponentName : QString::fromLatin1(kComputerName));
    if (rememberedStructure) {
      s.wait.Pause(kWinStructureSeconds);
      s.structures->NextStructure(*rememberedStructure);
    }
  }

  // The table at rest: no turn marker under the logo, no rim of a load
  // that no one will answer.
  s.view.SetImageVisible(table::TableImage::ImgTurn1, false);
  s.view.SetImageVisible(table::TableImage::ImgTurn2, false);
  s.view.SetCardFrameBackStyle(kReservePile, kFrameTransparent);
  s.view.SetCardFrameBackStyle(kWastePile, kFrameTransparent);
  s.view.ShowLogo(true);
  s.view.EnablePiles(false);
  if (!online()) s.view.SetImageVisible(table::TableImage::cmdDeal, true);
  s.state.ComputerThinking = false;
  s.state.GameEnded = true;
  s.scores.StalemateDeclared = false;
  // Left set, it would cut short the computer's first turn of the next game.
  s.state.AbortComputerTurn = false;
}

void DeclareStalemate(GameOverServices& s) {
  if (s.state.CurrentTurn == table::Turn::None) {
    s.ui.MsgBox(QStringLiteral("There isn't an ongoing game."), platform::vbExclamation, QStringLiteral("Stalemate"));
    return;
  }
  const int answer = s.ui.MsgBox(
      QStringLiteral("Did you want to end this game") + kCrLf + QStringLiteral("and declare a Stalemate?"),
      platform::vbYesNo | platform::vbQuestion | platform::vbDefaultButton2, QStringLiteral("- STALEMATE -"));
  if (answer == platform::vbNo) return;
  // The game may have ended while the question was open.
  if (s.state.CurrentTurn == table::Turn::None) return;
  s.scores.StalemateDeclared = true;
  if (s.network != nullptr && s.network->NetConnIndex() != 0 && s.network->IsHost()) {
    s.network->SendEndGame(false);
    // A peer that left meanwhile took the game with it: the table is clear.
    if (s.state.CurrentTurn == table::Turn::None) {
      s.scores.StalemateDeclared = false;
      return;
    }
  }
  std::int16_t winner = kNobodyWins;
  GameOver(s, winner);
}

void ShowPileCounts(const table::PileArrays& piles, table::TableView& view) {
  view.SetStatusPanel(kPanelPlayerCards, vb::Str(CardsLeft(piles, 0)));
  view.SetStatusPanel(kPanelOpponentCards, vb::Str(CardsLeft(piles, 1)));
}

void ShowMatchPoints(table::TableView& view, bool show) {
  if (!show) {
    for (int panel = kPanelMatch; panel <= kPanelMatchScoreOpp; ++panel) {
      view.SetStatusPanel(panel, QString());
      view.SetStatusPanelToolTip(panel, QString());
    }
    return;
  }
  view.SetStatusPanelToolTip(kPanelMatch, QStringLiteral("Match Points to reach"));
  view.SetStatusPanelToolTip(kPanelMatchGames, QStringLiteral("Games played this Match (Player Wins/Opponent Wins)"));
  view.SetStatusPanelToolTip(kPanelMatchScorePlayer, QStringLiteral("Your Match Points"));
  view.SetStatusPanelToolTip(kPanelMatchScoreOpp, QStringLiteral("Opponent's Match Points"));
}

void CheckMatchComplete(ScoreState& scores, table::TableView& view) {
  view.SizeStatusBar();
  ScoreRec& rec = scores.CurrentScores;
  rec.MatchTarget = ValidMatchPoints(rec.MatchTarget);
  scores.MatchPoints = rec.MatchTarget;
  view.SetStatusPanel(kPanelMatch, scores.MatchComplete ? MatchCompletePanelText(scores.MatchPoints)
                                                        : MatchPanelText(scores.MatchPoints));
  view.SetStatusPanel(kPanelMatchGames, vb::Str(rec.MatchGames) + QStringLiteral(" (") + vb::D(rec.MatchWins) +
                                            QStringLiteral(" /") + vb::Str(rec.OppMatchWins) + QStringLiteral(")"));
  view.SetStatusPanel(kPanelMatchScorePlayer, vb::Str(rec.MatchScore));
  view.SetStatusPanel(kPanelMatchScoreOpp, vb::Str(rec.OppMatchScore));
  ShowMatchPoints(view, true);
}

}  // namespace play
