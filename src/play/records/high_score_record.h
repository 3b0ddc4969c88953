#pragma once
// The record of the high-score file "highscore.sav": records 1..20 are the
// ranking, best first; a record that holds no game is all zeros (0 points).

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "play/records/score_record.h"

namespace play {

constexpr int kHighScoreRecordLength = 38;
constexpr int kHighScorePlaces = 20;
inline constexpr char kHighScoreFileName[] = "highscore.sav";

struct HighScoreRecord {
  static constexpr int kPlayedOnOffset = 0;
  static constexpr int kWinnerNameOffset = 8;
  static constexpr int kWinnerNameWidth = 20;
  static constexpr int kPointsOffset = 28;
  static constexpr int kGameTimeOffset = 30;

  double PlayedOn = 0.0;                           // OLE date: the day the game ended
  QString WinnerName = NulText(kWinnerNameWidth);  // as stored (20 characters)
  std::int16_t Points = 0;                         // the game's points
  double GameTime = 0.0;                           // OLE date: the game clock as a time of day

  // The first kHighScoreRecordLength bytes; a shorter input gives the zero
  // record HighScoreRecord{}.
  static HighScoreRecord Decode(const QByteArray& bytes);
  // Exactly kHighScoreRecordLength bytes.
  QByteArray Encode() const;

  bool operator==(const HighScoreRecord&) const = default;
};

}  // namespace play
