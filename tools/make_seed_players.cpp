// Writes the players file as an installation starts with it:
// Data/seed/players4.sav, records 1..10 without players, record 11 the
// settings record with no last player, record 12 the new player's template.
//
//   make_seed_players [output file]   (default: Data/seed/players4.sav)

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

#include "platform/vb.h"
#include "play/records/player_record.h"
#include "table/card_deck.h"

namespace {

constexpr std::int32_t Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }

// A record without a player: blank texts, every number zero.
play::PlayerRecord Blank() {
  play::PlayerRecord r;
  r.Name = QString();
  r.BackgroundName = QString();
  r.Scores.OpponentName = QString();
  r.Scores.AvatarFile = QString();
  return r;
}

play::PlayerRecord Template() {
  play::PlayerRecord r = Blank();
  r.TextFontSize = play::kDefaultTextFontSize;  // 13 points, or 10 under large fonts
  r.BackgroundName = play::kDefaultBackground;  // the shipped cork picture
  r.CurrentStructure = play::kFirstStructure;
  r.ThinkLevel = 3;   // half a second between the computer's moves
  r.AnimSpeed = 210;  // mid-scale; a first start sets it from the processor speed
  r.SoundOn = vb::True;
  r.NoIntroMusic = vb::False;
  r.CardSoundSet = play::kCardSoundWood;
  r.CardDeck = table::kBuiltInDeck;
  r.CardBack = table::kOwnBack;
  r.FontColor = Rgb(255, 255, 255);
  r.MatColor = Rgb(0, 100, 0);
  r.WoodPlaceHolders = vb::True;
  r.FirstPlayerRule = play::kFirstPlayerLowestCard;
  return r;
}

play::PlayerRecord Settings() {
  play::PlayerRecord r = Blank();
  r.SetLastPlayer(play::kNoLastPlayer);
  r.SetWindowState(play::kWindowStateNormal);  // the size is fitted at the first start
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  const QString path = args.size() > 1 ? args.at(1) : QStringLiteral("Data/seed/players4.sav");

  QByteArray file;
  for (int n = play::kFirstPlayerRecord; n <= play::kPlayersFileRecords; ++n) {
    const play::PlayerRecord r = n == play::kSettingsRecord   ? Settings()
                                 : n == play::kTemplateRecord ? Template()
                                                              : Blank();
    file += r.Encode();
  }

  QDir().mkpath(QFileInfo(path).absolutePath());
  QSaveFile out(path);
  if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size() || !out.commit()) {
    std::fprintf(stderr, "make_seed_players: cannot write %s\n", qPrintable(path));
    return 1;
  }
  std::printf("%s: %d records of %d bytes\n", qPrintable(path), play::kPlayersFileRecords, play::kPlayerRecordLength);
  return 0;
}
