#pragma once
// The path of a card sliding from its pile to another: the positions the
// moving picture takes, step by step, in the table's pixels. The slide
// stops once the card has crossed the target's centre line (across) or
// reached the target's row (up and down), as the table has always done.

#include <QPoint>
#include <cstdint>
#include <vector>

#include "table/table_geometry.h"

namespace table {

// The fixed half sizes of the full-size card that end a slide.
constexpr double kSlideHalfWidth = CardWidth / 2.0;
constexpr int kSlideHalfHeight = CardHeight / 2;
// How long a slide lasts, on every machine. AnimSpeed is about the number
// of steps of a slide whatever its distance, so the slide takes a time set
// by AnimSpeed alone: the default 270 a fifth of a second, which the eye
// follows as motion, the fastest setting (2) next to nothing and the
// slowest (540) twice the default. Each display frame draws the card at the
// step the slide has reached by then.
constexpr std::int16_t kDefaultSlideSpeed = 270;
constexpr double kDefaultSlideSeconds = 0.2;
// The seconds a slide lasts at this AnimSpeed; below 1 counts as 1.
double SlideSeconds(int AnimSpeed);
// The card is drawn at most this often a second, fewer when the display
// refreshes more slowly.
constexpr double kSlideFramesPerSecond = 60;

// The positions after each step from home towards target. AnimSpeed is the
// divisor of the distance, about the number of steps; below 1 counts as 1.
std::vector<QPoint> SlidePath(QPoint home, QPoint target, int AnimSpeed);

// A point t of the way from (x0, y0) to (x1, y1), halves rounded up.
void InterpolatePoint(std::int16_t x0, std::int16_t y0, std::int16_t x1, std::int16_t y1, float t, std::int16_t& x,
                      std::int16_t& y);

}  // namespace table
