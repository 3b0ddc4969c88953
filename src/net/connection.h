#pragma once
// The online connection: one object for the whole run. It holds the
// connection's state under the names the game uses, the socket array
// Winsock1 (the host listens on 0 and serves its opponent on 1, the remote
// connects on 0), and the procedures that set a connection up, carry and
// dispatch its lines, and tear it down. The chat window only shows it.
//
// Its parts each have a file: connection.cpp sets a connection up, sends,
// waits and tears it down; handshake.cpp greets the host's callers, seats
// the first that gives its name and times the exchange of versions and
// names; receive_queue.cpp cuts the
// received bytes into lines and dispatches them; line_reactions.cpp is what
// each line does; chat_exchange.cpp carries the chat.
//
// Received bytes are only appended to their socket's line buffer; a queued
// pump takes one complete line at a time off the front and dispatches it.
// A line is noted at once (its kind and payload, for the waits that look for
// it); its reaction runs then, or, while another reaction runs, after that
// one has returned. So a wait inside a reaction still sees the following
// lines, but no reaction runs inside another's wait, whatever the peer
// sends.

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <random>

#include "net/frm_chat.h"
#include "net/frm_connect.h"
#include "net/line_protocol.h"
#include "net/reaction_queue.h"
#include "platform/version.h"
#include "play/faces/network_play.h"
#include "play/leaving.h"
#include "table/backgrounds.h"
#include "table/table_view.h"

namespace platform {
class UrlOpener;
class Winsock;
}  // namespace platform

namespace net {

class OnlineRestore;

// The program's version, as the handshake tells it to the peer.
constexpr int kVersionMajor = platform::kVersionMajor;
constexpr int kVersionMinor = platform::kVersionMinor;
constexpr int kVersionRevision = platform::kVersionRevision;

constexpr int kSocketCount = 5;  // Winsock1(0..4)
constexpr int kListenSocket = 0;
constexpr float kOnlineThinkDelay = 0.01f;
// A fair handshake takes well under a second. A host that has not finished
// it in this time is given up by the joining side, so that a silent host
// cannot hold the set-up; once the names are exchanged nothing is timed, as
// a player may think as long as he likes.
constexpr std::chrono::milliseconds kHandshakeLimit{30000};
// A caller's program answers the host's greeting by itself, in
// milliseconds: a caller that has not given its name in this time is let
// go, and the host listens on.
constexpr std::chrono::milliseconds kCallerHandshakeLimit{10000};
// Callers greeted at once, each on a socket of its own, until one of them
// gives its name. A caller that has answered with its version is never let
// go to make room; when they are full, a silent caller drawn at random from
// the older half of the silent ones is. A fair caller is silent for one
// round trip: it is not drawn at all while fewer than half this many call
// after it, and a flood faster than that has no sure way to hit it.
constexpr int kMaxCallersInHandshake = 256;
// One address holds at most this many of them; a newer call from it makes
// room among its own.
constexpr int kMaxCallersPerAddress = 4;
// Silent callers drawn at most to make room, passing over those whose
// answer waits unread.
constexpr int kMaxCallerDraws = 8;
// Index of a socket that only tells an extra caller the host is busy.
constexpr int kRefusedCallerSocket = -1;
// Index of a caller's socket while it is greeted; it keeps it when it takes
// the seat.
constexpr int kCallerSocket = -2;
// The peer's close is acted on this long after it at the latest, whatever
// it sent before is still waiting.
constexpr int kPeerCloseGraceMs = 500;
// The pump takes chat lines for up to this long before the window is
// redrawn.
constexpr int kPumpSliceMs = 10;
// Refused callers are noted in the chat window at most once in this time.
constexpr int kRefusedNoteGapMs = 30000;
// The chat alert sounds at most once in this time.
constexpr int kChatAlertGapMs = 250;
// The remote's save question follows the host's quit notice after this.
constexpr double kQuitNoticePauseSeconds = 0.02;

inline constexpr char kConnectionFailedText[] = "Network connection failed.";
inline constexpr char kHostSilentText[] =
    "The HOST did not answer.\r\nCheck that you have the correct IP ADDRESS from the HOST.";
inline constexpr char kNotInServiceText[] =
    "We're sorry, that number is not in service at this time.\r\nPlease check your number and dial again.";
inline constexpr char kEndConnectionTitle[] = "TERMINATE Marrowdale Connection";
inline constexpr char kEndConnectionText[] = "Do you want to end this Marrowdale Online Game?";
inline constexpr char kViolationText[] =
    "The other player's program sent a message this program cannot use. The connection has been closed.";
inline constexpr char kFloodText[] =
    "The other player's program sent more than this program can take at once. The connection has been closed.";
inline constexpr char kDealerEndedText[] = "Dealer has terminated game.";
inline constexpr char kQuitText[] = " quit the game.";
inline constexpr char kYouEndedText[] = "You ended the online game.";
inline constexpr char kUnnamedOpponent[] = "The other player";
// The chat window's note of callers refused while an opponent is connected:
// one at once, then those of the next while counted in one line.
inline constexpr char kRefusedCallerText[] = "MD: A new opponent tried to join this game and was told you are busy.";
inline constexpr char kRefusedCallersText[] =
    "MD: %1 new opponents tried to join this game and were told you are busy.";
inline constexpr char kSaveGameTitle[] = "Save Game";
inline constexpr char kSaveAtEndText[] = "This game has ended. Would you like to save this game?";
inline constexpr char kSaveOnErrorText[] = "Do you want to save this game?";
inline constexpr char kPortInUseText[] =
    "If you have changed the Port number, that Port number is already in use by another application.";
inline constexpr char kPortPrivilegeText[] =
    "Port numbers below 1024 can only be opened with administrator rights on this computer.\r\n"
    "Both players must use the same PORT Number above 1023.";
inline constexpr char kNetFileFailedText[] =
    "Your opponents file could not be opened. The scores against this opponent are kept only until the "
    "connection ends.";
inline constexpr char kStartPromptText[] = "Press F2 or choose New Game from the Internet Menu to start the game.";
inline constexpr char kNewGameText[] = "Select NEW from the Game Menu to start a new game.";

class Connection : public QObject,
                   public play::NetworkPlay,
                   public play::OnlineGoodbye,
                   public table::BackgroundFollower {
  Q_OBJECT
 public:
  // What the chat window takes from the table when it opens.
  struct ChatLook {
    std::uint32_t FontColor = 0x00FFFFFF;  // the title's colour, 0x00BBGGRR
    QImage picture;                        // the table's background, tiled; null: the mat colour
    std::uint32_t MatColor = 0;
  };
  // What the program joins to the connection beyond its parts; a
  // connection on its own (in tests) goes without.
  struct Joins {
    std::function<ChatLook()> chatLook;  // none: the chat window's own look
    OnlineRestore* restore = nullptr;    // the table hand-over a received "RC" runs on the remote
  };
  // handshakeLimit: how long the host may take over the handshake;
  // callerLimit: how long a caller of the host may take. Tests shorten them.
  Connection(play::NetPlayParts parts, QObject* parent, std::chrono::milliseconds handshakeLimit,
             std::chrono::milliseconds callerLimit, Joins joins);
  explicit Connection(play::NetPlayParts parts, QObject* parent = nullptr,
                      std::chrono::milliseconds handshakeLimit = kHandshakeLimit,
                      std::chrono::milliseconds callerLimit = kCallerHandshakeLimit)
      : Connection(parts, parent, handshakeLimit, callerLimit, Joins{}) {}
  ~Connection() override;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // play::NetworkPlay
  void SetupInternet() override;
  void LoadNetPlayerList() override;
  void FollowMainWindow(bool minimised) override;
  // play::OnlineGoodbye: leaving the table tells the peer and ends the
  // connection; then the opponents file is closed.
  void SayGoodbye() override;
  void CloseNetFile() override;
  // table::BackgroundFollower: while online the chat window takes the
  // table's background, now and whenever it is made again.
  void FollowBackground(const QImage* picture, std::uint32_t MatColor) override;

  // The connection dialog; tests script the choice instead.
  using ConnectDialog = std::function<ConnectChoice()>;
  void SetConnectDialog(ConnectDialog dialog) { connectDialog_ = std::move(dialog); }
  // Opens the addresses the player agrees to; the desktop's browser unless
  // set.
  void SetUrlOpener(platform::UrlOpener* opener) { urlOpener_ = opener; }
  // Where the host listens: empty for every IPv4 address.
  void SetListenAddress(const QString& address) { listenAddress_ = address; }
  // Told every line sent to the peer and every line received from it,
  // without its line feed.
  using LineTap = std::function<void(bool sent, const QString& line)>;
  void SetLineTap(LineTap tap) { lineTap_ = std::move(tap); }

  // The line protocol's operations.
  void SendNetMessage(const QString& Msg, std::int16_t SocketIndex);
  // Until EndConnectionWait, the end of the connection, a failed attempt or
  // the program's close.
  void WaitForConnection();
  // Waits until a line of one of the kinds is dispatched; false when the
  // peer quit or was lost, the connection ended or the program closes.
  bool WaitForKinds(std::initializer_list<std::int16_t> kinds);
  // Sends the line, then WaitForKinds.
  bool SendAndWait(const QString& line, std::initializer_list<std::int16_t> kinds);
  // The peer sent game data no legitimate program sends: the connection
  // ends as on a hostile line.
  void RefusePeerData() { ProtocolViolation(NetSockIndex_, PeerFault::Unusable); }

  void ConnectionHandShake(std::int16_t SocketIndex);
  void NetCleanUp();
  void Client_Cleanup();
  void Server_Cleanup();
  // Tells a caller the host is busy ("GO" after the busy line) and closes
  // its socket.
  void RefuseBusy(platform::Winsock& socket);
  void ShowStartPrompt();
  void AskSaveAtEnd();
  void EndOnlineMatch();
  // The chat window's Send: the input line as a chat line.
  void Command1_Click();
  // The Send button, while the chat window is there: off while a move is on
  // its way to the peer.
  void EnableChatSend(bool enabled);
  // Appends to the chat log and scrolls it to its end.
  void AppendChatLog(const QString& text);
  // The slap over the opponent's picture, with its sound.
  void AvatarSlap();

  // Ends WaitForConnection: a game's start (or the Deal button) ends the
  // set-up's wait.
  void EndConnectionWait() { NetWaitDone_ = true; }
  // The DK or RC number list last received; cleared once it is used.
  const QString& NetDataText() const { return NetDataText_; }
  void ClearNetDataText() { NetDataText_.clear(); }
  // The tableau numbers to and from the peer, as its version asks.
  const TabOrder& TabOrders() const { return TabOrders_; }
  // The next line from the remote's one socket gets its reaction, whatever
  // the kind of the last.
  void ForgetLastKind() { NetLastKind_[0] = kMsgNeutral; }

  platform::Winsock& Winsock1(int index) { return *Winsock1_[index]; }
  FrmChat* frmChat() const { return frmChat_; }
  // Names exchanged: the game's lines count from now on.
  bool HandshakeDone() const { return handshakeStep_ == HandshakeStep::Done; }
  // The host's callers greeted and not yet given their names.
  int CallersInHandshake() const { return static_cast<int>(callers_.size()); }

 private:
  enum class HandshakeStep { AwaitIP, AwaitNM, Done };
  // Why the peer's stream is refused.
  enum class PeerFault {
    Unusable,  // a line no program of the game sends
    TooMuch,   // more waiting than the program takes at once
  };
  // How a caller that does not take the seat is let go.
  enum class Farewell {
    Quiet,  // closed without a word: out of time, or it hung up
    Go,     // "GO": it sent what no program of the game sends
    Busy,   // the busy line and "GO": another caller has taken the seat, or newer ones its room
  };
  // A caller of the host, greeted on a socket of its own.
  struct Caller {
    platform::Winsock* socket = nullptr;  // a child of the connection, deleted once let go
    QString address;                      // where it calls from
    LineSplitter received;                // what it has sent
    HandshakeStep step = HandshakeStep::AwaitIP;
    QByteArray versionLine;  // its IP line, dispatched once it has the seat
    QString nameLine;        // the NM line it was sent
    QElapsedTimer since;     // since it was greeted
  };
  // One running WaitForKinds; waits nest, and a line marks every one that
  // awaits its kind, so a later line cannot hide it.
  struct Awaited {
    std::initializer_list<std::int16_t> kinds;
    bool arrived = false;
    Awaited* outer = nullptr;
  };

  bool Host() const { return parts_.net.NetIsHost == play::kNetHost; }
  bool PeerSocket(int index) const;
  void SetStatus(table::TableLabel label, const QString& text, bool visible);

  // Set-up and tear-down (connection.cpp).
  void StartHostListening();
  void ConnectToHost(const QString& hostIP);
  void ConnectionFailed();
  void Winsock1_Error(int index, int number, const QString& description);
  void SendGoodbye();

  // The handshake (handshake.cpp).
  void Winsock1_ConnectionRequest(int index, int requestID);
  // A caller while the seat is free: greeted on a socket of its own.
  void GreetCaller(int requestID);
  // Room for one more caller from the address: false when the address, or
  // the handshakes as a whole, hold only callers that have answered.
  bool MakeRoomFor(const QString& address);
  // What a greeted caller sent: its version, then its name, which gives it
  // the seat.
  void CallerDataArrival(platform::Winsock* socket);
  std::deque<Caller>::iterator FindCaller(const platform::Winsock* socket);
  void LetCallerGo(std::deque<Caller>::iterator caller, Farewell farewell);
  void LetCallersGo(Farewell farewell);
  // The callers out of time are let go; the timer is set for the next.
  void CallersTimedOut();
  void TimeNextCaller();
  // The caller that gave its name becomes the opponent on socket 1, and
  // every other is told the host is busy.
  void SeatCaller(std::deque<Caller>::iterator caller, const QByteArray& nameAnswer);
  // A caller beyond the one opponent: answered, closed, and noted in the
  // chat window.
  void RefuseCaller(int requestID);
  // The callers refused since the last note, in one line of the chat
  // window; the next note waits kRefusedNoteGapMs.
  void NoteRefusedCallers();
  // The host did not finish the handshake in time: the remote gives it up.
  void HandshakeTimedOut();
  // The handshake with the host ended unfinished (out of time, or the host
  // closed): the remote gives the host up.
  void HandshakeBroken();

  // The receive queue (receive_queue.cpp).
  void Winsock1_DataArrival(int index, qint64 bytesTotal);
  void Winsock1_PeerClosed(int index);
  void QueuePump(int index);
  void Pump(int index);
  // Runs the reaction now, or after the running one and those before it.
  void React(std::function<void()> run, qsizetype bytes = 0);
  // The peer closed its side: its quit is handled, and what it sent before
  // is dropped when dropRest.
  void PeerLeft(int index, bool dropRest);
  void Dispatch(int index, const QByteArray& bytes);

  // The reactions (line_reactions.cpp).
  void GetMessage(int index, const NetMessage& m, qsizetype bytes);
  void RemoteReaction(int index, const NetMessage& m);
  void HostReaction(int index, const NetMessage& m);
  void OpenNetPlayerFile();
  void ProtocolViolation(int index, PeerFault fault);
  // The peer quit (GO) or is gone: the quit handling of this side, once.
  void PeerQuit(int index);

  // The chat (chat_exchange.cpp).
  FrmChat& Chat();
  void ReleaseChat();
  // offerLink: no link question was open when the line came.
  void ChatDispatch(const QString& line, bool offerLink);
  void KeepAvatar(const QString& name);
  void OfferLink(const QString& speaker, const QString& address);

  // What the program hands in, and what tests set instead.
  play::NetPlayParts parts_;
  ConnectDialog connectDialog_;
  LineTap lineTap_;
  std::function<ChatLook()> chatLook_;
  OnlineRestore* restore_ = nullptr;
  QString listenAddress_;
  platform::UrlOpener* urlOpener_ = nullptr;

  // The connection.
  const QString NetVersionText_;  // own version for the handshake
  std::array<std::unique_ptr<platform::Winsock>, kSocketCount> Winsock1_;
  std::int16_t NetSockIndex_ = 0;         // socket of the connection: 0 remote or listening, 1 the host's peer
  int NetPort_ = 0;                       // the chosen port, 1..65535
  bool NetSessionUp_ = false;             // set-up's own wait has ended
  bool NetWaitDone_ = false;              // ends WaitForConnection
  Awaited* awaited_ = nullptr;            // the innermost running WaitForKinds
  std::optional<float> SavedThinkDelay_;  // the computer's pause while a connection lasts
  bool netFileWarned_ = false;            // the opponents file's failure is told once a run

  // The handshake.
  HandshakeStep handshakeStep_ = HandshakeStep::AwaitIP;
  QTimer handshakeTimer_;                        // the remote's: runs from the call until the names are exchanged
  std::deque<Caller> callers_;                   // the host's callers in their handshake, oldest first
  const std::chrono::milliseconds callerLimit_;  // how long a caller may take to give its name
  QTimer callerTimer_;                           // runs until the oldest caller's time is up
  std::minstd_rand callerDraw_;                  // draws the silent caller let go to make room
  int callersRefused_ = 0;                       // refused since the last note
  QTimer refusedNoteTimer_;                      // runs while a note of refused callers waits
  TabOrder TabOrders_;                           // tableau numbers to and from the peer

  // The received lines and their reactions.
  std::array<LineSplitter, kSocketCount> received_;
  std::array<bool, kSocketCount> pumpQueued_{};
  std::array<bool, kSocketCount> peerClosed_{};
  ReactionQueue reactions_;                               // received lines' reactions and the connection's follow-ups
  std::array<std::int16_t, kSocketCount> NetLastKind_{};  // kind of the last line from each socket
  std::int16_t NetLastSocket_ = 0;                        // socket of the last dispatched line
  QString NetDataText_;                                   // the DK or RC number list
  bool peerGone_ = false;       // the peer quit or broke the protocol; its socket is done with
  bool quitHandled_ = false;    // the peer's quit has been handled
  bool quitAskQueued_ = false;  // the save question after a quit notice is on its way
  bool quitSaveAsked_ = false;  // the host's quit line asked the save question

  // The chat.
  QPointer<FrmChat> frmChat_;

  // Where the player moved the chat window to; the next one opens there.
  std::optional<QPoint> chatPlace_;

  QString OpponentAvatar_;     // the opponent's picture file
  QElapsedTimer alertClock_;   // since the last chat alert
  QElapsedTimer effectClock_;  // the clock of the peer's sounds and slaps
  EffectBudget effectBudget_;  // how many of them play now
  std::unique_ptr<platform::UrlOpener> desktopOpener_;
  bool linkQuestionOpen_ = false;              // one link question at a time
  QImage chatPicture_;                         // the background the chat window shows; null: the mat colour
  std::optional<std::uint32_t> chatMatColor_;  // the table's mat colour, once the table has told it
};

}  // namespace net
