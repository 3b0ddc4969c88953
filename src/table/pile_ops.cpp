#include "table/pile_ops.h"

#include <QtGlobal>
#include <type_traits>

namespace table {

namespace {

// One pile seen as its cards, its count and its capacity, once the side or
// pile number has been checked (no cards when it was not valid).
template <typename Arrays>
auto SideRef(Arrays& piles, SidePile kind, int side) {
  using Pile = std::conditional_t<std::is_const_v<Arrays>, const PileArrays::SidePile, PileArrays::SidePile>;
  using Count = std::conditional_t<std::is_const_v<Arrays>, const std::int16_t, std::int16_t>;
  struct Ref {
    Pile* cards = nullptr;
    Count* count = nullptr;
    int capacity = kSidePileCapacity;
  } ref;
  if (!IsValidSide(side)) {
    qCritical("%s pile of side %d does not exist", PileName(kind), side);
    return ref;
  }
  switch (kind) {
    case SidePile::Reserve:
      ref.cards = &piles.Reserve[side];
      ref.count = &piles.ReserveCount[side];
      break;
    case SidePile::Stock:
      ref.cards = &piles.Stock[side];
      ref.count = &piles.StockCount[side];
      break;
    case SidePile::Waste:
      ref.cards = &piles.Waste[side];
      ref.count = &piles.WasteCount[side];
      break;
  }
  return ref;
}

template <typename Arrays>
auto SharedRef(Arrays& piles, SharedPile kind, int pile) {
  using Pile = std::conditional_t<std::is_const_v<Arrays>, const PileArrays::SharedPile, PileArrays::SharedPile>;
  using Count = std::conditional_t<std::is_const_v<Arrays>, const std::int16_t, std::int16_t>;
  struct Ref {
    Pile* cards = nullptr;
    Count* count = nullptr;
    int capacity = kSharedPileCapacity;
  } ref;
  if (!IsValidSharedPile(pile)) {
    qCritical("%s pile %d does not exist", PileName(kind), pile);
    return ref;
  }
  switch (kind) {
    case SharedPile::Tableau:
      ref.cards = &piles.Tableau[pile];
      ref.count = &piles.TableauCount[pile];
      break;
    case SharedPile::Center:
      ref.cards = &piles.Center[pile];
      ref.count = &piles.CenterCount[pile];
      break;
  }
  return ref;
}

// The count of a pile whose number was valid, or -1 when the count itself
// has left its range (which would make every position unsafe).
template <typename Ref>
int CheckedCount(const Ref& ref, const char* name, int number) {
  if (!ref.cards) return -1;
  const int n = *ref.count;
  if (n < 0 || n > ref.capacity) {
    qCritical("%s pile %d holds the impossible count %d", name, number, n);
    return -1;
  }
  return n;
}

template <typename Ref>
CardCode Top(const Ref& ref, const char* name, int number) {
  const int n = CheckedCount(ref, name, number);
  return n > 0 ? (*ref.cards)[n] : CardCode{0};
}

template <typename Ref>
CardCode At(const Ref& ref, const char* name, int number, int position) {
  const int n = CheckedCount(ref, name, number);
  if (n < 0) return 0;
  if (position < 1 || position > n) {
    qCritical("%s pile %d holds no position %d (%d cards)", name, number, position, n);
    return 0;
  }
  return (*ref.cards)[position];
}

template <typename Ref>
bool Push(Ref ref, const char* name, int number, CardCode card) {
  const int n = CheckedCount(ref, name, number);
  if (n < 0) return false;
  if (card < 1 || card > kDeckSize) {
    qCritical("refused to put the card code %d on %s pile %d", card, name, number);
    return false;
  }
  if (n >= ref.capacity) {
    qCritical("refused to put a card on the full %s pile %d (%d cards)", name, number, n);
    return false;
  }
  (*ref.cards)[n + 1] = card;
  *ref.count = static_cast<std::int16_t>(n + 1);
  return true;
}

template <typename Ref>
std::optional<CardCode> Pop(Ref ref, const char* name, int number) {
  const int n = CheckedCount(ref, name, number);
  if (n < 0) return std::nullopt;
  if (n == 0) {
    qCritical("refused to take a card from the empty %s pile %d", name, number);
    return std::nullopt;
  }
  const CardCode card = (*ref.cards)[n];
  (*ref.cards)[n] = 0;
  *ref.count = static_cast<std::int16_t>(n - 1);
  return card;
}

}  // namespace

bool IsValidSide(int side) { return side >= 0 && side < kSides; }
bool IsValidSharedPile(int pile) { return pile >= 1 && pile <= kSharedPiles; }

const char* PileName(SidePile kind) {
  switch (kind) {
    case SidePile::Reserve: return "Reserve";
    case SidePile::Stock: return "Stock";
    case SidePile::Waste: return "Waste";
  }
  return "?";
}

const char* PileName(SharedPile kind) {
  switch (kind) {
    case SharedPile::Tableau: return "Tableau";
    case SharedPile::Center: return "Center";
  }
  return "?";
}

int PileCount(const PileArrays& piles, SidePile kind, int side) {
  return CheckedCount(SideRef(piles, kind, side), PileName(kind), side);
}

int PileCount(const PileArrays& piles, SharedPile kind, int pile) {
  return CheckedCount(SharedRef(piles, kind, pile), PileName(kind), pile);
}

CardCode TopCard(const PileArrays& piles, SidePile kind, int side) {
  return Top(SideRef(piles, kind, side), PileName(kind), side);
}

CardCode TopCard(const PileArrays& piles, SharedPile kind, int pile) {
  return Top(SharedRef(piles, kind, pile), PileName(kind), pile);
}

CardCode CardAt(const PileArrays& piles, SidePile kind, int side, int position) {
  return At(SideRef(piles, kind, side), PileName(kind), side, position);
}

CardCode CardAt(const PileArrays& piles, SharedPile kind, int pile, int position) {
  return At(SharedRef(piles, kind, pile), PileName(kind), pile, position);
}

bool PushCard(PileArrays& piles, SidePile kind, int side, CardCode card) {
  return Push(SideRef(piles, kind, side), PileName(kind), side, card);
}

bool PushCard(PileArrays& piles, SharedPile kind, int pile, CardCode card) {
  return Push(SharedRef(piles, kind, pile), PileName(kind), pile, card);
}

std::optional<CardCode> PopCard(PileArrays& piles, SidePile kind, int side) {
  return Pop(SideRef(piles, kind, side), PileName(kind), side);
}

std::optional<CardCode> PopCard(PileArrays& piles, SharedPile kind, int pile) {
  return Pop(SharedRef(piles, kind, pile), PileName(kind), pile);
}

}  // namespace table
