#include "dialogs/score_maintenance.h"

#include <optional>

#include "platform/recordfile.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/write_failures.h"
#include "play/game/game_over.h"
#include "play/game/match_panel.h"
#include "play/records/high_score_record.h"
#include "play/records/player_record.h"
#include "play/records/players.h"
#include "play/state/connection_index.h"
#include "table/table_view.h"

namespace dialogs {

namespace {

constexpr int kHighScoreRecordsCleared = play::kHighScorePlaces + 1;  // one past the places shown
inline constexpr char kFileErrorTitle[] = "Scores";

const char* const kCaptions[] = {"Delete Player",    "Delete ALL Players",     "Clear Player's Scores",
                                 "Clear ALL Scores", "Clear Player's Matches", "Clear ALL Match Scores"};

bool Confirm(platform::UiService& ui, const QString& caption, bool deleting) {
  const QString title = deleting ? QStringLiteral("DELETE") : QStringLiteral("REMOVE");
  return ui.MsgBox(QStringLiteral("Are you sure you want to ") + caption + QStringLiteral("?"),
                   platform::vbYesNo | platform::vbQuestion | platform::vbDefaultButton2, title) == platform::vbYes;
}

// One failure, one box: the file and the system's reason. The scores'
// files stay Unreported while they are edited, so the general write-failure
// box does not come first.
MaintenanceResult Failed(platform::UiService& ui, const QString& path, const QString& reason) {
  ui.MsgBox(QStringLiteral("The scores could not be updated in\n") + path + QStringLiteral("\n\n") +
                platform::SystemReason(reason) + QStringLiteral("\n\nNothing further was changed."),
            platform::vbExclamation, kFileErrorTitle);
  return {};
}

MaintenanceResult Failed(platform::UiService& ui, const platform::RecordFile& file) {
  return Failed(ui, file.Path(), file.LastError());
}

// Where the score record in force is kept: the opponent's record online,
// else the player's.
platform::RecordFile& StoreFile(ScoreFiles& f) { return f.store.PeerPresent() && f.net.File ? *f.net.File : f.players; }

// A player record read into a local; nothing when it cannot be read.
std::optional<play::PlayerRecord> ReadPlayer(const platform::RecordFile& file, int n) {
  const QByteArray bytes = file.Read(n);
  if (bytes.size() != play::kPlayerRecordLength) return std::nullopt;
  return play::PlayerRecord::Decode(bytes);
}

std::optional<play::ScoreRec> ReadOpponent(const platform::RecordFile& file, int n) {
  const QByteArray bytes = file.Read(n);
  if (bytes.size() != play::kNetScoreRecordLength) return std::nullopt;
  return play::ScoreRec::Decode(bytes);
}

bool WritePlayer(platform::RecordFile& file, int n, const play::PlayerRecord& rec) {
  if (!play::IsPlayerRecordNumber(n)) return false;  // never the settings record or the template
  return file.Write(n, rec.Encode());
}

void EndMatch(ScoreFiles& f) {
  if (!f.scores.MatchOn) return;
  f.scores.MatchOn = false;
  play::ShowMatchPoints(f.view, false);
}

// Record CurrentPlayer back into Player and the record in force reloaded.
void Reload(ScoreFiles& f) {
  if (play::IsPlayerRecordNumber(f.player.CurrentPlayer))
    if (auto rec = ReadPlayer(f.players, f.player.CurrentPlayer)) f.player.Player = *rec;
  play::LoadScoreRec(f.scores, f.store);
}

bool LocalAction(ScoreFiles& f, int index, int S) {
  std::optional<play::PlayerRecord> blank = ReadPlayer(f.players, play::kTemplateRecord);
  if (!blank) return false;
  blank->Name = QString(play::kNameWidth, QLatin1Char(' '));
  std::int16_t& CP = f.player.CurrentPlayer;
  const auto resetEach = [&](int r, std::initializer_list<const char*> kinds) {
    auto rec = ReadPlayer(f.players, r);
    if (!rec) return false;
    for (const char* kind : kinds) play::ResetScores(rec->Scores, QString::fromLatin1(kind), false, f.scores.MatchOn);
    return WritePlayer(f.players, r, *rec);
  };
  switch (index) {
    case 0: {
      if (!WritePlayer(f.players, S, *blank)) return false;
      for (int i = S + 1; i <= play::kLastPlayerRecord; ++i) {
        auto rec = ReadPlayer(f.players, i);
        if (!rec || !WritePlayer(f.players, i - 1, *rec)) return false;
        if (i == CP) CP = static_cast<std::int16_t>(i - 1);
        if (i == play::kLastPlayerRecord && !WritePlayer(f.players, i, *blank)) return false;
      }
      return true;
    }
    case 1: {
      std::optional<play::PlayerRecord> own;
      if (play::IsPlayerRecordNumber(CP) && !(own = ReadPlayer(f.players, CP))) return false;
      for (int r = play::kFirstPlayerRecord; r <= play::kLastPlayerRecord; ++r)
        if (r != CP && !WritePlayer(f.players, r, *blank)) return false;
      EndMatch(f);
      if (!own) return true;  // no player in play: every record is blank now
      play::ResetScores(own->Scores, QStringLiteral("All"), false, f.scores.MatchOn);
      if (!WritePlayer(f.players, play::kFirstPlayerRecord, *own)) return false;
      if (CP != play::kFirstPlayerRecord && !WritePlayer(f.players, CP, *blank)) return false;
      CP = play::kFirstPlayerRecord;
      return true;
    }
    case 2: return resetEach(S, {"Single"});
    case 3:
      for (int r = play::kFirstPlayerRecord; r <= play::kLastPlayerRecord; ++r)
        if (!resetEach(r, {"Single"})) return false;
      return true;
    case 4:
      if (!resetEach(S, {"Matches", "Current Match"})) return false;
      if (S == CP) EndMatch(f);
      return true;
    case 5:
      for (int r = play::kFirstPlayerRecord; r <= play::kLastPlayerRecord; ++r)
        if (!resetEach(r, {"Matches", "Current Match"})) return false;
      EndMatch(f);
      return true;
    default: return false;
  }
}

}  // namespace

QString MaintenanceCaption(int index) {
  return index >= 0 && index <= 5 ? QString::fromLatin1(kCaptions[index]) : QString();
}
QString NetMaintainCaption(int index) { return index >= 0 && index <= 3 ? MaintenanceCaption(index) : QString(); }

MaintenanceResult cmdMaintenance(ScoreFiles& f, int index, int S, bool cellEmpty) {
  if (index < 0 || index > 5) return {};
  const MessageLabel label = index >= 4 ? MessageLabel::lblSelectMatch : MessageLabel::Label1;
  if ((index == 0 || index == 2 || index == 4) && (cellEmpty || !play::IsPlayerRecordNumber(S))) {
    f.ui.Beep();
    return {false, label, QString::fromLatin1(kSelectPlayerText)};
  }
  if (index == 0 && S == f.player.CurrentPlayer) {
    f.ui.MsgBox(QStringLiteral("You can't delete yourself.\r\n\r\nGo to the Game Menu, Change/New Player "
                               "and select or create a new player name. Then you can return here and delete "
                               "this player name."),
                platform::vbOKOnly, QStringLiteral("DELETE"));
    return {};
  }
  if (!Confirm(f.ui, MaintenanceCaption(index), index <= 1)) return {};

  const platform::RecordFile::Unreported quietPlayers(f.players);
  std::optional<platform::RecordFile::Unreported> quietStore;
  if (&StoreFile(f) != &f.players) quietStore.emplace(StoreFile(f));
  // The edits start from what is on disk, the scores in force included.
  if (play::IsPlayerRecordNumber(f.player.CurrentPlayer)) {
    auto own = ReadPlayer(f.players, f.player.CurrentPlayer);
    if (!own) return Failed(f.ui, f.players);
    f.player.Player = *own;
    if (play::SaveScoreRec(f.scores, f.store) == play::StoreResult::Failed) return Failed(f.ui, StoreFile(f));
  }
  const bool ok = LocalAction(f, index, S);
  Reload(f);
  if (!ok) return Failed(f.ui, f.players);
  f.ui.Beep();
  static const char* const kDone[] = {"Player removed!",   "All is forgotten.",     "Scores removed!",
                                      "All is forgotten.", "Match Scores removed!", "All is forgotten."};
  return {true, label, QString::fromLatin1(kDone[index])};
}

MaintenanceResult cmdNetMaintain(ScoreFiles& f, int index, int L) {
  if (index < 0 || index > 3) return {};
  if ((index == 0 || index == 1) && play::IsOnline(f.NetConnIndex)) {
    f.ui.MsgBox(QStringLiteral("You can't delete players while playing online.\r\nYou can clear scores now if "
                               "you would like, but to delete a player, return here after you have ended your "
                               "online game."),
                platform::vbCritical, QStringLiteral("Online Game"));
    return {};
  }
  const QStringList names = f.opponents ? f.opponents->NetPlayerNames() : QStringList();
  const int count = static_cast<int>(names.size());
  const bool fileOpen = f.opponents && f.opponents->NetFileOpen() && f.net.File && f.net.File->IsOpen();
  // Without an opponent chosen no record is read or written.
  if ((index == 0 || index == 2) && (!fileOpen || L < 0 || L >= count)) {
    f.ui.Beep();
    return {false, MessageLabel::LblNetMain, QString::fromLatin1(kSelectPlayerText)};
  }
  if (!fileOpen) return {};
  if (!Confirm(f.ui, NetMaintainCaption(index), index <= 1)) return {};

  platform::RecordFile& file = *f.net.File;
  const QString path = file.Path();
  const platform::RecordFile::Unreported quiet(file);
  QString deleteProblem;
  const auto reset = [&](int r, bool keepNames) {
    auto rec = ReadOpponent(file, r);
    if (!rec) return false;
    play::ResetScores(*rec, QStringLiteral("All"), keepNames, f.scores.MatchOn);
    return file.Write(r, rec->Encode());
  };
  bool ok = true;
  MaintenanceResult result{true, MessageLabel::LblNetMain, {}};
  switch (index) {
    case 2:
      ok = reset(L + 1, true);
      result.message = QStringLiteral("Scores removed!");
      break;
    case 0:
      if (L + 1 == count) {
        ok = reset(L + 1, false);
      } else {
        ok = reset(L + 1, true);
        for (int i = L + 2; ok && i <= count; ++i) {
          auto rec = ReadOpponent(file, i);
          ok = rec && file.Write(i - 1, rec->Encode()) && reset(i, false);
        }
      }
      // The current opponent's record may have moved up with the others.
      if (ok && f.net.NetScoreRecNo > L + 1)
        --f.net.NetScoreRecNo;
      else if (ok && f.net.NetScoreRecNo == L + 1)
        f.net.NetScoreRecNo = 0;
      if (ok) f.opponents->LoadNetPlayerList();
      result.message = QStringLiteral("Player removed!");
      break;
    case 1:
      deleteProblem = f.opponents->DeleteNetFile();
      ok = deleteProblem.isEmpty();
      if (ok) f.net.NetScoreRecNo = 0;
      result.message = QStringLiteral("All NET Opponents Deleted.");
      break;
    case 3:
      for (int r = 1; ok && r <= count; ++r) ok = reset(r, true);
      result.message = QStringLiteral("All is forgotten.");
      break;
  }
  play::LoadScoreRec(f.scores, f.store);
  if (!ok) return Failed(f.ui, path, index == 1 ? deleteProblem : file.LastError());
  if (index != 3 && index != 1) f.ui.Beep();
  return result;
}

MaintenanceResult cmdClear(ScoreFiles& f) {
  if (f.ui.MsgBox(QStringLiteral("Clear all the high scores in this table?"),
                  platform::vbYesNo | platform::vbQuestion | platform::vbDefaultButton2,
                  QStringLiteral("Delete High Scores")) != platform::vbYes)
    return {};
  platform::RecordFile file;
  if (!file.Open(f.highScorePath, play::kHighScoreRecordLength)) return Failed(f.ui, f.highScorePath, file.LastError());
  play::HighScoreRecord empty;
  empty.WinnerName = QString(play::HighScoreRecord::kWinnerNameWidth, QLatin1Char(' '));
  // All places at once: a kill part-way never leaves empty places above
  // filled ones.
  QList<std::pair<int, QByteArray>> places;
  for (int i = 1; i <= kHighScoreRecordsCleared; ++i) places.append({i, empty.Encode()});
  if (!file.WriteTogether(places)) return Failed(f.ui, file);
  return {true, MessageLabel::None, {}};
}

}  // namespace dialogs
