#include "dialogs/frm_scores.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/recordfile.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "play/records/high_scores.h"
#include "play/records/players.h"
#include "play/state/connection_index.h"
#include "table/card_table.h"

namespace dialogs {

namespace {

constexpr int kCellPadding = 10;
constexpr int kNetScoresRowTip = 3;
inline constexpr char kPointsTip[] = "Highest points won in a single game";

Qt::Alignment AlignOf(CellAlign a) {
  switch (a) {
    case CellAlign::Center: return Qt::AlignCenter;
    case CellAlign::Right: return Qt::AlignRight | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

QTableWidget* NewGrid(const QString& name, QWidget* parent) {
  auto* grid = new QTableWidget(parent);
  grid->setObjectName(name);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->horizontalHeader()->hide();
  grid->verticalHeader()->hide();
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  grid->setMouseTracking(true);
  grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
  return grid;
}

QLabel* NewLabel(const QString& name, const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  return l;
}

}  // namespace

void FillGrid(QTableWidget* grid, const GridContent& g) {
  grid->clear();
  const int cols = static_cast<int>(g.columns.size());
  grid->setColumnCount(cols);
  grid->setRowCount(static_cast<int>(g.rows.size()) + 1);
  QFont bold = grid->font();
  bold.setBold(true);
  const QFontMetrics fmBold(bold);
  const QFontMetrics fm(grid->font());
  for (int c = 0; c < cols; ++c) {
    auto* head = new QTableWidgetItem(g.columns[c].heading);
    head->setFont(bold);
    head->setTextAlignment(AlignOf(g.columns[c].align));
    grid->setItem(0, c, head);
    // As wide as its heading, its longest allowed value and whatever it
    // holds now, and never narrower than a width it was given.
    int needed = std::max(fmBold.horizontalAdvance(g.columns[c].heading),
                          fm.horizontalAdvance(QString(g.columns[c].valueChars, u'W')));
    for (const auto& row : g.rows)
      if (c < static_cast<int>(row.size())) needed = std::max(needed, fmBold.horizontalAdvance(row[c].text));
    const int fixed = c < static_cast<int>(g.widthsTwips.size()) ? platform::TwipsToPixels(g.widthsTwips[c]) : 0;
    grid->setColumnWidth(c, std::max(fixed, needed + kCellPadding));
  }
  for (int r = 0; r < static_cast<int>(g.rows.size()); ++r) {
    for (int c = 0; c < cols && c < static_cast<int>(g.rows[r].size()); ++c) {
      const GridCell& cell = g.rows[r][c];
      auto* item = new QTableWidgetItem(cell.text);
      item->setTextAlignment(AlignOf(cell.align));
      if (cell.backColor) item->setBackground(table::ColorFromBgr(*cell.backColor));
      if (cell.heading) item->setBackground(grid->palette().button());
      grid->setItem(r + 1, c, item);
    }
  }
  int width = 2 * grid->frameWidth(), height = 2 * grid->frameWidth();
  for (int c = 0; c < cols; ++c) width += grid->columnWidth(c);
  for (int r = 0; r < grid->rowCount(); ++r) height += grid->rowHeight(r);
  grid->setFixedSize(width, height);
  grid->show();
}

namespace {

// A table with nothing to show is not shown at all.
void HideGrid(QTableWidget* grid) {
  grid->clear();
  grid->setRowCount(0);
  grid->hide();
}

}  // namespace

FrmScores::FrmScores(ScoreFiles files, QWidget* parent) : QDialog(parent), files_(std::move(files)) {
  setObjectName("frmScores");
  setWindowTitle("Scores and Stats");
  auto* outer = new QVBoxLayout(this);
  SSTab1 = new QTabWidget(this);
  SSTab1->setObjectName("SSTab1");
  outer->addWidget(SSTab1);

  // Tab 0: single games.
  auto* tab0 = new QWidget;
  auto* v0 = new QVBoxLayout(tab0);
  lblScoresSingle = NewLabel("lblScoresSingle", "Single Game Scores", tab0);
  GridScores = NewGrid("GridScores", tab0);
  Label1 = NewLabel("Label1", "", tab0);
  fraMaintain = new QGroupBox("Scoreboard Maintenance", tab0);
  fraMaintain->setObjectName("fraMaintain");
  auto* g0 = new QHBoxLayout(fraMaintain);
  for (int i = 0; i <= 3; ++i) {
    cmdMaintenance[i] = new QPushButton(MaintenanceCaption(i), fraMaintain);
    g0->addWidget(cmdMaintenance[i]);
  }
  cmdMaintenance[2]->setToolTip("Clear this player's scores");
  cmdMaintenance[3]->setToolTip("Clear every player's scores");
  v0->addWidget(lblScoresSingle);
  v0->addWidget(GridScores, 0, Qt::AlignHCenter);
  v0->addWidget(Label1);
  v0->addStretch();
  v0->addWidget(fraMaintain);
  SSTab1->addTab(tab0, "Single Games");

  // Tab 1: matches.
  auto* tab1 = new QWidget;
  auto* v1 = new QVBoxLayout(tab1);
  lblScoresMatch = NewLabel("lblScoresMatch", "Match Game Scores", tab1);
  GridMatches = NewGrid("GridMatches", tab1);
  lblSelectMatch = NewLabel("lblSelectMatch", "", tab1);
  lblMatch = NewLabel("lblMatch", "Last/Ongoing Match Game:", tab1);
  GridMatch = NewGrid("GridMatch", tab1);
  fraMaintainMatch = new QGroupBox("Matches Maintenance", tab1);
  fraMaintainMatch->setObjectName("fraMaintainMatch");
  auto* g1 = new QHBoxLayout(fraMaintainMatch);
  for (int i = 4; i <= 5; ++i) {
    cmdMaintenance[i] = new QPushButton(MaintenanceCaption(i), fraMaintainMatch);
    g1->addWidget(cmdMaintenance[i]);
  }
  v1->addWidget(lblScoresMatch);
  v1->addWidget(GridMatches, 0, Qt::AlignHCenter);
  v1->addWidget(lblSelectMatch);
  v1->addWidget(lblMatch);
  v1->addWidget(GridMatch, 0, Qt::AlignHCenter);
  v1->addStretch();
  v1->addWidget(fraMaintainMatch);
  SSTab1->addTab(tab1, "Matches");

  // Tab 2: high scores.
  auto* tab2 = new QWidget;
  auto* v2 = new QVBoxLayout(tab2);
  Image1 = NewLabel("Image1", "", tab2);
  GridHigh = NewGrid("GridHigh", tab2);
  cmdClear = new QPushButton("Clear High Scores", tab2);
  cmdClear->setObjectName("cmdClear");
  // The trophy stands beside the twenty places, not above them: the tallest
  // tab sets the height of all four.
  auto* h2 = new QHBoxLayout;
  h2->addWidget(Image1, 0, Qt::AlignTop);
  h2->addWidget(GridHigh);
  v2->addLayout(h2);
  v2->addWidget(cmdClear, 0, Qt::AlignHCenter);
  SSTab1->addTab(tab2, "High Scores");

  // Tab 3: online opponents.
  auto* tab3 = new QWidget;
  auto* v3 = new QVBoxLayout(tab3);
  auto* choose = new QHBoxLayout;
  lblChooseNet = NewLabel("lblChooseNet", "Choose Net Opponent:", tab3);
  cboNetPlayers = new QComboBox(tab3);
  cboNetPlayers->setObjectName("cboNetPlayers");
  cboNetPlayers->setToolTip("Choose Opponent to view Scores");
  choose->addWidget(lblChooseNet);
  choose->addWidget(cboNetPlayers, 1);
  lblNetScores = NewLabel("lblNetScores", "Internet scores for", tab3);
  lblNetName = NewLabel("lblNetName", "", tab3);
  GridNetScores = NewGrid("GridNetScores", tab3);
  lblNetMatch = NewLabel("lblNetMatch", "Last/Ongoing Internet Match Game:", tab3);
  GridNetMatch = NewGrid("GridNetMatch", tab3);
  fraNetMain = new QGroupBox("Internet Scoreboard Maintenance", tab3);
  fraNetMain->setObjectName("fraNetMain");
  auto* g3 = new QHBoxLayout(fraNetMain);
  for (int i = 0; i <= 3; ++i) {
    cmdNetMaintain[i] = new QPushButton(NetMaintainCaption(i), fraNetMain);
    g3->addWidget(cmdNetMaintain[i]);
  }
  cmdNetMaintain[2]->setToolTip("Clear your Scores with this Opponent");
  cmdNetMaintain[3]->setToolTip("Clear your Scores with ALL your Opponents");
  LblNetMain = NewLabel("LblNetMain", "", tab3);
  v3->addLayout(choose);
  v3->addWidget(lblNetScores);
  v3->addWidget(lblNetName);
  v3->addWidget(GridNetScores, 0, Qt::AlignHCenter);
  v3->addWidget(lblNetMatch);
  v3->addWidget(GridNetMatch, 0, Qt::AlignHCenter);
  v3->addStretch();
  v3->addWidget(LblNetMain);
  v3->addWidget(fraNetMain);
  SSTab1->addTab(tab3, "Internet");

  // The tabs show only their pictures; without them, their captions.
  const char* const tabPictures[] = {"scores-tab-single.png", "scores-tab-matches.png", "scores-tab-high.png",
                                     "scores-tab-internet.png"};
  for (int tab = 0; tab < 4; ++tab) {
    const QPixmap label(files_.picturesFolder + QString::fromLatin1(tabPictures[tab]));
    if (label.isNull()) continue;
    SSTab1->setIconSize(label.size());
    SSTab1->setTabIcon(tab, QIcon(label));
    SSTab1->setTabText(tab, QString());
  }
  Image1->setPixmap(QPixmap(files_.picturesFolder + QStringLiteral("scores-trophy.png")));
  // Every tab's picture shows; the window is as wide as the tab row needs.
  SSTab1->setUsesScrollButtons(false);

  for (int i = 0; i <= 5; ++i)
    connect(cmdMaintenance[i], &QPushButton::clicked, this, [this, i] { cmdMaintenance_Click(i); });
  for (int i = 0; i <= 3; ++i)
    connect(cmdNetMaintain[i], &QPushButton::clicked, this, [this, i] { cmdNetMaintain_Click(i); });
  connect(cmdClear, &QPushButton::clicked, this, [this] { cmdClear_Click(); });
  // The window has no default button: Enter never starts a deletion, and
  // Esc closes it.
  for (QPushButton* b : findChildren<QPushButton*>()) b->setAutoDefault(false);
  connect(SSTab1, &QTabWidget::currentChanged, this, [this](int tab) {
    SSTab1_Click(tab);
    FitToTab(tab);
  });
  connect(cboNetPlayers, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) cboNetPlayers_Click();
  });
  for (QTableWidget* grid : {GridScores, GridMatches})
    connect(grid, &QTableWidget::cellClicked, this, [this, grid](int r, int c) { Grid_Click(grid, r, c); });
  connect(GridScores, &QTableWidget::cellEntered, this,
          [this](int, int c) { GridScores->setToolTip(c == 4 ? QString::fromLatin1(kPointsTip) : QString()); });
  connect(GridNetScores, &QTableWidget::cellEntered, this, [this](int r, int c) {
    GridNetScores->setToolTip(c == 4                  ? QString::fromLatin1(kPointsTip)
                              : r == kNetScoresRowTip ? QStringLiteral("Matches played against your opponent")
                                                      : QString());
  });

  // Every tab is filled once, the last one shown first.
  for (int tab : {3, 2, 1, 0}) {
    const QSignalBlocker block(SSTab1);
    SSTab1->setCurrentIndex(tab);
    SSTab1_Click(tab);
  }
  PrintNames();
  FitToTab(SSTab1->currentIndex());
}

void FrmScores::FitToTab(int tab) {
  // As tall as the tab shown, so that a short tab stands over no empty
  // area left by a taller one; the width stays the widest tab's. The tab
  // widget's own height allows for its tallest page.
  SSTab1->setMinimumHeight(0);
  SSTab1->setMaximumHeight(QWIDGETSIZE_MAX);
  int tallest = 0;
  for (int i = 0; i < SSTab1->count(); ++i) tallest = std::max(tallest, SSTab1->widget(i)->sizeHint().height());
  const int shown = SSTab1->widget(tab) ? SSTab1->widget(tab)->sizeHint().height() : tallest;
  SSTab1->setFixedHeight(SSTab1->sizeHint().height() - tallest + shown);
  adjustSize();
}

void FrmScores::LoadTab(int TabNo) {
  if (TabNo == 3) {
    if (play::IsOnline(files_.NetConnIndex)) {
      for (QPushButton* b : cmdMaintenance) b->setEnabled(false);
      cmdNetMaintain[0]->setEnabled(false);
      cmdNetMaintain[1]->setEnabled(false);
    }
    SSTab1->setCurrentIndex(3);
  } else if (TabNo == 1) {
    SSTab1->setCurrentIndex(1);
    PrintMatch();
  }
}

void FrmScores::SSTab1_Click(int tab) {
  switch (tab) {
    case 0: PrintNames(); break;
    case 1:
      PrintMatches();
      PrintMatch();
      break;
    case 2: HighStuff(); break;
    case 3: {
      if (!files_.opponents || !files_.opponents->NetFileOpen()) {
        NoOpponents();
        break;
      }
      lblNetName->setText(PlayerName());
      fraNetMain->setEnabled(true);
      NetComboFill();
      const int entry = files_.net.NetScoreRecNo != 0 ? files_.net.NetScoreRecNo - 1 : 0;
      if (entry < cboNetPlayers->count()) {
        cboNetPlayers->setCurrentIndex(entry);
        cboNetPlayers_Click();
      }
      break;
    }
    default: break;
  }
}

void FrmScores::NoOpponents() {
  lblNetName->setText("No Internet games played by " + PlayerName());
  filling_ = true;
  cboNetPlayers->clear();
  cboNetPlayers->addItem("Opponent names");
  filling_ = false;
  HideGrid(GridNetScores);
  HideGrid(GridNetMatch);
  lblNetMatch->hide();
  fraNetMain->setEnabled(false);
}

void FrmScores::NetComboFill() {
  filling_ = true;
  cboNetPlayers->clear();
  if (files_.opponents)
    for (const QString& name : files_.opponents->NetPlayerNames()) cboNetPlayers->addItem(vb::TrimRecord(name));
  filling_ = false;
}

void FrmScores::cboNetPlayers_Click() {
  if (!files_.opponents || !files_.opponents->NetFileOpen()) return;
  const QStringList names = files_.opponents->NetPlayerNames();
  const QString text = cboNetPlayers->currentText();
  for (int i = 1; i <= names.size(); ++i) {
    if (vb::TrimRecord(names[i - 1]) == text) {
      PrintNetNames(i);
      PrintNetMatch();
      return;
    }
  }
}

namespace {

std::optional<play::ScoreRec> ReadOpponent(const play::NetScoreFile& net, int n) {
  if (!net.File || !net.File->IsOpen() || n < 1) return std::nullopt;
  const QByteArray bytes = net.File->Read(n);
  if (bytes.size() != play::kNetScoreRecordLength) return std::nullopt;
  return play::ScoreRec::Decode(bytes);
}

}  // namespace

void FrmScores::PrintNetNames(int RecNo) {
  const auto rec = ReadOpponent(files_.net, RecNo);
  if (!rec) {
    HideGrid(GridNetScores);
    return;
  }
  FillGrid(GridNetScores, PrintNetNamesRows(PlayerName(), *rec));
}

void FrmScores::PrintNetMatch() {
  const auto rec = ReadOpponent(files_.net, cboNetPlayers->currentIndex() + 1);
  if (!rec) {
    HideGrid(GridNetMatch);
    lblNetMatch->hide();
    return;
  }
  FillGrid(GridNetMatch, PrintNetMatchRows(PlayerName(), *rec));
  lblNetMatch->show();
}

void FrmScores::PrintNames() {
  const auto records = ReadPlayerRecords(files_.players);
  if (!records) return ShowReadError(files_.players.Path());
  FillGrid(GridScores, PrintNamesRows(*records));
}

void FrmScores::PrintMatches() {
  const auto records = ReadPlayerRecords(files_.players);
  if (!records) return ShowReadError(files_.players.Path());
  FillGrid(GridMatches, PrintMatchesRows(*records));
}

void FrmScores::PrintMatch() {
  const int cp = files_.player.CurrentPlayer;
  play::PlayerRecord current;
  if (play::IsPlayerRecordNumber(cp)) {
    const QByteArray bytes = files_.players.Read(cp);
    if (bytes.size() != play::kPlayerRecordLength) return ShowReadError(files_.players.Path());
    current = play::PlayerRecord::Decode(bytes);
  }
  FillGrid(GridMatch, PrintMatchRows(current));
  lblMatch->setText(MatchLabelText(current));
}

void FrmScores::SetUpGridHigh() { FillGrid(GridHigh, HighStuffRows({})); }

void FrmScores::HighStuff() {
  // A damaged file is kept aside by the read; the list then shows empty.
  const play::HighScoreFile read = play::ReadHighScoreFile(files_.highScorePath);
  FillGrid(GridHigh, HighStuffRows({read.list.begin(), read.list.end()}));
  const QString text = read.Text(files_.highScorePath);
  if (!text.isEmpty()) files_.ui.MsgBox(text, platform::vbExclamation, "Scores");
}

void FrmScores::ShowReadError(const QString& path) {
  files_.ui.MsgBox("The scores could not be read from\n" + path, platform::vbExclamation, "Scores");
}

void FrmScores::Grid_Click(QTableWidget* grid, int row, int col) {
  (grid == GridScores ? Label1 : lblSelectMatch)->clear();
  SelectedPlayer = 0;
  if (col == 0 && row >= 1) SelectedPlayer = row;
}

void FrmScores::Show(const MaintenanceResult& result) {
  switch (result.label) {
    case MessageLabel::Label1: Label1->setText(result.message); break;
    case MessageLabel::lblSelectMatch: lblSelectMatch->setText(result.message); break;
    case MessageLabel::LblNetMain: LblNetMain->setText(result.message); break;
    case MessageLabel::None: break;
  }
}

void FrmScores::cmdMaintenance_Click(int index) {
  QTableWidget* grid = index >= 4 ? GridMatches : GridScores;
  const QTableWidgetItem* cell = grid->currentItem();
  const bool cellEmpty = !cell || cell->text().trimmed().isEmpty();
  const MaintenanceResult result = dialogs::cmdMaintenance(files_, index, SelectedPlayer, cellEmpty);
  Show(result);
  if (!result.done) return;
  SelectedPlayer = 0;
  PrintNames();
  PrintMatches();
  PrintMatch();
}

void FrmScores::cmdNetMaintain_Click(int index) {
  const int listIndex = files_.opponents && files_.opponents->NetFileOpen() ? cboNetPlayers->currentIndex() : -1;
  const MaintenanceResult result = dialogs::cmdNetMaintain(files_, index, listIndex);
  if (result.done && (index == 0 || index == 1)) {
    SSTab1_Click(3);
  } else if (result.done) {
    PrintNetNames(index == 3 ? 1 : listIndex + 1);
    PrintNetMatch();
  }
  Show(result);
}

void FrmScores::cmdClear_Click() {
  if (dialogs::cmdClear(files_).done) SetUpGridHigh();
}

}  // namespace dialogs
