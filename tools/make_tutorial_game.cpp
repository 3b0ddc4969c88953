// Writes the saved-games file an installation starts with:
// Data/seed/backup4.sav, records 1..14 empty and record 15 the tutorial's
// prepared game, laid out so that "tutorial.txt" can walk the learner
// through it: the computer plays an Ace from its Reserve, turns and discards
// its Hand card; the learner plays an Ace to the Center, builds down a
// Tableau pile, loads the computer's Reserve, turns his Stock, plays a Hand
// card to the Center and ends the turn on his Waste; the computer then
// builds on its Ace and loads the learner's Waste. No other move is open to
// the computer on the way (all Tableau cards are red, and none fits a
// Center pile), so its deterministic search makes exactly these moves.
//
//   make_tutorial_game [output file]   (default: Data/seed/backup4.sav)

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "play/records/saved_game_record.h"

namespace {

using table::CardCode;

constexpr int kLearner = 0;
constexpr int kComputer = 1;
constexpr int kReserveCards = 13;
constexpr int kStockCards = 35;

CardCode Club(int rank) { return static_cast<CardCode>(rank); }
CardCode Diamond(int rank) { return static_cast<CardCode>(13 + rank); }
CardCode Heart(int rank) { return static_cast<CardCode>(26 + rank); }
CardCode Spade(int rank) { return static_cast<CardCode>(39 + rank); }

// One side's deck dealt out: the named cards on top (last named on top) and
// the rest of the deck, in code order, beneath them.
struct SideDeal {
  std::vector<CardCode> reserveTop;  // bottom to top of the named part
  std::vector<CardCode> stockTop;
  std::vector<CardCode> tableau;  // the side's four Tableau piles
};

void Deal(const SideDeal& deal, int side, int firstTableau, table::PileArrays& p) {
  std::vector<CardCode> rest;
  for (CardCode c = 1; c <= table::kDeckSize; ++c) {
    const auto named = [c](const std::vector<CardCode>& v) { return std::find(v.begin(), v.end(), c) != v.end(); };
    if (!named(deal.reserveTop) && !named(deal.stockTop) && !named(deal.tableau)) rest.push_back(c);
  }
  auto take = [&rest](int n) {
    std::vector<CardCode> out(rest.begin(), rest.begin() + n);
    rest.erase(rest.begin(), rest.begin() + n);
    return out;
  };
  std::vector<CardCode> reserve = take(kReserveCards - static_cast<int>(deal.reserveTop.size()));
  reserve.insert(reserve.end(), deal.reserveTop.begin(), deal.reserveTop.end());
  std::vector<CardCode> stock = take(kStockCards - static_cast<int>(deal.stockTop.size()));
  stock.insert(stock.end(), deal.stockTop.begin(), deal.stockTop.end());
  for (int i = 0; i < kReserveCards; ++i) p.Reserve[side][i + 1] = reserve[i];
  for (int i = 0; i < kStockCards; ++i) p.Stock[side][i + 1] = stock[i];
  p.ReserveCount[side] = kReserveCards;
  p.StockCount[side] = kStockCards;
  for (int i = 0; i < 4; ++i) {
    p.Tableau[firstTableau + i][1] = deal.tableau[i];
    p.TableauCount[firstTableau + i] = 1;
  }
}

play::SavedGameRecord TutorialGame() {
  table::PileArrays p;
  Deal({{Spade(3), Club(5), Spade(7), Heart(1)},
        {Spade(13), Heart(2)},
        {Heart(10), Diamond(4), Diamond(8), Diamond(10)}},
       kLearner, 1, p);
  Deal({{Club(6), Club(1)}, {Heart(9), Spade(12), Club(2), Heart(12)}, {Heart(5), Diamond(9), Diamond(12), Heart(11)}},
       kComputer, 5, p);

  play::SavedGameRecord rec;
  rec.StorePiles(p);
  rec.CurrentTurn = table::Turn::Opponent;  // the computer begins
  for (int side = 0; side < table::kSides; ++side)
    rec.Tableau[0][play::kReserveFaceDownRow + side] = static_cast<std::int16_t>(kReserveCards - 1);
  rec.Description = QStringLiteral("Tutorial").leftJustified(play::SavedGameRecord::kDescriptionWidth, u' ');
  return rec;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  const QString path = args.size() > 1 ? args.at(1) : QStringLiteral("Data/seed/backup4.sav");

  QByteArray file;
  for (int n = 1; n < play::kTutorialRecord; ++n) file += play::SavedGameRecord{}.Encode();
  file += TutorialGame().Encode();

  QDir().mkpath(QFileInfo(path).absolutePath());
  QSaveFile out(path);
  if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size() || !out.commit()) {
    std::fprintf(stderr, "make_tutorial_game: cannot write %s\n", qPrintable(path));
    return 1;
  }
  std::printf("%s: %d records of %d bytes\n", qPrintable(path), play::kTutorialRecord, play::kSavedGameRecordLength);
  return 0;
}
