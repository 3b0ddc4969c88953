#include "play/rules/rule_checks.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "play/rules/table_search.h"
#include "play/table_builder.h"
#include "support/fake_sound_channel.h"
#include "table/card.h"
#include "table/fake_sound_effects.h"
#include "table/fake_table_view.h"

namespace play {
namespace {
const char* Name(RuleReason reason) {
  switch (reason) {
    case RuleReason::WrongPlace: return "WrongPlace";
    case RuleReason::CenterSequence: return "CenterSequence";
    case RuleReason::TableauColours: return "TableauColours";
    case RuleReason::OpponentSequence: return "OpponentSequence";
    case RuleReason::OpponentSequenceToo: return "OpponentSequenceToo";
    case RuleReason::OwnReserve: return "OwnReserve";
    case RuleReason::WasteIsDead: return "WasteIsDead";
    case RuleReason::FillTableauBeforeStock: return "FillTableauBeforeStock";
    case RuleReason::ReserveToCenterBeforeStock: return "ReserveToCenterBeforeStock";
    case RuleReason::TableauToCenterBeforeStock: return "TableauToCenterBeforeStock";
    case RuleReason::FillTableauBeforeEndTurn: return "FillTableauBeforeEndTurn";
    case RuleReason::HandCardToCenter: return "HandCardToCenter";
    case RuleReason::TableauToCenterBeforeEndTurn: return "TableauToCenterBeforeEndTurn";
    case RuleReason::ReserveToCenterNow: return "ReserveToCenterNow";
    case RuleReason::NotToCenter: return "NotToCenter";
  }
  return "unknown reason";
}
}  // namespace

// Readable verdicts in failure output.
void PrintTo(const RuleVerdict& verdict, std::ostream* os) {
  if (verdict.refusal) {
    *os << "refused: " << Name(*verdict.refusal);
  } else {
    *os << "legal";
  }
}
}  // namespace play

namespace {

using play::Drop;
using play::RuleReason;
using play::RuleVerdict;
using table::PileControl;
using testing_support::Card;
using testing_support::TableBuilder;

constexpr auto kPlayer = PileControl::picPlayer;
constexpr auto kOpponent = PileControl::picOpponent;
constexpr auto kTableau = PileControl::picTableau;
constexpr auto kCenter = PileControl::picCenter;

RuleVerdict Legal() { return {}; }
RuleVerdict Refused(RuleReason reason) { return {reason}; }

// A quiet table: no empty Tableau space, a Reserve top that fits no
// foundation, so only the rule under test can decide.
TableBuilder QuietTable() {
  TableBuilder t;
  t.FullTableau().Reserve(0, {Card(3, 2), Card(9, 4)}).Stock(0, {Card(10, 3)});
  return t;
}

struct DropCase {
  const char* name;
  void (*arrange)(TableBuilder&);
  Drop drop;
  RuleVerdict expected;
};

// A case is named by its name alone, in test names and failure output
// alike (never by its bytes, which hold addresses).
void PrintTo(const DropCase& c, std::ostream* os) { *os << c.name; }

void Nothing(TableBuilder&) {}

class CheckDropRules : public ::testing::TestWithParam<DropCase> {};

TEST_P(CheckDropRules, Verdict) {
  TableBuilder t = QuietTable();
  GetParam().arrange(t);
  EXPECT_EQ(play::CheckDrop(t, GetParam().drop), GetParam().expected);
}

// From a Tableau pile unless the case says otherwise.
Drop FromTableau(table::CardCode card, PileControl target, int index, table::CardCode top) {
  return Drop{kTableau, 1, card, target, index, top};
}

INSTANTIATE_TEST_SUITE_P(
    PileRules, CheckDropRules,
    ::testing::Values(
        // Center: up in suit from the Ace.
        DropCase{"AceOnEmptyCenter", Nothing, FromTableau(Card(1, 3), kCenter, 2, 0), Legal()},
        DropCase{"TwoOnEmptyCenter", Nothing, FromTableau(Card(2, 3), kCenter, 2, 0),
                 Refused(RuleReason::CenterSequence)},
        DropCase{"TwoOnItsAce", Nothing, FromTableau(Card(2, 1), kCenter, 1, Card(1, 1)), Legal()},
        DropCase{"TwoOnAnotherSuitsAce", Nothing, FromTableau(Card(2, 4), kCenter, 1, Card(1, 1)),
                 Refused(RuleReason::CenterSequence)},
        DropCase{"ThreeOnTheAce", Nothing, FromTableau(Card(3, 1), kCenter, 1, Card(1, 1)),
                 Refused(RuleReason::CenterSequence)},
        // Tableau: down in alternating colours; any card on an empty pile.
        DropCase{"AnyCardOnEmptyTableau", Nothing, FromTableau(Card(9, 3), kTableau, 4, 0), Legal()},
        DropCase{"RedFiveOnBlackSix", Nothing, FromTableau(Card(5, 2), kTableau, 4, Card(6, 1)), Legal()},
        DropCase{"RedFiveOnRedSix", Nothing, FromTableau(Card(5, 2), kTableau, 4, Card(6, 3)),
                 Refused(RuleReason::TableauColours)},
        DropCase{"BlackFourOnRedSix", Nothing, FromTableau(Card(4, 1), kTableau, 4, Card(6, 2)),
                 Refused(RuleReason::TableauColours)},
        DropCase{"BlackFiveOnBlackSix", Nothing, FromTableau(Card(5, 1), kTableau, 4, Card(6, 4)),
                 Refused(RuleReason::TableauColours)},
        DropCase{"SevenUpOnRedSix", Nothing, FromTableau(Card(7, 1), kTableau, 4, Card(6, 2)),
                 Refused(RuleReason::TableauColours)},
        // Opponent's Reserve and Waste: in suit, one rank up or down.
        DropCase{"SevenOnOpponentWasteSix", Nothing, FromTableau(Card(7, 2), kOpponent, 3, Card(6, 2)), Legal()},
        DropCase{"SevenOnOpponentWasteEight", Nothing, FromTableau(Card(7, 2), kOpponent, 3, Card(8, 2)), Legal()},
        DropCase{"SevenOnOpponentReserveEight", Nothing, FromTableau(Card(7, 2), kOpponent, 2, Card(8, 2)), Legal()},
        DropCase{"SevenOnOpponentSeven", Nothing, FromTableau(Card(7, 2), kOpponent, 3, Card(7, 2)),
                 Refused(RuleReason::OpponentSequence)},
        DropCase{"SevenOnOpponentSixOfAnotherSuit", Nothing, FromTableau(Card(7, 2), kOpponent, 2, Card(6, 3)),
                 Refused(RuleReason::OpponentSequence)},
        DropCase{"OnEmptyOpponentPile", Nothing, FromTableau(Card(7, 2), kOpponent, 3, 0),
                 Refused(RuleReason::OpponentSequence)},
        DropCase{"OnOpponentStock", Nothing, FromTableau(Card(7, 2), kOpponent, 1, Card(8, 2)),
                 Refused(RuleReason::WrongPlace)},
        // One's own piles.
        DropCase{"TableauCardOnOwnWaste", Nothing, FromTableau(Card(7, 2), kPlayer, 3, 0),
                 Refused(RuleReason::WrongPlace)},
        DropCase{"OwnWasteIsDead", Nothing, Drop{kPlayer, 3, Card(4, 1), kTableau, 2, Card(5, 2)},
                 Refused(RuleReason::WasteIsDead)},
        DropCase{"ReserveOnOwnReserve", Nothing, Drop{kPlayer, 2, Card(9, 4), kPlayer, 2, Card(9, 4)},
                 Refused(RuleReason::OwnReserve)},
        DropCase{"ReserveOnOwnWaste", Nothing, Drop{kPlayer, 2, Card(9, 4), kPlayer, 3, 0},
                 Refused(RuleReason::WrongPlace)},
        DropCase{"ReserveOnTableau", Nothing, Drop{kPlayer, 2, Card(9, 4), kTableau, 3, Card(10, 3)}, Legal()},
        DropCase{"NoCardInHand", Nothing, FromTableau(0, kTableau, 4, 0), Refused(RuleReason::WrongPlace)}),
    [](const auto& info) { return std::string(info.param.name); });

void ReserveFitsCenter(TableBuilder& t) { t.Reserve(0, {Card(5, 1), Card(1, 2)}); }
void OneEmptyTableau(TableBuilder& t) { t.Tableau(6, {}); }
void EmptyReserveAndOneEmptyTableau(TableBuilder& t) { t.Reserve(0, {}).Tableau(6, {}); }
void HandFitsCenter(TableBuilder& t) { t.Center(5, {Card(1, 3)}); }

INSTANTIATE_TEST_SUITE_P(
    StopRules, CheckDropRules,
    ::testing::Values(
        // While the Reserve top fits a foundation, it must go there first.
        DropCase{"ReserveFirstTableauMove", ReserveFitsCenter, FromTableau(Card(5, 2), kTableau, 4, Card(6, 1)),
                 Refused(RuleReason::ReserveToCenterNow)},
        DropCase{"ReserveFirstHandOntoFoundation", ReserveFitsCenter, Drop{kPlayer, 1, Card(1, 3), kCenter, 3, 0},
                 Refused(RuleReason::ReserveToCenterNow)},
        DropCase{"ReserveFirstReserveToTableau", ReserveFitsCenter, Drop{kPlayer, 2, Card(1, 2), kTableau, 3, 0},
                 Refused(RuleReason::ReserveToCenterNow)},
        DropCase{"ReserveFirstReserveToCenter", ReserveFitsCenter, Drop{kPlayer, 2, Card(1, 2), kCenter, 3, 0},
                 Legal()},
        // Empty Tableau spaces are filled from the Reserve before the Hand is played.
        DropCase{"HandWithEmptyTableauToTableau", OneEmptyTableau, Drop{kPlayer, 1, Card(10, 3), kTableau, 6, 0},
                 Refused(RuleReason::FillTableauBeforeStock)},
        DropCase{"HandWithEmptyTableauToOwnWaste", OneEmptyTableau, Drop{kPlayer, 1, Card(10, 3), kPlayer, 3, 0},
                 Refused(RuleReason::FillTableauBeforeStock)},
        DropCase{"HandWithEmptyTableauToCenter", [](TableBuilder& t) { t.Tableau(6, {}).Center(5, {Card(9, 3)}); },
                 Drop{kPlayer, 1, Card(10, 3), kCenter, 5, Card(9, 3)}, Refused(RuleReason::FillTableauBeforeStock)},
        DropCase{"HandEndsTurnWithEmptyTableauAndNoReserve", EmptyReserveAndOneEmptyTableau,
                 Drop{kPlayer, 1, Card(10, 3), kPlayer, 3, 0}, Refused(RuleReason::FillTableauBeforeEndTurn)},
        DropCase{"HandWithNoReserveFillsEmptyTableau", EmptyReserveAndOneEmptyTableau,
                 Drop{kPlayer, 1, Card(10, 3), kTableau, 6, 0}, Legal()},
        DropCase{"HandEndsTurn", Nothing, Drop{kPlayer, 1, Card(10, 3), kPlayer, 3, 0}, Legal()},
        // A Hand card that fits a foundation must go there.
        DropCase{"HandFitsCenterToTableau", HandFitsCenter, Drop{kPlayer, 1, Card(2, 3), kTableau, 1, Card(3, 1)},
                 Refused(RuleReason::HandCardToCenter)},
        DropCase{"HandFitsCenterToOpponent", HandFitsCenter, Drop{kPlayer, 1, Card(2, 3), kOpponent, 3, Card(3, 3)},
                 Refused(RuleReason::HandCardToCenter)},
        DropCase{"HandFitsCenterToOwnWaste", HandFitsCenter, Drop{kPlayer, 1, Card(2, 3), kPlayer, 3, 0},
                 Refused(RuleReason::HandCardToCenter)},
        DropCase{"HandFitsCenterToCenter", HandFitsCenter, Drop{kPlayer, 1, Card(2, 3), kCenter, 5, Card(1, 3)},
                 Legal()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CanTurnStock, StopRulesInOrder) {
  TableBuilder t = QuietTable();
  EXPECT_EQ(play::CanTurnStock(t, table::Turn::Local), Legal());
  t.Center(2, {Card(1, 1)}).Tableau(7, {Card(11, 4), Card(2, 1)});
  EXPECT_EQ(play::CanTurnStock(t, table::Turn::Local), Refused(RuleReason::TableauToCenterBeforeStock));
  t.Reserve(0, {Card(8, 2), Card(1, 4)});
  EXPECT_EQ(play::CanTurnStock(t, table::Turn::Local), Refused(RuleReason::ReserveToCenterBeforeStock));
  t.Tableau(3, {});
  EXPECT_EQ(play::CanTurnStock(t, table::Turn::Local), Refused(RuleReason::FillTableauBeforeStock));
  // With the Reserve played out no STOP rule binds.
  t.Reserve(0, {});
  EXPECT_EQ(play::CanTurnStock(t, table::Turn::Local), Legal());
}

// The rule messages, as the message line shows them.
class RuleMessages : public ::testing::Test {
 protected:
  play::RuleMessageOutput Output(bool soundOn = true, bool online = false) {
    return {view, effects, channel, soundOn, QStringLiteral("/data/"), online};
  }
  testing_support::FakeTableView view;
  testing_support::FakeSoundEffects effects;
  platform::FakeSoundChannel channel;
  play::PlayState state;
};

struct MessageCase {
  RuleReason reason;
  const char* caption;
};

void PrintTo(const MessageCase& c, std::ostream* os) { *os << play::Name(c.reason); }

class RuleMessageTexts : public RuleMessages, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(RuleMessageTexts, ExactCaption) {
  state.CurrentTurn = table::Turn::Local;
  play::IllegalMove(GetParam().reason, state, Output());
  EXPECT_EQ(view.Label(table::TableLabel::lblMessage), QString::fromUtf8(GetParam().caption));
  EXPECT_EQ(channel.played, std::vector<QString>{QStringLiteral("/data/~109.tmp")});
  EXPECT_TRUE(effects.effects.empty());
  EXPECT_TRUE(state.Message.isEmpty());
}

#define HEADING "That card cannot be played there.\r\n"
INSTANTIATE_TEST_SUITE_P(
    AllReasons, RuleMessageTexts,
    ::testing::Values(
        MessageCase{RuleReason::WrongPlace, HEADING},
        MessageCase{RuleReason::CenterSequence, HEADING "Center piles are built up in sequence and suit."},
        MessageCase{RuleReason::TableauColours, HEADING "Tableau piles are built down in alternating colors."},
        MessageCase{RuleReason::OpponentSequence,
                    HEADING "Cards played to your opponent's Reserve or Wastepile must be in suit "
                            "and up or down sequence."},
        MessageCase{RuleReason::OpponentSequenceToo,
                    HEADING "Cards played to your opponent's Reserve or Wastepile must be in suit "
                            "and up or down sequence."},
        MessageCase{RuleReason::OwnReserve, HEADING "You can't play a card to your own Reserve pile."},
        MessageCase{RuleReason::WasteIsDead, "Once a card has been placed on your Wastepile, you cannot play it."},
        MessageCase{RuleReason::FillTableauBeforeStock,
                    "STOP! You must fill an empty Tableau with your Reserve card before playing "
                    "your Stock card!"},
        MessageCase{RuleReason::ReserveToCenterBeforeStock,
                    "STOP! Your Reserve card is playable to the Center Foundation. You must play "
                    "your Reserve card there before turning over your Stock card!"},
        MessageCase{RuleReason::TableauToCenterBeforeStock,
                    "STOP! Tableau cards that can be played to the Center, must be moved there "
                    "before turning over your Stock card!"},
        MessageCase{RuleReason::FillTableauBeforeEndTurn,
                    "STOP! You must fill empty Tableau spaces before ending your turn!"},
        MessageCase{RuleReason::HandCardToCenter,
                    "STOP! Your hand Stock card is playable to the Center Foundation. You must "
                    "play your Stock card there!"},
        MessageCase{RuleReason::TableauToCenterBeforeEndTurn,
                    "STOP! Tableau cards that can be played to the Center, must be moved there "
                    "before ending your turn!"},
        MessageCase{RuleReason::ReserveToCenterNow,
                    "STOP! Your Reserve card is playable to the Center Foundation. You must play "
                    "that card there immediately!"},
        MessageCase{RuleReason::NotToCenter, "That card cannot be played to the Center."}),
    [](const auto& info) { return std::string(play::Name(info.param.reason)); });
#undef HEADING

TEST_F(RuleMessages, NotYourTurnReplacesEveryRuleText) {
  state.CurrentTurn = table::Turn::Opponent;
  for (RuleReason reason : {RuleReason::WrongPlace, RuleReason::TableauColours, RuleReason::ReserveToCenterNow}) {
    play::IllegalMove(reason, state, Output());
    EXPECT_EQ(view.Label(table::TableLabel::lblMessage), QStringLiteral("It's NOT your turn!"));
  }
  EXPECT_EQ(effects.effects, (std::vector<int>{8, 8, 8}));
  EXPECT_EQ(channel.played.size(), 3u);
}

TEST_F(RuleMessages, ErrorFileOnlyWithGameSoundsOn) {
  state.CurrentTurn = table::Turn::Local;
  play::IllegalMove(RuleReason::CenterSequence, state, Output(/*soundOn=*/false));
  EXPECT_TRUE(channel.played.empty());
  EXPECT_FALSE(view.Label(table::TableLabel::lblMessage).isEmpty());
}

TEST_F(RuleMessages, OnlineMarksTheMessageAndHidesTheChatIcon) {
  state.CurrentTurn = table::Turn::Local;
  play::IllegalMove(RuleReason::CenterSequence, state, Output(true, /*online=*/false));
  EXPECT_FALSE(state.RuleMessageShown);
  EXPECT_EQ(view.images.count(table::TableImage::imgIcon), 0u);
  play::IllegalMove(RuleReason::CenterSequence, state, Output(true, /*online=*/true));
  EXPECT_TRUE(state.RuleMessageShown);
  EXPECT_EQ(view.images.at(table::TableImage::imgIcon), false);
}

// An announcement left in Message (the who-goes-first text stays there
// after the deal) must not trail behind the next rule message.
TEST_F(RuleMessages, LeftoverMessageTextIsNotAppended) {
  state.CurrentTurn = table::Turn::Local;
  state.Message = QStringLiteral("My Reserve card is LOWEST\r\n\r\nI go first.");
  play::IllegalMove(RuleReason::WrongPlace, state, Output());
  EXPECT_EQ(view.Label(table::TableLabel::lblMessage), QStringLiteral("That card cannot be played there.\r\n"));
  EXPECT_TRUE(state.Message.isEmpty());
  // And the message line is replaced, not appended to.
  play::IllegalMove(RuleReason::NotToCenter, state, Output());
  EXPECT_EQ(view.Label(table::TableLabel::lblMessage), QStringLiteral("That card cannot be played to the Center."));
}

TEST_F(RuleMessages, CheckDropShowsItsRefusalAndStaysQuietWhenLegal) {
  TableBuilder t = QuietTable();
  state.CurrentTurn = table::Turn::Local;
  EXPECT_TRUE(play::CheckDrop(t, Drop{kTableau, 2, Card(5, 2), kTableau, 4, Card(6, 1)}, state, Output()));
  EXPECT_TRUE(channel.played.empty());
  EXPECT_FALSE(play::CheckDrop(t, Drop{kTableau, 2, Card(5, 2), kTableau, 4, Card(6, 3)}, state, Output()));
  EXPECT_EQ(view.Label(table::TableLabel::lblMessage),
            QStringLiteral("That card cannot be played there.\r\n"
                           "Tableau piles are built down in alternating colors."));
}

TEST_F(RuleMessages, CanTurnStockShowsTheStopRule) {
  TableBuilder t = QuietTable();
  t.Tableau(2, {});
  state.CurrentTurn = table::Turn::Local;
  EXPECT_FALSE(play::CanTurnStock(t, state, Output()));
  EXPECT_EQ(view.Label(table::TableLabel::lblMessage), play::RuleText(RuleReason::FillTableauBeforeStock));
}

// The double click finds a foundation, then asks the drop check, which runs
// its own searches; the foundation it found must still be the target.
TEST_F(RuleMessages, DoubleClickKeepsTheFoundationThroughTheDropCheck) {
  TableBuilder t = QuietTable();
  t.Center(4, {Card(1, 2)}).Tableau(3, {Card(12, 1), Card(2, 2)});
  state.CurrentTurn = table::Turn::Local;
  const table::CardCode card = play::TableauTop(t, 3);
  play::SearchFindings findings;
  ASSERT_TRUE(play::CheckCenter(t, findings, table::CardRank(card), table::CardSuit(card)));
  ASSERT_EQ(findings.CenterTarget, 4);
  const Drop drop{kTableau, 3, card, kCenter, findings.CenterTarget, play::CenterTop(t, findings.CenterTarget)};
  EXPECT_TRUE(play::CheckDrop(t, drop, state, Output()));
  EXPECT_EQ(findings.CenterTarget, 4);
}

TEST(HandEmptyHint, TellsThePlayerToPressDone) {
  testing_support::FakeTableView view;
  play::HandEmptyHint(view);
  EXPECT_EQ(view.Label(table::TableLabel::lblTurn),
            QStringLiteral("Since you no longer have any Hand cards, press the End Turn button "
                           "when you have finished your turn."));
  EXPECT_EQ(view.images.at(table::TableImage::cmdDone), true);
}

}  // namespace
