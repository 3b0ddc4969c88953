#include "table/sound_effects_player.h"

#include <QtGlobal>

#include "platform/sound.h"

namespace table {

namespace {

constexpr int kMetallicSet = 1;

struct EffectFiles {
  int effect;
  int metallic;  // the sound number with the metallic card sounds
  int other;     // the sound number otherwise
};

// Only the card sounds (1, 2, 3, 5) differ between the sets.
constexpr EffectFiles kEffects[] = {
    {1, 113, 118}, {2, 112, 117}, {3, 111, 116}, {4, 120, 120},  {5, 114, 119},
    {6, 121, 121}, {8, 109, 109}, {9, 123, 123}, {10, 124, 124}, {11, 122, 122},
};

}  // namespace

QString SoundEffectFile(int effect, int CardSoundSet) {
  for (const EffectFiles& e : kEffects) {
    if (e.effect == effect) return QStringLiteral("~%1.tmp").arg(CardSoundSet == kMetallicSet ? e.metallic : e.other);
  }
  return {};
}

SoundEffectsPlayer::SoundEffectsPlayer(platform::SoundChannel& channel, QString DataPath,
                                       std::function<SoundSettings()> settings)
    : channel_(channel), dataPath_(std::move(DataPath)), settings_(std::move(settings)) {}

void SoundEffectsPlayer::PlaySfx(int effect) {
  const SoundSettings s = settings_ ? settings_() : SoundSettings{};
  if (!s.SoundOn) return;
  const QString file = SoundEffectFile(effect, s.CardSoundSet);
  if (file.isEmpty()) {
    qWarning("no sound effect %d", effect);
    return;
  }
  channel_.Play(dataPath_ + file);
}

}  // namespace table
