#pragma once
// The program's music: the play list in memory and on disk, the
// add-song chooser, the music menu above the "Music" panel and the list
// that plays song after song. Songs go through the MP3 command layer.
// Nothing ever waits for a song: the list moves on when the player reports
// that a song has ended.

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

#include "media/folders.h"
#include "media/mp3_playback.h"
#include "platform/built_later.h"

namespace platform {
class SettingsStore;
class SoundChannel;
class UiService;
class WaitService;
class WriteFailures;
}  // namespace platform

namespace media {

// The list-style menu as the music menu uses it. The menu draws its rows
// from SongNames() and calls the row operations of Music when a row is
// chosen.
class MusicMenu {
 public:
  virtual ~MusicMenu() = default;
  // A list menu (any of them) is open.
  virtual bool MenuOpen() const = 0;
  // Unloads the open list menu; MenuOpen() answers false afterwards.
  virtual void CloseMenu() = 0;
  // Fills the list menu with the music rows, places it above the "Music"
  // panel and shows it without waiting; MenuOpen() answers true until a
  // row is chosen or the menu is closed.
  virtual void ShowMusicList() = 0;
};

// The music-menu command just chosen.
enum class MusicChoice : std::int16_t { None = 0, PlayAll = 1, NextSong = 2 };

struct MusicState {
  QStringList PlayList;                    // full paths of the songs, in play order (song i at i - 1)
  std::int16_t StartSong = 0;              // the song the list starts at, from 1
  std::int16_t CurrentSong = 0;            // the song the list plays, or the one last chosen in the menu
  bool StopMusic = false;                  // a stop was asked for; the list honours and clears it
  MusicChoice Choice = MusicChoice::None;  // what the music menu asked to play
  QString SongPath;                        // the file chosen in the add-song chooser; empty when cancelled
  QString SongTitle;                       // its file name
  QString LastMusicFolder;                 // where the add-song chooser opens
  bool MusicUnavailable = false;           // music cannot play here; the menu does nothing
};

struct MusicServices {
  const Folders& folders;
  platform::WaitService& wait;
  platform::UiService& ui;
  platform::SettingsStore& settings;
  platform::SoundChannel& sound;  // the menu sound
  std::function<bool()> soundOn;  // the player's game sounds are on
  QString title;                  // the program's name, for its message boxes
  // Called after the list has moved on to the next song from the event
  // queue: starting a song waits, and a close asked for meanwhile is
  // completed then.
  std::function<void()> commandDone;
  platform::WriteFailures* writeFailures;  // told when the list file cannot be written; null: nobody
  // Called when opening the first song found that music cannot play here.
  std::function<void()> turnedUnavailable = {};
  // The music list menu that the Music panel opens; none: no menu.
  platform::BuiltLater<MusicMenu> menu = {};
};

inline constexpr char kAddSongTitle[] = "Add Song to Play List";
inline constexpr char kMusicFilter[] = "Music (*.mp3;*.mid;*.wav;*.au;*.snd)|*.mp3;*.mid;*.wav;*.au;*.snd";
inline constexpr char kHeadingSoundFile[] = "~107.tmp";  // a menu heading is clicked
inline constexpr char kNoMusicText[] = "No music";

// The table window's Music panel: the list menu above it, and the song and
// the list it stops.
class MusicPanel {
 public:
  virtual ~MusicPanel() = default;
  // A right click on the panel: the music menu, until it closes.
  virtual void ShowMusicMenu() = 0;
  virtual bool MusicUnavailable() const = 0;
  virtual bool IsMP3Playing() const = 0;
  virtual QString StopMP3() = 0;
  // Asks the play list to stop instead of going on.
  virtual void RequestStopMusic() = 0;
};

class Music : public MusicPanel {
 public:
  // player may be null: music is then unavailable. Whether music can play
  // is asked of the player once, here.
  Music(MusicServices services, std::unique_ptr<MusicPlayer> player);
  ~Music() override;
  Music(const Music&) = delete;
  Music& operator=(const Music&) = delete;

  // Start and leaving.
  bool MusicUnavailable() const override { return state_.MusicUnavailable; }
  MusicUnavailableCause UnavailableCause() const { return cause_; }
  // Reads the list file (writing the default list first when it is
  // missing), drops blank lines and songs whose files are gone, and writes
  // the list back when that changed it.
  void LoadMusicList();
  // Writes the list file; false (the old file untouched, the user told)
  // when it cannot.
  bool SaveMusicList();
  // Writes the default list (the intro tune) when there is no list file;
  // an existing list is kept.
  void CreateDefaultMusicList();
  // Ends the list and stops the song.
  void CleanUp();

  // The music commands.
  QString PlayMP3(const QString& FileName) { return commands_.PlayMP3(FileName); }
  bool IsMP3Playing() const override { return commands_.IsMP3Playing(); }
  QString StopMP3() override { return commands_.StopMP3(); }
  // The End key and a left click on the "Music" panel: ends a running list.
  void RequestStopMusic() override;

  void PlaySong(const QString& FileName);
  // Plays the list once from StartSong to the song that is last now.
  void PlayMusicList();
  void AddSongToPlayList();
  // A right click on the "Music" panel: opens the music menu, waits until
  // it closes, then starts the list when "Play All" or "Next Song" was chosen.
  void ShowMusicMenu() override;

  // What the music menu's rows do.
  QStringList SongNames() const;
  void AddSongRow();
  void PlayAllRow();
  void NextSongRow();
  // Song i (from 1): plays it alone.
  void SongRow(int song);
  // Removes song i (from 1) and writes the list; false when there is no such song.
  bool RemoveSong(int song);

  // The list menu; null until one is joined (the music menu then shows nothing).
  const MusicState& state() const { return state_; }
  MusicState& state() { return state_; }
  // A list is playing (started by "Play All" or "Next Song" and not over).
  bool ListPlaying() const { return listActive_; }

 private:
  QString ListPath() const;
  // Songs inside the program's folder (the intro tune it ships) are listed
  // relative to it, so that they are found wherever the folder stands.
  QString ListedSong(const QString& line) const;
  QStringList ListLines(const QStringList& songs) const;
  // True when nothing failed; else the user is told why the list could not
  // be written.
  bool TellWhenNotWritten(const QString& reason);
  void PlayFrom(int song);
  void SongEnded();
  void EndList();

  MusicServices s_;
  std::unique_ptr<MusicPlayer> player_;
  MusicUnavailableCause cause_;
  Mp3Commands commands_;
  MusicState state_;
  QObject queue_;  // the list's next step runs from the event queue
  bool listActive_ = false;
  int listEnd_ = 0;       // the last song of the running list, taken when it started
  int nextSong_ = 0;      // the song the running list plays next
  unsigned listRun_ = 0;  // a newer list replaces an older one
};

}  // namespace media
