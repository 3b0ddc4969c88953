// The receive queue: the bytes a socket brings are cut into lines, taken
// one at a time off the front by a queued pump and dispatched; a line's
// reaction runs at once, or after the running one has returned. A peer
// that closes, floods or sends a line no program sends is handled here.

#include "net/connection.h"

#include <QElapsedTimer>
#include <QTimer>

#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/wait.h"
#include "platform/winsock.h"
#include "play/state/top_level_command.h"

namespace net {

void Connection::Winsock1_DataArrival(int index, qint64) {
  if (index < 0 || index >= kSocketCount) return;
  platform::Winsock& socket = Winsock1(index);
  const QByteArray bytes = socket.GetData();
  // Only the peer's socket reaches the game; a refused caller's bytes are
  // dropped.
  if (!PeerSocket(index)) return;
  // More waiting than the queue holds is a flood; a line too long for the
  // game is no line of it.
  const PeerFault fault =
      received_[index].Waiting() + bytes.size() > kMaxQueuedBytes ? PeerFault::TooMuch : PeerFault::Unusable;
  if (!received_[index].Append(bytes)) {
    QTimer::singleShot(0, this, [this, index, fault] {
      if (PeerSocket(index)) ProtocolViolation(index, fault);
    });
    return;
  }
  if (received_[index].HasLine()) QueuePump(index);
}

void Connection::Winsock1_PeerClosed(int index) {
  if (!PeerSocket(index)) return;
  peerClosed_[index] = true;
  QueuePump(index);
  // A peer that leaves behind more than can be handled at once is not waited
  // for.
  QTimer::singleShot(kPeerCloseGraceMs, this, [this, index] {
    play::TopLevelCommand command(parts_.wait, parts_.state, parts_.mainWindow);
    if (peerClosed_[index] && PeerSocket(index)) PeerLeft(index, true);
  });
}

void Connection::QueuePump(int index) {
  if (pumpQueued_[index]) return;
  pumpQueued_[index] = true;
  QTimer::singleShot(0, this, [this, index] { Pump(index); });
}

void Connection::Pump(int index) {
  // A line may run long (boxes, pauses, the peer's answers): a close asked
  // for meanwhile is completed when it returns.
  play::TopLevelCommand command(parts_.wait, parts_.state, parts_.mainWindow);
  pumpQueued_[index] = false;
  if (!PeerSocket(index)) return;
  QByteArray line;
  if (received_[index].TakeLine(line)) {
    // Chat lines, which change nothing a wait looks at, are taken a few at a
    // time, so that the window is redrawn once for them.
    QElapsedTimer slice;
    slice.start();
    do {
      if (received_[index].HasLine() || peerClosed_[index]) QueuePump(index);
      const bool chat = line.startsWith(kTagSY);
      Dispatch(index, line);
      if (!chat || slice.elapsed() >= kPumpSliceMs) break;
    } while (PeerSocket(index) && received_[index].TakeLine(line));
  } else if (peerClosed_[index]) {
    // The peer left in order: what it sent before has been dispatched.
    PeerLeft(index, false);
  }
  reactions_.Run();
}

void Connection::PeerLeft(int index, bool dropRest) {
  // A host that leaves before the names are exchanged was never met: no one
  // quit a game. (A caller of the host has no seat until it gives its name,
  // and is let go as a caller before that.)
  if (!HandshakeDone()) return HandshakeBroken();
  peerClosed_[index] = false;
  peerGone_ = true;
  received_[index].Clear();
  if (dropRest) reactions_.Drop();
  // A reaction waiting for the peer's answer ends now.
  parts_.net.NetMsgKind = kMsgGO;
  parts_.wait.Wake();
  React([this, index] {
    parts_.ui.Beep();
    PeerQuit(index);
  });
}

void Connection::React(std::function<void()> run, qsizetype bytes) {
  if (!reactions_.Push(std::move(run), bytes)) {
    // Reactions pile up only while one waits; a peer that keeps sending
    // meanwhile is flooding.
    ProtocolViolation(NetSockIndex_, PeerFault::TooMuch);
    return;
  }
  reactions_.Run();
}

void Connection::Dispatch(int index, const QByteArray& bytes) {
  const QString line = vb::FromCp1252(bytes);
  if (lineTap_) lineTap_(false, line);
  if (line.startsWith(QLatin1String(kTagSY))) {
    const NetMessage m = ParseNetLine(line, Host());
    if (m.violation || !line.contains('#')) return ProtocolViolation(index, PeerFault::Unusable);
    // A link that comes while the player is asked about another is only
    // logged, even when its turn comes after the question.
    return React([this, line, offerLink = !linkQuestionOpen_] { ChatDispatch(line, offerLink); }, bytes.size());
  }
  const NetMessage m = ParseNetLine(line, Host());
  if (m.violation) return ProtocolViolation(index, PeerFault::Unusable);
  if (m.kind == kMsgNone) return;  // a tag this program does not know
  // Until the names are exchanged only the handshake and a quit count.
  const bool expected = m.kind == kMsgGO || (m.kind == kMsgIP && handshakeStep_ == HandshakeStep::AwaitIP) ||
                        (m.kind == kMsgNM && handshakeStep_ == HandshakeStep::AwaitNM) ||
                        (m.kind != kMsgIP && m.kind != kMsgNM && handshakeStep_ == HandshakeStep::Done);
  if (!expected) return ProtocolViolation(index, PeerFault::Unusable);
  GetMessage(index, m, bytes.size());
}

}  // namespace net
