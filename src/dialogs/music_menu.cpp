#include "dialogs/music_menu.h"

#include <QScreen>
#include <algorithm>

#include "dialogs/frm_menu.h"
#include "dialogs/menu_dialogs.h"
#include "dialogs/menu_rows.h"
#include "platform/system.h"
#include "play/faces/menu_windows.h"
#include "play/window/frm_play.h"

namespace dialogs {

namespace {
constexpr int kAddSongRow = 0, kPlayAllRow = 1, kNextSongRow = 2;
}  // namespace

QPoint MusicMenuPlace(int panelLeft, int statusBarTop, QSize menu, const QRect& screen) {
  const int left = panelLeft - menu.width() / 2 + platform::TwipsToPixels(200);
  const int top = statusBarTop - menu.height() - platform::TwipsToPixels(100);
  return {std::clamp(left, screen.left(), std::max(screen.left(), screen.right() + 1 - menu.width())),
          std::clamp(top, screen.top(), std::max(screen.top(), screen.bottom() + 1 - menu.height()))};
}

MusicListMenu::MusicListMenu(media::Music& music, play::MenuState& menu, play::FrmPlay& table, Dialogs& dialogs)
    : music_(music), menu_(menu), table_(table), dialogs_(dialogs) {}

MusicListMenu::~MusicListMenu() = default;

bool MusicListMenu::MenuOpen() const { return menu_.MenuOpen; }

void MusicListMenu::CloseMenu() {
  play::MenuState& menu = menu_;
  dialogs_.UnloadList();
  menu.MenuOpen = false;
  RunChosenRow();
}

void MusicListMenu::RunChosenRow() {
  play::MenuState& menu = menu_;
  if (!chosenRow_) return;
  const int row = *chosenRow_;
  chosenRow_.reset();
  menu.MenuNumber = 0;
  menu.MenuRow = 0;
  media::Music& music = music_;
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
  play::MenuState& menu = menu_;
  chosenRow_.reset();
  dialogs_.LoadList(
      kMusicMenu, music_.SongNames(),
      play::ListAnswers{[this](int command) { chosenRow_ = command; }, [this] { menu_.MenuOpen = false; }});
  menu.MenuNumber = kMusicMenu;
  menu.MenuOpen = true;
  play::FrmPlay& w = table_;
  const QPoint panel = w.StatusBar1->mapToGlobal(QPoint(w.MusicPanelLeft, 0));
  const FrmMenu* list = dialogs_.ListWindow();
  const QSize size = list ? list->frameGeometry().size() : QSize();
  const QRect screen = w.screen() ? w.screen()->availableGeometry() : QRect(QPoint(), size);
  const QPoint place = MusicMenuPlace(panel.x(), panel.y(), size, screen);
  dialogs_.ShowList(platform::PixelsToTwips(place.x()), platform::PixelsToTwips(place.y()));
}

}  // namespace dialogs
