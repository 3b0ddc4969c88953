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
#include "play/program_on_fakes.h"
#include "play/records/player_record.h"
#include "support/fake_music_player.h"
#include "support/fake_sound_channel.h"
#include "support/fake_ui.h"
#include "support/temp_home.h"

namespace dialogs::testing_support {

class MenuProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    folders = *media::SetUpFolders(QString(MARROWDALE_SOURCE_DIR) + "/");
    ASSERT_TRUE(media::CopySeedFiles(folders).ok());
    Make();
  }
  void Make() {
    ::testing_support::ProgramSetUp setUp;
    setUp.folders = folders;
    setUp.seed = 20261209;
    if (withMusic) {
      auto player = std::make_unique<media::FakeMusicPlayer>();
      fakePlayer = player.get();
      setUp.musicPlayer = std::move(player);
    }
    program = ::testing_support::MakeProgram(std::move(setUp), home, windows, &fakeUi, &fakeSound);
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
  // The connection's state as network play would leave it.
  void SetConn(std::int16_t index) { program->NetParts().net.NetConnIndex = index; }
  void SetHost(bool host) { program->NetParts().net.NetIsHost = host ? play::kNetHost : play::kNetRemote; }
  void SetPeerVersion(const QString& version) { program->NetParts().net.NetPeerInfo[1].Version = version; }
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
  ::testing_support::JoinedFakes windows;  // the windows and network parts, recording; real dialogs are handed in
  std::function<void()> popupChoice;
  bool withMusic = false;  // a fake player, set before SetUp; without it music is unavailable
  media::FakeMusicPlayer* fakePlayer = nullptr;
  std::unique_ptr<play::Program> program;
};

}  // namespace dialogs::testing_support
