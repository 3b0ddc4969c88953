#include "platform/sound.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

namespace platform {

namespace {

// One media player serves every sound, so that starting a sound cuts the
// one playing. Playback is asynchronous: Play only hands the file to the
// player. Without an audio device the player reports an error that nobody
// needs to hear about, and the sound is silence.
class QtSoundChannel : public SoundChannel {
 public:
  void Play(const QString& file) override {
    Stop();
    if (file.isEmpty() || !QFileInfo(file).isFile()) return;
    if (!player_) {
      audio_ = std::make_unique<QAudioOutput>();
      player_ = std::make_unique<QMediaPlayer>();
      player_->setAudioOutput(audio_.get());
    }
    player_->setSource(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
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
};

}  // namespace

std::unique_ptr<SoundChannel> CreateSoundChannel() { return std::make_unique<QtSoundChannel>(); }

}  // namespace platform
