#include "play/high_scores.h"

#include <QDebug>
#include <cmath>

#include "platform/recordfile.h"

namespace play {
namespace {

constexpr double kSecondsPerDay = 86400.0;
// A date value beyond this is no game time: the latest date a record can
// hold, read as days of play.
constexpr double kLongestGameDays = 2958465.0;

}  // namespace

std::int64_t GameTimeSeconds(double gameTime) {
  if (!std::isfinite(gameTime) || gameTime < 0 || gameTime > kLongestGameDays) return 0;
  return static_cast<std::int64_t>(std::llround(gameTime * kSecondsPerDay));
}

double GameTimeFromSeconds(std::int64_t seconds) {
  return seconds > 0 ? static_cast<double>(seconds) / kSecondsPerDay : 0.0;
}

int HighScorePlace(const HighScoreList& list, std::int16_t points, std::int64_t seconds) {
  for (int i = 0; i < kHighScorePlaces; ++i) {
    const HighScoreRecord& rec = list[static_cast<std::size_t>(i)];
    const bool ranksAbove =
        rec.Points > points || (rec.Points == points && GameTimeSeconds(rec.GameTime) < seconds);
    if (!ranksAbove) return i + 1;
  }
  return kNotRanked;
}

void InsertHighScore(HighScoreList& list, int place, const HighScoreRecord& entry) {
  if (place < 1 || place > kHighScorePlaces) return;
  for (int j = kHighScorePlaces - 1; j >= place; --j) {
    list[static_cast<std::size_t>(j)] = list[static_cast<std::size_t>(j - 1)];
  }
  list[static_cast<std::size_t>(place - 1)] = entry;
}

HighScoreResult EnterHighScore(const QString& path, const HighScoreRecord& entry, int* place,
                               platform::WriteFailures* failures) {
  if (place) *place = kNotRanked;
  platform::RecordFile file;
  file.ReportFailuresTo(failures);
  if (!file.Open(path, kHighScoreRecordLength)) {
    qWarning() << "High scores: cannot open" << path;
    return HighScoreResult::Failed;
  }
  HighScoreList list;
  for (int i = 1; i <= kHighScorePlaces; ++i) {
    // Past the end of the file a place reads as the empty record.
    const QByteArray bytes = file.Read(i);
    if (bytes.size() != kHighScoreRecordLength) {
      qWarning() << "High scores: cannot read place" << i << "of" << path;
      return HighScoreResult::Failed;
    }
    list[static_cast<std::size_t>(i - 1)] = HighScoreRecord::Decode(bytes);
  }

  const int at = HighScorePlace(list, entry.Points, GameTimeSeconds(entry.GameTime));
  if (at == kNotRanked) return HighScoreResult::NotRanked;
  InsertHighScore(list, at, entry);

  // From the bottom up, so that a write that fails part-way leaves an entry
  // twice rather than losing one.
  for (int i = kHighScorePlaces; i >= at; --i) {
    if (!file.Write(i, list[static_cast<std::size_t>(i - 1)].Encode())) {
      qWarning() << "High scores: cannot write place" << i << "of" << path;
      return HighScoreResult::Failed;
    }
  }
  if (!file.Flush()) return HighScoreResult::Failed;
  if (place) *place = at;
  return HighScoreResult::Entered;
}

}  // namespace play
