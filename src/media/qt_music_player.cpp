// The music player. The songs are read on a thread of the player's own,
// made when the first song is opened, so that neither the table's first
// paint nor its events ever wait for a decoder: loading Qt Multimedia asks
// the sound server for its devices and hangs with a server that hangs. The
// samples go to the sound server through the program's own music stream,
// read ahead in pieces of a second or more, so that the program wakes for
// the music only a few times a second. While there is no server nothing is
// read at all: the song keeps its time by the clock, and once the server is
// back it is heard from where the clock stands.
#include <QAudioBuffer>
#include <QAudioDecoder>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLibrary>
#include <QMediaFormat>
#include <QObject>
#include <QTimer>
#include <QUrl>
#include <QtEndian>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>

#include <deque>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <type_traits>
#include <unistd.h>

#include "media/mp3_playback.h"
#include "platform/recordfile.h"
#include "platform/sound.h"

namespace media {

namespace {

using Clock = std::chrono::steady_clock;

// ---- MP3 through libmpg123 ----

// The library's interface, as its header has kept it since version 1.0.
struct Mpg123Library {
  using NewFn = void* (*)(const char*, int*);
  using DeleteFn = void (*)(void*);
  using ParamFn = int (*)(void*, int, long, double);
  using FormatNoneFn = int (*)(void*);
  using FormatFn = int (*)(void*, long, int, int);
  using RatesFn = void (*)(const long**, size_t*);
  using OpenFn = int (*)(void*, const char*);
  using CloseFn = int (*)(void*);
  using GetFormatFn = int (*)(void*, long*, int*, int*);
  using ReadFn = int (*)(void*, void*, size_t, size_t*);
  using SeekFn = qint64 (*)(void*, qint64, int);
  using ScanFn = int (*)(void*);
  using LengthFn = qint64 (*)(void*);
  using InitFn = int (*)();
  using ReaderReadFn = ssize_t (*)(void*, void*, size_t);
  using ReaderSeekFn = off_t (*)(void*, off_t, int);
  using ReplaceReaderFn = int (*)(void*, ReaderReadFn, ReaderSeekFn, void (*)(void*));
  using OpenHandleFn = int (*)(void*, void*);

  static constexpr int kAddFlags = 2;
  static constexpr int kQuiet = 0x20;
  static constexpr int kMonoAndStereo = 3;
  static constexpr int kSigned16 = 0xD0;
  static constexpr int kOk = 0;
  static constexpr int kNewFormat = -11;

  bool Load() {
    QLibrary lib("mpg123", 0);
    lib.setLoadHints(QLibrary::PreventUnloadHint);
    if (!lib.load()) return false;
    const auto get = [&](auto& fn, const char* name) {
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(lib.resolve(name));
      return fn != nullptr;
    };
    InitFn init = nullptr;
    if (!get(init, "mpg123_init") || !get(create, "mpg123_new") || !get(destroy, "mpg123_delete") ||
        !get(param, "mpg123_param") || !get(formatNone, "mpg123_format_none") || !get(format, "mpg123_format") ||
        !get(rates, "mpg123_rates") || !get(open, "mpg123_open") || !get(close, "mpg123_close") ||
        !get(getFormat, "mpg123_getformat") || !get(read, "mpg123_read") || !get(seek, "mpg123_seek") ||
        !get(scan, "mpg123_scan") || !get(length, "mpg123_length") ||
        !get(replaceReader, "mpg123_replace_reader_handle") || !get(openHandle, "mpg123_open_handle"))
      return false;
    return init() == kOk;
  }

  NewFn create = nullptr;
  DeleteFn destroy = nullptr;
  ParamFn param = nullptr;
  FormatNoneFn formatNone = nullptr;
  FormatFn format = nullptr;
  RatesFn rates = nullptr;
  OpenFn open = nullptr;
  CloseFn close = nullptr;
  GetFormatFn getFormat = nullptr;
  ReadFn read = nullptr;
  SeekFn seek = nullptr;
  ScanFn scan = nullptr;
  LengthFn length = nullptr;
  ReplaceReaderFn replaceReader = nullptr;
  OpenHandleFn openHandle = nullptr;
};

class Mpg123Decoder : public SongDecoder {
 public:
  explicit Mpg123Decoder(std::shared_ptr<const Mpg123Library> lib) : lib_(std::move(lib)) {}
  ~Mpg123Decoder() override {
    if (handle_) {
      lib_->close(handle_);
      lib_->destroy(handle_);
    }
    if (file_) std::fclose(file_);
  }

  bool Open(const QString& file) {
    handle_ = lib_->create(nullptr, nullptr);
    if (!handle_) return false;
    lib_->param(handle_, Mpg123Library::kAddFlags, Mpg123Library::kQuiet, 0);
    // 16-bit samples only, at whatever rate the file has.
    lib_->formatNone(handle_);
    const long* rates = nullptr;
    size_t count = 0;
    lib_->rates(&rates, &count);
    for (size_t i = 0; i < count; ++i)
      lib_->format(handle_, rates[i], Mpg123Library::kMonoAndStereo, Mpg123Library::kSigned16);
    // Read through a buffer of the program's own: the library reads a frame
    // header and a frame at a time, and measuring a song's length reads
    // every frame, thousands of reads of the system for a few minutes.
    const int fd = platform::OpenPlainFile(file, O_RDONLY);
    if (fd < 0) return false;
    file_ = ::fdopen(fd, "rb");
    if (!file_) {
      ::close(fd);
      return false;
    }
    if (lib_->replaceReader(handle_, &ReadFile, &SeekFile, nullptr) != Mpg123Library::kOk ||
        lib_->openHandle(handle_, file_) != Mpg123Library::kOk)
      return false;
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (lib_->getFormat(handle_, &rate, &channels, &encoding) != Mpg123Library::kOk ||
        encoding != Mpg123Library::kSigned16)
      return false;
    format_ = {int(rate), channels};
    return true;
  }

  platform::SoundFormat Format() const override { return format_; }

  qint64 Frames() override {
    if (lib_->scan(handle_) != Mpg123Library::kOk) return -1;
    const qint64 frames = lib_->length(handle_);
    return frames > 0 ? frames : -1;
  }

  QByteArray Read(qint64 frames) override {
    const qsizetype frameBytes = 2 * qsizetype(format_.channels);
    QByteArray pcm(frames * frameBytes, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < pcm.size()) {
      size_t done = 0;
      const int result = lib_->read(handle_, pcm.data() + filled, size_t(pcm.size() - filled), &done);
      filled += qsizetype(done);
      // A change of format within the file ends the song where it happens.
      if (result != Mpg123Library::kOk || (done == 0 && result == Mpg123Library::kNewFormat)) break;
    }
    pcm.truncate(filled / frameBytes * frameBytes);
    return pcm;
  }

  bool Seek(qint64 frame) override { return lib_->seek(handle_, frame, SEEK_SET) >= 0; }

 private:
  static ssize_t ReadFile(void* file, void* into, size_t bytes) {
    FILE* f = static_cast<FILE*>(file);
    const size_t got = std::fread(into, 1, bytes, f);
    return got == 0 && std::ferror(f) ? -1 : ssize_t(got);
  }
  static off_t SeekFile(void* file, off_t offset, int whence) {
    FILE* f = static_cast<FILE*>(file);
    return ::fseeko(f, offset, whence) == 0 ? ::ftello(f) : off_t(-1);
  }

  std::shared_ptr<const Mpg123Library> lib_;
  void* handle_ = nullptr;
  FILE* file_ = nullptr;
  platform::SoundFormat format_;
};

// ---- Other files through Qt Multimedia ----

qint16 Sample16(const char* p, QAudioFormat::SampleFormat format) {
  switch (format) {
    case QAudioFormat::UInt8: return static_cast<qint16>((static_cast<uchar>(p[0]) - 128) * 256);
    case QAudioFormat::Int16: return qFromLittleEndian<qint16>(p);
    case QAudioFormat::Int32: return static_cast<qint16>(qFromLittleEndian<qint32>(p) >> 16);
    case QAudioFormat::Float: {
      float v = qFromLittleEndian<float>(p);
      if (!(v == v)) v = 0;  // not a number
      return static_cast<qint16>(std::clamp(v, -1.0f, 1.0f) * 32767.0f);
    }
    default: return 0;
  }
}

// A decoded buffer as the stream plays it: 16-bit samples of at most two
// channels (the first two of a file with more).
QByteArray ToPcm16(const QAudioBuffer& buffer, int channels) {
  const QAudioFormat format = buffer.format();
  const int bytes = format.bytesPerSample();
  const int inChannels = format.channelCount();
  if (bytes <= 0 || inChannels <= 0) return {};
  const qsizetype frames = buffer.frameCount();
  QByteArray pcm(frames * channels * 2, Qt::Uninitialized);
  const char* in = buffer.constData<char>();
  for (qsizetype f = 0; f < frames; ++f)
    for (int c = 0; c < channels; ++c)
      qToLittleEndian<qint16>(
          Sample16(in + (f * inChannels + std::min(c, inChannels - 1)) * bytes, format.sampleFormat()),
          pcm.data() + (f * channels + c) * 2);
  return pcm;
}

// Qt's decoder, driven from the player's thread: it hands over what it has
// read through that thread's events, which are run while it is waited for.
class QtSongDecoder : public SongDecoder {
 public:
  bool Open(const QString& file, QString& error) {
    QObject::connect(&decoder_, &QAudioDecoder::finished, &decoder_, [this] { finished_ = true; });
    decoder_.setSource(QUrl::fromLocalFile(file));
    decoder_.start();
    Take(1);
    if (decoder_.error() != QAudioDecoder::NoError) {
      error = decoder_.errorString();
      return false;
    }
    return format_.sampleRate > 0;
  }

  platform::SoundFormat Format() const override { return format_; }

  qint64 Frames() override {
    const qint64 ms = decoder_.duration();
    return ms > 0 ? ms * format_.sampleRate / 1000 : -1;
  }

  QByteArray Read(qint64 frames) override {
    const qsizetype bytes = frames * 2 * format_.channels;
    Take(bytes);
    QByteArray pcm = pending_.left(bytes);
    pending_.remove(0, pcm.size());
    at_ += pcm.size() / (2 * format_.channels);
    return pcm;
  }

  // Forward only: the player seeks in a song it has just opened.
  bool Seek(qint64 frame) override {
    while (at_ < frame) {
      if (Read(std::min<qint64>(frame - at_, format_.sampleRate)).isEmpty()) return false;
    }
    return true;
  }

 private:
  // Runs this thread's events until `bytes` are read, the file is read to
  // its end, or the decoder fails.
  void Take(qsizetype bytes) {
    QEventLoop loop;
    QTimer guard;  // wakes the wait now and then, whatever the decoder does
    guard.start(200);
    while (pending_.size() < bytes) {
      if (decoder_.bufferAvailable()) {
        const QAudioBuffer buffer = decoder_.read();
        if (!buffer.isValid()) continue;
        if (format_.sampleRate == 0)
          format_ = {buffer.format().sampleRate(), std::clamp(buffer.format().channelCount(), 0, 2)};
        pending_.append(ToPcm16(buffer, format_.channels));
        continue;
      }
      if (finished_ || decoder_.error() != QAudioDecoder::NoError) break;
      loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
  }

  QAudioDecoder decoder_;
  platform::SoundFormat format_;
  QByteArray pending_;  // read, not yet taken
  qint64 at_ = 0;
  bool finished_ = false;
};

bool LooksLikeMp3(const QString& file) {
  if (QFileInfo(file).suffix().compare("mp3", Qt::CaseInsensitive) == 0) return true;
  QFile f(file);
  return f.open(QIODevice::ReadOnly) && f.read(3) == "ID3";
}

// ---- The player's thread ----

struct Command {
  enum class Kind { Open, Play, Stop, Close, ServerMayBeBack } kind;
  unsigned song = 0;
  QString file;
};

// What the player and its thread share: the commands one way, the answers
// the other, and the music output's word that something changed.
struct WorkerLink {
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<Command> commands;
  bool outputChanged = false;
  bool quit = false;
  QObject* answers = nullptr;  // the player's, in the window's thread; null once it is gone

  void Ask(Command command) {
    {
      std::lock_guard lock(mutex);
      commands.push_back(std::move(command));
    }
    wake.notify_one();
  }

  void Answer(std::function<void()> answer) {
    std::lock_guard lock(mutex);
    if (answers) QMetaObject::invokeMethod(answers, std::move(answer), Qt::QueuedConnection);
  }
};

class QtMusicPlayer;

class MusicWorker {
 public:
  MusicWorker(std::shared_ptr<WorkerLink> link, QtMusicPlayer* player, std::shared_ptr<platform::SoundServer> server,
              SongDecoders decoders, bool askEverySecond)
      : link_(std::move(link)),
        player_(player),
        server_(std::move(server)),
        decoders_(std::move(decoders)),
        askEverySecond_(askEverySecond) {}

  void Run();

 private:
  enum class Phase { Idle, Ready, Starting, Audible, Clock };
  static constexpr int kTriesWhenTold = 3;
  static constexpr qint64 kPieceSeconds = 2;

  void Handle(const Command& c);
  void Update();
  bool OpenSong(bool answer);
  void StartOutput();
  void Feed();
  void EnterClock();
  void End();
  qint64 ClockFrame() const;
  std::optional<Clock::time_point> Deadline() const;
  Clock::time_point EndTime() const {
    return zero_ + std::chrono::microseconds(length_ * 1000000 / format_.sampleRate);
  }

  std::shared_ptr<WorkerLink> link_;
  QtMusicPlayer* player_;  // only to name the answers' receiver; never touched here
  std::shared_ptr<platform::SoundServer> server_;
  SongDecoders decoders_;
  bool askEverySecond_;  // the server's return cannot be watched for
  std::unique_ptr<platform::MusicOutput> output_;
  std::optional<MusicUnavailableCause> cause_;  // asked at the first song

  unsigned song_ = 0;
  QString file_;
  std::unique_ptr<SongDecoder> decoder_;  // only while the song is read
  platform::SoundFormat format_;
  qint64 length_ = -1;  // frames; negative: not known yet
  Phase phase_ = Phase::Idle;
  qint64 readFrame_ = 0;   // where the decoder stands
  qint64 startFrame_ = 0;  // the frame the output's samples begin at
  bool allRead_ = false;
  Clock::time_point zero_;  // when the song's first frame sounded, by the clock
  std::optional<Clock::time_point> nextTry_;
  int tries_ = 0;  // asks left since the server was seen to come back
};

class QtMusicPlayer : public MusicPlayer {
 public:
  QtMusicPlayer(std::shared_ptr<platform::SoundServer> server, SongDecoders decoders)
      : server_(std::move(server)), decoders_(std::move(decoders)) {}

  ~QtMusicPlayer() override {
    if (!link_) return;
    {
      std::lock_guard lock(link_->mutex);
      link_->answers = nullptr;
      link_->quit = true;
    }
    link_->wake.notify_one();
    thread_.reset();
  }

  MusicUnavailableCause Availability() override {
    // A sound server that is not running now is no reason: the music is
    // heard once the server runs.
    if (!server_ || !server_->Usable()) return MusicUnavailableCause::NoAudioOutput;
    return MusicUnavailableCause::None;
  }

  void SetListener(Listener listener) override { listener_ = std::move(listener); }

  void Open(const QString& file) override {
    Close();
    MakeWorker();
    ++song_;
    link_->Ask({Command::Kind::Open, song_, QFileInfo(file).absoluteFilePath()});
    state_ = State::Loading;
    error_.clear();
    Changed();
  }

  void Play() override {
    if (!link_ || (state_ != State::Loaded && state_ != State::Loading && state_ != State::Stopped)) return;
    // A file still loading starts once it is loaded; a stopped one starts
    // from its beginning.
    link_->Ask({Command::Kind::Play, song_, {}});
    state_ = State::Playing;
    Changed();
  }

  void Stop() override {
    if (!link_) return;
    link_->Ask({Command::Kind::Stop, song_, {}});
    if (state_ == State::Playing) {
      state_ = State::Stopped;
      Changed();
    }
  }

  void Close() override {
    if (link_ && state_ != State::Closed) link_->Ask({Command::Kind::Close, song_, {}});
    state_ = State::Closed;
  }

  State Mode() const override { return state_; }

  QString ErrorText() const override {
    if (!error_.isEmpty()) return error_;
    return "The file cannot be played: it is not a music file that this computer can decode.";
  }

  // The thread's answers.
  void Loaded(unsigned song) {
    if (song != song_ || state_ != State::Loading) return;
    state_ = State::Loaded;
    Changed();
  }
  void Failed(unsigned song, const QString& text) {
    if (song != song_ || state_ == State::Closed) return;
    const bool wasPlaying = state_ == State::Playing;
    state_ = State::Invalid;
    error_ = text;
    Changed();
    // A song that fails while it plays is over: the play list goes on.
    if (wasPlaying && listener_.ended) listener_.ended();
  }
  void Ended(unsigned song) {
    if (song != song_ || state_ != State::Playing) return;
    state_ = State::Stopped;
    Changed();
    if (listener_.ended) listener_.ended();
  }
  void Unavailable(MusicUnavailableCause cause) {
    state_ = State::Closed;
    Changed();
    if (listener_.unavailable) listener_.unavailable(cause);
  }

 private:
  void MakeWorker() {
    if (link_) return;
    link_ = std::make_shared<WorkerLink>();
    link_->answers = &answers_;
    const std::vector<QString> sockets = platform::SoundServerSockets();
    thread_ = std::make_unique<platform::PlayerThread>(
        [link = link_, player = this, server = server_, decoders = decoders_, poll = sockets.empty()] {
          MusicWorker(link, player, server, decoders, poll).Run();
        });
    if (sockets.empty()) return;
    // A server that starts makes its socket: the folders it appears in are
    // watched, the nearest that exists of each.
    sockets_ = sockets;
    QObject::connect(&watch_, &QFileSystemWatcher::directoryChanged, &answers_, [this] {
      Watch();
      for (const QString& socket : sockets_) {
        if (QFileInfo::exists(socket)) {
          link_->Ask({Command::Kind::ServerMayBeBack, 0, {}});
          break;
        }
      }
    });
    Watch();
  }

  void Watch() {
    QStringList folders;
    for (const QString& socket : sockets_) {
      QString folder = QFileInfo(socket).absolutePath();
      while (!QFileInfo(folder).isDir() && folder != "/") folder = QFileInfo(folder).absolutePath();
      if (!folders.contains(folder)) folders << folder;
    }
    const QStringList old = watch_.directories();
    for (const QString& folder : old)
      if (!folders.contains(folder)) watch_.removePath(folder);
    for (const QString& folder : folders)
      if (!old.contains(folder)) watch_.addPath(folder);
  }

  void Changed() {
    if (listener_.changed) listener_.changed();
  }

  std::shared_ptr<platform::SoundServer> server_;
  SongDecoders decoders_;
  Listener listener_;
  State state_ = State::Closed;
  QString error_;
  unsigned song_ = 0;  // the song opened last
  QObject answers_;    // the thread's answers run in its name
  QFileSystemWatcher watch_;
  std::vector<QString> sockets_;
  std::shared_ptr<WorkerLink> link_;                // made with the thread, at the first song
  std::unique_ptr<platform::PlayerThread> thread_;  // last: leaving asks the thread to end first
};

void MusicWorker::Run() {
  output_ = platform::CreateMusicOutput(server_);
  output_->SetNotify([link = link_] {
    {
      std::lock_guard lock(link->mutex);
      link->outputChanged = true;
    }
    link->wake.notify_one();
  });
  for (;;) {
    std::optional<Command> command;
    {
      std::unique_lock lock(link_->mutex);
      const auto ready = [&] { return link_->quit || !link_->commands.empty() || link_->outputChanged; };
      if (const std::optional<Clock::time_point> at = Deadline()) {
        link_->wake.wait_until(lock, *at, ready);
      } else {
        link_->wake.wait(lock, ready);
      }
      if (link_->quit) break;
      if (!link_->commands.empty()) {
        command = std::move(link_->commands.front());
        link_->commands.pop_front();
      }
      link_->outputChanged = false;
    }
    if (command) Handle(*command);
    Update();
  }
  decoder_.reset();
  output_.reset();
}

void MusicWorker::Handle(const Command& c) {
  using Kind = Command::Kind;
  if (c.kind == Kind::ServerMayBeBack) {
    tries_ = kTriesWhenTold;
    if (phase_ == Phase::Clock) nextTry_ = Clock::now();
    return;
  }
  if (c.kind == Kind::Open) {
    output_->Stop();
    decoder_.reset();
    phase_ = Phase::Idle;
    song_ = c.song;
    file_ = c.file;
    if (!cause_) {
      cause_ = decoders_.availability ? decoders_.availability() : MusicUnavailableCause::None;
      if (*cause_ != MusicUnavailableCause::None)
        link_->Answer([player = player_, cause = *cause_] { player->Unavailable(cause); });
    }
    if (*cause_ == MusicUnavailableCause::None) OpenSong(true);
    return;
  }
  if (c.song != song_) return;
  if (c.kind == Kind::Play) {
    // Played before: from its beginning again.
    if (phase_ == Phase::Idle && !file_.isEmpty() && !OpenSong(false)) return;
    if (phase_ != Phase::Ready) return;
    zero_ = Clock::now();
    StartOutput();
    return;
  }
  // Stop and Close.
  output_->Stop();
  decoder_.reset();
  phase_ = Phase::Idle;
  if (c.kind == Kind::Close) file_.clear();
}

bool MusicWorker::OpenSong(bool answer) {
  QString error;
  decoder_ = decoders_.open ? decoders_.open(file_, error) : nullptr;
  if (decoder_) {
    format_ = decoder_->Format();
    // A rate the server could not play is no music, as it is no sound.
    if (format_.sampleRate < platform::kMinSampleRate || format_.sampleRate > platform::kMaxSampleRate ||
        format_.channels < 1 || format_.channels > 2)
      decoder_.reset();
  }
  if (!decoder_) {
    phase_ = Phase::Idle;
    file_.clear();
    link_->Answer([player = player_, song = song_, error] { player->Failed(song, error); });
    return false;
  }
  length_ = decoder_->Frames();
  readFrame_ = 0;
  allRead_ = false;
  phase_ = Phase::Ready;
  if (answer) link_->Answer([player = player_, song = song_] { player->Loaded(song); });
  return true;
}

// Asks the output for a stream; the song is read once one takes it.
void MusicWorker::StartOutput() {
  phase_ = Phase::Starting;
  nextTry_.reset();
  output_->Start(format_);
}

void MusicWorker::Update() {
  if (phase_ == Phase::Starting) {
    if (output_->Heard()) {
      const qint64 at = ClockFrame();
      if (!decoder_ && !OpenSong(false)) return;
      if (at != readFrame_ && decoder_->Seek(at)) readFrame_ = at;
      startFrame_ = readFrame_;
      allRead_ = false;
      phase_ = Phase::Audible;
    } else if (output_->Silent()) {
      EnterClock();
    }
  }
  if (phase_ == Phase::Audible) {
    if (output_->Silent()) {
      // The server went: the clock goes on from what it has taken.
      zero_ = Clock::now() -
              std::chrono::microseconds((startFrame_ + output_->PlayedFrames()) * 1000000 / format_.sampleRate);
      output_->Stop();
      EnterClock();
    } else {
      Feed();
      if (allRead_ && !output_->Playing()) End();
    }
  }
  if ((phase_ == Phase::Clock || phase_ == Phase::Starting) && length_ >= 0 && Clock::now() >= EndTime()) {
    output_->Stop();
    End();
  }
  if (phase_ == Phase::Clock && nextTry_ && Clock::now() >= *nextTry_) {
    if (tries_ > 0) --tries_;
    StartOutput();
  }
}

void MusicWorker::Feed() {
  if (!decoder_ || allRead_) return;
  const qsizetype frameBytes = 2 * qsizetype(format_.channels);
  qint64 room = output_->Room() / frameBytes;
  // Read in large pieces: a little room waits for more.
  if (room < format_.sampleRate) return;
  while (room > 0) {
    const QByteArray pcm = decoder_->Read(std::min<qint64>(room, format_.sampleRate * kPieceSeconds));
    if (pcm.isEmpty()) {
      allRead_ = true;
      decoder_.reset();
      output_->Finish();
      return;
    }
    output_->Append(pcm);
    readFrame_ += pcm.size() / frameBytes;
    room -= pcm.size() / frameBytes;
  }
}

// No server: nothing is read until one is back; the song ends by the clock.
void MusicWorker::EnterClock() {
  phase_ = Phase::Clock;
  if (length_ < 0) {
    // A file that does not tell its length is counted once.
    if (!decoder_) OpenSong(false);
    phase_ = Phase::Clock;
    qint64 frames = readFrame_;
    while (decoder_) {
      const qint64 n = decoder_->Read(format_.sampleRate * 10).size() / (2 * format_.channels);
      if (n == 0) break;
      frames += n;
    }
    length_ = frames;
  }
  decoder_.reset();
  nextTry_.reset();
  if (askEverySecond_ || tries_ > 0) nextTry_ = Clock::now() + platform::kSoundServerRetry;
}

void MusicWorker::End() {
  phase_ = Phase::Idle;
  decoder_.reset();
  nextTry_.reset();
  link_->Answer([player = player_, song = song_] { player->Ended(song); });
}

qint64 MusicWorker::ClockFrame() const {
  const qint64 us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - zero_).count();
  const qint64 frame = std::max<qint64>(us, 0) * format_.sampleRate / 1000000;
  return length_ >= 0 ? std::min(frame, length_) : frame;
}

std::optional<Clock::time_point> MusicWorker::Deadline() const {
  std::optional<Clock::time_point> at;
  if ((phase_ == Phase::Clock || phase_ == Phase::Starting) && length_ >= 0) at = EndTime();
  if (phase_ == Phase::Clock && nextTry_ && (!at || *nextTry_ < *at)) at = nextTry_;
  return at;
}

MusicUnavailableCause SystemAvailability(const std::shared_ptr<Mpg123Library>& mpg123, bool& mpg123Loaded) {
  mpg123Loaded = mpg123->Load();
  if (mpg123Loaded) return MusicUnavailableCause::None;
  // GStreamer reads MP3 through a parser and a decoder, and lists it as a
  // codec rather than as a file format.
  if (!QMediaFormat().supportedAudioCodecs(QMediaFormat::Decode).contains(QMediaFormat::AudioCodec::MP3))
    return MusicUnavailableCause::NoMp3Decoder;
  if (!QAudioDecoder().isSupported()) return MusicUnavailableCause::NoPlayer;
  return MusicUnavailableCause::None;
}

}  // namespace

SongDecoders SystemSongDecoders() {
  // Both are asked and used on the player's thread only.
  struct Libraries {
    std::shared_ptr<Mpg123Library> mpg123 = std::make_shared<Mpg123Library>();
    bool mpg123Loaded = false;
  };
  auto libs = std::make_shared<Libraries>();
  SongDecoders decoders;
  decoders.availability = [libs] { return SystemAvailability(libs->mpg123, libs->mpg123Loaded); };
  decoders.open = [libs](const QString& file, QString& error) -> std::unique_ptr<SongDecoder> {
    if (libs->mpg123Loaded && LooksLikeMp3(file)) {
      auto mp3 = std::make_unique<Mpg123Decoder>(libs->mpg123);
      if (mp3->Open(file)) return mp3;
    }
    auto other = std::make_unique<QtSongDecoder>();
    if (other->Open(file, error)) return other;
    return nullptr;
  };
  return decoders;
}

std::unique_ptr<MusicPlayer> CreateMusicPlayer(std::shared_ptr<platform::SoundServer> server, SongDecoders decoders) {
  return std::make_unique<QtMusicPlayer>(std::move(server), std::move(decoders));
}

}  // namespace media
