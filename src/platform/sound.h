#pragma once
// The one channel for the program's asynchronous sounds (the Windows
// PlaySound with SND_ASYNC): one sound at a time, a new one cuts the one
// playing, nothing ever waits for a sound to end, and no audio device means
// silence without an error.

#include <QString>
#include <memory>
#include <vector>

namespace platform {

class SoundChannel {
 public:
  virtual ~SoundChannel() = default;
  // Starts the WAV file, cutting the sound that is playing. A missing file
  // plays nothing.
  virtual void Play(const QString& file) = 0;
  // Stops the sound that is playing.
  virtual void Stop() = 0;
};

// Qt Multimedia: the WAV samples go straight to the audio device.
std::unique_ptr<SoundChannel> CreateSoundChannel();

class FakeSoundChannel : public SoundChannel {
 public:
  void Play(const QString& file) override { played.push_back(file); playing = file; }
  void Stop() override { ++stops; playing.clear(); }
  std::vector<QString> played;
  QString playing;
  int stops = 0;
};

}  // namespace platform
