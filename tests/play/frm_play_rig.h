#pragma once
// The game's table window for the tests, on a screen of a chosen size and
// laid out as the program lays it out at start-up.

#include "platform/system.h"
#include "play/window/frm_play.h"

namespace testing_support {

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
