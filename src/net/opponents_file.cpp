#include "net/opponents_file.h"

#include "media/folders.h"
#include "platform/recordfile.h"
#include "platform/vb.h"
#include "play/game/match_panel.h"
#include "play/records/players.h"

namespace net {

namespace {

bool FileOpen(const OpponentsFile& f) { return f.file.File && f.file.File->IsOpen(); }

play::ScoreRec FreshRecord(const QString& name, const QString& avatar) {
  play::ScoreRec rec;
  play::ResetScores(rec, QStringLiteral("All"), false, false);
  rec.OpponentName = name;
  rec.AvatarFile = avatar;
  return rec;
}

bool WriteRecord(OpponentsFile& f, int n, const play::ScoreRec& rec) {
  return FileOpen(f) && f.file.File->Write(n, rec.Encode()) && f.file.File->Flush();
}

// The player's file, created in the Net folder when he has none yet.
bool OpenForPlayer(OpponentsFile& f) {
  if (!f.file.File) return false;
  if (!media::EnsureFolder(f.folders, play::kNetFolderName)) return false;
  QString path = play::FindNetFile(f.folders, f.PlayerName);
  if (path.isEmpty()) {
    // FindNetFile refuses names that are no bare file name; so does this.
    const QString fileName = f.PlayerName + QString::fromLatin1(play::kNetFileSuffix);
    if (f.PlayerName.isEmpty() || f.PlayerName.startsWith(u'.') || f.PlayerName.contains(u'/')) return false;
    path = f.folders.UserPath + play::kNetFolderName + "/" + fileName;
  }
  if (!f.file.File->Open(path, play::kNetScoreRecordLength)) return false;
  f.net.NetFileOpen = true;
  return true;
}

}  // namespace

void LoadNetPlayerList(OpponentsFile& f) {
  f.net.NetPlayerCount = 0;
  f.net.NetPlayerNames.clear();
  if (!FileOpen(f)) return;
  const int records = f.file.File->RecordCount();
  for (int n = 1; n <= records && n <= 32767; ++n) {
    const QString name = vb::TrimRecord(play::ScoreRec::Decode(f.file.File->Read(n)).OpponentName);
    if (name.isEmpty()) break;
    f.net.NetPlayerNames << name;
  }
  f.net.NetPlayerCount = static_cast<std::int16_t>(f.net.NetPlayerNames.size());
  if (f.file.NetScoreRecNo > 0) f.file.NetScoreRec = play::ScoreRec::Decode(f.file.File->Read(f.file.NetScoreRecNo));
}

OpponentRecord OpenNetPlayerFile(OpponentsFile& f, QString& OpponentAvatar, table::TableView& view) {
  f.file.NetScoreRecNo = 0;
  const QString name = f.net.OpponentName;
  bool stored = false;
  if (!FileOpen(f)) {
    if (OpenForPlayer(f)) {
      f.file.NetScoreRec = FreshRecord(name, OpponentAvatar);
      if (WriteRecord(f, 1, f.file.NetScoreRec)) {
        f.file.NetScoreRecNo = 1;
        stored = true;
      }
      LoadNetPlayerList(f);
    }
  } else {
    for (int n = 1; n <= f.net.NetPlayerCount; ++n) {
      if (f.net.NetPlayerNames.value(n - 1).compare(name, Qt::CaseInsensitive) != 0) continue;
      f.file.NetScoreRecNo = static_cast<std::int16_t>(n);
      f.file.NetScoreRec = play::ScoreRec::Decode(f.file.File->Read(n));
      const QString avatar = vb::TrimRecord(f.file.NetScoreRec.AvatarFile);
      if (!avatar.isEmpty()) {
        if (media::FileExists(f.folders.UserPath + kAvatarsFolder + avatar)) {
          OpponentAvatar = avatar;
        } else {
          f.file.NetScoreRec.AvatarFile = QString();
          WriteRecord(f, n, f.file.NetScoreRec);
        }
      }
      stored = true;
      break;
    }
    if (!stored && f.net.NetPlayerCount < 32767) {
      const int n = f.net.NetPlayerCount + 1;
      f.file.NetScoreRec = FreshRecord(name, OpponentAvatar);
      if (WriteRecord(f, n, f.file.NetScoreRec)) {
        f.file.NetScoreRecNo = static_cast<std::int16_t>(n);
        stored = true;
      }
      LoadNetPlayerList(f);
    }
  }
  if (OpponentAvatar.isEmpty()) OpponentAvatar = kDefaultAvatar;

  if (!stored) {
    // Scores against this opponent count in memory until the connection
    // ends; the player's own record is never written in their place.
    f.file.NetScoreRecNo = 0;
    f.scores.CurrentScores = FreshRecord(name, OpponentAvatar);
    play::ResumeMatch(f.scores, view);
    return OpponentRecord::InMemory;
  }
  play::LoadScoreRec(f.scores, f.store);
  play::ResumeMatch(f.scores, view);
  return OpponentRecord::InFile;
}

}  // namespace net
