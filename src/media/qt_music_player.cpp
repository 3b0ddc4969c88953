// The music player: Qt Multimedia decodes the file, the samples go to the
// sound server through the program's own music stream. Qt's media player
// would write to the server from the program's own thread: stopping it
// while the server hangs held the table, and leaving, for half a minute,
// and once the server had gone it stayed silent for the rest of the run.
#include <QAudioBuffer>
#include <QAudioDecoder>
#include <QFileInfo>
#include <QList>
#include <QMediaFormat>
#include <QTimer>
#include <QUrl>
#include <QtEndian>
#include <algorithm>

#include "media/mp3_playback.h"
#include "platform/sound.h"

namespace media {

namespace {

constexpr int kFeedMilliseconds = 40;
// What is decoded ahead of the stream.
constexpr qsizetype kMaxDecodedAhead = 1 << 20;

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

class QtMusicPlayer : public MusicPlayer {
 public:
  explicit QtMusicPlayer(std::shared_ptr<platform::SoundServer> server) : server_(std::move(server)) {
    feed_.setInterval(kFeedMilliseconds);
    QObject::connect(&feed_, &QTimer::timeout, [this] { Feed(); });
  }

  ~QtMusicPlayer() override {
    if (output_) output_->Stop();
    if (decoder_) decoder_->disconnect();
    decoder_.reset();
  }

  MusicUnavailableCause Availability() override {
    // A sound server that is not running now is no reason: the music
    // stream asks for it again and again, and the music is heard once the
    // server runs.
    if (!server_ || !server_->Usable()) return MusicUnavailableCause::NoAudioOutput;
    // GStreamer reads MP3 through a parser and a decoder, and lists it as a
    // codec rather than as a file format.
    if (!QMediaFormat().supportedAudioCodecs(QMediaFormat::Decode).contains(QMediaFormat::AudioCodec::MP3))
      return MusicUnavailableCause::NoMp3Decoder;
    if (!QAudioDecoder().isSupported()) return MusicUnavailableCause::NoPlayer;
    if (!output_) output_ = platform::CreateMusicOutput(server_);
    return MusicUnavailableCause::None;
  }

  void SetListener(Listener listener) override { listener_ = std::move(listener); }

  void Open(const QString& file) override {
    Close();
    if (!output_) return;
    source_ = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    StartDecoding();
    state_ = State::Loading;
    Changed();
  }

  void Play() override {
    if (!decoder_) return;
    if (state_ == State::Stopped) {
      // From the start again.
      StartDecoding();
      state_ = State::Loading;
    }
    if (state_ != State::Loaded && state_ != State::Loading) return;
    // A file still loading starts once its first samples are there.
    state_ = State::Playing;
    feed_.start();
    Feed();
    Changed();
  }

  void Stop() override {
    if (!decoder_) return;
    output_->Stop();
    feed_.stop();
    if (state_ == State::Playing) {
      state_ = State::Stopped;
      Changed();
    }
  }

  void Close() override {
    if (output_) output_->Stop();
    feed_.stop();
    if (decoder_) {
      // Closing may come from the decoder's own report.
      decoder_->disconnect();
      decoder_.release()->deleteLater();
    }
    pending_.clear();
    state_ = State::Closed;
  }

  State Mode() const override { return state_; }

  QString ErrorText() const override {
    if (!error_.isEmpty()) return error_;
    return "The file cannot be played: it is not a music file that this computer can decode.";
  }

 private:
  void StartDecoding() {
    if (decoder_) {
      decoder_->disconnect();
      decoder_.release()->deleteLater();
    }
    decoder_ = std::make_unique<QAudioDecoder>();
    pending_.clear();
    format_ = {};
    decoded_ = false;
    started_ = false;
    finishSent_ = false;
    error_.clear();
    QAudioDecoder* d = decoder_.get();
    QObject::connect(d, &QAudioDecoder::bufferReady, d, [this] { Feed(); });
    QObject::connect(d, &QAudioDecoder::finished, d, [this] {
      decoded_ = true;
      Feed();
    });
    QObject::connect(d, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), d, [this](QAudioDecoder::Error e) {
      if (e == QAudioDecoder::NoError) return;
      Failed(decoder_->errorString());
    });
    d->setSource(source_);
    d->start();
  }

  // Takes what the decoder has read, as far as there is room, and hands it
  // to the stream; tells when the song has played to its end.
  void Feed() {
    if (!decoder_) return;
    while (decoder_->bufferAvailable() && pending_.size() < kMaxDecodedAhead) {
      const QAudioBuffer buffer = decoder_->read();
      if (!buffer.isValid()) break;
      if (format_.sampleRate == 0) {
        format_ = platform::SoundFormat{buffer.format().sampleRate(), std::min(buffer.format().channelCount(), 2)};
        if (format_.sampleRate <= 0 || format_.channels <= 0) {
          Failed({});
          return;
        }
      }
      pending_.append(ToPcm16(buffer, format_.channels));
      if (state_ == State::Loading) {
        state_ = State::Loaded;
        Changed();
      }
    }
    const bool allRead = decoded_ && !decoder_->bufferAvailable();
    if (format_.sampleRate == 0) {
      if (allRead) Failed({});  // a file without a single sample
      return;
    }
    if (state_ != State::Playing) return;
    if (!started_) {
      output_->Start(format_);
      started_ = true;
    }
    const qsizetype frame = 2 * qsizetype(format_.channels);
    const qsizetype n = std::min(pending_.size(), output_->Room() / frame * frame);
    if (n > 0) {
      output_->Append(pending_.left(n));
      pending_.remove(0, n);
    }
    if (allRead && pending_.isEmpty() && !finishSent_) {
      output_->Finish();
      finishSent_ = true;
    }
    if (finishSent_ && !output_->Playing()) {
      state_ = State::Stopped;
      feed_.stop();
      Changed();
      if (listener_.ended) listener_.ended();
    }
  }

  void Failed(const QString& text) {
    const bool wasPlaying = state_ == State::Playing;
    output_->Stop();
    feed_.stop();
    state_ = State::Invalid;
    error_ = text;
    Changed();
    // A song that fails while it plays is over: the play list goes on.
    if (wasPlaying && listener_.ended) listener_.ended();
  }

  void Changed() {
    if (listener_.changed) listener_.changed();
  }

  std::shared_ptr<platform::SoundServer> server_;
  std::unique_ptr<platform::MusicOutput> output_;  // made when music can play here
  std::unique_ptr<QAudioDecoder> decoder_;         // the open file
  QTimer feed_;                                    // runs while a song plays
  Listener listener_;
  QUrl source_;
  State state_ = State::Closed;
  platform::SoundFormat format_;  // of the open file's samples, once the first are read
  QByteArray pending_;            // decoded, not yet handed to the stream
  bool decoded_ = false;          // the decoder has read the whole file
  bool started_ = false;          // the stream has the song
  bool finishSent_ = false;       // the stream knows the song has no more samples
  QString error_;
};

}  // namespace

std::unique_ptr<MusicPlayer> CreateMusicPlayer(std::shared_ptr<platform::SoundServer> server) {
  return std::make_unique<QtMusicPlayer>(std::move(server));
}

}  // namespace media
