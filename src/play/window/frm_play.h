#pragma once
// The table window: the program's main window. It is the card table with
// the window frame around it: fitting the window to the screen and keeping
// its place, relaying the table out after a resize, the status bar with its
// panels, the elapsed-time clock and the pause.

#include <QRect>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <vector>

#include "media/music.h"
#include "platform/built_later.h"
#include "platform/system.h"
#include "play/faces/start_up_windows.h"
#include "play/game/game_clock.h"
#include "play/state/net_state.h"
#include "play/state/play_state.h"
#include "play/window/status_bar.h"
#include "table/card_table.h"
#include "table/table_view.h"
#include "table/window_fitting.h"

namespace play {

// What the match points panel reads and sets of the match in progress.
class FrmPlayMatch {
 public:
  virtual ~FrmPlayMatch() = default;
  // Whether there is a match, its points and both sides' match points.
  virtual bool MatchOn() const = 0;
  virtual int MatchPoints() const = 0;
  virtual int MatchScore() const = 0;
  virtual int OppMatchScore() const = 0;
  // MatchPoints and the score record's match target become the value and
  // the score record is stored.
  virtual void SetMatchPoints(std::int16_t points) = 0;
};

// What the window frame asks of the menus: the keys, and the drop-down list
// window.
class FrmPlayMenus {
 public:
  virtual ~FrmPlayMenus() = default;
  // A key as the keyboard shortcuts take it (virtual-key code, shift state).
  virtual void KeyShortcut(int keyCode, int shift) = 0;
  // The drop-down menu list window is unloaded.
  virtual void UnloadMenuWindow() = 0;
};

// The windows that follow the main window's state.
class FrmPlayFrame {
 public:
  virtual ~FrmPlayFrame() = default;
  // The main window was minimised: the tutorial hides, the chat window
  // follows, the scores window and the tableau cards window are unloaded.
  virtual void MainWindowMinimised() = 0;
  // The main window is shown again in this state (chat and tutorial follow).
  virtual void MainWindowShown(Qt::WindowStates state) = 0;
};

// The parts built on the table window that it calls, each the one that does
// the work, given at its construction. The window calls its own five (the
// match, the music, the menus, the frame and the splash) without asking;
// the card table's may be missing.
struct FrmPlayNeighbours {
  platform::BuiltLater<table::TableNeighbours> counts{};       // the status bar's pile counts and match panel
  platform::BuiltLater<table::TableauCards> tableauCards{};    // the tableau cards window
  platform::BuiltLater<table::BackgroundPainting> pictures{};  // the logo and the background
  platform::BuiltLater<table::DropRules> dropRules{};          // the presses on the table: whether a drop is legal
  platform::BuiltLater<FrmPlayMatch> match{};                  // the match in progress
  platform::BuiltLater<media::MusicPanel> music{};             // the Music panel's menu and song
  platform::BuiltLater<FrmPlayMenus> menus{};                  // the keys and the menu list window
  platform::BuiltLater<FrmPlayFrame> frame{};                  // the windows that follow the main window
  platform::BuiltLater<const SplashWindow> splash{};           // the splash window while it stands
  platform::BuiltLater<table::PopupOptions> popupOptions{};    // the player's options the popup items set
};

constexpr int kResizeDelayMs = 200;
constexpr int kClockTickMs = 1000;

class FrmPlay : public table::CardTable, public table::TableView {
  Q_OBJECT
 public:
  // state: the services' turn and move, with what only the game reads.
  FrmPlay(const table::CardTableServices& services, PlayState& state, const NetState& net,
          const platform::ScreenMetrics& screen, FrmPlayNeighbours neighbours = {}, GameClock::Now now = {},
          QWidget* parent = nullptr);
  ~FrmPlay() override;

  // The table view the game logic uses.
  void PaintCard(table::PileControl pile, int index, table::CardCode card, int sound) override;
  void ShowEmpty(table::PileControl pile, int index) override;
  using table::CardTable::BringToFront;
  void BringToFront(table::PileControl pile, int index) override;
  void EnablePiles(bool enabled) override;
  void LayOutPiles() override;
  void SetLabel(table::TableLabel label, const QString& text) override;
  QString Label(table::TableLabel label) const override;
  void SetTabCount(int pile, const QString& text) override;
  void SetImageVisible(table::TableImage image, bool visible) override;
  void SetIconPicture(const QString& file) override;
  void SetCardFrameVisible(int index, bool visible) override;
  void SetCardFrameBackStyle(int index, int backStyle) override;
  void SetStatusPanel(int panel, const QString& text) override;
  void StartClock() override;
  void StartClockAt(double elapsedSeconds) override;
  std::int64_t ElapsedSeconds() const override;
  void StopClock() override;
  void SetLabelVisible(table::TableLabel label, bool visible) override;
  void ShowLogo(bool show) override;
  void SetStatusPanelToolTip(int panel, const QString& text) override;
  void AnimateCard(table::PileControl source, int sourceIndex, table::CardCode card, table::PileControl target,
                   int targetIndex) override;
  void SetPileVisible(table::PileControl pile, int index, bool visible) override;
  void MoveSmokeTo(table::PileControl pile, int index) override;
  void ClearTable() override;

  // Window fitting and placement, in twips.
  void FitMainWindow();
  void ComputeTableArea();
  table::StoredPlacement SaveWindowPlacement() const;
  // Restores a stored placement. A refused one is replaced by the fitted
  // placement, given back in `stored`; the caller then writes it at once.
  bool RestoreWindowPlacement(table::StoredPlacement& stored);
  table::WindowTwips WindowPlacementTwips() const;
  // Once the window manager has framed the shown window, the fitted
  // placement is applied again with the real frame (unless the user has
  // moved the window meanwhile); then `done` runs. Runs `done` at once when
  // the frame was already known.
  void RefitWhenFramed(std::function<void()> done);
  std::int32_t MinFormWidth = 13785;
  std::int32_t MinFormHeight = 9225;
  bool WindowMaximized = false;

  // The frame.
  void LayoutTable();
  void SizeStatusBar() override;
  void StatusBar1_MouseDown(Qt::MouseButton button, int x);
  void StatusBar1_PanelClick(int panel);
  // What a window opened over the table must leave in sight, on the screen:
  // first the title bar, the menu, every pile with its caption and count,
  // the buttons and the status bar; then the message lines (where their
  // texts stand, shown now or not) and the turn markers.
  struct InSight {
    std::vector<QRect> piles;  // piles and controls
    std::vector<QRect> lines;  // message lines and markers
  };
  InSight PlacesInSight() const;
  // Music cannot play here: the Music panel says so, its tip and a left
  // click on it tell why.
  void ShowMusicUnavailable(const QString& reason);
  void Timer1_Timer();
  void tmrResize_Timer();
  void PauseTiming();
  void Form_Resize();

  StatusBar* StatusBar1 = nullptr;
  QTimer Timer1;     // the clock's tick
  QTimer tmrResize;  // the deferred relayout
  GameClock clock;
  bool IgnorePanelClick = false;
  int MusicPanelLeft = 0, MusicPanelWidth = 0;
  int MatchPanelLeft = 0, MatchPanelWidth = 0;

 protected:
  void ClearTableFrame() override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void SetPauseFrozen(bool pause);
  // The status bar stands along the window's bottom edge.
  void PlaceStatusBar();
  table::ScreenTwips ScreenInTwips() const;
  void ApplyPlacement(const table::WindowTwips& placement);
  QSize FrameExtra() const;
  void CheckFramed();
  // The deferred relayout, done now: the window grown to its minimum size
  // and the table laid out (nothing while minimised).
  void RelayoutNow();

  PlayState& playState_;
  const NetState& net_;
  platform::ScreenMetrics screen_;
  FrmPlayNeighbours around_;
  QString musicUnavailableText_;  // why music cannot play; empty while it can
  bool lastMinimised_ = false;
  bool minimisePaused_ = false;  // the minimise, not the player, paused the clock
  table::WindowTwips intended_;  // the placement last applied, frame included
  QPoint placedAt_;              // where that put the frame's corner, pixels
  QTimer frameWatch_;            // looks for the real frame after the first show
  int frameChecks_ = 0;
  std::function<void()> framedDone_;
};

}  // namespace play
