#pragma once
// What the scores window and its maintenance work on: the players file, the
// player in play, the score record in force, the opponents file and the
// window services. The program hands it out; the dialogs keep no copy.

#include <QStringList>
#include <cstdint>

#include "play/records/player.h"
#include "play/records/score_records.h"

namespace platform {
class RecordFile;
class UiService;
class WaitService;
}  // namespace platform
namespace media {
struct Folders;
}
namespace table {
class TableView;
}

namespace play {

class PlayerNetFile;

struct ScoreAccess {
  platform::RecordFile& players;     // "players4.sav", open for the run
  PlayerSettings& player;            // the player in play
  ScoreState& scores;                // the record in force and the match
  ScoreStore& store;                 // where the record in force is kept
  NetScoreFile& net;                 // the opponents file and the current opponent
  const std::int16_t& NetConnIndex;  // 0 offline
  QStringList& NetPlayerNames;       // the opponents' names, as network play lists them
  PlayerNetFile& netFile;            // closing the file and listing the names again
  table::TableView& view;
  platform::UiService& ui;
  platform::WaitService& wait;
  const media::Folders& folders;
};

// The scores window as the commands and the main window reach it.
class ScoresWindow {
 public:
  virtual ~ScoresWindow() = default;
  // LoadTab(tab) and show: modal offline, modeless online.
  virtual void ShowScores(int tab) = 0;
  virtual bool ScoresOpen() const = 0;
  // The program's own unloading (the main window minimised).
  virtual void UnloadScoresWindow() = 0;
};

}  // namespace play
