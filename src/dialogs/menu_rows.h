#pragma once
// The rows of the list-style menu: captions, shortcut texts and the command
// number each row hands over, for the state the program is in.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace dialogs {

struct MenuListRow {
  QString Text;     // caption, caption TAB shortcut, or the separator
  int Command = 0;  // handed over when the row is chosen
  bool Separator = false;
};

// What the rows depend on.
struct MenuRowState {
  bool MatchOn = false;
  std::int16_t NetConnIndex = 0;  // 0 offline, 99 waiting for a caller, else connected
  bool NetIsHost = false;
  bool StatusBarVisible = true;
  QStringList Songs;  // the play list's songs, in order, without their folders
};

// The menus by number (MenuId).
constexpr int kGameMenu = 1, kOptionsMenu = 2, kInternetMenu = 3, kHelpMenu = 4, kMusicMenu = 5;

constexpr int kSeparatorDashes = 21;
QString SeparatorText();

// The rows of menu 1 Game, 2 Options, 3 Internet, 4 Help, 5 Music; none for
// any other number.
std::vector<MenuListRow> BuildMenuRows(int MenuId, const MenuRowState& state);

// The tab stop in dialog units and how much wider than designed the list is
// (twips), by menu.
int MenuTabStop(int MenuId);
int MenuExtraWidth(int MenuId);
// The list's bottom margin in twips.
int MenuBottomMargin(int MenuId, int songCount);

// The play-list song a Music row plays (1-based), 0 for rows that hold none.
int SongOfRow(int row, int songCount);

}  // namespace dialogs
