#include "media/music.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <atomic>

#include "media/music_list_file.h"
#include "platform/settings.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/wait.h"
#include "platform/write_failures.h"
#include "support/child_process.h"
#include "support/fake_music_player.h"
#include "support/fake_sound_channel.h"
#include "support/fake_ui.h"
#include "support/missing_sound_server.h"
#include "support/temp_home.h"
#include "support/test_files.h"

namespace media {
namespace {

// The list menu as the music menu drives it; a test scripts what the
// user does while it is open.
class FakeMusicMenu : public MusicMenu {
 public:
  bool MenuOpen() const override { return open; }
  void CloseMenu() override { open = false; }
  void ShowMusicList() override {
    ++shown;
    open = true;
    if (onShow)
      QTimer::singleShot(0, [this] {
        onShow();
        open = false;
      });
  }
  bool open = false;
  int shown = 0;
  std::function<void()> onShow;
};

class MusicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folders.AppPath = home.Path() + "/app/";
    folders.DataPath = home.Path() + "/data/";
    folders.UserPath = home.Path() + "/user/";
    folders.DocsPath = home.Path() + "/docs";
    for (const QString& f : {folders.AppPath, folders.DataPath, folders.UserPath, folders.DocsPath}) QDir().mkpath(f);
    WriteFile(folders.AppPath + "Data/intro.mp3", "intro");
    for (const char* name : {"one.mp3", "two.mp3", "three.mp3"}) WriteFile(Song(name), "song");
    wait.SetTimeScale(0);
  }

  QString Song(const QString& name) const { return home.Path() + "/songs/" + name; }
  QString ListFile() const { return folders.UserPath + kMusicListFile; }

  std::unique_ptr<Music> Make(MusicUnavailableCause cause = MusicUnavailableCause::None) {
    auto p = std::make_unique<FakeMusicPlayer>();
    p->cause = cause;
    player = p.get();
    auto m = std::make_unique<Music>(MusicServices{folders,
                                                   wait,
                                                   ui,
                                                   settings,
                                                   sound,
                                                   [this] { return soundOn; },
                                                   "Marrowdale",
                                                   [this] { ++commandsDone; },
                                                   &failures,
                                                   {},
                                                   &menu},
                                     std::move(p));
    return m;
  }

  void RunEvents() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  // The files opened by the player, by name.
  std::vector<QString> Opened() const {
    std::vector<QString> names;
    for (const QString& entry : player->log)
      if (entry.startsWith("open ")) names.push_back(FileNameOnly(entry.mid(5)));
    return names;
  }

  TempHome home;
  Folders folders;
  platform::WaitService wait;
  platform::FakeUi ui;
  platform::WriteFailures failures{ui};
  platform::IniSettingsStore settings{home.ConfigHome()};
  platform::FakeSoundChannel sound;
  bool soundOn = true;
  int commandsDone = 0;
  FakeMusicMenu menu;
  FakeMusicPlayer* player = nullptr;
};

TEST_F(MusicTest, LoadingDropsBlankAndMissingLinesAndRewritesTheListWithCrLf) {
  WriteFile(ListFile(), (Song("one.mp3") + "\r\n\r\n   \n" + Song("gone.mp3") + "\n" + Song("two.mp3")).toUtf8());
  auto music = Make();
  music->LoadMusicList();
  EXPECT_EQ(music->state().PlayList, (QStringList{Song("one.mp3"), Song("two.mp3")}));
  EXPECT_EQ(FileBytes(ListFile()), (Song("one.mp3") + "\r\n" + Song("two.mp3") + "\r\n").toUtf8());
  EXPECT_EQ(music->SongNames(), (QStringList{"one.mp3", "two.mp3"}));

  // A first start keeps the list the player already has; a missing list
  // becomes the intro tune alone.
  music->CreateDefaultMusicList();
  music->LoadMusicList();
  EXPECT_EQ(music->state().PlayList.size(), 2);
  QFile::remove(ListFile());
  music->LoadMusicList();
  EXPECT_EQ(music->state().PlayList, QStringList{folders.AppPath + "Data/intro.mp3"});
  EXPECT_EQ(FileBytes(ListFile()), QByteArray("Data/intro.mp3\r\n"));
}

TEST_F(MusicTest, TheShippedSongIsFoundWhereverTheProgramFolderStands) {
  // A list written while the program stood elsewhere, with the whole path.
  WriteFile(ListFile(), ("/old/place/of/the/program/Data/intro.mp3\r\n" + Song("one.mp3") + "\r\n").toUtf8());
  auto music = Make();
  music->LoadMusicList();
  EXPECT_EQ(music->state().PlayList, (QStringList{folders.AppPath + "Data/intro.mp3", Song("one.mp3")}));
  EXPECT_EQ(FileBytes(ListFile()), ("Data/intro.mp3\r\n" + Song("one.mp3") + "\r\n").toUtf8());

  // The folder moves again: the list finds the song and needs no change.
  const QByteArray written = FileBytes(ListFile());
  folders.AppPath = home.Path() + "/moved/";
  WriteFile(folders.AppPath + "Data/intro.mp3", "intro");
  auto moved = Make();
  moved->LoadMusicList();
  EXPECT_EQ(moved->state().PlayList, (QStringList{folders.AppPath + "Data/intro.mp3", Song("one.mp3")}));
  EXPECT_EQ(FileBytes(ListFile()), written);
}

TEST_F(MusicTest, PlayAllPlaysTheListOnceAndNextSongWraps) {
  WriteFile(ListFile(), (Song("one.mp3") + "\r\n" + Song("two.mp3") + "\r\n" + Song("three.mp3")).toUtf8());
  auto music = Make();
  music->LoadMusicList();

  music->PlayAllRow();
  music->PlayMusicList();
  EXPECT_TRUE(music->IsMP3Playing());
  for (int i = 0; i < 3; ++i) {
    player->FinishSong();
    RunEvents();
  }
  EXPECT_EQ(Opened(), (std::vector<QString>{"one.mp3", "two.mp3", "three.mp3"}));
  EXPECT_FALSE(music->ListPlaying()) << "the list never wraps to its first song";
  EXPECT_EQ(commandsDone, 3) << "each step from the queue may complete a close asked for meanwhile";
  EXPECT_FALSE(music->IsMP3Playing());

  // After the last song, Next Song starts again at the first.
  EXPECT_EQ(music->state().CurrentSong, 3);
  music->NextSongRow();
  EXPECT_EQ(music->state().StartSong, 1);
  EXPECT_EQ(music->state().Choice, MusicChoice::NextSong);
  music->SongRow(2);
  music->NextSongRow();
  EXPECT_EQ(music->state().StartSong, 3);
}

TEST_F(MusicTest, StopsRemovalsAndNewerListsNeverLetAnOldListGoOn) {
  WriteFile(ListFile(), (Song("one.mp3") + "\r\n" + Song("two.mp3") + "\r\n" + Song("three.mp3")).toUtf8());
  auto music = Make();
  music->LoadMusicList();

  // End while the list plays: the song stops and the list ends.
  music->PlayAllRow();
  music->PlayMusicList();
  music->StopMP3();
  music->RequestStopMusic();
  EXPECT_FALSE(music->ListPlaying());
  EXPECT_FALSE(music->state().StopMusic) << "the list honoured the stop and cleared it";
  player->FinishSong();
  RunEvents();
  EXPECT_EQ(Opened(), std::vector<QString>{"one.mp3"});

  // Songs removed while the list plays: it plays what is left and stops.
  player->log.clear();
  music->PlayAllRow();
  music->PlayMusicList();
  ASSERT_TRUE(music->RemoveSong(3));
  ASSERT_TRUE(music->RemoveSong(2));
  EXPECT_FALSE(music->RemoveSong(5));
  player->FinishSong();
  RunEvents();
  EXPECT_EQ(Opened(), std::vector<QString>{"one.mp3"});
  EXPECT_FALSE(music->ListPlaying());
  EXPECT_EQ(FileBytes(ListFile()), (Song("one.mp3") + "\r\n").toUtf8());

  // A newer list replaces the running one: the older one's end is ignored.
  WriteFile(ListFile(), (Song("one.mp3") + "\r\n" + Song("two.mp3") + "\r\n" + Song("three.mp3")).toUtf8());
  music->LoadMusicList();
  player->log.clear();
  music->PlayAllRow();
  music->PlayMusicList();
  player->FinishSong();          // the end of song 1 is queued...
  music->state().StartSong = 3;  // ...when a newer list replaces this one
  music->PlayMusicList();
  RunEvents();
  EXPECT_EQ(Opened(), (std::vector<QString>{"one.mp3", "three.mp3"}));
  EXPECT_TRUE(music->ListPlaying()) << "the old list's end does not end the new one";
  player->FinishSong();
  RunEvents();
  EXPECT_EQ(Opened(), (std::vector<QString>{"one.mp3", "three.mp3"}));
  EXPECT_FALSE(music->ListPlaying());
}

TEST_F(MusicTest, AnUnplayableSongShowsItsBoxAndTheListGoesOn) {
  WriteFile(ListFile(), (Song("one.mp3") + "\r\n" + Song("two.mp3")).toUtf8());
  auto music = Make();
  music->LoadMusicList();
  player->invalid = {Song("one.mp3")};
  music->PlayAllRow();
  music->PlayMusicList();
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, player->error);
  EXPECT_EQ(ui.boxes[0].icon(), platform::vbCritical);
  EXPECT_EQ(Opened(), (std::vector<QString>{"one.mp3", "two.mp3"}));
  EXPECT_TRUE(music->IsMP3Playing());
  EXPECT_EQ(music->state().CurrentSong, 2);
}

TEST_F(MusicTest, AddingASong) {
  auto music = Make();
  music->LoadMusicList();
  const QByteArray before = FileBytes(ListFile());

  // Cancelled: nothing changes, nothing plays; a remembered folder that is
  // gone makes the chooser open in the documents folder.
  settings.SaveSetting("Brackwell", "Marrowdale4", "Music", home.Path() + "/moved-away");
  music->AddSongRow();
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_EQ(ui.fileRequests[0].title, "Add Song to Play List");
  EXPECT_EQ(ui.fileRequests[0].initialFolder, folders.DocsPath);
  EXPECT_EQ(FileBytes(ListFile()), before);
  EXPECT_EQ(settings.GetSetting("Brackwell", "Marrowdale4", "Music", ""), home.Path() + "/moved-away");
  EXPECT_TRUE(player->log.empty());

  // Chosen: appended, written, its folder remembered, and played at once.
  ui.files.push_back(platform::ChosenFile{Song("two.mp3"), "two.mp3"});
  music->AddSongRow();
  EXPECT_EQ(music->state().PlayList.back(), Song("two.mp3"));
  EXPECT_EQ(FileBytes(ListFile()), before + (Song("two.mp3") + "\r\n").toUtf8());
  EXPECT_EQ(settings.GetSetting("Brackwell", "Marrowdale4", "Music", ""), home.Path() + "/songs");
  EXPECT_EQ(Opened(), std::vector<QString>{"two.mp3"});
  music->AddSongRow();
  EXPECT_EQ(ui.fileRequests.back().initialFolder, home.Path() + "/songs");
}

TEST_F(MusicTest, AListThatCannotBeWrittenKeepsItsBytesAndIsToldOnce) {
  const QByteArray list = (Song("one.mp3") + "\r\n" + Song("two.mp3") + "\r\n" + Song("three.mp3") + "\r\n").toUtf8();
  WriteFile(ListFile(), list);
  // No room for a song: every write of the list fails.
  const int status = testing_support::InChildUnderFileSizeLimit(8, [&] {
    auto music = Make();
    music->LoadMusicList();
    if (FileBytes(ListFile()) != list) return 10;
    if (!music->RemoveSong(3) || !music->RemoveSong(2)) return 11;
    if (FileBytes(ListFile()) != list) return 12;
    if (ui.boxes.size() != 1 || !ui.boxes[0].text.contains("File too large")) return 13;
    return 0;
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(FileBytes(ListFile()), list);
}

TEST_F(MusicTest, TheMusicMenuStartsTheListItsRowChose) {
  WriteFile(ListFile(), (Song("one.mp3") + "\r\n" + Song("two.mp3")).toUtf8());
  auto music = Make();
  music->LoadMusicList();
  music->RequestStopMusic();  // an End key with no list running
  menu.onShow = [&] { music->PlayAllRow(); };
  music->ShowMusicMenu();
  EXPECT_EQ(menu.shown, 1);
  EXPECT_EQ(sound.played, std::vector<QString>{folders.DataPath + "~107.tmp"});
  EXPECT_TRUE(music->ListPlaying());
  EXPECT_EQ(Opened(), std::vector<QString>{"one.mp3"}) << "opening the menu cleared the old stop";

  // A right click while a menu is open closes it.
  menu.open = true;
  music->ShowMusicMenu();
  EXPECT_FALSE(menu.open);
  EXPECT_EQ(menu.shown, 1);

  // Leaving the table ends the list and the song.
  music->CleanUp();
  EXPECT_FALSE(music->ListPlaying());
  EXPECT_FALSE(music->IsMP3Playing());
}

TEST_F(MusicTest, WithoutAnAudioOutputNothingPlaysAndTheMenuStaysShut) {
  auto music = Make(MusicUnavailableCause::NoAudioOutput);
  EXPECT_TRUE(music->MusicUnavailable());
  EXPECT_FALSE(MusicUnavailableText(music->UnavailableCause()).isEmpty());
  EXPECT_EQ(music->PlayMP3(folders.AppPath + "Data/intro.mp3"), "Error with input file");
  music->ShowMusicMenu();
  music->LoadMusicList();
  music->PlaySong(Song("one.mp3"));
  EXPECT_TRUE(player->log.empty());
  EXPECT_EQ(menu.shown, 0);
  EXPECT_TRUE(sound.played.empty());
  EXPECT_FALSE(music->IsMP3Playing());
}

// The real player on a machine that may have no sound server running:
// music is not off for the run on that account (it is heard once a server
// runs), and asking and playing return at once and nothing escapes.
TEST(MusicPlayer, TheRealPlayerNeverHangsWithoutASoundDevice) {
  qputenv("QT_MEDIA_BACKEND", "gstreamer");
  TempHome home;
  Folders folders;
  folders.AppPath = QString(MARROWDALE_SOURCE_DIR) + "/";
  folders.UserPath = home.Path() + "/";
  platform::WaitService wait;
  platform::FakeUi ui;
  platform::IniSettingsStore settings(home.ConfigHome());
  platform::FakeSoundChannel sound;
  Music music(MusicServices{folders, wait, ui, settings, sound, {}, "Marrowdale", {}, nullptr},
              CreateMusicPlayer(platform::CreateSoundServer()));
  EXPECT_NE(music.UnavailableCause(), MusicUnavailableCause::NoAudioOutput);
  music.PlayMP3(folders.AppPath + "Data/intro.mp3");
  wait.Pause(0.05);
  EXPECT_EQ(music.StopMP3(), "");
  EXPECT_FALSE(music.IsMP3Playing());
  EXPECT_TRUE(ui.boxes.empty()) << ui.boxes.front().text.toStdString();
}

// Without a sound server the song keeps its time by the clock alone: not a
// sample of it is read, and it still ends, so that the list goes on.
TEST(MusicPlayer, WithoutAServerNothingIsReadAndTheSongStillEnds) {
  // A quarter of a second of silence that counts its reads.
  class CountedSong : public SongDecoder {
   public:
    explicit CountedSong(std::shared_ptr<std::atomic<int>> reads) : reads_(std::move(reads)) {}
    platform::SoundFormat Format() const override { return {22050, 1}; }
    qint64 Frames() override { return 22050 / 4; }
    QByteArray Read(qint64 frames) override {
      ++*reads_;
      const qint64 n = std::min(frames, Frames() - at_);
      at_ += n;
      return QByteArray(n * 2, '\0');
    }
    bool Seek(qint64 frame) override {
      at_ = frame;
      return true;
    }

   private:
    std::shared_ptr<std::atomic<int>> reads_;
    qint64 at_ = 0;
  };
  auto reads = std::make_shared<std::atomic<int>>(0);
  SongDecoders decoders;
  decoders.availability = [] { return MusicUnavailableCause::None; };
  decoders.open = [reads](const QString&, QString&) -> std::unique_ptr<SongDecoder> {
    return std::make_unique<CountedSong>(reads);
  };
  auto server = std::make_shared<MissingSoundServer>();
  std::unique_ptr<MusicPlayer> player = CreateMusicPlayer(server, decoders);
  bool ended = false;
  player->SetListener({{}, [&] { ended = true; }, {}});
  ASSERT_EQ(player->Availability(), MusicUnavailableCause::None);
  platform::WaitService wait;
  player->Open("song.mp3");
  ASSERT_TRUE(wait.WaitUntil([&] { return player->Mode() != MusicPlayer::State::Loading; }, 30));
  ASSERT_EQ(player->Mode(), MusicPlayer::State::Loaded);
  player->Play();
  EXPECT_TRUE(wait.WaitUntil([&] { return ended; }, 30)) << "the song never ended";
  EXPECT_EQ(player->Mode(), MusicPlayer::State::Stopped);
  EXPECT_GE(server->tries, 1) << "the server was never asked for";
  EXPECT_EQ(*reads, 0) << "the song was read with no one to hear it";
}

}  // namespace
}  // namespace media
