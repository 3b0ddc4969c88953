#pragma once
// The music list: the list-style menu filled with the play list's rows,
// placed above the "Music" panel; a chosen row calls the music owner.

#include "media/music.h"

namespace play {
class Program;
}

namespace dialogs {

class Dialogs;

class MusicListMenu : public media::MusicMenu {
 public:
  MusicListMenu(play::Program& program, Dialogs& dialogs);
  ~MusicListMenu() override;

  bool MenuOpen() const override;
  void CloseMenu() override;
  void ShowMusicList() override;

 private:
  // Runs the row chosen in the music list, if one was.
  void RunChosenRow();

  play::Program& program_;
  Dialogs& dialogs_;
  int songCount_ = 0;  // the songs the open list was filled with
};

}  // namespace dialogs
