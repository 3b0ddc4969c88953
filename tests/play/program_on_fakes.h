#pragma once
// The whole program offscreen on the shipped data, for the tests that run
// it: scripted boxes and sounds, no waits, no card decks, the settings in a
// temporary home; and the windows and network parts it is joined to standing
// in as fakes. A test that builds a real window on the program's parts (the
// dialogs, the tutorial, the scores window) hands the fake's calls on to it.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/folders.h"
#include "media/mp3_playback.h"
#include "media/music.h"
#include "platform/settings.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "play/game_program.h"
#include "play/joined_parts.h"
#include "support/fake_sound_channel.h"
#include "support/fake_ui.h"
#include "support/temp_home.h"

namespace testing_support {

// Every part the program is joined to, offline and without windows: each
// does nothing unless a real one is handed in (dialogs, tutorial, scores),
// and what the menus and a first start ask is recorded. A first start
// shows nothing.
class JoinedFakes : public play::TutorialWindow,
                    public play::NetworkPlay,
                    public play::OnlineGoodbye,
                    public play::OnlineExchange,
                    public play::OnlineRestoreCommand,
                    public table::BackgroundFollower,
                    public play::SplashWindow,
                    public play::MenuDialogs,
                    public play::ScoresWindow,
                    public play::PreferencesWindow,
                    public media::MusicMenu {
 public:
  play::JoinedParts Parts() {
    return play::JoinedParts{*this, *this, *this, *this, *this, *this, *this, firstStart, *this, *this, *this, *this};
  }

  // The real windows, once a test has built them.
  play::TutorialWindow* tutorial = nullptr;
  play::MenuDialogs* dialogs = nullptr;
  media::MusicMenu* musicMenu = nullptr;
  play::ScoresWindow* scores = nullptr;

  std::vector<std::string> calls;  // "tutorial", "internet", "net restore", as the menus ask
  std::vector<int> scoreTabs;      // the tabs the scores window was asked for
  int splashShown = 0;
  bool splashOpen = false;
  // A first start's player window and tutorial, counted.
  struct FirstStart : play::FirstStartWindows {
    void ShowPlayerWindow() override { ++playerWindows; }
    void ShowTutorial() override { ++tutorials; }
    int playerWindows = 0;
    int tutorials = 0;
  } firstStart;

  // play::TutorialWindow
  void OpenTutorial() override {
    calls.push_back("tutorial");
    if (tutorial) tutorial->OpenTutorial();
  }
  bool LeaveTutorial() override {
    calls.push_back("leave tutorial");
    return !tutorial || tutorial->LeaveTutorial();
  }
  void EnableNextTip(bool enabled) override {
    if (tutorial) tutorial->EnableNextTip(enabled);
  }
  void ShowTutorialNext() override {
    if (tutorial) tutorial->ShowTutorialNext();
  }
  void TutorialStockTurned() override {
    if (tutorial) tutorial->TutorialStockTurned();
  }
  void HideTutorialHand() override {
    if (tutorial) tutorial->HideTutorialHand();
  }
  void MainWindowMinimised() override {
    if (tutorial) tutorial->MainWindowMinimised();
  }
  void MainWindowRestored() override {
    if (tutorial) tutorial->MainWindowRestored();
  }
  void AppendTipText(const QString& text) override {
    if (tutorial) tutorial->AppendTipText(text);
  }
  void HidePointingHand() override {
    if (tutorial) tutorial->HidePointingHand();
  }
  // play::NetworkPlay
  void SetupInternet() override { calls.push_back("internet"); }
  void LoadNetPlayerList() override {}
  void FollowMainWindow(bool) override {}
  // play::OnlineGoodbye
  void SayGoodbye() override {}
  void CloseNetFile() override {}
  // play::OnlineExchange: never asked without a peer.
  bool HostGameStart() override { return false; }
  bool RemoteGameStart() override { return false; }
  void WhoseTurn() override {}
  bool Move_Transmit_PlayCard(const play::OnlineMove&) override { return false; }
  void Opponent(play::MoveServices&) override {}
  void SendEndGame(bool) override {}
  void ExchangeReset() override {}
  void AcknowledgeFinalMove() override {}
  void AppendResultToChat(const QString&) override {}
  // play::OnlineRestoreCommand
  void NetRestoreGame() override { calls.push_back("net restore"); }
  // table::BackgroundFollower
  void FollowBackground(const QImage*, std::uint32_t) override {}
  // media::MusicMenu
  bool MenuOpen() const override { return musicMenu && musicMenu->MenuOpen(); }
  void CloseMenu() override {
    if (musicMenu) musicMenu->CloseMenu();
  }
  void ShowMusicList() override {
    if (musicMenu) musicMenu->ShowMusicList();
  }
  // play::SplashWindow
  void Show() override {
    ++splashShown;
    splashOpen = true;
  }
  void Unload() override { splashOpen = false; }
  bool IsOpen() const override { return splashOpen; }
  // play::MenuDialogs: without the real ones a list closes as it opens.
  void ShowPlayerWindow() override {
    if (dialogs) dialogs->ShowPlayerWindow();
  }
  void LoadList(int MenuId, const QStringList& songs, play::ListAnswers answers) override {
    if (dialogs) return dialogs->LoadList(MenuId, songs, std::move(answers));
    listClosed_ = std::move(answers.closed);
  }
  void ShowList(int leftTwips, int topTwips) override {
    if (dialogs) return dialogs->ShowList(leftTwips, topTwips);
    if (listClosed_) listClosed_();
  }
  void UnloadList() override {
    if (dialogs) dialogs->UnloadList();
  }
  play::SaveChoice ShowSaveDialog(int mode, bool savingNetGame) override {
    return dialogs ? dialogs->ShowSaveDialog(mode, savingNetGame) : play::SaveChoice{};
  }
  bool ShowMatchDialog() override { return dialogs && dialogs->ShowMatchDialog(); }
  void ShowSpeedWindow() override {
    if (dialogs) dialogs->ShowSpeedWindow();
  }
  void ShowAboutWindow() override {
    if (dialogs) dialogs->ShowAboutWindow();
  }
  // play::ScoresWindow
  void ShowScores(int tab) override {
    scoreTabs.push_back(tab);
    if (scores) scores->ShowScores(tab);
  }
  bool ScoresOpen() const override { return scores && scores->ScoresOpen(); }
  void UnloadScoresWindow() override {
    if (scores) scores->UnloadScoresWindow();
  }
  // play::PreferencesWindow
  void ShowPreferences() override {}

 private:
  std::function<void()> listClosed_;
};

// A screen that many pixels wide, 1024 high, with a task bar.
inline platform::ScreenMetrics WideScreen(int width) {
  platform::ScreenMetrics screen;
  screen.widthPixels = width;
  screen.heightPixels = 1024;
  screen.availWidth = width;
  screen.availHeight = 984;
  return screen;
}

// How the program is set up: the folders (with the seed files in place),
// the screen, the random generator's seed and the music player.
struct ProgramSetUp {
  media::Folders folders;
  platform::ScreenMetrics screen = WideScreen(1280);
  std::uint32_t seed = 1;
  std::unique_ptr<media::MusicPlayer> musicPlayer;  // none: music is unavailable
};

// The program as set up, its settings in `home`, joined to `joined`. The
// boxes and sounds are fakes; `ui` and `sound` point to them.
inline std::unique_ptr<play::Program> MakeProgram(ProgramSetUp setUp, const TempHome& home, JoinedFakes& joined,
                                                  platform::FakeUi** ui = nullptr,
                                                  platform::FakeSoundChannel** sound = nullptr) {
  auto fakeUi = std::make_unique<platform::FakeUi>();
  auto fakeSound = std::make_unique<platform::FakeSoundChannel>();
  if (ui) *ui = fakeUi.get();
  if (sound) *sound = fakeSound.get();
  play::ProgramParts parts;
  parts.folders = std::move(setUp.folders);
  parts.screen = setUp.screen;
  parts.ui = std::move(fakeUi);
  parts.sound = std::move(fakeSound);
  parts.settingsStore = std::make_unique<platform::IniSettingsStore>(home.ConfigHome());
  parts.seed = setUp.seed;
  parts.cardDeckRoot = home.Path() + "/no-card-decks";
  parts.musicPlayer = std::move(setUp.musicPlayer);
  auto program = std::make_unique<play::Program>(std::move(parts), joined.Parts());
  program->wait().SetTimeScale(0);
  return program;
}

}  // namespace testing_support
