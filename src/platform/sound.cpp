#include "platform/sound.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

namespace platform {

namespace {

// One media player serves every sound, so that starting a sound cuts the
// one playing. Playback is asynchronous: Play only hands the file to the
// player. Without an audio device at the first sound the run stays silent
// and no player is made: the media pipeline, its sink unable to open,
// can lock up when handed the next file, freezing the table.
class QtSoundChannel : public SoundChannel {
 public:
  void Play(const QString& file) override {
    Stop();
    if (file.isEmpty() || !QFileInfo(file).isFile()) return;
    if (!player_) {
      if (silent_) return;
      if (QMediaDevices::audioOutputs().isEmpty()) {
        silent_ = true;
        return;
      }
      audio_ = std::make_unique<QAudioOutput>();
      player_ = std::make_unique<QMediaPlayer>();
      player_->setAudioOutput(audio_.get());
    }
    const QUrl source = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    // The player takes the source it already has for no change and only
    // rewinds, which can leave a repeat of the same sound silent: the file
    // is loaded afresh, as a new one is.
    if (player_->source() == source) player_->setSource(QUrl());
    player_->setSource(source);
    player_->play();
  }

  void Stop() override {
    if (player_) player_->stop();
  }

  ~QtSoundChannel() override {
    // The player lets go of its output before the output goes.
    if (player_) {
      player_->stop();
      player_->setAudioOutput(nullptr);
    }
    player_.reset();
  }

 private:
  std::unique_ptr<QAudioOutput> audio_;
  std::unique_ptr<QMediaPlayer> player_;
  bool silent_ = false;  // no audio device was there at the first sound
};

}  // namespace

std::unique_ptr<SoundChannel> CreateSoundChannel() { return std::make_unique<QtSoundChannel>(); }

}  // namespace platform
