#pragma once
// What a table window runs on in the tests: pile arrays, state and settings
// of its own, a wait that takes no time, scripted boxes, the card sounds
// recorded and the shipped pictures. A fixture derives from it so that its
// window, declared after, is built on services that already exist. The
// game's window runs on the game's own state, which holds the table's.

#include "platform/ui.h"
#include "platform/wait.h"
#include "support/fake_ui.h"
#include "support/temp_home.h"
#include "table/card_table.h"
#include "table/fake_sound_effects.h"

namespace testing_support {

template <class State = table::GameState>
struct TableRigOf {
  TableRigOf() { wait.SetTimeScale(0); }

  table::CardTableServices Services() {
    return {piles, state, settings, wait, ui, &sounds, SourceFile("Data/pictures")};
  }

  table::PileArrays piles;
  State state;
  table::TableSettings settings;
  platform::WaitService wait;
  platform::FakeUi ui;
  FakeSoundEffects sounds;
};
using TableRig = TableRigOf<>;

// The table laid out at its design size, every pile and control in place.
inline void LayOutAtDesignSize(table::CardTable& table) {
  table.resize(1210, 770);
  table.SetFixedSizes();
  table.SetEmptyPilePictures();
  table.ArrangePiles();
  table.ArrangeControls();
}

}  // namespace testing_support
