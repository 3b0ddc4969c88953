#pragma once
// The local player's turn: the mouse on the pile pictures of the table
// window (pressing, dragging and letting go, double-clicking a card to a
// Center foundation, turning the Stock card), the Done button, and handing
// the turn to the computer or the online opponent and back.
//
// The drag itself belongs to the table (table::CardTable::DragStart and its
// kin); this class is the game play side of it: it decides when a drag may
// start, and as the table's DropRules it judges and applies the drop.

#include <QObject>
#include <QPointer>
#include <QString>

#include "platform/built_later.h"
#include "play/computer/computer_player.h"
#include "play/game/new_game.h"
#include "play/rules/apply_move.h"
#include "play/rules/rule_checks.h"
#include "table/card_table.h"
#include "table/drag_drop.h"
#include "table/small_card_windows.h"
#include "table/table_settings.h"

namespace platform {
class SoundChannel;
class UiService;
}  // namespace platform

namespace play {

// What the presses on the table tell the tutorial.
class HumanTurnTutorial {
 public:
  virtual ~HumanTurnTutorial() = default;
  // The learner turned the Stock card: Next is shown and enabled and the
  // hand picHand(0) hides.
  virtual void TutorialStockTurned() = 0;
  // The hand picHand(0) hides.
  virtual void HideTutorialHand() = 0;
};

// The drop-down menu panel, which a press on the table closes.
class MenuPanel {
 public:
  virtual ~MenuPanel() = default;
  // Closes the drop-down menu panel (PanelHide).
  virtual void PanelHide() = 0;
};

// The small card windows a press on a pile opens; they answer themselves.
using PileViewers = table::PileViewers;

struct HumanTurnServices {
  MoveServices& moves;      // piles, game state, view, sounds, waits, busy guard, hooks
  table::CardTable& table;  // the pile pictures and the drag
  ComputerPlayer& computer;
  platform::UiService& ui;               // the beep
  platform::SoundChannel& channel;       // the rule messages' error sound
  const table::TableSettings& settings;  // SoundOn
  QString DataPath;                      // ends in a separator
  MenuPanel& panel;
  PileViewers& viewers;
  platform::BuiltLater<HumanTurnTutorial> tutorial;
  OpponentTurn& opponent;  // the online peer's turn after the local one
};

class HumanTurn : public QObject, public table::DropRules {
 public:
  explicit HumanTurn(const HumanTurnServices& services, QObject* parent = nullptr);
  ~HumanTurn() override;

  // Connects the pile pictures, the labels that react to the mouse and the
  // Done button of the table (which asks this for its drop rules). After
  // SetFixedSizes, which creates the pile pictures. Once.
  void Connect();

  // The pile events (Index is the control-array index; X and Y the mouse
  // inside the pile picture).
  void picPlayer_MouseDown(int Index, Qt::MouseButton Button, int X, int Y);
  void picPlayer_MouseMove(int Index, int X, int Y);
  void picPlayer_MouseUp(int Index);
  void picPlayer_DblClick(int Index);
  void picTableau_MouseDown(int Index, Qt::MouseButton Button, int X, int Y);
  void picTableau_MouseMove(int Index, int X, int Y);
  void picTableau_MouseUp(int Index);
  void picTableau_DblClick(int Index);
  void picOpponent_MouseDown(int Index, Qt::MouseButton Button);
  // The Done button: ends the player's turn (also run by the online code).
  void cmdDone_Click();

  // The table's drop rules.
  bool CheckDrop(table::PileControl target, int index, table::CardCode targetTop) override;
  bool PlaceCard(table::PileControl target, int index) override;
  void RemoveFromSourcePile(table::PileControl source, int index) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A game runs (the Deal button is hidden) and the other side moves.
  bool NotYourTurn() const;
  bool MoveUnderway() const;
  RuleMessageOutput RuleOutput() const;
  void Illegal(RuleReason reason);
  // A press on a pile clears the rule message that stood there.
  void ClearMessageAfterPress();
  // The first press on the Stock: its card is turned face up, or an empty
  // Stock takes the Waste back.
  void TurnStock();
  // The Hand card was dropped on the own Waste.
  void EndTurnAfterDrop();
  // The other side plays its turn: the computer, or online the peer.
  void OpponentTurn();
  void AutoPlayToCenter(table::PileControl pile, int Index);

  HumanTurnServices s_;
  bool pressedEmptyPile_ = false;  // the last press on an own pile found no card to pick up
};

}  // namespace play
