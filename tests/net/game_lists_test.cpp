#include "net/game_lists.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>
#include <functional>
#include <vector>

#include "net/mirrored_piles.h"

namespace {

using net::ReceivedMove;
using net_test::Mirrored;
using table::PileArrays;

net::TabOrder NewPeerOrder(bool host) {
  net::TabOrder order;
  net::GetTabOrder(QStringLiteral("40"), host, order);
  return order;
}

PileArrays ShuffledDecks() {
  PileArrays p;
  for (int pos = 1; pos <= 52; ++pos) {
    p.Reserve[0][pos] = static_cast<table::CardCode>(pos);
    p.Reserve[1][pos] = static_cast<table::CardCode>((pos * 7) % 52 + 1);  // 7 is prime to 52
  }
  return p;
}

TEST(GameLists, DeckListIsSentHostSide1FirstAndReadMirroredWithTheMatchPairsSwapped) {
  const PileArrays host = ShuffledDecks();
  const net::MatchFields match{150, 3, 40, 60, 1, 2};
  const QString list = net::BuildDeckList(host, match);
  EXPECT_TRUE(list.startsWith(" 8# 15# 22#"));
  EXPECT_TRUE(list.endsWith(" 150# 3# 40# 60# 1# 2#"));
  const net::NetMessage m = net::ParseNetLine(net::DkLine(list), false);
  ASSERT_FALSE(m.violation);

  const auto read = net::ReadDeckList(m.text, true);
  ASSERT_TRUE(read);
  PileArrays remote;
  net::LoadDecks(*read, remote);
  for (int pos = 1; pos <= 52; ++pos) {
    EXPECT_EQ(remote.Reserve[0][pos], host.Reserve[1][pos]);
    EXPECT_EQ(remote.Reserve[1][pos], host.Reserve[0][pos]);
  }
  EXPECT_EQ(read->match, (net::MatchFields{150, 3, 60, 40, 2, 1}));
  // Without a match on the remote the same 110 fields are refused, and the
  // 104 without the match values are taken.
  EXPECT_FALSE(net::ReadDeckList(m.text, false));
  const auto plain = net::ReadDeckList("#" + net::BuildDeckList(host, std::nullopt), false);
  ASSERT_TRUE(plain);
  EXPECT_FALSE(plain->match);
}

TEST(GameLists, HostileDeckListsAreRefused) {
  const QString good = "#" + net::BuildDeckList(ShuffledDecks(), std::nullopt);
  ASSERT_TRUE(net::ReadDeckList(good, false));
  auto first = [&](const char* value) {  // the first card, side 1's bottom, replaced
    return QString(good).replace(good.indexOf(QLatin1String(" 8#")), 3, QLatin1String(value));
  };
  struct Hostile {
    const char* what;
    QString text;
    bool matchOn;
  };
  const std::vector<Hostile> hostile{
      {"103 fields", first(""), false},
      {"a duplicate", first(" 15#"), false},
      {"code 53", first(" 53#"), false},
      {"code 0", first(" 0#"), false},
      {"not a number", first(" 8x#"), false},
      {"no final mark", good.chopped(1), false},
      {"110 fields without a match", good + " 100# 0# 0# 0# 0# 0#", false},
      {"match target 61", good + " 61# 0# 0# 0# 0# 0#", true},
      {"negative match score", good + " 100# 0# -1# 0# 0# 0#", true},
  };
  for (const Hostile& h : hostile) EXPECT_FALSE(net::ReadDeckList(h.text, h.matchOn)) << h.what;
}

TEST(GameLists, LocalTableauMoveIsSentInThePeersNumbering) {
  const play::OnlineMove move{"picTableau", 2, "picCenter", 5};
  EXPECT_EQ(net::MoveLine(move, NewPeerOrder(true)), "PC picTableau#7#picCenter#5");
  const play::OnlineMove toTableau{"picPlayer", 2, "picTableau", 1};
  EXPECT_EQ(net::MoveLine(toTableau, NewPeerOrder(false)), "PC picPlayer#2#picTableau#8");
}

// A table in the middle of a game: 104 cards, each code twice.
// A table a game can reach: the Center piles built up from their Aces in
// suit, the Tableau piles down in alternating colours (the Three of suit 2
// tops pile 3), the other cards of both decks in the side piles, side 0's
// Hand card the Four of suit 4.
PileArrays MidGame() {
  PileArrays p;
  using Cards = std::vector<table::CardCode>;
  const Cards center[9] = {{}, {1}, {}, {27, 28}, {}, {40, 41, 42}, {}, {14}, {1, 2}};
  const Cards tableau[9] = {{}, {20}, {48, 21}, {31, 4, 16}, {}, {13, 25, 50, 36}, {6}, {38, 11}, {}};
  Cards rest;
  for (int deck = 0; deck < 2; ++deck) {
    for (int c = 1; c <= 52; ++c) rest.push_back(static_cast<table::CardCode>(deck ? 53 - c : c));
  }
  auto take = [&](table::CardCode card) {
    const auto at = std::find(rest.begin(), rest.end(), card);
    EXPECT_NE(at, rest.end()) << card;
    if (at != rest.end()) rest.erase(at);
  };
  for (int i = 1; i <= 8; ++i) {
    for (auto* pile : {&center[i], &tableau[i]}) {
      for (table::CardCode c : *pile) take(c);
    }
    p.CenterCount[i] = static_cast<std::int16_t>(center[i].size());
    p.TableauCount[i] = static_cast<std::int16_t>(tableau[i].size());
    std::copy(center[i].begin(), center[i].end(), &p.Center[i][1]);
    std::copy(tableau[i].begin(), tableau[i].end(), &p.Tableau[i][1]);
  }
  std::size_t next = 0;
  auto fill = [&](auto& pile, std::int16_t& count, int n) {
    count = static_cast<std::int16_t>(n);
    for (int pos = 1; pos <= n; ++pos) pile[pos] = rest[next++];
  };
  fill(p.Reserve[0], p.ReserveCount[0], 13);
  fill(p.Stock[0], p.StockCount[0], 30);
  fill(p.Waste[0], p.WasteCount[0], 0);
  fill(p.Reserve[1], p.ReserveCount[1], 10);
  fill(p.Stock[1], p.StockCount[1], 20);
  fill(p.Waste[1], p.WasteCount[1], 9);
  p.ReserveFaceDown = {12, 5};
  EXPECT_EQ(next, rest.size());
  std::iter_swap(std::find(&p.Stock[0][1], &p.Stock[0][31], 43), &p.Stock[0][30]);
  return p;
}

TEST(GameLists, ReceivedMovesAreCheckedAgainstTheTableBeforeAnythingMoves) {
  PileArrays p = Mirrored(MidGame());  // the receiver's view: the mover's piles are side 1
  // The moves below follow the pile rules: the Three of suit 2 from tableau
  // 6 onto the Two of center 5, the Four of suit 4 from the mover's Stock
  // onto the Five topping the receiver's Waste.
  p.Center[5][p.CenterCount[5]] = 15;
  p.Waste[0][p.WasteCount[0]] = 44;
  const net::TabOrder order = NewPeerOrder(false);
  auto check = [&](const char* from, int fi, const char* to, int ti) {
    return net::CheckReceivedMove(from, fi, to, ti, p, false, order);
  };
  const auto play = check("picTableau", 6, "picCenter", 5);
  ASSERT_TRUE(play);
  EXPECT_EQ(play->card, p.Tableau[6][p.TableauCount[6]]);
  EXPECT_FALSE(play->EndsTurn());
  const auto load = check("picPlayer", 1, "picPlayer", 3);
  ASSERT_TRUE(load);
  EXPECT_EQ(load->target, ReceivedMove::Target::OwnSidePile);
  EXPECT_EQ(load->card, p.Stock[1][p.StockCount[1]]);
  const auto stock = check("picPlayer", 1, "picPlayer", 1);
  ASSERT_TRUE(stock);
  EXPECT_EQ(stock->target, ReceivedMove::Target::StockTurn);
  ASSERT_TRUE(check("picPlayer", 1, "picOpponent", 3));
  EXPECT_TRUE(check("picPlayer", 1, "picOpponent", 3)->EndsTurn());

  // An empty Hand still ends the turn with the Done button's discard.
  PileArrays emptyHand = p;
  emptyHand.StockCount[1] = 0;
  const auto done = net::CheckReceivedMove("picPlayer", 1, "picOpponent", 3, emptyHand, false, order);
  ASSERT_TRUE(done);
  EXPECT_EQ(done->card, 0);

  PileArrays fullTableau = p;
  fullTableau.TableauCount[2] = 13;
  struct Hostile {
    const char* what;
    const char* from;
    int fi;
    const char* to;
    int ti;
    const PileArrays* table;
  };
  const std::vector<Hostile> hostile{
      {"index 9", "picTableau", 9, "picCenter", 1, &p},
      {"from a center pile", "picCenter", 1, "picTableau", 2, &p},
      {"from the mover's Waste", "picPlayer", 3, "picCenter", 1, &p},
      {"an empty tableau source", "picTableau", 1, "picCenter", 1, &p},
      {"an empty Hand onto a center", "picPlayer", 1, "picCenter", 1, &emptyHand},
      {"a 14th tableau card", "picTableau", 6, "picTableau", 2, &fullTableau},
      {"onto the receiver's Hand", "picTableau", 6, "picPlayer", 1, &p},
      {"onto the mover's Hand", "picTableau", 6, "picOpponent", 1, &p},
      {"an unknown pile", "picDesk", 1, "picCenter", 1, &p},
      {"off sequence onto a center", "picTableau", 6, "picCenter", 1, &p},
      {"out of sequence onto a tableau", "picTableau", 6, "picTableau", 4, &p},
      {"out of sequence onto the receiver's Reserve", "picPlayer", 1, "picPlayer", 2, &p},
      {"a tableau card onto the mover's Waste", "picTableau", 6, "picOpponent", 3, &p},
      {"the Hand onto the mover's Reserve", "picPlayer", 1, "picOpponent", 2, &p},
  };
  for (const Hostile& h : hostile)
    EXPECT_FALSE(net::CheckReceivedMove(h.from, h.fi, h.to, h.ti, *h.table, false, order)) << h.what;
}

TEST(GameLists, RecoverListReadsBackMirroredWithTheTurnAndMatchExchanged) {
  net::RecoverTable host;
  host.piles = MidGame();
  host.CurrentTurn = table::Turn::Local;
  host.GameSeconds = 3725;
  host.MatchInProgress = 1;
  host.match = {150, 3, 40, 60, 1, 2};
  const QString list = net::BuildRecoverList(host, false, NewPeerOrder(true));
  EXPECT_TRUE(list.contains("# 1:02:05# 1# 150# 3# 40# 60# 1# 2#")) << list.right(60).toStdString();
  EXPECT_TRUE(list.startsWith(" 1# 13# 30# 0# 12# 10# 20# 9# 5#"));

  const net::NetMessage m = net::ParseNetLine(net::RcLine(list), false);
  ASSERT_FALSE(m.violation);
  const auto read = net::ReadRecoverList(m.text, false, NewPeerOrder(false));
  ASSERT_TRUE(read);
  EXPECT_TRUE(read->piles == Mirrored(host.piles));
  EXPECT_EQ(read->CurrentTurn, table::Turn::Opponent);
  EXPECT_EQ(read->GameSeconds, 3725);
  EXPECT_EQ(read->MatchInProgress, 1);
  EXPECT_EQ(read->match, (net::MatchFields{150, 3, 60, 40, 2, 1}));

  // The remote's turn arrives as its own; a time it cannot read is 0.
  host.CurrentTurn = table::Turn::Opponent;
  host.MatchInProgress = 0;
  const QString plain = net::BuildRecoverList(host, false, NewPeerOrder(true));
  const auto second = net::ReadRecoverList(QString(plain).replace(" 1:02:05#", " 1:2#"), false, NewPeerOrder(false));
  ASSERT_TRUE(second);
  EXPECT_EQ(second->CurrentTurn, table::Turn::Local);
  EXPECT_EQ(second->GameSeconds, 0);
  EXPECT_EQ(second->MatchInProgress, 0);
  EXPECT_EQ(net::GameTimeText(200 * 3600), " 99:59:59");

  // Another program may write the time as a day fraction or a clock time
  // of its own; the line is refused only for its other fields.
  const struct {
    const char* time;
    std::int64_t seconds;
  } forms[] = {{" .0036111", 312}, {"0,5", 43200},   {"1:05 PM", 47100}, {"12:00:30A", 0},
               {"12:00:30AM", 0},  {"0.05.13", 313}, {" 25:61", 0},      {"1 pm", 46800}};
  for (const auto& form : forms) {
    const QString line = net::RcLine(QString(plain).replace(" 1:02:05#", QString(form.time) + "#"));
    const net::NetMessage rc = net::ParseNetLine(line, false);
    ASSERT_FALSE(rc.violation) << form.time;
    const auto read = net::ReadRecoverList(rc.text, false, NewPeerOrder(false));
    ASSERT_TRUE(read) << form.time;
    EXPECT_EQ(read->GameSeconds, form.seconds) << form.time;
    EXPECT_TRUE(read->piles == Mirrored(host.piles)) << form.time;
  }
  EXPECT_TRUE(net::ParseNetLine(net::RcLine(QString(plain).replace(" 1#", " 1PM#")), false).violation);
}

TEST(GameLists, HostileRecoverListsAreRefusedWhole) {
  net::RecoverTable host;
  host.piles = MidGame();
  host.CurrentTurn = table::Turn::Local;
  const QString good = net::BuildRecoverList(host, false, NewPeerOrder(true));
  ASSERT_TRUE(net::ReadRecoverList(good, false, NewPeerOrder(false)));
  QStringList f = good.split('#');
  f.removeLast();
  auto with = [&](int index, const QString& value) {
    QStringList g = f;
    g[index] = value;
    return g.join('#') + "#";
  };
  // Fields: 0 turn, 1..8 the side counts, 9..24 tableau and center counts,
  // 25.. the cards (the first is side 0's bottom Reserve card, code 3).
  const std::vector<std::pair<const char*, QString>> hostile{
      {"a field short", QStringList(f.mid(0, f.size() - 1)).join('#') + "#"},
      {"a field more", good + " 0#"},
      {"reserve count 200", with(1, " 200")},
      {"face-down beyond the Reserve", with(4, " 14")},
      {"a 14th tableau card", with(9, " 14")},
      {"counts not totalling 104", with(2, " 29")},
      {"code 53", with(25, " 53")},
      {"a code three times", with(25, " 2")},
      {"match flag 2", with(f.size() - 1, " 2")},
      {"not a number", with(25, " x")},
  };
  for (const auto& [what, text] : hostile) EXPECT_FALSE(net::ReadRecoverList(text, false, NewPeerOrder(false))) << what;

  // Every card once in each deck, but laid out as no game can lay it.
  const auto moved = [&](const std::function<void(PileArrays&)>& change) {
    net::RecoverTable t = host;
    change(t.piles);
    return net::BuildRecoverList(t, false, NewPeerOrder(true));
  };
  // A card of a pile and one of side 1's Stock change places.
  const auto swapWithStock = [](PileArrays& p, table::CardCode& card, table::CardCode wanted) {
    table::CardCode* stock = &p.Stock[1][1];
    table::CardCode* found = std::find(stock, stock + p.StockCount[1], wanted);
    ASSERT_NE(found, stock + p.StockCount[1]) << wanted;
    std::swap(card, *found);
  };
  // The top n cards of a side's Stock onto another pile.
  const auto shift = [](PileArrays& p, int from, int n, auto& to, std::int16_t& toCount) {
    for (int i = 0; i < n; ++i) to[++toCount] = p.Stock[from][p.StockCount[from]--];
  };
  const std::vector<std::pair<const char*, QString>> impossible{
      {"a King first on a Center pile", moved([&](PileArrays& p) { swapWithStock(p, p.Center[1][1], 26); })},
      {"a Center pile out of suit", moved([&](PileArrays& p) { swapWithStock(p, p.Center[3][2], 15); })},
      {"a Tableau pile in one colour", moved([&](PileArrays& p) { swapWithStock(p, p.Tableau[7][2], 24); })},
      {"a Tableau pile going up", moved([&](PileArrays& p) { std::swap(p.Tableau[5][1], p.Tableau[5][4]); })},
      {"a side without cards", moved([&](PileArrays& p) {
         for (auto* pile : {&p.Reserve, &p.Waste}) {
           auto& count = pile == &p.Reserve ? p.ReserveCount : p.WasteCount;
           while (count[0] > 0) p.Stock[1][++p.StockCount[1]] = (*pile)[0][count[0]--];
         }
         shift(p, 0, p.StockCount[0], p.Stock[1], p.StockCount[1]);
         p.ReserveFaceDown[0] = 0;
       })},
      {"39 cards on a Reserve", moved([&](PileArrays& p) { shift(p, 0, 26, p.Reserve[0], p.ReserveCount[0]); })},
  };
  for (const auto& [what, text] : impossible) {
    EXPECT_FALSE(net::ReadRecoverList(text, false, NewPeerOrder(false))) << what;
  }
  // The most a Reserve can hold: its 13 cards and 25 loaded in suit.
  EXPECT_TRUE(net::ReadRecoverList(moved([&](PileArrays& p) { shift(p, 0, 25, p.Reserve[0], p.ReserveCount[0]); }),
                                   false, NewPeerOrder(false)));
}

}  // namespace
