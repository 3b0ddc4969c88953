#pragma once
// The card table: the part of the table window that shows the piles and
// everything around them. The table window (play::FrmPlay) is a card
// table with a status bar, a clock and a frame; the controls keep the
// names the rest of the game knows them by.
//
// Controls stand in two layers, as on the desktop the game was made for:
// labels and image controls are drawn on a layer beneath every picture box,
// button and frame, whatever their order among themselves.

#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

#include "platform/built_later.h"
#include "table/frm_pic.h"
#include "table/frm_std_sm.h"
#include "table/game_state.h"
#include "table/picture_box.h"
#include "table/piles.h"
#include "table/table_geometry.h"
#include "table/table_pictures.h"
#include "table/table_settings.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace platform {
class UiService;
class WaitService;
}  // namespace platform

namespace table {

class DropRules;
enum class DropOutcome;
class SoundEffects;

// What the card table calls in parts of the game built elsewhere: the pile
// counts of the status bar, and the match points panel for the match state
// in force.
class TableNeighbours {
 public:
  virtual ~TableNeighbours() = default;
  virtual void ShowPileCounts() = 0;
  virtual void ShowMatchPoints() = 0;
};

// The tableau cards window (frmHold) as the table and the game reach it;
// the small card windows answer.
class TableauCards {
 public:
  virtual ~TableauCards() = default;
  // Shown now, and hiding it.
  virtual bool TableauCardsWindowShown() const = 0;
  virtual void HideTableauCardsWindow() = 0;
  // The window goes: its cards are drawn again next time.
  virtual void UnloadTableauCardsWindow() = 0;
};

// The pictures painted on the table: the logo in picLogo, and the
// background once one is chosen; the backgrounds answer.
class BackgroundPainting {
 public:
  virtual ~BackgroundPainting() = default;
  virtual void ShowLogo(bool show) = 0;
  // True once a background list is loaded; ShowBackground paints it.
  virtual bool Listed() const = 0;
  virtual void ShowBackground() = 0;
};

struct CardTableServices {
  PileArrays& piles;
  GameState& state;
  TableSettings& settings;
  platform::WaitService& wait;
  platform::UiService& ui;
  SoundEffects* sounds = nullptr;  // none: the card sounds are silent
  QString picturesFolder;          // AppPath + "Data/pictures/"
  // The parts built on the table; each may be missing (a table on its own).
  platform::BuiltLater<TableNeighbours> neighbours{};
  platform::BuiltLater<TableauCards> tableauCards{};
  platform::BuiltLater<BackgroundPainting> backgroundPainting{};
  platform::BuiltLater<DropRules> dropRules{};        // none: every drop slides back
  platform::BuiltLater<PopupOptions> popupOptions{};  // the player's options the popup items set
};

class CardTable : public QWidget {
  Q_OBJECT
 public:
  explicit CardTable(const CardTableServices& services, QWidget* parent = nullptr);
  ~CardTable() override;

  // Geometry.
  void SetFixedSizes();
  void SetTableOffsets(int TableOffsetX, std::int32_t TableOffsetY);
  void ArrangePiles();
  void ArrangeControls();
  // The turn, status and wait lines and the turn markers below the player's
  // row (true) or right of the Tableau, where they stand otherwise.
  void SetLinesBelowPiles(bool below);
  void SetLabelColors();
  void SetEmptyPilePictures();
  void RefreshEmptyPilePictures() { SetEmptyPilePictures(); }

  // Painting. The sound value kEmptyMarker asks for the empty-pile look.
  static constexpr int kEmptyMarker = 88;
  void PaintCard(PileControl pile, int index, CardCode card, int sound);
  // The one-card draw into any picture box, also the small windows' and
  // the Preferences previews'.
  void PaintInto(PictureBox* box, CardCode card, int sound);
  void LayOutPiles();
  void RedrawTable();
  void ClearTable();
  void EnablePiles(bool flag);
  void SetEnabled(PileControl pile, int index);

  // Animation.
  void AnimateCard(PileControl source, int sourceIndex, CardCode card, PileControl target, int targetIndex);
  // True while a slide (a move's, or a refused card's on its way home) or
  // the deal is shown; a relayout waits for its end, and no drag starts.
  bool Animating() const { return slideDepth_ > 0 || Dealing; }

  // Drag and drop of the local player's cards (drag_drop.cpp). X and Y are
  // the mouse position inside the pressed pile picture.
  void DragStart(PileControl pile, int index, int X, int Y);
  void DragMove(PileControl pile, int index, int X, int Y);
  DropOutcome DragDrop(PileControl pile, int index);
  // The index of the pile the dragged picture was let go over, -1 for none;
  // DropTarget is that pile's control array.
  int FindDropTarget(PileControl dragged, int draggedIndex);
  bool OverlapsControl(PileControl dragged, int draggedIndex, PileControl candidate, int candidateIndex);
  std::int16_t Dragging = 0;  // 1 from DragStart until DragDrop begins
  std::int16_t GrabX = 0;     // where the picture was taken hold of
  std::int16_t GrabY = 0;
  PileControl DropTarget = PileControl::None;  // the pile the hit test accepted last

  // Drawing order of the upper layer.
  void BringToFront(QWidget* control);
  void SendToBack(QWidget* control);

  // The pile control array element, null when it does not exist.
  PictureBox* Pile(PileControl pile, int index) const;

  const PileArrays& Piles() const { return piles_; }
  // The window's own picture (its backing image), drawn over the back colour.
  QImage& FormPicture() { return formPicture_; }
  void SetFormBackColor(std::uint32_t bgr);

  // Table values.
  int TableOffsetX() const { return tableOffsetX_; }
  std::int32_t TableOffsetY() const { return tableOffsetY_; }
  std::int16_t PileTop() const { return places_.PileTop; }
  std::int16_t CenterLeft() const { return places_.CenterLeft; }
  std::int16_t TableauLeft() const { return places_.TableauLeft; }
  std::int16_t CenterSpan() const { return places_.CenterSpan; }
  std::int32_t TableBottom() const { return places_.TableBottom; }
  std::int16_t LogoLeft = 0;  // where the logo is painted
  std::int16_t LogoTop = 0;
  std::int16_t DragHomeLeft = 0;  // home of the picture being moved
  std::int16_t DragHomeTop = 0;
  bool Dealing = false;              // the opening layout is being dealt
  const QImage* EmptyPic = nullptr;  // the empty-pile look in force

  // Hidden holders.
  FrmPic frmPic;
  FrmStdSm frmStdSm;
  TablePictures pictures;

  // Pile pictures (element 0 unused) and the slide cover.
  std::array<PictureBox*, 4> picPlayer{};
  std::array<PictureBox*, 4> picOpponent{};
  std::array<PictureBox*, kSharedPiles + 1> picCenter{};
  std::array<PictureBox*, kSharedPiles + 1> picTableau{};
  std::array<PictureBox*, 1> picSmoke{};
  PictureBox* picMenu = nullptr;   // the drawn menu bar
  PictureBox* picPanel = nullptr;  // the drop-down menu panel
  PictureBox* picLogo = nullptr;
  std::array<PictureBox*, 2> picHand{};  // the tutorial's hands: 0 points down, 1 points up
  QPushButton* cmdDeal = nullptr;
  QPushButton* cmdDone = nullptr;
  QGroupBox* fraPause = nullptr;
  QLabel* lblPause = nullptr;

  // Lower layer: labels and images.
  std::array<QLabel*, 7> lblCardFrame{};
  QLabel *lblOHandCnt = nullptr, *lblOResCnt = nullptr, *lblOWasteCnt = nullptr;
  QLabel *lblPHandCnt = nullptr, *lblPResCnt = nullptr, *lblPWasteCnt = nullptr;
  std::array<QLabel*, kSharedPiles + 1> lblTabCnt{};
  QLabel *imgOStock = nullptr, *imgOReserve = nullptr, *imgOWaste = nullptr;
  QLabel *imgPStock = nullptr, *imgPReserve = nullptr, *imgPWaste = nullptr;
  QLabel *ImgTurn1 = nullptr, *ImgTurn2 = nullptr;
  QLabel *lblMessage = nullptr, *lblTurn = nullptr, *StatusMsg = nullptr, *lblWAIT = nullptr;
  QLabel *imglblTableauL = nullptr, *imglblTableauR = nullptr, *imglblCenters = nullptr;
  QLabel* imgIcon = nullptr;

  // Frame label backdrop: 1 opaque (its colour rims the pile), 0 transparent.
  void SetFrameBackStyle(int index, int backStyle);
  // The message line set off as a panel (a frame and an opaque light
  // background, text of that size in points), or back to the plain line in
  // the player's text size.
  void SetMessagePanel(bool panel, int points = 0);
  // The panel grown to its text; call after its text changes.
  void FitMessagePanel();
  bool MessagePanelShown() const { return messagePanelPoints_ > 0; }

 signals:
  // A click on the pause cover.
  void pauseFrameClicked();

 protected:
  // The table window clears its status bar and stops its clock here.
  virtual void ClearTableFrame() {}
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

  PileArrays& piles_;
  GameState& state_;
  TableSettings& settings_;
  platform::WaitService& wait_;
  platform::UiService& ui_;
  SoundEffects* sounds_;
  platform::BuiltLater<TableNeighbours> neighbours_;
  platform::BuiltLater<TableauCards> tableauCards_;
  platform::BuiltLater<BackgroundPainting> pictures_;
  platform::BuiltLater<DropRules> dropRules_;

 private:
  PictureBox* NewPicture(PileControl array, int index, const QString& name);
  QLabel* NewLabel(const QString& name);
  // A text kept whole inside its place (TableText).
  QLabel* NewText(const QString& name);
  QLabel* NewImage(const QString& name, const QImage& picture);
  void ReportPaintError(int number, const QString& description, const QString& object, int index, CardCode card);
  ControlSizes CurrentControlSizes() const;
  ControlPlaces CurrentControlPlaces() const;
  int TurnLineHeight() const;
  void PlaceTurnAndStatusLines(const ControlPlaces& places);
  // Moves the card along the path, one step each stepSeconds (scaled by the
  // wait service's time scale), drawing it once per display frame at the
  // step reached by then; window events run between frames, and Animating()
  // holds until the card stands at the end. Exiting puts the card at the
  // path's end at once.
  void PlaySlide(QWidget* card, const std::vector<QPoint>& path, double stepSeconds);

  QWidget* labelLayer_ = nullptr;
  QImage formPicture_;
  QColor formBackColor_;
  bool fixedSizesDone_ = false;
  int tableOffsetX_ = 0;
  std::int32_t tableOffsetY_ = 0;
  PilePlaces places_;
  int slideDepth_ = 0;
  bool controlsArranged_ = false;  // ArrangeControls has placed the texts once
  int messagePanelPoints_ = 0;     // 0: the message line is a plain line
  QSize messageLineSize_;          // the message line's size as laid out
  bool linesBelowPiles_ = false;
};

// 0x00BBGGRR as a colour.
QColor ColorFromBgr(std::uint32_t bgr);

}  // namespace table
