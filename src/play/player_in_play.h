#pragma once
// The player in play: his record in the players file, his settings and the
// table's copy of them, his score record and his opponents file, and the
// card decks his settings choose from. It answers what loading and saving
// a player, the Preferences dialog and the table's option popups ask.

#include <QString>
#include <memory>

#include "media/folders.h"
#include "platform/built_later.h"
#include "platform/recordfile.h"
#include "platform/system.h"
#include "platform/wait.h"
#include "play/faces/menu_windows.h"
#include "play/faces/network_play.h"
#include "play/faces/preferences_access.h"
#include "play/records/player.h"
#include "play/records/players.h"
#include "play/records/score_records.h"
#include "play/state/play_state.h"
#include "table/backgrounds.h"
#include "table/card_deck.h"
#include "table/card_deck_library.h"
#include "table/frm_pic.h"
#include "table/small_card_windows.h"
#include "table/table_settings.h"

namespace play {

class FrmPlay;
struct MoveServices;

// The table variables as the card table reads them, from the player in
// play. The player's settings are the truth; the table's are a copy.
void FillTableSettings(const PlayerSettings& player, table::TableSettings& table);

// What the player in play works on, all owned by the program.
struct PlayerInPlayParts {
  PlayerSettings& player;
  table::TableSettings& tableSettings;
  PlayState& state;
  FrmPlay& view;
  table::Backgrounds& backgrounds;
  table::SmallCardWindows& cardWindows;
  MoveServices& moves;                // the computer's think delay
  platform::RecordFile& playersFile;  // "players4.sav", open for the run
  platform::RecordFile& netFile;      // the opponents file, when he has one
  ScoreState& scores;
  ScoreStore& scoreStore;
  NetState& net;
  const media::Folders& folders;
  const platform::ScreenMetrics& screen;
  platform::UiService& ui;
  platform::WaitService& wait;
  platform::BuiltLater<NetworkPlay> network;  // network play's list of opponents
  QString cardDeckRoot;                       // the card-deck library's folder; empty: the system's
};

class PlayerInPlay : public PlayerTable,
                     public PlayerScores,
                     public PlayerNetFile,
                     public PreferencesTable,
                     public PlayerChanges,
                     public table::PopupOptions {
 public:
  explicit PlayerInPlay(const PlayerInPlayParts& parts);
  ~PlayerInPlay() override;
  PlayerInPlay(const PlayerInPlay&) = delete;
  PlayerInPlay& operator=(const PlayerInPlay&) = delete;

  const PlayerServices& services() const { return services_; }

  // The player's settings changed: the table's copy is refilled.
  void PlayerSettingsChanged() override { ApplySettings(p_.player); }
  // Player is written as record CurrentPlayer, as it stands.
  void WritePlayerRecord() override;
  // The player in play is written to his record (SavePlayer).
  void SaveCurrentPlayer() override;
  // Record n (1..10) becomes the player in play, and the settings record
  // names him for the next start.
  PlayerFileResult ChangePlayer(std::int16_t n) override;

  // PlayerTable
  void ApplySettings(const PlayerSettings& settings) override;
  void SetEmptyPilePictures() override;
  void GetCardFaces(std::int16_t& deck) override;
  void GetCardBacks(std::int16_t& back) override;
  void ShowDealButton() override;
  // PlayerScores
  void LoadScoreRec() override;
  void ResumeMatch() override;
  // PlayerNetFile
  void CloseNetFile() override;
  bool OpenNetFile(const QString& path) override;
  void LoadNetPlayerList() override;
  // PreferencesTable
  const PlayerSettings& Settings() const override { return p_.player; }
  const table::TableSettings& Table() const override { return p_.tableSettings; }
  table::FrmPic& Pictures() override;
  platform::UiService& Ui() override { return p_.ui; }
  platform::WaitService& Wait() override { return p_.wait; }
  table::CardDeckSource* DeckLibrary() override;
  QImage BuiltInFaceSheet() const override;
  int ColorBits() const override { return p_.screen.colorBits; }
  TableBackgrounds& Backgrounds() override { return p_.backgrounds; }
  table::TableauCards* TableauCards() override { return &p_.cardWindows; }
  PlayerSettings& SettingsToWrite() override { return p_.player; }
  void ShowSettings() override;
  void SetCardBackColor(std::uint32_t bgr) override { p_.tableSettings.CardBackColor = bgr; }
  bool SavePlayer() override;
  void RedrawTable() override;
  void RefreshEmptyPilePictures() override;
  // table::PopupOptions
  void SoundChosen(bool SoundOn, std::int16_t CardSoundSet) override;
  void FirstPlayerChosen(std::int16_t FirstPlayerRule) override;

 private:
  PlayerInPlayParts p_;
  table::CardDeckLibrary deckLibrary_;
  table::LibraryDeckSource deckSource_;
  PlayerServices services_;
};

}  // namespace play
