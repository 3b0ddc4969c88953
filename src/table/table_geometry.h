#pragma once
// Where the piles and the controls around them stand on the table. Pure
// computations in the table's pixels from the two table offsets and the
// sizes of the controls; the table window applies the results.

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <array>
#include <cstdint>

#include "platform/system.h"
#include "table/piles.h"

namespace table {

// One card size on the whole table, fixed at start (SetFixedSizes): the
// cells of the face sheets and the back designs are cut to it as well.
constexpr int CardWidth = 71;
constexpr int CardHeight = 96;
constexpr int CardWidthTwips = CardWidth * platform::kNormalTwipsPerPixel;    // 1065
constexpr int CardHeightTwips = CardHeight * platform::kNormalTwipsPerPixel;  // 1440
// The smaller card that stands for it under large fonts.
constexpr int SmallCardWidth = 59;
constexpr int SmallCardHeight = 80;
constexpr int SmallCardWidthTwips = SmallCardWidth * platform::kNormalTwipsPerPixel;    // 885
constexpr int SmallCardHeightTwips = SmallCardHeight * platform::kNormalTwipsPerPixel;  // 1200

// Frame labels behind the side piles: 85 x 109 pixels at 96 dots per inch,
// 81 x 106 under large fonts.
constexpr QSize kFrameSize{85, 109};
constexpr QSize kFrameSizeLargeFonts{81, 106};
constexpr QSize kDealButtonSize{78, 31};  // cmdDeal
// The boxes of the texts around the piles; the structure pictures keep
// their lines out of them.
constexpr QSize kCountLabelSize{30, 18};  // the six side-pile counts
constexpr QSize kTabCountSize{24, 18};    // lblTabCnt
constexpr int kTurnLineHeight = 36;       // lblTurn at least; two lines of the player's text size
// The drawn table's width (its structure pictures are as wide), and the room
// its border takes at the right: the turn line ends before it.
constexpr int kTableWidth = 1210;
constexpr int kTableBorderRoom = 30;
constexpr QSize kStatusLineSize{260, 26};  // StatusMsg
constexpr QSize kWaitSize{160, 24};        // lblWAIT
constexpr QSize kDoneButtonSize{92, 26};   // cmdDone
// The message line ends this far above the Deal button, which stands in the
// same margin, so that a long message never runs beneath it.
constexpr int kMessageAboveDealGap = 6;
// The table's texts never shrink below this to fit their places.
constexpr int kSmallestTextPoints = 6;

// The places ArrangePiles gives the pile pictures, the frame labels 1..6
// and the Done button (top-left corners), and the table values it stores.
// Arrays are indexed like the controls: 1..3 for the side piles, 1..8 for
// Center and Tableau, 1..6 for the frames; element 0 is unused.
struct PilePlaces {
  std::array<QPoint, 4> picPlayer{};
  std::array<QPoint, 4> picOpponent{};
  std::array<QPoint, kSharedPiles + 1> picCenter{};
  std::array<QPoint, kSharedPiles + 1> picTableau{};
  std::array<QPoint, 7> lblCardFrame{};
  QPoint cmdDone;
  std::int16_t PileTop = 0;      // top of the first row of Center and Tableau piles
  std::int16_t CenterLeft = 0;   // left of the left Center column
  std::int16_t TableauLeft = 0;  // left of the left Tableau column
  std::int16_t CenterSpan = 0;   // places the right Tableau column and the player's Reserve
  std::int32_t TableBottom = 0;  // lowest line of the table's drawing area
};

PilePlaces ArrangePilePlaces(int TableOffsetX, std::int32_t TableOffsetY);

// Sizes of the controls that ArrangeControls reads back before placing them.
struct ControlSizes {
  QSize frame = kFrameSize;            // lblCardFrame
  QSize plateStock{85, 20};            // imgOStock, imgPStock
  QSize plateReserve{85, 20};          // imgOReserve, imgPReserve
  QSize plateWaste{85, 20};            // imgOWaste, imgPWaste
  QSize dealButton = kDealButtonSize;  // cmdDeal
  int waitHeight = 20;                 // lblWAIT
  int pauseLabelWidth = 200;           // lblPause
  int pauseLabelHeight = 40;
  std::array<int, kSharedPiles + 1> tabCountWidth{};  // lblTabCnt(1..8)
  int menuHeight = 18;                                // picMenu
  int turnLineHeight = kTurnLineHeight;               // two lines of lblTurn's text
  QSize turnMarker{72, 84};                           // ImgTurn1, ImgTurn2
  int clientWidth = 1210;                             // the window's client area, pixels
};

// What ArrangeControls computes: places (top-left) and the few sizes it sets.
struct ControlPlaces {
  QPoint ImgTurn1, ImgTurn2;
  QPoint imgOWaste, imgOReserve, imgOStock, imgPReserve, imgPStock, imgPWaste;
  QPoint lblOHandCnt, lblOWasteCnt, lblOResCnt, lblPHandCnt, lblPWasteCnt, lblPResCnt;
  QPoint cmdDeal;
  QRect lblMessage;
  QPoint lblTurn;
  int lblTurnWidth = 0;
  int lblTurnHeight = kTurnLineHeight;
  QPoint StatusMsg;
  int StatusMsgFontSize = 12;
  std::array<QPoint, kSharedPiles + 1> lblTabCnt{};
  QPoint imglblTableauL, imglblTableauR, imglblCenters;
  QPoint lblWAIT;
  QRect fraPause;
  QPoint lblPause;  // inside the pause cover
  QPoint picMenu, imgIcon;
  std::int16_t LogoLeft = 0, LogoTop = 0;
};

struct ControlInputs {
  int TableOffsetX = 0;
  bool LargeFonts = false;
  std::int32_t ScreenWidth = 15360;  // twips
  // The turn, status and wait lines and the turn markers stand in the band
  // below the player's row instead of right of the Tableau, where a window
  // (the chat on a small screen) stands over them.
  bool linesBelowPiles = false;
};

ControlPlaces ArrangeControlPlaces(const PilePlaces& piles, const ControlSizes& sizes, const ControlInputs& in);

// Where the structure pictures (drawn at offsets 0, as wide as the table is
// designed) leave out their frame lines: the boxes of the texts around the
// piles, with room for the frame labels' large-fonts size. Every text's
// place lies inside them.
QRegion StructureTextBoxes(const PilePlaces& piles, int structureWidth);

// A Single taken to the nearest integer, a half to the even neighbour.
int NearestEven(double x);

}  // namespace table
