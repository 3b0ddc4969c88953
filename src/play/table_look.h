#pragma once
// The table's pictures: the backgrounds and structures, the logo, the
// tutorial's hands, the deciding-card frame, the status bar's pile counts
// and match panel, and the two small card windows (the tableau cards window
// and the pile viewer). It answers what the rest of the game asks of them.

#include <memory>

#include "media/folders.h"
#include "platform/system.h"
#include "play/frm_play.h"
#include "play/game_over.h"
#include "play/joined_parts.h"
#include "play/menu_commands.h"
#include "play/play_state.h"
#include "play/players.h"
#include "play/preferences_access.h"
#include "play/score_records.h"
#include "play/tutorial_hooks.h"
#include "play/who_goes_first.h"
#include "table/backgrounds.h"
#include "table/small_card_windows.h"
#include "table/tableau_cards_window.h"

namespace play {

class TableLook : public StructurePicture,
                  public TableBackgrounds,
                  public HandPictures,
                  public DecidingCardMarker,
                  public table::TableauWindowHooks,
                  public MenuTable,
                  public FrmPlayPictures,
                  public PlayerBackgrounds,
                  public PileViewers {
 public:
  TableLook(FrmPlay& view, PlayState& state, const table::TableSettings& settings, platform::UiService& ui,
            media::Folders& folders, std::int16_t& currentStructure, const platform::ScreenMetrics& screen,
            const JoinedParts& joined, const table::PileArrays& piles, const ScoreState& scores);
  ~TableLook() override;
  TableLook(const TableLook&) = delete;
  TableLook& operator=(const TableLook&) = delete;

  table::Backgrounds& backgrounds() { return *backgrounds_; }
  table::SmallCardWindows& cardWindows() { return *cardWindows_; }

  // StructurePicture
  int CurrentStructure() const override { return backgrounds_->CurrentStructure(); }
  void NextStructure(int value) override { backgrounds_->NextStructure(value); }
  // TableBackgrounds
  bool TileBackground(QImage& surface) override;
  void NextBackground(int keyCode) override { backgrounds_->NextBackground(keyCode); }
  void UnloadTableauCardsWindow() override { cardWindows_->UnloadTableauCardsWindow(); }
  // TableBackgrounds, PlayerBackgrounds
  int BackgroundCount() const override { return backgrounds_->BackgroundCount(); }
  QString BackgroundList(int index) const override { return backgrounds_->BackgroundList(index); }
  void SetBackgroundIndex(int index) override { backgrounds_->SetBackgroundIndex(index); }
  // PlayerBackgrounds
  void LoadBackgroundList(QString& BackgroundName) override { backgrounds_->LoadBackgroundList(BackgroundName); }
  int BackgroundIndex() const override { return backgrounds_->BackgroundIndex(); }
  // The table window's picture cleared: the plain mat colour.
  void ClearTablePicture() override;
  // HandPictures
  void ShowHand() override;
  // DecidingCardMarker
  void MoveCardFrameOver(table::PileControl pile, int index) override;
  // table::TableauWindowHooks
  bool TutorialMode() const override { return state_.TutorialMode; }
  void TableauWindowClickedInTutorial() override;

  // MenuTable, FrmPlayPictures
  bool TableauCardsWindowShown() const override { return cardWindows_->TableauCardsWindowShown(); }
  void HideTableauCardsWindow() override { cardWindows_->HideTableauCardsWindow(); }
  // MenuTable
  // The developer view's message of the tableau cards window's sizes.
  void ShowWindowSizes() override;
  void ManageBackground(const QString& action) override { backgrounds_->ManageBackground(action); }
  // FrmPlayPictures
  void ShowLogo(bool show) override { backgrounds_->ShowLogo(show); }
  // The status bar's pile counts, and its match points panel for the match in force.
  void ShowPileCounts() override;
  void ShowMatchPoints() override;
  bool BackgroundChosen() const override { return backgrounds_->Listed(); }
  // FrmPlayPictures, PlayerBackgrounds
  void ShowBackground() override { backgrounds_->ShowBackground(); }
  // PileViewers
  void ViewCards(const QString& pileName, int index) override { cardWindows_->ViewCards(pileName, index); }
  void ShowTableauPile(int pile) override { cardWindows_->ShowTableauPile(pile); }

 private:
  FrmPlay& view_;
  PlayState& state_;
  const table::TableSettings& settings_;
  platform::UiService& ui_;
  int twipsPerPixel_;
  const JoinedParts& joined_;
  const table::PileArrays& piles_;
  const ScoreState& scores_;
  std::unique_ptr<table::Backgrounds> backgrounds_;
  std::unique_ptr<table::SmallCardWindows> cardWindows_;
};

}  // namespace play
