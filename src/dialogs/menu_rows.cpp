#include "dialogs/menu_rows.h"

#include "play/state/connection_index.h"

namespace dialogs {

namespace {

constexpr QChar kTab = u'\t';

MenuListRow Row(const QString& caption, int command, const QString& keys = {}) {
  return {keys.isEmpty() ? caption : caption + kTab + keys, command, false};
}
MenuListRow Separator(int command) { return {SeparatorText(), command, true}; }

std::vector<MenuListRow> GameRows(const MenuRowState& s) {
  return {Row("New Game", 0, "F2"),
          Row(s.MatchOn ? "End Match" : "Start Match", 1, "F3"),
          Row("Change/New Player", 2, "Ctrl+P"),
          Separator(3),
          Row("Save", 4, "Ctrl+S"),
          Row("Restore", 5, "Ctrl+R"),
          Separator(6),
          Row("Previous Turn", 7, "F4"),
          Row("Restart Current Game", 8, "Ctrl+F2"),
          Row("Declare Stalemate", 9, "Ctrl+X"),
          Separator(10),
          Row("Scores and Stats", 11, "F8"),
          Separator(12),
          Row("Exit", 13, "F12")};
}

std::vector<MenuListRow> OptionsRows() {
  return {Row("Speed", 0, "F5"),
          Row("Sound", 1),
          Row("Who Goes First", 2),
          Separator(3),
          Row("Preferences", 4, "F6"),
          Separator(5),
          Row("Structure    (CTRL+Up/Down arrows)", 6),
          Row("Background   (Up/Down arrows)", 7),
          Row("Add/Remove Background", 8)};
}

std::vector<MenuListRow> InternetRows(const MenuRowState& s) {
  std::vector<MenuListRow> rows;
  if (!play::IsOnline(s.NetConnIndex)) {
    rows.push_back(Row("Start Internet Game", 0, "F9"));
  } else {
    // F9 ends the connection at every moment, as it starts one.
    rows.push_back(Row(s.NetIsHost ? "Host - END Internet Game" : "Remote - END Internet Game", 0, "F9"));
  }
  rows.push_back(Row("Internet Game SCORES", 1));
  rows.push_back(Separator(2));
  if (!play::IsPeerPresent(s.NetConnIndex)) return rows;
  rows.push_back(Row("Save This Game", 3));
  if (!s.NetIsHost) return rows;
  // The host's rows show the keys that reach them: the table hands Ctrl+R,
  // Ctrl+F2 and Ctrl+X of a host to these rows, not to the Game menu's.
  rows.push_back(Row("SEND Saved Game", 4, "Ctrl+R"));
  rows.push_back(Separator(5));
  rows.push_back(Row("Backup to Previous Turn", 6, "F4"));
  rows.push_back(Row("Restart Current Game", 7, "Ctrl+F2"));
  rows.push_back(Row("Declare Stalemate", 8, "Ctrl+X"));
  rows.push_back(Separator(9));
  rows.push_back(Row(s.MatchOn ? "End Match" : "Start Match", 10, "F3"));
  rows.push_back(Row("New Game", 11, "F2"));
  return rows;
}

std::vector<MenuListRow> HelpRows(const MenuRowState& s) {
  return {Row("Help - User's Manual", 0, "F1"),
          Row("Tutorial", 1, "F7"),
          Row("Play Next Sample Game", 2),
          Separator(3),
          Row(s.StatusBarVisible ? "Hide Status Bar" : "Show Status Bar", 4, "Ctrl+F8"),
          Separator(5),
          Row("Visit the Internet Site", 7),
          Row("About", 8)};
}

std::vector<MenuListRow> MusicRows(const MenuRowState& s) {
  std::vector<MenuListRow> rows{Row("Add Song to Play List", 0)};
  const int n = static_cast<int>(s.Songs.size());
  if (n >= 2) {
    rows.push_back(Row("Play All", 1));
    rows.push_back(Row("Next Song", 2));
    rows.push_back(Separator(3));
  } else {
    rows.push_back(Separator(1));
  }
  for (const QString& song : s.Songs) rows.push_back(Row(song, static_cast<int>(rows.size())));
  return rows;
}

}  // namespace

QString SeparatorText() { return QString(kSeparatorDashes, QChar(0x2014)); }

std::vector<MenuListRow> BuildMenuRows(int MenuId, const MenuRowState& state) {
  switch (MenuId) {
    case 1: return GameRows(state);
    case 2: return OptionsRows();
    case 3: return InternetRows(state);
    case 4: return HelpRows(state);
    case 5: return MusicRows(state);
    default: return {};
  }
}

// The Internet menu is wider than first drawn: its longest caption,
// "Remote - END Internet Game", and the host's keys (Ctrl+F2) both fit.
int MenuTabStop(int MenuId) {
  switch (MenuId) {
    case 1:
    case 2:
    case 5: return 100;
    case 3: return 110;
    case 4: return 80;
    default: return 0;
  }
}

int MenuExtraWidth(int MenuId) {
  switch (MenuId) {
    case 1:
    case 2:
    case 5: return 600;
    case 3: return 900;
    case 4: return 300;
    default: return 0;
  }
}

int MenuBottomMargin(int MenuId, int songCount) {
  if (MenuId != 5) return 125;
  return songCount >= 2 ? 600 : 750;
}

int SongOfRow(int row, int songCount) {
  if (songCount >= 2) return row >= 4 && row <= songCount + 3 ? row - 3 : 0;
  return songCount == 1 && row == 2 ? 1 : 0;
}

}  // namespace dialogs
