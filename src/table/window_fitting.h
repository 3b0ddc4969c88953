#pragma once
// The main window's size and place on the screen, in twips, and how far the
// drawn table is shifted inside it. Pure computations in 32-bit arithmetic;
// only the placement kept in the players file is 16-bit, and a value is
// clamped into range when it is stored there.

#include <cstdint>
#include <optional>

#include "platform/system.h"

namespace table {

constexpr std::int32_t kDesignWidth = 18150;   // the table is drawn for this window width
constexpr std::int32_t kDesignHeight = 12405;  // and this height (660 + 11745)

// The screen's work area: what its panels leave to windows. Windows are
// sized to it and placed inside it, never under a panel.
struct ScreenTwips {
  std::int32_t ScreenWidth = 15360;   // the work area's width
  std::int32_t ScreenHeight = 11520;  // and height
  int twipsPerPixelX = platform::kNormalTwipsPerPixel;
  int twipsPerPixelY = platform::kNormalTwipsPerPixel;
  bool LargeFonts = false;
  std::int32_t WorkLeft = 0;  // the work area's top-left corner on the screen
  std::int32_t WorkTop = 0;
};

// The window's normal placement in twips. Positions may carry a half twip
// (the window properties are single-precision).
struct WindowTwips {
  double Left = 0;
  double Top = 0;
  double Width = 0;
  double Height = 0;
  bool operator==(const WindowTwips&) const = default;
};

struct MinimumSize {
  std::int32_t MinFormWidth = 13785;
  std::int32_t MinFormHeight = 9225;
};

MinimumSize MinimumFormSize(bool LargeFonts);

// The fitted normal placement for the screen (FitMainWindow without its
// final ComputeTableArea).
WindowTwips FitMainWindow(const ScreenTwips& screen);

struct TableOffsets {
  std::int16_t TableOffsetX = 0;  // pixels the table moves right
  std::int32_t TableOffsetY = 0;  // pixels the table moves up, at most 75
  bool operator==(const TableOffsets&) const = default;
};

TableOffsets ComputeTableArea(double widthTwips, double heightTwips, int twipsPerPixelX, int twipsPerPixelY);

// The placement fields of the settings record.
struct StoredPlacement {
  std::int16_t WindowState = 0;  // 0 normal, 2 maximised
  std::int16_t WindowHeight = 0;
  std::int16_t WindowWidth = 0;
  std::int16_t WindowTop = 0;
  std::int16_t WindowLeft = 0;
  bool operator==(const StoredPlacement&) const = default;
};

// The normal placement as stored: each value to the nearest integer (a half
// to the even neighbour), clamped into the 16-bit field.
StoredPlacement SaveWindowPlacement(const WindowTwips& window);

// Whether a stored normal placement still fits the screen; refused ones are
// replaced by the fitted placement. The checks run in 32-bit, so a large
// screen or a window on a second monitor is simply refused or accepted.
bool PlacementFits(const StoredPlacement& stored, const ScreenTwips& screen, const MinimumSize& minimum);

}  // namespace table
