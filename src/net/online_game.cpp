#include "net/online_game.h"

#include "net/chat_lines.h"
#include "net/connection.h"
#include "net/game_lists.h"
#include "platform/wait.h"
#include "play/computer/computer_player.h"
#include "play/rules/apply_move.h"
#include "play/rules/rule_checks.h"
#include "table/deal.h"
#include "table/game_state.h"
#include "table/sound_effects.h"
#include "table/table_settings.h"
#include "table/table_view.h"

namespace net {

using table::TableLabel;

bool OnlineGame::Usable() const { return parts_.net.PeerPresent() && !parts_.wait.Exiting(); }

bool OnlineGame::HostGameStart() {
  play::NetState& net = parts_.net;
  conn_.ClearNetDataText();
  parts_.view.SetLabel(TableLabel::StatusMsg, kWaitingForOpponentText);
  parts_.view.SetLabelVisible(TableLabel::StatusMsg, true);
  const play::ScoreState& scores = parts_.scores;
  if (!Usable()) return false;
  if (!conn_.SendAndWait(GsLine(scores.MatchOn ? scores.MatchPoints : kNoMatch), {kMsgGS, kMsgEG}) ||
      net.NetMsgKind != kMsgGS)
    return false;

  std::optional<MatchFields> match;
  if (scores.CurrentScores.MatchInProgress == 1) match = MatchFieldsOf(scores.CurrentScores);
  if (!conn_.SendAndWait(DkLine(BuildDeckList(piles_, match)), {kMsgDK, kMsgEG}) || net.NetMsgKind != kMsgDK)
    return false;
  conn_.ClearNetDataText();
  return Usable();
}

bool OnlineGame::RemoteGameStart() {
  play::NetState& net = parts_.net;
  if (!Usable()) return false;
  if (net.NetMsgKind == kMsgRC) {
    // A handed-over table: answered, then the host's "RS" ends it.
    if (!conn_.SendAndWait(QString::fromLatin1(kTagRC), {kMsgRS, kMsgEG}) || net.NetMsgKind != kMsgRS) return false;
  } else if (net.NetMsgKind == kMsgGS) {
    conn_.ClearNetDataText();
    conn_.SendNetMessage(QString::fromLatin1(kTagGS), play::kNetPeerSocket);
  } else {
    return false;  // nothing of the host's asks for a deal
  }
  conn_.EndConnectionWait();
  if (net.NetMsgKind == kMsgRS) {
    conn_.ForgetLastKind();
    return true;
  }
  if (net.NetMsgKind != kMsgDK && (!conn_.WaitForKinds({kMsgDK, kMsgEG, kMsgGS}) || net.NetMsgKind != kMsgDK))
    return false;

  play::ScoreState& scores = parts_.scores;
  const std::optional<DeckList> decks = ReadDeckList(conn_.NetDataText(), scores.MatchOn);
  conn_.ClearNetDataText();
  if (!decks) {
    conn_.RefusePeerData();
    return false;
  }
  LoadDecks(*decks, piles_);
  if (decks->match) {
    StoreMatchFields(*decks->match, scores.CurrentScores);
    play::SaveScoreRec(scores, parts_.scoreStore);
    parts_.game.CheckMatchComplete();
  }
  conn_.SendNetMessage(QString::fromLatin1(kTagDK), play::kNetPeerSocket);
  return Usable();
}

void OnlineGame::WhoseTurn() {
  play::NetState& net = parts_.net;
  if (!Usable()) return;
  if (net.NetIsHost == play::kNetHost) {
    const int n = parts_.state.CurrentTurn == table::Turn::Local ? kHostFirst : kRemoteFirst;
    conn_.SendAndWait(TrLine(n), {kMsgTR, kMsgEG});
    // The notices go even when the wait ended early; a gone peer reads none.
    if (!Usable()) return;
    ++net.ChatSeq;
    conn_.SendNetMessage(ChatLine(net.ChatSeq, kNoticeSpeaker + net.WhoGoesFirstText), play::kNetPeerSocket);
    if (QString::compare(net.PeerVersion(), QLatin1String(kCurrentPeerVersion)) >= 0 &&
        FirstPlayerRule_ == table::kFirstPlayerCoinToss) {
      ++net.ChatSeq;
      conn_.SendNetMessage(ChatLine(net.ChatSeq, QString::fromLatin1(kNoticeSpeaker) + kCoinNotice),
                           play::kNetPeerSocket);
    }
    return;
  }
  // The host's "TR" may have come during the deal; the dispatcher has
  // stored the turn.
  if (net.NetMsgKind != kMsgTR && (!conn_.WaitForKinds({kMsgTR, kMsgEG, kMsgGS}) || net.NetMsgKind != kMsgTR)) return;
  conn_.SendNetMessage(QString::fromLatin1(kTagTR), play::kNetPeerSocket);
}

void OnlineGame::SendEndGame(bool endMatch) {
  if (!Usable()) return;
  const char* word = parts_.scores.StalemateDeclared ? kEndStalemate : endMatch ? kEndMatch : "";
  // The peer's "EG" answers; a quit or a loss ends the wait as well.
  conn_.SendAndWait(EgLine(QString::fromLatin1(word)), {kMsgEG, kMsgGO});
}

void OnlineGame::ExchangeReset() {
  if (!Usable()) return;
  if (parts_.net.NetIsHost == play::kNetHost) {
    conn_.SendAndWait(QString::fromLatin1(kTagRS), {kMsgRS});
    return;
  }
  // The remote waits inside its reaction to the host's "EG"; the host's "RS"
  // may already be in.
  if (parts_.net.NetMsgKind != kMsgRS) conn_.WaitForKinds({kMsgRS});
}

void OnlineGame::AcknowledgeFinalMove() {
  if (Usable()) conn_.SendNetMessage(QString::fromLatin1(kTagPC), play::kNetPeerSocket);
}

void OnlineGame::AppendResultToChat(const QString& text) {
  conn_.AppendChatLog(text);
  conn_.EnableChatSend(true);
}

}  // namespace net

// ---- The move exchange ----

namespace net {

namespace {
constexpr int kOwn = 0;
constexpr int kPeer = 1;

bool SideOutOfCards(const table::PileArrays& p, int side) {
  return p.ReserveCount[side] + p.StockCount[side] + p.WasteCount[side] == 0;
}
}  // namespace

bool OnlineGame::Interrupted() const {
  const std::int16_t kind = parts_.net.NetMsgKind;
  return !Usable() || kind == kMsgGO || kind == kMsgEG || kind == kMsgGS;
}

// A line of the kind may already have been dispatched while the caller
// paused; the last kind tells.
bool OnlineGame::AwaitKind(std::int16_t kind) {
  if (parts_.net.NetMsgKind != kind && !conn_.WaitForKinds({kind, kMsgEG, kMsgGS})) return false;
  return !Interrupted() && parts_.net.NetMsgKind == kind;
}

void OnlineGame::ShowWait(bool shown) {
  if (shown) parts_.view.SetLabel(TableLabel::lblWAIT, table::kWaitText);
  parts_.view.SetLabelVisible(TableLabel::lblWAIT, shown);
}

bool OnlineGame::Move_Transmit_PlayCard(const play::OnlineMove& move) {
  play::NetState& net = parts_.net;
  if (!Usable()) return false;
  conn_.EnableChatSend(false);
  ShowWait(true);
  net.MoveFromPile = move.MoveFromPile;
  net.MoveFromIndex = move.MoveFromIndex;
  net.MoveToPile = move.MoveToPile;
  net.MoveToIndex = move.MoveToIndex;
  const bool answered = conn_.SendAndWait(MoveLine(move, conn_.TabOrders()), {kMsgPC, kMsgEG, kMsgGS}) &&
                        !Interrupted() && net.NetMsgKind == kMsgPC;
  // The game's last move: game over takes it from here, and the peer is
  // told no "WT".
  if (answered && (SideOutOfCards(piles_, kOwn) || SideOutOfCards(piles_, kPeer))) return true;
  const bool done = answered && conn_.SendAndWait(QString::fromLatin1(kTagWT), {kMsgWT, kMsgEG, kMsgGS}) &&
                    !Interrupted() && net.NetMsgKind == kMsgWT;
  if (!Usable()) return false;
  conn_.EnableChatSend(true);
  ShowWait(false);
  // Cut short by the host's end, a new game or a handed-over table, whose
  // handling has set the piles as they must stay.
  if (done) parts_.view.EnablePiles(true);
  return done;
}

void OnlineGame::Opponent(play::MoveServices& s) {
  using play::MoveResult;
  using Target = ReceivedMove::Target;
  play::NetState& net = parts_.net;
  play::PlayState& st = s.state;
  table::PileArrays& p = s.piles;
  if (!Usable()) return;
  s.view.SetImageVisible(table::TableImage::ImgTurn1, false);
  s.view.SetImageVisible(table::TableImage::ImgTurn2, true);
  s.view.SetLabel(TableLabel::lblTurn, kOpponentTurnBefore + net.OpponentName + kOpponentTurnAfter);
  const bool olderPeer = QString::compare(net.PeerVersion(), QLatin1String(kCurrentPeerVersion)) < 0;

  bool turnEnded = false;
  while (!turnEnded) {
    if (st.CurrentTurn != table::Turn::Opponent || !AwaitKind(kMsgPC) || st.CurrentTurn != table::Turn::Opponent)
      return;
    const std::optional<ReceivedMove> m = CheckReceivedMove(net.MoveFromPile, net.MoveFromIndex, net.MoveToPile,
                                                            net.MoveToIndex, p, olderPeer, conn_.TabOrders());
    if (!m) {
      conn_.RefusePeerData();
      return;
    }
    st.MoveSource = m->source;
    st.MoveSourceIndex = m->sourceIndex;
    st.MoveCard = m->card;
    // Each slide may run the peer's next lines: a quit during it leaves the
    // card where it was.
    const auto slide = [&](table::PileControl target, int index) {
      s.view.AnimateCard(m->source, m->sourceIndex, m->card, target, index);
      return !Interrupted();
    };
    MoveResult result = MoveResult::Applied;
    switch (m->target) {
      case Target::Center:
        if (!slide(table::PileControl::picCenter, m->targetIndex)) return;
        result = play::PlaceOnCenter(s, m->targetIndex);
        break;
      case Target::Tableau:
        if (!slide(table::PileControl::picTableau, m->targetIndex)) return;
        result = play::PlaceOnTableau(s, m->targetIndex);
        break;
      case Target::StockTurn:
        if (p.StockCount[kPeer] > 0) {
          play::TurnOpponentStock(s);
        } else {
          table::RecycleWaste(p, st, s.view, s.sfx);
        }
        break;
      case Target::OwnSidePile:
        if (!slide(table::PileControl::picPlayer, m->targetIndex)) return;
        result = play::PlaceOnSidePile(s, m->targetIndex, play::kLocalOwner);
        // The loaded card's rim is shown for the pause only, as after the
        // computer's loads.
        if (result == MoveResult::Applied) s.view.SetCardFrameBackStyle(m->targetIndex, play::kFrameTransparent);
        break;
      case Target::MoverSidePile:
        turnEnded = true;
        if (m->card != 0) {
          if (!slide(table::PileControl::picOpponent, m->targetIndex)) return;
          result = play::PlaceOnSidePile(s, m->targetIndex, play::kOpponentOwner);
        }
        break;
    }
    if (result == MoveResult::Applied && m->target != Target::StockTurn && m->card != 0)
      result = play::RemoveFromSourcePile(s, m->source, m->sourceIndex);
    if (result != MoveResult::Applied) {
      conn_.RefusePeerData();
      return;
    }
    // The game's last move: game over has answered it, and no "WT" follows.
    if (st.CurrentTurn != table::Turn::Opponent || Interrupted()) return;
    conn_.SendNetMessage(QString::fromLatin1(kTagPC), play::kNetPeerSocket);
    if (!AwaitKind(kMsgWT)) return;
    conn_.SendNetMessage(QString::fromLatin1(kTagWT), play::kNetPeerSocket);
  }
  StartOwnTurn(s);
}

void OnlineGame::StartOwnTurn(play::MoveServices& s) {
  play::PlayState& st = s.state;
  if (s.wait.Exiting()) return;
  s.wait.Pause(play::kEndTurnPause);
  if (!Usable() || st.CurrentTurn != table::Turn::Opponent) return;
  if (s.view.Label(TableLabel::lblMessage) == play::kNotYourTurn) s.view.SetLabel(TableLabel::lblMessage, QString());
  play::PassTurnToPlayer(s);
  if (s.piles.StockCount[kOwn] == 0 && s.piles.WasteCount[kOwn] == 0) {
    play::HandEmptyHint(s.view);
  } else {
    s.view.SetLabel(TableLabel::lblTurn, kOwnTurnText);
  }
  st.ComputerThinking = false;
}

}  // namespace net
