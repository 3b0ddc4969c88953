#pragma once
// The whole program offscreen on a temporary home, with the shipped data,
// a scripted message box service and no waits, started.

#include <memory>

#include "media/folders.h"
#include "platform/ui.h"
#include "play/game_program.h"
#include "play/program_on_fakes.h"
#include "support/fake_ui.h"
#include "support/temp_home.h"

struct ProgramRig {
  explicit ProgramRig(int screenWidth = 1280) : ProgramRig(testing_support::WideScreen(screenWidth)) {}
  // On the screen the test runs on.
  explicit ProgramRig(const platform::ScreenMetrics& screen) {
    const auto folders = media::SetUpFolders(QString(MARROWDALE_SOURCE_DIR) + "/");
    ok = folders && media::CopySeedFiles(*folders).ok();
    if (!ok) return;
    testing_support::ProgramSetUp setUp;
    setUp.folders = *folders;
    setUp.screen = screen;
    program = testing_support::MakeProgram(std::move(setUp), home, joined, &ui);
    ok = program->Start();
  }

  TempHome home;
  bool ok = false;
  platform::FakeUi* ui = nullptr;
  testing_support::JoinedFakes joined;  // the tutorial a test builds is handed in here
  std::unique_ptr<play::Program> program;
};
