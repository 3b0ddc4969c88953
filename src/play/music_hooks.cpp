#include "play/music_hooks.h"

#include "media/music.h"

namespace play {

bool MusicHooks::PlayMP3(const QString& file) {
  if (music_.MusicUnavailable()) return false;
  music_.PlayMP3(file);
  return true;
}

void MusicHooks::CreateDefaultMusicList() { music_.CreateDefaultMusicList(); }
void MusicHooks::LoadMusicList() { music_.LoadMusicList(); }
bool MusicHooks::IsMP3Playing() { return music_.IsMP3Playing(); }
void MusicHooks::CleanUpMusic() { music_.CleanUp(); }

void MusicHooks::CloseHelp() {
  if (closeHelp_) closeHelp_();
}

}  // namespace play
