#include "net/online_restore.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "net/connection.h"
#include "net/game_lists.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/wait.h"
#include "play/game/game_over.h"
#include "play/game/match_panel.h"
#include "play/records/saved_game_record.h"
#include "play/records/score_records.h"
#include "play/rules/rule_checks.h"
#include "play/state/utilities.h"
#include "play/window/menu_commands.h"
#include "table/busy_guard.h"
#include "table/sound_effects.h"
#include "table/table_view.h"

namespace net {

namespace {

using table::TableLabel;

constexpr double kLongestGameSeconds = 1e9;

bool OlderPeer(const play::NetState& net) {
  return QString::compare(net.PeerVersion(), QLatin1String(kCurrentPeerVersion)) < 0;
}

// The game time of the record in force in whole seconds; a stored value no
// clock can show reads as 0.
std::int64_t GameSeconds(double GameTime) {
  const double seconds = GameTime * play::kSecondsPerDay;
  if (!std::isfinite(seconds) || seconds < 0) return 0;
  return std::llround(std::min(seconds, kLongestGameSeconds));
}

// A saved game's description as its slot shows it.
QString SlotDescription(const QString& stored) {
  QString text = vb::Trim(stored);
  if (text.startsWith(QLatin1String(play::kOnlineSavePrefix))) text = vb::Trim(text.mid(2));
  return text;
}

}  // namespace

void OnlineRestore::NetRestoreGame() {
  play::NetPlayParts& p = parts_.net;
  play::NetState& net = p.net;
  play::SavedGameServices& saved = parts_.saved;
  play::PlayState& st = saved.state;
  play::CommandState& cmd = commands();
  if (!net.PeerPresent()) {
    p.ui.MsgBox(kConnectFirstText, platform::vbOKOnly, kNotOnlineTitle);
    return;
  }
  // Only the host hands a table over; the remote's menus and keys offer none.
  if (net.NetIsHost != play::kNetHost) return;
  // However the hand-over ends, the next New Game deals again and the next
  // command is an ordinary one.
  struct Finish {
    play::NetState& net;
    play::CommandState& cmd;
    ~Finish() {
      net.NetResyncBusy = false;
      cmd.RestoringPreviousTurn = false;
      cmd.NetRestartPending = false;
      cmd.NetSecureGame = false;
    }
  } finish{net, cmd};
  const auto usable = [&] { return net.PeerPresent() && !p.wait.Exiting(); };
  net.NetResyncBusy = true;
  // A stalemate declared in the last game is over: this "EG" ends no game as one.
  p.scores.StalemateDeclared = false;

  // The new table is built before the peer is told, so that a cancelled
  // dialog or a record that cannot be restored sends nothing.
  if (!cmd.NetRestartPending && !cmd.RestoringPreviousTurn) {
    if (!parts_.restoreFromSlot || !parts_.restoreFromSlot()) return;
  } else {
    play::RestoreContext ctx;
    ctx.PlayerName = p.PlayerName;
    ctx.Online = true;
    ctx.RestoringPreviousTurn = cmd.RestoringPreviousTurn;
    const play::Refusal refusal = cmd.NetRestartPending
                                      ? play::Refusal{"There is no game to restart.", "Restart Game"}
                                      : play::Refusal{play::kNoPreviousTurnText, play::kPreviousTurnTitle};
    if (play::RestoreGame(saved, ctx, saved.saved.SaveSlot, play::GameFile::SavedGames, false, refusal) !=
        play::RestoreResult::Restored)
      return;
  }
  if (!usable()) return;

  {
    // Nothing else replaces the table while the peer is waited for.
    auto busy = saved.guard.Enter(table::Activity::Restore);
    exchange_.SendEndGame(false);
    if (!usable() || !SendRecover()) return;
  }
  net.NetResyncBusy = false;
  cmd.RestoringPreviousTurn = false;

  // The hand-over is done: the game goes on as after any turn, so the
  // host's commands work in the peer's turn that may follow, as in any
  // other.
  if (st.CurrentTurn == table::Turn::None || !usable()) return;
  play::ShowTurnStatus(st, true, p.view);
  if (st.CurrentTurn == table::Turn::Opponent) {
    exchange_.Opponent(parts_.moves);
  } else if (saved.piles.StockCount[0] == 0 && saved.piles.WasteCount[0] == 0) {
    play::HandEmptyHint(p.view);
  }
  if (st.CurrentTurn == table::Turn::Local && usable()) p.view.EnablePiles(true);
}

QString OnlineRestore::SystemLine() {
  play::CommandState& cmd = commands();
  if (cmd.NetRestartPending) {
    cmd.NetRestartPending = false;
    return kRestartedNotice;
  }
  if (cmd.RestoringPreviousTurn) return kBackedUpNotice;
  const bool secure = cmd.NetSecureGame;
  cmd.NetSecureGame = false;
  if (secure) return kSecureNotice + SlotDescription(parts_.saved.saved.GameRec.Description);
  return kNotSecureNotice;
}

bool OnlineRestore::SendRecover() {
  play::NetPlayParts& p = parts_.net;
  play::NetState& net = p.net;
  table::TableView& view = p.view;
  view.SetLabel(TableLabel::StatusMsg, kWaitingForRemoteText);
  view.SetLabelVisible(TableLabel::StatusMsg, true);
  ++net.ChatSeq;
  conn_.SendNetMessage(ChatLine(net.ChatSeq, kSystemLineMarker + SystemLine()), play::kNetPeerSocket);

  const play::ScoreRec& record = p.scores.CurrentScores;
  RecoverTable table;
  table.piles = parts_.saved.piles;
  table.CurrentTurn = parts_.saved.state.CurrentTurn;
  table.GameSeconds = GameSeconds(record.GameTime);
  table.MatchInProgress = record.MatchInProgress == 1 ? 1 : 0;
  table.match = MatchFieldsOf(record);
  const QString list = BuildRecoverList(table, OlderPeer(net), conn_.TabOrders());
  // The remote answers when its player presses Deal.
  if (!conn_.SendAndWait(RcLine(list), {kMsgRC}) || net.NetMsgKind != kMsgRC) return false;

  conn_.SendNetMessage(QString::fromLatin1(kTagRS), play::kNetPeerSocket);
  view.SetLabelVisible(TableLabel::StatusMsg, false);
  parts_.moves.sfx.PlaySfx(kHandOverEffect);
  parts_.saved.hooks.RedrawTable();
  conn_.ClearNetDataText();
  view.SetLabel(TableLabel::lblTurn, QString());
  return true;
}

bool OnlineRestore::GetRecover() {
  play::NetPlayParts& p = parts_.net;
  play::NetState& net = p.net;
  table::TableView& view = p.view;
  play::PlayState& st = parts_.saved.state;
  // Checked whole before anything of the table goes.
  const std::optional<RecoverTable> t = ReadRecoverList(conn_.NetDataText(), OlderPeer(net), conn_.TabOrders());
  conn_.ClearNetDataText();
  if (!t) {
    conn_.RefusePeerData();
    return false;
  }
  view.ClearTable();
  if (parts_.SoundOn) p.sound.Play(p.folders.DataPath + kHandOverSoundFile);
  net.NetResyncBusy = true;
  parts_.saved.piles = t->piles;
  st.CurrentTurn = t->CurrentTurn;
  play::ShowTurnStatus(st, true, view);
  view.StartClockAt(static_cast<double>(t->GameSeconds));

  play::ScoreState& scores = p.scores;
  if (t->MatchInProgress == 1) {
    StoreMatchFields(t->match, scores.CurrentScores);
    scores.CurrentScores.MatchInProgress = 1;
    scores.MatchOn = true;
    play::CheckMatchComplete(scores, view);
  } else {
    scores.CurrentScores.MatchInProgress = 0;
    scores.MatchOn = false;
    play::ShowMatchPoints(view, false);
  }
  play::SaveScoreRec(scores, p.scoreStore);

  parts_.saved.hooks.ShowPileCounts();
  parts_.saved.hooks.RedrawTable();
  // No move until the Deal button has answered the host: a move before it
  // would reach a host that still waits for that answer.
  view.EnablePiles(false);
  return true;
}

}  // namespace net
