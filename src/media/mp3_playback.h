#pragma once
// Music, one file at a time: the command layer the play list and the intro
// go through (PlayMP3, IsMP3Playing, StopMP3) over one player, the one
// "MP3Play" handle. The player opens files asynchronously; PlayMP3 waits
// briefly for it to tell whether the file can be played.

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "platform/sound.h"

namespace platform {
class UiService;
class WaitService;
}  // namespace platform

namespace media {

// Why music cannot play on this system.
enum class MusicUnavailableCause {
  None,           // music can play
  NoAudioOutput,  // the system has no sound server's library
  NoMp3Decoder,   // the media framework cannot decode MP3 (plug-ins missing)
  NoPlayer,       // no media player could be made
};

// The message that explains a cause to the user; empty for None.
QString MusicUnavailableText(MusicUnavailableCause cause);

// One media player under one handle. Opening is asynchronous: after Open
// the state is Loading until the file turns out Loaded or Invalid.
class MusicPlayer {
 public:
  enum class State { Closed, Loading, Loaded, Invalid, Playing, Stopped };
  struct Listener {
    std::function<void()> changed;  // the state changed
    std::function<void()> ended;    // the song played to its end, or failed while playing
    // Opening the first song found that music cannot play here.
    std::function<void(MusicUnavailableCause)> unavailable;
  };

  virtual ~MusicPlayer() = default;
  // Asked once, at start: whether the sound server's library is there; a
  // sound server that is not running is no reason. Nothing of the decoders
  // is loaded or asked before the first song: whether one is there is told
  // through the listener then.
  virtual MusicUnavailableCause Availability() = 0;
  virtual void SetListener(Listener listener) = 0;
  virtual void Open(const QString& file) = 0;
  virtual void Play() = 0;
  virtual void Stop() = 0;
  virtual void Close() = 0;
  virtual State Mode() const = 0;
  // Why the file opened last could not be played.
  virtual QString ErrorText() const = 0;
};

// A song's samples, 16-bit as the music stream plays them, read from its
// file in large pieces.
class SongDecoder {
 public:
  virtual ~SongDecoder() = default;
  virtual platform::SoundFormat Format() const = 0;
  // The song's length in frames; negative when the file does not tell.
  virtual qint64 Frames() = 0;
  // Up to `frames` frames from where reading stands; empty at the end.
  virtual QByteArray Read(qint64 frames) = 0;
  // Reading goes on at that frame, counted from the song's start.
  virtual bool Seek(qint64 frame) = 0;
};

// How the music player reads songs.
struct SongDecoders {
  // Asked once, when the first song is opened: what keeps music off here.
  std::function<MusicUnavailableCause()> availability;
  // The file's decoder, or null with the reason in `error` (empty: the
  // file is no music this computer can decode).
  std::function<std::unique_ptr<SongDecoder>(const QString& file, QString& error)> open;
};

// MP3 through libmpg123, other files through Qt Multimedia's decoder, both
// loaded when the first song is opened.
SongDecoders SystemSongDecoders();

// The music player: the songs are read on a thread of its own, made when
// the first song is opened, and played into the sound server's music
// stream. While there is no server nothing is read: the song keeps its time
// by the clock, and is heard from where the clock stands once the server is
// back.
std::unique_ptr<MusicPlayer> CreateMusicPlayer(std::shared_ptr<platform::SoundServer> server,
                                               SongDecoders decoders = SystemSongDecoders());

inline constexpr char kPlaySuccess[] = "Success";
inline constexpr char kPlayInputError[] = "Error with input file";
inline constexpr double kOpenWaitSeconds = 2.0;

// PlayMP3, IsMP3Playing and StopMP3 over one player.
class Mp3Commands {
 public:
  // player may be null: nothing ever plays then. title: the program's name,
  // the title of the error box.
  Mp3Commands(MusicPlayer* player, platform::WaitService& wait, platform::UiService& ui, QString title);

  // Stops and closes what is open, then opens and plays the file. Answers
  // kPlaySuccess, kPlayInputError for a missing file (no message), or the
  // player's error text, shown first in a critical box.
  QString PlayMP3(const QString& FileName);
  bool IsMP3Playing() const;
  // Stops and closes the open file; always answers an empty text.
  QString StopMP3();
  // Music turned out not to play here: nothing plays from now on.
  void Disable() { player_ = nullptr; }

 private:
  MusicPlayer* player_;
  platform::WaitService& wait_;
  platform::UiService& ui_;
  QString title_;
};

// A player for tools that run without sound: every song loads and plays at
// once, is never heard and never ends, so the table shows music on as on a
// computer with sound.
class SilentMusicPlayer : public MusicPlayer {
 public:
  MusicUnavailableCause Availability() override { return MusicUnavailableCause::None; }
  void SetListener(Listener) override {}
  void Open(const QString&) override { state_ = State::Loaded; }
  void Play() override {
    if (state_ != State::Closed) state_ = State::Playing;
  }
  void Stop() override {
    if (state_ == State::Playing) state_ = State::Stopped;
  }
  void Close() override { state_ = State::Closed; }
  State Mode() const override { return state_; }
  QString ErrorText() const override { return {}; }

 private:
  State state_ = State::Closed;
};

}  // namespace media
