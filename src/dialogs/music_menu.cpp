#include "dialogs/music_menu.h"

#include "dialogs/frm_menu.h"
#include "dialogs/menu_dialogs.h"
#include "dialogs/menu_rows.h"
#include "play/game_program.h"

namespace dialogs {

namespace {
constexpr int kTwipsPerPixel = 15;
constexpr int kAddSongRow = 0, kPlayAllRow = 1, kNextSongRow = 2;
}  // namespace

MusicListMenu::MusicListMenu(play::Program& program, Dialogs& dialogs) : program_(program), dialogs_(dialogs) {
  program_.music().SetMenu(this);
}

MusicListMenu::~MusicListMenu() { program_.music().SetMenu(nullptr); }

bool MusicListMenu::MenuOpen() const { return program_.menus().Menu.MenuOpen; }

void MusicListMenu::CloseMenu() {
  play::MenuState& menu = program_.menus().Menu;
  dialogs_.UnloadList();
  menu.MenuOpen = false;
  RunChosenRow();
}

void MusicListMenu::RunChosenRow() {
  play::MenuState& menu = program_.menus().Menu;
  if (!menu.MenuChosen || menu.MenuNumber != kMusicMenu) return;
  const int row = menu.MenuRow;
  menu.MenuChosen = false;
  menu.MenuNumber = 0;
  menu.MenuRow = 0;
  media::Music& music = program_.music();
  // The list may have lost songs while it was open (a right click on a song).
  const int songCount = static_cast<int>(music.SongNames().size());
  if (row == kAddSongRow) {
    music.AddSongRow();
  } else if (songCount >= 2 && row == kPlayAllRow) {
    music.PlayAllRow();
  } else if (songCount >= 2 && row == kNextSongRow) {
    music.NextSongRow();
  } else if (const int song = SongOfRow(row, songCount); song != 0) {
    music.SongRow(song);
  }
}

void MusicListMenu::ShowMusicList() {
  play::MenuState& menu = program_.menus().Menu;
  dialogs_.LoadList(kMusicMenu, program_.music().SongNames());
  menu.MenuChosen = false;
  menu.MenuOpen = true;
  // Above the "Music" panel, its left edge at the panel's.
  play::FrmPlay& w = program_.frmPlay();
  const QPoint panel = w.StatusBar1->mapToGlobal(QPoint(w.MusicPanelLeft, 0));
  const FrmMenu* list = dialogs_.ListWindow();
  const int height = list ? list->height() : 0;
  dialogs_.ShowList(panel.x() * kTwipsPerPixel, (panel.y() - height) * kTwipsPerPixel);
}

}  // namespace dialogs
