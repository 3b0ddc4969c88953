#pragma once
// A sound server that is never there: every ask for a stream fails, and
// the asks are counted.

#include <atomic>
#include <memory>

#include "platform/sound.h"

class MissingSoundServer : public platform::SoundServer {
 public:
  bool Usable() override { return true; }
  std::atomic<int> tries = 0;

 protected:
  std::unique_ptr<platform::SoundStream> Connect(const platform::SoundFormat&, const platform::StreamShape&) override {
    ++tries;
    return nullptr;
  }
};
