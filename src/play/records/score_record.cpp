#include "play/records/score_record.h"

#include "platform/recordfile.h"

namespace play {

ScoreRec ScoreRec::Decode(const QByteArray& bytes) {
  ScoreRec r;
  if (bytes.size() < kScoreRecordLength) return r;
  const platform::ByteReader in(bytes);
  r.SinglePlayed = in.I16(kSinglePlayedOffset);
  r.SingleWon = in.I16(kSingleWonOffset);
  r.BestWin = in.I16(kBestWinOffset);
  r.BestLoss = in.I16(kBestLossOffset);
  r.MatchesPlayed = in.I16(kMatchesPlayedOffset);
  r.MatchesWon = in.I16(kMatchesWonOffset);
  r.MatchTarget = in.I16(kMatchTargetOffset);
  r.MatchInProgress = in.I16(kMatchInProgressOffset);
  r.MatchGames = in.I16(kMatchGamesOffset);
  r.MatchWins = in.I16(kMatchWinsOffset);
  r.OppMatchWins = in.I16(kOppMatchWinsOffset);
  r.MatchScore = in.I16(kMatchScoreOffset);
  r.OppMatchScore = in.I16(kOppMatchScoreOffset);
  r.OpponentName = in.Text(kOpponentNameOffset, kOpponentNameWidth);
  r.AvatarFile = in.Text(kAvatarFileOffset, kAvatarFileWidth);
  r.ExtraFlag = in.I16(kExtraFlagOffset);
  r.GameTime = in.F64(kGameTimeOffset);
  return r;
}

void ScoreRec::EncodeInto(QByteArray& record, int offset) const {
  platform::ByteWriter out(record);
  out.I16(offset + kSinglePlayedOffset, SinglePlayed);
  out.I16(offset + kSingleWonOffset, SingleWon);
  out.I16(offset + kBestWinOffset, BestWin);
  out.I16(offset + kBestLossOffset, BestLoss);
  out.I16(offset + kMatchesPlayedOffset, MatchesPlayed);
  out.I16(offset + kMatchesWonOffset, MatchesWon);
  out.I16(offset + kMatchTargetOffset, MatchTarget);
  out.I16(offset + kMatchInProgressOffset, MatchInProgress);
  out.I16(offset + kMatchGamesOffset, MatchGames);
  out.I16(offset + kMatchWinsOffset, MatchWins);
  out.I16(offset + kOppMatchWinsOffset, OppMatchWins);
  out.I16(offset + kMatchScoreOffset, MatchScore);
  out.I16(offset + kOppMatchScoreOffset, OppMatchScore);
  out.Text(offset + kOpponentNameOffset, kOpponentNameWidth, OpponentName);
  out.Text(offset + kAvatarFileOffset, kAvatarFileWidth, AvatarFile);
  out.I16(offset + kExtraFlagOffset, ExtraFlag);
  out.F64(offset + kGameTimeOffset, GameTime);
}

QByteArray ScoreRec::Encode() const {
  QByteArray bytes(kScoreRecordLength, '\0');
  EncodeInto(bytes, 0);
  return bytes;
}

}  // namespace play
