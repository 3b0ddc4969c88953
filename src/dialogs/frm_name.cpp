#include "dialogs/frm_name.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWindow>

#include "media/folders.h"
#include "platform/recordfile.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/version.h"
#include "platform/wait.h"
#include "play/faces/menu_windows.h"
#include "play/records/player.h"
#include "play/records/player_record.h"
#include "play/start_up.h"
#include "play/state/utilities.h"
#include "play/window/frm_play.h"

namespace dialogs {

namespace {

constexpr int kWidth = 330, kHeight = 170;

QString StoredName(const platform::RecordFile& players, int n) {
  return vb::TrimRecord(play::PlayerRecord::Decode(players.Read(n)).Name);
}

}  // namespace

PlayerList ListPlayers(const platform::RecordFile& players, int CurrentPlayer) {
  PlayerList list;
  bool stoppedAtEmpty = CurrentPlayer == 0;
  if (play::IsPlayerRecordNumber(CurrentPlayer)) {
    list.names << StoredName(players, CurrentPlayer);
    for (int i = play::kFirstPlayerRecord; i <= play::kLastPlayerRecord; ++i) {
      if (i == CurrentPlayer) continue;
      const QString name = StoredName(players, i);
      if (name.isEmpty()) {
        stoppedAtEmpty = true;
        break;
      }
      list.names << name;
    }
  }
  if (stoppedAtEmpty) list.names << QString();
  list.full = !stoppedAtEmpty;
  return list;
}

QString PlayerNameOf(const QString& typed) { return vb::Trim(vb::Trim(typed).left(play::kNameWidth)); }

PlayerSlot FindPlayerSlot(const platform::RecordFile& players, const QString& name) {
  for (int i = play::kFirstPlayerRecord; i <= play::kLastPlayerRecord; ++i) {
    const QString stored = StoredName(players, i);
    if (stored.isEmpty()) return {i, true};
    if (stored == name) return {i, false};
  }
  return {};
}

FrmName::FrmName(const NameDialogParts& parts, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint), p_(parts) {
  setObjectName("frmName");
  setFixedSize(kWidth, kHeight);
  const table::TablePictures& pictures = p_.table.pictures;
  marble_ = pictures.marble;
  imgTop = new QLabel(this);
  imgTop->setScaledContents(true);
  imgTop->setPixmap(QPixmap::fromImage(pictures.menuBandMetal));
  imgTop->setGeometry(0, 0, kWidth, 34);
  Label1 = new QLabel("Please enter or select a player name for score keeping.", this);
  Label1->setWordWrap(true);
  Label1->setGeometry(20, 44, kWidth - 40, 40);
  Label1->installEventFilter(this);
  Combo1 = new QComboBox(this);
  Combo1->setObjectName("Combo1");
  Combo1->setEditable(true);
  Combo1->setInsertPolicy(QComboBox::NoInsert);
  Combo1->setGeometry(20, 92, 200, 26);
  Combo1->lineEdit()->setMaxLength(64);
  cmdOK = new QPushButton("OK", this);
  cmdOK->setObjectName("cmdOK");
  cmdOK->setGeometry(236, 90, 74, 30);
  // The button's marble face is optional: without the picture it stays plain.
  // The style shades a button from its colour, which a picture brush lacks,
  // so the face is the flat button's filled background instead.
  const QImage face(p_.AppPath + "Data/Backgrounds/MarbleGrey.gif");
  if (!face.isNull()) {
    const QBrush marbleFace(face.convertToFormat(QImage::Format_RGB32));
    QPalette pal = cmdOK->palette();
    pal.setBrush(QPalette::Button, marbleFace);
    pal.setBrush(QPalette::Window, marbleFace);
    cmdOK->setPalette(pal);
    cmdOK->setFlat(true);
    cmdOK->setAutoFillBackground(true);
  }
  connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
  // Enter in the name box answers as the OK button does.
  connect(Combo1->lineEdit(), &QLineEdit::returnPressed, this, [this] { cmdOK_Click(); });
  const QRect main = p_.table.frameGeometry();
  move(main.left() + main.width() / 2 - width(), main.top() + main.height() / 2 - height());

  const PlayerList list = ListPlayers(p_.playersFile, p_.player.CurrentPlayer);
  Combo1->addItems(list.names);
  Combo1->setEditText(list.names.value(0));
  PlayerListFull = list.full;
}

void FrmName::cmdOK_Click() {
  platform::UiService& ui = p_.ui;
  // Compared and stored as the file keeps it, so " Ann " finds Ann and a
  // long name typed twice finds the player it made.
  const QString name = PlayerNameOf(Combo1->currentText());
  if (name.isEmpty()) {
    ui.MsgBox("Please enter a name...", platform::vbOKOnly | platform::vbExclamation, "Unknown Player");
    return;
  }
  if (play::ValidFileName(name, ui)) return;
  const play::PlayerSettings& player = p_.player;
  const PlayerSlot slot = FindPlayerSlot(p_.playersFile, name);
  if (slot.record == 0) {
    // Ten players are kept and the name is none of theirs. It is refused
    // only now, once confirmed: a kept player's name is typed like any
    // other, and what was typed stays to be put right.
    RefuseNewName();
    return;
  }
  if (slot.record == player.CurrentPlayer) {
    // The player in play again: nothing changes, and the game on the table
    // stays. The window has no Cancel, so a user who opened it by mistake
    // leaves it this way and must not lose the game for it.
    accepted_ = true;
    close();
    return;
  }
  hide();

  // The outgoing player keeps his settings.
  if (play::IsPlayerRecordNumber(player.CurrentPlayer)) p_.playerChanges.SaveCurrentPlayer();
  if (slot.isNew) {
    play::PlayerRecord rec = play::PlayerRecord::Decode(p_.playersFile.Read(play::kTemplateRecord));
    rec.Name = name.leftJustified(play::kNameWidth, u' ');
    if (!p_.playersFile.Write(slot.record, rec.Encode()) || !p_.playersFile.Flush()) {
      ui.MsgBox(play::PlayerFileResultText(play::PlayerFileResult::WriteFailed), platform::vbExclamation,
                platform::kProgramTitle);
      show();
      return;
    }
  }
  if (p_.playerChanges.ChangePlayer(static_cast<std::int16_t>(slot.record)) == play::PlayerFileResult::Ok && slot.isNew)
    p_.table.FitMainWindow();
  p_.table.RedrawTable();
  p_.table.ClearTable();
  p_.table.ShowLogo(true);
  p_.table.cmdDeal->show();
  accepted_ = true;
  close();
}

void FrmName::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (marble_.isNull()) {
    painter.fillRect(rect(), QColor(200, 200, 196));
  } else {
    painter.drawTiledPixmap(rect(), QPixmap::fromImage(marble_));
  }
}

void FrmName::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && windowHandle()) windowHandle()->startSystemMove();
}

// Esc leaves the window as the player in play: it is the Cancel the window
// lacks. Before the first player is named there is nothing to go back to,
// and the window closes only through an accepted name.
void FrmName::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    if (play::IsPlayerRecordNumber(p_.player.CurrentPlayer)) {
      accepted_ = true;
      close();
    }
    return;
  }
  QWidget::keyPressEvent(event);
}

void FrmName::RefuseNewName() {
  p_.ui.MsgBox(
      "There are already 10 players. If you want to add a new player, you'll have to remove a "
      "player first.\r\nTo delete a player, go to Game Menu and select Scores & Stats",
      platform::vbOKOnly | platform::vbInformation, "10 Players Max");
}

void FrmName::closeEvent(QCloseEvent* event) {
  if (!accepted_ && !p_.wait.Exiting()) event->ignore();
}

bool FrmName::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Label1 && event->type() == QEvent::MouseButtonPress) {
    mousePressEvent(static_cast<QMouseEvent*>(event));
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace dialogs
