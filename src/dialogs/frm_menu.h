#pragma once
// The list-style menu window: a frameless window kept on top, with a band
// picture across its top and one list of menu rows. It is not a popup of
// the window system, which would swallow the click on another heading.

#include <QListWidget>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "dialogs/menu_rows.h"
#include "platform/keep_on_top.h"

class QLabel;

namespace media {
class Music;
}
namespace platform {
class WaitService;
}
namespace play {
class FrmPlay;
class MenuCommands;
struct NetState;
struct PlayerSettings;
struct ScoreState;
}  // namespace play

namespace dialogs {

// The list box: reports the pointer and presses to its window.
class MenuList : public QListWidget {
  Q_OBJECT
 public:
  explicit MenuList(QWidget* parent);
  int TabStopPixels = 0;  // where the shortcut texts line up
 signals:
  void hovered(QPoint at);
  void pressed(Qt::MouseButton button, QPoint at);

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
};

// What the list window reads and runs.
struct MenuListParts {
  play::FrmPlay& table;                // the band pictures, the option popups, the status bar
  const play::PlayerSettings& player;  // the band's style and the options the popups show
  const play::ScoreState& scores;      // whether a match is on
  const play::NetState& net;           // whether the game is online
  play::MenuCommands& menus;           // the commands a row or key runs
  media::Music& music;                 // the songs of the Music list
  platform::WaitService& wait;         // woken when the list closes
};

class FrmMenu : public QWidget {
  Q_OBJECT
 public:
  explicit FrmMenu(const MenuListParts& parts, QWidget* parent = nullptr);
  ~FrmMenu() override;

  // Fills the list with the rows of the menu and sizes the window.
  void LoadList(int MenuId, const QStringList& songs = {});
  // The window's place, in twips of the screen.
  void Place(int leftTwips, int topTwips);
  // Closes the window: out of the topmost band, closed told, released
  // once its events are done.
  void Unload();

  MenuList* List1 = nullptr;
  QLabel* imgTop[2] = {nullptr, nullptr};
  const std::vector<MenuListRow>& Rows() const { return rows_; }
  // Chooses the row under the point of the list, as a mouse press does.
  void List1_MouseDown(Qt::MouseButton button, QPoint at);

 signals:
  // A row was chosen: its command number. The window closes next.
  void chosen(int command);
  // The window closed, with a choice or without.
  void closed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Fill();
  void Chosen();
  QPoint PopupPoint() const;

  MenuListParts p_;
  platform::Class1 onTop_;
  int menuId_ = 0;
  int row_ = 0;  // the command of the row pressed last
  QStringList songs_;
  std::vector<MenuListRow> rows_;
  bool unloaded_ = false;
};

}  // namespace dialogs
