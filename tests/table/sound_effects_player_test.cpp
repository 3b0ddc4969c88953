#include "table/sound_effects_player.h"

#include <gtest/gtest.h>

#include "platform/sound.h"
#include "support/fake_sound_channel.h"

using table::SoundEffectsPlayer;
using table::SoundSettings;

namespace {

struct Rig {
  platform::FakeSoundChannel channel;
  SoundSettings settings;
  SoundEffectsPlayer sfx{channel, "/data/", [this] { return settings; }};
};

}  // namespace

TEST(SoundEffects, EachEffectPlaysItsFileInBothSets) {
  struct Row {
    int effect;
    const char* metallic;
    const char* wood;
  };
  const Row rows[] = {
      {1, "~113.tmp", "~118.tmp"},  {2, "~112.tmp", "~117.tmp"}, {3, "~111.tmp", "~116.tmp"},
      {4, "~120.tmp", "~120.tmp"},  {5, "~114.tmp", "~119.tmp"}, {6, "~121.tmp", "~121.tmp"},
      {8, "~109.tmp", "~109.tmp"},  {9, "~123.tmp", "~123.tmp"}, {10, "~124.tmp", "~124.tmp"},
      {11, "~122.tmp", "~122.tmp"},
  };
  for (const Row& r : rows) {
    Rig rig;
    rig.settings.CardSoundSet = 1;
    rig.sfx.PlaySfx(r.effect);
    rig.settings.CardSoundSet = 0;
    rig.sfx.PlaySfx(r.effect);
    rig.settings.CardSoundSet = 2;  // no card sounds: only the card painting leaves them out
    rig.sfx.PlaySfx(r.effect);
    ASSERT_EQ(rig.channel.played.size(), 3u) << "effect " << r.effect;
    EXPECT_EQ(rig.channel.played[0], QString("/data/") + r.metallic) << "effect " << r.effect;
    EXPECT_EQ(rig.channel.played[1], QString("/data/") + r.wood) << "effect " << r.effect;
    EXPECT_EQ(rig.channel.played[2], QString("/data/") + r.wood) << "effect " << r.effect;
  }
}

TEST(SoundEffects, SoundOffPlaysNothingNotEvenTheCoinToss) {
  Rig rig;
  rig.settings.SoundOn = false;
  for (int effect : {1, 2, 3, 4, 5, 6, 8, 9, 10, 11}) rig.sfx.PlaySfx(effect);
  EXPECT_TRUE(rig.channel.played.empty());
  rig.settings.SoundOn = true;  // switched back on while the game runs
  rig.sfx.PlaySfx(11);
  EXPECT_EQ(rig.channel.played, std::vector<QString>{"/data/~122.tmp"});
}

TEST(SoundEffects, NumbersOutsideTheTablePlayNothing) {
  Rig rig;
  for (int effect : {0, 7, 12, -1}) rig.sfx.PlaySfx(effect);
  EXPECT_TRUE(rig.channel.played.empty());
}
