#include "play/game/match_panel.h"

#include "platform/vb.h"
#include "play/state/status_panels.h"
#include "table/table_view.h"

namespace play {

QString MatchPanelText(int points) { return QStringLiteral("Match: ") + vb::Str(points) + QStringLiteral(" pts"); }

QString MatchCompletePanelText(int points) {
  return QStringLiteral("* MATCH COMPLETE! * ") + vb::Str(points) + QStringLiteral(" pts");
}

void ShowMatchPoints(table::TableView& view, bool show) {
  if (!show) {
    for (int panel = kPanelMatch; panel <= kPanelMatchScoreOpp; ++panel) {
      view.SetStatusPanel(panel, QString());
      view.SetStatusPanelToolTip(panel, QString());
    }
    return;
  }
  view.SetStatusPanelToolTip(kPanelMatch, QStringLiteral("Match Points to reach"));
  view.SetStatusPanelToolTip(kPanelMatchGames, QStringLiteral("Games played this Match (Player Wins/Opponent Wins)"));
  view.SetStatusPanelToolTip(kPanelMatchScorePlayer, QStringLiteral("Your Match Points"));
  view.SetStatusPanelToolTip(kPanelMatchScoreOpp, QStringLiteral("Opponent's Match Points"));
}

void CheckMatchComplete(ScoreState& scores, table::TableView& view) {
  view.SizeStatusBar();
  ScoreRec& rec = scores.CurrentScores;
  rec.MatchTarget = ValidMatchPoints(rec.MatchTarget);
  scores.MatchPoints = rec.MatchTarget;
  view.SetStatusPanel(kPanelMatch, scores.MatchComplete ? MatchCompletePanelText(scores.MatchPoints)
                                                        : MatchPanelText(scores.MatchPoints));
  view.SetStatusPanel(kPanelMatchGames, vb::Str(rec.MatchGames) + QStringLiteral(" (") + vb::D(rec.MatchWins) +
                                            QStringLiteral(" /") + vb::Str(rec.OppMatchWins) + QStringLiteral(")"));
  view.SetStatusPanel(kPanelMatchScorePlayer, vb::Str(rec.MatchScore));
  view.SetStatusPanel(kPanelMatchScoreOpp, vb::Str(rec.OppMatchScore));
  ShowMatchPoints(view, true);
}

void ResumeMatch(ScoreState& scores, table::TableView& view) {
  scores.MatchPoints = ValidMatchPoints(scores.CurrentScores.MatchTarget);
  if (scores.CurrentScores.MatchInProgress == 1) {
    scores.MatchOn = true;
    CheckMatchComplete(scores, view);
  } else {
    scores.MatchOn = false;
    ShowMatchPoints(view, false);
    view.SizeStatusBar();
  }
}

}  // namespace play
