#include "play/game/game_over.h"

#include <QDebug>
#include <algorithm>
#include <optional>
#include <utility>

#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/version.h"
#include "platform/wait.h"
#include "play/game/match_panel.h"
#include "play/records/high_scores.h"
#include "play/rules/apply_move.h"
#include "play/rules/table_search.h"
#include "play/state/status_panels.h"
#include "table/busy_guard.h"
#include "table/sound_effects.h"
#include "table/table_view.h"

namespace play {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

constexpr double kTurnOverPause = 0.01;

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

}  // namespace play
