#include "dialogs/frm_save.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>

#include "dialogs/small_dialogs.h"
#include "platform/recordfile.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "play/game/new_game.h"
#include "play/records/saved_game_record.h"
#include "play/records/score_records.h"
#include "play/state/connection_index.h"
#include "play/state/net_state.h"

namespace dialogs {

namespace {

int Px(int twips) { return platform::TwipsToPixels(twips); }
const QString kOnlineMarker = QString::fromLatin1(play::kOnlineSavePrefix);
constexpr char kRestoreCaption[] = "RESTORE";

QString WithoutMarker(const QString& text) { return text.startsWith(kOnlineMarker) ? text.mid(2) : text; }

void SetColours(QLineEdit* box, const QColor& base, const QColor& text) {
  QPalette pal = box->palette();
  pal.setColor(QPalette::Base, base);
  pal.setColor(QPalette::Text, text);
  box->setPalette(pal);
}

}  // namespace

std::array<SlotView, 11> LoadSlots(bool restore, const platform::RecordFile& file) {
  std::array<SlotView, 11> views;
  for (int n = play::kFirstSaveSlot; n <= play::kLastSaveSlot; ++n) {
    // Past the end of a short file a slot reads as a record never written.
    const play::SavedGameRecord rec = play::SavedGameRecord::Decode(file.Read(n));
    const QString description = vb::Trim(rec.Description);
    if (restore) {
      views[n].Enabled = rec.CurrentTurn != table::Turn::None;
      views[n].Text = views[n].Enabled ? WithoutMarker(description) : QString();
    } else if (!rec.Description.isEmpty() && rec.Description.at(0) != QChar(0)) {
      views[n].Text = WithoutMarker(description);
    } else {
      views[n].Text = "game " + vb::Str(n);
    }
  }
  return views;
}

QString DefaultDescription(const DescriptionContext& c, const QDateTime& now) {
  if (c.SampleGameMode) return "Sample Game Number " + QString::number(c.SampleGameNumber);
  const QString prefix = c.MatchOn ? QString::fromLatin1(play::kMatchDescription) : QString();
  const QLocale locale;
  const QString stamp =
      locale.toString(now.date(), QLocale::ShortFormat) + "_" + locale.toString(now.time(), QLocale::ShortFormat);
  if (c.SavingNetGame) return prefix + "NET " + stamp + c.OtherPlayer;
  return prefix + stamp;
}

QString FinalDescription(const QString& slotText, int slot, bool MatchOn, bool netSave, bool connected) {
  QString text = vb::Trim(slotText);
  // Only the program marks a game as saved online; a marker typed by hand
  // would make an offline game impossible to restore.
  while (text.startsWith(kOnlineMarker)) text = vb::Trim(text.mid(2));
  if (text.isEmpty())
    text = (MatchOn ? QString::fromLatin1(play::kMatchDescription) : QString()) + "saved game" + vb::Str(slot);
  if (MatchOn && !text.startsWith(QLatin1String(play::kMatchPrefix)))
    text = QString::fromLatin1(play::kMatchDescription) + text;
  if (netSave && connected) text = kOnlineMarker + text;
  return text;
}

FrmSave::FrmSave(const SaveDialogParts& parts, QWidget* parent) : QWidget(parent, Qt::Dialog), p_(parts) {
  setObjectName("frmSave");
  setWindowTitle("Saved Games");
  setFixedSize(Px(4600), Px(6300));
  lblHelp = new QLabel(this);
  lblHelp->setGeometry(Px(300), Px(120), Px(4000), Px(600));
  lblHelp->setWordWrap(true);
  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(Px(600), Px(720), Px(3200), Px(240));
  lblDelete = new QLabel("Right-click a slot to deleted a saved game.", this);
  lblDelete->setGeometry(Px(300), Px(4980), Px(4000), Px(480));
  for (int i = 1; i <= kPreviousTurnSlot; ++i) {
    Text1[i] = new QLineEdit(this);
    Text1[i]->setObjectName(QString("Text1_%1").arg(i));
    Text1[i]->setGeometry(Px(600), Px(1200), Px(3200), Px(360));
    Text1[i]->setMaxLength(play::SavedGameRecord::kDescriptionWidth);
    Text1[i]->setContextMenuPolicy(Qt::NoContextMenu);
    Text1[i]->installEventFilter(this);
  }
  Text1[1]->setToolTip("Type in a descriptive name if you want!");
  Text1[kPreviousTurnSlot]->setText("Previous Turn");
  Text1[kPreviousTurnSlot]->setReadOnly(true);
  Text1[kPreviousTurnSlot]->setToolTip("Click the box to the right to enable AutoSave");
  cmdSave = new QPushButton(this);
  cmdSave->setObjectName("cmdSave");
  cmdSave->setGeometry(Px(3240), Px(5500), Px(1100), Px(396));
  Command2 = new QPushButton("Cancel", this);
  Command2->setObjectName("Command2");
  Command2->setGeometry(Px(2085), Px(5500), Px(1100), Px(396));
  connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  UseDialogKeys(*this, cmdSave, Command2);

  const QRect main = p_.table.frameGeometry();
  move(main.left() + width(), main.top() + height() / 3);
  SelectedSlot = 0;
  if (p_.state.CurrentTurn == table::Turn::None) Text1[kPreviousTurnSlot]->setEnabled(false);
}

bool FrmSave::Restoring() const { return cmdSave->text() == QLatin1String(kRestoreCaption); }

void FrmSave::LoadForm(int bRestore) {
  const bool restore = bRestore != 0;
  const std::array<SlotView, 11> views = LoadSlots(restore, p_.savedGamesFile);
  QString help;
  if (!restore) {
    setWindowTitle("Save Game");
    help =
        "Click on a slot below to SAVE this game.\r\nBackspace to type in a descriptive name instead of using the "
        "date.";
    lblDelete->setText("Clicking on an exisitng saved game slot\r\nwill save over an old game.");
    for (int n = 1; n <= 10; ++n) {
      SlotText[n] = views[n].Text;
      Text1[n]->setEnabled(true);
      Text1[n]->setText(SlotText[n]);
    }
    cmdSave->setText(p_.savingNetGame ? "NET SAVE" : "SAVE");
    Text1[kPreviousTurnSlot]->hide();
    Text1[1]->move(Text1[1]->x(), Px(1200));
  } else {
    help = "Click on a slot below to RESTORE\r\n a saved game:";
    for (int n = 1; n <= 10; ++n) {
      Text1[n]->setEnabled(views[n].Enabled);
      Text1[n]->setText(views[n].Text);
    }
    cmdSave->setText(kRestoreCaption);
    Text1[kPreviousTurnSlot]->setVisible(!play::IsOnline(p_.net.NetConnIndex));
    Text1[1]->move(Text1[1]->x(), Px(960));
  }
  lblHelp->setText(help);
  for (int n = 2; n <= kPreviousTurnSlot; ++n) Text1[n]->move(Text1[n]->x(), Text1[n - 1]->y() + Px(345));
}

void FrmSave::NormalColours(int i) {
  if (i >= 1 && i <= kPreviousTurnSlot) Text1[i]->setPalette(QPalette());
}

void FrmSave::Text1_Click(int i) {
  if (i < 1 || i > kPreviousTurnSlot) return;
  Label1->setText(QString());
  if (SelectedSlot != 0) NormalColours(SelectedSlot);
  QLineEdit* box = Text1[i];
  if (!Restoring()) {
    for (int n = 1; n <= 10; ++n)
      if (n != i) Text1[n]->setText(SlotText[n]);
    SetColours(box, palette().color(QPalette::ToolTipBase), palette().color(QPalette::ToolTipText));
    DescriptionContext c;
    c.MatchOn = p_.scores.MatchOn;
    c.SampleGameMode = p_.sample.SampleGameMode;
    c.SampleGameNumber = p_.sample.SampleGameNumber;
    c.SavingNetGame = p_.savingNetGame;
    c.OtherPlayer = p_.net.NetIsHost == play::kNetHost ? p_.net.OpponentName : p_.net.HostName;
    if (i != kPreviousTurnSlot) {
      box->setText(DefaultDescription(c, now()));
      box->setReadOnly(c.SampleGameMode);
      box->setCursorPosition(box->text().size());
    }
  } else {
    SetColours(box, palette().color(QPalette::Highlight), palette().color(QPalette::HighlightedText));
    box->setReadOnly(true);
  }
  SelectedSlot = i;
  if (Restoring() && i <= 10) {
    choice_.NetSecureGame = false;
    const play::SavedGameRecord rec = play::SavedGameRecord::Decode(p_.savedGamesFile.Read(i));
    if (rec.Description.startsWith(kOnlineMarker)) {
      if (!play::IsOnline(p_.net.NetConnIndex) && !p_.state.IsDeveloperView) {
        p_.ui.MsgBox("Saved Internet games can only be restored online from the Internet Menu.", platform::vbOKOnly,
                     "Internet Game");
        NormalColours(i);
        SelectedSlot = 0;
      } else if (play::IsOnline(p_.net.NetConnIndex)) {
        choice_.NetSecureGame = true;
      }
    }
  }
}

void FrmSave::Text1_MouseDown(int i, Qt::MouseButton button) {
  if (i < 1 || i > 10) return;
  if (Restoring() && button == Qt::RightButton) {
    SetColours(Text1[i], QColor(255, 0, 0), Qt::black);
    const int answer =
        p_.ui.MsgBox("Delete this Saved game?", platform::vbYesNo | platform::vbDefaultButton2, "Saved Games - Delete");
    SetColours(Text1[i], Qt::white, Qt::black);
    if (answer != platform::vbYes) return;
    // The emptied slot looks disabled at once, and nothing stays selected.
    NormalColours(i);
    if (SelectedSlot != 0) NormalColours(SelectedSlot);
    platform::RecordFile& file = p_.savedGamesFile;
    play::SavedGameRecord rec = play::SavedGameRecord::Decode(file.Read(i));
    rec.Description = QString(play::SavedGameRecord::kDescriptionWidth, u' ');
    rec.CurrentTurn = table::Turn::None;
    Text1[i]->clear();
    Text1[i]->setEnabled(false);
    if (!file.Write(i, rec.Encode()) || !file.Flush())
      p_.ui.MsgBox("The saved game could not be deleted.", platform::vbExclamation, "Saved Games - Delete");
    SelectedSlot = 0;
  } else if (!Restoring() && !play::IsOnline(p_.net.NetConnIndex)) {
    Text1[i]->clear();
  }
}

void FrmSave::cmdSave_Click() {
  if (SelectedSlot == 0) {
    p_.ui.Beep();
    Label1->setText("Select a game slot!");
    return;
  }
  NormalColours(SelectedSlot);
  const bool netSave = cmdSave->text() == QLatin1String("NET SAVE");
  const QString text = SelectedSlot <= 10 ? Text1[SelectedSlot]->text() : QString();
  choice_.Cancelled = false;
  choice_.Slot = static_cast<std::int16_t>(SelectedSlot);
  choice_.Description =
      FinalDescription(text, SelectedSlot, p_.scores.MatchOn, netSave, play::IsOnline(p_.net.NetConnIndex));
  CloseByCode();
}

void FrmSave::Command2_Click() {
  if (!Restoring() && SelectedSlot != 0 &&
      p_.ui.MsgBox("Did you want to SAVE this game?\r\nClick the SAVE button to save.", platform::vbYesNo,
                   "Save game?") == platform::vbYes)
    return;
  choice_.Cancelled = true;
  CloseByCode();
}

void FrmSave::CloseByCode() {
  closingByCode_ = true;
  close();
}

void FrmSave::closeEvent(QCloseEvent* event) {
  if (!closingByCode_) choice_.Cancelled = true;
  QWidget::closeEvent(event);
}

bool FrmSave::eventFilter(QObject* watched, QEvent* event) {
  for (int i = 1; i <= kPreviousTurnSlot; ++i) {
    // A disabled slot (empty, or deleted just now) cannot be chosen; its
    // filter sees the mouse all the same.
    if (watched != Text1[i] || !Text1[i]->isEnabled()) continue;
    if (event->type() == QEvent::MouseButtonPress) {
      Text1_MouseDown(i, static_cast<QMouseEvent*>(event)->button());
    } else if (event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
      Text1_Click(i);
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace dialogs
