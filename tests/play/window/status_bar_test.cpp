// The status bar's panels.
#include "play/window/status_bar.h"

#include <gtest/gtest.h>

#include <QFontMetrics>

#include "play/game/match_panel.h"
#include "play/records/score_record.h"

namespace play {
namespace {

// The match panel shows its longest texts whole, the won match included,
// whatever width the window leaves the player's panel.
TEST(StatusBar, TheMatchPanelShowsTheWonMatchWhole) {
  EXPECT_EQ(MatchCompletePanelText(62), "* MATCH COMPLETE! *  62 pts");
  EXPECT_EQ(MatchPanelText(62), "Match:  62 pts");
  StatusBar bar;
  bar.resize(1024, bar.height());
  const QFontMetrics fm(bar.font());
  // The text stands inside the panel's frame and margins: 8 pixels in all.
  for (const int points : {static_cast<int>(kLowestMatchTarget), static_cast<int>(kHighestMatchTarget)}) {
    for (const QString& text : {MatchCompletePanelText(points), MatchPanelText(points)}) {
      bar.SetText(kPanelMatch, text);
      EXPECT_LE(fm.horizontalAdvance(text) + 8, bar.Width(kPanelMatch)) << text.toStdString();
    }
  }
}

}  // namespace
}  // namespace play
