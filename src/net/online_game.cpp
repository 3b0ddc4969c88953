#include "net/online_game.h"

#include "net/connection.h"
#include "net/game_lists.h"
#include "platform/wait.h"
#include "table/game_state.h"
#include "table/table_view.h"

namespace net {

using table::TableLabel;

bool OnlineGame::Usable() const { return parts_.net.PeerPresent() && !parts_.wait.Exiting(); }

bool OnlineGame::HostGameStart() {
  play::NetState& net = parts_.net;
  conn_.NetDataText.clear();
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
  conn_.NetDataText.clear();
  return Usable();
}

bool OnlineGame::RemoteGameStart() {
  play::NetState& net = parts_.net;
  if (!Usable()) return false;
  if (net.NetMsgKind == kMsgRC) {
    // A handed-over table: answered, then the host's "RS" ends it.
    if (!conn_.SendAndWait(QString::fromLatin1(kTagRC), {kMsgRS, kMsgEG}) || net.NetMsgKind != kMsgRS) return false;
  } else if (net.NetMsgKind == kMsgGS) {
    conn_.NetDataText.clear();
    conn_.SendNetMessage(QString::fromLatin1(kTagGS), play::kNetPeerSocket);
  } else {
    return false;  // nothing of the host's asks for a deal
  }
  conn_.NetWaitDone = true;
  if (net.NetMsgKind == kMsgRS) {
    conn_.NetLastKind[0] = kMsgNeutral;
    return true;
  }
  if (net.NetMsgKind != kMsgDK && (!conn_.WaitForKinds({kMsgDK, kMsgEG, kMsgGS}) || net.NetMsgKind != kMsgDK))
    return false;

  play::ScoreState& scores = parts_.scores;
  const std::optional<DeckList> decks = ReadDeckList(conn_.NetDataText, scores.MatchOn);
  conn_.NetDataText.clear();
  if (!decks) {
    conn_.RefusePeerData();
    return false;
  }
  LoadDecks(*decks, piles_);
  if (decks->match) {
    StoreMatchFields(*decks->match, scores.CurrentScores);
    play::SaveScoreRec(scores, parts_.scoreStore);
    parts_.hooks.CheckMatchComplete();
  }
  conn_.SendNetMessage(QString::fromLatin1(kTagDK), play::kNetPeerSocket);
  return Usable();
}

void OnlineGame::WhoseTurn() {
  play::NetState& net = parts_.net;
  if (!Usable()) return;
  if (net.NetIsHost == play::kNetHost) {
    const int n = parts_.state.CurrentTurn == 1 ? kHostFirst : kRemoteFirst;
    conn_.SendAndWait(TrLine(n), {kMsgTR, kMsgEG});
    // The notices go even when the wait ended early; a gone peer reads none.
    if (!Usable()) return;
    ++net.ChatSeq;
    conn_.SendNetMessage(ChatLine(net.ChatSeq, kSystemPrefix + net.WhoGoesFirstText), play::kNetPeerSocket);
    if (QString::compare(net.PeerVersion(), QLatin1String(kCurrentPeerVersion)) >= 0 &&
        FirstPlayerRule_ == kCoinTossRule) {
      ++net.ChatSeq;
      conn_.SendNetMessage(ChatLine(net.ChatSeq, QString::fromLatin1(kSystemPrefix) + kCoinNotice),
                           play::kNetPeerSocket);
    }
    return;
  }
  // The host's "TR" may have come during the deal; the dispatcher has
  // stored the turn.
  if (net.NetMsgKind != kMsgTR && (!conn_.WaitForKinds({kMsgTR, kMsgEG, kMsgGS}) || net.NetMsgKind != kMsgTR))
    return;
  conn_.SendNetMessage(QString::fromLatin1(kTagTR), play::kNetPeerSocket);
}

}  // namespace net
