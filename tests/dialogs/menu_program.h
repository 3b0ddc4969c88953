#pragma once
// The whole program, offscreen, with scripted message boxes and sounds, for
// the tests of the menus and their windows.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "dialogs/menu_dialogs.h"
#include "media/folders.h"
#include "media/mp3_playback.h"
#include "platform/recordfile.h"
#include "platform/settings.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "play/game_program.h"
#include "play/player_record.h"
#include "support/temp_home.h"

namespace dialogs::testing_support {

// A program whose connection state a test sets.
class TestProgram : public play::Program {
 public:
  using play::Program::Program;
  void SetConn(std::int16_t index) { NetParts().net.NetConnIndex = index; }
};

// Windows of the other parts, recording what they were asked.
class FakeWindows : public play::CommandWindows {
 public:
  void ShowTutorial() override { calls.push_back("tutorial"); }
  void SetupInternet() override { calls.push_back("internet"); }
  void NetRestoreGame() override { calls.push_back("net restore"); }
  bool NetIsHost() const override { return host; }
  QString PeerVersion() const override { return peerVersion; }
  std::vector<std::string> calls;
  bool host = false;
  QString peerVersion = "40";
};

class FakeScores : public play::ScoresWindow {
 public:
  void ShowScores(int tab) override { tabs.push_back(tab); }
  bool ScoresOpen() const override { return false; }
  void UnloadScoresWindow() override {}
  std::vector<int> tabs;
};

class MenuProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    folders = *media::SetUpFolders(QString(MARROWDALE_SOURCE_DIR) + "/");
    ASSERT_TRUE(media::CopySeedFiles(folders).ok());
    Make();
  }
  void Make() {
    auto ui = std::make_unique<platform::FakeUi>();
    fakeUi = ui.get();
    auto sound = std::make_unique<platform::FakeSoundChannel>();
    fakeSound = sound.get();
    play::ProgramParts parts;
    parts.folders = folders;
    parts.screen.widthPixels = 1280;
    parts.screen.heightPixels = 1024;
    parts.screen.availWidth = 1280;
    parts.screen.availHeight = 984;
    parts.ui = std::move(ui);
    parts.sound = std::move(sound);
    parts.settingsStore = std::make_unique<platform::IniSettingsStore>(home.ConfigHome());
    parts.seed = 20261209;
    parts.cardDeckRoot = home.Path() + "/no-card-decks";
    if (withMusic) {
      auto player = std::make_unique<media::FakeMusicPlayer>();
      fakePlayer = player.get();
      parts.musicPlayer = std::move(player);
    }
    program = std::make_unique<TestProgram>(std::move(parts));
    program->wait().SetTimeScale(0);
    program->menus().SetWindows(&windows);
    program->SetScoresWindow(&scores);
    // Popups answer as the test says, at once.
    program->frmPlay().frmPic.SetPopupRunner([this](QMenu&, const QPoint&) {
      if (popupChoice) popupChoice();
    });
  }
  // A player named in record 3 and in the settings record.
  void AddLastPlayer(const QString& name) {
    platform::RecordFile file;
    ASSERT_TRUE(file.Open(folders.DataPath + "players4.sav", play::kPlayerRecordLength));
    play::PlayerRecord player = play::PlayerRecord::Decode(file.Read(play::kTemplateRecord));
    player.Name = name;
    ASSERT_TRUE(file.Write(3, player.Encode()));
    play::PlayerRecord settings = play::PlayerRecord::Decode(file.Read(play::kSettingsRecord));
    settings.SetLastPlayer(3);
    ASSERT_TRUE(file.Write(play::kSettingsRecord, settings.Encode()));
  }
  // Runs `step` once the event loop next turns, inside whatever waits then.
  static void Soon(std::function<void()> step) { QTimer::singleShot(0, std::move(step)); }
  play::FrmPlay& W() { return program->frmPlay(); }
  // The parts the menus' windows are built from, as the program hands them out.
  play::MenuWindowParts Parts() { return program->MenuWindowsParts(); }
  SaveDialogParts SaveParts() { return dialogs::SaveParts(Parts(), program->menus().Commands.SavingNetGame); }
  play::MenuCommands& M() { return program->menus(); }
  bool Has(const std::string& call) const {
    return std::find(windows.calls.begin(), windows.calls.end(), call) != windows.calls.end();
  }
  bool BoxShown(const QString& text) const {
    for (const auto& b : fakeUi->boxes)
      if (b.text == text) return true;
    return false;
  }

  TempHome home;
  media::Folders folders;
  platform::FakeUi* fakeUi = nullptr;
  platform::FakeSoundChannel* fakeSound = nullptr;
  FakeWindows windows;
  FakeScores scores;
  std::function<void()> popupChoice;
  bool withMusic = false;  // a fake player, set before SetUp; without it music is unavailable
  media::FakeMusicPlayer* fakePlayer = nullptr;
  std::unique_ptr<TestProgram> program;
};

}  // namespace dialogs::testing_support
