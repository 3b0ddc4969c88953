#pragma once
// The small window "TABLEAU CARDS HIDDEN" (frmHold): the cards beneath the
// top card of one Tableau pile, fanned out and overlapping, beside the pile.
// It is made on first use and kept; the user's close only hides it, the
// program's own close (at exit) really closes it. The geometry is worked out
// in twips by pure functions, then converted to pixels.

#include <QWidget>
#include <array>
#include <functional>

#include "platform/keep_on_top.h"
#include "platform/system.h"
#include "table/piles.h"
#include "table/table_geometry.h"

namespace table {

class PictureBox;

constexpr int kTableauWindowPictures = kSharedPileCapacity;
constexpr int kLargeFontsWindowHeightTwips = 1190;

// Where the thirteen pictures lie in the window, in twips.
struct TableauWindowLayout {
  std::array<int, kTableauWindowPictures + 1> PictureLeft{};  // Picture8(1..13)
  int PictureWidth = CardWidthTwips;
  int PictureHeight = CardHeightTwips;
  int WindowWidth = 0;   // room for all thirteen
  int WindowHeight = 0;  // under large fonts a little more than the pictures
};

// The layout made when the window loads. builtInDeck: the program's own
// face sheet shows more of each card's corner (a third), a library deck two
// thirds. Under large fonts the pictures keep the full card size in pixels.
TableauWindowLayout LayOutTableauWindow(bool builtInDeck, bool LargeFonts, int twipsPerPixel);

// What ShowTableauPile needs to know of the table window, the pile and the screen.
struct TableauPileGeometry {
  int PileLeft = 0;        // picTableau(P).Left, pixels in the table window
  int PileTop = 0;         // picTableau(P).Top, pixels
  int FormLeft = 0;        // the table window's Left, screen twips
  int FormTop = 0;         // and Top
  int CaptionHeight = 23;  // a title bar, pixels
  int TwipsPerPixel = platform::kNormalTwipsPerPixel;
  int ScreenWidth = 15360;  // twips
  int CaptionWidth = 0;     // twips the window's whole caption needs
};

struct TableauWindowPlacement {
  bool Hide = true;       // nothing beneath the top card: the window is hidden
  int Shown = 0;          // n: pictures 1..n are shown
  bool LeftSide = false;  // opens to the left of the pile
  int Left = 0;           // window position and width, screen twips
  int Top = 0;
  int Width = 0;
  int PicturesLeft = 0;  // twips from the window's left to picture 1: a window widened for its
                         // caption keeps the cards beside the pile
};

// Where the window for pile `pile` (1..8) with `count` cards opens. Piles 1
// to 4 open to the left unless that leaves the screen, piles 5 to 8 to the
// right unless that does.
TableauWindowPlacement PlaceTableauWindow(int pile, int count, const TableauWindowLayout& layout,
                                          const TableauPileGeometry& geometry);

// The card each picture shows, from 1, for the chosen side: on the left the
// card under the top card is the rightmost picture, on the right the
// leftmost; either way it lies next to the pile and in front.
std::array<CardCode, kTableauWindowPictures + 1> TableauPictureCards(const PileArrays& piles, int pile,
                                                                     const TableauWindowPlacement& placement);

// The tutorial's share of a click on the window.
class TableauWindowHooks {
 public:
  virtual ~TableauWindowHooks() = default;
  virtual bool TutorialMode() const = 0;
  // The tutorial's Next enabled, the player's and Tableau piles disabled.
  virtual void TableauWindowClickedInTutorial() = 0;
};

// Paints one card (0: a face-down card) into a picture, silently.
using CardPainter = std::function<void(PictureBox*, CardCode)>;

class FrmHold : public QWidget {
  Q_OBJECT
 public:
  FrmHold(const TableauWindowLayout& layout, int twipsPerPixel, CardPainter painter,
          TableauWindowHooks* hooks = nullptr);
  ~FrmHold() override;

  // Fills and places the window for Tableau pile `pile`, or hides it.
  void ShowTableauPile(const PileArrays& piles, int pile, const TableauPileGeometry& geometry);
  // The public method: hides the window.
  void HideWindow() { hide(); }
  // The program's own close: the window really closes.
  void Unload();

  std::array<PictureBox*, kTableauWindowPictures + 1> Picture8{};

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void PictureClicked();

  TableauWindowLayout layout_;
  int twipsPerPixel_;
  CardPainter painter_;
  TableauWindowHooks* hooks_;
  platform::Class1 onTop_;
  TableauWindowPlacement placement_;
  bool unloading_ = false;
};

}  // namespace table
