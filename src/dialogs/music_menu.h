#pragma once
// The music list: the list-style menu filled with the play list's rows,
// placed above the "Music" panel. The way of a right click on the panel:
// the table window's frame asks the music (media::Music::ShowMusicMenu),
// which opens this list and waits; the list window (FrmMenu) notes the
// chosen row, or removes a song at a right click on it; when the list
// closes, RunChosenRow hands the row to the music. It is the music's menu
// from its making to its end.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

#include "media/music.h"

namespace play {
class FrmPlay;
struct MenuState;
}  // namespace play

namespace dialogs {

class Dialogs;

// Where the music list opens, in screen pixels: its middle 200 twips right
// of the "Music" panel's left edge, its bottom 100 twips above the status
// bar, and all of it on the screen.
QPoint MusicMenuPlace(int panelLeft, int statusBarTop, QSize menu, const QRect& screen);

class MusicListMenu : public media::MusicMenu {
 public:
  // The list is the music's menu, opened through dialogs above the table's
  // "Music" panel; menu is the menus' state the list window reports in.
  MusicListMenu(media::Music& music, play::MenuState& menu, play::FrmPlay& table, Dialogs& dialogs);
  ~MusicListMenu() override;

  bool MenuOpen() const override;
  void CloseMenu() override;
  void ShowMusicList() override;

 private:
  // Runs the row chosen in the music list, if one was.
  void RunChosenRow();

  media::Music& music_;
  play::MenuState& menu_;
  std::optional<int> chosenRow_;  // the row chosen in the list open now
  play::FrmPlay& table_;
  Dialogs& dialogs_;
};

}  // namespace dialogs
