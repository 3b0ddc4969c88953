#pragma once
// The scores window (frmScores): single games, matches, the twenty best
// games and the results against each opponent met online, on four tabs,
// with the maintenance buttons. The grids are read-only tables filled by
// the row builders; nothing here borrows the player in play or the score
// record in force as a read buffer.

#include <QDialog>
#include <array>

#include "dialogs/score_grids.h"
#include "dialogs/score_maintenance.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace dialogs {

class FrmScores : public QDialog {
  Q_OBJECT
 public:
  explicit FrmScores(ScoreFiles files, QWidget* parent = nullptr);

  void LoadTab(int TabNo);
  void PrintNames();
  void PrintMatches();
  void PrintMatch();
  void PrintNetNames(int RecNo);
  void PrintNetMatch();
  void NetComboFill();
  void HighStuff();
  void SetUpGridHigh();

  // Handlers.
  void SSTab1_Click(int tab);
  void cboNetPlayers_Click();
  void Grid_Click(QTableWidget* grid, int row, int col);
  void cmdMaintenance_Click(int index);
  void cmdNetMaintain_Click(int index);
  void cmdClear_Click();

  int SelectedPlayer = 0;  // the players-file record chosen in GridScores or GridMatches; 0 none

  QTabWidget* SSTab1 = nullptr;
  QLabel *lblScoresSingle = nullptr, *Label1 = nullptr;
  QTableWidget* GridScores = nullptr;
  QGroupBox* fraMaintain = nullptr;
  QLabel *lblScoresMatch = nullptr, *lblSelectMatch = nullptr, *lblMatch = nullptr;
  QTableWidget *GridMatches = nullptr, *GridMatch = nullptr;
  QGroupBox* fraMaintainMatch = nullptr;
  std::array<QPushButton*, 6> cmdMaintenance{};
  QTableWidget* GridHigh = nullptr;
  QPushButton* cmdClear = nullptr;
  QLabel* Image1 = nullptr;
  QLabel *lblChooseNet = nullptr, *lblNetName = nullptr, *lblNetScores = nullptr, *lblNetMatch = nullptr;
  QComboBox* cboNetPlayers = nullptr;
  QTableWidget *GridNetScores = nullptr, *GridNetMatch = nullptr;
  QGroupBox* fraNetMain = nullptr;
  std::array<QPushButton*, 4> cmdNetMaintain{};
  QLabel* LblNetMain = nullptr;

 private:
  void Show(const MaintenanceResult& result);
  void ShowReadError(const QString& path);
  void NoOpponents();
  void FitToTab(int tab);
  QString PlayerName() const { return files_.player.PlayerName; }

  ScoreFiles files_;
  bool filling_ = false;  // the combo is being filled in code
};

// Fills a grid from its content: row 0 the bold headings, sized to fit.
void FillGrid(QTableWidget* grid, const GridContent& content);

}  // namespace dialogs
