#include "platform/sound.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>
#include <QSysInfo>
#include <QtEndian>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include <unistd.h>

#include "platform/version.h"

namespace platform {

namespace {

constexpr qint64 kMaxSoundFileBytes = 16 * 1024 * 1024;
constexpr quint16 kFormatPcm = 1;
constexpr quint16 kFormatFloat = 3;
constexpr quint16 kFormatExtensible = 0xFFFE;

quint32 U32(const char* p) { return qFromLittleEndian<quint32>(p); }
quint16 U16(const char* p) { return qFromLittleEndian<quint16>(p); }

// One sample of the file's kind, as a 16-bit one.
qint16 ToInt16(const char* p, bool isFloat, int bits) {
  if (isFloat) {
    double v = 0;
    if (bits == 32) {
      v = qFromLittleEndian<float>(p);
    } else {
      v = qFromLittleEndian<double>(p);
    }
    if (!(v == v)) v = 0;  // not a number
    v = std::clamp(v, -1.0, 1.0);
    return static_cast<qint16>(v * 32767.0);
  }
  switch (bits) {
    case 8: return static_cast<qint16>((static_cast<uchar>(p[0]) - 128) * 256);
    case 16: return qFromLittleEndian<qint16>(p);
    case 24: return static_cast<qint16>(static_cast<qint8>(p[2]) * 256 + static_cast<uchar>(p[1]));
    default: return static_cast<qint16>(qFromLittleEndian<qint32>(p) >> 16);
  }
}

}  // namespace

std::optional<WavSamples> DecodeWav(const QByteArray& bytes) {
  const char* d = bytes.constData();
  const qint64 n = bytes.size();
  if (n < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") return std::nullopt;
  WavSamples wav;
  bool isFloat = false;
  int bits = 0;
  for (qint64 at = 12; at + 8 <= n;) {
    const QByteArray id = bytes.mid(at, 4);
    const qint64 size = U32(d + at + 4);
    const qint64 body = at + 8;
    const qint64 avail = std::min(size, n - body);
    if (id == "fmt " && avail >= 16) {
      quint16 tag = U16(d + body);
      const int channels = U16(d + body + 2);
      const qint64 rate = U32(d + body + 4);
      bits = U16(d + body + 14);
      // The extensible header names the kind by the first two bytes of its
      // sub-format.
      if (tag == kFormatExtensible) tag = avail >= 26 ? U16(d + body + 24) : 0;
      isFloat = tag == kFormatFloat;
      const bool known = (tag == kFormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32)) ||
                         (isFloat && (bits == 32 || bits == 64));
      if (!known || channels < 1 || channels > 2 || rate < kMinSampleRate || rate > kMaxSampleRate) return std::nullopt;
      wav.sampleRate = static_cast<int>(rate);
      wav.channels = channels;
    } else if (id == "data" && wav.channels > 0) {
      const int sampleBytes = bits / 8;
      const qint64 frames = avail / (sampleBytes * wav.channels);
      if (frames == 0) return std::nullopt;
      const qint64 samples = frames * wav.channels;
      wav.pcm16 = QByteArray(samples * 2, Qt::Uninitialized);
      for (qint64 i = 0; i < samples; ++i)
        qToLittleEndian<qint16>(ToInt16(d + body + i * sampleBytes, isFloat, bits), wav.pcm16.data() + 2 * i);
      return wav;
    }
    at = body + size + (size & 1);
  }
  return std::nullopt;
}

namespace {

// The sound server's interface for one simple playback stream. Qt's audio
// output talks to the same server but, once it has lost its connection and
// failed to make a new one, stays silent for the rest of the run; a stream
// of our own is opened again when the server is back. The declarations are
// the server library's own, which has kept them since its first release.
struct pa_simple;
struct PaSampleFormat {
  int format;
  quint32 rate;
  quint8 channels;
};
struct PaBufferAttr {
  quint32 maxlength, tlength, prebuf, minreq, fragsize;
};
constexpr int kPaSampleS16le = 3;
constexpr int kPaStreamPlayback = 1;

struct ServerLibrary {
  using NewFn = pa_simple* (*)(const char*, const char*, int, const char*, const char*, const PaSampleFormat*,
                               const void*, const PaBufferAttr*, int*);
  using WriteFn = int (*)(pa_simple*, const void*, size_t, int*);
  using FlushFn = int (*)(pa_simple*, int*);
  using FreeFn = void (*)(pa_simple*);

  bool Load() {
    QLibrary lib("pulse-simple", 0);
    // A player's thread that leaving left behind in a write must find the
    // library's code still there while the process ends.
    lib.setLoadHints(QLibrary::PreventUnloadHint);
    if (!lib.load()) return false;
    open = reinterpret_cast<NewFn>(lib.resolve("pa_simple_new"));
    write = reinterpret_cast<WriteFn>(lib.resolve("pa_simple_write"));
    flush = reinterpret_cast<FlushFn>(lib.resolve("pa_simple_flush"));
    free = reinterpret_cast<FreeFn>(lib.resolve("pa_simple_free"));
    return open && write && flush && free;
  }

  NewFn open = nullptr;
  WriteFn write = nullptr;
  FlushFn flush = nullptr;
  FreeFn free = nullptr;
};

class LibraryStream : public SoundStream {
 public:
  LibraryStream(const ServerLibrary& lib, pa_simple* stream) : lib_(lib), stream_(stream) {}
  ~LibraryStream() override { lib_.free(stream_); }
  bool Write(const char* pcm, qsizetype bytes) override {
    int error = 0;
    return lib_.write(stream_, pcm, size_t(bytes), &error) >= 0;
  }
  bool Flush() override {
    int error = 0;
    return lib_.flush(stream_, &error) >= 0;
  }

 private:
  const ServerLibrary& lib_;
  pa_simple* stream_;
};

class LibrarySoundServer : public SoundServer {
 public:
  bool Usable() override {
    std::call_once(loaded_, [this] { usable_ = lib_.Load(); });
    return usable_;
  }

  std::unique_ptr<SoundStream> Connect(const SoundFormat& format, const StreamShape& shape) override {
    if (!Usable()) return nullptr;
    const PaSampleFormat wanted{kPaSampleS16le, quint32(format.sampleRate), quint8(format.channels)};
    const quint32 msBytes = quint32(format.sampleRate) * 2u * quint32(format.channels) / 1000u;
    const PaBufferAttr attr{
        quint32(-1), msBytes * quint32(shape.bufferedMilliseconds), msBytes * quint32(shape.startMilliseconds),
        shape.requestMilliseconds > 0 ? msBytes * quint32(shape.requestMilliseconds) : quint32(-1), quint32(-1)};
    int error = 0;
    pa_simple* stream =
        lib_.open(nullptr, kProgramTitle, kPaStreamPlayback, nullptr, shape.name, &wanted, nullptr, &attr, &error);
    if (!stream) return nullptr;
    return std::make_unique<LibraryStream>(lib_, stream);
  }

 private:
  std::once_flag loaded_;
  bool usable_ = false;
  ServerLibrary lib_;
};

// A decoded sound file, with what its file looked like when it was read: a
// file asked for again is read afresh only when it has changed since.
struct CachedSound {
  qint64 size = -1;
  QDateTime modified;
  std::shared_ptr<const WavSamples> wav;  // null: the file is no sound
};

// What the effects thread is asked to do: the latest Play or Stop wins.
struct SoundRequests {
  std::mutex mutex;
  std::condition_variable wake;
  bool pending = false;
  QString file;  // empty: stop
  bool quit = false;
};

// The effects are played on a thread of their own, so that Play and Stop
// only hand the file over and return: they never wait for the sound server
// and never run the program's events (closing a Qt audio output runs them,
// and a sound asked for from such an event freed the output under the call
// that was closing it). The thread reads and decodes each file once, keeps
// the samples, and writes them to one stream in short slices; a new request
// is seen between two slices and cuts the sound by flushing what the server
// still holds. A stream that fails is closed and a new one opened at the
// next sound, so sound comes back when the server does. Without a server,
// or without its library, every sound is silence.
class SoundThread {
 public:
  SoundThread(std::shared_ptr<SoundRequests> requests, std::shared_ptr<SoundServer> server)
      : requests_(std::move(requests)), server_(std::move(server)) {}

  void Run() {
    for (;;) {
      std::optional<QString> request;
      bool idle = false;
      {
        std::unique_lock lock(requests_->mutex);
        const auto asked = [&] { return requests_->pending || requests_->quit; };
        if (!sound_ && !asked()) {
          // An idle stream is let go after a while, so that the server can
          // put the device to rest.
          if (stream_) {
            idle = !requests_->wake.wait_for(lock, kIdleClose, asked);
          } else {
            requests_->wake.wait(lock, asked);
          }
        }
        if (requests_->quit) return;
        if (requests_->pending) {
          request = requests_->file;
          requests_->pending = false;
        }
      }
      if (idle) CloseStream();
      if (request) Start(*request);
      if (sound_) WriteSlice();
    }
  }

 private:
  static constexpr std::chrono::seconds kIdleClose{3};
  static constexpr int kSliceMilliseconds = 20;
  static constexpr int kBufferedMilliseconds = 80;
  static constexpr qsizetype kMaxCached = 64;

  void Start(const QString& file) {
    // The sound playing, and what the server still holds of it, is cut.
    if (stream_ && (sound_ || written_)) {
      if (!stream_->Flush()) CloseStream();
    }
    sound_.reset();
    written_ = false;
    if (file.isEmpty()) return;
    std::shared_ptr<const WavSamples> wav = Load(file);
    if (!wav || !OpenStream(*wav)) return;
    sound_ = std::move(wav);
    at_ = 0;
  }

  void WriteSlice() {
    const qsizetype frameBytes = 2 * sound_->channels;
    const qsizetype slice = qsizetype(sound_->sampleRate) * kSliceMilliseconds / 1000 * frameBytes;
    const qsizetype n = std::min(slice, sound_->pcm16.size() - at_);
    if (!stream_->Write(sound_->pcm16.constData() + at_, n)) {
      // The server went away. A stream that had played before may only
      // have been left behind by a server that has come back: the sound is
      // tried once more on a new stream.
      const bool retry = at_ == 0 && !freshStream_;
      CloseStream();
      std::shared_ptr<const WavSamples> wav = std::move(sound_);
      sound_.reset();
      if (retry && OpenStream(*wav)) sound_ = std::move(wav);
      return;
    }
    written_ = true;
    at_ += n;
    if (at_ >= sound_->pcm16.size()) sound_.reset();
  }

  bool OpenStream(const WavSamples& wav) {
    const SoundFormat format{wav.sampleRate, wav.channels};
    if (stream_ && format_ == format) {
      freshStream_ = false;
      return true;
    }
    CloseStream();
    // The server starts the stream as soon as one slice is there (every
    // sound holds at least one) and keeps only a short stretch ahead, so
    // that a new sound is heard at once.
    stream_ = server_->Open(format, StreamShape{"Sound effects", kBufferedMilliseconds, kSliceMilliseconds});
    if (!stream_) return false;  // no server: this sound is silence, the next one asks again
    format_ = format;
    written_ = false;
    freshStream_ = true;
    return true;
  }

  void CloseStream() {
    stream_.reset();
    written_ = false;
  }

  std::shared_ptr<const WavSamples> Load(const QString& file) {
    const QFileInfo info(file);
    if (!info.isFile()) return nullptr;
    const qint64 size = info.size();
    const QDateTime modified = info.lastModified();
    auto hit = cache_.find(file);
    if (hit != cache_.end() && hit->second.size == size && hit->second.modified == modified) return hit->second.wav;
    CachedSound entry{size, modified, nullptr};
    QFile f(file);
    if (size <= kMaxSoundFileBytes && f.open(QIODevice::ReadOnly)) {
      if (std::optional<WavSamples> wav = DecodeWav(f.read(kMaxSoundFileBytes + 1))) {
        // At least one slice, so that the server starts even the shortest.
        const qsizetype minBytes = qsizetype(wav->sampleRate) * kSliceMilliseconds / 1000 * 2 * wav->channels;
        if (wav->pcm16.size() < minBytes) wav->pcm16.append(QByteArray(minBytes - wav->pcm16.size(), '\0'));
        entry.wav = std::make_shared<const WavSamples>(std::move(*wav));
      }
    }
    if (qsizetype(cache_.size()) >= kMaxCached) cache_.clear();
    cache_[file] = entry;
    return entry.wav;
  }

  std::shared_ptr<SoundRequests> requests_;
  std::shared_ptr<SoundServer> server_;
  std::unique_ptr<SoundStream> stream_;
  SoundFormat format_;
  bool written_ = false;      // the stream holds data since it was opened or flushed
  bool freshStream_ = false;  // the stream was opened for the sound playing
  std::map<QString, CachedSound> cache_;
  std::shared_ptr<const WavSamples> sound_;  // the sound playing
  qsizetype at_ = 0;                         // bytes of it written
};

class ThreadSoundChannel : public SoundChannel {
 public:
  explicit ThreadSoundChannel(std::shared_ptr<SoundServer> server)
      : requests_(std::make_shared<SoundRequests>()),
        thread_([requests = requests_, server = std::move(server)] { SoundThread(requests, server).Run(); }) {}

  ~ThreadSoundChannel() override {
    {
      std::lock_guard lock(requests_->mutex);
      requests_->quit = true;
    }
    requests_->wake.notify_one();
  }

  void Play(const QString& file) override { Ask(file); }
  void Stop() override { Ask(QString()); }

 private:
  void Ask(const QString& file) {
    {
      std::lock_guard lock(requests_->mutex);
      requests_->file = file;
      requests_->pending = true;
    }
    requests_->wake.notify_one();
  }

  std::shared_ptr<SoundRequests> requests_;
  PlayerThread thread_;  // last: leaving asks the thread to end first
};

// The song being played, between the decoder and the music thread.
struct MusicQueue {
  std::mutex mutex;
  std::condition_variable wake;
  SoundFormat format;
  unsigned start = 0;             // counts the starts: what was asked for an older song is not this one's
  std::deque<QByteArray> chunks;  // the samples not yet played, in order
  qsizetype queued = 0;           // their bytes
  bool finished = false;          // the song has no more samples than those queued
  bool playing = false;           // started, not stopped, not yet played out
  bool connect = false;           // a stream is to be asked for now
  bool cut = false;               // what the server still holds is to go
  bool heard = false;             // a stream takes the song
  bool silent = false;            // the last try found no server
  qint64 played = 0;              // frames the server has taken since the start
  bool quit = false;
  std::function<void()> notify;
};

// The music is written in slices of a second to a stream that holds three
// seconds ahead and asks for more a second at a time, so that the program
// wakes for the music only a few times a second. A start asks for a stream
// at once. Without a server the slices pass in silence in their own time,
// and the slices ask for a stream again: the music is heard once the server
// is there, in the middle of the song.
class MusicThread {
 public:
  MusicThread(std::shared_ptr<MusicQueue> queue, std::shared_ptr<SoundServer> server)
      : q_(std::move(queue)), server_(std::move(server)) {}

  void Run() {
    std::unique_lock lock(q_->mutex);
    for (;;) {
      q_->wake.wait(lock, [&] {
        return q_->quit || q_->cut || (q_->playing && (q_->connect || !q_->chunks.empty() || q_->finished));
      });
      if (q_->quit) return;
      if (q_->cut) {
        q_->cut = false;
        lock.unlock();
        if (stream_ && !stream_->Flush()) stream_.reset();
        lock.lock();
        continue;
      }
      const SoundFormat format = q_->format;
      const unsigned start = q_->start;
      if (q_->connect) {
        q_->connect = false;
        lock.unlock();
        const bool open = OpenStream(format);
        lock.lock();
        if (start == q_->start) Heard(lock, open);
        continue;
      }
      if (q_->chunks.empty()) {
        q_->playing = false;  // played to its end
        Notify(lock);
        continue;
      }
      const qsizetype frame = 2 * qsizetype(format.channels);
      // At least one frame, however low the rate.
      const qsizetype slice = std::max(qsizetype(format.sampleRate) * kSliceMilliseconds / 1000, qsizetype(1)) * frame;
      QByteArray& front = q_->chunks.front();
      QByteArray pcm = front.left(slice);
      front.remove(0, pcm.size());
      if (front.isEmpty()) q_->chunks.pop_front();
      const bool low = q_->queued >= LowBytes(format) && q_->queued - pcm.size() < LowBytes(format);
      q_->queued -= pcm.size();
      lock.unlock();
      const bool written = Write(format, pcm);
      lock.lock();
      if (start != q_->start) continue;
      Heard(lock, written);
      if (written) {
        q_->played += pcm.size() / frame;
        if (low && !q_->finished) Notify(lock);
        continue;
      }
      // In silence, as long as the slice would have sounded, unless the
      // song is cut meanwhile.
      const auto lasts = std::chrono::microseconds(qint64(pcm.size()) * 1000000 / (qint64(format.sampleRate) * frame));
      q_->wake.wait_for(lock, lasts, [&] { return q_->quit || q_->cut || start != q_->start; });
    }
  }

  // The queue runs low below this many bytes: the decoder is told.
  static qsizetype LowBytes(const SoundFormat& format) {
    return qsizetype(format.sampleRate) * 2 * format.channels * kLowMilliseconds / 1000;
  }

 private:
  static constexpr int kSliceMilliseconds = 1000;
  static constexpr int kBufferedMilliseconds = 3000;
  static constexpr int kLowMilliseconds = 1500;

  // With the queue's lock held.
  void Heard(std::unique_lock<std::mutex>& lock, bool heard) {
    if (q_->heard == heard && q_->silent == !heard) return;
    q_->heard = heard;
    q_->silent = !heard;
    Notify(lock);
  }

  void Notify(std::unique_lock<std::mutex>& lock) {
    const std::function<void()> notify = q_->notify;
    if (!notify) return;
    lock.unlock();
    notify();
    lock.lock();
  }

  bool OpenStream(const SoundFormat& format) {
    if (stream_ && format_ == format) return true;
    stream_.reset();
    stream_ =
        server_->Open(format, StreamShape{"Music", kBufferedMilliseconds, kSliceMilliseconds, kSliceMilliseconds});
    format_ = format;
    fresh_ = true;
    return stream_ != nullptr;
  }

  bool Write(const SoundFormat& format, const QByteArray& pcm) {
    if (!OpenStream(format)) return false;
    if (stream_->Write(pcm.constData(), pcm.size())) {
      fresh_ = false;
      return true;
    }
    // A stream that had played before may only have been left behind by a
    // server that has come back: the slice is tried once more on a new one.
    const bool retry = !fresh_;
    stream_.reset();
    if (retry && OpenStream(format) && stream_->Write(pcm.constData(), pcm.size())) {
      fresh_ = false;
      return true;
    }
    stream_.reset();
    return false;
  }

  std::shared_ptr<MusicQueue> q_;
  std::shared_ptr<SoundServer> server_;
  std::unique_ptr<SoundStream> stream_;
  SoundFormat format_;
  bool fresh_ = false;  // nothing written to the stream yet
};

class ThreadMusicOutput : public MusicOutput {
 public:
  explicit ThreadMusicOutput(std::shared_ptr<SoundServer> server)
      : q_(std::make_shared<MusicQueue>()),
        thread_([queue = q_, server = std::move(server)] { MusicThread(queue, server).Run(); }) {}

  ~ThreadMusicOutput() override {
    {
      std::lock_guard lock(q_->mutex);
      q_->quit = true;
      q_->notify = nullptr;
    }
    q_->wake.notify_one();
  }

  void Start(const SoundFormat& format) override {
    {
      std::lock_guard lock(q_->mutex);
      Clear();
      q_->format = format;
      q_->playing = format.sampleRate > 0 && format.channels > 0;
      q_->connect = q_->playing;
      q_->heard = false;
      q_->silent = false;
      q_->played = 0;
      ++q_->start;
    }
    q_->wake.notify_one();
  }

  qsizetype Room() const override {
    std::lock_guard lock(q_->mutex);
    if (!q_->playing || q_->finished) return 0;
    const qsizetype held = qsizetype(q_->format.sampleRate) * 2 * q_->format.channels * kHeldSeconds;
    return std::max<qsizetype>(held - q_->queued, 0);
  }

  void Append(const QByteArray& pcm) override {
    {
      std::lock_guard lock(q_->mutex);
      const qsizetype frame = 2 * qsizetype(q_->format.channels);
      if (!q_->playing || q_->finished || frame == 0 || pcm.isEmpty()) return;
      q_->chunks.push_back(pcm.left(pcm.size() / frame * frame));
      q_->queued += q_->chunks.back().size();
    }
    q_->wake.notify_one();
  }

  void Finish() override {
    {
      std::lock_guard lock(q_->mutex);
      q_->finished = true;
    }
    q_->wake.notify_one();
  }

  void Stop() override {
    {
      std::lock_guard lock(q_->mutex);
      Clear();
      q_->playing = false;
      q_->connect = false;
      q_->heard = false;
      ++q_->start;
    }
    q_->wake.notify_one();
  }

  bool Playing() const override {
    std::lock_guard lock(q_->mutex);
    return q_->playing;
  }

  bool Heard() const override {
    std::lock_guard lock(q_->mutex);
    return q_->heard;
  }

  bool Silent() const override {
    std::lock_guard lock(q_->mutex);
    return q_->silent;
  }

  qint64 PlayedFrames() const override {
    std::lock_guard lock(q_->mutex);
    return q_->played;
  }

  void SetNotify(std::function<void()> notify) override {
    std::lock_guard lock(q_->mutex);
    q_->notify = std::move(notify);
  }

 private:
  static constexpr qsizetype kHeldSeconds = 3;

  // With the queue's lock held.
  void Clear() {
    if (q_->playing || q_->queued > 0) q_->cut = true;
    q_->chunks.clear();
    q_->queued = 0;
    q_->finished = false;
  }

  std::shared_ptr<MusicQueue> q_;
  PlayerThread thread_;  // last: leaving asks the thread to end first
};

}  // namespace

struct PlayerThread::Done {
  std::mutex mutex;
  std::condition_variable wake;
  bool ended = false;
};

PlayerThread::PlayerThread(std::function<void()> run) : done_(std::make_shared<Done>()) {
  thread_ = std::thread([run = std::move(run), done = done_] {
    run();
    std::lock_guard lock(done->mutex);
    done->ended = true;
    done->wake.notify_all();
  });
}

PlayerThread::~PlayerThread() {
  bool ended = false;
  {
    std::unique_lock lock(done_->mutex);
    ended =
        done_->wake.wait_for(lock, std::chrono::milliseconds(kLeaveWaitMilliseconds), [this] { return done_->ended; });
  }
  if (ended) {
    thread_.join();
  } else {
    thread_.detach();
  }
}

std::unique_ptr<SoundStream> SoundServer::Open(const SoundFormat& format, const StreamShape& shape) {
  {
    std::lock_guard lock(mutex_);
    if (std::chrono::steady_clock::now() < nextTry_[shape.name]) return nullptr;
  }
  std::unique_ptr<SoundStream> stream = Connect(format, shape);
  if (!stream) {
    std::lock_guard lock(mutex_);
    nextTry_[shape.name] = std::chrono::steady_clock::now() + kSoundServerRetry;
  }
  return stream;
}

namespace {

// The per-user place of a server started without a runtime folder: a link
// the server makes in the user's sound configuration folder, named after
// the machine.
QString UserConfigFolder() {
  if (const QString path = qEnvironmentVariable("PULSE_CONFIG_PATH"); !path.isEmpty()) return path;
  const QString home = QDir::homePath();
  if (QFileInfo(home + "/.pulse").isDir()) return home + "/.pulse";
  if (const QString config = qEnvironmentVariable("XDG_CONFIG_HOME"); !config.isEmpty()) return config + "/pulse";
  return home + "/.config/pulse";
}

QString MachineId() {
  for (const char* file : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
    QFile f(file);
    if (f.open(QIODevice::ReadOnly)) {
      const QString id = QString::fromLatin1(f.readLine(256)).trimmed();
      if (!id.isEmpty()) return id;
    }
  }
  return QSysInfo::machineHostName();
}

// Whether one of the configuration files the library reads names a server.
bool ConfiguredServer() {
  QStringList files;
  if (const QString own = qEnvironmentVariable("PULSE_CLIENTCONFIG"); !own.isEmpty()) {
    files << own;
  } else if (const QString user = UserConfigFolder() + "/client.conf"; QFileInfo::exists(user)) {
    files << user;
  } else {
    files << "/etc/pulse/client.conf";
    const QDir more("/etc/pulse/client.conf.d");
    for (const QString& name : more.entryList({"*.conf"}, QDir::Files, QDir::Name)) files << more.filePath(name);
  }
  for (const QString& file : files) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) continue;
    while (!f.atEnd()) {
      const QString line = QString::fromUtf8(f.readLine(4096)).trimmed();
      if (line.startsWith('#') || line.startsWith(';')) continue;
      const qsizetype eq = line.indexOf('=');
      if (eq > 0 && line.left(eq).trimmed() == "default-server" && !line.mid(eq + 1).trimmed().isEmpty()) return true;
    }
  }
  return false;
}

bool OwnRuntimeFolder() {
  const QString path = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (path.isEmpty()) return false;
  const QFileInfo info(path);
  return info.isDir() && info.ownerId() == uint(getuid());
}

}  // namespace

void PrepareSoundServerLookup() {
  if (!qEnvironmentVariableIsEmpty("PULSE_SERVER") || !qEnvironmentVariableIsEmpty("PULSE_RUNTIME_PATH") ||
      OwnRuntimeFolder() || ConfiguredServer())
    return;
  const QString user = UserConfigFolder() + "/" + MachineId() + "-runtime/native";
  qputenv("PULSE_SERVER", ("unix:" + user + " unix:/var/run/pulse/native").toLocal8Bit());
}

std::vector<QString> SoundServerSockets() {
  QStringList places;
  if (const QString named = qEnvironmentVariable("PULSE_SERVER"); !named.isEmpty()) {
    places = named.split(' ', Qt::SkipEmptyParts);
  } else if (ConfiguredServer()) {
    return {};
  } else if (const QString runtime = qEnvironmentVariable("PULSE_RUNTIME_PATH"); !runtime.isEmpty()) {
    places << runtime + "/native";
  } else if (const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR"); !runtime.isEmpty()) {
    places << runtime + "/pulse/native";
  } else {
    return {};
  }
  std::vector<QString> sockets;
  for (QString place : places) {
    // "{machine}" limits a place to one machine, ours being the only one
    // a socket can be on.
    if (place.startsWith('{')) place = place.mid(place.indexOf('}') + 1);
    if (place.startsWith("unix:")) place = place.mid(5);
    if (!place.startsWith('/')) return {};
    sockets.push_back(place);
  }
  return sockets;
}

std::shared_ptr<SoundServer> CreateSoundServer() { return std::make_shared<LibrarySoundServer>(); }

std::unique_ptr<SoundChannel> CreateSoundChannel(std::shared_ptr<SoundServer> server) {
  return std::make_unique<ThreadSoundChannel>(std::move(server));
}

std::unique_ptr<MusicOutput> CreateMusicOutput(std::shared_ptr<SoundServer> server) {
  return std::make_unique<ThreadMusicOutput>(std::move(server));
}

}  // namespace platform
