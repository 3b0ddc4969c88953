#pragma once
// The game's table window for the tests, on a screen of a chosen size and
// laid out as the program lays it out at start-up.

#include "platform/system.h"
#include "play/window/frm_play.h"

namespace testing_support {

// Every part a table window built alone calls, answering quietly: no
// match, no music, no menus, no windows around it.
class QuietNeighbours : public table::TableNeighbours,
                        public table::TableauCards,
                        public table::BackgroundPainting,
                        public play::FrmPlayMatch,
                        public media::MusicPanel,
                        public play::FrmPlayMenus,
                        public play::FrmPlayFrame,
                        public play::SplashWindow {
 public:
  bool TableauCardsWindowShown() const override { return false; }
  void HideTableauCardsWindow() override {}
  void UnloadTableauCardsWindow() override {}
  void ShowLogo(bool) override {}
  void ShowPileCounts() override {}
  void ShowMatchPoints() override {}
  void ShowMusicMenu() override {}
  bool MusicUnavailable() const override { return true; }
  bool IsMP3Playing() const override { return false; }
  QString StopMP3() override { return {}; }
  void RequestStopMusic() override {}
  void KeyShortcut(int, int) override {}
  bool MatchOn() const override { return false; }
  int MatchPoints() const override { return 0; }
  int MatchScore() const override { return 0; }
  int OppMatchScore() const override { return 0; }
  void SetMatchPoints(std::int16_t) override {}
  void MainWindowMinimised() override {}
  void MainWindowShown(Qt::WindowStates) override {}
  void UnloadMenuWindow() override {}
  void Show() override {}
  void Unload() override {}
  bool IsOpen() const override { return false; }
  bool Listed() const override { return false; }
  void ShowBackground() override {}
};

// The table window's neighbours, all answered by `quiet`; the drop rules
// and the popup's options stay out.
inline play::FrmPlayNeighbours Quietly(QuietNeighbours& quiet) {
  return play::FrmPlayNeighbours{.counts = &quiet,
                                 .tableauCards = &quiet,
                                 .pictures = &quiet,
                                 .match = &quiet,
                                 .music = &quiet,
                                 .menus = &quiet,
                                 .frame = &quiet,
                                 .splash = &quiet};
}

// A screen of that many pixels at 96 dots per inch.
inline platform::ScreenMetrics Screen96(int widthPixels, int heightPixels) {
  platform::ScreenMetrics s;
  s.widthPixels = widthPixels;
  s.heightPixels = heightPixels;
  s.logPixelsX = 96;
  s.availWidth = widthPixels;  // no panel
  s.availHeight = heightPixels;
  return s;
}

// The window's fixed sizes and pile pictures, the window fitted to the
// screen and the empty table laid out: what start-up does before the first
// deal. Neighbours the window asks meanwhile are set before.
inline void LayOutAsAtStartUp(play::FrmPlay& frmPlay) {
  frmPlay.SetFixedSizes();
  frmPlay.SetEmptyPilePictures();
  frmPlay.FitMainWindow();
  frmPlay.ClearTable();
  frmPlay.LayoutTable();
}

}  // namespace testing_support
