#include "net/game_lists.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "platform/vb.h"
#include "play/rules/rule_checks.h"
#include "table/card.h"
#include "table/deal.h"
#include "table/pile_ops.h"

namespace net {

namespace {

using table::PileArrays;
using table::PileControl;

constexpr int kMaxGameSeconds = 99 * 3600 + 59 * 60 + 59;
constexpr int kSecondsPerMinute = 60;
constexpr int kSecondsPerHour = 3600;

// The fields of a "#"-ended list, trimmed; nullopt when the list does not
// end with "#".
std::optional<QStringList> Fields(QString text) {
  text = text.trimmed();
  if (text.startsWith('#')) text.remove(0, 1);
  if (!text.endsWith('#')) return std::nullopt;
  text.chop(1);
  QStringList fields = text.split('#');
  for (QString& f : fields) f = f.trimmed();
  return fields;
}

std::optional<std::int16_t> Number(const QString& field) {
  static const QRegularExpression number(QStringLiteral("^-?\\d{1,5}$"));
  if (!number.match(field).hasMatch()) return std::nullopt;
  const int value = field.toInt();
  if (value < -32768 || value > 32767) return std::nullopt;
  return static_cast<std::int16_t>(value);
}

// Reads the fields in order; any unreadable field or reading past the end
// marks the whole list bad.
class FieldReader {
 public:
  explicit FieldReader(QStringList fields) : fields_(std::move(fields)) {}
  std::int16_t Next(int low, int high) {
    if (pos_ >= fields_.size()) return Fail();
    const std::optional<std::int16_t> n = Number(fields_[pos_++]);
    if (!n || *n < low || *n > high) return Fail();
    return *n;
  }
  QString NextText() { return pos_ < fields_.size() ? fields_[pos_++] : (Fail(), QString()); }
  bool Good() const { return good_; }
  bool AllRead() const { return pos_ == fields_.size(); }

 private:
  std::int16_t Fail() {
    good_ = false;
    return 0;
  }
  QStringList fields_;
  int pos_ = 0;
  bool good_ = true;
};

MatchFields ReadMatch(FieldReader& r) {
  // Each player/opponent pair arrives as the sender sees it.
  MatchFields m;
  m.MatchTarget = r.Next(play::kLowestMatchTarget, play::kHighestMatchTarget);
  m.MatchGames = r.Next(0, 32767);
  m.OppMatchScore = r.Next(0, 32767);
  m.MatchScore = r.Next(0, 32767);
  m.OppMatchWins = r.Next(0, 32767);
  m.MatchWins = r.Next(0, 32767);
  return m;
}

void AppendMatch(QString& list, const MatchFields& m) {
  for (int v : {m.MatchTarget, m.MatchGames, m.MatchScore, m.OppMatchScore, m.MatchWins, m.OppMatchWins})
    AppendNetNumber(list, v);
}

constexpr double kSecondsPerDay = 24.0 * kSecondsPerHour;

// A day fraction in seconds, "." or "," before the decimals; 0 when the text
// is no such number or the time lies beyond what a game lasts.
std::int64_t DayFraction(QString text) {
  static const QRegularExpression fraction(QStringLiteral("^(\\d*[.,]\\d+|\\d+[.,]?)(E-?\\d{1,2})?$"),
                                           QRegularExpression::CaseInsensitiveOption);
  if (!fraction.match(text).hasMatch()) return 0;
  text.replace(QChar(','), QChar('.'));
  bool ok = false;
  const double days = text.toDouble(&ok);
  if (!ok || !(days >= 0)) return 0;
  const double seconds = std::round(days * kSecondsPerDay);
  return seconds <= kMaxGameSeconds ? static_cast<std::int64_t>(seconds) : 0;
}

bool TableauPile(int i) { return i >= 1 && i <= table::kSharedPiles; }

// Whether the target takes the card by the pile rules, judged as the
// mover's table saw the drop: the receiver's piles are its opponent's. The
// order of the moves (the STOP rules) is the mover's own business.
bool TargetTakesCard(const ReceivedMove& m, const PileArrays& p) {
  using Target = ReceivedMove::Target;
  play::Drop drop;
  drop.card = m.card;
  drop.targetIndex = m.targetIndex;
  switch (m.target) {
    case Target::StockTurn: return true;  // nothing is placed
    case Target::MoverSidePile:
      // The Hand card onto the mover's own Waste, which ends its turn, is
      // the one move onto its own piles.
      return m.source == PileControl::picOpponent && m.sourceIndex == play::kStockPile &&
             m.targetIndex == play::kWastePile;
    case Target::Center:
      drop.target = PileControl::picCenter;
      drop.targetTop = table::TopCard(p, table::SharedPile::Center, m.targetIndex);
      break;
    case Target::Tableau:
      drop.target = PileControl::picTableau;
      drop.targetTop = table::TopCard(p, table::SharedPile::Tableau, m.targetIndex);
      break;
    case Target::OwnSidePile:
      drop.target = PileControl::picOpponent;
      drop.targetTop =
          table::TopCard(p, m.targetIndex == play::kReservePile ? table::SidePile::Reserve : table::SidePile::Waste, 0);
      break;
  }
  return play::CheckTarget(drop).Legal();
}

// The most cards a Reserve can hold: the 13 it is dealt, and on the one of
// them that lies face up the rest of that card's suit from both decks, as
// cards are loaded onto it only in suit.
constexpr int kReserveMostCards = table::kReserveDealt + table::kSides * table::kRanksPerSuit - 1;

// Whether a game can have come to this table: each Center pile built from
// its Ace up in one suit and each Tableau pile down in alternating colours
// from its first card, card by card as the pile rules take them; each
// Reserve within what loads can make of it; and cards left in each side's
// own piles, as a side without any has won and the game is over.
bool GameCanHold(const PileArrays& p) {
  const auto builtByTheRules = [](const auto& pile, int count, PileControl kind) {
    for (int pos = 1; pos <= count; ++pos) {
      play::Drop drop;
      drop.target = kind;
      drop.card = pile[pos];
      drop.targetTop = pos > 1 ? pile[pos - 1] : 0;
      if (!play::CheckTarget(drop).Legal()) return false;
    }
    return true;
  };
  for (int i = 1; i <= table::kSharedPiles; ++i) {
    if (!builtByTheRules(p.Center[i], p.CenterCount[i], PileControl::picCenter) ||
        !builtByTheRules(p.Tableau[i], p.TableauCount[i], PileControl::picTableau))
      return false;
  }
  for (int side = 0; side < table::kSides; ++side) {
    if (p.ReserveCount[side] > kReserveMostCards) return false;
    if (p.ReserveCount[side] + p.StockCount[side] + p.WasteCount[side] == 0) return false;
  }
  return true;
}

// The own tableau pile written at list position i.
int WrittenPile(int i, bool olderPeer, const TabOrder& order) { return olderPeer ? order.In[i] : 9 - i; }

// The game time as a program writes it: a time of day ("0:05:13", "1:05 PM",
// "0.05.13"), or the fraction of a day it is (".0036111", "0,5"), in at most
// 9 characters. Any other form reads as 0.
std::int64_t TimeSeconds(const QString& field) {
  const QString text = field.trimmed();
  if (text.size() > kGameTimeWidth) return 0;
  static const QRegularExpression clock(
      QStringLiteral("^(\\d{1,2})(?::([0-5]\\d)(?::([0-5]\\d))?|\\.([0-5]\\d)\\.([0-5]\\d))? ?([AaPp][Mm])?$"));
  if (const QRegularExpressionMatch m = clock.match(text); m.hasMatch()) {
    const bool colon = m.capturedLength(2) > 0;
    const bool dotted = m.capturedLength(4) > 0;
    const QString half = m.captured(6).toUpper();
    // A bare number is a time only with AM or PM.
    if (!colon && !dotted && half.isEmpty()) return DayFraction(text);
    int hours = m.captured(1).toInt();
    const int minutes = (colon ? m.captured(2) : m.captured(4)).toInt();
    const int seconds = (colon ? m.captured(3) : m.captured(5)).toInt();
    if (!half.isEmpty()) {
      if (hours < 1 || hours > 12) return 0;
      hours = hours % 12 + (half == QLatin1String("PM") ? 12 : 0);
    }
    return hours * kSecondsPerHour + minutes * kSecondsPerMinute + seconds;
  }
  return DayFraction(text);
}

}  // namespace

MatchFields MatchFieldsOf(const play::ScoreRec& rec) {
  return {rec.MatchTarget, rec.MatchGames, rec.MatchScore, rec.OppMatchScore, rec.MatchWins, rec.OppMatchWins};
}

void StoreMatchFields(const MatchFields& f, play::ScoreRec& rec) {
  rec.MatchTarget = f.MatchTarget;
  rec.MatchGames = f.MatchGames;
  rec.MatchScore = f.MatchScore;
  rec.OppMatchScore = f.OppMatchScore;
  rec.MatchWins = f.MatchWins;
  rec.OppMatchWins = f.OppMatchWins;
}

// ---- DK ----

QString BuildDeckList(const PileArrays& piles, const std::optional<MatchFields>& match) {
  QString list;
  for (int side : {1, 0}) {
    for (int pos = 1; pos <= table::kDeckSize; ++pos) AppendNetNumber(list, piles.Reserve[side][pos]);
  }
  if (match) AppendMatch(list, *match);
  return list;
}

std::optional<DeckList> ReadDeckList(const QString& data, bool matchOn) {
  const std::optional<QStringList> fields = Fields(data);
  const int expected = matchOn ? kDeckFieldsInMatch : kDeckFields;
  if (!fields || fields->size() != expected) return std::nullopt;
  FieldReader r(*fields);
  DeckList list;
  for (int side = 0; side < table::kSides; ++side) {
    std::array<bool, table::kDeckSize + 1> seen{};
    for (int pos = 1; pos <= table::kDeckSize; ++pos) {
      const std::int16_t code = r.Next(1, table::kDeckSize);
      if (!r.Good() || seen[code]) return std::nullopt;
      seen[code] = true;
      list.decks[side][pos] = code;
    }
  }
  if (matchOn) list.match = ReadMatch(r);
  if (!r.Good() || !r.AllRead()) return std::nullopt;
  return list;
}

void LoadDecks(const DeckList& list, PileArrays& piles) {
  for (int side = 0; side < table::kSides; ++side) {
    for (int pos = 1; pos <= table::kDeckSize; ++pos) piles.Reserve[side][pos] = list.decks[side][pos];
  }
}

// ---- PC ----

QString MoveLine(const play::OnlineMove& move, const TabOrder& order) {
  const QLatin1String tableau(kPicTableau);
  int fi = move.MoveFromIndex;
  int ti = move.MoveToIndex;
  if (move.MoveFromPile == tableau && TableauPile(fi)) fi = order.Out[fi];
  if (move.MoveToPile == tableau && TableauPile(ti)) ti = order.Out[ti];
  return PcLine(move.MoveFromPile, fi, move.MoveToPile, ti);
}

std::optional<ReceivedMove> CheckReceivedMove(const QString& fromPile, int fromIndex, const QString& toPile,
                                              int toIndex, const PileArrays& p, bool olderPeer, const TabOrder& order) {
  constexpr int kPeer = 1;
  ReceivedMove m;
  const bool stockTurn = fromPile == QLatin1String(kPicPlayer) && fromIndex == play::kStockPile &&
                         toPile == QLatin1String(kPicPlayer) && toIndex == play::kStockPile;
  // Source.
  if (fromPile == QLatin1String(kPicTableau)) {
    if (!TableauPile(fromIndex)) return std::nullopt;
    if (olderPeer) fromIndex = order.In[fromIndex];
    if (!TableauPile(fromIndex)) return std::nullopt;
    m.source = PileControl::picTableau;
    if (p.TableauCount[fromIndex] > 0) m.card = p.Tableau[fromIndex][p.TableauCount[fromIndex]];
  } else if (fromPile == QLatin1String(kPicPlayer) &&
             (fromIndex == play::kStockPile || fromIndex == play::kReservePile)) {
    m.source = PileControl::picOpponent;
    const int count = fromIndex == play::kStockPile ? p.StockCount[kPeer] : p.ReserveCount[kPeer];
    const auto& pile = fromIndex == play::kStockPile ? p.Stock[kPeer] : p.Reserve[kPeer];
    if (count > 0 && count <= table::kSidePileCapacity) m.card = pile[count];
  } else {
    return std::nullopt;
  }
  m.sourceIndex = static_cast<std::int16_t>(fromIndex);

  // Target.
  int room = 0;
  if (toPile == QLatin1String(kPicCenter) && TableauPile(toIndex)) {
    m.target = ReceivedMove::Target::Center;
    room = table::kSharedPileCapacity - p.CenterCount[toIndex];
  } else if (toPile == QLatin1String(kPicTableau) && TableauPile(toIndex)) {
    if (olderPeer) toIndex = order.In[toIndex];
    if (!TableauPile(toIndex)) return std::nullopt;
    m.target = ReceivedMove::Target::Tableau;
    room = table::kSharedPileCapacity - p.TableauCount[toIndex];
  } else if (stockTurn) {
    m.target = ReceivedMove::Target::StockTurn;
    m.card = 0;
    room = 1;
  } else if (toPile == QLatin1String(kPicPlayer) && (toIndex == play::kReservePile || toIndex == play::kWastePile)) {
    m.target = ReceivedMove::Target::OwnSidePile;
    room = table::kSidePileCapacity - (toIndex == play::kReservePile ? p.ReserveCount[0] : p.WasteCount[0]);
  } else if (toPile == QLatin1String(kPicOpponent) && (toIndex == play::kReservePile || toIndex == play::kWastePile)) {
    m.target = ReceivedMove::Target::MoverSidePile;
    room = table::kSidePileCapacity - (toIndex == play::kReservePile ? p.ReserveCount[kPeer] : p.WasteCount[kPeer]);
  } else {
    return std::nullopt;
  }
  m.targetIndex = static_cast<std::int16_t>(toIndex);
  if (room <= 0) return std::nullopt;
  // Only the Stock turn and the discard that ends the turn may come from
  // an empty pile.
  if (m.card == 0 && !stockTurn && !m.EndsTurn()) return std::nullopt;
  if (!TargetTakesCard(m, p)) return std::nullopt;
  return m;
}

// ---- RC ----

QString GameTimeText(std::int64_t seconds) {
  seconds = std::clamp<std::int64_t>(seconds, 0, kMaxGameSeconds);
  const QString mm = QString::number(seconds / kSecondsPerMinute % 60).rightJustified(2, '0');
  const QString ss = QString::number(seconds % 60).rightJustified(2, '0');
  return " " + QString::number(seconds / kSecondsPerHour) + ":" + mm + ":" + ss;
}

QString BuildRecoverList(const RecoverTable& t, bool olderPeer, const TabOrder& order) {
  const PileArrays& p = t.piles;
  QString list;
  AppendNetNumber(list, table::TurnCode(t.CurrentTurn));
  for (int side = 0; side < table::kSides; ++side) {
    for (int v : {p.ReserveCount[side], p.StockCount[side], p.WasteCount[side], p.ReserveFaceDown[side]})
      AppendNetNumber(list, v);
  }
  for (int i = 1; i <= table::kSharedPiles; ++i) {
    AppendNetNumber(list, p.TableauCount[WrittenPile(i, olderPeer, order)]);
    AppendNetNumber(list, p.CenterCount[i]);
  }
  for (const auto* pile : {&p.Reserve, &p.Stock, &p.Waste}) {
    const auto& counts = pile == &p.Reserve ? p.ReserveCount : pile == &p.Stock ? p.StockCount : p.WasteCount;
    for (int side = 0; side < table::kSides; ++side) {
      for (int pos = 1; pos <= counts[side]; ++pos) AppendNetNumber(list, (*pile)[side][pos]);
    }
  }
  for (int i = 1; i <= table::kSharedPiles; ++i) {
    const int pile = WrittenPile(i, olderPeer, order);
    for (int pos = 1; pos <= p.TableauCount[pile]; ++pos) AppendNetNumber(list, p.Tableau[pile][pos]);
  }
  for (int i = 1; i <= table::kSharedPiles; ++i) {
    for (int pos = 1; pos <= p.CenterCount[i]; ++pos) AppendNetNumber(list, p.Center[i][pos]);
  }
  list += GameTimeText(t.GameSeconds) + "#";
  AppendNetNumber(list, t.MatchInProgress);
  if (t.MatchInProgress == 1) AppendMatch(list, t.match);
  return list;
}

std::optional<RecoverTable> ReadRecoverList(const QString& data, bool olderPeer, const TabOrder& order) {
  const std::optional<QStringList> fields = Fields(data);
  if (!fields) return std::nullopt;
  FieldReader r(*fields);
  RecoverTable t;
  PileArrays& p = t.piles;
  t.CurrentTurn = r.Next(-32768, 32767) == 1 ? table::Turn::Opponent : table::Turn::Local;
  int total = 0;
  for (int side : {1, 0}) {
    p.ReserveCount[side] = r.Next(0, table::kSidePileCapacity);
    p.StockCount[side] = r.Next(0, table::kSidePileCapacity);
    p.WasteCount[side] = r.Next(0, table::kSidePileCapacity);
    p.ReserveFaceDown[side] = r.Next(-1, p.ReserveCount[side]);
    total += p.ReserveCount[side] + p.StockCount[side] + p.WasteCount[side];
  }
  for (int i = 1; i <= table::kSharedPiles; ++i) {
    p.TableauCount[i] = r.Next(0, table::kSharedPileCapacity);
    p.CenterCount[i] = r.Next(0, table::kSharedPileCapacity);
    total += p.TableauCount[i] + p.CenterCount[i];
  }
  if (!r.Good() || total != 2 * table::kDeckSize) return std::nullopt;

  std::array<int, table::kDeckSize + 1> seen{};
  auto card = [&] {
    const std::int16_t code = r.Next(1, table::kDeckSize);
    if (r.Good()) ++seen[code];
    return code;
  };
  for (auto* pile : {&p.Reserve, &p.Stock, &p.Waste}) {
    const auto& counts = pile == &p.Reserve ? p.ReserveCount : pile == &p.Stock ? p.StockCount : p.WasteCount;
    for (int side : {1, 0}) {
      for (int pos = 1; pos <= counts[side]; ++pos) (*pile)[side][pos] = card();
    }
  }
  for (int i = 1; i <= table::kSharedPiles; ++i) {
    const int pile = olderPeer ? order.Out[i] : i;
    if (!TableauPile(pile)) return std::nullopt;
    for (int pos = 1; pos <= p.TableauCount[pile]; ++pos) p.Tableau[pile][pos] = card();
  }
  for (int i = 1; i <= table::kSharedPiles; ++i) {
    for (int pos = 1; pos <= p.CenterCount[i]; ++pos) p.Center[i][pos] = card();
  }
  if (!r.Good()) return std::nullopt;
  for (int code = 1; code <= table::kDeckSize; ++code) {
    if (seen[code] != 2) return std::nullopt;
  }
  if (!GameCanHold(p)) return std::nullopt;
  t.GameSeconds = TimeSeconds(r.NextText());
  t.MatchInProgress = r.Next(0, 1);
  if (t.MatchInProgress == 1) t.match = ReadMatch(r);
  if (!r.Good() || !r.AllRead()) return std::nullopt;
  return t;
}

}  // namespace net
