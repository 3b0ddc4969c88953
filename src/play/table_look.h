#pragma once
// The table's pictures: the backgrounds and structures with the logo and
// the tutorial's hands (table::Backgrounds), the two small card windows
// (table::SmallCardWindows: the tableau cards window and the pile viewer)
// and the deciding-card frame. The backgrounds and the card windows answer
// for themselves and are handed out as they are; this answers the rest.

#include <memory>

#include "media/folders.h"
#include "platform/built_later.h"
#include "platform/system.h"
#include "play/faces/tutorial_hooks.h"
#include "play/rules/who_goes_first.h"
#include "play/state/play_state.h"
#include "play/window/frm_play.h"
#include "table/backgrounds.h"
#include "table/small_card_windows.h"
#include "table/tableau_cards_window.h"

namespace play {

class TableLook : public DecidingCardMarker, public table::TableauWindowHooks {
 public:
  TableLook(FrmPlay& view, PlayState& state, const table::TableSettings& settings, platform::UiService& ui,
            media::Folders& folders, std::int16_t& currentStructure, const platform::ScreenMetrics& screen,
            platform::BuiltLater<TutorialWindow> tutorial, platform::BuiltLater<table::BackgroundFollower> chat);
  ~TableLook() override;
  TableLook(const TableLook&) = delete;
  TableLook& operator=(const TableLook&) = delete;

  table::Backgrounds& backgrounds() { return *backgrounds_; }
  table::SmallCardWindows& cardWindows() { return *cardWindows_; }

  // DecidingCardMarker
  void MoveCardFrameOver(table::PileControl pile, int index) override;
  // table::TableauWindowHooks
  bool TutorialMode() const override { return state_.TutorialMode; }
  void TableauWindowClickedInTutorial() override;

 private:
  FrmPlay& view_;
  PlayState& state_;
  platform::BuiltLater<TutorialWindow> tutorial_;
  std::unique_ptr<table::Backgrounds> backgrounds_;
  std::unique_ptr<table::SmallCardWindows> cardWindows_;
};

}  // namespace play
