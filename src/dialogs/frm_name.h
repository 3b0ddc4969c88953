#pragma once
// The player window: a borderless modal window in which the user picks a
// player from the list or types a new name. The name selects one of the
// ten player records, whose settings and scores then come into force.

#include <QString>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

namespace platform {
class RecordFile;
class UiService;
class WaitService;
}  // namespace platform
namespace play {
class FrmPlay;
class PlayerChanges;
struct PlayerSettings;
}  // namespace play

namespace dialogs {

// The names the list offers: the current player first, then the others in
// record order up to the first empty record, then an empty entry when there
// is room for a new player. full: all ten records hold a name.
struct PlayerList {
  QStringList names;
  bool full = false;
};
PlayerList ListPlayers(const platform::RecordFile& players, int CurrentPlayer);

// A typed name as the players file keeps it: without surrounding blanks,
// at most 20 characters.
QString PlayerNameOf(const QString& typed);

// What accepting a name comes to: a known player (record 1..10), a new
// player in the first empty record, or nothing when all ten are taken.
struct PlayerSlot {
  int record = 0;
  bool isNew = false;
};
PlayerSlot FindPlayerSlot(const platform::RecordFile& players, const QString& name);

// What the player window reads and changes.
struct NameDialogParts {
  play::FrmPlay& table;  // its pictures; cleared for the new player
  platform::UiService& ui;
  platform::WaitService& wait;         // an exit meanwhile lets the window close
  platform::RecordFile& playersFile;   // the names; a new player is written here
  const play::PlayerSettings& player;  // the player in play
  play::PlayerChanges& playerChanges;  // saving the outgoing player, loading the chosen one
  QString AppPath;                     // where the button's marble face is found
};

class FrmName : public QWidget {
  Q_OBJECT
 public:
  explicit FrmName(const NameDialogParts& parts, QWidget* parent = nullptr);

  void cmdOK_Click();
  bool Accepted() const { return accepted_; }

  QLabel* Label1 = nullptr;
  QComboBox* Combo1 = nullptr;
  QPushButton* cmdOK = nullptr;
  QLabel* imgTop = nullptr;
  bool PlayerListFull = false;  // ten players are kept: a name none of theirs is refused

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The "10 Players Max" answer to a new name.
  void RefuseNewName();

  NameDialogParts p_;
  QImage marble_;
  bool accepted_ = false;
};

}  // namespace dialogs
