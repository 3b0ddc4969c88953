#include "table/window_fitting.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace table {

namespace {

std::int16_t StoreIn16(double v) {
  const double r = std::nearbyint(v);
  return static_cast<std::int16_t>(std::clamp(r, double(std::numeric_limits<std::int16_t>::min()),
                                              double(std::numeric_limits<std::int16_t>::max())));
}

}  // namespace

MinimumSize MinimumFormSize(bool LargeFonts) {
  return LargeFonts ? MinimumSize{11500, 7500} : MinimumSize{13785, 9225};
}

WindowTwips FitMainWindow(const ScreenTwips& screen) {
  WindowTwips w;
  const auto centre = [&] {
    w.Top = screen.WorkTop + screen.ScreenHeight / 2.0 - w.Height / 2.0;
    w.Left = screen.WorkLeft + screen.ScreenWidth / 2.0 - w.Width / 2.0;
  };
  if (screen.ScreenWidth == 19200) {
    w.Height = 11550;
    w.Width = 18765;
    centre();
  } else if (screen.ScreenWidth > 19200) {
    w.Height = screen.ScreenHeight < 13000 ? screen.ScreenHeight : kDesignHeight;
    w.Width = screen.ScreenWidth < 20000 ? screen.ScreenWidth : 20000;
    centre();
  } else {
    w.Height = screen.ScreenHeight - 400;
    w.Width = screen.ScreenWidth;
    w.Left = screen.WorkLeft;
    w.Top = screen.WorkTop;
  }
  // A work area lower than the fixed sizes takes the window whole.
  if (w.Height > screen.ScreenHeight) {
    w.Height = screen.ScreenHeight;
    w.Top = screen.WorkTop;
  }
  return w;
}

TableOffsets ComputeTableArea(double widthTwips, double heightTwips, int twipsPerPixelX, int twipsPerPixelY) {
  const int tx = platform::TwipsPerPixelOrNormal(twipsPerPixelX);
  const int ty = platform::TwipsPerPixelOrNormal(twipsPerPixelY);
  TableOffsets o;
  const std::int32_t d = static_cast<std::int32_t>(std::nearbyint(heightTwips - kDesignHeight));
  const std::int32_t p = static_cast<std::int32_t>(std::nearbyint(double(d) / ty));
  o.TableOffsetY = p > 0 ? 0 : std::min<std::int32_t>(-p, 75);
  if (widthTwips > kDesignWidth) {
    const auto half = static_cast<std::int32_t>((widthTwips - kDesignWidth) / 2);
    o.TableOffsetX = StoreIn16(double(half) / tx);
  }
  return o;
}

StoredPlacement SaveWindowPlacement(const WindowTwips& window) {
  StoredPlacement s;
  s.WindowState = 0;
  s.WindowHeight = StoreIn16(window.Height);
  s.WindowWidth = StoreIn16(window.Width);
  s.WindowTop = StoreIn16(window.Top);
  s.WindowLeft = StoreIn16(window.Left);
  return s;
}

bool PlacementFits(const StoredPlacement& stored, const ScreenTwips& screen, const MinimumSize& minimum) {
  const std::int32_t top = stored.WindowTop - screen.WorkTop, left = stored.WindowLeft - screen.WorkLeft;
  const std::int32_t width = stored.WindowWidth, height = stored.WindowHeight;
  if (top >= screen.ScreenHeight / 2.0 || top < 0) return false;
  if (left + width > screen.ScreenWidth || left < 0) return false;
  if (height < minimum.MinFormHeight || height > screen.ScreenHeight) return false;
  if (width < minimum.MinFormWidth || width > screen.ScreenWidth) return false;
  return true;
}

}  // namespace table
