#include "dialogs/score_grids.h"

#include "platform/recordfile.h"
#include "platform/vb.h"
#include "play/records/score_records.h"

namespace dialogs {

namespace {

constexpr int kHighDateWidth = 1200;
constexpr int kHighRankWidth = 500;
constexpr int kHighNameWidth = 1800;
constexpr int kHighTimeWidth = 1200;

// A number cell of the players' tables: right-aligned, two blanks after.
GridCell PaddedNumber(int n) { return {QString::number(n) + QStringLiteral("  "), CellAlign::Right, {}, false}; }

GridContent Empty(const char* format, int rows) {
  GridContent g;
  g.columns = ParseGridFormat(QString::fromLatin1(format));
  g.rows.assign(rows, std::vector<GridCell>(g.columns.size()));
  for (auto& row : g.rows)
    for (std::size_t c = 0; c < row.size(); ++c) row[c].align = g.columns[c].align;
  return g;
}

// A column of names is wide enough for the longest name a record holds.
void NameColumn(GridContent& g, int col) { g.columns[col].valueChars = play::kNameWidth; }

void Put(GridContent& g, int row, int col, const QString& text) { g.rows[row - 1][col].text = text; }
void Put(GridContent& g, int row, int col, int n) { Put(g, row, col, QString::number(n)); }

QString NameOf(const play::PlayerRecord& r) { return vb::TrimRecord(r.Name); }

}  // namespace

std::vector<GridColumn> ParseGridFormat(const QString& format) {
  std::vector<GridColumn> columns;
  for (QString part : format.split(QLatin1Char('|'))) {
    GridColumn col;
    if (!part.isEmpty() && (part[0] == '<' || part[0] == '^' || part[0] == '>')) {
      col.align = part[0] == '<' ? CellAlign::Left : part[0] == '^' ? CellAlign::Center : CellAlign::Right;
      part.remove(0, 1);
    }
    col.heading = part;
    col.widthChars = static_cast<int>(part.size());
    columns.push_back(col);
  }
  return columns;
}

GridContent PrintNamesRows(const PlayerRecords& records) {
  GridContent g = Empty(kScoresFormat, play::kMaxPlayers);
  NameColumn(g, 0);
  for (int r = 1; r <= play::kMaxPlayers; ++r) {
    const play::PlayerRecord& p = records[r - 1];
    if (NameOf(p).isEmpty()) continue;
    const play::ScoreRec& s = p.Scores;
    g.rows[r - 1] = {{NameOf(p), CellAlign::Left, {}, false},
                     PaddedNumber(s.SinglePlayed),
                     PaddedNumber(s.SinglePlayed - s.SingleWon),
                     PaddedNumber(s.SingleWon),
                     PaddedNumber(s.BestWin)};
  }
  return g;
}

GridContent PrintMatchesRows(const PlayerRecords& records) {
  GridContent g = Empty(kMatchesFormat, play::kMaxPlayers);
  NameColumn(g, 0);
  for (int r = 1; r <= play::kMaxPlayers; ++r) {
    const play::PlayerRecord& p = records[r - 1];
    if (NameOf(p).isEmpty()) continue;
    const play::ScoreRec& s = p.Scores;
    g.rows[r - 1] = {{NameOf(p), CellAlign::Left, {}, false},
                     PaddedNumber(s.MatchesPlayed),
                     PaddedNumber(s.MatchesPlayed - s.MatchesWon),
                     PaddedNumber(s.MatchesWon)};
  }
  return g;
}

std::uint32_t MatchCellColor(const play::ScoreRec& rec) {
  if (play::IsMatchRunning(rec)) return kRunningMatchColor;
  return rec.MatchGames > 0 ? kEndedMatchColor : kNoMatchColor;
}

namespace {

GridContent MatchRows(const QString& name, const QString& opponent, const play::ScoreRec& s) {
  GridContent g = Empty(kMatchFormat, 2);
  NameColumn(g, 0);
  Put(g, 1, 0, name);
  Put(g, 1, 1, s.MatchGames);
  Put(g, 1, 2, s.MatchWins);
  Put(g, 1, 3, s.MatchScore);
  Put(g, 1, 4, s.MatchTarget);
  Put(g, 2, 0, opponent);
  Put(g, 2, 1, s.MatchGames);
  Put(g, 2, 2, s.OppMatchWins);
  Put(g, 2, 3, s.OppMatchScore);
  const std::uint32_t color = MatchCellColor(s);
  g.rows[0][4].backColor = color;
  g.rows[1][4].backColor = color;
  return g;
}

}  // namespace

GridContent PrintMatchRows(const play::PlayerRecord& current) {
  // The name field as stored, trailing blanks and all; a never-written
  // record holds NULs, which are no text to show.
  QString name = current.Name;
  name.replace(QChar(0), QChar(' '));
  return MatchRows(name, QStringLiteral("Opponent"), current.Scores);
}

QString MatchLabelText(const play::PlayerRecord& current) {
  return QStringLiteral("Last/Ongoing Match for ") + NameOf(current) + QStringLiteral(":");
}

GridContent PrintNetNamesRows(const QString& PlayerName, const play::ScoreRec& s) {
  GridContent g = Empty(kNetScoresFormat, 4);
  NameColumn(g, 0);
  Put(g, 1, 0, PlayerName);
  Put(g, 1, 1, s.SinglePlayed);
  Put(g, 1, 2, s.SinglePlayed - s.SingleWon);
  Put(g, 1, 3, s.SingleWon);
  Put(g, 1, 4, s.BestWin);
  Put(g, 2, 0, vb::TrimRecord(s.OpponentName));
  Put(g, 2, 1, s.SinglePlayed);
  Put(g, 2, 2, s.SingleWon);
  Put(g, 2, 3, s.SinglePlayed - s.SingleWon);
  Put(g, 2, 4, s.BestLoss);
  Put(g, 3, 1, QStringLiteral("      Matches   "));
  Put(g, 3, 2, QStringLiteral(" Losses "));
  Put(g, 3, 3, QStringLiteral("      Wins    "));
  for (int c = 1; c <= 3; ++c) g.rows[2][c].heading = true;
  Put(g, 4, 0, QStringLiteral(" "));
  Put(g, 4, 1, s.MatchesPlayed);
  Put(g, 4, 2, s.MatchesPlayed - s.MatchesWon);
  Put(g, 4, 3, s.MatchesWon);
  Put(g, 4, 4, QStringLiteral(" "));
  return g;
}

GridContent PrintNetMatchRows(const QString& PlayerName, const play::ScoreRec& s) {
  return MatchRows(PlayerName, vb::TrimRecord(s.OpponentName), s);
}

GridContent HighStuffRows(const std::vector<play::HighScoreRecord>& records) {
  GridContent g = Empty(kHighFormat, play::kHighScorePlaces);
  g.columns[0].align = CellAlign::Center;
  g.columns[1].align = CellAlign::Center;
  g.widthsTwips = {kHighRankWidth, kHighDateWidth, kHighNameWidth, 0, kHighTimeWidth};
  NameColumn(g, 2);
  for (int i = 1; i <= play::kHighScorePlaces; ++i) {
    auto& row = g.rows[i - 1];
    row[0].align = row[1].align = CellAlign::Center;
    if (i >= 2)
      for (int c = 1; c <= 4; ++c) row[c].backColor = kHighScoreRowColor;
    Put(g, i, 0, vb::Str(i));
    if (i > static_cast<int>(records.size())) continue;
    const play::HighScoreRecord& h = records[i - 1];
    if (h.PlayedOn == 0) continue;
    const QDateTime played = vb::FromOleDate(h.PlayedOn);
    Put(g, i, 1, played.isValid() ? played.toString(QStringLiteral("MM/dd/yy")) : QString());
    Put(g, i, 2, vb::TrimRecord(h.WinnerName));
    Put(g, i, 3, h.Points);
    const QDateTime time = vb::FromOleDate(h.GameTime);
    Put(g, i, 4, (time.isValid() ? time.toString(QStringLiteral("HH:mm:ss")) : QString()) + QStringLiteral("  "));
    row[4].align = CellAlign::Right;
  }
  return g;
}

std::optional<PlayerRecords> ReadPlayerRecords(const platform::RecordFile& players) {
  PlayerRecords records;
  for (int r = 1; r <= play::kMaxPlayers; ++r) {
    const QByteArray bytes = players.Read(r);
    if (bytes.size() != play::kPlayerRecordLength) return std::nullopt;
    records[r - 1] = play::PlayerRecord::Decode(bytes);
  }
  return records;
}

}  // namespace dialogs
