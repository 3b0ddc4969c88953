#include "play/records/high_score_record.h"

#include "platform/recordfile.h"

namespace play {

HighScoreRecord HighScoreRecord::Decode(const QByteArray& bytes) {
  HighScoreRecord r;
  if (bytes.size() < kHighScoreRecordLength) return r;
  const platform::ByteReader in(bytes);
  r.PlayedOn = in.F64(kPlayedOnOffset);
  r.WinnerName = in.Text(kWinnerNameOffset, kWinnerNameWidth);
  r.Points = in.I16(kPointsOffset);
  r.GameTime = in.F64(kGameTimeOffset);
  return r;
}

QByteArray HighScoreRecord::Encode() const {
  QByteArray bytes(kHighScoreRecordLength, '\0');
  platform::ByteWriter out(bytes);
  out.F64(kPlayedOnOffset, PlayedOn);
  out.Text(kWinnerNameOffset, kWinnerNameWidth, WinnerName);
  out.I16(kPointsOffset, Points);
  out.F64(kGameTimeOffset, GameTime);
  return bytes;
}

}  // namespace play
