#include "platform/sound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QtEndian>
#include <algorithm>
#include <optional>

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

// Each sound is read from its file when asked for (a repeat reads the file
// afresh) and written straight to the audio device, one sink at a time:
// starting a sound stops the sink of the one before. A media player's
// pipeline took longer to start than the shortest effects last, and on a
// sound server such a sound was cut by the next before it was heard, or
// never came through at all. Playback is asynchronous: Play only starts the
// sink. Without an audio device at the first sound the run stays silent and
// no sink is made.
class QtSoundChannel : public SoundChannel {
 public:
  void Play(const QString& file) override {
    Stop();
    if (file.isEmpty() || silent_ || !QFileInfo(file).isFile()) return;
    if (!deviceChecked_) {
      deviceChecked_ = true;
      if (QMediaDevices::audioOutputs().isEmpty()) {
        silent_ = true;
        return;
      }
    }
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxSoundFileBytes) return;
    std::optional<WavSamples> wav = DecodeWav(f.readAll());
    if (!wav) return;
    QAudioFormat format;
    format.setSampleRate(wav->sampleRate);
    format.setChannelCount(wav->channels);
    format.setSampleFormat(QAudioFormat::Int16);
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(format)) return;
    // A sound server starts a stream only once it holds its prebuffer of
    // data: a sound shorter than that is padded with silence, so that it
    // never waits for data that will not come.
    const int minBytes = format.bytesForDuration(kMinSoundMicroseconds);
    if (wav->pcm16.size() < minBytes) wav->pcm16.append(QByteArray(minBytes - wav->pcm16.size(), '\0'));
    buffer_ = std::make_unique<QBuffer>();
    buffer_->setData(wav->pcm16);
    buffer_->open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(device, format);
    sink_->start(buffer_.get());
  }

  void Stop() override {
    if (sink_) sink_->stop();
    sink_.reset();
    buffer_.reset();
  }

  ~QtSoundChannel() override { Stop(); }

 private:
  static constexpr qint64 kMinSoundMicroseconds = 300000;

  std::unique_ptr<QBuffer> buffer_;
  std::unique_ptr<QAudioSink> sink_;
  bool deviceChecked_ = false;
  bool silent_ = false;  // no audio device was there at the first sound
};

}  // namespace

std::unique_ptr<SoundChannel> CreateSoundChannel() { return std::make_unique<QtSoundChannel>(); }

}  // namespace platform
