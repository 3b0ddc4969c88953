#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>

#include "dialogs/frm_scores.h"
#include "dialogs/score_grids.h"
#include "dialogs/score_maintenance.h"
#include "platform/recordfile.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "play/game/game_over.h"
#include "play/records/high_scores.h"
#include "play/records/players.h"
#include "support/fake_ui.h"
#include "support/temp_home.h"
#include "table/fake_table_view.h"

using namespace dialogs;

namespace {

play::PlayerRecord Named(const QString& name, std::int16_t played = 0, std::int16_t won = 0) {
  play::PlayerRecord r;
  r.Name = name.leftJustified(play::kNameWidth, ' ');
  r.Scores.SinglePlayed = played;
  r.Scores.SingleWon = won;
  r.Scores.BestWin = static_cast<std::int16_t>(won * 10);
  return r;
}

play::ScoreRec Opponent(const QString& name, std::int16_t played, std::int16_t won) {
  play::ScoreRec s;
  s.OpponentName = name.leftJustified(20, ' ');
  s.SinglePlayed = played;
  s.SingleWon = won;
  s.BestWin = 55;
  s.BestLoss = 44;
  s.MatchesPlayed = 3;
  s.MatchesWon = 1;
  return s;
}

class FakeOpponents : public OpponentList {
 public:
  explicit FakeOpponents(platform::RecordFile& file) : file_(file) {}
  bool NetFileOpen() const override { return file_.IsOpen(); }
  QStringList NetPlayerNames() const override { return names; }
  void LoadNetPlayerList() override {
    names.clear();
    for (int i = 1;; ++i) {
      const QString n = vb::TrimRecord(play::ScoreRec::Decode(file_.Read(i)).OpponentName);
      if (n.isEmpty()) break;
      names << n;
    }
  }
  QString DeleteNetFile() override {
    QFile file(file_.Path());
    file_.Close();
    names.clear();
    return file.remove() ? QString() : file.errorString();
  }
  QStringList names;

 private:
  platform::RecordFile& file_;
};

// A players file with ten places, the settings record and the template, an
// opponents file and the state the maintenance keeps consistent with them.
struct ScoreRig {
  QTemporaryDir dir;
  platform::RecordFile players;
  platform::RecordFile netFile;
  play::PlayerSettings player;
  play::ScoreState scores;
  play::ScoreStore store;
  play::NetScoreFile net;
  std::int16_t NetConnIndex = 0;
  testing_support::FakeTableView view;
  platform::FakeUi ui;
  FakeOpponents opponents{netFile};

  ScoreRig() {
    EXPECT_TRUE(players.Open(dir.path() + "/players4.sav", play::kPlayerRecordLength));
    play::PlayerRecord settings;
    settings.Name = QString(20, 'S');
    play::PlayerRecord templ = Named("");
    templ.TextFontSize = 13;
    players.Write(play::kSettingsRecord, settings.Encode());
    players.Write(play::kTemplateRecord, templ.Encode());
    net.File = &netFile;
    store.Player = &player.Player;
    store.CurrentPlayer = &player.CurrentPlayer;
    store.PlayersFile = &players;
    store.NetConnIndex = &NetConnIndex;
    store.Net = &net;
  }
  void Put(int n, const play::PlayerRecord& r) { players.Write(n, r.Encode()); }
  play::PlayerRecord Get(int n) { return play::PlayerRecord::Decode(players.Read(n)); }
  void Become(int n) {
    player.CurrentPlayer = static_cast<std::int16_t>(n);
    player.Player = Get(n);
    player.PlayerName = vb::TrimRecord(player.Player.Name);
    play::LoadScoreRec(scores, store);
  }
  void OpenOpponents(const std::vector<play::ScoreRec>& recs) {
    ASSERT_TRUE(netFile.Open(dir.path() + "/Me.net", play::kNetScoreRecordLength));
    for (int i = 0; i < static_cast<int>(recs.size()); ++i) netFile.Write(i + 1, recs[i].Encode());
    opponents.LoadNetPlayerList();
  }
  ScoreFiles Files() {
    return ScoreFiles{players,
                      player,
                      scores,
                      store,
                      net,
                      NetConnIndex,
                      view,
                      ui,
                      &opponents,
                      dir.path() + "/highscore.sav",
                      SourceFile("Data/pictures/")};
  }
  QByteArray Bytes(const QString& name) {
    QFile f(dir.path() + "/" + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
};

}  // namespace

TEST(ScoreGrids, FormatAndRowBuilders) {
  const auto cols = ParseGridFormat(kMatchesFormat);
  ASSERT_EQ(cols.size(), 4u);
  EXPECT_EQ(cols[0].align, CellAlign::Left);
  EXPECT_EQ(cols[1].align, CellAlign::Center);
  EXPECT_EQ(cols[1].heading, " # Matches ");
  EXPECT_EQ(ParseGridFormat(kHighFormat)[0].heading, "    ");

  // Records 1, 2 and 4 named: row 3 stays empty.
  PlayerRecords records;
  records[0] = Named("Ann", 10, 4);
  records[1] = Named("Bob", 3, 3);
  records[3] = Named("Dee", 1, 0);
  const GridContent names = PrintNamesRows(records);
  EXPECT_EQ(names.Cell(1, 0).text, "Ann");
  EXPECT_EQ(names.Cell(1, 2).text, "6  ");  // losses, right-aligned with two blanks
  EXPECT_EQ(names.Cell(1, 2).align, CellAlign::Right);
  EXPECT_EQ(names.Cell(1, 4).text, "40  ");
  EXPECT_TRUE(names.Cell(3, 0).text.isEmpty());
  EXPECT_TRUE(names.Cell(3, 1).text.isEmpty());
  EXPECT_EQ(names.Cell(4, 0).text, "Dee");

  // Match colours: running pale yellow, ended pale green, never white.
  play::PlayerRecord p = Named("Ann");
  EXPECT_EQ(PrintMatchRows(p).Cell(1, 4).backColor, kNoMatchColor);
  p.Scores.MatchGames = 2;
  p.Scores.MatchTarget = 100;
  p.Scores.MatchScore = 60;
  EXPECT_EQ(PrintMatchRows(p).Cell(2, 4).backColor, kRunningMatchColor);
  p.Scores.OppMatchScore = 100;
  const GridContent ended = PrintMatchRows(p);
  EXPECT_EQ(ended.Cell(1, 4).backColor, kEndedMatchColor);
  EXPECT_EQ(ended.Cell(1, 0).text, "Ann                 ");  // the name as stored
  EXPECT_EQ(ended.Cell(2, 0).text, "Opponent");
  EXPECT_EQ(ended.Cell(2, 3).text, "100");
  EXPECT_EQ(MatchLabelText(p), "Last/Ongoing Match for Ann:");

  // The opponent's row mirrors the player's: his losses are the player's wins.
  const GridContent net = PrintNetNamesRows("Me", Opponent("Zed", 9, 5));
  EXPECT_EQ(net.Cell(1, 2).text, "4");
  EXPECT_EQ(net.Cell(1, 3).text, "5");
  EXPECT_EQ(net.Cell(2, 0).text, "Zed");
  EXPECT_EQ(net.Cell(2, 2).text, "5");
  EXPECT_EQ(net.Cell(2, 3).text, "4");
  EXPECT_EQ(net.Cell(2, 4).text, "44");
  EXPECT_TRUE(net.Cell(3, 1).heading);
  EXPECT_EQ(net.Cell(4, 2).text, "2");

  // A cleared place (date 0) shows its rank only; places 2.. are pale cyan.
  std::vector<play::HighScoreRecord> high(20);
  high[0].PlayedOn = vb::ToOleDate(QDateTime(QDate(2026, 3, 7), QTime(0, 0)));
  high[0].WinnerName = QString("Ann").leftJustified(20, ' ');
  high[0].Points = 91;
  high[0].GameTime = 0.5 + 1.0 / 24 / 60 * 3;  // 12:03:00
  const GridContent hs = HighStuffRows(high);
  EXPECT_EQ(hs.Cell(1, 0).text, " 1");
  EXPECT_EQ(hs.Cell(1, 1).text, "03/07/26");
  EXPECT_EQ(hs.Cell(1, 4).text, "12:03:00  ");
  EXPECT_FALSE(hs.Cell(1, 1).backColor);
  EXPECT_EQ(hs.Cell(2, 0).text, " 2");
  EXPECT_TRUE(hs.Cell(2, 1).text.isEmpty());
  EXPECT_EQ(hs.Cell(2, 1).backColor, kHighScoreRowColor);
}

TEST(ScoreMaintenance, DeletingShiftsPlayersAndKeepsTheCurrentOne) {
  ScoreRig rig;
  for (int n = 1; n <= 8; ++n) rig.Put(n, Named(QString("P%1").arg(n), static_cast<std::int16_t>(n)));
  rig.Become(7);
  const QByteArray settings = rig.players.Read(11), templ = rig.players.Read(12);
  auto files = rig.Files();

  // Nothing chosen: told, and nothing read or written.
  const QByteArray before = rig.Bytes("players4.sav");
  EXPECT_EQ(cmdMaintenance(files, 0, 0, true).message, "Select a player");
  EXPECT_EQ(rig.ui.beeps, 1);
  // Yourself: refused.
  cmdMaintenance(files, 0, 7, false);
  EXPECT_EQ(rig.ui.boxes.back().title, "DELETE");
  // No to the question leaves the file byte-identical.
  for (int index = 0; index <= 5; ++index) {
    rig.ui.QueueAnswer(platform::vbNo);
    EXPECT_FALSE(cmdMaintenance(files, index, 3, false).done);
  }
  EXPECT_EQ(rig.ui.boxes.back().text, "Are you sure you want to Clear ALL Match Scores?");
  EXPECT_EQ(rig.ui.boxes.back().style & platform::vbDefaultButton2, platform::vbDefaultButton2);
  EXPECT_EQ(rig.Bytes("players4.sav"), before);

  const MaintenanceResult r = cmdMaintenance(files, 0, 3, false);
  EXPECT_TRUE(r.done);
  EXPECT_EQ(r.message, "Player removed!");
  EXPECT_EQ(rig.player.CurrentPlayer, 6);
  EXPECT_EQ(vb::TrimRecord(rig.Get(3).Name), "P4");
  EXPECT_EQ(vb::TrimRecord(rig.Get(6).Name), "P7");
  EXPECT_EQ(vb::TrimRecord(rig.Get(8).Name), "");
  EXPECT_EQ(vb::TrimRecord(rig.Get(10).Name), "");
  EXPECT_EQ(rig.Get(10).TextFontSize, 13);  // the blank record is the template
  EXPECT_EQ(vb::TrimRecord(rig.player.Player.Name), "P7");
  EXPECT_EQ(rig.scores.CurrentScores.SinglePlayed, 7);
  EXPECT_EQ(rig.players.Read(11), settings);
  EXPECT_EQ(rig.players.Read(12), templ);
}

TEST(ScoreMaintenance, DeleteAllAndClearingMatchesEndARunningMatch) {
  ScoreRig rig;
  for (int n = 1; n <= 5; ++n) {
    play::PlayerRecord p = Named(QString("P%1").arg(n), 4, 2);
    p.Scores.MatchesPlayed = 2;
    p.Scores.MatchGames = 1;
    p.Scores.MatchTarget = 100;
    p.Scores.MatchInProgress = 1;
    rig.Put(n, p);
  }
  rig.Become(2);
  rig.scores.MatchOn = true;
  auto files = rig.Files();

  // Clearing another player's matches leaves the running match alone.
  EXPECT_TRUE(cmdMaintenance(files, 4, 3, false).done);
  EXPECT_TRUE(rig.scores.MatchOn);
  EXPECT_EQ(rig.Get(3).Scores.MatchesPlayed, 0);
  EXPECT_EQ(rig.Get(3).Scores.MatchGames, 0);
  // Clearing one's own ends it.
  EXPECT_TRUE(cmdMaintenance(files, 4, 2, false).done);
  EXPECT_FALSE(rig.scores.MatchOn);
  EXPECT_EQ(rig.scores.CurrentScores.MatchInProgress, 0);

  rig.Put(4, Named("P4", 4, 2));
  rig.Become(4);
  rig.scores.MatchOn = true;
  const QByteArray templ = rig.players.Read(12);
  const MaintenanceResult r = cmdMaintenance(files, 1, 0, true);
  EXPECT_EQ(r.message, "All is forgotten.");
  EXPECT_FALSE(rig.scores.MatchOn);
  EXPECT_EQ(rig.player.CurrentPlayer, 1);
  EXPECT_EQ(vb::TrimRecord(rig.Get(1).Name), "P4");
  const play::ScoreRec own = rig.Get(1).Scores;
  EXPECT_EQ(own.SinglePlayed, 0);
  EXPECT_EQ(own.MatchesPlayed, 0);
  EXPECT_EQ(own.MatchGames, 0);
  EXPECT_EQ(rig.scores.CurrentScores.SinglePlayed, 0);
  for (int n = 2; n <= 10; ++n) EXPECT_EQ(vb::TrimRecord(rig.Get(n).Name), "") << n;
  EXPECT_EQ(rig.players.Read(12), templ);
}

TEST(ScoreMaintenance, OpponentsNeedAChoiceAndDeletingTheLastBlanksHim) {
  ScoreRig rig;
  rig.Put(1, Named("Me"));
  rig.Become(1);
  auto files = rig.Files();
  // No opponents file: no record is touched.
  EXPECT_EQ(cmdNetMaintain(files, 2, 0).message, "Select a player");
  EXPECT_EQ(rig.ui.beeps, 1);

  rig.OpenOpponents({Opponent("Ann", 5, 2), Opponent("Bob", 6, 3), Opponent("Cy", 2, 1)});
  const QByteArray before = rig.Bytes("Me.net");
  EXPECT_EQ(cmdNetMaintain(files, 0, -1).message, "Select a player");
  rig.NetConnIndex = 5;  // online: no deleting, even before the question
  cmdNetMaintain(files, 1, 0);
  EXPECT_EQ(rig.ui.boxes.back().title, "Online Game");
  rig.NetConnIndex = 0;
  rig.ui.QueueAnswer(platform::vbNo);
  cmdNetMaintain(files, 3, 0);
  EXPECT_EQ(rig.Bytes("Me.net"), before);

  EXPECT_EQ(cmdNetMaintain(files, 2, 1).message, "Scores removed!");
  const play::ScoreRec bob = play::ScoreRec::Decode(rig.netFile.Read(2));
  EXPECT_EQ(bob.SinglePlayed, 0);
  EXPECT_EQ(vb::TrimRecord(bob.OpponentName), "Bob");

  EXPECT_TRUE(cmdNetMaintain(files, 0, 0).done);  // Ann goes, the others move up
  EXPECT_EQ(rig.opponents.names, (QStringList{"Bob", "Cy"}));
  EXPECT_TRUE(cmdNetMaintain(files, 0, 1).done);  // the last one is blanked
  EXPECT_EQ(rig.opponents.names, (QStringList{"Bob"}));
  EXPECT_EQ(rig.netFile.RecordCount(), 3);

  EXPECT_EQ(cmdNetMaintain(files, 1, 0).message, "All NET Opponents Deleted.");
  EXPECT_FALSE(QFile::exists(rig.dir.path() + "/Me.net"));
}

TEST(ScoreMaintenance, ClearingHighScoresWritesTwentyOnePlaces) {
  ScoreRig rig;
  auto files = rig.Files();
  rig.ui.QueueAnswer(platform::vbNo);
  EXPECT_FALSE(cmdClear(files).done);
  EXPECT_FALSE(QFile::exists(rig.dir.path() + "/highscore.sav"));
  EXPECT_TRUE(cmdClear(files).done);
  EXPECT_EQ(rig.ui.boxes.back().title, "Delete High Scores");
  EXPECT_EQ(rig.Bytes("highscore.sav").size(), 21 * play::kHighScoreRecordLength);
  // The cleared places are a sound, empty list.
  const play::HighScoreFile read = play::ReadHighScoreFile(rig.dir.path() + "/highscore.sav");
  ASSERT_EQ(read.state, play::HighScoreFile::State::Read) << read.reason.toStdString();
  EXPECT_EQ(read.list[0].PlayedOn, 0.0);
  EXPECT_EQ(read.list[0].WinnerName, QString(20, ' '));
}

TEST(ScoresWindow, TabsFillAndMaintenanceRefreshes) {
  ScoreRig rig;
  rig.Put(1, Named("Ann", 10, 4));
  rig.Put(2, Named("Bob", 3, 3));
  rig.Become(2);
  FrmScores window(rig.Files());
  EXPECT_EQ(window.GridScores->item(1, 0)->text(), "Ann");
  EXPECT_EQ(window.GridScores->item(0, 1)->text(), "Games Played ");
  EXPECT_TRUE(window.GridScores->item(0, 1)->font().bold());
  // No opponents file: tab 3 says so and its buttons cannot be used.
  EXPECT_EQ(window.lblNetName->text(), "No Internet games played by Bob");
  EXPECT_EQ(window.cboNetPlayers->count(), 1);
  EXPECT_EQ(window.cboNetPlayers->itemText(0), "Opponent names");
  EXPECT_FALSE(window.fraNetMain->isEnabled());
  window.LoadTab(2);  // selects nothing
  EXPECT_EQ(window.SSTab1->currentIndex(), 0);
  window.LoadTab(1);
  EXPECT_EQ(window.SSTab1->currentIndex(), 1);
  EXPECT_EQ(window.lblMatch->text(), "Last/Ongoing Match for Bob:");

  // A click on a name chooses the player; the button then clears his scores.
  window.SSTab1->setCurrentIndex(0);
  window.GridScores->setCurrentCell(1, 0);
  window.Grid_Click(window.GridScores, 1, 0);
  EXPECT_EQ(window.SelectedPlayer, 1);
  window.cmdMaintenance[2]->click();
  EXPECT_EQ(window.Label1->text(), "Scores removed!");
  EXPECT_EQ(window.GridScores->item(1, 1)->text(), "0  ");
  EXPECT_EQ(window.SelectedPlayer, 0);

  window.resize(640, 480);
  for (int tab = 0; tab <= 3; ++tab) {
    window.SSTab1->setCurrentIndex(tab);
    window.grab().save(QString(MARROWDALE_BINARY_DIR) + QString("/scores_tab%1.png").arg(tab));
  }
}
