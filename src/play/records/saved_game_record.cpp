#include "play/records/saved_game_record.h"

#include "platform/recordfile.h"

namespace play {

namespace {

using Record = SavedGameRecord;

template <std::size_t N>
void ReadCounts(const platform::ByteReader& in, int base, std::array<std::int16_t, N>& counts) {
  for (std::size_t i = 0; i < N; ++i) counts[i] = in.I16(base + 2 * static_cast<int>(i));
}

template <std::size_t N>
void WriteCounts(platform::ByteWriter& out, int base, const std::array<std::int16_t, N>& counts) {
  for (std::size_t i = 0; i < N; ++i) out.I16(base + 2 * static_cast<int>(i), counts[i]);
}

void ReadSidePiles(const platform::ByteReader& in, int base, Record::SidePiles& piles) {
  for (int side = 0; side < table::kSides; ++side)
    for (int pos = 0; pos <= table::kSidePileCapacity; ++pos)
      piles[side][pos] = in.I16(Record::SideCellOffset(base, side, pos));
}

void WriteSidePiles(platform::ByteWriter& out, int base, const Record::SidePiles& piles) {
  for (int side = 0; side < table::kSides; ++side)
    for (int pos = 0; pos <= table::kSidePileCapacity; ++pos)
      out.I16(Record::SideCellOffset(base, side, pos), piles[side][pos]);
}

void ReadSharedPiles(const platform::ByteReader& in, int base, Record::SharedPiles& piles) {
  for (int pile = 0; pile <= table::kSharedPiles; ++pile)
    for (int pos = 0; pos <= table::kSharedPileCapacity; ++pos)
      piles[pile][pos] = in.I16(Record::SharedCellOffset(base, pile, pos));
}

void WriteSharedPiles(platform::ByteWriter& out, int base, const Record::SharedPiles& piles) {
  for (int pile = 0; pile <= table::kSharedPiles; ++pile)
    for (int pos = 0; pos <= table::kSharedPileCapacity; ++pos)
      out.I16(Record::SharedCellOffset(base, pile, pos), piles[pile][pos]);
}

bool IsCardCode(table::CardCode c) { return c >= 0 && c <= table::kDeckSize; }

bool CountFits(std::int16_t count, int capacity) { return count >= 0 && count <= capacity; }

}  // namespace

SavedGameRecord SavedGameRecord::Decode(const QByteArray& bytes) {
  SavedGameRecord r;
  if (bytes.size() < kSavedGameRecordLength) return r;
  const platform::ByteReader in(bytes);
  // Any stored number is kept, so the record writes back the same bytes;
  // the loader refuses a turn outside 0..2.
  r.CurrentTurn = static_cast<table::Turn>(in.I16(kCurrentTurnOffset));
  ReadCounts(in, kReserveCountOffset, r.ReserveCount);
  ReadCounts(in, kStockCountOffset, r.StockCount);
  ReadCounts(in, kWasteCountOffset, r.WasteCount);
  ReadCounts(in, kTableauCountOffset, r.TableauCount);
  ReadCounts(in, kCenterCountOffset, r.CenterCount);
  ReadSidePiles(in, kReserveOffset, r.Reserve);
  ReadSidePiles(in, kStockOffset, r.Stock);
  ReadSidePiles(in, kWasteOffset, r.Waste);
  ReadSharedPiles(in, kTableauOffset, r.Tableau);
  ReadSharedPiles(in, kCenterOffset, r.Center);
  r.Description = in.Text(kDescriptionOffset, kDescriptionWidth);
  r.ElapsedTime = in.F64(kElapsedTimeOffset);
  return r;
}

QByteArray SavedGameRecord::Encode() const {
  QByteArray bytes(kSavedGameRecordLength, '\0');
  platform::ByteWriter out(bytes);
  out.I16(kCurrentTurnOffset, table::TurnCode(CurrentTurn));
  WriteCounts(out, kReserveCountOffset, ReserveCount);
  WriteCounts(out, kStockCountOffset, StockCount);
  WriteCounts(out, kWasteCountOffset, WasteCount);
  WriteCounts(out, kTableauCountOffset, TableauCount);
  WriteCounts(out, kCenterCountOffset, CenterCount);
  WriteSidePiles(out, kReserveOffset, Reserve);
  WriteSidePiles(out, kStockOffset, Stock);
  WriteSidePiles(out, kWasteOffset, Waste);
  WriteSharedPiles(out, kTableauOffset, Tableau);
  WriteSharedPiles(out, kCenterOffset, Center);
  out.Text(kDescriptionOffset, kDescriptionWidth, Description);
  out.F64(kElapsedTimeOffset, ElapsedTime);
  return bytes;
}

void SavedGameRecord::StorePiles(const table::PileArrays& piles) {
  for (int side = 0; side < table::kSides; ++side) {
    ReserveCount[side] = piles.ReserveCount[side];
    StockCount[side] = piles.StockCount[side];
    WasteCount[side] = piles.WasteCount[side];
    for (int pos = 1; pos <= table::kSidePileCapacity; ++pos) {
      Reserve[side][pos] = piles.Reserve[side][pos];
      Stock[side][pos] = piles.Stock[side][pos];
      Waste[side][pos] = piles.Waste[side][pos];
    }
  }
  for (int pile = 1; pile <= table::kSharedPiles; ++pile) {
    TableauCount[pile] = piles.TableauCount[pile];
    CenterCount[pile] = piles.CenterCount[pile];
    for (int pos = 1; pos <= table::kSharedPileCapacity; ++pos) {
      Tableau[pile][pos] = piles.Tableau[pile][pos];
      Center[pile][pos] = piles.Center[pile][pos];
    }
  }
}

bool SavedGameRecord::PilesAreSane() const {
  // The cells past a pile's count keep whatever the pile held before; they
  // only have to be card codes. The cards inside the counts must be a game's:
  // no blank card and no card more often than the two decks hold it, which
  // also keeps them to the 104 cards of both decks.
  std::array<int, table::kDeckSize + 1> seen{};
  auto pileIsSane = [&](const auto& pile, std::int16_t count, int capacity) {
    if (!CountFits(count, capacity)) return false;
    for (int pos = 1; pos <= capacity; ++pos) {
      const table::CardCode c = pile[static_cast<std::size_t>(pos)];
      if (!IsCardCode(c)) return false;
      if (pos > count) continue;
      if (c == 0 || ++seen[static_cast<std::size_t>(c)] > table::kSides) return false;
    }
    return true;
  };
  for (std::size_t side = 0; side < table::kSides; ++side)
    if (!pileIsSane(Reserve[side], ReserveCount[side], table::kSidePileCapacity) ||
        !pileIsSane(Stock[side], StockCount[side], table::kSidePileCapacity) ||
        !pileIsSane(Waste[side], WasteCount[side], table::kSidePileCapacity))
      return false;
  for (std::size_t pile = 1; pile <= table::kSharedPiles; ++pile)
    if (!pileIsSane(Tableau[pile], TableauCount[pile], table::kSharedPileCapacity) ||
        !pileIsSane(Center[pile], CenterCount[pile], table::kSharedPileCapacity))
      return false;
  return true;
}

bool SavedGameRecord::LoadPiles(table::PileArrays& piles) const {
  if (!PilesAreSane()) return false;
  for (int side = 0; side < table::kSides; ++side) {
    piles.ReserveCount[side] = ReserveCount[side];
    piles.StockCount[side] = StockCount[side];
    piles.WasteCount[side] = WasteCount[side];
    for (int pos = 1; pos <= table::kSidePileCapacity; ++pos) {
      piles.Reserve[side][pos] = Reserve[side][pos];
      piles.Stock[side][pos] = Stock[side][pos];
      piles.Waste[side][pos] = Waste[side][pos];
    }
  }
  for (int pile = 1; pile <= table::kSharedPiles; ++pile) {
    piles.TableauCount[pile] = TableauCount[pile];
    piles.CenterCount[pile] = CenterCount[pile];
    for (int pos = 1; pos <= table::kSharedPileCapacity; ++pos) {
      piles.Tableau[pile][pos] = Tableau[pile][pos];
      piles.Center[pile][pos] = Center[pile][pos];
    }
  }
  return true;
}

}  // namespace play
