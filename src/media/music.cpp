#include "media/music.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include "media/music_list_file.h"
#include "platform/settings.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/wait.h"
#include "platform/write_failures.h"

namespace media {

namespace {

// What the add-song command reports when the list cannot be written.
constexpr char kFileAccessErrorText[] = "Path/File access error";

MusicUnavailableCause AskPlayer(MusicPlayer* player) {
  return player ? player->Availability() : MusicUnavailableCause::NoPlayer;
}

}  // namespace

Music::Music(MusicServices services, std::unique_ptr<MusicPlayer> player)
    : s_(std::move(services)),
      player_(std::move(player)),
      cause_(AskPlayer(player_.get())),
      commands_(cause_ == MusicUnavailableCause::None ? player_.get() : nullptr, s_.wait, s_.ui, s_.title) {
  state_.MusicUnavailable = cause_ != MusicUnavailableCause::None;
  if (player_ && !state_.MusicUnavailable) {
    MusicPlayer::Listener listener;
    listener.changed = [this] { s_.wait.Wake(); };
    // The next song starts from the event queue, not inside the player's
    // own report.
    listener.ended = [this] {
      const unsigned run = listRun_;
      QTimer::singleShot(0, &queue_, [this, run] {
        if (run != listRun_) return;
        SongEnded();
        if (s_.commandDone) s_.commandDone();
      });
    };
    listener.unavailable = [this](MusicUnavailableCause cause) {
      cause_ = cause;
      state_.MusicUnavailable = true;
      EndList();
      commands_.Disable();
      if (s_.turnedUnavailable) s_.turnedUnavailable();
    };
    player_->SetListener(std::move(listener));
  }
}

Music::~Music() {
  if (player_) player_->SetListener({});
}

QString Music::ListPath() const { return s_.folders.UserPath + kMusicListFile; }

void Music::LoadMusicList() {
  state_.PlayList.clear();
  if (!QFileInfo::exists(ListPath())) CreateDefaultMusicList();
  bool asWritten = false;
  const std::optional<QStringList> lines = ReadMusicListFile(ListPath(), &asWritten);
  // A list that cannot be read is left as it is, never replaced by an empty one.
  if (!lines) return;
  QStringList songs;
  for (const QString& line : *lines) {
    // A song deleted or moved since it was added leaves the list.
    if (const QString song = ListedSong(line); QFileInfo(song).isFile()) songs << song;
  }
  state_.PlayList = songs;
  // A list that is as it should be is not written again: a start on a full
  // disk has nothing to lose.
  if (!asWritten || ListLines(songs) != *lines) SaveMusicList();
}

bool Music::SaveMusicList() { return TellWhenNotWritten(WriteMusicListFile(ListPath(), ListLines(state_.PlayList))); }

QString Music::ListedSong(const QString& line) const {
  if (QDir::isRelativePath(line)) return s_.folders.AppPath + line;
  // A list written before the program folder moved (or by a version that
  // kept the whole path) still finds the song shipped with the program.
  const QString shipped = QStringLiteral("/") + kIntroFile;
  if (line.endsWith(shipped) && !QFileInfo(line).isFile()) return s_.folders.AppPath + kIntroFile;
  return line;
}

QStringList Music::ListLines(const QStringList& songs) const {
  QStringList lines;
  for (const QString& song : songs)
    lines << (song.startsWith(s_.folders.AppPath) ? song.mid(s_.folders.AppPath.size()) : song);
  return lines;
}

bool Music::TellWhenNotWritten(const QString& reason) {
  if (reason.isEmpty()) return true;
  if (s_.writeFailures) s_.writeFailures->WriteFailed(ListPath(), reason);
  return false;
}

void Music::CreateDefaultMusicList() {
  if (QFileInfo::exists(ListPath()) || QFileInfo(ListPath()).isSymLink()) return;
  TellWhenNotWritten(WriteMusicListFile(ListPath(), ListLines({s_.folders.AppPath + kIntroFile})));
}

void Music::CleanUp() {
  EndList();
  StopMP3();
}

void Music::RequestStopMusic() {
  state_.StopMusic = true;
  if (listActive_) {
    state_.StopMusic = false;
    EndList();
  }
}

void Music::PlaySong(const QString& FileName) {
  if (s_.wait.Exiting()) return;
  if (state_.StopMusic) {
    state_.StopMusic = false;
    return;
  }
  if (IsMP3Playing()) StopMP3();
  PlayMP3(FileName);
}

void Music::PlayMusicList() {
  ++listRun_;
  listActive_ = true;
  listEnd_ = static_cast<int>(state_.PlayList.size());
  PlayFrom(state_.StartSong);
}

// Plays songs from the given one until one is playing (its end brings the
// next) or the list is over. A song that cannot be played is passed over.
void Music::PlayFrom(int song) {
  const unsigned run = listRun_;
  for (int i = std::max(song, 1); listActive_ && run == listRun_ && i <= listEnd_; ++i) {
    if (s_.wait.Exiting()) break;
    // Songs may have been removed while the list played.
    if (i > state_.PlayList.size()) break;
    state_.CurrentSong = static_cast<std::int16_t>(i);
    nextSong_ = i + 1;
    PlaySong(state_.PlayList[i - 1]);
    // PlaySong waits for the player: a stop or a newer list may have come meanwhile.
    if (!listActive_ || run != listRun_) return;
    if (IsMP3Playing()) return;
  }
  if (run == listRun_) EndList();
}

void Music::SongEnded() {
  if (!listActive_) return;
  if (s_.wait.Exiting()) {
    EndList();
    return;
  }
  if (state_.StopMusic) {
    state_.StopMusic = false;
    EndList();
    return;
  }
  PlayFrom(nextSong_);
}

void Music::EndList() {
  listActive_ = false;
  ++listRun_;
}

void Music::AddSongToPlayList() {
  QString folder =
      s_.settings.GetSetting(platform::kSettingsApp, platform::kSettingsSection, kMusicSettingKey, QString());
  state_.LastMusicFolder = folder.isEmpty() || !FolderExists(folder) ? s_.folders.DocsPath : folder;

  platform::OpenFileRequest request;
  request.title = kAddSongTitle;
  request.initialFolder = state_.LastMusicFolder;
  request.filter = kMusicFilter;
  const std::optional<platform::ChosenFile> chosen = s_.ui.GetOpenFileName(request);
  if (!chosen || chosen->path.isEmpty()) return;

  state_.SongPath = chosen->path;
  state_.SongTitle = chosen->title;
  state_.LastMusicFolder = QFileInfo(chosen->path).absolutePath();
  state_.PlayList.append(state_.SongPath);
  s_.settings.SaveSetting(platform::kSettingsApp, platform::kSettingsSection, kMusicSettingKey, state_.LastMusicFolder);
  if (!WriteMusicListFile(ListPath(), ListLines(state_.PlayList)).isEmpty()) {
    s_.ui.MsgBox(platform::ProblemText(platform::kFileAccessError, QString(": ") + kFileAccessErrorText),
                 platform::vbExclamation, s_.title);
  }
}

void Music::ShowMusicMenu() {
  if (state_.MusicUnavailable) return;
  if (s_.soundOn && s_.soundOn()) s_.sound.Play(s_.folders.DataPath + kHeadingSoundFile);
  if (!s_.menu) return;
  if (s_.menu->MenuOpen()) {
    s_.menu->CloseMenu();
    return;
  }
  state_.Choice = MusicChoice::None;
  state_.StopMusic = false;
  s_.menu->ShowMusicList();
  s_.wait.WaitUntil([this] { return !s_.menu || !s_.menu->MenuOpen(); });
  if (s_.menu) s_.menu->CloseMenu();
  if (state_.Choice == MusicChoice::PlayAll || state_.Choice == MusicChoice::NextSong) PlayMusicList();
}

QStringList Music::SongNames() const {
  QStringList names;
  for (const QString& song : state_.PlayList) names << FileNameOnly(song);
  return names;
}

void Music::AddSongRow() {
  state_.SongPath.clear();
  AddSongToPlayList();
  if (!state_.SongPath.isEmpty()) PlaySong(state_.SongPath);
}

void Music::PlayAllRow() {
  if (IsMP3Playing()) StopMP3();
  s_.wait.Yield();
  state_.Choice = MusicChoice::PlayAll;
  state_.StartSong = 1;
}

void Music::NextSongRow() {
  if (IsMP3Playing()) StopMP3();
  s_.wait.Yield();
  state_.Choice = MusicChoice::NextSong;
  const int next = state_.CurrentSong + 1;
  state_.StartSong = static_cast<std::int16_t>(next > state_.PlayList.size() ? 1 : next);
}

void Music::SongRow(int song) {
  if (song < 1 || song > state_.PlayList.size()) return;
  PlaySong(state_.PlayList[song - 1]);
  state_.CurrentSong = static_cast<std::int16_t>(song);
}

bool Music::RemoveSong(int song) {
  if (song < 1 || song > state_.PlayList.size()) return false;
  state_.PlayList.removeAt(song - 1);
  SaveMusicList();
  return true;
}

}  // namespace media
