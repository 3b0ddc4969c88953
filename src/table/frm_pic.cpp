#include "table/frm_pic.h"

#include <QAction>
#include <QMenu>

namespace table {

namespace {

QAction* AddItem(QMenu& menu, const QString& caption, bool checkable = false) {
  QAction* a = menu.addAction(caption);
  a->setCheckable(checkable);
  return a;
}

}  // namespace

FrmPic::FrmPic(TableSettings& settings, platform::BuiltLater<PopupOptions> options, QObject* parent)
    : QObject(parent),
      NoiseControl(std::make_unique<QMenu>()),
      PlaysFirst(std::make_unique<QMenu>()),
      Tile(std::make_unique<QMenu>()),
      Music(std::make_unique<QMenu>()),
      ToInternet(std::make_unique<QMenu>()),
      DisplaySize(std::make_unique<QMenu>()),
      settings_(settings),
      options_(std::move(options)) {
  setObjectName("frmPic");

  mnuNoise[0] = AddItem(*NoiseControl, "Game Sound On", true);
  mnuNoise[1] = AddItem(*NoiseControl, "Game Sound Off", true);
  const char* first[] = {"Lowest Reserve", "Highest Reserve", "Coin Toss"};
  for (int i = 0; i < 3; ++i) mnuFirst[i] = AddItem(*PlaysFirst, first[i], true);
  mnuBackground[1] = AddItem(*Tile, "Add");
  mnuBackground[2] = AddItem(*Tile, "Remove");
  MusicRemove = AddItem(*Music, "Remove Song From List");
  MusicCancel = AddItem(*Music, "Cancel");
  ToNet[1] = AddItem(*ToInternet, "Marrowdale Home Page");
  ToNet[2] = AddItem(*ToInternet, "Finding Your Internet Address");
  const char* display[] = {"Move Cards Up", "Make Display Smaller", "Reset Default Window Size"};
  for (int i = 0; i < 3; ++i) Display[i] = AddItem(*DisplaySize, display[i]);

  for (int i = 0; i < 2; ++i) connect(mnuNoise[i], &QAction::triggered, this, [this, i] { mnuNoise_Click(i); });
  for (int i = 0; i < 3; ++i) connect(mnuFirst[i], &QAction::triggered, this, [this, i] { mnuFirst_Click(i); });
  for (int i = 1; i <= 2; ++i) {
    connect(mnuBackground[i], &QAction::triggered, this, [this, i] { mnuBackground_Click(i); });
    connect(ToNet[i], &QAction::triggered, this, [this, i] { ToNet_Click(i); });
  }
  connect(MusicRemove, &QAction::triggered, this, [this] { MusicRemove_Click(); });
  connect(MusicCancel, &QAction::triggered, this, [this] { MusicCancel_Click(); });
  for (int i = 0; i < 3; ++i) connect(Display[i], &QAction::triggered, this, [this, i] { Display_Click(i); });
}

FrmPic::~FrmPic() = default;

void FrmPic::PopupMenu(QMenu& menu, const QPoint& at) {
  if (popupRunner_) {
    popupRunner_(menu, at);
  } else {
    menu.exec(at);
  }
}

void FrmPic::mnuNoise_Click(int index) {
  if (index == 0) {
    settings_.SoundOn = true;
    if (settings_.CardSoundSet == kNoCardSounds) settings_.CardSoundSet = settings_.WoodPlaceHolders ? 0 : 1;
  } else {
    settings_.SoundOn = false;
  }
  mnuNoise[0]->setChecked(index == 0);
  mnuNoise[1]->setChecked(index != 0);
  if (options_) options_->SoundChosen(settings_.SoundOn, settings_.CardSoundSet);
}

void FrmPic::mnuFirst_Click(int index) {
  if (index < 0 || index > 2) return;
  settings_.FirstPlayerRule = static_cast<std::int16_t>(index);
  for (QAction* a : mnuFirst) a->setChecked(false);
  mnuFirst[index]->setChecked(true);
  if (options_) options_->FirstPlayerChosen(settings_.FirstPlayerRule);
}

void FrmPic::mnuBackground_Click(int index) { BackgroundItem = static_cast<std::int16_t>(index); }

void FrmPic::MusicRemove_Click() { RemoveSongRequested = true; }

void FrmPic::MusicCancel_Click() { RemoveSongRequested = false; }

void FrmPic::ToNet_Click(int index) { NetLinkItem = static_cast<std::int16_t>(index); }

void FrmPic::Display_Click(int index) {
  DisplayChosen = true;
  DisplayItem = static_cast<std::int16_t>(index);
}

}  // namespace table
