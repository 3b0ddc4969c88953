#pragma once
// The scores window's maintenance buttons: deleting local players, clearing
// their single-game or match statistics, clearing the high-score table and
// deleting or clearing the records of online opponents. They edit the files
// in place, record by record, through locals, and leave the score record in
// force consistent with what is on disk. A failed read or write stops the
// action and is reported; the settings record (11) and the new-player
// template (12) are never written.

#include <QString>
#include <QStringList>
#include <cstdint>

#include "play/records/player.h"
#include "play/records/score_records.h"

namespace platform {
class RecordFile;
class UiService;
}  // namespace platform

namespace table {
class TableView;
}

namespace dialogs {

// The opponents met online, as network play lists them.
class OpponentList {
 public:
  virtual ~OpponentList() = default;
  // The player's opponents file is open.
  virtual bool NetFileOpen() const = 0;
  // NetPlayerNames(1..NetPlayerCount), in file order.
  virtual QStringList NetPlayerNames() const = 0;
  // The names listed again from the open file.
  virtual void LoadNetPlayerList() = 0;
  // Closes and deletes the player's opponents file; the list is empty
  // afterwards. Empty when it is gone, else the system's reason why it
  // could not be deleted.
  virtual QString DeleteNetFile() = 0;
};

// What the maintenance works on.
struct ScoreFiles {
  platform::RecordFile& players;     // "players4.sav", open
  play::PlayerSettings& player;      // Player, CurrentPlayer, PlayerName
  play::ScoreState& scores;          // CurrentScores, MatchOn
  play::ScoreStore& store;           // where the record in force is kept
  play::NetScoreFile& net;           // the opponents file and the current opponent
  const std::int16_t& NetConnIndex;  // 0 offline
  table::TableView& view;            // the match panels
  platform::UiService& ui;
  OpponentList* opponents = nullptr;  // none: no opponents are listed
  QString highScorePath;              // DataPath + "highscore.sav"
  QString picturesFolder;             // AppPath + "Data/pictures/": the tab labels and the trophy
};

// Which message label of the window an action writes.
enum class MessageLabel { None, Label1, lblSelectMatch, LblNetMain };

struct MaintenanceResult {
  bool done = false;  // the files were changed
  MessageLabel label = MessageLabel::None;
  QString message;
};

inline constexpr char kSelectPlayerText[] = "Select a player";

// The captions of cmdMaintenance(0..5) and cmdNetMaintain(0..3).
QString MaintenanceCaption(int index);
QString NetMaintainCaption(int index);

// cmdMaintenance(index) for the players-file record SelectedPlayer (0
// none); cellEmpty: the grid's current cell holds no name.
MaintenanceResult cmdMaintenance(ScoreFiles& f, int index, int SelectedPlayer, bool cellEmpty);
// cmdNetMaintain(index) for the opponent at list position listIndex (-1 none).
MaintenanceResult cmdNetMaintain(ScoreFiles& f, int index, int listIndex);
// cmdClear: the high-score table emptied.
MaintenanceResult cmdClear(ScoreFiles& f);

}  // namespace dialogs
