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

namespace {

constexpr int kGames = 10;
constexpr int kRecordLength = 212;
constexpr int kFirstDeckOffset = 0;     // position 0 (unused), then 1..52
constexpr int kSecondDeckOffset = 106;  // position 0 (unused), then 1..52
constexpr std::uint32_t kSeed = 19990401;

void PutI16(QByteArray& bytes, int offset, int value) {
  bytes[offset] = static_cast<char>(value & 0xFF);
  bytes[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
}

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
    QByteArray record(kRecordLength, '\0');
    for (int i = 1; i <= table::kDeckSize; ++i) {
      PutI16(record, kFirstDeckOffset + 2 * i, piles.Reserve[0][i]);
      PutI16(record, kSecondDeckOffset + 2 * i, piles.Reserve[1][i]);
    }
    file += record;
  }
  QFile f(out);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(file) != file.size()) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
    return 1;
  }
  std::printf("%s: %d sample games\n", qPrintable(out), kGames);
  return 0;
}
