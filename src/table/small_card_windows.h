#pragma once
// The owner of the two small card windows beside the table: the tableau
// cards window (frmHold), made on first use and kept until the program
// unloads it, and the developer's pile viewer (frmView).

#include <QString>
#include <memory>

#include "table/card_table.h"
#include "table/pile_viewer.h"
#include "table/tableau_cards_window.h"

namespace table {

struct TableSettings;

// The developer's pile viewer and the tableau cards window as the presses
// on the table open them.
class PileViewers {
 public:
  virtual ~PileViewers() = default;
  // The developer view's right click on a side or Tableau pile.
  virtual void ViewCards(const QString& pileName, int index) = 0;
  // A right click on Tableau pile `pile`: the cards beneath its top card.
  virtual void ShowTableauPile(int pile) = 0;
};

class SmallCardWindows : public TableauCards, public PileViewers {
 public:
  SmallCardWindows(CardTable& table, const TableSettings& settings, int captionHeight, int twipsPerPixel,
                   TableauWindowHooks* hooks);
  ~SmallCardWindows() override;

  // PileViewers
  void ShowTableauPile(int pile) override;
  void ViewCards(const QString& pileName, int index) override;
  // TableauCards
  bool TableauCardsWindowShown() const override;
  void HideTableauCardsWindow() override;
  // The program's own unloading (the main window minimised, the deck
  // changed, the exit): the windows close; the next use makes them anew.
  void UnloadTableauCardsWindow() override;
  void UnloadAll();

  FrmHold* frmHold() const { return frmHold_.get(); }
  // The tableau cards window, made now when it is not yet.
  FrmHold& MadeTableauCardsWindow();
  FrmView* frmView() const { return frmView_.get(); }

 private:
  CardPainter Painter();

  CardTable& table_;
  const TableSettings& settings_;
  int captionHeight_;
  int twipsPerPixel_;
  TableauWindowHooks* hooks_;
  std::unique_ptr<FrmHold> frmHold_;
  std::unique_ptr<FrmView> frmView_;
};

}  // namespace table
