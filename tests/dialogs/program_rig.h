#pragma once
// The whole program offscreen on a temporary home, with the shipped data,
// a scripted message box service and no waits.

#include <memory>

#include "media/folders.h"
#include "platform/settings.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "play/game_program.h"
#include "support/temp_home.h"

struct ProgramRig {
  explicit ProgramRig(int screenWidth = 1280) : ProgramRig(WideScreen(screenWidth)) {}
  // On the screen the test runs on.
  explicit ProgramRig(const platform::ScreenMetrics& screen) {
    const auto folders = media::SetUpFolders(QString(MARROWDALE_SOURCE_DIR) + "/");
    ok = folders && media::CopySeedFiles(*folders).ok();
    if (!ok) return;
    auto fake = std::make_unique<platform::FakeUi>();
    ui = fake.get();
    play::ProgramParts parts;
    parts.folders = *folders;
    parts.screen = screen;
    parts.ui = std::move(fake);
    parts.sound = std::make_unique<platform::FakeSoundChannel>();
    parts.settingsStore = std::make_unique<platform::IniSettingsStore>(home.ConfigHome());
    parts.seed = 1;
    parts.cardDeckRoot = home.Path() + "/no-card-decks";
    program = std::make_unique<play::Program>(std::move(parts));
    program->wait().SetTimeScale(0);
    ok = program->Start();
  }

  static platform::ScreenMetrics WideScreen(int width) {
    platform::ScreenMetrics screen;
    screen.widthPixels = width;
    screen.heightPixels = 1024;
    screen.availWidth = width;
    screen.availHeight = 984;
    return screen;
  }

  TempHome home;
  bool ok = false;
  platform::FakeUi* ui = nullptr;
  std::unique_ptr<play::Program> program;
};
