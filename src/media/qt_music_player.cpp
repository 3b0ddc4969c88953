// The music player over Qt Multimedia.
#include <QAudioDevice>
#include <QAudioOutput>
#include <QFileInfo>
#include <QList>
#include <QMediaDevices>
#include <QMediaFormat>
#include <QMediaPlayer>
#include <QUrl>

#include "media/mp3_playback.h"

namespace media {

namespace {

class QtMusicPlayer : public MusicPlayer {
 public:
  ~QtMusicPlayer() override {
    // The player lets go of its output before the output goes.
    if (player_) {
      QObject::disconnect(player_.get(), nullptr, nullptr, nullptr);
      player_->stop();
      player_->setAudioOutput(nullptr);
    }
    player_.reset();
  }

  MusicUnavailableCause Availability() override {
    if (QMediaDevices::audioOutputs().isEmpty()) return MusicUnavailableCause::NoAudioOutput;
    // GStreamer reads MP3 through a parser and a decoder, and lists it as a
    // codec rather than as a file format.
    if (!QMediaFormat().supportedAudioCodecs(QMediaFormat::Decode).contains(QMediaFormat::AudioCodec::MP3))
      return MusicUnavailableCause::NoMp3Decoder;
    if (!EnsurePlayer() || !player_->isAvailable()) return MusicUnavailableCause::NoPlayer;
    return MusicUnavailableCause::None;
  }

  void SetListener(Listener listener) override { listener_ = std::move(listener); }

  void Open(const QString& file) override {
    if (!EnsurePlayer()) return;
    invalid_ = false;
    error_.clear();
    player_->setSource(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
    Changed();
  }

  void Play() override {
    if (player_ && !player_->source().isEmpty() && !invalid_) player_->play();
  }

  void Stop() override {
    if (player_) player_->stop();
  }

  void Close() override {
    if (!player_) return;
    player_->stop();
    player_->setSource(QUrl());
    invalid_ = false;
  }

  State Mode() const override {
    if (!player_ || player_->source().isEmpty()) return State::Closed;
    if (invalid_) return State::Invalid;
    if (player_->playbackState() == QMediaPlayer::PlayingState) return State::Playing;
    switch (player_->mediaStatus()) {
      case QMediaPlayer::NoMedia:
      case QMediaPlayer::LoadingMedia: return State::Loading;
      case QMediaPlayer::InvalidMedia: return State::Invalid;
      case QMediaPlayer::EndOfMedia: return State::Stopped;
      default: return player_->playbackState() == QMediaPlayer::StoppedState ? State::Loaded : State::Stopped;
    }
  }

  QString ErrorText() const override {
    if (!error_.isEmpty()) return error_;
    return "The file cannot be played: it is not a music file that this computer can decode.";
  }

 private:
  bool EnsurePlayer() {
    if (player_) return true;
    audio_ = std::make_unique<QAudioOutput>();
    player_ = std::make_unique<QMediaPlayer>();
    player_->setAudioOutput(audio_.get());
    QObject::connect(player_.get(), &QMediaPlayer::mediaStatusChanged, player_.get(),
                     [this](QMediaPlayer::MediaStatus status) {
                       if (status == QMediaPlayer::InvalidMedia) invalid_ = true;
                       Changed();
                       if (status == QMediaPlayer::EndOfMedia && listener_.ended) listener_.ended();
                     });
    QObject::connect(player_.get(), &QMediaPlayer::errorOccurred, player_.get(),
                     [this](QMediaPlayer::Error error, const QString& text) {
                       if (error == QMediaPlayer::NoError) return;
                       const bool wasPlaying = player_->playbackState() == QMediaPlayer::PlayingState;
                       invalid_ = true;
                       error_ = text;
                       Changed();
                       // A song that fails while it plays is over: the play list goes on.
                       if (wasPlaying && listener_.ended) listener_.ended();
                     });
    QObject::connect(player_.get(), &QMediaPlayer::playbackStateChanged, player_.get(), [this] { Changed(); });
    return true;
  }

  void Changed() {
    if (listener_.changed) listener_.changed();
  }

  std::unique_ptr<QAudioOutput> audio_;
  std::unique_ptr<QMediaPlayer> player_;
  Listener listener_;
  bool invalid_ = false;
  QString error_;
};

}  // namespace

std::unique_ptr<MusicPlayer> CreateMusicPlayer() { return std::make_unique<QtMusicPlayer>(); }

}  // namespace media
