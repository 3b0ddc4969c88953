#include "media/mp3_playback.h"

#include <QFileInfo>

#include "platform/ui.h"
#include "platform/wait.h"

namespace media {

QString MusicUnavailableText(MusicUnavailableCause cause) {
  switch (cause) {
    case MusicUnavailableCause::None: return {};
    case MusicUnavailableCause::NoAudioOutput:
      return "The game cannot play music: the sound server's client library (libpulse-simple) is missing. "
             "Install the package libpulse0 and start the game again.";
    case MusicUnavailableCause::NoMp3Decoder:
      return "The game cannot decode MP3 music: GStreamer's plug-ins are missing. Install the packages "
             "gstreamer1.0-plugins-good and gstreamer1.0-plugins-base and start the game again.";
    case MusicUnavailableCause::NoPlayer:
      return "No media player could be started, so the game cannot play music. Check that GStreamer "
             "and its plug-ins are installed, then start the game again.";
  }
  return {};
}

Mp3Commands::Mp3Commands(MusicPlayer* player, platform::WaitService& wait, platform::UiService& ui, QString title)
    : player_(player), wait_(wait), ui_(ui), title_(std::move(title)) {}

QString Mp3Commands::PlayMP3(const QString& FileName) {
  StopMP3();
  if (FileName.isEmpty() || !QFileInfo(FileName).isFile()) return kPlayInputError;
  if (!player_) return kPlayInputError;
  player_->Open(FileName);
  // The player tells asynchronously whether it can play the file. A file
  // still loading when the wait ends is played anyway: the player starts it
  // once it is loaded, and a failure then ends the song like its end would.
  wait_.WaitUntil([this] { return player_->Mode() != MusicPlayer::State::Loading; }, kOpenWaitSeconds);
  if (wait_.Exiting()) {
    StopMP3();
    return {};
  }
  if (player_->Mode() == MusicPlayer::State::Invalid) {
    const QString text = player_->ErrorText();
    player_->Close();
    ui_.MsgBox(text, platform::vbOKOnly | platform::vbCritical, title_);
    return text;
  }
  player_->Play();
  return kPlaySuccess;
}

bool Mp3Commands::IsMP3Playing() const { return player_ && player_->Mode() == MusicPlayer::State::Playing; }

QString Mp3Commands::StopMP3() {
  if (player_) {
    player_->Stop();
    player_->Close();
  }
  return {};
}

}  // namespace media
