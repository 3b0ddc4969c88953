#pragma once
// What start-up and leaving the table ask of the music and the manual,
// answered by the program's music and its help.

#include <QString>
#include <functional>

#include "play/leaving.h"
#include "play/start_up.h"

namespace media {
class Music;
}

namespace play {

class MusicHooks : public StartUpMusic, public LeavingMedia {
 public:
  MusicHooks(media::Music& music, std::function<void()> closeHelp) : music_(music), closeHelp_(std::move(closeHelp)) {}

  // False when music cannot play here at all: start-up then keeps the
  // music off for the run.
  bool PlayMP3(const QString& file) override;
  void CreateDefaultMusicList() override;
  void LoadMusicList() override;

  bool IsMP3Playing() override;
  void CleanUpMusic() override;
  void CloseHelp() override;

 private:
  media::Music& music_;
  std::function<void()> closeHelp_;
};

}  // namespace play
