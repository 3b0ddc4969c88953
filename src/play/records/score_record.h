#pragma once
// The score record: a player's single-game and match statistics. It is the
// score block of every player record and, whole, one record of a player's
// online opponents file ("Net/<player>.net"), one record per opponent.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace play {

// A text field as a record never written holds it: all NUL characters.
// Records default to the all-zero record, so a default-constructed record
// encodes to zero bytes and equals what a read past the end of a file gives.
inline QString NulText(int width) { return QString(width, QChar(0)); }

constexpr int kScoreRecordLength = 76;

// Opponents file: record i is the i-th opponent met online, from record 1.
constexpr int kNetScoreRecordLength = kScoreRecordLength;
// The points a match is played to: 62..1000, 100 unless the player chose.
constexpr std::int16_t kLowestMatchTarget = 62;
constexpr std::int16_t kHighestMatchTarget = 1000;
constexpr std::int16_t kDefaultMatchTarget = 100;
inline constexpr char kNetFolderName[] = "Net";
inline constexpr char kNetFileSuffix[] = ".net";

struct ScoreRec {
  // Disk offsets.
  static constexpr int kSinglePlayedOffset = 0;
  static constexpr int kSingleWonOffset = 2;
  static constexpr int kBestWinOffset = 4;
  static constexpr int kBestLossOffset = 6;
  static constexpr int kMatchesPlayedOffset = 8;
  static constexpr int kMatchesWonOffset = 10;
  static constexpr int kMatchTargetOffset = 12;
  static constexpr int kMatchInProgressOffset = 14;
  static constexpr int kMatchGamesOffset = 16;
  static constexpr int kMatchWinsOffset = 18;
  static constexpr int kOppMatchWinsOffset = 20;
  static constexpr int kMatchScoreOffset = 22;
  static constexpr int kOppMatchScoreOffset = 24;
  static constexpr int kOpponentNameOffset = 26;
  static constexpr int kOpponentNameWidth = 20;
  static constexpr int kAvatarFileOffset = 46;
  static constexpr int kAvatarFileWidth = 20;
  static constexpr int kExtraFlagOffset = 66;
  static constexpr int kGameTimeOffset = 68;

  std::int16_t SinglePlayed = 0;                       // single games counted (outside a match)
  std::int16_t SingleWon = 0;                          // single games the player won
  std::int16_t BestWin = 0;                            // highest points of a single game won
  std::int16_t BestLoss = 0;                           // highest points of a single game lost
  std::int16_t MatchesPlayed = 0;                      // matches finished
  std::int16_t MatchesWon = 0;                         // matches the player won
  std::int16_t MatchTarget = 0;                        // points the current or last match is played to
  std::int16_t MatchInProgress = 0;                    // 1 while the stored match is unfinished, else 0
  std::int16_t MatchGames = 0;                         // games played in the current or last match
  std::int16_t MatchWins = 0;                          // the player's game wins in that match
  std::int16_t OppMatchWins = 0;                       // the opponent's game wins in that match
  std::int16_t MatchScore = 0;                         // the player's points in that match
  std::int16_t OppMatchScore = 0;                      // the opponent's points in that match
  QString OpponentName = NulText(kOpponentNameWidth);  // opponents file: the opponent's name, as stored
  QString AvatarFile = NulText(kAvatarFileWidth);      // opponents file: the opponent's avatar picture, as stored
  std::int16_t ExtraFlag = 0;                          // cleared by the "All" reset; nothing reads it
  double GameTime = 0.0;                               // OLE date used as a time of day

  // The first kScoreRecordLength bytes; a shorter input gives the zero
  // record ScoreRec{}.
  static ScoreRec Decode(const QByteArray& bytes);
  // Exactly kScoreRecordLength bytes.
  QByteArray Encode() const;
  // Writes the record into a larger record at the given offset.
  void EncodeInto(QByteArray& record, int offset) const;

  bool operator==(const ScoreRec&) const = default;
};

}  // namespace play
