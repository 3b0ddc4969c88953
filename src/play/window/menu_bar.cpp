// The drawn menu bar: the menu tab, the drop-down panel with its four
// headings, and the list window opened under a heading.
#include <QEvent>
#include <QMouseEvent>
#include <memory>

#include "media/folders.h"
#include "media/music.h"
#include "platform/key_translator.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/wait.h"
#include "play/state/top_level_command.h"
#include "play/window/frm_play.h"
#include "play/window/menu_commands.h"
#include "table/picture_box.h"

namespace play {

namespace {

struct Band {
  int left, right;
};
constexpr Band kHeadings[] = {{31, 183}, {195, 335}, {348, 491}, {500, 649}};
constexpr int kListLeft[] = {600, 2850, 5200, 7550};
constexpr int kListLeftLargeFonts[] = {400, 2200, 4100, 6000};
constexpr int kListTopOffset = 300;
constexpr int kListTopOffsetLargeFonts = 250;
constexpr int kTopEdge = 5;

}  // namespace

int HeadingAt(int x, int y) {
  if (y <= kHeadingTop || y >= kHeadingBottom) return 0;
  for (int i = 0; i < 4; ++i)
    if (x > kHeadings[i].left && x < kHeadings[i].right) return i + 1;
  return 0;
}

int MenuListLeft(int heading, int mainLeftTwips, bool LargeFonts) {
  if (heading < 1 || heading > 4) return mainLeftTwips;
  return mainLeftTwips + (LargeFonts ? kListLeftLargeFonts : kListLeft)[heading - 1];
}

int MenuListTop(int panelHeightPixels, int CaptionHeight, int twipsPerPixel, int mainTopTwips, bool LargeFonts) {
  return (panelHeightPixels / 2 + CaptionHeight) * twipsPerPixel + mainTopTwips +
         (LargeFonts ? kListTopOffsetLargeFonts : kListTopOffset);
}

void MenuCommands::Connect() {
  FrmPlay& w = s_.frmPlay;
  const QImage& tab = w.pictures.menuTab;
  if (!tab.isNull()) {
    w.picMenu->SetPicture(tab);
    w.picMenu->resize(tab.size());
  }
  w.picPanel->move(0, 0);
  w.setMouseTracking(true);
  w.picMenu->setMouseTracking(true);
  w.picPanel->setMouseTracking(true);
  w.setFocusPolicy(Qt::StrongFocus);
  connect(w.picMenu, &table::PictureBox::mouseMove, this, [this] { picMenu_MouseMove(); });
  connect(w.picPanel, &table::PictureBox::mouseMove, this,
          [this](table::PictureBox*, Qt::MouseButtons, Qt::KeyboardModifiers, QPoint at) {
            picPanel_MouseMove(at.x(), at.y());
          });
  connect(w.picPanel, &table::PictureBox::mouseDown, this,
          [this](table::PictureBox*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint at) {
            picPanel_MouseDown(at.x(), at.y());
          });
  w.installEventFilter(this);
}

bool MenuCommands::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &s_.frmPlay) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress: {
      const platform::VirtualKey vk = platform::TranslateKey(*static_cast<QKeyEvent*>(event));
      KeyShortcut(vk.KeyCode, vk.Shift);
      TopLevelCommand done(s_.saved.wait, s_.saved.state, &s_.frmPlay);
      return true;
    }
    case QEvent::MouseMove: {
      const auto* m = static_cast<QMouseEvent*>(event);
      Form_MouseMove(m->position().toPoint().x(), m->position().toPoint().y());
      break;
    }
    case QEvent::MouseButtonPress: Form_MouseDown(); break;
    default: break;
  }
  return QObject::eventFilter(watched, event);
}

void MenuCommands::PlayMenuSound(const char* file) {
  if (s_.player.SoundOn) s_.sound.Play(s_.folders.DataPath + QString::fromLatin1(file));
}

void MenuCommands::UnloadMenuWindow() {
  if (Menu.MenuOpen) PanelHide();
}

void MenuCommands::PanelHide() {
  table::PictureBox* panel = s_.frmPlay.picPanel;
  if (!panel->isHidden()) panel->hide();
  if (Menu.MenuOpen) {
    s_.windows.dialogs->UnloadList();
    Menu.MenuOpen = false;
    s_.saved.wait.Wake();
  }
  if (s_.cardWindows.TableauCardsWindowShown()) s_.cardWindows.HideTableauCardsWindow();
}

void MenuCommands::ShowPanel() {
  table::PictureBox* panel = s_.frmPlay.picPanel;
  // The backdrop follows the place holders' wood or metal.
  if (!panel->Picture().isNull()) panel->resize(panel->Picture().size());
  panel->raise();
  panel->show();
}

void MenuCommands::picMenu_MouseMove() {
  if (!s_.frmPlay.picPanel->isHidden()) return;
  s_.cardWindows.HideTableauCardsWindow();
  ShowPanel();
  PlayMenuSound(kMenuSoundFile);
}

void MenuCommands::Form_MouseMove(int X, int Y) {
  table::PictureBox* panel = s_.frmPlay.picPanel;
  if (!panel->isHidden()) return;
  if (Y < kTopEdge && X < panel->width()) {
    PlayMenuSound(kMenuSoundFile);
    ShowPanel();
    s_.cardWindows.HideTableauCardsWindow();
  }
}

void MenuCommands::Form_MouseDown() { PanelHide(); }

void MenuCommands::picPanel_MouseMove(int X, int Y) {
  if ((X < kHoverStripLeft || Y < kHoverStripTop) && Menu.MenuOpen) {
    s_.windows.dialogs->UnloadList();
    Menu.MenuOpen = false;
    s_.saved.wait.Wake();
  }
}

void MenuCommands::picPanel_MouseDown(int X, int Y) {
  FrmPlay& w = s_.frmPlay;
  platform::WaitService& wait = s_.saved.wait;
  if (w.Dealing) return;
  if (Y <= kHeadingTop || Y >= kHeadingBottom) return;
  const int heading = HeadingAt(X, Y);
  if (heading == 0) {
    if (Menu.MenuOpen) {
      Menu.MenuOpen = false;
      s_.windows.dialogs->UnloadList();
      wait.Wake();
    }
    return;
  }
  PlayMenuSound(media::kHeadingSoundFile);
  if (Menu.MenuOpen) {
    s_.windows.dialogs->UnloadList();
    Menu.MenuOpen = false;
    wait.Wake();
  }
  if (heading == kMenuGame && Online()) {
    s_.saved.ui.MsgBox("Use the Internet Menu during Internet games", platform::vbOKOnly | platform::vbInformation,
                       kOnlineTitle);
    return;
  }
  if (heading == kMenuInternet && ComputerMoving()) return;

  const bool large = s_.LargeFonts;
  const QRect frame = w.frameGeometry();
  const int tpp = s_.TwipsPerPixel;
  const int top = MenuListTop(w.picPanel->height(), s_.CaptionHeight, tpp, frame.top() * tpp, large);
  const int left = MenuListLeft(heading, frame.left() * tpp, large);
  // The answer belongs to this list alone; a list opened meanwhile has its own.
  const auto chosen = std::make_shared<bool>(false);
  s_.windows.dialogs->LoadList(heading, {},
                               ListAnswers{[this, chosen](int command) {
                                             Menu.MenuRow = static_cast<std::int16_t>(command);
                                             *chosen = true;
                                           },
                                           [this] { Menu.MenuOpen = false; }});
  Menu.MenuNumber = static_cast<std::int16_t>(heading);
  Menu.MenuOpen = true;
  // A click on another heading meanwhile opens its own list and runs its
  // own command; this click then ends without one.
  const int generation = ++listGeneration_;
  s_.windows.dialogs->ShowList(left, top);
  wait.WaitUntil([this] { return !Menu.MenuOpen; });
  if (generation != listGeneration_) return;
  Menu.MenuOpen = false;
  s_.windows.dialogs->UnloadList();
  if (*chosen && !wait.Exiting()) MenuPanelClick();
  Menu.MenuNumber = 0;
  Menu.MenuRow = 0;
  FinishTopLevelCommand(wait, s_.saved.state, &w);
}

}  // namespace play
