#pragma once
// The names that the table and the game play read of network play, in one
// home owned by the program; what play asks network play to do; and what
// network play is given of the program.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

#include "play/connection_index.h"
#include "play/game_over.h"
#include "play/new_game.h"
#include "play/play_state.h"
#include "play/score_access.h"
#include "play/score_records.h"

class QWidget;

namespace media {
struct Folders;
}
namespace platform {
class SoundChannel;
class UiService;
class WaitService;
}  // namespace platform
namespace table {
class BusyGuard;
class TableView;
struct GameState;
}  // namespace table

namespace play {

struct MoveServices;
struct OnlineMove;

// NetIsHost.
constexpr std::int16_t kNetRemote = 0;
constexpr std::int16_t kNetHost = 1;
constexpr std::int16_t kNetAttemptFailed = 9;
// The sound both sides play when a handed-over table is in place.
constexpr int kHandOverEffect = 1;
// NetPeerInfo slot states.
constexpr std::int16_t kSlotFree = 0;
constexpr std::int16_t kSlotTaken = 7;
// The host's name in a remote's saved-game descriptions while no host is met.
inline constexpr char kDefaultHostName[] = "Marrowdale";

struct NetPeerSlot {
  std::int16_t Active = 0;     // 1 once a connection was accepted on the slot
  std::int16_t SlotState = 0;  // kSlotTaken while a peer holds it
  QString Version;             // the peer's version digits, "40" for 4.0
  QString Name;                // the peer's player name
  bool operator==(const NetPeerSlot&) const = default;
};

struct NetState {
  std::int16_t NetConnIndex = kNetOffline;   // 0 offline, 99 setting up, else the peer's socket
  std::int16_t NetIsHost = kNetRemote;       // 1 host, 0 remote or offline, 9 the attempt failed
  std::int16_t NetConnCount = 0;             // sockets the host has accepted
  std::array<NetPeerSlot, 2> NetPeerInfo{};  // element 1 is the peer
  QString OpponentName;                      // the peer's player name
  QString HostName = kDefaultHostName;       // on the remote, the host's name
  std::int16_t NetMsgKind = 0;               // kind of the last game line received
  bool NetResyncBusy = false;                // the host is handing the whole table over
  std::int16_t ChatSeq = 0;                  // outgoing chat lines, counted before use
  bool NetFileOpen = false;                  // the opponents file is open
  QString WhoGoesFirstText;                  // who moves first, as the remote reads it
  QString MoveFromPile;                      // the move being sent or just received
  std::int16_t MoveFromIndex = 0;
  QString MoveToPile;
  std::int16_t MoveToIndex = 0;
  std::int16_t NetPlayerCount = 0;  // opponents listed in the opponents file
  QStringList NetPlayerNames;       // their names, trimmed, in record order

  const QString& PeerVersion() const { return NetPeerInfo[1].Version; }
  // An online game is set up or running.
  bool Online() const { return IsOnline(NetConnIndex); }
  // An online game is being set up: listening or calling, no peer yet.
  bool SettingUp() const { return IsSettingUp(NetConnIndex); }
  // Connected to a peer (not offline and not still setting up).
  bool PeerPresent() const { return IsPeerPresent(NetConnIndex); }
};

// What play calls of network play; network play implements it and the
// program's assembly joins the two. Leaving the table says good-bye through
// OnlineGoodbye.
class NetworkPlay {
 public:
  virtual ~NetworkPlay() = default;
  // The Internet menu's first row (F9): offline starts a connection, online
  // asks whether to end it.
  virtual void SetupInternet() = 0;
  // The opponents of the open opponents file into NetPlayerNames.
  virtual void LoadNetPlayerList() = 0;
  // The chat window follows the play window: hidden while it is minimised,
  // shown again with it.
  virtual void FollowMainWindow(bool minimised) = 0;
};

// The online game's exchanges with the peer; network play implements them.
// A game start answers whether its exchange completed.
class OnlineExchange {
 public:
  virtual ~OnlineExchange() = default;
  // Host, after the shuffle: both decks to the peer.
  virtual bool HostGameStart() = 0;
  // Remote, from the Deal button: the decks (or a handed-over table) taken.
  virtual bool RemoteGameStart() = 0;
  // Both sides after the deal: the host tells the remote who moves first.
  virtual void WhoseTurn() = 0;
  // Mover: the local move to the peer, until the peer has replayed it.
  // False when the peer left, ended the game or started a new one.
  virtual bool Move_Transmit_PlayCard(const OnlineMove& move) = 0;
  // Receiver: the peer's whole turn replayed through the move operations.
  virtual void Opponent(MoveServices& moves) = 0;
  // Host: "EG" (STALEMATE while a stalemate is declared, ENDMATCH for
  // endMatch) and the wait for the peer's "EG" or its loss.
  virtual void SendEndGame(bool endMatch) = 0;
  // After a stalemate or an ended match: the host sends "RS"; host and
  // remote then wait for the peer's "RS" or its loss.
  virtual void ExchangeReset() = 0;
  // Receiver: the peer's game-ending move is answered with "PC" alone.
  virtual void AcknowledgeFinalMove() = 0;
  // The game's result appended to the chat log, scrolled to its end; the
  // chat's Send button enabled.
  virtual void AppendResultToChat(const QString& text) = 0;
};

// What network play asks of the game in progress when the peer ends it.
class NetGameEnd {
 public:
  virtual ~NetGameEnd() = default;
  virtual void GameOver(int winner) = 0;
  virtual void CheckMatchComplete() = 0;
};

// What network play asks of the windows around the table.
class NetProgramHooks {
 public:
  virtual ~NetProgramHooks() = default;
  // The Game menu's Save command, saving the online game on the table.
  virtual void SaveGameFromMenu() = 0;
  // The manual at a keyword.
  virtual void ShowHelpKeyword(const QString& keyword) = 0;
};

// What network play is given of the program, for the whole run.
struct NetPlayParts {
  NetState& net;
  ScoreState& scores;
  ScoreStore& scoreStore;
  NetScoreFile& netScores;
  PlayState& state;
  table::TableView& view;
  QWidget* mainWindow;
  platform::UiService& ui;
  platform::WaitService& wait;
  platform::SoundChannel& sound;
  table::BusyGuard& guard;
  const media::Folders& folders;
  const QString& PlayerName;
  float& ThinkDelay;  // the computer's pause in force
  NetGameEnd& game;
  NetProgramHooks& hooks;
  ScoresWindow& scoresWindow;  // closed when open, so that it shows the player's own scores next time
};

// Game over's and the new game's questions about the connection, answered
// from the state; the exchanges go to the online exchange while a peer is
// there (a final move without one is reported as not delivered).
class OnlineStateAnswers : public GameOverNetwork, public NewGameNetwork {
 public:
  // moves: the move operations whose last move a final move sends, and
  // which replay the peer's turn.
  OnlineStateAnswers(NetState& net, OnlineExchange& exchange, MoveServices& moves)
      : net_(net), exchange_(exchange), moves_(moves) {}
  std::int16_t NetConnIndex() const override { return net_.NetConnIndex; }
  bool IsHost() const override { return net_.NetIsHost == kNetHost; }
  QString OpponentName() const override { return net_.OpponentName; }
  bool Online() const override { return net_.Online(); }
  table::DealOpening Opening() const override;
  bool TakeResyncBusy() override;
  void ExchangeStalemateReset() override {
    if (net_.PeerPresent()) exchange_.ExchangeReset();
  }
  // The move the local move code has just made, as the peer will read it.
  bool TransmitFinalMove() override;
  void AcknowledgeFinalMove() override {
    if (net_.PeerPresent()) exchange_.AcknowledgeFinalMove();
  }
  void AppendResultToChat(const QString& text) override {
    if (net_.PeerPresent()) exchange_.AppendResultToChat(text);
  }
  void SendEndGame(bool endMatch) override {
    if (net_.PeerPresent()) exchange_.SendEndGame(endMatch);
  }
  bool HostGameStart() override { return net_.PeerPresent() && exchange_.HostGameStart(); }
  bool RemoteGameStart() override { return net_.PeerPresent() && exchange_.RemoteGameStart(); }
  // The peer's whole turn, replayed through the move operations.
  void Opponent() override {
    if (net_.PeerPresent()) exchange_.Opponent(moves_);
  }

 private:
  NetState& net_;
  OnlineExchange& exchange_;
  MoveServices& moves_;
};

}  // namespace play
