#pragma once
// The end of a game: a side has emptied its Reserve, Stock and Waste, or the
// game is declared a stalemate. Game over scores it, announces it on the
// table (and in the chat online), plays the win or loss sound, counts it in
// the score record and the running match, and enters it into the high
// scores. Also the status bar's card counts; the scoring itself is in
// scoring.h, the match panels in match_panel.h.

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>

#include "play/game/scoring.h"
#include "play/records/score_records.h"
#include "play/state/play_state.h"
#include "table/backgrounds.h"
#include "table/game_state.h"
#include "table/piles.h"

namespace platform {
class SoundChannel;
class UiService;
class WaitService;
class WriteFailures;
}  // namespace platform

namespace table {
class BusyGuard;
class SoundEffects;
class TableView;
}  // namespace table

namespace play {

constexpr int kLossSoundEffect = 9;
constexpr int kWinStructure = 1002;  // shown for a while after the local side wins
constexpr double kWinStructureSeconds = 3.0;
inline constexpr char kWinSoundFile[] = "Data/win.wav";  // in AppPath
inline constexpr char kComputerName[] = "Marrowdale";    // the winner's name when the computer won

// What game over asks of the online game; network play implements it.
class GameOverNetwork {
 public:
  virtual ~GameOverNetwork() = default;
  // 0 offline, 99 while an online game is being set up, else online.
  virtual std::int16_t NetConnIndex() const = 0;
  virtual bool IsHost() const = 0;
  virtual QString OpponentName() const = 0;
  // Stalemate: the host sends "RS"; then, host and remote alike, waits for
  // the peer's "RS" or its loss.
  virtual void ExchangeStalemateReset() = 0;
  // The local side made the final move: sends it and waits for the peer.
  // False when the peer was lost, ended the game, the connection is gone or
  // the peer started a new game; game over then ends without scoring.
  virtual bool TransmitFinalMove() = 0;
  // The peer's move ended the game: acknowledges it with "PC".
  virtual void AcknowledgeFinalMove() = 0;
  // Appends text to the chat transcript as it stands, scrolls the
  // transcript to its end and enables the chat's send button Command1.
  virtual void AppendResultToChat(const QString& text) = 0;
  // Sends "EG" (payload "STALEMATE" while StalemateDeclared, else
  // "ENDMATCH" for endMatch) and waits for the peer's answer.
  virtual void SendEndGame(bool endMatch) = 0;
};

// The structure picture drawn over the table's background; the backgrounds
// answer.
using StructurePicture = table::StructureChoice;

struct GameOverServices {
  table::PileArrays& piles;
  PlayState& state;
  ScoreState& scores;
  ScoreStore& store;
  table::TableView& view;
  table::SoundEffects& sfx;
  platform::SoundChannel& sound;  // the win sound
  platform::WaitService& wait;
  platform::UiService& ui;
  table::BusyGuard& guard;
  const bool& SoundOn;                     // the player's game sounds
  const QString& PlayerName;               // the local player's name
  QString AppPath;                         // the program's folder, ending in "/"
  QString DataPath;                        // the per-user data folder, ending in "/"
  GameOverNetwork* network = nullptr;      // null: no online play
  StructurePicture* structures = nullptr;  // null: no structure pictures
  std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
  platform::WriteFailures* writeFailures = nullptr;  // told of a high-score file that cannot be written
};

// Ends and scores the game. winner: 0 the local side, 1 the opponent, 3
// decide by the stalemate count; a stalemate overwrites it with the result.
void GameOver(GameOverServices& s, std::int16_t& winner);

// Asks, and on Yes ends the game as a stalemate.
void DeclareStalemate(GameOverServices& s);

// Panels 2 and 3: each side's cards left.
void ShowPileCounts(const table::PileArrays& piles, table::TableView& view);
}  // namespace play
