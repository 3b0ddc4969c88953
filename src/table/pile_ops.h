#pragma once
// Bounds-checked operations on the pile arrays. A request that would pass a
// pile's capacity, take a card from an empty pile or name a side or pile
// that does not exist is a program error: it is reported (qCritical), the
// piles stay as they were and the call answers false (or no card).

#include <optional>

#include "table/piles.h"

namespace table {

// Each side's own piles: Reserve, Stock ("Hand") and Waste.
enum class SidePile { Reserve, Stock, Waste };
// The eight piles the two sides share.
enum class SharedPile { Tableau, Center };

bool IsValidSide(int side);
bool IsValidSharedPile(int pile);

// Cards in the pile, or -1 (reported) for a side or pile that does not
// exist or a count outside 0..capacity.
int PileCount(const PileArrays& piles, SidePile kind, int side);
int PileCount(const PileArrays& piles, SharedPile kind, int pile);

// The top card, 0 for an empty pile (and for a request that is reported).
CardCode TopCard(const PileArrays& piles, SidePile kind, int side);
CardCode TopCard(const PileArrays& piles, SharedPile kind, int pile);

// The card at position 1..count (1 the bottom card); 0, reported, for a
// position outside the pile.
CardCode CardAt(const PileArrays& piles, SidePile kind, int side, int position);
CardCode CardAt(const PileArrays& piles, SharedPile kind, int pile, int position);

// Puts the card on top of the pile. Refuses a full pile (104 positions for
// a side pile, 13 for a Tableau or Center pile) and a card code outside
// 1..52.
bool PushCard(PileArrays& piles, SidePile kind, int side, CardCode card);
bool PushCard(PileArrays& piles, SharedPile kind, int pile, CardCode card);

// Takes the top card off the pile, clearing its position. Refuses an empty
// pile.
std::optional<CardCode> PopCard(PileArrays& piles, SidePile kind, int side);
std::optional<CardCode> PopCard(PileArrays& piles, SharedPile kind, int pile);

const char* PileName(SidePile kind);
const char* PileName(SharedPile kind);

}  // namespace table
