#include "dialogs/tutorial_steps.h"

#include <QFile>
#include <algorithm>
#include <iterator>

#include "table/piles.h"
#include "table/table_geometry.h"

namespace dialogs {

namespace {

constexpr int kFirstLetter = 1;  // characters after the "<"
constexpr int kFirstNumber = 3;
constexpr int kSecondLetter = 5;
constexpr int kSecondNumber = 7;
constexpr int kLastPlayerPile = 3;

std::optional<int> DigitAt(const QString& s, qsizetype at) {
  if (at >= s.size() || !s.at(at).isDigit()) return std::nullopt;
  const int d = s.at(at).digitValue();
  return d >= 0 && d <= 9 ? std::optional<int>(d) : std::nullopt;
}

int LastPile(TipPile pile) { return pile == TipPile::Tableau ? table::kSharedPiles : kLastPlayerPile; }

// A number outside its pile's range would point past the table's controls.
std::optional<TipTarget> Target(TipPile pile, std::optional<int> number) {
  if (!number || *number < 1 || *number > LastPile(pile)) return std::nullopt;
  return TipTarget{pile, *number};
}

}  // namespace

TutorialStep ReadTutorialStep(const QString& line) {
  TutorialStep step;
  const qsizetype p = line.indexOf(QLatin1Char('<'));
  step.text = (p < 0 ? line : line.left(p));
  step.text.replace(QLatin1Char('~'), QLatin1String(kParagraphBreak));
  if (p < 0) return step;

  step.kind = TipKind::Malformed;
  if (p + kFirstLetter >= line.size()) return step;
  const QChar l1 = line.at(p + kFirstLetter);
  if (l1 != QLatin1Char('P') && l1 != QLatin1Char('T')) {
    step.kind = TipKind::Rules;
    return step;
  }
  const auto first =
      Target(l1 == QLatin1Char('P') ? TipPile::Player : TipPile::Tableau, DigitAt(line, p + kFirstNumber));
  if (!first) return step;

  std::optional<TipTarget> second;
  if (p + kSecondLetter < line.size()) {
    const QChar l2 = line.at(p + kSecondLetter);
    if (l2 == QLatin1Char('T') || l2 == QLatin1Char('O')) {
      second = Target(l2 == QLatin1Char('T') ? TipPile::Tableau : TipPile::Opponent, DigitAt(line, p + kSecondNumber));
      if (!second) return step;
    }
  }
  step.kind = TipKind::Piles;
  step.first = *first;
  step.second = second;
  return step;
}

namespace {

// The place nearest `wanted` where the window lies on the screen and covers
// none of `free`; on a fine grid when `wanted` itself is not such a place.
std::optional<QPoint> NearestClearPlace(QPoint wanted, QSize window, const QRect& screen,
                                        const std::vector<QRect>& free) {
  const auto fits = [&](QPoint at) {
    const QRect r(at, window);
    if (!screen.contains(r)) return false;
    for (const QRect& k : free)
      if (r.intersects(k)) return false;
    return true;
  };
  if (fits(wanted)) return wanted;
  constexpr int kStep = 4;
  std::optional<QPoint> best;
  long long bestDistance = 0;
  for (int y = screen.top(); y + window.height() <= screen.bottom() + 1; y += kStep) {
    for (int x = screen.left(); x + window.width() <= screen.right() + 1; x += kStep) {
      const long long dx = x - wanted.x(), dy = y - wanted.y(), distance = dx * dx + dy * dy;
      if (best && distance >= bestDistance) continue;
      if (!fits({x, y})) continue;
      best = QPoint(x, y);
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace

QPoint TutorialWindowPlace(QPoint wanted, QSize window, const QRect& screen, const std::vector<QRect>& keepFree,
                           const std::vector<QRect>& ratherFree) {
  std::vector<QRect> all = keepFree;
  all.insert(all.end(), ratherFree.begin(), ratherFree.end());
  if (const auto at = NearestClearPlace(wanted, window, screen, all)) return *at;
  if (const auto at = NearestClearPlace(wanted, window, screen, keepFree)) return *at;
  const int x = std::clamp(wanted.x(), screen.left(), std::max(screen.left(), screen.right() + 1 - window.width()));
  const int y = std::clamp(wanted.y(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - window.height()));
  return {x, y};
}

QRect PointedAt(const QRect& hand, bool pointsDown) {
  // The finger's half of the hand and the card's height beyond it.
  QRect pointedAt = hand;
  if (pointsDown) {
    pointedAt.setTop(hand.center().y());
    pointedAt.setBottom(hand.bottom() + table::CardHeight);
  } else {
    pointedAt.setBottom(hand.center().y());
    pointedAt.setTop(hand.top() - table::CardHeight);
  }
  pointedAt.setWidth(std::max(pointedAt.width(), table::CardWidth));
  return pointedAt;
}

QPoint TutorialWindowPlace(QPoint wanted, QSize window, const QRect& screen, const TutorialSights& sights) {
  const std::vector<QRect>* tiers[] = {&sights.pointedAt, &sights.sidePiles, &sights.marks, &sights.sharedPiles};
  for (std::size_t kept = std::size(tiers); kept >= 1; --kept) {
    std::vector<QRect> free;
    for (std::size_t t = 0; t < kept; ++t) free.insert(free.end(), tiers[t]->begin(), tiers[t]->end());
    if (const auto at = NearestClearPlace(wanted, window, screen, free)) return *at;
  }
  return TutorialWindowPlace(wanted, window, screen, std::vector<QRect>{});
}

std::optional<QStringList> ReadTutorialFile(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  QFile file(path);
  if (!file.exists() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
  QString text = QString::fromUtf8(file.readAll());
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  if (text.isEmpty()) return QStringList{};
  QStringList lines = text.split(QLatin1Char('\n'));
  if (lines.last().isEmpty()) lines.removeLast();
  for (QString& l : lines) {
    if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
  }
  return lines;
}

}  // namespace dialogs
