// The handshake's own part: the host takes its one caller, refuses every
// other and opens the exchange with its version; a side that has not
// finished the exchange in time is given up. The answers are dispatched
// with the other received lines.

#include "net/connection.h"

#include <QTimer>

#include "platform/ui.h"
#include "platform/wait.h"
#include "platform/winsock.h"

namespace net {

void Connection::ConnectionHandShake(std::int16_t SocketIndex) {
  SendNetMessage(IpLine(NetVersionText_, SocketIndex), SocketIndex);
}

void Connection::Winsock1_ConnectionRequest(int index, int requestID) {
  play::NetState& net = parts_.net;
  if (index != kListenSocket || !Host() || !play::IsOnline(net.NetConnIndex)) return;
  // The one opponent takes socket 1 while it is free; every other caller is
  // refused, however many call at once.
  platform::Winsock& socket = Winsock1(play::kNetPeerSocket);
  if (net.NetPeerInfo[1].SlotState != play::kSlotFree || socket.State() != platform::sckClosed) {
    RefuseCaller(requestID);
    return;
  }
  socket.SetLocalPort(NetPort_);
  if (!socket.Accept(Winsock1(kListenSocket), requestID)) return;
  net.NetConnCount = 1;
  net.NetPeerInfo[1].SlotState = play::kSlotTaken;
  net.NetPeerInfo[1].Active = 1;
  NetSockIndex_ = play::kNetPeerSocket;
  handshakeStep_ = HandshakeStep::AwaitIP;
  peerGone_ = false;
  quitHandled_ = false;
  ++callerSerial_;
  handshakeTimer_.start();
  ConnectionHandShake(play::kNetPeerSocket);
  if (NetSessionUp_) QTimer::singleShot(0, this, [this] { WaitForConnection(); });
}

void Connection::RefuseCaller(int requestID) {
  // A socket of its own, which lives until what it was given has left.
  auto* socket = new platform::Winsock(kRefusedCallerSocket, this);
  if (socket->Accept(Winsock1(kListenSocket), requestID)) RefuseBusy(*socket);
  QTimer::singleShot(platform::kCloseLingerMs, socket, &QObject::deleteLater);
  if (denialShown_) return;
  denialShown_ = true;
  // The box waits: it is shown from the event loop, as a reaction, never
  // inside the listening socket's own call.
  QTimer::singleShot(0, this, [this] {
    React([this] {
      parts_.ui.MsgBox(kDeniedText, platform::vbInformation, kDeniedTitle);
      denialShown_ = false;
    });
  });
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
  play::NetState& net = parts_.net;
  handshakeTimer_.stop();
  if (Host()) {
    // The caller is closed without a word, and the host listens on for the
    // next; whatever it sent is no longer acted on.
    const int k = play::kNetPeerSocket;
    Winsock1(k).Close();
    received_[k].Clear();
    peerClosed_[k] = false;
    ++callerSerial_;
    net.NetPeerInfo = {};
    net.NetConnCount = 0;
    net.NetConnIndex = play::kNetConnSettingUp;
    net.NetMsgKind = kMsgNone;
    NetSockIndex_ = kListenSocket;
    NetLastKind_.fill(0);
    NetLastSocket_ = 0;
    handshakeStep_ = HandshakeStep::AwaitIP;
    peerGone_ = false;
    quitHandled_ = false;
    return;
  }
  // The remote gives the host up: the attempt has failed, and nothing the
  // host sends from now on counts.
  peerGone_ = true;
  Winsock1(NetSockIndex_).Close();
  net.NetIsHost = play::kNetAttemptFailed;
  parts_.ui.MsgBox(kHostSilentText, platform::vbCritical, kNetTitle);
  parts_.wait.Wake();
}

}  // namespace net
