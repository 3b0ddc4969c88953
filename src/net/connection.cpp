#include "net/connection.h"

#include <QPushButton>
#include <QTimer>

#include "net/opponents_file.h"
#include "platform/recordfile.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/version.h"
#include "platform/wait.h"
#include "platform/winsock.h"
#include "play/game/match_panel.h"
#include "play/state/top_level_command.h"
#include "table/busy_guard.h"
#include "table/game_state.h"
#include "table/table_view.h"

namespace net {

namespace {

using table::TableLabel;

}  // namespace

Connection::Connection(play::NetPlayParts parts, QObject* parent, std::chrono::milliseconds handshakeLimit,
                       std::chrono::milliseconds callerLimit, Joins joins)
    : QObject(parent),
      parts_(parts),
      NetVersionText_(NetVersionText(kVersionMajor, kVersionMinor, kVersionRevision)),
      callerLimit_(callerLimit),
      callerDraw_(std::random_device{}()) {
  chatLook_ = std::move(joins.chatLook);
  restore_ = joins.restore;
  handshakeTimer_.setSingleShot(true);
  handshakeTimer_.setInterval(handshakeLimit);
  connect(&handshakeTimer_, &QTimer::timeout, this, &Connection::HandshakeTimedOut);
  callerTimer_.setSingleShot(true);
  connect(&callerTimer_, &QTimer::timeout, this, &Connection::CallersTimedOut);
  refusedNoteTimer_.setSingleShot(true);
  refusedNoteTimer_.setInterval(kRefusedNoteGapMs);
  connect(&refusedNoteTimer_, &QTimer::timeout, this, &Connection::NoteRefusedCallers);
  effectClock_.start();
  for (int i = 0; i < kSocketCount; ++i) {
    Winsock1_[i] = std::make_unique<platform::Winsock>(i, this);
    platform::Winsock* socket = Winsock1_[i].get();
    connect(socket, &platform::Winsock::ConnectionRequest, this, &Connection::Winsock1_ConnectionRequest);
    connect(socket, &platform::Winsock::DataArrival, this, &Connection::Winsock1_DataArrival);
    // Closes and errors are handled from the event loop, never inside the
    // socket's own call.
    connect(socket, &platform::Winsock::PeerClosed, this, &Connection::Winsock1_PeerClosed, Qt::QueuedConnection);
    connect(socket, &platform::Winsock::Error, this, &Connection::Winsock1_Error, Qt::QueuedConnection);
  }
  connectDialog_ = [this] {
    FrmConnect dialog(
        parts_.PlayerName, parts_.ui, [this] { parts_.hooks.ShowHelpKeyword(QStringLiteral("Online")); },
        parts_.mainWindow);
    dialog.exec();
    return dialog.Choice();
  };
}

Connection::~Connection() {
  for (auto& socket : Winsock1_) socket->Close();
  delete frmChat_.data();
}

// ---- Set-up and tear-down ----

void Connection::SetupInternet() {
  play::NetState& net = parts_.net;
  if (play::IsOnline(net.NetConnIndex)) {
    const int answer =
        parts_.ui.MsgBox(kEndConnectionText, platform::vbYesNo | platform::vbDefaultButton2, kEndConnectionTitle);
    // The connection may have ended while the question was open.
    if (answer != platform::vbYes || !play::IsOnline(net.NetConnIndex)) return;
    SendGoodbye();
    // The peer leaves in answer: that is the end asked for here, not a quit
    // to report, and its save question is the one below.
    peerGone_ = true;
    quitHandled_ = true;
    quitSaveAsked_ = true;
    if (parts_.state.CurrentTurn != table::Turn::None) AskSaveAtEnd();
    NetCleanUp();
    net.NetIsHost = play::kNetRemote;
    parts_.view.SetLabel(TableLabel::lblTurn, kYouEndedText);
    return;
  }

  // Going online replaces the table.
  if (!parts_.guard.MayReplaceTable()) return;
  net.ChatSeq = 0;
  quitSaveAsked_ = false;
  parts_.view.SetLabelVisible(TableLabel::StatusMsg, false);
  const ConnectChoice choice = connectDialog_();
  if (!choice.confirmed || parts_.wait.Exiting()) {
    ReleaseChat();
    return;
  }

  net.NetConnIndex = play::kNetConnSettingUp;
  play::SaveScoreRec(parts_.scores, parts_.scoreStore);
  parts_.view.ClearTable();
  parts_.view.ShowLogo(false);
  parts_.state.CurrentTurn = table::Turn::None;
  net.NetMsgKind = kMsgNone;
  NetLastKind_.fill(0);
  NetLastSocket_ = 0;
  NetPort_ = choice.port;
  net.NetIsHost = choice.host ? play::kNetHost : play::kNetRemote;
  handshakeStep_ = HandshakeStep::AwaitIP;
  peerGone_ = false;
  quitHandled_ = false;

  FrmChat& chat = Chat();
  if (choice.host) {
    QStringList addresses = platform::LocalIPv4Addresses();
    if (addresses.isEmpty()) addresses << Winsock1(kListenSocket).LocalIP();
    chat.SetLog(HostAddressLog(addresses));
  }
  if (!SavedThinkDelay_) SavedThinkDelay_ = parts_.ThinkDelay;
  parts_.ThinkDelay = kOnlineThinkDelay;
  NetSessionUp_ = false;
  parts_.view.SetImageVisible(table::TableImage::cmdDeal, false);
  chat.show();
  if (choice.host) chat.FocusLogEnd();

  if (choice.host) {
    net.NetConnCount = 0;
    StartHostListening();
    if (net.NetIsHost != play::kNetHost) return ConnectionFailed();
  } else {
    ConnectToHost(choice.hostIP);
    if (net.NetIsHost == play::kNetAttemptFailed) return ConnectionFailed();
  }
  WaitForConnection();
  if (net.NetIsHost == play::kNetAttemptFailed) return ConnectionFailed();
  if (play::IsOnline(net.NetConnIndex)) {
    NetSessionUp_ = true;
  } else {
    ReleaseChat();
  }
}

void Connection::ConnectionFailed() {
  parts_.ui.MsgBox(kConnectionFailedText, platform::vbExclamation, platform::kProgramTitle);
  Winsock1(NetSockIndex_).Close();
  parts_.net.NetIsHost = play::kNetRemote;
  NetCleanUp();
}

void Connection::StartHostListening() {
  NetSockIndex_ = kListenSocket;
  platform::Winsock& listener = Winsock1(kListenSocket);
  listener.Close();
  listener.SetLocalPort(NetPort_);
  listener.ListenAddress = listenAddress_;
  QString description;
  const int number = listener.Listen(description);
  if (number == 0) {
    SetStatus(TableLabel::StatusMsg,
              QStringLiteral("Give your IP address to the player waiting to connect to your game."), true);
    parts_.ui.Beep();
    return;
  }
  parts_.ui.MsgBox(platform::ProblemText(number, description), platform::vbInformation, platform::kProgramTitle);
  parts_.net.NetIsHost = play::kNetRemote;
  if (number == platform::kWsaAddressInUse)
    parts_.ui.MsgBox(kPortInUseText, platform::vbInformation, platform::kProgramTitle);
  if (number == platform::kWsaAccessDenied)
    parts_.ui.MsgBox(kPortPrivilegeText, platform::vbInformation, platform::kProgramTitle);
  parts_.view.SetLabel(TableLabel::lblMessage, QString());
  NetCleanUp();
}

void Connection::ConnectToHost(const QString& hostIP) {
  NetSockIndex_ = 0;
  platform::Winsock& socket = Winsock1(NetSockIndex_);
  socket.Close();
  socket.RemoteHost = hostIP;
  socket.RemotePort = NetPort_;
  socket.SetLocalPort(0);
  socket.Connect();
  handshakeTimer_.start();
  SetStatus(TableLabel::StatusMsg, QStringLiteral("Waiting for Host confirmation..."), true);
}

// The quit chat line and "GO", when the peer is still there to read them.
void Connection::SendGoodbye() {
  play::NetState& net = parts_.net;
  platform::Winsock& socket = Winsock1(NetSockIndex_);
  if (socket.State() != platform::sckConnected) return;
  ++net.ChatSeq;
  SendNetMessage(ChatLine(net.ChatSeq, parts_.PlayerName + " Quit!^"), play::kNetPeerSocket);
  SendNetMessage(QString::fromLatin1(kTagGO), play::kNetPeerSocket);
  socket.Flush();
}

void Connection::SayGoodbye() {
  if (!play::IsOnline(parts_.net.NetConnIndex)) return;
  SendGoodbye();
  if (Host()) {
    Server_Cleanup();
  } else {
    Client_Cleanup();
  }
  NetCleanUp();
}

void Connection::CloseNetFile() {
  if (parts_.netScores.File) parts_.netScores.File->Close();
  parts_.net.NetFileOpen = false;
}

void Connection::Client_Cleanup() {
  platform::Winsock& socket = Winsock1(NetSockIndex_);
  const int state = socket.State();
  if (state == platform::sckConnected || state == platform::sckOpen) socket.Close();
}

// Every socket of the host is closed, connected ones included, so that no
// accepted caller is left open at exit.
void Connection::Server_Cleanup() {
  for (auto& socket : Winsock1_) {
    if (socket->State() != platform::sckClosed) socket->Close();
  }
}

void Connection::NetCleanUp() {
  play::NetState& net = parts_.net;
  LetCallersGo(Farewell::Quiet);
  for (int i = 0; i < kSocketCount; ++i) {
    if (Winsock1(i).State() != platform::sckClosed) Winsock1(i).Close();
    received_[i].Clear();
    peerClosed_[i] = false;
  }
  reactions_.Drop();
  callersRefused_ = 0;
  refusedNoteTimer_.stop();
  handshakeTimer_.stop();
  NetSockIndex_ = 0;
  net.NetConnCount = 0;
  if (!net.SettingUp() && net.NetFileOpen) play::SaveScoreRec(parts_.scores, parts_.scoreStore);

  table::TableView& view = parts_.view;
  view.SetLabelVisible(TableLabel::StatusMsg, false);
  view.SetImageVisible(table::TableImage::imgIcon, false);
  view.SetLabelVisible(TableLabel::lblWAIT, false);
  view.SetLabel(TableLabel::lblTurn, QString());
  view.SetImageVisible(table::TableImage::cmdDeal, false);
  if (frmChat_) frmChat_->Command1->setEnabled(false);

  parts_.netScores.NetScoreRecNo = 0;
  net.NetConnIndex = play::kNetOffline;
  OpponentAvatar_.clear();
  // A second clean-up after a failed attempt must not lose the pause kept
  // from before the connection.
  if (SavedThinkDelay_) parts_.ThinkDelay = *SavedThinkDelay_;
  SavedThinkDelay_.reset();
  handshakeStep_ = HandshakeStep::AwaitIP;
  peerGone_ = false;
  quitHandled_ = false;
  parts_.scoresWindow->UnloadScoresWindow();
  net.HostName = play::kDefaultHostName;

  parts_.state.CurrentTurn = table::Turn::None;
  parts_.state.TurnCount = 0;
  parts_.state.GameEnded = true;
  net.NetPeerInfo = {};
  view.EnablePiles(false);
  view.SetStatusPanel(1, parts_.PlayerName);
  play::LoadScoreRec(parts_.scores, parts_.scoreStore);
  play::ResumeMatch(parts_.scores, view);
  view.SetLabel(TableLabel::lblMessage, kNewGameText);
  view.ShowLogo(true);
  ReleaseChat();
  parts_.wait.Wake();
}

void Connection::SetStatus(TableLabel label, const QString& text, bool visible) {
  parts_.view.SetLabel(label, text);
  parts_.view.SetLabelVisible(label, visible);
}

// ---- Sending and waiting ----

void Connection::SendNetMessage(const QString& Msg, std::int16_t SocketIndex) {
  if (SocketIndex < 0) SocketIndex = play::kNetPeerSocket;
  if (!Host()) SocketIndex = 0;
  if (SocketIndex >= kSocketCount) return;
  platform::Winsock& socket = Winsock1(SocketIndex);
  const int state = socket.State();
  if (state == platform::sckClosing) {
    SetStatus(TableLabel::lblWAIT, QStringLiteral("Opponent quit!"), true);
    parts_.net.NetMsgKind = kMsgGO;
    if (!parts_.wait.Exiting()) PeerQuit(SocketIndex);
    return;
  }
  if (state == platform::sckClosed) return;
  if (lineTap_) lineTap_(true, Msg);
  socket.SendData(Line(Msg));
}

bool Connection::WaitForKinds(std::initializer_list<std::int16_t> kinds) {
  play::NetState& net = parts_.net;
  Awaited awaited{kinds, false, awaited_};
  awaited_ = &awaited;
  parts_.wait.WaitUntil(
      [&] { return awaited.arrived || !play::IsOnline(net.NetConnIndex) || net.NetMsgKind == kMsgGO; });
  awaited_ = awaited.outer;
  if (!play::IsOnline(net.NetConnIndex)) net.NetMsgKind = kMsgGO;
  return awaited.arrived && play::IsOnline(net.NetConnIndex) && !parts_.wait.Exiting();
}

bool Connection::SendAndWait(const QString& line, std::initializer_list<std::int16_t> kinds) {
  if (!play::IsOnline(parts_.net.NetConnIndex) || parts_.wait.Exiting()) return false;
  SendNetMessage(line, play::kNetPeerSocket);
  return WaitForKinds(kinds);
}

void Connection::WaitForConnection() {
  play::NetState& net = parts_.net;
  NetWaitDone_ = false;
  parts_.wait.WaitUntil(
      [&] { return NetWaitDone_ || !play::IsOnline(net.NetConnIndex) || net.NetIsHost == play::kNetAttemptFailed; });
  if (NetWaitDone_ && !parts_.wait.Exiting()) parts_.view.SetLabelVisible(TableLabel::lblWAIT, false);
}

// ---- Socket events ----

bool Connection::PeerSocket(int index) const {
  return play::IsOnline(parts_.net.NetConnIndex) && !peerGone_ && index == NetSockIndex_ && index >= 0 &&
         index < kSocketCount;
}

void Connection::Winsock1_Error(int index, int number, const QString& description) {
  play::TopLevelCommand command(parts_.wait, parts_.state, parts_.mainWindow);
  play::NetState& net = parts_.net;
  if (!PeerSocket(index)) return;
  platform::UiService& ui = parts_.ui;
  if (number == platform::kWsaHostNotFound && !Host() && net.SettingUp()) {
    // The typed address names no computer: the connect itself failed.
    ui.MsgBox(kNotInServiceText, platform::vbExclamation, platform::kProgramTitle);
    net.NetIsHost = play::kNetAttemptFailed;
    parts_.wait.Wake();
    return;
  }
  if (number == platform::kWsaConnectionRefused) {
    if (!Host()) {
      ui.MsgBox(QStringLiteral("The HOST is not listening!\r\nHOST must obtain IP ADDRESS first and have started their "
                               "Connection.\r\nCheck that you have the correct IP ADDRESS from the HOST.\r\n"),
                platform::vbCritical, platform::kProgramTitle);
    } else {
      ui.MsgBox(QStringLiteral("If you are acting as the HOST, your Firewall may be blocking the game.\r\nChange your "
                               "Firewall settings to allow Marrowdale to act as a server.\r\n"),
                platform::vbCritical, platform::kProgramTitle);
    }
    ui.MsgBox("Restart Marrowdale to connect correctly.\r\nError " + vb::Str(number) + "\r\n" + description,
              platform::vbInformation, platform::kProgramTitle);
    net.NetIsHost = play::kNetAttemptFailed;
  } else if (number == platform::kWsaAddressInUse) {
    ui.MsgBox("Resetting the Local Port!\r\nError " + vb::Str(number) + "\r\n" + description +
                  "\r\n(No problem, just do the Marrowdale connection again.)",
              platform::vbCritical, platform::kProgramTitle);
    if (index >= 0 && index < kSocketCount) Winsock1(index).SetLocalPort(0);
  } else if (number == platform::kWsaConnectionReset) {
    ui.MsgBox(platform::ProblemText(number, description), platform::vbInformation, platform::kProgramTitle);
    ui.MsgBox(
        QStringLiteral("That means somebody got bumped off line.\r\nAnd GRELL had absolutely nothing to do with it!"),
        platform::vbCritical, platform::kProgramTitle);
  } else {
    ui.MsgBox(platform::ProblemText(number, description), platform::vbInformation, platform::kProgramTitle);
  }
  // The boxes waited: the connection may have ended meanwhile.
  parts_.view.SetLabelVisible(TableLabel::StatusMsg, false);
  if (!play::IsOnline(net.NetConnIndex)) return;
  if (parts_.state.CurrentTurn != table::Turn::None &&
      ui.MsgBox(kSaveOnErrorText, platform::vbYesNo | platform::vbDefaultButton2, kSaveGameTitle) == platform::vbYes) {
    parts_.hooks.SaveGameFromMenu();
  }
  if (net.NetIsHost != play::kNetAttemptFailed && play::IsOnline(net.NetConnIndex)) NetCleanUp();
  parts_.wait.Wake();
}

// ---- The opponents list, the start prompt, the end of a game ----

void Connection::LoadNetPlayerList() {
  OpponentsFile file{parts_.net, parts_.netScores, parts_.scores, parts_.scoreStore, parts_.folders, parts_.PlayerName};
  net::LoadNetPlayerList(file);
}

void Connection::ShowStartPrompt() { SetStatus(TableLabel::StatusMsg, kStartPromptText, true); }

void Connection::AskSaveAtEnd() {
  if (parts_.state.CurrentTurn != table::Turn::None &&
      parts_.ui.MsgBox(kSaveAtEndText, platform::vbYesNo | platform::vbDefaultButton2, kSaveGameTitle) ==
          platform::vbYes) {
    parts_.hooks.SaveGameFromMenu();
  }
  parts_.view.ClearTable();
}

void Connection::EndOnlineMatch() {
  play::ScoreState& scores = parts_.scores;
  scores.MatchOn = false;
  if (scores.CurrentScores.MatchGames == 0) {
    play::ResetScores(scores.CurrentScores, QStringLiteral("Current Match"), false, scores.MatchOn);
  } else {
    scores.CurrentScores.MatchInProgress = 0;
  }
  play::SaveScoreRec(scores, parts_.scoreStore);
}

}  // namespace net
