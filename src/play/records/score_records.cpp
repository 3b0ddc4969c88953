#include "play/records/score_records.h"

#include "platform/recordfile.h"
#include "platform/vb.h"
#include "table/table_view.h"

namespace play {
namespace {

constexpr double kMidnight = 0.0;  // GameTime 00:00:00

bool ValidPlayerRecordNo(std::int16_t n) { return n >= kFirstPlayerRecord && n <= kLastPlayerRecord; }

bool FileOpen(const platform::RecordFile* file) { return file != nullptr && file->IsOpen(); }

// The opponent's record can be reached: the file is open and a record chosen.
bool NetRecordReachable(const ScoreStore& store) {
  return store.Net != nullptr && FileOpen(store.Net->File) && store.Net->NetScoreRecNo >= 1;
}

bool PlayerRecordReachable(const ScoreStore& store) {
  return store.Player != nullptr && store.CurrentPlayer != nullptr && ValidPlayerRecordNo(*store.CurrentPlayer) &&
         FileOpen(store.PlayersFile);
}

}  // namespace

bool ScoreStore::PeerPresent() const { return NetConnIndex != nullptr && IsPeerPresent(*NetConnIndex); }

std::int16_t ValidMatchPoints(std::int16_t points) {
  return (points < kLowestMatchTarget || points > kHighestMatchTarget) ? kDefaultMatchTarget : points;
}

StoreResult LoadScoreRec(ScoreState& scores, ScoreStore& store) {
  if (store.PeerPresent()) {
    if (!NetRecordReachable(store)) return StoreResult::Skipped;
    const QByteArray bytes = store.Net->File->Read(store.Net->NetScoreRecNo);
    if (bytes.size() != kNetScoreRecordLength) return StoreResult::Failed;
    store.Net->NetScoreRec = ScoreRec::Decode(bytes);
    scores.CurrentScores = store.Net->NetScoreRec;
    return StoreResult::Stored;
  }
  if (!PlayerRecordReachable(store)) return StoreResult::Skipped;
  const QByteArray bytes = store.PlayersFile->Read(*store.CurrentPlayer);
  if (bytes.size() != kPlayerRecordLength) return StoreResult::Failed;
  *store.Player = PlayerRecord::Decode(bytes);
  scores.CurrentScores = store.Player->Scores;
  return StoreResult::Stored;
}

StoreResult SaveScoreRec(const ScoreState& scores, ScoreStore& store) {
  if (store.PeerPresent()) {
    if (!NetRecordReachable(store)) return StoreResult::Skipped;
    store.Net->NetScoreRec = scores.CurrentScores;
    const bool written =
        store.Net->File->Write(store.Net->NetScoreRecNo, store.Net->NetScoreRec.Encode()) && store.Net->File->Flush();
    return written ? StoreResult::Stored : StoreResult::Failed;
  }
  if (!PlayerRecordReachable(store)) return StoreResult::Skipped;
  store.Player->Scores = scores.CurrentScores;
  const bool written =
      store.PlayersFile->Write(*store.CurrentPlayer, store.Player->Encode()) && store.PlayersFile->Flush();
  return written ? StoreResult::Stored : StoreResult::Failed;
}

void ResetScores(ScoreRec& rec, const QString& kind, bool keepNames, bool MatchOn) {
  auto resetSingle = [&rec] {
    rec.SinglePlayed = 0;
    rec.SingleWon = 0;
    rec.BestWin = 0;
    rec.BestLoss = 0;
  };
  auto resetMatches = [&rec] {
    rec.MatchesPlayed = 0;
    rec.MatchesWon = 0;
    rec.MatchTarget = 0;
    rec.MatchInProgress = 0;
  };
  auto resetCurrentMatch = [&rec] {
    rec.MatchGames = 0;
    rec.MatchWins = 0;
    rec.OppMatchWins = 0;
    rec.MatchScore = 0;
    rec.OppMatchScore = 0;
  };

  if (kind == QLatin1String("Single")) {
    resetSingle();
    rec.GameTime = kMidnight;
  } else if (kind == QLatin1String("Matches")) {
    resetMatches();
  } else if (kind == QLatin1String("Current Match")) {
    resetCurrentMatch();
    // A match just started keeps the MatchInProgress its starter set.
    if (!MatchOn) rec.MatchInProgress = 0;
  } else if (kind == QLatin1String("All")) {
    resetSingle();
    resetMatches();
    resetCurrentMatch();
    rec.ExtraFlag = 0;
    rec.GameTime = kMidnight;
    if (!keepNames) {
      rec.OpponentName = QString(ScoreRec::kOpponentNameWidth, QLatin1Char(' '));
      rec.AvatarFile = QString(ScoreRec::kAvatarFileWidth, QLatin1Char(' '));
    }
  }
}

void AddGameResult(ScoreState& scores, bool lost, const QString& kind) {
  ScoreRec& rec = scores.CurrentScores;
  const std::int16_t points = scores.GamePoints;

  if (kind == QLatin1String("Single")) {
    rec.SinglePlayed = vb::SaturatingAdd(rec.SinglePlayed, 1);
    if (!lost) {
      rec.SingleWon = vb::SaturatingAdd(rec.SingleWon, 1);
      if (points > rec.BestWin) rec.BestWin = points;
    } else if (points > rec.BestLoss) {
      rec.BestLoss = points;
    }
  } else if (kind == QLatin1String("Match")) {
    // A target outside the match range would end the match at once (or
    // never); such a value is never played to.
    const std::int16_t target = ValidMatchPoints(scores.MatchPoints);
    rec.MatchGames = vb::SaturatingAdd(rec.MatchGames, 1);
    if (!lost) {
      rec.MatchScore = vb::SaturatingAdd(rec.MatchScore, points);
      rec.MatchWins = vb::SaturatingAdd(rec.MatchWins, 1);
      if (rec.MatchScore >= target) {
        scores.MatchComplete = true;
        rec.MatchesWon = vb::SaturatingAdd(rec.MatchesWon, 1);
      }
    } else {
      rec.OppMatchScore = vb::SaturatingAdd(rec.OppMatchScore, points);
      rec.OppMatchWins = vb::SaturatingAdd(rec.OppMatchWins, 1);
      if (rec.OppMatchScore >= target) scores.MatchComplete = true;
    }
    if (scores.MatchComplete) {
      rec.MatchInProgress = 0;
      rec.MatchesPlayed = vb::SaturatingAdd(rec.MatchesPlayed, 1);
    } else {
      rec.MatchInProgress = 1;
    }
    rec.GameTime = kMidnight;
  }
}

bool IsMatchRunning(const ScoreRec& rec) {
  return rec.MatchGames != 0 && rec.MatchScore < rec.MatchTarget && rec.OppMatchScore < rec.MatchTarget;
}

}  // namespace play
