#include "play/turn_cycle.h"

#include "platform/sound.h"
#include "play/game/match_panel.h"
#include "play/rules/who_goes_first.h"
#include "play/state/top_level_command.h"
#include "play/state/utilities.h"
#include "play/table_look.h"
#include "play/window/frm_play.h"

namespace play {

TurnCycle::TurnCycle(const TurnCycleParts& parts) : p_(parts) {
  FrmPlay& view = p_.view;
  moves_ = std::make_unique<MoveServices>(p_.piles, p_.state, view, p_.sfx, p_.wait, p_.guard, *this, p_.net,
                                          p_.player.ThinkDelay);
  online_ = std::make_unique<OnlineStateAnswers>(p_.net, p_.exchange, *moves_);
  computer_ = std::make_unique<ComputerPlayer>(*moves_);
  saved_ = std::make_unique<SavedGameServices>(SavedGameServices{
      .piles = p_.piles,
      .state = p_.state,
      .saved = p_.saved,
      .match = MatchRefs{.CurrentScores = p_.scores.CurrentScores,
                         .MatchOn = p_.scores.MatchOn,
                         .MatchPoints = p_.scores.MatchPoints},
      .SampleGameNumber = p_.sample.SampleGameNumber,
      .view = view,
      .guard = p_.guard,
      .ui = p_.ui,
      .wait = p_.wait,
      .hooks = *this,
  });
  gameOver_ = std::make_unique<GameOverServices>(GameOverServices{
      .piles = p_.piles,
      .state = p_.state,
      .scores = p_.scores,
      .store = p_.scoreStore,
      .view = view,
      .sfx = p_.sfx,
      .sound = p_.sound,
      .wait = p_.wait,
      .ui = p_.ui,
      .guard = p_.guard,
      .SoundOn = p_.player.SoundOn,
      .PlayerName = p_.player.PlayerName,
      .AppPath = p_.folders.AppPath,
      .DataPath = p_.folders.DataPath,
      .network = online_.get(),
      .structures = &p_.look.backgrounds(),
      .writeFailures = &p_.writeFailures,
  });
  newGame_ = std::make_unique<NewGameServices>(NewGameServices{
      .deal = table::DealServices{.piles = p_.piles,
                                  .state = p_.state,
                                  .view = view,
                                  .sfx = p_.sfx,
                                  .wait = p_.wait,
                                  .ui = p_.ui,
                                  .hooks = *this},
      .saved = *saved_,
      .guard = p_.guard,
      .settings = p_.settings,
      .sample = p_.sample,
      .random = p_.random,
      .AppPath = p_.folders.AppPath,
      .PlayerName = p_.player.PlayerName,
      .FirstPlayerRule = p_.player.FirstPlayerRule,
      .hooks = *this,
      .net = p_.net,
      .network = online_.get(),
      .tutorial = p_.tutorial,
      .StalemateDeclared = &p_.scores.StalemateDeclared,
  });
}

TurnCycle::~TurnCycle() = default;

void TurnCycle::cmdDeal_Click() { play::cmdDeal_Click(*newGame_, CurrentRestoreContext()); }

NewGameResult TurnCycle::NewGame() {
  const NewGameResult result = play::NewGame(*newGame_);
  FinishTopLevelCommand();
  return result;
}

RestoreContext TurnCycle::CurrentRestoreContext() const {
  RestoreContext ctx;
  ctx.FirstPlayerRule = p_.player.FirstPlayerRule;
  ctx.PlayerName = p_.player.PlayerName;
  ctx.Online = p_.net.Online();
  ctx.SampleGameMode = p_.sample.SampleGameMode;
  return ctx;
}

void TurnCycle::DeclareStalemate() { play::DeclareStalemate(*gameOver_); }

void TurnCycle::FinishTopLevelCommand() { play::FinishTopLevelCommand(p_.wait, p_.state, &p_.view); }

// ---- The deal, the moves and the records ----

table::Turn TurnCycle::WhoGoesFirst(int FirstPlayerRule) {
  FirstPlayerPeople people;
  people.PlayerName = p_.player.PlayerName;
  people.Online = p_.net.Online();
  people.OpponentName = p_.net.OpponentName;
  // The coin is drawn from the program's one generator, not from a copy of it.
  const FirstPlayerOutput out{p_.view, p_.sfx, p_.look, [this](double seconds) { Pause(p_.wait, seconds); },
                              [this] { return p_.random(); }};
  return play::WhoGoesFirst(FirstPlayerRule, p_.piles, p_.state, people, out, &p_.net.WhoGoesFirstText);
}

// Online only; network play tells the remote side whose turn it is.
void TurnCycle::WhoseTurn() {
  if (p_.net.PeerPresent()) p_.exchange->WhoseTurn();
}

void TurnCycle::SaveGameRecord() { play::SaveGameRecord(*saved_); }

void TurnCycle::GameOver(int winner) {
  std::int16_t w = static_cast<std::int16_t>(winner);
  play::GameOver(*gameOver_, w);
}

void TurnCycle::ShowPileCounts() { play::ShowPileCounts(p_.piles, p_.view); }

void TurnCycle::WriteMoveRecord(int record) {
  FillGameRecord(*saved_);
  play::WriteMoveRecord(*saved_, static_cast<std::int16_t>(record));
}

// Never asked offline; network play sends the move.
bool TurnCycle::Move_Transmit_PlayCard(const OnlineMove& move) {
  return p_.net.PeerPresent() && p_.exchange->Move_Transmit_PlayCard(move);
}

void TurnCycle::ClearTable() { p_.view.ClearTable(); }
void TurnCycle::RedrawTable() { p_.view.RedrawTable(); }
void TurnCycle::CheckMatchComplete() { play::CheckMatchComplete(p_.scores, p_.view); }
void TurnCycle::ShowMatchPoints(bool show) { play::ShowMatchPoints(p_.view, show); }
void TurnCycle::SaveScoreRec() { play::SaveScoreRec(p_.scores, p_.scoreStore); }

void TurnCycle::SetMatchPoints(std::int16_t points) {
  p_.scores.MatchPoints = points;
  p_.scores.CurrentScores.MatchTarget = points;
  play::SaveScoreRec(p_.scores, p_.scoreStore);
}

// ---- The tutorial and the windows beside the table ----

void TurnCycle::EnableNextTip(bool enabled) { p_.tutorial->EnableNextTip(enabled); }
void TurnCycle::ShowTutorialNext() { p_.tutorial->ShowTutorialNext(); }

}  // namespace play
