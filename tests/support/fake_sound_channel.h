#pragma once
// A sound channel for the tests: it plays nothing and remembers what it was
// asked to play.

#include <QString>
#include <vector>

#include "platform/sound.h"

namespace platform {

class FakeSoundChannel : public SoundChannel {
 public:
  void Play(const QString& file) override {
    played.push_back(file);
    playing = file;
  }
  void Stop() override {
    ++stops;
    playing.clear();
  }
  std::vector<QString> played;
  QString playing;
  int stops = 0;
};

}  // namespace platform
