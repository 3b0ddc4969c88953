#pragma once
// The one channel for the program's asynchronous sounds (the Windows
// PlaySound with SND_ASYNC): one sound at a time, a new one cuts the one
// playing, nothing ever waits for a sound to end, and no audio device means
// silence without an error.

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
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

// The audio a stream plays: 16-bit signed samples, little endian, the
// channels interleaved.
struct SoundFormat {
  int sampleRate = 0;
  int channels = 0;
  bool operator==(const SoundFormat&) const = default;
};

// The sample rates a sound or a song may have; a file outside them is no
// sound.
inline constexpr int kMinSampleRate = 1000;
inline constexpr int kMaxSampleRate = 192000;

// How a stream is laid out on the server: its name in the server's lists,
// how much the server holds ahead, how much it waits for before it starts and
// how much room it lets grow before it asks for more (0: as it likes).
struct StreamShape {
  const char* name = "";
  int bufferedMilliseconds = 0;
  int startMilliseconds = 0;
  int requestMilliseconds = 0;
};

// One playback stream of the sound server. Write and Flush take as long as
// the server makes them, without limit when it hangs: only the players'
// own threads call them, never the program's.
class SoundStream {
 public:
  virtual ~SoundStream() = default;
  // Plays the samples after those written before; false when the server is
  // gone.
  virtual bool Write(const char* pcm, qsizetype bytes) = 0;
  // Drops what the server still holds; false when the server is gone.
  virtual bool Flush() = 0;
};

// The sound server, shared by the effects and the music. After a try that
// found no server, the server is asked again for a stream of that name only
// a second later, however many sounds are asked for meanwhile: they are
// silence. The effects and the music each keep their own second.
class SoundServer {
 public:
  virtual ~SoundServer() = default;
  // False when the server's client library is missing: nothing can sound
  // in this run.
  virtual bool Usable() = 0;
  // A new stream, or null when the server cannot be reached now.
  std::unique_ptr<SoundStream> Open(const SoundFormat& format, const StreamShape& shape);

 protected:
  // Asks the server for a stream; null when there is none.
  virtual std::unique_ptr<SoundStream> Connect(const SoundFormat& format, const StreamShape& shape) = 0;

 private:
  std::mutex mutex_;
  std::map<std::string, std::chrono::steady_clock::time_point> nextTry_;  // by stream name, after a failed try
};

inline constexpr std::chrono::milliseconds kSoundServerRetry{1000};

// The desktop's sound server, reached through its client library, which
// is loaded at the first use and stays loaded for the rest of the run.
std::shared_ptr<SoundServer> CreateSoundServer();

// How long leaving waits for a player's thread to end before it leaves the
// thread to the end of the process: a server that hangs holds the thread in
// a write until the server's own time-out, half a minute.
inline constexpr int kLeaveWaitMilliseconds = 250;

// A player's thread, which leaving waits for only briefly: past that, the
// thread is left to end by itself, or with the process. It owns everything
// it touches (its state through shared pointers, the player on its own
// stack), so that nothing it uses goes away under it.
class PlayerThread {
 public:
  explicit PlayerThread(std::function<void()> run);
  ~PlayerThread();
  PlayerThread(const PlayerThread&) = delete;
  PlayerThread& operator=(const PlayerThread&) = delete;

 private:
  struct Done;
  std::shared_ptr<Done> done_;
  std::thread thread_;
};

// The places where the server's sockets appear when it starts, as the
// session names them; empty when the server is reached another way (over
// the network, or as the client configuration says), which only asking
// tells.
std::vector<QString> SoundServerSockets();

// Where the sound server is looked for, set for the whole process when the
// session does not say: without a runtime folder (XDG_RUNTIME_DIR), a named
// server or a configured one, the server's library makes a new folder in
// /tmp at each try and leaves it there, and would start a server of its
// own. It is then told the two places a server of the user's or of the
// system listens at, which it tries without making anything, and starts
// none. Called first thing in main, before any thread runs.
void PrepareSoundServerLookup();

// The effects, fed to one stream from a thread of the channel's own: Play
// and Stop return at once and never run events.
std::unique_ptr<SoundChannel> CreateSoundChannel(std::shared_ptr<SoundServer> server);

// Music, one song at a time, played in real time from a thread of its own.
// The decoder hands the samples over as it reads them; nothing here waits
// for the server. Start asks the server for a stream at once; when there is
// none, or the server goes while the song plays, what is held is dropped and
// the output is Silent until more is appended or it is started again.
class MusicOutput {
 public:
  virtual ~MusicOutput() = default;
  // A new song in this format; the one playing is cut.
  virtual void Start(const SoundFormat& format) = 0;
  // How many bytes Append takes now: a few seconds are held ahead.
  virtual qsizetype Room() const = 0;
  virtual void Append(const QByteArray& pcm) = 0;
  // The song has no more samples: it ends once they are played.
  virtual void Finish() = 0;
  // Cuts the song.
  virtual void Stop() = 0;
  // Started, not stopped, and not yet played to its end.
  virtual bool Playing() const = 0;
  // A stream of the server takes the song.
  virtual bool Heard() const = 0;
  // The last try found no server.
  virtual bool Silent() const = 0;
  // The frames the server has taken since the start.
  virtual qint64 PlayedFrames() const = 0;
  // Called from the output's thread when Heard, Silent or Playing may have
  // changed, and when the samples held ahead run low.
  virtual void SetNotify(std::function<void()> notify) = 0;
};

std::unique_ptr<MusicOutput> CreateMusicOutput(std::shared_ptr<SoundServer> server);

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

// For tools that run without sound: every sound is silence.
class SilentSoundChannel : public SoundChannel {
 public:
  void Play(const QString&) override {}
  void Stop() override {}
};

}  // namespace platform
