#pragma once
// The path of a card sliding from its pile to another: the positions the
// moving picture takes, step by step, in the table's pixels. The slide
// stops once the card has crossed the target's centre line (across) or
// reached the target's row (up and down), as the table has always done.

#include <QPoint>
#include <cstdint>
#include <vector>

namespace table {

// The fixed half sizes of the 71 x 96 card that end a slide.
constexpr double kSlideHalfWidth = 35.5;
constexpr int kSlideHalfHeight = 48;
// Real time a slide spends per step, so that a card visibly travels on any
// machine; AnimSpeed stays the number of steps.
constexpr double kSlideStepSeconds = 0.001;

// The positions after each step from home towards target. AnimSpeed is the
// divisor of the distance, about the number of steps; below 1 counts as 1.
std::vector<QPoint> SlidePath(QPoint home, QPoint target, int AnimSpeed);

// A point t of the way from (x0, y0) to (x1, y1), halves rounded up.
void InterpolatePoint(std::int16_t x0, std::int16_t y0, std::int16_t x1, std::int16_t y1, float t,
                      std::int16_t& x, std::int16_t& y);

}  // namespace table
