#include "play/table_look.h"

#include <QLabel>

#include "platform/ui.h"
#include "play/frm_play.h"
#include "play/utilities.h"
#include "table/picture_box.h"
#include "table/table_pictures.h"

namespace play {

namespace {

// The deciding-card frame stands this far left of and above the pile.
constexpr int kCardFrameLeftOffset = 5;
constexpr int kCardFrameTopOffset = 4;

}  // namespace

TableLook::TableLook(FrmPlay& view, PlayState& state, const table::TableSettings& settings,
                     platform::UiService& ui, media::Folders& folders, std::int16_t& currentStructure,
                     const platform::ScreenMetrics& screen, const JoinedParts& joined,
                     const table::PileArrays& piles, const ScoreState& scores)
    : view_(view),
      state_(state),
      settings_(settings),
      ui_(ui),
      twipsPerPixel_(screen.TwipsPerPixel()),
      joined_(joined),
      piles_(piles),
      scores_(scores),
      backgrounds_(std::make_unique<table::Backgrounds>(view, state, settings, ui, folders, currentStructure,
                                                        twipsPerPixel_)),
      cardWindows_(std::make_unique<table::SmallCardWindows>(view, settings, screen.captionHeight, twipsPerPixel_,
                                                             this)) {}

TableLook::~TableLook() = default;

bool TableLook::TileBackground(QImage& surface) {
  if (!backgrounds_->Listed() || backgrounds_->Picture().isNull()) return false;
  table::TileBackground(backgrounds_->Picture(), surface);
  return true;
}

void TableLook::ShowHand() { backgrounds_->ShowHand(view_.picHand); }

void TableLook::MoveCardFrameOver(table::PileControl pile, int index) {
  const table::PictureBox* box = view_.Pile(pile, index);
  QLabel* frame = view_.lblCardFrame[kDecidingFrame];
  if (!box || !frame) return;
  frame->move(box->x() - kCardFrameLeftOffset, box->y() - kCardFrameTopOffset);
}

void TableLook::TableauWindowClickedInTutorial() {
  if (joined_.tutorial) joined_.tutorial->EnableNextTip(true);
  view_.EnablePiles(false);
}

void TableLook::ShowPileCounts() { play::ShowPileCounts(piles_, view_); }
void TableLook::ShowMatchPoints() { play::ShowMatchPoints(view_, scores_.MatchOn); }

void TableLook::ClearTablePicture() {
  view_.FormPicture() = QImage();
  view_.SetFormBackColor(settings_.MatColor);
}

void TableLook::ShowWindowSizes() {
  const table::FrmHold& hold = cardWindows_->MadeTableauCardsWindow();
  const int tpp = twipsPerPixel_;
  const table::PictureBox* first = hold.Picture8[1];
  const WindowSizes sizes{hold.frameGeometry().height() * tpp, hold.height() * tpp,
                          hold.frameGeometry().width() * tpp, first ? first->height() * tpp : 0};
  ui_.MsgBox(WindowSizeMessage(sizes), platform::vbOKOnly | platform::vbInformation, kProgramTitle);
}

}  // namespace play
