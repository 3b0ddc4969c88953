#pragma once
// The running program: the one owner of the game's state (the piles, the
// turn, the player, the scores, the record files, the busy guard, the wait
// service, the sounds) and of the table window. It builds the owners that
// answer the game's hooks and hands each the parts it works on, and the
// joined windows and network parts (JoinedParts) it is given:
//   TableLook     the backgrounds and the small card windows (each answering
//                 for itself) and the deciding-card frame
//   TurnCycle     the deal, the moves, the computer's turn, game over, the
//                 match panel and the pile counts, the records and the
//                 online exchanges' questions
//   HumanTurn     the presses and drags on the table, built on the turn cycle's moves
//   PlayerInPlay  the player's record, settings, score record and opponents file
//   TableWindows  the menus, the music, the manual and the windows that follow the table
// StartUp and Leaving run the beginning and the end of the run.

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

#include "media/folders.h"
#include "media/help_backend.h"
#include "media/mp3_playback.h"
#include "platform/recordfile.h"
#include "platform/system.h"
#include "platform/wait.h"
#include "platform/write_failures.h"
#include "play/faces/network_play.h"
#include "play/faces/score_access.h"
#include "play/game/saved_games.h"
#include "play/joined_parts.h"
#include "play/leaving.h"
#include "play/player_in_play.h"
#include "play/records/player.h"
#include "play/records/score_records.h"
#include "play/start_up.h"
#include "play/state/play_state.h"
#include "play/table_look.h"
#include "play/table_windows.h"
#include "play/turn_cycle.h"
#include "play/window/frm_play.h"
#include "table/busy_guard.h"
#include "table/deal.h"
#include "table/game_state.h"
#include "table/piles.h"
#include "table/sound_effects_player.h"
#include "table/table_settings.h"

namespace platform {
class SettingsStore;
class SoundChannel;
class UiService;
}  // namespace platform

namespace play {

// What the desktop gives the program. Tests put fakes in.
struct ProgramParts {
  media::Folders folders;
  platform::ScreenMetrics screen;
  std::unique_ptr<platform::UiService> ui;
  std::unique_ptr<platform::SoundChannel> sound;
  std::unique_ptr<platform::SettingsStore> settingsStore;
  std::uint32_t seed = 0;                           // the random generator's seed, taken once
  QString cardDeckRoot;                             // the card-deck library's folder; empty: the system's
  QString commandLine;                              // the arguments after the program's name, joined by blanks
  std::unique_ptr<media::MusicPlayer> musicPlayer;  // null: no music
  std::unique_ptr<media::HelpBackend> helpBackend;  // null: no help window
};

class Program : public QObject {
 public:
  // joined: built beside the program on its parts; none is called before
  // the program is built.
  Program(ProgramParts parts, const JoinedParts& joined);
  ~Program() override;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Start-up: opens the players file and loads the last player (the
  // template on a first start), writes the pictures and sounds out, opens
  // the saved-games and move files and shows the empty table. False, after
  // telling the user, when the program must end.
  bool Start();

  // The owners.
  TurnCycle& turns() { return *turns_; }
  TableWindows& windows() { return *windows_; }
  Leaving& leaving() { return *leaving_; }

  // What the joined parts are given of the program.
  NetPlayParts NetParts();
  TutorialServices TutorialParts();
  ScoreAccess ScoresAccess();
  MenuWindowParts MenuWindowsParts();  // the menus' own windows
  PreferencesTable& Preferences() { return *playerInPlay_; }

  // The shared state and the parts the owners work on.
  FrmPlay& frmPlay() { return *frmPlay_; }
  platform::WaitService& wait() { return wait_; }
  platform::UiService& ui() { return *ui_; }
  const table::PileArrays& piles() const { return piles_; }
  table::PileArrays& pilesForNetwork() { return piles_; }
  const PlayState& state() const { return state_; }
  PlayState& gameState() { return state_; }
  const PlayerSettings& player() const { return player_; }
  const std::int16_t& FirstPlayerRule() const { return player_.FirstPlayerRule; }
  const table::TableSettings& tableSettings() const { return tableSettings_; }
  const table::BusyGuard& guard() const { return guard_; }
  const NetState& net() const { return net_; }
  ScoreState& scores() { return scores_; }
  SavedGames& savedGames() { return saved_; }
  SampleGames& sample() { return sample_; }
  const media::Folders& folders() const { return folders_; }
  table::Backgrounds& backgrounds() { return look_->backgrounds(); }
  table::SmallCardWindows& cardWindows() { return look_->cardWindows(); }
  MoveServices& moveServices() { return turns_->moves(); }
  SavedGameServices& savedServices() { return turns_->savedServices(); }
  HumanTurn& humanTurn() { return *humanTurn_; }
  MenuCommands& menus() { return windows_->menus(); }
  media::Music& music() { return windows_->music(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // What the desktop gives.
  media::Folders folders_;
  platform::ScreenMetrics screen_;
  std::unique_ptr<platform::UiService> ui_;
  std::unique_ptr<platform::SoundChannel> sound_;
  std::unique_ptr<platform::SettingsStore> settingsStore_;
  platform::WriteFailures writeFailures_;  // every record file tells the user here when a write fails

  // The game's state.
  table::RandomSource random_;                 // the one generator, seeded once
  platform::WaitService wait_;                 // every wait of the program; Exiting
  table::BusyGuard guard_;                     // commands that replace the table ask here
  table::PileArrays piles_;                    // the cards on the table
  PlayState state_;                            // the turn and the move in progress
  PlayerSettings player_;                      // the player in play and his settings
  table::TableSettings tableSettings_;         // the copy the card table draws with
  ScoreState scores_;                          // the score record in force and the match
  NetState net_;                               // what the game reads of the connection
  platform::RecordFile playersFile_;           // "players4.sav", open for the run
  platform::RecordFile netFile_;               // the player's opponents file, when he has one
  NetScoreFile netScores_{.File = &netFile_};  // its current record
  ScoreStore scoreStore_{.Player = &player_.Player,
                         .CurrentPlayer = &player_.CurrentPlayer,
                         .PlayersFile = &playersFile_,
                         .NetConnIndex = &net_.NetConnIndex,
                         .Net = &netScores_};  // where the score record in force is kept
  SavedGames saved_;                           // the game record and the saved-games and move files
  SampleGames sample_;                         // the numbered sample games
  table::SoundEffectsPlayer sfx_;              // the card sounds
  JoinedParts joined_;                         // the windows and network parts built beside the program

  // The table window and the owners, built in this order.
  std::unique_ptr<FrmPlay> frmPlay_;
  std::unique_ptr<TableLook> look_;
  std::unique_ptr<TurnCycle> turns_;
  std::unique_ptr<PlayerInPlay> playerInPlay_;
  std::unique_ptr<TableWindows> windows_;
  std::unique_ptr<StartUp> startUp_;
  std::unique_ptr<Leaving> leaving_;
  std::unique_ptr<HumanTurn> humanTurn_;
};

}  // namespace play
