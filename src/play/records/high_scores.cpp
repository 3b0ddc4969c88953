#include "play/records/high_scores.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <unistd.h>

#include "platform/recordfile.h"
#include "platform/vb.h"
#include "platform/write_failures.h"

namespace play {
namespace {

constexpr double kSecondsPerDay = 86400.0;
// A date value beyond this is no game time: the latest date a record can
// hold, read as days of play.
constexpr double kLongestGameDays = 2958465.0;

// What a place the game wrote can hold: a day from 1899-12-31 to
// 9999-12-31, a game of at most a hundred days, and no more points than a
// win over a loser holding all 104 cards in its Reserve (30 + 2 * 104).
constexpr double kFirstPlayedOn = 1.0;
constexpr double kLastPlayedOn = 2958465.0;
constexpr double kLongestStoredGameDays = 100.0;
constexpr std::int16_t kMostGamePoints = 238;

bool InRange(double v, double low, double high) { return std::isfinite(v) && v >= low && v <= high; }

QString Place(int i) { return "place " + QString::number(i + 1); }

qint64 FileSize(const platform::RecordFile& file);

// Reads the twenty places; a place past the end of the file is empty.
HighScoreFile ReadPlaces(const platform::RecordFile& file) {
  HighScoreFile read;
  for (int i = 1; i <= kHighScorePlaces; ++i) {
    const QByteArray bytes = file.Read(i);
    if (bytes.size() != kHighScoreRecordLength) {
      read.state = HighScoreFile::State::Unreadable;
      read.reason = "place " + QString::number(i) + " cannot be read";
      return read;
    }
    // Bytes after the last whole place: the places before them count, the
    // rest are empty.
    if (file.IsCut(i)) {
      read.extraBytes = FileSize(file) - static_cast<qint64>(i - 1) * file.RecordLength();
      break;
    }
    read.list[static_cast<std::size_t>(i - 1)] = HighScoreRecord::Decode(bytes);
  }
  read.reason = HighScoreDamage(read.list);
  read.state = read.reason.isEmpty() ? HighScoreFile::State::Read : HighScoreFile::State::Damaged;
  // A damaged file's places are none of the new list's.
  if (!read.reason.isEmpty()) read.list = HighScoreList{};
  return read;
}

qint64 FileSize(const platform::RecordFile& file) { return QFileInfo(file.Path()).size(); }

// Whole places followed by a few bytes: the places stay, the file as it
// was is copied aside for the user, and once the copy is safe the extra
// bytes are taken off, so that the next read finds a whole file.
void CutExtraBytes(const QString& path, HighScoreFile& read) {
  const qint64 whole = QFileInfo(path).size() - read.extraBytes;
  const QString aside = platform::AsideName(path);
  if (const QString problem = platform::CopyWholeFile(path, aside); !problem.isEmpty()) {
    read.reason = "it could not be copied aside, so it stays as it is: " + problem;
    return;
  }
  read.keptAside = aside;
  if (::truncate(QFile::encodeName(path).constData(), static_cast<off_t>(whole)) != 0)
    read.reason = "the extra bytes could not be taken off: " + QString::fromLocal8Bit(std::strerror(errno));
}

// A damaged file is moved aside; the list starts empty.
void KeepDamagedAside(const QString& path, HighScoreFile& read) {
  QString why;
  read.keptAside = platform::KeepAside(path, &why);
  if (read.keptAside.isEmpty()) read.reason += "; it could not be moved aside: " + why;
}

}  // namespace

QString HighScoreDamage(const HighScoreList& list) {
  bool emptySeen = false;
  for (int i = 0; i < kHighScorePlaces; ++i) {
    const HighScoreRecord& r = list[static_cast<std::size_t>(i)];
    const QString name = vb::TrimRecord(r.WinnerName);
    if (r.PlayedOn == 0.0) {
      if (r.Points != 0 || r.GameTime != 0.0 || !name.isEmpty()) return Place(i) + " holds a game without a date";
      emptySeen = true;
      continue;
    }
    if (emptySeen) return Place(i) + " follows an empty place";
    for (const QChar ch : name)
      if (!ch.isPrint()) return Place(i) + " holds a name with control characters";
    if (!InRange(r.PlayedOn, kFirstPlayedOn, kLastPlayedOn)) return Place(i) + " holds no date";
    if (r.Points < 0 || r.Points > kMostGamePoints) return Place(i) + " holds points no game can score";
    if (!InRange(r.GameTime, 0.0, kLongestStoredGameDays)) return Place(i) + " holds no game time";
    if (i > 0) {
      const HighScoreRecord& above = list[static_cast<std::size_t>(i - 1)];
      if (above.Points < r.Points ||
          (above.Points == r.Points && GameTimeSeconds(above.GameTime) > GameTimeSeconds(r.GameTime)))
        return Place(i) + " ranks above the place before it";
    }
  }
  return {};
}

QString HighScoreFile::Text(const QString& path) const {
  switch (state) {
    case State::Read:
    case State::Missing: return {};
    case State::Unreadable: return "The high scores could not be read from\r\n" + path + "\r\n\r\n" + reason;
    case State::ExtraBytes:
      return "The high-score file\r\n" + path + "\r\nwas damaged (" + QString::number(extraBytes) +
             (extraBytes == 1 ? " byte" : " bytes") + " after its last place).\r\n\r\nThe places in it are kept." +
             (keptAside.isEmpty() ? QString() : " A copy of it as it was is kept as " + keptAside + ".") +
             (reason.isEmpty() ? QString() : "\r\n\r\nBut " + reason + ".");
    case State::Damaged:
      return "The high-score file\r\n" + path + "\r\nwas damaged (" + reason + ")." +
             (keptAside.isEmpty() ? QString() : "\r\n\r\nIt was kept as " + keptAside + ".") +
             "\r\n\r\nThe high scores begin anew.";
  }
  return {};
}

HighScoreFile ReadHighScoreFile(const QString& path) {
  if (!QFileInfo::exists(path)) return {};
  platform::RecordFile file;
  if (!file.Open(path, kHighScoreRecordLength, true)) {
    HighScoreFile read;
    read.state = HighScoreFile::State::Unreadable;
    read.reason = file.LastError();
    return read;
  }
  HighScoreFile read = ReadPlaces(file);
  file.Close();
  if (read.state == HighScoreFile::State::Damaged) KeepDamagedAside(path, read);
  if (read.state == HighScoreFile::State::Read && read.extraBytes > 0) {
    read.state = HighScoreFile::State::ExtraBytes;
    CutExtraBytes(path, read);
  }
  return read;
}

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
    const bool ranksAbove = rec.Points > points || (rec.Points == points && GameTimeSeconds(rec.GameTime) < seconds);
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
                               platform::WriteFailures* failures, QString* notice) {
  if (place) *place = kNotRanked;
  // A damaged list is put aside first: the game begins a new one.
  const HighScoreFile read = ReadHighScoreFile(path);
  if (read.state == HighScoreFile::State::Unreadable) {
    if (notice) *notice = QString(kScoreNotKeptText) + "\r\n\r\n" + read.Text(path);
    return HighScoreResult::Failed;
  }
  if (read.state == HighScoreFile::State::Damaged || read.state == HighScoreFile::State::ExtraBytes) {
    if (notice) *notice = read.Text(path);
    if (read.state == HighScoreFile::State::Damaged && read.keptAside.isEmpty()) return HighScoreResult::Failed;
  }
  platform::RecordFile file;
  file.ReportFailuresTo(failures);
  if (!file.Open(path, kHighScoreRecordLength)) {
    // Told with the score it cost, after what the read found.
    if (notice)
      *notice += (notice->isEmpty() ? QString() : "\r\n\r\n") + kScoreNotKeptText + "\r\n\r\n" +
                 "The high-score file\r\n" + path + "\r\ncannot be written: " + file.LastError();
    return HighScoreResult::Failed;
  }
  HighScoreList list = read.list;

  const int at = HighScorePlace(list, entry.Points, GameTimeSeconds(entry.GameTime));
  if (at == kNotRanked) return HighScoreResult::NotRanked;
  InsertHighScore(list, at, entry);

  // The places that move land together: a full disk or a kill part-way
  // leaves the list as it was.
  QList<std::pair<int, QByteArray>> changed;
  for (int i = at; i <= kHighScorePlaces; ++i) changed.append({i, list[static_cast<std::size_t>(i - 1)].Encode()});
  if (!file.WriteTogether(changed)) {
    qWarning() << "High scores: cannot write" << path << file.LastError();
    return HighScoreResult::Failed;
  }
  if (place) *place = at;
  return HighScoreResult::Entered;
}

}  // namespace play
