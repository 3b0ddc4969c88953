#pragma once
// Records the effects the game asked for.

#include <vector>

#include "table/sound_effects.h"

namespace testing_support {

class FakeSoundEffects : public table::SoundEffects {
 public:
  void PlaySfx(int effect) override { effects.push_back(effect); }
  std::vector<int> effects;
};

}  // namespace testing_support
