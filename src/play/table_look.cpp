#include "play/table_look.h"

#include <QLabel>

#include "platform/ui.h"
#include "play/state/utilities.h"
#include "play/window/frm_play.h"
#include "table/picture_box.h"
#include "table/table_pictures.h"

namespace play {

namespace {

// The deciding-card frame stands this far left of and above the pile.
constexpr int kCardFrameLeftOffset = 5;
constexpr int kCardFrameTopOffset = 4;

}  // namespace

TableLook::TableLook(FrmPlay& view, PlayState& state, const table::TableSettings& settings, platform::UiService& ui,
                     media::Folders& folders, std::int16_t& currentStructure, const platform::ScreenMetrics& screen,
                     platform::BuiltLater<TutorialWindow> tutorial,
                     platform::BuiltLater<table::BackgroundFollower> chat)
    : view_(view),
      state_(state),
      tutorial_(tutorial),
      backgrounds_(std::make_unique<table::Backgrounds>(view, state, settings, ui, folders, currentStructure,
                                                        screen.TwipsPerPixel(), std::move(chat))),
      cardWindows_(std::make_unique<table::SmallCardWindows>(view, settings, screen.captionHeight,
                                                             screen.TwipsPerPixel(), this)) {}

TableLook::~TableLook() = default;

void TableLook::MoveCardFrameOver(table::PileControl pile, int index) {
  const table::PictureBox* box = view_.Pile(pile, index);
  QLabel* frame = view_.lblCardFrame[kDecidingFrame];
  if (!box || !frame) return;
  frame->move(box->x() - kCardFrameLeftOffset, box->y() - kCardFrameTopOffset);
}

void TableLook::TableauWindowClickedInTutorial() {
  tutorial_->EnableNextTip(true);
  view_.EnablePiles(false);
}

}  // namespace play
