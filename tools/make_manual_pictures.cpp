// Makes the manual's pictures in manual/ from the program itself, offscreen:
// table.png, the table of a fixed game at the player's first turn with its
// piles named, and menubar.png, the menu bar over the table.
// The game is dealt from a fixed seed on a fresh temporary home, so the same
// program and fonts give the same pictures.
//
// Usage: make_manual_pictures SOURCE_FOLDER   (the folder that holds Data/ and manual/)

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "media/folders.h"
#include "picture_out.h"
#include "platform/settings.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "play/frm_play.h"
#include "play/game_program.h"
#include "table/picture_box.h"

namespace {

constexpr std::uint32_t kSampleSeed = 20261209;
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
  app.setApplicationName("Marrowdale");

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
  parts.ui = std::make_unique<platform::FakeUi>();
  parts.sound = std::make_unique<platform::FakeSoundChannel>();
  parts.settingsStore = std::make_unique<platform::IniSettingsStore>(home.path() + "/XDG_CONFIG_HOME");
  parts.seed = kSampleSeed;
  parts.cardDeckRoot = home.path() + "/no-card-decks";  // the game's own deck only
  play::Program program(std::move(parts));
  program.wait().SetTimeScale(0);
  if (!program.Start()) {
    std::fprintf(stderr, "the program did not start\n");
    return 1;
  }
  play::FrmPlay& w = program.frmPlay();
  // The deal, and the computer's turn when it goes first, run to the
  // player's turn.
  w.cmdDeal->click();
  if (program.state().CurrentTurn != 1) {
    std::fprintf(stderr, "the sample game is not at the player's turn\n");
    return 1;
  }
  bool ok = tools::Save(NamedTable(w), *out, "table.png");

  // The menu bar comes down over the table; the picture shows its band.
  table::PictureBox* panel = w.picPanel;
  if (!panel->Picture().isNull()) panel->resize(panel->Picture().size());
  panel->raise();
  panel->show();
  const QImage bar = w.grab(QRect(QPoint(0, 0), panel->size() + QSize(40, 20))).toImage();
  ok = tools::Save(bar.convertToFormat(QImage::Format_RGB32), *out, "menubar.png") && ok;
  panel->hide();
  w.close();
  return ok ? 0 : 1;
}
