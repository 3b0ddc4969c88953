#include "play/rules/who_goes_first.h"

#include <array>

#include "play/rules/table_search.h"
#include "table/card.h"
#include "table/deal.h"
#include "table/sound_effects.h"

namespace play {

using table::CardRank;
using table::PileArrays;

namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr int kPairs = 5;

struct CardPair {
  table::CardCode opponent;
  table::CardCode local;
};

// The Reserve tops, then the houses: the opponent's opening Tableau cards
// lie on piles 1..4, the local player's on piles 8..5.
std::array<CardPair, kPairs> ComparedPairs(const PileArrays& piles) {
  std::array<CardPair, kPairs> pairs{};
  pairs[0] = {piles.Reserve.at(kOpponentSide).at(table::kReserveDealt),
              piles.Reserve.at(kLocalSide).at(table::kReserveDealt)};
  for (int house = 1; house < kPairs; ++house) {
    pairs.at(house) = {piles.Tableau.at(house).at(1), piles.Tableau.at(9 - house).at(1)};
  }
  return pairs;
}

QString RuleWord(FirstPlayerRule rule) {
  return rule == FirstPlayerRule::Highest ? QStringLiteral("HIGHEST") : QStringLiteral("LOWEST");
}

// The "goes first" sentence after the explanation.
void AnnounceFirst(FirstPlayerResult& result, const FirstPlayerPeople& people) {
  if (result.turn == table::Turn::Local) {
    result.Message += kCrLf + kCrLf + QStringLiteral("You go first.");
    if (people.Online) result.WhoGoesFirstText += " -" + people.PlayerName + " goes first.";
    return;
  }
  if (people.Online) {
    result.Message += kCrLf + kCrLf + people.OpponentName + " goes first.";
    result.WhoGoesFirstText += QStringLiteral(" -") + QStringLiteral(" You go first.");
  } else {
    result.Message += kCrLf + kCrLf + QStringLiteral("I go first.");
  }
}

}  // namespace

FirstPlayerRule FirstPlayerRuleFromStored(int stored) {
  switch (stored) {
    case 1: return FirstPlayerRule::Highest;
    case 2: return FirstPlayerRule::CoinToss;
    default: return FirstPlayerRule::Lowest;
  }
}

std::optional<CardDecision> DecideByCards(const PileArrays& piles, FirstPlayerRule rule) {
  if (rule == FirstPlayerRule::CoinToss) return std::nullopt;
  const auto pairs = ComparedPairs(piles);
  for (int house = 0; house < kPairs; ++house) {
    const int opponent = CardRank(pairs.at(house).opponent);
    const int local = CardRank(pairs.at(house).local);
    if (opponent == local) continue;
    const bool localLower = local < opponent;
    const bool localFirst = rule == FirstPlayerRule::Lowest ? localLower : !localLower;
    return CardDecision{localFirst ? table::Turn::Local : table::Turn::Opponent, house};
  }
  return std::nullopt;
}

table::Turn CoinToss(double draw) { return draw < 0.5 ? table::Turn::Local : table::Turn::Opponent; }

QString DecidingPileName(int house) {
  switch (house) {
    case 1: return QStringLiteral("1st House");
    case 2: return QStringLiteral("2nd House");
    case 3: return QStringLiteral("3rd House");
    case 4: return QStringLiteral("4th House");
    default: return QStringLiteral("Reserve");
  }
}

FirstPlayerResult DecideFirstPlayer(const PileArrays& piles, FirstPlayerRule rule, const FirstPlayerPeople& people,
                                    const std::function<double()>& draw) {
  FirstPlayerResult result;
  if (const auto decision = DecideByCards(piles, rule)) {
    result.turn = decision->turn;
    result.DecidingHouse = decision->DecidingHouse;
    const QString said = DecidingPileName(decision->DecidingHouse) + " card is " + RuleWord(rule);
    if (result.turn == table::Turn::Opponent) {
      if (people.Online) {
        result.Message = people.OpponentName + "'s " + said;
        result.WhoGoesFirstText = "Your " + said;
      } else {
        result.Message = "My " + said;
      }
    } else {
      result.Message = "Your " + said;
      if (people.Online) result.WhoGoesFirstText = people.PlayerName + "'s " + said;
    }
  } else {
    if (rule != FirstPlayerRule::CoinToss) {
      result.allEqual = true;
      result.Message = kAllEqualLine + kCrLf;
    }
    result.turn = CoinToss(draw());
    if (result.turn == table::Turn::Local) {
      result.Message += QStringLiteral("You won the toss.");
      if (people.Online) result.WhoGoesFirstText = people.PlayerName + " won the toss.";
    } else if (people.Online) {
      result.Message += people.OpponentName + " won the toss.";
      result.WhoGoesFirstText = QStringLiteral("You won the toss.");
    } else {
      result.Message += QStringLiteral("I won the toss.");
    }
  }
  AnnounceFirst(result, people);
  return result;
}

table::Turn WhoGoesFirst(int storedRule, const PileArrays& piles, PlayState& state, const FirstPlayerPeople& people,
                         const FirstPlayerOutput& out, QString* whoGoesFirstText) {
  const FirstPlayerRule rule = FirstPlayerRuleFromStored(storedRule);
  const FirstPlayerResult result = DecideFirstPlayer(piles, rule, people, out.draw);
  if (result.allEqual) out.effects.PlaySfx(table::kCoinTossEffect);
  state.Message = result.Message;
  if (whoGoesFirstText) *whoGoesFirstText = result.WhoGoesFirstText;

  // The opponent's deciding card is marked so the player sees why he waits.
  if (result.turn == table::Turn::Opponent && result.DecidingHouse) {
    const int house = *result.DecidingHouse;
    if (house == 0) {
      out.marker.MoveCardFrameOver(table::PileControl::picOpponent, kReservePile);
    } else {
      out.marker.MoveCardFrameOver(table::PileControl::picTableau, house);
    }
    out.view.SetCardFrameVisible(kDecidingFrame, true);
    out.pause(house == 0 ? kReservePause : kHousePause);
  }
  return result.turn;
}

}  // namespace play
