#pragma once
// The game's numbered sound effects, played from the sound files written
// into the per-user data folder at start-up ("~106.tmp" ... "~124.tmp").

#include <QString>
#include <functional>

#include "table/sound_effects.h"

namespace platform {
class SoundChannel;
}

namespace table {

// The player's sound options, read at every effect because the popup menu
// and the options window change them while the game runs.
struct SoundSettings {
  bool SoundOn = true;   // False plays no effect at all
  int CardSoundSet = 0;  // 0 wood, 1 metallic, 2 no card sounds (left out by the card painting)
};

// The file of an effect for the card sound set, as "~113.tmp"; empty for a
// number that is not an effect.
QString SoundEffectFile(int effect, int CardSoundSet);

class SoundEffectsPlayer : public SoundEffects {
 public:
  // DataPath ends in "/". The settings are asked for at every effect.
  SoundEffectsPlayer(platform::SoundChannel& channel, QString DataPath, std::function<SoundSettings()> settings);

  // Starts the effect and returns at once; it cuts the sound playing.
  void PlaySfx(int effect) override;

 private:
  platform::SoundChannel& channel_;
  QString dataPath_;
  std::function<SoundSettings()> settings_;
};

}  // namespace table
