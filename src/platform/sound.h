#pragma once
// The one channel for the program's asynchronous sounds (the Windows
// PlaySound with SND_ASYNC): one sound at a time, a new one cuts the one
// playing, nothing ever waits for a sound to end, and no audio device means
// silence without an error.

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
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

// The sound server's playback stream, fed from a thread of the channel's
// own: Play and Stop return at once and never run events.
std::unique_ptr<SoundChannel> CreateSoundChannel();

// A WAV file's samples as the channel plays them: 16-bit signed PCM, little
// endian, the channels interleaved.
struct WavSamples {
  int sampleRate = 0;
  int channels = 0;
  QByteArray pcm16;
};

// Reads the WAV files a sound may come in (a user adds his own): PCM of 8,
// 16, 24 or 32 bits or floating point of 32 or 64 bits, with the plain or
// the extensible format header, mono or stereo. Any other kind, or a file
// without a whole sample, is nothing.
std::optional<WavSamples> DecodeWav(const QByteArray& bytes);

class FakeSoundChannel : public SoundChannel {
 public:
  void Play(const QString& file) override { played.push_back(file); playing = file; }
  void Stop() override { ++stops; playing.clear(); }
  std::vector<QString> played;
  QString playing;
  int stops = 0;
};

}  // namespace platform
