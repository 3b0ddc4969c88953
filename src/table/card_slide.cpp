#include "table/card_slide.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace table {

double SlideSeconds(int AnimSpeed) {
  return kDefaultSlideSeconds * static_cast<double>(std::max(1, AnimSpeed)) / kDefaultSlideSpeed;
}

std::vector<QPoint> SlidePath(QPoint home, QPoint target, int AnimSpeed) {
  const int speed = std::max(1, AnimSpeed);
  const int dx = std::abs(home.x() - target.x());
  const int dy = std::abs(home.y() - target.y());
  const auto step = [speed](int distance) {
    const int s = static_cast<int>(std::nearbyint(double(distance) / speed));
    return s == 0 ? 1 : s;
  };
  const int stepX = step(dx);
  const int stepY = step(dy);

  std::vector<QPoint> path;
  int left = home.x();
  int top = home.y();
  const auto verticalCorrection = [&] {
    if (target.y() < home.y()) {
      if (top > target.y()) top -= stepY;
    } else if (top < target.y()) {
      top += stepY;
    }
  };
  const auto horizontalCorrection = [&] { left += left > target.x() ? -stepX : stepX; };

  if (dx >= dy) {
    const double centre = target.x() + kSlideHalfWidth;
    if (home.x() > target.x()) {
      while (left > centre) {
        left -= stepX;
        verticalCorrection();
        path.emplace_back(left, top);
      }
    } else {
      while (left < centre) {
        left += stepX;
        verticalCorrection();
        path.emplace_back(left, top);
      }
    }
  } else if (target.y() > home.y()) {
    while (top < target.y() - kSlideHalfHeight) {
      top += stepY;
      horizontalCorrection();
      path.emplace_back(left, top);
    }
  } else {
    while (top > target.y()) {
      top -= stepY;
      horizontalCorrection();
      path.emplace_back(left, top);
    }
  }
  return path;
}

void InterpolatePoint(std::int16_t x0, std::int16_t y0, std::int16_t x1, std::int16_t y1, float t, std::int16_t& x,
                      std::int16_t& y) {
  const auto at = [t](int a, int b) {
    const double v = std::floor(double(b - a) * t + a + 0.5);
    return static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0));
  };
  x = at(x0, x1);
  y = at(y0, y1);
}

}  // namespace table
