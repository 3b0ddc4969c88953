#include "table/deal.h"

#include <QtGlobal>
#include <algorithm>
#include <random>

#include "platform/recordfile.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/version.h"
#include "platform/wait.h"
#include "table/sound_effects.h"
#include "table/table_settings.h"
#include "table/table_view.h"

namespace table {

namespace {

constexpr int kShufflePasses = 10;

constexpr int kRecycleEffect = 6;

constexpr double kAfterLayoutPause = 0.7;
constexpr double kOpponentFirstPause = 2.0;

using Deck = std::array<CardCode, kDeckSize + 1>;

bool IsPermutation(const Deck& deck) {
  std::array<bool, kDeckSize + 1> seen{};
  for (int i = 1; i <= kDeckSize; ++i) {
    const CardCode c = deck[i];
    if (c < 1 || c > kDeckSize || seen[c]) return false;
    seen[c] = true;
  }
  return true;
}

void ShuffleSide(PileArrays& piles, int side, const RandomSource& random) {
  auto& deck = piles.Reserve[side];
  for (int pass = 0; pass < kShufflePasses; ++pass) {
    for (int i = 1; i <= kDeckSize; ++i) {
      // A generator that strays outside [0, 1) must not reach past the deck.
      const int j = std::clamp(static_cast<int>(vb::Int(random() * kDeckSize)) + 1, 1, kDeckSize);
      std::swap(deck[i], deck[j]);
    }
  }
}

}  // namespace

RandomSource SeededRandom(std::uint32_t seed) {
  return [gen = std::mt19937(seed)]() mutable { return gen() / 4294967296.0; };
}

void ShuffleDecks(PileArrays& piles, const RandomSource& random) {
  for (int side = 0; side < kSides; ++side)
    for (int i = 1; i <= kDeckSize; ++i) piles.Reserve[side][i] = static_cast<CardCode>(i);
  for (int side = 0; side < kSides; ++side) ShuffleSide(piles, side, random);
}

bool IsFullDeck(const PileArrays& piles, int side) {
  if (side < 0 || side >= kSides) return false;
  Deck deck{};
  std::copy_n(piles.Reserve[side].begin(), kDeckSize + 1, deck.begin());
  return IsPermutation(deck);
}

std::optional<SampleGameRecord> ReadSampleGame(const QString& AppPath, int n) {
  const QString path = AppPath + "Data/" + kSampleGamesFileName;
  platform::RecordFile file;
  if (!file.Open(path, kSampleGameRecordLength, /*readOnly=*/true)) {
    qWarning("sample games: cannot open %s", qPrintable(path));
    return std::nullopt;
  }
  if (n < 1 || n > file.RecordCount()) {
    qWarning("sample games: %s holds no game %d", qPrintable(path), n);
    return std::nullopt;
  }
  const SampleGameRecord decks = SampleGameRecord::Decode(file.Read(n));
  if (!IsPermutation(decks.FirstDeck) || !IsPermutation(decks.SecondDeck)) {
    qWarning("sample games: game %d of %s is not two full decks", n, qPrintable(path));
    return std::nullopt;
  }
  return decks;
}

SampleLoad LoadSampleGame(std::int16_t n, bool SampleDealReversed, const QString& AppPath, PileArrays& piles,
                          platform::UiService& ui, const RandomSource& random) {
  const std::optional<SampleGameRecord> decks = ReadSampleGame(AppPath, n);
  if (!decks) {
    // A missing or damaged file must not deal a table of broken decks: the
    // player gets a shuffled game and is told why.
    ui.MsgBox(QString(kSampleNotAvailable).arg(n) + "\r\n\r\nA shuffled game is dealt instead.",
              platform::vbInformation, kSampleGamesTitle);
    ShuffleDecks(piles, random);
    return SampleLoad::Shuffled;
  }
  const int first = SampleDealReversed ? 1 : 0;
  for (int i = 1; i <= kDeckSize; ++i) {
    piles.Reserve[first][i] = decks->FirstDeck[i];
    piles.Reserve[1 - first][i] = decks->SecondDeck[i];
  }
  return SampleLoad::Loaded;
}

DealResult DealNewGame(DealServices& s, int FirstPlayerRule, const DealOpening& opening) {
  PileArrays& p = s.piles;
  GameState& g = s.state;
  const bool shared = opening.decider != FirstMoveDecider::Alone;
  const bool decidesHere = opening.decider != FirstMoveDecider::There;

  // Decks that arrived from the opponent's program or a damaged record
  // could hold a card twice; dealing them would corrupt every pile that
  // follows.
  if (!IsFullDeck(p, 0) || !IsFullDeck(p, 1)) {
    qCritical("deal refused: the Reserve arrays do not hold two full decks");
    if (!shared) s.ui.MsgBox(kBadDecksText, platform::vbCritical, platform::kProgramTitle);
    return DealResult::BadDecks;
  }

  for (int side = 0; side < kSides; ++side) {
    p.WasteCount[side] = 0;
    p.ReserveCount[side] = kReserveDealt;
    int t = side == 0 ? kSharedPiles + 1 : 0;
    for (int i = kReserveDealt + 1; i <= kReserveDealt + kTableauDealt; ++i) {
      t += side == 0 ? -1 : 1;
      p.Tableau[t][1] = p.Reserve[side][i];
      p.Reserve[side][i] = 0;
      p.TableauCount[t] = 1;
    }
    int k = 0;
    for (int i = kReserveDealt + kTableauDealt + 1; i <= kDeckSize; ++i) {
      ++k;
      p.Stock[side][k] = p.Reserve[side][i];
      p.Reserve[side][i] = 0;
    }
    p.StockCount[side] = static_cast<std::int16_t>(k);
  }

  s.view.LayOutPiles();
  s.wait.Pause(kAfterLayoutPause);

  if (decidesHere) g.CurrentTurn = s.hooks.WhoGoesFirst(FirstPlayerRule);
  if (shared) s.hooks.WhoseTurn();
  s.hooks.SaveGameRecord();
  g.TurnCount = 1;

  if (decidesHere) {
    s.view.SetLabel(TableLabel::lblMessage, g.Message);
  } else if (opening.AnnounceCoinTossHere) {
    s.sfx.PlaySfx(kCoinTossEffect);
    if (g.CurrentTurn == Turn::Local) {
      s.view.SetLabel(TableLabel::lblTurn, "You won the coin toss.\r\nYou go first.");
    } else {
      const QString text = opening.OpponentName + " won the coin toss.\r\n" + opening.OpponentName + " goes first.";
      s.view.SetLabel(TableLabel::lblTurn, text);
      s.view.SetLabel(TableLabel::lblMessage, text);
    }
  }
  if (decidesHere && FirstPlayerRule == kFirstPlayerCoinToss) s.sfx.PlaySfx(kCoinTossEffect);

  if (g.CurrentTurn == Turn::Opponent) {
    s.wait.Pause(kOpponentFirstPause);
    if (g.CurrentTurn == Turn::Opponent && shared) s.view.SetCardFrameVisible(0, false);
  }

  s.view.StartClock();
  const long long cardsLeft = kReserveDealt + kStockDealt;
  s.view.SetStatusPanel(2, vb::Str(cardsLeft));
  s.view.SetStatusPanel(3, vb::Str(cardsLeft));
  return DealResult::Dealt;
}

bool RecycleWaste(PileArrays& piles, GameState& state, TableView& view, SoundEffects& sfx) {
  const int side = state.CurrentTurn == Turn::Local ? 0 : 1;
  const int waste = piles.WasteCount[side];
  if (piles.StockCount[side] != 0 || waste < 0 || waste > kSidePileCapacity) {
    qCritical("refused to turn over the Waste of side %d: Stock %d, Waste %d cards", side, piles.StockCount[side],
              waste);
    return false;
  }
  sfx.PlaySfx(kRecycleEffect);
  int k = 0;
  for (int i = waste; i >= 1; --i) {
    ++k;
    piles.Stock[side][k] = piles.Waste[side][i];
    piles.Waste[side][i] = 0;
  }
  piles.StockCount[side] = static_cast<std::int16_t>(k);
  piles.WasteCount[side] = 0;

  if (state.CurrentTurn == Turn::Local) {
    view.SetLabel(TableLabel::lblPHandCnt, vb::D(k));
    view.SetLabel(TableLabel::lblPWasteCnt, vb::D(0));
    state.StockTurned = false;
  } else if (state.CurrentTurn == Turn::Opponent) {
    view.SetLabel(TableLabel::lblOHandCnt, vb::D(k));
    view.SetLabel(TableLabel::lblOWasteCnt, vb::D(0));
  }
  const PileControl pile = side == 0 ? PileControl::picPlayer : PileControl::picOpponent;
  view.PaintCard(pile, 1, 0, 0);
  view.ShowEmpty(pile, 3);
  view.BringToFront(pile, 1);
  return true;
}

}  // namespace table
