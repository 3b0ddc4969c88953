// What a dispatched line does: noted at once for the waits that look for
// it, then its reaction, the host's or the remote's; and what this side
// does when the peer quits or breaks the protocol.

#include "net/connection.h"

#include <QPushButton>

#include "net/online_restore.h"
#include "net/opponents_file.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/version.h"
#include "platform/wait.h"
#include "platform/winsock.h"
#include "table/game_state.h"
#include "table/table_view.h"

namespace net {

using table::TableLabel;

void Connection::GetMessage(int index, const NetMessage& m, qsizetype bytes) {
  play::NetState& net = parts_.net;
  net.NetMsgKind = m.kind;
  switch (m.kind) {
    case kMsgIP:
      if (Host()) net.NetConnIndex = play::kNetPeerSocket;
      net.NetPeerInfo[1].Version = m.version;
      GetTabOrder(m.version, Host(), TabOrders_);
      break;
    case kMsgPC:
      if (m.hasMove) {
        net.MoveFromPile = m.fromPile;
        net.MoveFromIndex = m.fromIndex;
        net.MoveToPile = m.toPile;
        net.MoveToIndex = m.toIndex;
      }
      break;
    default: break;
  }
  for (Awaited* a = awaited_; a; a = a->outer) {
    for (std::int16_t kind : a->kinds) {
      if (kind == m.kind) a->arrived = true;
    }
  }

  // Two lines of one kind in a row from one socket get one reaction.
  if (index == NetLastSocket_ && net.NetMsgKind == NetLastKind_[index]) {
    parts_.wait.Wake();
    return;
  }
  NetLastSocket_ = static_cast<std::int16_t>(index);
  if (index >= 0 && index < kSocketCount) NetLastKind_[index] = m.kind;
  // What the waits look for is set now; the rest of the reaction may have to
  // wait for the running one.
  switch (m.kind) {
    case kMsgIP:
      // The host has named itself to its caller as the version came.
      handshakeStep_ = HandshakeStep::AwaitNM;
      break;
    case kMsgNM:
      handshakeStep_ = HandshakeStep::Done;
      handshakeTimer_.stop();
      break;
    case kMsgPC: NetWaitDone_ = true; break;
    case kMsgGS:
    case kMsgRC:
      if (Host()) NetWaitDone_ = true;  // the remote answered
      break;
    case kMsgGO:
      peerGone_ = true;  // nothing after it is read
      break;
    default: break;
  }
  parts_.wait.Wake();
  React(
      [this, index, m] {
        if (Host()) {
          HostReaction(index, m);
        } else {
          RemoteReaction(index, m);
        }
        parts_.wait.Wake();
      },
      bytes);
}

void Connection::RemoteReaction(int index, const NetMessage& m) {
  play::NetState& net = parts_.net;
  table::TableView& view = parts_.view;
  switch (m.kind) {
    case kMsgIP:
      SetStatus(TableLabel::StatusMsg, QStringLiteral("Waiting for dealer to start game..."), true);
      SendNetMessage(IpAnswer(NetVersionText_), 0);
      net.NetConnIndex = play::kNetPeerSocket;
      break;
    case kMsgNM:
      net.OpponentName = m.text;
      net.HostName = m.text;
      SendNetMessage(NmLine(parts_.PlayerName), 0);
      OpenNetPlayerFile();
      if (!play::IsOnline(net.NetConnIndex)) return;
      view.SetLabel(TableLabel::lblTurn, "You are connected to Host: " + net.OpponentName);
      view.SetStatusPanel(1, parts_.PlayerName + " vs " + net.OpponentName);
      Chat().SetLog("MD: You are connected to Host: " + net.OpponentName);
      Chat().Command1->setEnabled(true);
      break;
    case kMsgGS:
      if (m.value != kNoMatch) {
        parts_.scores.MatchOn = true;
        parts_.scores.MatchPoints = m.value;
        parts_.scores.CurrentScores.MatchTarget = m.value;
        parts_.game.CheckMatchComplete();
      } else {
        EndOnlineMatch();
      }
      view.ClearTable();
      view.SetLabel(TableLabel::StatusMsg, QStringLiteral("Click the DEAL button to begin."));
      view.EnablePiles(false);
      view.SetLabel(TableLabel::lblMessage, QStringLiteral("Click the DEAL button to begin:"));
      view.SetLabel(TableLabel::lblTurn, QStringLiteral("HOST began a NEW GAME!"));
      parts_.ui.Beep();
      view.SetImageVisible(table::TableImage::cmdDeal, true);
      view.SetLabelVisible(TableLabel::lblWAIT, false);
      break;
    case kMsgDK: NetDataText_ = m.text; break;
    case kMsgTR:
      // The host's number names the side that begins, as seen from here.
      parts_.state.CurrentTurn = m.value == kRemoteFirst ? table::Turn::Local : table::Turn::Opponent;
      view.SetLabelVisible(TableLabel::lblWAIT, false);
      if (frmChat_) frmChat_->Command1->setEnabled(true);
      break;
    case kMsgGO: PeerQuit(index); break;
    case kMsgRC:
      NetDataText_ = m.text;
      if (!restore_ || !restore_->GetRecover()) break;
      SetStatus(TableLabel::StatusMsg, kResumeText, true);
      parts_.ui.Beep();
      view.SetImageVisible(table::TableImage::cmdDeal, true);
      break;
    case kMsgEG: {
      SendNetMessage(EgLine(QString()), 0);
      if (m.text == QLatin1String(kEndStalemate)) {
        view.SetLabel(TableLabel::lblTurn, QStringLiteral("Host has declared this game a STALEMATE"));
        parts_.ui.Beep();
        parts_.scores.StalemateDeclared = true;
        parts_.game.GameOver(play::kNobodyWins);
      } else if (m.text == QLatin1String(kEndMatch)) {
        parts_.state.GameEnded = true;
        EndOnlineMatch();
        view.ClearTable();
        view.SetLabel(TableLabel::lblTurn, QStringLiteral("Host has ENDED this MATCH"));
        parts_.ui.Beep();
      } else {
        view.SetLabel(TableLabel::lblTurn, QStringLiteral("Waiting for Host..."));
        // The host is replacing the table: a move now would cross it.
        view.EnablePiles(false);
        break;
      }
      // The host's "RS" (or its loss) ends the exchange; it may have come
      // while game over waited for it.
      if (net.NetMsgKind != kMsgRS && !WaitForKinds({kMsgRS})) return;
      SendNetMessage(QString::fromLatin1(kTagRS), 0);
      if (m.text == QLatin1String(kEndMatch)) NetLastKind_[0] = kMsgNeutral;
      break;
    }
    default: break;
  }
}

void Connection::HostReaction(int index, const NetMessage& m) {
  play::NetState& net = parts_.net;
  table::TableView& view = parts_.view;
  switch (m.kind) {
    case kMsgNM:
      parts_.sound.Play(parts_.folders.DataPath + kHostNoticeSound);
      view.SetLabel(TableLabel::lblTurn, m.text + " has joined the game.");
      net.OpponentName = m.text;
      view.SetStatusPanel(1, parts_.PlayerName + " vs " + net.OpponentName);
      Chat();
      AppendChatLog("\r\nMD: " + net.OpponentName + " has joined the game.");
      net.NetPeerInfo[1].Name = m.text;
      OpenNetPlayerFile();
      if (!play::IsOnline(net.NetConnIndex)) return;
      Chat().Command1->setEnabled(true);
      ShowStartPrompt();
      break;
    case kMsgGS: SetStatus(TableLabel::lblWAIT, QString(), false); break;
    case kMsgTR:
      SetStatus(TableLabel::lblWAIT, QStringLiteral(" "), false);
      if (frmChat_) frmChat_->Command1->setEnabled(true);
      break;
    case kMsgGO: PeerQuit(index); break;
    default: break;
  }
}

void Connection::OpenNetPlayerFile() {
  OpponentsFile file{parts_.net, parts_.netScores, parts_.scores, parts_.scoreStore, parts_.folders, parts_.PlayerName};
  const OpponentRecord record = net::OpenNetPlayerFile(file, OpponentAvatar_, parts_.view);
  Chat().ScaleAvatar(OpponentAvatar_);
  if (record == OpponentRecord::InMemory && !netFileWarned_) {
    netFileWarned_ = true;
    parts_.ui.MsgBox(kNetFileFailedText, platform::vbExclamation, platform::kProgramTitle);
  }
}

void Connection::PeerQuit(int index) {
  play::NetState& net = parts_.net;
  if (!play::IsOnline(net.NetConnIndex) || quitHandled_) return;
  // Handled once: whatever the peer's socket still reports while the boxes
  // below are open is not the game's any more.
  quitHandled_ = true;
  peerGone_ = true;
  if (index >= 0 && index < kSocketCount) Winsock1(index).Close();
  if (Host()) {
    const QString name = net.OpponentName.isEmpty() ? QString::fromLatin1(kUnnamedOpponent) : net.OpponentName;
    parts_.view.SetLabel(TableLabel::lblTurn, name + kQuitText);
    if (parts_.state.CurrentTurn == table::Turn::None)
      parts_.ui.MsgBox(name + kQuitText, platform::vbCritical, platform::kProgramTitle);
    net.NetPeerInfo[1].Name.clear();
    AskSaveAtEnd();
    NetCleanUp();
    net.NetIsHost = play::kNetRemote;
  } else {
    parts_.view.SetLabel(TableLabel::lblTurn, kDealerEndedText);
    parts_.ui.MsgBox(kDealerEndedText, platform::vbCritical, platform::kProgramTitle);
    if (!quitSaveAsked_) {
      quitSaveAsked_ = true;
      AskSaveAtEnd();
    }
    NetCleanUp();
  }
  NetWaitDone_ = true;
  parts_.wait.Wake();
}

void Connection::ProtocolViolation(int index, PeerFault fault) {
  play::NetState& net = parts_.net;
  if (!PeerSocket(index)) return;
  const bool tooMuch = fault == PeerFault::TooMuch;
  qWarning("Network: the other program %s; the connection is closed",
           tooMuch ? "sent more than can be taken at once" : "sent a line no program of the game sends");
  // Nothing more from this peer is read or acted on, and it is told at
  // once; the box follows when no other reaction runs.
  peerGone_ = true;
  received_[index].Clear();
  peerClosed_[index] = false;
  reactions_.Drop();
  platform::Winsock& socket = Winsock1(index);
  if (lineTap_) lineTap_(true, QString::fromLatin1(kTagGO));
  socket.SendData(Line(QString::fromLatin1(kTagGO)));
  socket.Close();
  net.NetMsgKind = kMsgGO;
  NetWaitDone_ = true;
  parts_.wait.Wake();
  React([this, tooMuch] {
    play::NetState& net = parts_.net;
    parts_.ui.MsgBox(tooMuch ? kFloodText : kViolationText, platform::vbCritical, platform::kProgramTitle);
    if (play::IsOnline(net.NetConnIndex)) {
      AskSaveAtEnd();
      NetCleanUp();
      net.NetIsHost = play::kNetRemote;
    }
    NetWaitDone_ = true;
    parts_.wait.Wake();
  });
}

}  // namespace net
