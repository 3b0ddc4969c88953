#pragma once
// Loading a player from the players file onto the table and saving the
// table's settings back into the player's record; the settings record
// (record 11) with the last player and the main window's placement.

#include <QString>
#include <cstdint>
#include <optional>

#include "play/records/player.h"
#include "play/records/player_record.h"
#include "play/state/play_state.h"
#include "table/backgrounds.h"

namespace platform {
class RecordFile;
}

namespace media {
struct Folders;
}

namespace table {
class TableView;
struct GameState;
}  // namespace table

namespace play {

// What loading and saving a player asks of the table's background list
// and picture; the backgrounds answer.
using PlayerBackgrounds = table::BackgroundChoice;

// What loading a player asks of the table window: the empty-pile pictures,
// the card-deck library's faces and backs, and the table variables it
// draws with.
class PlayerTable {
 public:
  virtual ~PlayerTable() = default;
  // The table takes the player's settings in force (text size, colours,
  // sounds, animation speed, place-holder style, who goes first). The deck
  // and back numbers are settled afterwards by GetCardFaces and
  // GetCardBacks.
  virtual void ApplySettings(const PlayerSettings& settings) = 0;
  // Wood or metal empty-pile pictures, as WoodPlaceHolders says.
  virtual void SetEmptyPilePictures() = 0;
  // Makes the deck's faces current; a deck the library does not offer
  // becomes the built-in faces (1). The number in force is left in deck.
  virtual void GetCardFaces(std::int16_t& deck) = 0;
  // Makes the back design current in the back holder; a back the library
  // does not offer becomes the program's own back (0). The number in
  // force is left in back.
  virtual void GetCardBacks(std::int16_t& back) = 0;
  // The Deal button cmdDeal made visible.
  virtual void ShowDealButton() = 0;
};

// The score record of the player in play.
class PlayerScores {
 public:
  virtual ~PlayerScores() = default;
  // CurrentScores := the current player's own score record.
  virtual void LoadScoreRec() = 0;
  // MatchPoints from the record; an unfinished match is resumed.
  virtual void ResumeMatch() = 0;
};

// The player's opponents file ("Net/<player>.net"), file number 17.
class PlayerNetFile {
 public:
  virtual ~PlayerNetFile() = default;
  // Closes the open opponents file, if any; NetFileOpen := False.
  virtual void CloseNetFile() = 0;
  // Opens the file for random access with record length 76; NetFileOpen :=
  // True. False when it cannot be opened.
  virtual bool OpenNetFile(const QString& path) = 0;
  // The opponent names of the open file into the list of opponents.
  virtual void LoadNetPlayerList() = 0;
};

struct PlayerServices {
  platform::RecordFile& players;  // "players4.sav", open for the whole run
  const media::Folders& folders;
  PlayState& state;  // StartingUp
  table::TableView& view;
  PlayerTable& table;
  PlayerBackgrounds& backgrounds;
  PlayerScores& scores;
  PlayerNetFile& net;
  bool LargeFonts = false;  // the desktop is not at 96 dots per inch
};

enum class PlayerFileResult {
  Ok,
  NoSuchPlayer,  // the record number names no player record (1..10, or 12 to load the template)
  ReadFailed,
  WriteFailed,
};

QString PlayerFileResultText(PlayerFileResult result);

// The text sizes the Preferences dialog offers; the table's labels hold
// their texts legibly within them.
inline constexpr std::int16_t kMinTextFontSize = 6;
inline constexpr std::int16_t kMaxTextFontSize = 24;
constexpr int kStatusPanelPlayerName = 1;

// How a stored value is taken when the player is loaded. Values that other
// code indexes with are brought into range; the record keeps what it holds.
std::int16_t CheckedStructure(std::int16_t stored);        // outside 1000..1004: 1000
std::int16_t CheckedAnimSpeed(std::int16_t stored);        // clamped to 2..540
std::int16_t CheckedThinkLevel(std::int16_t stored);       // clamped to 1..6
std::int16_t CheckedCardSoundSet(std::int16_t stored);     // outside 0..2: 0 wood
std::int16_t CheckedFirstPlayerRule(std::int16_t stored);  // outside 0..2: 0 lowest card
// 0 (or less): 13 points, 10 under large fonts; any other size is brought
// into kMinTextFontSize..kMaxTextFontSize.
std::int16_t TextFontSizeInForce(std::int16_t stored, bool LargeFonts);

// True for 1..10, the records that hold players.
bool IsPlayerRecordNumber(int recordNo);

// Reads record PlayerNo (1..10, or 12 the template) into Player and makes
// it the table's settings. Nothing changes when the record cannot be read.
PlayerFileResult LoadPlayer(int PlayerNo, PlayerSettings& settings, const PlayerServices& services);

// Copies the table's settings into Player and writes it as record
// CurrentPlayer. A value LoadPlayer only brought into range is written back
// as stored while it stays in force. ThinkLevel, FirstPlayerRule, Name and
// Scores keep what Player holds: their own writers keep them current.
// Without a current player nothing is written.
PlayerFileResult SavePlayer(PlayerSettings& settings, PlayerBackgrounds& backgrounds, platform::RecordFile& players);

// At a first start (no current player, the template in Player): writes
// Player back as the template record 12, so the template keeps the
// animation speed found for this machine. With a current player nothing is
// written: a player's record never replaces the template.
PlayerFileResult SaveTemplate(const PlayerSettings& settings, platform::RecordFile& players);

// The player's opponents file UserPath + "Net/" + name + ".net", found
// without regard to case inside that folder; empty when the name cannot be
// a file name there or no such file exists.
QString FindNetFile(const media::Folders& folders, const QString& PlayerName);

// The settings record.

// The last player it names: 1..10, or 0 (none, a first start) for any
// other number.
std::int16_t LastPlayerOf(const PlayerRecord& settingsRecord);

// Reads record 11; nothing when it cannot be read.
std::optional<PlayerRecord> ReadSettingsRecord(const platform::RecordFile& players);

// The main window as it is when the settings are stored.
enum class WindowShown { Normal, Maximized, Minimized };

// The main window's normal placement in twips.
struct WindowPlacement {
  std::int32_t Height = 0;
  std::int32_t Width = 0;
  std::int32_t Top = 0;
  std::int32_t Left = 0;
};

// State 0 and the normal placement, each value clamped into its 16-bit
// field (a large screen gives more twips than the field holds).
void SetWindowPlacement(PlayerRecord& settingsRecord, const WindowPlacement& normal);

// Reads record 11, sets LastPlayer (a number outside 1..10 is stored as 0)
// and the window fields, and writes it back whole: a normal window stores
// state 0 and its placement, a maximised one state 2 and keeps the stored
// placement, a minimised one keeps every window field.
PlayerFileResult SaveSettingsRecord(platform::RecordFile& players, std::int16_t LastPlayer, WindowShown shown,
                                    const WindowPlacement& normal);

}  // namespace play
