#include "platform/sound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QtEndian>
#include <optional>

namespace platform {

namespace {

// A WAV file's PCM samples and their format.
struct Pcm {
  QAudioFormat format;
  QByteArray samples;
};

constexpr qint64 kMaxSoundFileBytes = 16 * 1024 * 1024;

quint32 U32(const char* p) { return qFromLittleEndian<quint32>(p); }
quint16 U16(const char* p) { return qFromLittleEndian<quint16>(p); }

// Reads an uncompressed 8- or 16-bit PCM WAV file; anything else is no sound.
std::optional<Pcm> ReadWav(const QString& file) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxSoundFileBytes) return std::nullopt;
  const QByteArray bytes = f.readAll();
  const char* d = bytes.constData();
  const qint64 n = bytes.size();
  if (n < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") return std::nullopt;
  Pcm pcm;
  bool haveFormat = false;
  bool eightBit = false;  // 8-bit samples are widened to 16 bits
  for (qint64 at = 12; at + 8 <= n;) {
    const QByteArray id = bytes.mid(at, 4);
    const qint64 size = U32(d + at + 4);
    const qint64 body = at + 8;
    const qint64 avail = std::min(size, n - body);
    if (id == "fmt " && avail >= 16) {
      const int tag = U16(d + body), channels = U16(d + body + 2), bits = U16(d + body + 14);
      const int rate = static_cast<int>(U32(d + body + 4));
      if (tag != 1 || channels < 1 || channels > 2 || rate < 1000 || rate > 192000) return std::nullopt;
      if (bits != 8 && bits != 16) return std::nullopt;
      pcm.format.setSampleRate(rate);
      pcm.format.setChannelCount(channels);
      pcm.format.setSampleFormat(QAudioFormat::Int16);
      eightBit = bits == 8;
      haveFormat = true;
    } else if (id == "data" && haveFormat) {
      const int frame = pcm.format.bytesPerFrame() / (eightBit ? 2 : 1);
      pcm.samples = bytes.mid(body, avail - avail % frame);
      if (eightBit) {
        QByteArray wide(pcm.samples.size() * 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < pcm.samples.size(); ++i) {
          const int centred = static_cast<uchar>(pcm.samples[i]) - 128;
          qToLittleEndian<qint16>(static_cast<qint16>(centred * 256), wide.data() + 2 * i);
        }
        pcm.samples = wide;
      }
      if (pcm.samples.isEmpty()) return std::nullopt;
      return pcm;
    }
    at = body + size + (size & 1);
  }
  return std::nullopt;
}

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
    std::optional<Pcm> pcm = ReadWav(file);
    if (!pcm) return;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(pcm->format)) return;
    // A sound server starts a stream only once it holds its prebuffer of
    // data: a sound shorter than that is padded with silence, so that it
    // never waits for data that will not come.
    const int minBytes = pcm->format.bytesForDuration(kMinSoundMicroseconds);
    if (pcm->samples.size() < minBytes)
      pcm->samples.append(QByteArray(minBytes - pcm->samples.size(), '\0'));
    buffer_ = std::make_unique<QBuffer>();
    buffer_->setData(pcm->samples);
    buffer_->open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(device, pcm->format);
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
