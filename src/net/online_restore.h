#pragma once
// The host replaces the online game's table on both programs at once: it
// restores a saved game, restarts the game from its deal or backs up to the
// previous turn, tells the remote with "EG", and hands the new table over
// whole as one "RC" line. The remote rebuilds its table from that list and
// offers the Deal button; its "RC" answer and the host's "RS" end the
// hand-over, and the side whose turn it is plays on.

#include <QString>
#include <functional>

#include "play/faces/menu_windows.h"
#include "play/faces/network_play.h"
#include "play/game/saved_games.h"
#include "play/rules/apply_move.h"

namespace net {

class Connection;

inline constexpr char kNotOnlineTitle[] = "Marrowdale Not Online";
inline constexpr char kConnectFirstText[] = "You have to connect to another player first!";
inline constexpr char kWaitingForRemoteText[] = "Waiting for opponent...\r\n";
inline constexpr char kResumeText[] = "Click the Deal button to resume this game.";
// A system line of the chat: the remote shows it as the host's notice.
inline constexpr char kSystemLineMarker[] = "$-";
inline constexpr char kRestartedNotice[] = "MD: Host has restarted this game.";
inline constexpr char kBackedUpNotice[] = "MD: Host has backed up to the previous turn.";
inline constexpr char kSecureNotice[] = "MD: This is a secure saved game, saved as: ";
inline constexpr char kNotSecureNotice[] = "MD: This is NOT a secure saved game.";
inline constexpr char kHandOverSoundFile[] = "~121.tmp";  // in DataPath
using play::kHandOverEffect;

// What the hand-over works on besides the connection.
struct OnlineRestoreParts {
  play::NetPlayParts net;
  play::SavedGameServices& saved;  // the piles, the turn, the record files, the restore
  play::MoveServices& moves;       // the peer's turn that may follow
  play::CommandState& commands;    // the menu's flags: restart, back-up, secure game, cancel
  const bool& SoundOn;
  // The Game menu's Restore: the slot dialog and the restore of the chosen
  // game; true when a saved game replaced the table.
  std::function<bool()> restoreFromSlot;
};

class OnlineRestore : public play::OnlineRestoreCommand {
 public:
  OnlineRestore(Connection& connection, play::OnlineExchange& exchange, OnlineRestoreParts parts)
      : conn_(connection), exchange_(exchange), parts_(std::move(parts)) {}

  // Host, from the Internet menu: with NetRestartPending the game starts
  // over from its deal, with RestoringPreviousTurn it goes back to record
  // SaveSlot, with neither the player picks a saved game; then the table
  // goes to the peer and the turn resumes.
  void NetRestoreGame() override;
  // Host: the system line and the table to the peer; false when the peer
  // was lost before it answered.
  bool SendRecover();
  // Remote, from the dispatcher: the table from the received list in
  // NetDataText. A list no legitimate program sends ends the connection
  // and leaves the table as it was (false).
  bool GetRecover();

 private:
  QString SystemLine();
  play::CommandState& commands() { return parts_.commands; }
  Connection& conn_;
  play::OnlineExchange& exchange_;
  OnlineRestoreParts parts_;
};

}  // namespace net
