#pragma once
// The game's turn cycle: the deal, the moves of both sides, the computer's
// turn, game over and the saved-game and move records. It owns the services
// those procedures work on (the human turn works on them too) and answers
// what they ask of each other.

#include <memory>

#include "media/folders.h"
#include "platform/built_later.h"
#include "platform/settings.h"
#include "platform/wait.h"
#include "platform/write_failures.h"
#include "play/computer/computer_player.h"
#include "play/faces/network_play.h"
#include "play/faces/tutorial_hooks.h"
#include "play/game/game_over.h"
#include "play/game/human_turn.h"
#include "play/game/new_game.h"
#include "play/game/saved_games.h"
#include "play/records/player.h"
#include "play/records/score_records.h"
#include "play/rules/apply_move.h"
#include "play/state/play_state.h"
#include "play/window/frm_play.h"
#include "play/window/menu_commands.h"
#include "table/busy_guard.h"
#include "table/card_table.h"
#include "table/deal.h"
#include "table/game_state.h"
#include "table/piles.h"
#include "table/sound_effects_player.h"

namespace play {

class FrmPlay;
class TableLook;

// What the turn cycle works on, all owned by the program.
struct TurnCycleParts {
  table::PileArrays& piles;
  PlayState& state;
  FrmPlay& view;
  table::SoundEffects& sfx;
  platform::SoundChannel& sound;
  platform::WaitService& wait;
  platform::UiService& ui;
  table::BusyGuard& guard;
  platform::SettingsStore& settings;  // the sample-game counter
  const table::RandomSource& random;  // the program's one generator
  const media::Folders& folders;
  PlayerSettings& player;
  ScoreState& scores;
  ScoreStore& scoreStore;
  SavedGames& saved;
  SampleGames& sample;
  NetState& net;
  platform::WriteFailures& writeFailures;
  TableLook& look;  // the deciding-card frame and the structures
  platform::BuiltLater<TutorialWindow> tutorial;
  platform::BuiltLater<OnlineExchange> exchange;  // the online game's exchanges with the peer
};

class TurnCycle : public table::DealHooks,
                  public PlayHooks,
                  public SavedGameHooks,
                  public NewGameHooks,
                  public MenuGame,
                  public NetGameEnd,
                  public FrmPlayMatch,
                  public table::TableNeighbours {
 public:
  explicit TurnCycle(const TurnCycleParts& parts);
  ~TurnCycle() override;
  TurnCycle(const TurnCycle&) = delete;
  TurnCycle& operator=(const TurnCycle&) = delete;

  MoveServices& moves() { return *moves_; }
  // Game over's, the new game's and the menus' questions about the connection.
  OnlineStateAnswers& online() { return *online_; }
  SavedGameServices& savedServices() { return *saved_; }
  GameOverServices& gameOver() { return *gameOver_; }
  ComputerPlayer& computer() { return *computer_; }

  // The Deal button.
  void cmdDeal_Click();
  // MenuGame
  // Starts a new game (menus, tutorial and scores window call this).
  NewGameResult NewGame() override;
  // What restoring a game reads of the player, the sample games and the connection.
  RestoreContext CurrentRestoreContext() const override;
  void DeclareStalemate() override;

  // table::DealHooks, SavedGameHooks
  table::Turn WhoGoesFirst(int FirstPlayerRule) override;
  void WhoseTurn() override;
  void SaveGameRecord() override;
  // PlayHooks, NetGameEnd
  void GameOver(int winner) override;
  // PlayHooks, SavedGameHooks, table::TableNeighbours: the status bar's pile counts
  void ShowPileCounts() override;
  void WriteMoveRecord(int record) override;
  // PlayHooks
  bool Move_Transmit_PlayCard(const OnlineMove& move) override;
  void EnableNextTip(bool enabled) override;
  // SavedGameHooks
  void ClearTable() override;
  void RedrawTable() override;
  // SavedGameHooks, NetGameEnd
  void CheckMatchComplete() override;
  void ShowMatchPoints(bool show) override;
  // table::TableNeighbours: the match points panel for the match in force
  void ShowMatchPoints() override { ShowMatchPoints(p_.scores.MatchOn); }
  void SaveScoreRec() override;
  void ShowTutorialNext() override;
  void ComputerTurn() override { computer_->ComputerTurn(); }
  // FrmPlayMatch: the match points panel
  bool MatchOn() const override { return p_.scores.MatchOn; }
  int MatchPoints() const override { return p_.scores.MatchPoints; }
  int MatchScore() const override { return p_.scores.CurrentScores.MatchScore; }
  int OppMatchScore() const override { return p_.scores.CurrentScores.OppMatchScore; }
  // MatchPoints and the score record's match target become the value and
  // the score record is stored.
  void SetMatchPoints(std::int16_t points) override;
  // NewGameHooks: a close asked for while a wait ran (a deal, the
  // computer's turn, a pause) only set Exiting; the command that started
  // it completes the close here when it returns.
  void FinishTopLevelCommand() override;

 private:
  TurnCycleParts p_;
  std::unique_ptr<MoveServices> moves_;
  std::unique_ptr<OnlineStateAnswers> online_;
  std::unique_ptr<ComputerPlayer> computer_;
  std::unique_ptr<SavedGameServices> saved_;
  std::unique_ptr<GameOverServices> gameOver_;
  std::unique_ptr<NewGameServices> newGame_;
};

}  // namespace play
