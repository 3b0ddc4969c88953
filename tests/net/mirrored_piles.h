#pragma once
// The table as the other program of an online game holds it: the two sides
// swapped and tableau pile i seen as 9 - i. Written here apart from the
// program's own lists, so that a test compares against an independent view.

#include <utility>

#include "table/piles.h"

namespace net_test {

inline table::PileArrays Mirrored(const table::PileArrays& p) {
  table::PileArrays m = p;
  for (auto* side : {&m.Reserve, &m.Stock, &m.Waste}) std::swap((*side)[0], (*side)[1]);
  for (auto* count : {&m.ReserveCount, &m.StockCount, &m.WasteCount, &m.ReserveFaceDown})
    std::swap((*count)[0], (*count)[1]);
  for (int i = 1; i <= 8; ++i) {
    m.Tableau[i] = p.Tableau[9 - i];
    m.TableauCount[i] = p.TableauCount[9 - i];
  }
  return m;
}

}  // namespace net_test
