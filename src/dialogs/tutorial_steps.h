#pragma once
// The steps of the tutorial file "tutorial.txt": one step a line, its text
// with "~" for a paragraph break, and optionally a directive from the first
// "<" on that points the hands at piles, unlocks them or shows the rules.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace dialogs {

inline constexpr char kTutorialFileName[] = "tutorial.txt";
inline constexpr char kParagraphBreak[] = "\r\n\r\n";

// A pile a directive names: "P" the learner's (1 Stock, 2 Reserve, 3 Waste),
// "T" a Tableau pile (1..8), "O" the opponent's (1..3, second letter only).
enum class TipPile { Player, Tableau, Opponent };

struct TipTarget {
  TipPile pile = TipPile::Player;
  int number = 0;
  bool operator==(const TipTarget&) const = default;
};

enum class TipKind {
  Plain,      // no directive: the text alone
  Piles,      // "P" or "T" first: the learner makes a move
  Rules,      // any other first letter: the rules panel, Next enabled
  Malformed,  // a directive that cannot be read: the text alone, Next enabled
};

struct TutorialStep {
  QString text;  // what the window shows, "~" made paragraph breaks
  TipKind kind = TipKind::Plain;
  TipTarget first;                  // Piles: the pile the learner uses
  std::optional<TipTarget> second;  // Piles: a Tableau pile unlocked too, or an opponent pile pointed at
  bool operator==(const TutorialStep&) const = default;
};

// Reads one line of the tutorial file. The directive is read by position:
// first letter, first digit, second letter, second digit, each two
// characters after the one before.
TutorialStep ReadTutorialStep(const QString& line);

// The lines of a tutorial file (UTF-8, CR LF or LF line ends; a line break
// at the end adds no step). Empty when the file does not exist or cannot be
// read.
std::optional<QStringList> ReadTutorialFile(const QString& path);

// Where the tutorial window goes, in screen pixels: at `wanted` when there
// it lies on the screen and covers none of `keepFree` (the table's title
// bar, the piles the hands point at) and none of `ratherFree` (the piles a
// move may go to); otherwise at the nearest place that does, or failing
// that the nearest that leaves `keepFree` alone. With no such place
// anywhere, `wanted` moved onto the screen.
QPoint TutorialWindowPlace(QPoint wanted, QSize window, const QRect& screen, const std::vector<QRect>& keepFree,
                           const std::vector<QRect>& ratherFree = {});

// What of the table the tutorial window keeps in sight while a step shows,
// in screen pixels, from what matters most to what matters least.
struct TutorialSights {
  std::vector<QRect> pointedAt;    // the table's title bar and the piles the hands point at
  std::vector<QRect> sidePiles;    // both sides' Hand, Reserve and Wastepile
  std::vector<QRect> marks;        // the turn markers, the Deal button, the rules panel, where shown
  std::vector<QRect> sharedPiles;  // the Center piles and the Tableau piles a move may go to
};

// The pile a hand points at: hand 0 points down at what is under it, hand 1
// up at the pile above it. `hand` is the hand's picture.
QRect PointedAt(const QRect& hand, bool pointsDown);

// Where the tutorial window goes: at `wanted` when there it lies on the
// screen clear of every sight; otherwise at the nearest place that is,
// giving up first the shared piles, then the marks, then the side piles
// where no place keeps them all in sight.
QPoint TutorialWindowPlace(QPoint wanted, QSize window, const QRect& screen, const TutorialSights& sights);

}  // namespace dialogs
