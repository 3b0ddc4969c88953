#include "dialogs/frm_menu.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

#include "media/music.h"
#include "platform/key_translator.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/wait.h"
#include "play/records/player.h"
#include "play/records/score_records.h"
#include "play/state/net_state.h"
#include "play/window/frm_play.h"
#include "play/window/menu_commands.h"

namespace dialogs {

namespace {

constexpr int kListLeft = 210, kListTop = 180, kListWidth = 2800;  // twips
constexpr int kWindowExtraWidth = 500, kWindowExtraHeight = 400;
constexpr int kBandHeight = 510;
constexpr double kFontPoints = 9.75;
constexpr int kSoundRow = 1, kWhoGoesFirstRow = 2, kBackgroundRow = 8, kWebSiteRow = 7;

int Px(int twips) { return platform::TwipsToPixels(twips); }

// Draws a row's caption, and its shortcut text at the tab stop.
class TabStopDelegate : public QStyledItemDelegate {
 public:
  explicit TabStopDelegate(MenuList* list) : QStyledItemDelegate(list), list_(list) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    const int tab = text.indexOf(u'\t');
    const QRect r = opt.rect.adjusted(3, 0, -2, 0);
    painter->setPen(opt.state & QStyle::State_Selected ? opt.palette.highlightedText().color()
                                                       : opt.palette.text().color());
    painter->drawText(r, Qt::AlignVCenter | Qt::AlignLeft, tab < 0 ? text : text.left(tab));
    if (tab >= 0)
      painter->drawText(r.adjusted(list_->TabStopPixels, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, text.mid(tab + 1));
  }

 private:
  MenuList* list_;
};

}  // namespace

MenuList::MenuList(QWidget* parent) : QListWidget(parent) {
  setMouseTracking(true);
  viewport()->setMouseTracking(true);
  setFrameShape(QFrame::Box);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setFocusPolicy(Qt::NoFocus);
  setItemDelegate(new TabStopDelegate(this));
}

void MenuList::mouseMoveEvent(QMouseEvent* event) { emit hovered(event->position().toPoint()); }
void MenuList::mousePressEvent(QMouseEvent* event) { emit pressed(event->button(), event->position().toPoint()); }
void MenuList::leaveEvent(QEvent* event) {
  QListWidget::leaveEvent(event);
  emit hovered({-1, -1});
}

FrmMenu::FrmMenu(const MenuListParts& parts, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), p_(parts) {
  setObjectName("frmMenu");
  setAttribute(Qt::WA_ShowWithoutActivating, false);
  QFont font("Arial");
  font.setPointSizeF(kFontPoints);
  setFont(font);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(64, 44, 28));
  setPalette(pal);
  setAutoFillBackground(true);

  const table::TablePictures& pictures = p_.table.pictures;
  const QImage* bands[2] = {&pictures.menuBandWood, &pictures.menuBandMetal};
  for (int k = 0; k < 2; ++k) {
    imgTop[k] = new QLabel(this);
    imgTop[k]->setScaledContents(true);
    imgTop[k]->setPixmap(QPixmap::fromImage(*bands[k]));
    imgTop[k]->setGeometry(0, 0, Px(3250), Px(kBandHeight));
    imgTop[k]->hide();
  }
  List1 = new MenuList(this);
  List1->setObjectName("List1");
  QPalette listPal = List1->palette();
  listPal.setColor(QPalette::Base, QApplication::palette().color(QPalette::ToolTipBase));
  List1->setPalette(listPal);
  List1->setGeometry(Px(kListLeft), Px(kListTop), Px(kListWidth), Px(kListWidth));
  connect(List1, &MenuList::hovered, this, [this](QPoint at) {
    QListWidgetItem* item = at.x() < 0 ? nullptr : List1->itemAt(at);
    if (item) {
      List1->setCurrentItem(item);
    } else {
      List1->clearSelection();
      List1->setCurrentRow(-1);
    }
  });
  connect(List1, &MenuList::pressed, this, [this](Qt::MouseButton b, QPoint at) { List1_MouseDown(b, at); });

  onTop_.SetOnTop(true);
  onTop_.TopForm(this);
}

FrmMenu::~FrmMenu() = default;

void FrmMenu::LoadList(int MenuId, const QStringList& songs) {
  menuId_ = MenuId;
  songs_ = songs;
  Fill();
}

void FrmMenu::Fill() {
  MenuRowState state;
  state.MatchOn = p_.scores.MatchOn;
  state.NetConnIndex = p_.net.NetConnIndex;
  state.NetIsHost = p_.menus.NetIsHost();
  state.StatusBarVisible = !p_.table.StatusBar1->isHidden();
  state.Songs = songs_;
  rows_ = BuildMenuRows(menuId_, state);

  const int listWidth = Px(kListWidth + MenuExtraWidth(menuId_));
  // Dialog units are quarters of the font's average character; the keys
  // column stays inside the list whatever font stands in for Arial.
  const QFontMetrics metrics(font());
  int keysWidth = 0;
  for (const MenuListRow& row : rows_) {
    const int tab = row.Text.indexOf(u'\t');
    if (tab >= 0) keysWidth = std::max(keysWidth, metrics.horizontalAdvance(row.Text.mid(tab + 1)));
  }
  List1->TabStopPixels = std::min(MenuTabStop(menuId_) * metrics.averageCharWidth() / 4, listWidth - keysWidth - 12);
  // Long song names scroll sideways.
  List1->setHorizontalScrollBarPolicy(menuId_ == kMusicMenu ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  List1->clear();
  for (const MenuListRow& row : rows_) List1->addItem(row.Text);
  const int windowWidth = listWidth + Px(kWindowExtraWidth);
  const int band = p_.player.WoodPlaceHolders ? 0 : 1;
  imgTop[band]->setGeometry(0, 0, windowWidth, Px(kBandHeight));
  imgTop[band]->show();
  imgTop[1 - band]->hide();
  if (menuId_ == kMusicMenu && !rows_.empty()) List1->setCurrentRow(0);
  const int itemHeight = rows_.empty() ? 0 : List1->sizeHintForRow(0);
  int listHeight = List1->height();
  if (itemHeight > 0)
    listHeight = static_cast<int>(rows_.size()) * itemHeight + 2 * List1->frameWidth() +
                 Px(MenuBottomMargin(menuId_, static_cast<int>(songs_.size())));
  List1->resize(listWidth, listHeight);
  resize(windowWidth, listHeight + Px(kWindowExtraHeight));
}

void FrmMenu::Place(int leftTwips, int topTwips) { move(Px(leftTwips), Px(topTwips)); }

QPoint FrmMenu::PopupPoint() const { return QCursor::pos(); }

void FrmMenu::List1_MouseDown(Qt::MouseButton button, QPoint at) {
  play::MenuCommands& menus = p_.menus;
  table::FrmPic& pic = p_.table.frmPic;
  QListWidgetItem* item = List1->itemAt(at);
  const int index = item ? List1->row(item) : -1;
  const MenuListRow* row = index >= 0 && index < static_cast<int>(rows_.size()) ? &rows_[index] : nullptr;

  if (menuId_ == kMusicMenu) {
    if (!row || row->Separator) return;
    const int n = static_cast<int>(songs_.size());
    if (button == Qt::RightButton) {
      const int song = SongOfRow(index, n);
      if (song == 0) return;
      pic.RemoveSongRequested = false;
      pic.PopupMenu(*pic.Music, PopupPoint());
      if (pic.RemoveSongRequested) {
        pic.RemoveSongRequested = false;
        p_.music.RemoveSong(song);
        songs_ = p_.music.SongNames();
        Fill();
      }
      return;
    }
    row_ = row->Command;
    Chosen();
    return;
  }

  row_ = row ? row->Command : -1;
  if (row && row->Separator) return;
  if (row && menuId_ == kOptionsMenu && row->Command == kSoundRow) {
    const bool wasOn = p_.player.SoundOn;
    pic.mnuNoise[0]->setChecked(wasOn);
    pic.mnuNoise[1]->setChecked(!wasOn);
    pic.NoiseControl->setDefaultAction(pic.mnuNoise[wasOn ? 0 : 1]);
    pic.PopupMenu(*pic.NoiseControl, PopupPoint());
    if (p_.player.SoundOn == wasOn) return;
  } else if (row && menuId_ == kOptionsMenu && row->Command == kWhoGoesFirstRow) {
    const std::int16_t before = p_.player.FirstPlayerRule;
    for (int i = 0; i < 3; ++i) pic.mnuFirst[i]->setChecked(i == before);
    if (before >= 0 && before <= 2) pic.PlaysFirst->setDefaultAction(pic.mnuFirst[before]);
    pic.PopupMenu(*pic.PlaysFirst, PopupPoint());
    if (p_.player.FirstPlayerRule == before) return;
  } else if (row && menuId_ == kOptionsMenu && row->Command == kBackgroundRow) {
    // Online in the peer's turn the background may not change; say so
    // before offering it.
    if (menus.RefusedInPeersTurn()) return;
    pic.BackgroundItem = 0;
    pic.PopupMenu(*pic.Tile, PopupPoint());
    const int choice = pic.BackgroundItem;
    menus.PanelHide();
    if (choice == 1) menus.ManageBackground("Add");
    if (choice == 2) menus.ManageBackground("Remove");
  } else if (row && menuId_ == kHelpMenu && row->Command == kWebSiteRow) {
    pic.NetLinkItem = 0;
    pic.PopupMenu(*pic.ToInternet, PopupPoint());
    if (pic.NetLinkItem != 1 && pic.NetLinkItem != 2) return;
  }
  Chosen();
}

void FrmMenu::Chosen() {
  emit chosen(row_);
  Unload();
}

void FrmMenu::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  onTop_.SetOnTop(false);
  onTop_.TopForm(this);
  hide();
  emit closed();
  p_.wait.Wake();
  deleteLater();
}

void FrmMenu::keyPressEvent(QKeyEvent* event) {
  const platform::VirtualKey vk = platform::TranslateKey(*event);
  p_.menus.KeyShortcut(vk.KeyCode, vk.Shift);
}

void FrmMenu::closeEvent(QCloseEvent* event) {
  event->ignore();
  Unload();
}

}  // namespace dialogs
