// The handshake's own part. While its seat is free the host greets every
// caller with its version, each on a socket of its own, and the first that
// answers with its version and its name takes the seat; the others are then
// told the host is busy, as is every later caller. A caller that has not
// given its name in time is let go without a word; one that newer callers
// crowd out is told the host is busy, so that a fair program among them
// says so. The joining side gives a host up that has not finished the
// exchange in time.

#include "net/connection.h"

#include <QTimer>
#include <algorithm>
#include <random>
#include <vector>

#include "net/chat_lines.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/version.h"
#include "platform/wait.h"
#include "platform/winsock.h"
#include "play/state/top_level_command.h"

namespace net {

void Connection::ConnectionHandShake(std::int16_t SocketIndex) {
  SendNetMessage(IpLine(NetVersionText_, SocketIndex), SocketIndex);
}

void Connection::Winsock1_ConnectionRequest(int index, int requestID) {
  play::NetState& net = parts_.net;
  if (index != kListenSocket || !Host() || !play::IsOnline(net.NetConnIndex)) return;
  // Once a caller has taken the seat every other is refused, however many
  // call at once.
  if (net.NetPeerInfo[1].SlotState != play::kSlotFree ||
      Winsock1(play::kNetPeerSocket).State() != platform::sckClosed) {
    RefuseCaller(requestID);
    return;
  }
  GreetCaller(requestID);
}

void Connection::GreetCaller(int requestID) {
  auto* socket = new platform::Winsock(kCallerSocket, this);
  if (!socket->Accept(Winsock1(kListenSocket), requestID)) {
    delete socket;
    return;
  }
  const QString address = socket->RemoteHost;
  if (!MakeRoomFor(address)) {
    RefuseBusy(*socket);
    QTimer::singleShot(platform::kCloseLingerMs, socket, &QObject::deleteLater);
    return;
  }
  // The socket's events come from the event loop, never inside its own
  // call, and die with it. Once the caller has the seat they are the
  // opponent's.
  const auto seated = [this, socket] { return Winsock1_[play::kNetPeerSocket].get() == socket; };
  connect(
      socket, &platform::Winsock::DataArrival, socket,
      [this, socket, seated](int, qint64 bytes) {
        if (seated()) return Winsock1_DataArrival(play::kNetPeerSocket, bytes);
        CallerDataArrival(socket);
      },
      Qt::QueuedConnection);
  connect(
      socket, &platform::Winsock::PeerClosed, socket,
      [this, socket, seated](int) {
        if (seated()) return Winsock1_PeerClosed(play::kNetPeerSocket);
        if (auto caller = FindCaller(socket); caller != callers_.end()) LetCallerGo(caller, Farewell::Quiet);
      },
      Qt::QueuedConnection);
  connect(
      socket, &platform::Winsock::Error, socket,
      [this, socket, seated](int, int number, const QString& description) {
        if (seated()) return Winsock1_Error(play::kNetPeerSocket, number, description);
        if (auto caller = FindCaller(socket); caller != callers_.end()) LetCallerGo(caller, Farewell::Quiet);
      },
      Qt::QueuedConnection);

  Caller caller;
  caller.socket = socket;
  caller.address = address;
  caller.since.start();
  // Every caller is greeted as the one who would take the seat, socket 1.
  socket->SendData(Line(IpLine(NetVersionText_, play::kNetPeerSocket)));
  callers_.push_back(std::move(caller));
  TimeNextCaller();
}

bool Connection::MakeRoomFor(const QString& address) {
  const auto fromAddress = [&address](const Caller& c) { return c.address == address; };
  const bool addressFull = std::count_if(callers_.begin(), callers_.end(), fromAddress) >= kMaxCallersPerAddress;
  if (!addressFull && callers_.size() < static_cast<std::size_t>(kMaxCallersInHandshake)) return true;
  // A caller that has answered is on its way to the seat: only a silent one
  // makes room, of the address's own when it is the address that is full.
  std::vector<std::size_t> silent;
  for (std::size_t i = 0; i < callers_.size(); ++i) {
    if (callers_[i].step == HandshakeStep::AwaitIP && (!addressFull || fromAddress(callers_[i]))) silent.push_back(i);
  }
  if (silent.empty()) return false;
  // The draw is among the older half: a fair caller answers within a second
  // or so, and is not drawn while the newest crowd in behind it; a flood
  // fast enough to age it that soon still cannot aim at it.
  silent.resize((silent.size() + 1) / 2);
  // One whose answer has come, not yet read while the host is behind, is
  // passed over for another, a few times at most.
  std::size_t pick = 0;
  for (int draws = 1;; ++draws) {
    pick = std::uniform_int_distribution<std::size_t>(0, silent.size() - 1)(callerDraw_);
    if (silent.size() == 1 || draws == kMaxCallerDraws || !callers_[silent[pick]].socket->LineWaiting()) break;
    silent.erase(silent.begin() + static_cast<std::ptrdiff_t>(pick));
  }
  LetCallerGo(callers_.begin() + static_cast<std::ptrdiff_t>(silent[pick]), Farewell::Busy);
  return true;
}

std::deque<Connection::Caller>::iterator Connection::FindCaller(const platform::Winsock* socket) {
  return std::find_if(callers_.begin(), callers_.end(), [socket](const Caller& c) { return c.socket == socket; });
}

void Connection::CallerDataArrival(platform::Winsock* socket) {
  // A name may bring a box (the opponents file): a close asked for
  // meanwhile is completed when it returns.
  play::TopLevelCommand command(parts_.wait, parts_.state, parts_.mainWindow);
  auto caller = FindCaller(socket);
  if (caller == callers_.end()) return;
  if (!caller->received.Append(socket->GetData())) return LetCallerGo(caller, Farewell::Go);
  QByteArray bytes;
  while (caller->received.TakeLine(bytes)) {
    const QString line = vb::FromCp1252(bytes);
    const NetMessage m = ParseNetLine(line, true);
    if (m.violation || (m.chat && !line.contains('#'))) return LetCallerGo(caller, Farewell::Go);
    // Its chat is nobody's yet, and a tag this program does not know means
    // nothing, as in the game.
    if (m.chat || m.kind == kMsgNone) continue;
    // A caller that quits before it has given its name never joined.
    if (m.kind == kMsgGO) return LetCallerGo(caller, Farewell::Quiet);
    if (m.kind == kMsgIP && caller->step == HandshakeStep::AwaitIP) {
      caller->step = HandshakeStep::AwaitNM;
      caller->versionLine = bytes;
      caller->nameLine = NmLine(parts_.PlayerName);
      socket->SendData(Line(caller->nameLine));
      continue;
    }
    if (m.kind == kMsgNM && caller->step == HandshakeStep::AwaitNM) return SeatCaller(caller, bytes);
    // Until the names are exchanged only the handshake counts.
    return LetCallerGo(caller, Farewell::Go);
  }
}

void Connection::LetCallerGo(std::deque<Caller>::iterator caller, Farewell farewell) {
  platform::Winsock* socket = caller->socket;
  callers_.erase(caller);
  if (farewell == Farewell::Quiet) {
    socket->Close();
    socket->deleteLater();
  } else {
    if (farewell == Farewell::Busy) {
      RefuseBusy(*socket);
    } else {
      socket->SendData(Line(QString::fromLatin1(kTagGO)));
      // What the caller sent is not read: unread, it would cut the answer off.
      socket->GetData();
      socket->Close();
    }
    // The socket lives until what it was given has left.
    QTimer::singleShot(platform::kCloseLingerMs, socket, &QObject::deleteLater);
  }
  TimeNextCaller();
}

void Connection::LetCallersGo(Farewell farewell) {
  while (!callers_.empty()) LetCallerGo(callers_.begin(), farewell);
  callerTimer_.stop();
}

void Connection::CallersTimedOut() {
  // The oldest come first: they were greeted first.
  while (!callers_.empty() && callers_.front().since.elapsed() >= callerLimit_.count())
    LetCallerGo(callers_.begin(), Farewell::Quiet);
  TimeNextCaller();
}

void Connection::TimeNextCaller() {
  if (callers_.empty()) {
    callerTimer_.stop();
    return;
  }
  const qint64 left = callerLimit_.count() - callers_.front().since.elapsed();
  callerTimer_.start(static_cast<int>(std::max<qint64>(0, left)));
}

void Connection::SeatCaller(std::deque<Caller>::iterator caller, const QByteArray& nameAnswer) {
  play::NetState& net = parts_.net;
  Caller seated = std::move(*caller);
  callers_.erase(caller);
  // The seat is taken: whoever else is still greeted is told so, without a
  // box, as they never joined.
  LetCallersGo(Farewell::Busy);

  const int k = play::kNetPeerSocket;
  // The socket of the seat so far is closed and unused; the caller's own
  // takes its place, with what it sent after its name.
  Winsock1_[k].release()->deleteLater();
  Winsock1_[k].reset(seated.socket);
  received_[k] = std::move(seated.received);
  peerClosed_[k] = false;
  net.NetConnCount = 1;
  net.NetPeerInfo[1].SlotState = play::kSlotTaken;
  net.NetPeerInfo[1].Active = 1;
  NetSockIndex_ = play::kNetPeerSocket;
  handshakeStep_ = HandshakeStep::AwaitIP;
  peerGone_ = false;
  quitHandled_ = false;

  // The handshake goes through the game's dispatch as the lines came: the
  // greeting, the caller's version, the host's name, the caller's name.
  if (lineTap_) lineTap_(true, IpLine(NetVersionText_, k));
  Dispatch(k, seated.versionLine);
  if (lineTap_) lineTap_(true, seated.nameLine);
  Dispatch(k, nameAnswer);
  if (!PeerSocket(k)) return;
  if (received_[k].HasLine()) QueuePump(k);
  // A caller that hung up right after its name has left the game.
  if (Winsock1(k).State() == platform::sckClosing) Winsock1_PeerClosed(k);
  if (NetSessionUp_) QTimer::singleShot(0, this, [this] { WaitForConnection(); });
}

void Connection::RefuseCaller(int requestID) {
  // A socket of its own, which lives until what it was given has left.
  auto* socket = new platform::Winsock(kRefusedCallerSocket, this);
  if (socket->Accept(Winsock1(kListenSocket), requestID)) RefuseBusy(*socket);
  QTimer::singleShot(platform::kCloseLingerMs, socket, &QObject::deleteLater);
  // The host's player reads of it in the chat window, which asks nothing of
  // him: a box would hold the opponent's lines back at a stranger's call.
  ++callersRefused_;
  if (!refusedNoteTimer_.isActive()) NoteRefusedCallers();
}

void Connection::NoteRefusedCallers() {
  // With none since the last note the next is told at once.
  if (callersRefused_ == 0) return;
  AppendChatLog("\r\n" + (callersRefused_ == 1 ? QString::fromLatin1(kRefusedCallerText)
                                               : QString::fromLatin1(kRefusedCallersText).arg(callersRefused_)));
  callersRefused_ = 0;
  refusedNoteTimer_.start();
}

// The busy line and "GO" go at once and the socket is closed: nothing
// waits, so any number of callers is answered.
void Connection::RefuseBusy(platform::Winsock& socket) {
  socket.SendData(Line(ChatLine(1, kBusyChatText)));
  socket.SendData(Line(QString::fromLatin1(kTagGO)));
  // What the caller sent is not read: unread, it would cut the answer off.
  socket.GetData();
  socket.Close();
}

void Connection::HandshakeTimedOut() {
  if (HandshakeDone() || parts_.net.NetConnIndex == play::kNetOffline) return;
  HandshakeBroken();
}

void Connection::HandshakeBroken() {
  handshakeTimer_.stop();
  // The remote gives the host up: the attempt has failed, and nothing the
  // host sends from now on counts. (The host's callers never reach here:
  // they have given their names before their lines are the game's.)
  peerGone_ = true;
  Winsock1(NetSockIndex_).Close();
  parts_.net.NetIsHost = play::kNetAttemptFailed;
  parts_.ui.MsgBox(kHostSilentText, platform::vbCritical, platform::kProgramTitle);
  parts_.wait.Wake();
}

}  // namespace net
