#pragma once
// The hidden picture holder: the popup menus that the drop-down menu list
// and the Help command open, and the stock pictures of the table (the card
// backs and the empty-pile looks). Each popup item either sets its option
// at once or records the choice for the code that opened the popup.

#include <QImage>
#include <QObject>
#include <QPoint>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/built_later.h"
#include "table/table_settings.h"

class QAction;
class QMenu;

namespace table {

// What each stock back picture FilePic(i) holds.
constexpr int kCurrentBackPicture = 0;  // the back the table's cards show
constexpr int kOwnBackPicture = 4;      // the program's own back
constexpr int kBackPictures = kOwnBackPicture + 1;

// The player's options that popup items set. The player's settings are the
// truth; the table's copy is refilled from them.
class PopupOptions {
 public:
  virtual ~PopupOptions() = default;
  virtual void SoundChosen(bool SoundOn, std::int16_t CardSoundSet) = 0;
  virtual void FirstPlayerChosen(std::int16_t FirstPlayerRule) = 0;
};

class FrmPic : public QObject {
  Q_OBJECT
 public:
  // options: the player's options the items set; none for a table on its own.
  explicit FrmPic(TableSettings& settings, platform::BuiltLater<PopupOptions> options = {}, QObject* parent = nullptr);
  ~FrmPic() override;

  // Shows a popup at the global point and returns when it is closed; the
  // chosen item's handler has run by then.
  void PopupMenu(QMenu& menu, const QPoint& at);
  // Tests replace the modal popup: the runner is given the menu and the point.
  using PopupRunner = std::function<void(QMenu&, const QPoint&)>;
  void SetPopupRunner(PopupRunner runner) { popupRunner_ = std::move(runner); }

  // Item handlers.
  void mnuNoise_Click(int index);
  void mnuFirst_Click(int index);
  void mnuBackground_Click(int index);
  void MusicRemove_Click();
  void MusicCancel_Click();
  void ToNet_Click(int index);
  void Display_Click(int index);

  // Popup menus and their items (control arrays by index).
  std::unique_ptr<QMenu> NoiseControl, PlaysFirst, Tile, Music, ToInternet, DisplaySize;
  std::array<QAction*, 2> mnuNoise{};       // 0 on, 1 off
  std::array<QAction*, 3> mnuFirst{};       // 0 lowest, 1 highest, 2 coin toss
  std::array<QAction*, 3> mnuBackground{};  // 1 Add, 2 Remove
  QAction* MusicRemove = nullptr;
  QAction* MusicCancel = nullptr;
  std::array<QAction*, 3> ToNet{};    // 1 the home page, 2 the address page
  std::array<QAction*, 3> Display{};  // 0..2

  // What the opener reads when the popup has closed.
  bool DisplayChosen = false;        // a Display item was chosen
  std::int16_t DisplayItem = 0;      // which one
  std::int16_t BackgroundItem = 0;   // 1 Add, 2 Remove; the opener clears it first
  std::int16_t NetLinkItem = 0;      // the chosen web page
  bool RemoveSongRequested = false;  // remove the song from the music list

  // Stock pictures.
  std::array<QImage, kBackPictures> FilePic;  // by kCurrentBackPicture, kOwnBackPicture
  QImage ImgEmpty2;                           // the metal empty pile
  QImage ImgEmpty3;                           // the wood empty pile
  QImage picAvatar;                           // an avatar picture being loaded
  // The Preferences dialog's sample surface: the current background tiled
  // over it, or the mat colour; erased when the dialog unloads.
  QImage SampleSurface;
  void ClearSample() { SampleSurface = QImage(); }

 private:
  TableSettings& settings_;
  PopupRunner popupRunner_;
  platform::BuiltLater<PopupOptions> options_;
};

}  // namespace table
