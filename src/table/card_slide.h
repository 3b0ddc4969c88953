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
// The time one step of a slide lasts, on every machine. AnimSpeed is the
// number of steps of a slide, and the speed classes were set for machines
// on which a step (one move of the card and one pass of window events)
// took about this long: the default 270 steps then make a slide of about
// 80 ms, the slowest setting (540) twice that. The card is drawn once per
// display frame at the step it has reached by then.
constexpr double kSlideStepSeconds = 0.0003;
// The card is drawn at most this often a second, fewer when the display
// refreshes more slowly.
constexpr double kSlideFramesPerSecond = 60;

// The positions after each step from home towards target. AnimSpeed is the
// divisor of the distance, about the number of steps; below 1 counts as 1.
std::vector<QPoint> SlidePath(QPoint home, QPoint target, int AnimSpeed);

// A point t of the way from (x0, y0) to (x1, y1), halves rounded up.
void InterpolatePoint(std::int16_t x0, std::int16_t y0, std::int16_t x1, std::int16_t y1, float t,
                      std::int16_t& x, std::int16_t& y);

}  // namespace table
