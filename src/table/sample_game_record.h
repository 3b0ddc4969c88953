#pragma once
// The record of the sample-deal file "reserve.ran" in the program's Data
// folder: record n holds the two decks of sample game n, in dealing order.
// The program only reads this file.

#include <QByteArray>
#include <array>

#include "table/piles.h"

namespace table {

constexpr int kSampleGameRecordLength = 212;
inline constexpr char kSampleGamesFileName[] = "reserve.ran";

struct SampleGameRecord {
  // Each deck is stored with its unused index 0 in front: card i of the
  // first deck at offset 2 * i, of the second at 106 + 2 * i.
  static constexpr int kFirstDeckOffset = 0;
  static constexpr int kSecondDeckOffset = 106;

  using Deck = std::array<CardCode, kDeckSize + 1>;

  Deck FirstDeck{};  // positions 1..52; index 0 is not read by the game, kept as stored
  Deck SecondDeck{};

  // The first kSampleGameRecordLength bytes; a shorter input gives the zero
  // record SampleGameRecord{}.
  static SampleGameRecord Decode(const QByteArray& bytes);
  // Exactly kSampleGameRecordLength bytes.
  QByteArray Encode() const;

  bool operator==(const SampleGameRecord&) const = default;
};

}  // namespace table
