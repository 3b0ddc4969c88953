// Makes Data/reserve.ran, the numbered sample games: ten records of 212
// bytes, each holding two shuffled decks in dealing order. A fixed seed
// keeps the file the same on every run.
//
//   make_sample_games [output file]   (default: Data/reserve.ran)

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdio>

#include "table/deal.h"
#include "table/sample_game_record.h"

namespace {

constexpr int kGames = 10;
constexpr std::uint32_t kSeed = 19990401;

}  // namespace

int main(int argc, char** argv) {
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Data/reserve.ran");
  table::RandomSource random = table::SeededRandom(kSeed);
  QByteArray file;
  for (int game = 1; game <= kGames; ++game) {
    table::PileArrays piles;
    table::ShuffleDecks(piles, random);
    if (!table::IsFullDeck(piles, 0) || !table::IsFullDeck(piles, 1)) {
      std::fprintf(stderr, "game %d: the shuffle did not give two full decks\n", game);
      return 1;
    }
    table::SampleGameRecord record;
    for (int i = 1; i <= table::kDeckSize; ++i) {
      record.FirstDeck[i] = piles.Reserve[0][i];
      record.SecondDeck[i] = piles.Reserve[1][i];
    }
    file += record.Encode();
  }
  QFile f(out);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(file) != file.size()) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
    return 1;
  }
  std::printf("%s: %d sample games\n", qPrintable(out), kGames);
  return 0;
}
