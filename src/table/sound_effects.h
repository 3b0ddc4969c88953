#pragma once
// The numbered sound effects of the game (1..6 and 8..11). Callers ask for
// an effect by number; the implementation picks the file of the player's
// card sound set and plays it on the one sound channel.

namespace table {

constexpr int kCoinTossEffect = 11;  // the first turn is left to a coin toss

class SoundEffects {
 public:
  virtual ~SoundEffects() = default;
  virtual void PlaySfx(int effect) = 0;
};

}  // namespace table
