#include "play/records/saved_game_record.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/recordfile.h"
#include "platform/vb.h"
#include "support/golden_bytes.h"

namespace play {
namespace {

// A table in mid-game with cards at the far ends of every array.
// A table a game can reach: the cards of both decks dealt in order into
// the piles' counts; past a Stock's count lie cards it held before.
table::PileArrays MidGame() {
  table::PileArrays p;
  int next = 0;
  const auto card = [&next] { return static_cast<table::CardCode>(next++ % 52 + 1); };
  for (int side = 0; side < 2; ++side) {
    p.ReserveCount[side] = static_cast<std::int16_t>(10 + side);
    p.StockCount[side] = static_cast<std::int16_t>(10 - side);
    p.WasteCount[side] = static_cast<std::int16_t>(3 + side);
    for (int pos = 1; pos <= 104; ++pos) {
      p.Reserve[side][pos] = pos <= p.ReserveCount[side] ? card() : 0;
      p.Stock[side][pos] = pos <= p.StockCount[side] ? card() : static_cast<table::CardCode>((pos * 3 + side) % 52 + 1);
      p.Waste[side][pos] = pos <= p.WasteCount[side] ? card() : 0;
    }
  }
  for (int pile = 1; pile <= 8; ++pile) {
    p.TableauCount[pile] = static_cast<std::int16_t>(pile == 8 ? 13 : pile);
    p.CenterCount[pile] = static_cast<std::int16_t>(pile == 8 ? 13 : 0);
    for (int pos = 1; pos <= p.TableauCount[pile]; ++pos) p.Tableau[pile][pos] = card();
    for (int pos = 1; pos <= p.CenterCount[pile]; ++pos) p.Center[pile][pos] = card();
  }
  return p;
}

TEST(SavedGameRecord, EncodesFieldsAndArrayCellsAtTheirOffsets) {
  SavedGameRecord r;
  r.CurrentTurn = table::Turn::Opponent;
  r.ReserveCount = {13, 12};
  r.StockCount = {35, 34};
  r.WasteCount = {0, 1};
  r.TableauCount[1] = 1;
  r.TableauCount[8] = 13;
  r.CenterCount[8] = 2;
  r.Reserve[0][1] = 5;
  r.Reserve[1][1] = 6;
  r.Reserve[1][104] = 52;
  r.Stock[0][35] = 17;
  r.Waste[1][1] = 40;
  r.Tableau[1][1] = 9;
  r.Tableau[8][13] = 1;
  r.Center[8][13] = 13;
  r.Tableau[0][kReserveFaceDownRow] = 12;
  r.Tableau[0][kReserveFaceDownRow + 1] = 11;
  r.Tableau[0][kMatchPointsRow] = 500;
  r.Tableau[0][kOppMatchWinsRow] = 2;
  r.Description = "Caf\u00e9 game";
  r.ElapsedTime = 0.003819444444444444;  // 0:05:30

  QByteArray b(1852, '\0');
  golden::Put16(b, 0, 2);
  golden::Put16(b, 2, 13);
  golden::Put16(b, 4, 12);
  golden::Put16(b, 6, 35);
  golden::Put16(b, 8, 34);
  golden::Put16(b, 12, 1);
  golden::Put16(b, 16, 1);     // TableauCount(1)
  golden::Put16(b, 30, 13);    // TableauCount(8)
  golden::Put16(b, 48, 2);     // CenterCount(8)
  golden::Put16(b, 54, 5);     // Reserve(0, 1)
  golden::Put16(b, 56, 6);     // Reserve(1, 1)
  golden::Put16(b, 468, 52);   // Reserve(1, 104)
  golden::Put16(b, 610, 17);   // Stock(0, 35)
  golden::Put16(b, 896, 40);   // Waste(1, 1)
  golden::Put16(b, 1330, 9);   // Tableau(1, 1)
  golden::Put16(b, 1560, 1);   // Tableau(8, 13)
  golden::Put16(b, 1812, 13);  // Center(8, 13)
  golden::Put16(b, 1310, 12);  // ReserveFaceDown(0)
  golden::Put16(b, 1328, 11);  // ReserveFaceDown(1)
  golden::Put16(b, 1346, 500);
  golden::Put16(b, 1436, 2);
  golden::PutText(b, 1814, 30, QByteArray("Caf\xE9 game"));
  golden::PutF64(b, 1844, 0.003819444444444444);
  EXPECT_EQ(r.Encode(), b);

  SavedGameRecord expected = r;
  expected.Description = expected.Description.leftJustified(30, ' ');
  EXPECT_EQ(SavedGameRecord::Decode(b), expected);
}

TEST(SavedGameRecord, RoundTripsAnyBytesIncludingUnusedCells) {
  const QByteArray bytes = golden::Patterned(kSavedGameRecordLength);
  const SavedGameRecord r = SavedGameRecord::Decode(bytes);
  EXPECT_EQ(r.Encode(), bytes);
  EXPECT_EQ(SavedGameRecord::Decode(r.Encode()), r);
}

TEST(SavedGameRecord, ShortOrZeroInputIsTheEmptyRecord) {
  EXPECT_EQ(SavedGameRecord::Decode(QByteArray()), SavedGameRecord{});
  EXPECT_EQ(SavedGameRecord::Decode(QByteArray(1851, '\x05')), SavedGameRecord{});
  const QByteArray zeros(kSavedGameRecordLength, '\0');
  const SavedGameRecord zero = SavedGameRecord::Decode(zeros);
  EXPECT_EQ(zero, SavedGameRecord{});
  EXPECT_EQ(zero.CurrentTurn, table::Turn::None);
  EXPECT_EQ(vb::TrimRecord(zero.Description), "");
  EXPECT_EQ(SavedGameRecord{}.Encode(), zeros);
}

TEST(SavedGameRecord, DescriptionIsCutToThirtyCharacters) {
  SavedGameRecord r;
  r.Description = "^^Match against a friend from the club";
  EXPECT_EQ(r.Encode().mid(1814, 30), QByteArray("^^Match against a friend from "));
}

TEST(SavedGameRecord, PilesGoInAndOutLeavingTheOtherCellsAlone) {
  const table::PileArrays table = MidGame();
  SavedGameRecord r = SavedGameRecord::Decode(golden::Patterned(kSavedGameRecordLength));
  const SavedGameRecord before = r;
  r.StorePiles(table);

  // Index 0, the pile-0 columns and the description are not pile cells.
  EXPECT_EQ(r.Tableau[0], before.Tableau[0]);
  EXPECT_EQ(r.Center[0], before.Center[0]);
  EXPECT_EQ(r.TableauCount[0], before.TableauCount[0]);
  EXPECT_EQ(r.Reserve[1][0], before.Reserve[1][0]);
  EXPECT_EQ(r.Description, before.Description);
  EXPECT_EQ(r.CurrentTurn, before.CurrentTurn);
  EXPECT_EQ(r.Stock[1][104], table.Stock[1][104]);
  EXPECT_EQ(r.Center[8][13], table.Center[8][13]);

  table::PileArrays back;
  back.ReserveFaceDown = {9, 10};
  ASSERT_TRUE(r.LoadPiles(back));
  table::PileArrays expected = table;
  expected.ReserveFaceDown = {9, 10};  // restored by the caller, not here
  EXPECT_EQ(back, expected);

  // Through the file's bytes as well.
  table::PileArrays fromBytes;
  ASSERT_TRUE(SavedGameRecord::Decode(r.Encode()).LoadPiles(fromBytes));
  EXPECT_EQ(fromBytes, table);
}

TEST(SavedGameRecord, RecordsThatWouldOverrunThePilesAreRefused) {
  SavedGameRecord good;
  good.StorePiles(MidGame());
  ASSERT_TRUE(good.PilesAreSane());

  struct Broken {
    const char* defect;
    void (*spoil)(SavedGameRecord&);
  };
  const Broken cases[] = {
      {"StockCountBeyond104", [](SavedGameRecord& r) { r.StockCount[1] = 105; }},
      {"NegativeWasteCount", [](SavedGameRecord& r) { r.WasteCount[0] = -1; }},
      {"TableauCountBeyond13", [](SavedGameRecord& r) { r.TableauCount[3] = 14; }},
      {"CenterCountHuge", [](SavedGameRecord& r) { r.CenterCount[8] = 32767; }},
      {"CardCode53", [](SavedGameRecord& r) { r.Reserve[0][1] = 53; }},
      {"NegativeCardCode", [](SavedGameRecord& r) { r.Center[2][13] = -7; }},
      {"BlankCardInsideACount", [](SavedGameRecord& r) { r.Tableau[8][13] = 0; }},
      {"ACardThreeTimes", [](SavedGameRecord& r) { r.Waste[0][1] = r.Waste[1][1] = r.Center[8][1]; }},
  };
  for (const Broken& c : cases) {
    SavedGameRecord r = good;
    c.spoil(r);
    table::PileArrays piles = MidGame();
    piles.Reserve[0][1] = 33;
    const table::PileArrays untouched = piles;
    EXPECT_FALSE(r.PilesAreSane()) << c.defect;
    EXPECT_FALSE(r.LoadPiles(piles)) << c.defect;
    EXPECT_EQ(piles, untouched) << c.defect;
  }
  // The unused pile-0 cells may hold anything: they carry other values.
  SavedGameRecord extras = good;
  extras.Tableau[0][kMatchPointsRow] = 1000;
  extras.TableauCount[0] = -3;
  EXPECT_TRUE(extras.PilesAreSane());
  // An empty record is an empty table.
  table::PileArrays empty;
  EXPECT_TRUE(SavedGameRecord{}.LoadPiles(empty));
  EXPECT_EQ(empty, table::PileArrays{});
}

TEST(SavedGameRecord, SavedGamesFileRoundTripsThroughRecordFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(kSavedGamesFileName);
  SavedGameRecord start;
  start.CurrentTurn = table::Turn::Local;
  start.StorePiles(MidGame());
  start.Description = QString("Sunday").leftJustified(30, ' ');
  start.ElapsedTime = 0.5;
  {
    platform::RecordFile file;
    ASSERT_TRUE(file.Open(path, kSavedGameRecordLength));
    ASSERT_TRUE(file.Write(SlotStartRecord(3), start.Encode()));
  }
  EXPECT_EQ(QFile(path).size(), 23 * kSavedGameRecordLength);
  platform::RecordFile file;
  ASSERT_TRUE(file.Open(path, kSavedGameRecordLength, true));
  EXPECT_EQ(SavedGameRecord::Decode(file.Read(23)), start);
  // Records never written, and those past the end, are empty slots.
  EXPECT_EQ(SavedGameRecord::Decode(file.Read(kGameStartRecord)), SavedGameRecord{});
  EXPECT_EQ(SavedGameRecord::Decode(file.Read(SlotStartRecord(kLastSaveSlot))).CurrentTurn, table::Turn::None);
}

}  // namespace
}  // namespace play
