#pragma once
// The status bar's match panels (4 to 7): the points to reach, the games
// played, each side's match points, and their tool tips.

#include <QString>

#include "play/records/score_records.h"

namespace table {
class TableView;
}

namespace play {

// The Match panel's text for a match played to `points`: "Match: " and the
// number with its sign blank, so "Match:  100 pts" wherever it is written.
QString MatchPanelText(int points);
// The same panel once the match is won: "* MATCH COMPLETE! * " and the
// points with their sign blank.
QString MatchCompletePanelText(int points);

// Panels 4 to 7: their tool tips, or (show False) texts and tool tips emptied.
void ShowMatchPoints(table::TableView& view, bool show);
// Lays out the status bar and writes the four match panels from
// CurrentScores; a stored target outside 62..1000 becomes 100.
void CheckMatchComplete(ScoreState& scores, table::TableView& view);

// MatchPoints from the record; an unfinished stored match is switched on
// and shown, otherwise the match is off and its panels emptied.
void ResumeMatch(ScoreState& scores, table::TableView& view);

}  // namespace play
