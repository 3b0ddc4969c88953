// Makes the manual's pictures in manual/ from the program itself, offscreen:
// - player.png, the player window of the first start with a name typed;
// - table.png, the table of a fixed game at the player's first turn with its
//   piles named and the player's name in the status bar;
// - menubar.png, the menu bar over the table;
// - speed.png, preferences.png, savedgames.png, scores.png and chat.png, the
//   windows as the menu rows and keys open them;
// - rules-moves.png, rules-first.png, rules-stop.png and rules-turnover.png,
//   the rules on the table: what may go where, the cards that decide who
//   goes first, a STOP message the table gives, and the Wastepile turned
//   over when the Hand has run out.
// It sets the size each page shows a picture at to the picture's shape.
// The game is dealt from a fixed seed on a fresh temporary home and every
// text in the pictures is fixed, so the same program and fonts give the same
// pictures.
//
// Usage: make_manual_pictures SOURCE_FOLDER   (the folder that holds Data/ and manual/)

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <array>
#include <cstdio>
#include <map>
#include <memory>

#include "dialogs/frm_name.h"
#include "dialogs/frm_options.h"
#include "dialogs/frm_save.h"
#include "dialogs/frm_scores.h"
#include "dialogs/menu_dialogs.h"
#include "dialogs/scores_owner.h"
#include "dialogs/small_dialogs.h"
#include "media/folders.h"
#include "media/mp3_playback.h"
#include "net/frm_chat.h"
#include "picture_out.h"
#include "platform/settings.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/version.h"
#include "play/game_program.h"
#include "play/joined_parts.h"
#include "play/window/frm_play.h"
#include "play/window/menu_commands.h"
#include "table/card.h"
#include "table/picture_box.h"

namespace {

// The pictures are taken offline, without the splash window and with no
// tutorial opening on the first start: the program is joined to these.
class OfflineParts : public play::TutorialWindow,
                     public play::NetworkPlay,
                     public play::OnlineGoodbye,
                     public play::OnlineExchange,
                     public play::OnlineRestoreCommand,
                     public table::BackgroundFollower,
                     public play::SplashWindow {
 public:
  void OpenTutorial() override {}
  bool LeaveTutorial() override { return true; }
  void EnableNextTip(bool) override {}
  void ShowTutorialNext() override {}
  void TutorialStockTurned() override {}
  void HideTutorialHand() override {}
  void MainWindowMinimised() override {}
  void MainWindowRestored() override {}
  void AppendTipText(const QString&) override {}
  void HidePointingHand() override {}
  void SetupInternet() override {}
  void LoadNetPlayerList() override {}
  void FollowMainWindow(bool) override {}
  void SayGoodbye() override {}
  void CloseNetFile() override {}
  bool HostGameStart() override { return false; }
  bool RemoteGameStart() override { return false; }
  void WhoseTurn() override {}
  bool Move_Transmit_PlayCard(const play::OnlineMove&) override { return false; }
  void Opponent(play::MoveServices&) override {}
  void SendEndGame(bool) override {}
  void ExchangeReset() override {}
  void AcknowledgeFinalMove() override {}
  void AppendResultToChat(const QString&) override {}
  void NetRestoreGame() override {}
  void FollowBackground(const QImage*, std::uint32_t) override {}
  void Show() override {}
  void Unload() override {}
  bool IsOpen() const override { return false; }
};

// The program with the windows its own menus open, built beside it.
struct ProgramWithWindows {
  explicit ProgramWithWindows(play::ProgramParts parts)
      : program(std::move(parts),
                play::JoinedParts{.tutorial = offline,
                                  .network = offline,
                                  .goodbye = offline,
                                  .exchange = offline,
                                  .onlineRestore = offline,
                                  .chat = offline,
                                  .splash = offline,
                                  .firstStart = platform::Later<play::FirstStartWindows>(dialogs),
                                  .dialogs = platform::Later<play::MenuDialogs>(dialogs),
                                  .scoresWindow = platform::Later<play::ScoresWindow>(scores),
                                  .preferencesWindow = platform::Later<play::PreferencesWindow>(preferences)}),
        dialogs(program.MenuWindowsParts()),
        scores(program.ScoresAccess(), &program.frmPlay()),
        preferences(program.Preferences(), program.menus(), &program.frmPlay()) {}

  OfflineParts offline;
  play::Program program;
  dialogs::Dialogs dialogs;
  dialogs::ScoresOwner scores;
  dialogs::PreferencesOwner preferences;
};

constexpr std::uint32_t kSampleSeed = 20261209;
constexpr char kPlayerName[] = "Robin";
constexpr int kScreenWidth = 1280, kScreenHeight = 1024;
const QColor kYours(255, 236, 120);
const QColor kTheirs(150, 210, 255);
const QColor kShared(255, 255, 255);

// A name in a dark box, with a line to the middle of the pile it names;
// the names of the columns stand right under them, without a line.
void Name(QPainter& p, const QRect& pile, const QString& text, const QColor& colour, QPoint at, bool line = true) {
  p.setPen(QPen(colour, 3));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(pile.adjusted(-3, -3, 3, 3), 6, 6);
  QFont font = p.font();
  font.setPixelSize(23);
  font.setBold(true);
  p.setFont(font);
  const QRect box =
      p.fontMetrics().boundingRect(QRect(0, 0, 1000, 1000), 0, text).adjusted(-8, -5, 8, 5).translated(at);
  const QPoint from = pile.center();
  const QPoint to(std::clamp(from.x(), box.left(), box.right()), std::clamp(from.y(), box.top(), box.bottom()));
  if (line && !pile.contains(to)) {
    p.setPen(QPen(colour, 3));
    p.drawLine(QLineF(from, to));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(20, 20, 20, 215));
  p.drawRoundedRect(box, 6, 6);
  p.setPen(colour);
  p.drawText(box, Qt::AlignCenter, text);
}

QRect Area(const std::initializer_list<table::PictureBox*> boxes) {
  QRect r;
  for (const table::PictureBox* b : boxes) r = r.united(b->geometry());
  return r;
}

QImage NamedTable(play::FrmPlay& w) {
  QImage shot = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
  QPainter p(&shot);
  p.setRenderHint(QPainter::Antialiasing);
  // Pile 1 of a side is its Hand, 2 its Reserve and 3 its Wastepile. Each
  // name stands where the table is bare: below the player's piles, beside
  // and below the opponent's.
  const auto pile = [](table::PictureBox* b) { return b->geometry(); };
  const QRect yourHand = pile(w.picPlayer[1]), yourReserve = pile(w.picPlayer[2]), yourWaste = pile(w.picPlayer[3]);
  const QRect theirHand = pile(w.picOpponent[1]), theirReserve = pile(w.picOpponent[2]),
              theirWaste = pile(w.picOpponent[3]);
  Name(p, yourHand, "Your Hand", kYours, QPoint(yourHand.left() - 15, yourHand.bottom() + 40));
  Name(p, yourWaste, "Your Wastepile", kYours, QPoint(yourWaste.left(), yourWaste.bottom() + 85));
  Name(p, yourReserve, "Your Reserve", kYours, QPoint(yourReserve.left() - 10, yourReserve.bottom() + 40));
  Name(p, theirReserve, "Opponent's\nReserve", kTheirs, QPoint(theirReserve.left() - 90, theirReserve.bottom() + 110));
  Name(p, theirWaste, "Opponent's Wastepile", kTheirs, QPoint(theirWaste.left() - 60, theirWaste.bottom() + 45));
  Name(p, theirHand, "Opponent's Hand", kTheirs, QPoint(theirHand.right() + 30, theirHand.center().y()));
  const QRect left = Area({w.picTableau[1], w.picTableau[2], w.picTableau[3], w.picTableau[4]});
  const QRect right = Area({w.picTableau[5], w.picTableau[6], w.picTableau[7], w.picTableau[8]});
  QRect centre;
  for (int i = 1; i <= 8; ++i) centre = centre.united(pile(w.picCenter[i]));
  Name(p, left, "Tableau", kShared, QPoint(left.left() - 10, left.bottom() + 60), false);
  Name(p, right, "Tableau", kShared, QPoint(right.left() - 10, right.bottom() + 60), false);
  Name(p, centre, "Center", kShared, QPoint(centre.center().x() - 35, centre.bottom() + 60), false);
  return shot;
}

// Card codes by suit (1 clubs, 2 diamonds, 3 hearts, 4 spades) and rank.
table::CardCode Card(int suit, int rank) {
  return static_cast<table::CardCode>((suit - 1) * table::kRanksPerSuit + rank);
}
constexpr int kClubs = 1, kDiamonds = 2, kHearts = 3, kSpades = 4;

// Runs `act` once on the first shown top-level window of type W. The
// program shows its windows inside waits that run events, so the check
// runs from a timer.
template <class W>
void WhenShown(QObject* owner, std::function<void(W&)> act) {
  auto* timer = new QTimer(owner);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, owner, [timer, act] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* window = dynamic_cast<W*>(w);
      if (!window || !window->isVisible()) continue;
      timer->stop();
      timer->deleteLater();
      act(*window);
      return;
    }
  });
  timer->start();
}

QImage Shot(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

// A numbered mark in a circle, as the pictures' captions count them.
void Number(QPainter& p, QPoint at, const QString& n, const QColor& colour) {
  p.setPen(QPen(Qt::black, 2));
  p.setBrush(colour);
  p.drawEllipse(at, 17, 17);
  QFont font = p.font();
  font.setPixelSize(22);
  font.setBold(true);
  p.setFont(font);
  p.drawText(QRect(at - QPoint(17, 17), QSize(34, 34)), Qt::AlignCenter, n);
}

// An arrow from one pile to another with its number half way.
void Arrow(QPainter& p, const QRect& from, const QRect& to, const QString& n, const QColor& colour) {
  const QLineF line(from.center(), to.center());
  p.setPen(QPen(colour, 6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(line);
  const QLineF back = QLineF(line.p2(), line.p1());
  for (const double turn : {28.0, -28.0}) {
    QLineF head = back;
    head.setLength(30);
    head.setAngle(back.angle() + turn);
    p.drawLine(head);
  }
  Number(p, line.pointAt(0.5).toPoint(), n, colour);
}

// A red cross over a pile that refuses the card.
void Cross(QPainter& p, const QRect& pile, const QString& n) {
  const QColor red(230, 40, 40);
  p.setPen(QPen(red, 8, Qt::SolidLine, Qt::RoundCap));
  const QRect r = pile.adjusted(12, 18, -12, -18);
  p.drawLine(r.topLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomLeft());
  Number(p, QPoint(pile.right() + 4, pile.top() + 4), n, red);
}

// Lays out the piles the rules pictures show, face up, for the player's turn.
void ShowPiles(play::Program& program, const std::function<void(table::PileArrays&)>& lay) {
  table::PileArrays& piles = program.pilesForNetwork();
  lay(piles);
  for (int side = 0; side < table::kSides; ++side)
    piles.ReserveFaceDown[side] = static_cast<std::int16_t>(std::max(0, piles.ReserveCount[side] - 1));
  program.frmPlay().RedrawTable();
}

// The part of a table picture the rules speak of: the piles and the
// message lines, without the bare right-hand side and the status bar.
QImage TablePart(const play::FrmPlay& w, const QImage& shot) {
  QRect r;
  for (const table::PictureBox* b : {w.picOpponent[1], w.picPlayer[1], w.picPlayer[2], w.picTableau[8]})
    r = r.united(b->geometry());
  return shot.copy(QRect(0, 0, r.right() + 60, r.bottom() + 85).intersected(shot.rect()));
}

// A table of the rules page: each side's Reserve with its top card, the
// Hands' counts and one card on each Tableau pile; nothing else.
void LayRulesTable(table::PileArrays& piles, std::array<std::int16_t, 2> reserveCount,
                   std::array<table::CardCode, 2> reserveTop, std::array<std::int16_t, 2> stockCount,
                   const std::array<table::CardCode, 8>& tableau) {
  piles = table::PileArrays{};
  piles.ReserveCount = reserveCount;
  for (int side = 0; side < 2; ++side) piles.Reserve[side][reserveCount[side]] = reserveTop[side];
  piles.StockCount = stockCount;
  for (int i = 1; i <= 8; ++i) {
    piles.TableauCount[i] = 1;
    piles.Tableau[i][1] = tableau[i - 1];
  }
}

// The four moves of the rules page: 1 a Reserve card onto the Tableau, 2 a
// Tableau card onto the Center, 3 a Tableau card onto the opponent's
// Reserve, and 4 the opponent's empty Wastepile refusing a card.
QImage RulesMoves(play::Program& program) {
  play::FrmPlay& w = program.frmPlay();
  ShowPiles(program, [](table::PileArrays& piles) {
    LayRulesTable(piles, {9, 11}, {Card(kHearts, 7), Card(kDiamonds, 5)}, {30, 31},
                  {Card(kSpades, 8), Card(kClubs, 4), Card(kDiamonds, 6), Card(kSpades, 12), Card(kHearts, 10),
                   Card(kClubs, 13), Card(kDiamonds, 2), Card(kClubs, 9)});
    piles.CenterCount[1] = 3;
    for (int r = 1; r <= 3; ++r) piles.Center[1][r] = Card(kClubs, r);
  });
  // The message of the deal is no part of this picture.
  w.SetLabel(table::TableLabel::lblMessage, QString());
  QImage shot = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
  {
    QPainter p(&shot);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor green(60, 200, 80);
    const auto at = [](table::PictureBox* b) { return b->geometry(); };
    Arrow(p, at(w.picPlayer[2]), at(w.picTableau[1]), "1", green);
    Arrow(p, at(w.picTableau[2]), at(w.picCenter[1]), "2", green);
    Arrow(p, at(w.picTableau[3]), at(w.picOpponent[2]), "3", green);
    Cross(p, at(w.picOpponent[3]), "4");
  }
  return TablePart(w, shot);
}

// The player's Reserve card fits a Center pile and the player clicks his
// Hand: the table refuses with its STOP message.
QImage RulesStop(play::Program& program) {
  play::FrmPlay& w = program.frmPlay();
  ShowPiles(program, [](table::PileArrays& piles) {
    LayRulesTable(piles, {10, 12}, {Card(kHearts, 2), Card(kSpades, 9)}, {31, 33},
                  {Card(kClubs, 11), Card(kDiamonds, 7), Card(kSpades, 3), Card(kHearts, 12), Card(kDiamonds, 13),
                   Card(kClubs, 5), Card(kSpades, 6), Card(kHearts, 9)});
    piles.CenterCount[3] = 1;
    piles.Center[3][1] = Card(kHearts, 1);
  });
  table::PictureBox* hand = w.picPlayer[1];
  emit hand->mouseDown(hand, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
  emit hand->mouseUp(hand, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
  QImage shot = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
  {
    QPainter p(&shot);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor green(60, 200, 80);
    Arrow(p, w.picPlayer[2]->geometry(), w.picCenter[3]->geometry(), "1", green);
    Cross(p, hand->geometry(), "2");
  }
  return TablePart(w, shot);
}

// The player's Hand has run out: a click on it turns the Wastepile over.
QImage RulesTurnOver(play::Program& program) {
  play::FrmPlay& w = program.frmPlay();
  ShowPiles(program, [](table::PileArrays& piles) {
    LayRulesTable(piles, {4, 7}, {Card(kSpades, 10), Card(kClubs, 6)}, {0, 14},
                  {Card(kHearts, 13), Card(kClubs, 10), Card(kSpades, 7), Card(kSpades, 5), Card(kClubs, 12),
                   Card(kHearts, 11), Card(kSpades, 13), Card(kClubs, 8)});
    piles.WasteCount = {12, 9};
    for (int i = 1; i <= 12; ++i) piles.Waste[0][i] = Card(kDiamonds, i);
    for (int i = 1; i <= 9; ++i) piles.Waste[1][i] = Card(kHearts, i);
  });
  w.SetLabel(table::TableLabel::lblMessage, QString());
  QImage shot = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
  {
    QPainter p(&shot);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect waste = w.picPlayer[3]->geometry(), hand = w.picPlayer[1]->geometry();
    // Over the top of the two piles, clear of their cards.
    const QColor green(60, 200, 80);
    p.setPen(QPen(green, 6, Qt::SolidLine, Qt::RoundCap));
    const QPointF from(waste.center().x(), waste.top() + 25), to(hand.center().x(), hand.top() + 25);
    QPainterPath arc(from);
    arc.cubicTo(from + QPointF(0, -130), to + QPointF(0, -130), to);
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    for (const double turn : {-35.0, 35.0}) {
      QLineF head(to, to + QPointF(0, -30));
      head.setAngle(head.angle() + turn);
      p.drawLine(head);
    }
    Number(p, QPoint((waste.center().x() + hand.center().x()) / 2, waste.top() - 72), "1", green);
  }
  return TablePart(w, shot);
}

// Who goes first: the two Reserve cards and, pair by pair, the Houses, the
// first card each side dealt onto the Tableau.
QImage RulesFirst(play::Program& program, const table::PileArrays& dealt) {
  play::FrmPlay& w = program.frmPlay();
  ShowPiles(program, [&dealt](table::PileArrays& piles) { piles = dealt; });
  QImage shot = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
  QPainter p(&shot);
  p.setRenderHint(QPainter::Antialiasing);
  static const char* const kNames[] = {"1st", "2nd", "3rd", "4th"};
  for (int house = 0; house < 4; ++house) {
    // The opponent's Houses are Tableau piles 1 to 4, the player's 8 to 5.
    const QRect theirs = w.picTableau[1 + house]->geometry();
    const QRect yours = w.picTableau[8 - house]->geometry();
    // On the card's face, clear of its corners' rank and suit.
    Name(p, theirs, kNames[house], kTheirs, QPoint(theirs.left() + 9, theirs.top() + 30), false);
    Name(p, yours, kNames[house], kYours, QPoint(yours.left() + 9, yours.top() + 30), false);
  }
  Name(p, w.picOpponent[2]->geometry(), "Opponent's\nReserve", kTheirs,
       QPoint(w.picOpponent[2]->geometry().left() - 90, w.picOpponent[2]->geometry().bottom() + 110));
  Name(p, w.picPlayer[2]->geometry(), "Your Reserve", kYours,
       QPoint(w.picPlayer[2]->geometry().left() - 20, w.picPlayer[2]->geometry().bottom() + 40));
  p.end();
  return TablePart(w, shot);
}

// The pages give each picture the size it is shown at: its own width up to
// the width of the pages' text, and the height of its own shape. A window
// that grows or shrinks keeps its picture's shape on the page.
constexpr int kPageWidth = 660;

bool FitPages(const QDir& folder, const std::map<QString, QSize>& sizes) {
  static const QRegularExpression img(R"re(<img src="([^"]+)"( alt="[^"]*") width="\d+" height="\d+">)re");
  bool ok = true;
  for (const QString& page : folder.entryList({"*.html"}, QDir::Files)) {
    QFile file(folder.filePath(page));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QString html = QString::fromUtf8(file.readAll());
    file.close();
    QString fitted;
    int from = 0;
    for (auto it = img.globalMatch(html); it.hasNext();) {
      const auto m = it.next();
      fitted += html.mid(from, m.capturedStart() - from);
      from = m.capturedEnd();
      const auto size = sizes.find(m.captured(1));
      if (size == sizes.end()) {
        fitted += m.captured(0);
        continue;
      }
      const int width = std::min(size->second.width(), kPageWidth);
      const int height = qRound(double(size->second.height()) * width / size->second.width());
      fitted += QStringLiteral(R"(<img src="%1"%2 width="%3" height="%4">)")
                    .arg(m.captured(1), m.captured(2))
                    .arg(width)
                    .arg(height);
    }
    fitted += html.mid(from);
    if (fitted == html) continue;
    ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(fitted.toUtf8()) >= 0 && ok;
    std::printf("%s: the pictures' sizes set\n", qPrintable(folder.filePath(page)));
  }
  return ok;
}
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const auto out = tools::OutputFolder(argc, argv, "manual");
  if (!out) return 1;
  // A fresh home: no players, scores or settings of anybody's.
  QTemporaryDir home;
  if (!home.isValid()) return 1;
  for (const char* var : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"})
    qputenv(var, (home.path() + "/" + var).toLocal8Bit());
  QApplication app(argc, argv);
  app.setApplicationName(platform::kProgramTitle);

  const QString source = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + "/";
  const auto folders = media::SetUpFolders(source);
  if (!folders || !media::CopySeedFiles(*folders).ok()) {
    std::fprintf(stderr, "cannot set up the folders under %s\n", qPrintable(home.path()));
    return 1;
  }
  play::ProgramParts parts;
  parts.folders = *folders;
  parts.screen.widthPixels = parts.screen.availWidth = kScreenWidth;
  parts.screen.heightPixels = kScreenHeight;
  parts.screen.availHeight = kScreenHeight - 40;
  parts.ui = std::make_unique<platform::SilentUi>();
  parts.sound = std::make_unique<platform::SilentSoundChannel>();
  // A silent player that can play: the status bar shows "Music", as on a
  // computer with sound, not the panel of a system without music.
  parts.musicPlayer = std::make_unique<media::SilentMusicPlayer>();
  parts.settingsStore = std::make_unique<platform::IniSettingsStore>(home.path() + "/XDG_CONFIG_HOME");
  parts.seed = kSampleSeed;
  parts.cardDeckRoot = home.path() + "/no-card-decks";  // the game's own deck only
  const platform::ScreenMetrics screen = parts.screen;
  ProgramWithWindows whole(std::move(parts));
  play::Program& program = whole.program;
  program.wait().SetTimeScale(0);

  bool ok = true;
  std::map<QString, QSize> sizes;
  const auto save = [&](const QImage& picture, const char* name) {
    ok = tools::Save(picture, *out, name) && ok;
    sizes[name] = picture.size();
  };

  // The first start asks for a player.
  WhenShown<dialogs::FrmName>(&app, [&](dialogs::FrmName& window) {
    window.Combo1->setEditText(kPlayerName);
    save(Shot(window), "player.png");
    window.cmdOK->click();
  });
  if (!program.Start()) {
    std::fprintf(stderr, "the program did not start\n");
    return 1;
  }
  play::FrmPlay& w = program.frmPlay();
  // The deal, and the computer's turn when it goes first, run to the
  // player's turn.
  w.cmdDeal->click();
  if (program.state().CurrentTurn != table::Turn::Local || program.player().PlayerName != kPlayerName) {
    std::fprintf(stderr, "the sample game is not at %s's turn\n", kPlayerName);
    return 1;
  }
  save(NamedTable(w), "table.png");
  const table::PileArrays dealt = program.piles();
  save(RulesFirst(program, dealt), "rules-first.png");

  // The menu bar comes down over the table; the picture shows its band.
  table::PictureBox* panel = w.picPanel;
  if (!panel->Picture().isNull()) panel->resize(panel->Picture().size());
  panel->raise();
  panel->show();
  const QImage bar = w.grab(QRect(QPoint(0, 0), panel->size() + QSize(40, 20))).toImage();
  save(bar.convertToFormat(QImage::Format_RGB32), "menubar.png");
  panel->hide();

  // The windows the menu keys open, each closed the way a user closes it.
  play::MenuCommands& menus = program.menus();
  WhenShown<dialogs::FrmSpeed>(&app, [&](dialogs::FrmSpeed& window) {
    save(Shot(window), "speed.png");
    window.Command1->click();
  });
  menus.OptionsMenu(play::kOptSpeed);
  WhenShown<dialogs::FrmOptions>(&app, [&](dialogs::FrmOptions& window) {
    window.tbsOptions->setCurrentIndex(2);  // Font and Background, with the text samples
    save(Shot(window), "preferences.png");
    window.cmdCancel->click();
  });
  menus.OptionsMenu(play::kOptPreferences);
  WhenShown<dialogs::FrmSave>(&app, [&](dialogs::FrmSave& window) {
    save(Shot(window), "savedgames.png");
    window.hide();
  });
  menus.GameMenu(play::kCmdRestore);
  WhenShown<dialogs::FrmScores>(&app, [&](dialogs::FrmScores& window) {
    save(Shot(window), "scores.png");
    window.close();
  });
  menus.GameMenu(play::kCmdScores);

  // The chat window of a player who joined a host, with a few lines of talk.
  {
    net::FrmChatParts chatParts;
    chatParts.UserPath = folders->UserPath;
    chatParts.DocsPath = folders->DocsPath;
    chatParts.ui = &program.ui();
    chatParts.AppPath = folders->AppPath;
    chatParts.DataPath = folders->DataPath;
    chatParts.screen = screen;
    chatParts.FontColor = program.player().FontColor;
    net::FrmChat chat(std::move(chatParts));
    chat.SetLog(
        QStringLiteral("MD: You are connected to Host: Sam\r\nSam: Hello %1, good luck!\r\n%1: Thanks, you too.")
            .arg(kPlayerName));
    chat.ShowBackground(program.backgrounds().Picture(), program.player().MatColor);
    chat.show();
    save(Shot(chat), "chat.png");
    chat.hide();
  }

  // The rules on the table, last: they lay out piles of their own.
  save(RulesMoves(program), "rules-moves.png");
  save(RulesStop(program), "rules-stop.png");
  save(RulesTurnOver(program), "rules-turnover.png");
  w.close();
  ok = FitPages(*out, sizes) && ok;
  return ok ? 0 : 1;
}
