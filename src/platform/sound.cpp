#include "platform/sound.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QtEndian>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

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
      if (!known || channels < 1 || channels > 2 || rate < 1000 || rate > 192000) return std::nullopt;
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

// The sound server's interface for one simple playback stream, loaded when
// the first sound is asked for. Qt's audio output talks to the same server
// but, once it has lost its connection and failed to make a new one, stays
// silent for the rest of the run; this stream is opened again at the next
// sound. The declarations are the server library's own, which has kept them
// since its first release.
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

struct SoundServer {
  using NewFn = pa_simple* (*)(const char*, const char*, int, const char*, const char*, const PaSampleFormat*,
                               const void*, const PaBufferAttr*, int*);
  using WriteFn = int (*)(pa_simple*, const void*, size_t, int*);
  using FlushFn = int (*)(pa_simple*, int*);
  using FreeFn = void (*)(pa_simple*);

  bool Load() {
    QLibrary lib("pulse-simple", 0);
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

// A decoded sound file, with what its file looked like when it was read: a
// file asked for again is read afresh only when it has changed since.
struct CachedSound {
  qint64 size = -1;
  QDateTime modified;
  std::shared_ptr<const WavSamples> wav;  // null: the file is no sound
};

// What the player thread is asked to do: the latest Play or Stop wins.
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
  explicit SoundThread(std::shared_ptr<SoundRequests> requests) : requests_(std::move(requests)) {}

  ~SoundThread() { CloseStream(); }

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
      int error = 0;
      if (server_.flush(stream_, &error) < 0) CloseStream();
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
    int error = 0;
    if (server_.write(stream_, sound_->pcm16.constData() + at_, size_t(n), &error) < 0) {
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
    if (stream_ && format_.rate == quint32(wav.sampleRate) && format_.channels == wav.channels) {
      freshStream_ = false;
      return true;
    }
    CloseStream();
    if (!serverLoaded_) {
      serverLoaded_ = true;
      serverUsable_ = server_.Load();
    }
    if (!serverUsable_) return false;
    PaSampleFormat wanted{kPaSampleS16le, quint32(wav.sampleRate), quint8(wav.channels)};
    const quint32 frameBytes = 2u * quint32(wav.channels);
    const quint32 slice = quint32(wav.sampleRate) * kSliceMilliseconds / 1000 * frameBytes;
    // The server starts the stream as soon as one slice is there (every sound
    // holds at least one) and keeps only a short stretch ahead, so that a
    // new sound is heard at once.
    PaBufferAttr attr{quint32(-1), quint32(wav.sampleRate) * kBufferedMilliseconds / 1000 * frameBytes, slice,
                      quint32(-1), quint32(-1)};
    int error = 0;
    stream_ = server_.open(nullptr, "Marrowdale", kPaStreamPlayback, nullptr, "Sound effects", &wanted, nullptr, &attr,
                           &error);
    if (!stream_) return false;  // no server: this sound is silence, the next one asks again
    format_ = wanted;
    written_ = false;
    freshStream_ = true;
    return true;
  }

  void CloseStream() {
    if (stream_) server_.free(stream_);
    stream_ = nullptr;
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
  SoundServer server_;
  bool serverLoaded_ = false;
  bool serverUsable_ = false;
  pa_simple* stream_ = nullptr;
  PaSampleFormat format_{};
  bool written_ = false;      // the stream holds data since it was opened or flushed
  bool freshStream_ = false;  // the stream was opened for the sound playing
  std::map<QString, CachedSound> cache_;
  std::shared_ptr<const WavSamples> sound_;  // the sound playing
  qsizetype at_ = 0;                          // bytes of it written
};

class QtSoundChannel : public SoundChannel {
 public:
  QtSoundChannel() : requests_(std::make_shared<SoundRequests>()) {
    thread_ = std::thread([requests = requests_] { SoundThread(requests).Run(); });
  }

  ~QtSoundChannel() override {
    {
      std::lock_guard lock(requests_->mutex);
      requests_->quit = true;
    }
    requests_->wake.notify_one();
    thread_.join();
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
  std::thread thread_;
};

}  // namespace

std::unique_ptr<SoundChannel> CreateSoundChannel() { return std::make_unique<QtSoundChannel>(); }

}  // namespace platform
