// Makes the program's own pictures in Data/pictures/: the built-in face
// sheet, the card back, the empty-pile looks and menu panel backdrops in wood
// and metal, the menu tab, the name plates, turn markers, captions and the icon.
// Everything is drawn here, deterministically.
//
// Usage: make_pictures SOURCE_FOLDER   (the folder that holds Data/)

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "picture_out.h"

namespace {

constexpr int kCardWidth = 71;
constexpr int kCardHeight = 96;
constexpr int kSheetWidth = 927;
constexpr int kSheetHeight = 394;

const QColor kRed(196, 18, 28);
const QColor kBlack(20, 20, 24);
const QColor kGold(214, 168, 52);
const QColor kCream(252, 246, 226);

// Suits as the game numbers them: 1 clubs, 2 diamonds, 3 hearts, 4 spades.
enum class Suit { Club = 1, Diamond, Heart, Spade };

QColor SuitColor(Suit s) { return (s == Suit::Diamond || s == Suit::Heart) ? kRed : kBlack; }

// --- Suit symbols, in a box from -0.5 to 0.5 ---------------------------------

QPainterPath Stem() {
  QPainterPath p;
  p.moveTo(-0.03, 0.05);
  p.quadTo(-0.02, 0.38, -0.2, 0.5);
  p.lineTo(0.2, 0.5);
  p.quadTo(0.02, 0.38, 0.03, 0.05);
  p.closeSubpath();
  return p;
}

QPainterPath SuitPath(Suit s) {
  QPainterPath p;
  p.setFillRule(Qt::WindingFill);
  switch (s) {
    case Suit::Heart:
      p.moveTo(0, 0.46);
      p.cubicTo(-0.12, 0.3, -0.5, 0.1, -0.5, -0.17);
      p.cubicTo(-0.5, -0.42, -0.18, -0.52, 0, -0.27);
      p.cubicTo(0.18, -0.52, 0.5, -0.42, 0.5, -0.17);
      p.cubicTo(0.5, 0.1, 0.12, 0.3, 0, 0.46);
      break;
    case Suit::Diamond:
      p.moveTo(0, -0.5);
      p.quadTo(0.16, -0.22, 0.4, 0);
      p.quadTo(0.16, 0.22, 0, 0.5);
      p.quadTo(-0.16, 0.22, -0.4, 0);
      p.quadTo(-0.16, -0.22, 0, -0.5);
      break;
    case Suit::Spade:
      p.moveTo(0, -0.5);
      p.cubicTo(0.12, -0.32, 0.5, -0.14, 0.5, 0.1);
      p.cubicTo(0.5, 0.33, 0.2, 0.4, 0, 0.2);
      p.cubicTo(-0.2, 0.4, -0.5, 0.33, -0.5, 0.1);
      p.cubicTo(-0.5, -0.14, -0.12, -0.32, 0, -0.5);
      p.addPath(Stem());
      break;
    case Suit::Club:
      p.addEllipse(QPointF(0, -0.25), 0.21, 0.21);
      p.addEllipse(QPointF(-0.25, 0.1), 0.21, 0.21);
      p.addEllipse(QPointF(0.25, 0.1), 0.21, 0.21);
      p.addEllipse(QPointF(0, 0.03), 0.12, 0.12);
      p.addPath(Stem());
      break;
  }
  return p;
}

// Draws a suit symbol `size` pixels high centred on `c`, upside down when asked.
void DrawPip(QPainter& p, Suit s, QPointF c, double size, bool flipped = false) {
  p.save();
  p.translate(c);
  if (flipped) p.rotate(180);
  p.scale(size, size);
  p.setPen(Qt::NoPen);
  p.setBrush(SuitColor(s));
  p.drawPath(SuitPath(s));
  p.restore();
}

// --- Card faces --------------------------------------------------------------

QString RankText(int rank) {
  switch (rank) {
    case 1: return "A";
    case 11: return "J";
    case 12: return "Q";
    case 13: return "K";
    default: return QString::number(rank);
  }
}

QPainterPath CardOutline() {
  QPainterPath p;
  p.addRoundedRect(QRectF(0.5, 0.5, kCardWidth - 1, kCardHeight - 1), 4, 4);
  return p;
}

// The rank and suit in the top left corner; the caller turns the card for
// the bottom right one.
void DrawIndex(QPainter& p, int rank, Suit s) {
  QFont font("DejaVu Sans");
  font.setBold(true);
  font.setPixelSize(12);
  if (rank == 10) font.setStretch(QFont::ExtraCondensed);
  p.setFont(font);
  p.setPen(SuitColor(s));
  p.drawText(QRectF(0, 2, 14, 13), Qt::AlignCenter, RankText(rank));
  DrawPip(p, s, QPointF(7, 20.5), 8);
}

// Pip places of the number cards: columns 0 (left), 1 (middle), 2 (right) and
// rows from 0 (top) to 1 (bottom); pips below the middle stand upside down.
struct PipPlace {
  int column;
  double row;
};

std::vector<PipPlace> PipPlaces(int rank) {
  const std::vector<PipPlace> corners = {{0, 0}, {2, 0}, {0, 1}, {2, 1}};
  auto with = [](std::vector<PipPlace> a, std::initializer_list<PipPlace> b) {
    a.insert(a.end(), b);
    return a;
  };
  switch (rank) {
    case 2: return {{1, 0}, {1, 1}};
    case 3: return {{1, 0}, {1, 0.5}, {1, 1}};
    case 4: return corners;
    case 5: return with(corners, {{1, 0.5}});
    case 6: return with(corners, {{0, 0.5}, {2, 0.5}});
    case 7: return with(corners, {{0, 0.5}, {2, 0.5}, {1, 0.25}});
    case 8: return with(corners, {{0, 0.5}, {2, 0.5}, {1, 0.25}, {1, 0.75}});
    case 9: return with(corners, {{0, 1.0 / 3}, {2, 1.0 / 3}, {0, 2.0 / 3}, {2, 2.0 / 3}, {1, 0.5}});
    case 10: return with(corners, {{0, 1.0 / 3}, {2, 1.0 / 3}, {0, 2.0 / 3}, {2, 2.0 / 3}, {1, 1.0 / 6}, {1, 5.0 / 6}});
    default: return {};
  }
}

void DrawPips(QPainter& p, int rank, Suit s) {
  const double columns[] = {23, 35.5, 48};
  const double top = 18, bottom = 78;
  for (const PipPlace& place : PipPlaces(rank)) {
    const double y = top + (bottom - top) * place.row;
    DrawPip(p, s, QPointF(columns[place.column], y), 12, place.row > 0.5);
  }
}

// Headwear of the court figures, drawn around the top of the head at (cx, y).
void DrawHeadwear(QPainter& p, int rank, double cx, double y) {
  p.setPen(QPen(QColor(110, 74, 10), 0.8));
  p.setBrush(kGold);
  QPainterPath hat;
  if (rank == 13) {  // a crown with three points
    hat.moveTo(cx - 7, y);
    hat.lineTo(cx - 7, y - 8);
    hat.lineTo(cx - 3.5, y - 4);
    hat.lineTo(cx, y - 9);
    hat.lineTo(cx + 3.5, y - 4);
    hat.lineTo(cx + 7, y - 8);
    hat.lineTo(cx + 7, y);
    hat.closeSubpath();
    p.drawPath(hat);
    p.setBrush(kRed);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(cx, y - 2.2), 1.2, 1.2);
  } else if (rank == 12) {  // a rounded tiara with a jewel
    hat.moveTo(cx - 6.5, y);
    hat.cubicTo(cx - 6, y - 6, cx + 6, y - 6, cx + 6.5, y);
    hat.closeSubpath();
    p.drawPath(hat);
    p.setBrush(QColor(40, 110, 200));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(cx, y - 2.6), 1.4, 1.4);
  } else {  // the knave's soft cap with a feather
    hat.moveTo(cx - 7, y);
    hat.cubicTo(cx - 7, y - 6, cx + 5, y - 7, cx + 8, y - 1);
    hat.closeSubpath();
    p.setBrush(QColor(40, 110, 60));
    p.setPen(QPen(QColor(20, 60, 30), 0.8));
    p.drawPath(hat);
    p.setPen(QPen(kRed, 1.2));
    p.drawLine(QPointF(cx + 5, y - 3.5), QPointF(cx + 11, y - 9));
  }
}

// One half of a court card: a bust in a robe of the suit's colour, framed,
// with the letter on the left and the suit on the right.
void DrawCourtHalf(QPainter& p, int rank, Suit s) {
  const double cx = 37;
  const QColor robe = SuitColor(s) == kRed ? QColor(176, 24, 32) : QColor(34, 52, 112);
  // Robe and shoulders.
  QPainterPath body;
  body.moveTo(cx - 16, 48);
  body.lineTo(cx - 15, 42);
  body.cubicTo(cx - 14, 37, cx - 9, 35, cx - 4, 34.5);
  body.lineTo(cx + 4, 34.5);
  body.cubicTo(cx + 9, 35, cx + 14, 37, cx + 15, 42);
  body.lineTo(cx + 16, 48);
  body.closeSubpath();
  p.setPen(QPen(QColor(30, 20, 10), 0.8));
  p.setBrush(robe);
  p.drawPath(body);
  // Collar and a band down the front.
  p.setBrush(kGold);
  p.drawRect(QRectF(cx - 2, 36, 4, 12));
  QPainterPath collar;
  collar.moveTo(cx - 8, 35.5);
  collar.quadTo(cx, 40, cx + 8, 35.5);
  collar.quadTo(cx, 37, cx - 8, 35.5);
  p.drawPath(collar);
  // Face, hair and eyes.
  p.setBrush(rank == 12 ? QColor(224, 176, 80) : QColor(92, 60, 30));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(cx, 27.5), 6.2, 6.6);
  p.setBrush(QColor(246, 214, 180));
  p.setPen(QPen(QColor(120, 80, 50), 0.6));
  p.drawEllipse(QPointF(cx, 28.5), 4.6, 5.4);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 30, 20));
  p.drawEllipse(QPointF(cx - 1.8, 27.8), 0.6, 0.6);
  p.drawEllipse(QPointF(cx + 1.8, 27.8), 0.6, 0.6);
  if (rank == 13) {  // the king's beard
    p.setBrush(QColor(92, 60, 30));
    QPainterPath beard;
    beard.moveTo(cx - 4.2, 30.5);
    beard.quadTo(cx, 38, cx + 4.2, 30.5);
    beard.quadTo(cx, 33, cx - 4.2, 30.5);
    p.drawPath(beard);
  }
  DrawHeadwear(p, rank, cx, 23);
  // The letter and the suit beside the figure.
  QFont font("DejaVu Serif");
  font.setBold(true);
  font.setPixelSize(14);
  p.setFont(font);
  p.setPen(SuitColor(s));
  p.drawText(QRectF(14, 13, 13, 16), Qt::AlignCenter, RankText(rank));
  DrawPip(p, s, QPointF(20.5, 34), 9);
}

void DrawCourt(QPainter& p, int rank, Suit s) {
  const QRectF frame(13.5, 12.5, 44, 71);
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(kCream);
  p.drawRect(frame);
  p.setClipRect(frame.adjusted(0.5, 0.5, -0.5, -0.5));
  DrawCourtHalf(p, rank, s);
  p.translate(kCardWidth, kCardHeight);
  p.rotate(180);
  DrawCourtHalf(p, rank, s);
  p.restore();
  // The frame over the figures: the suit's colour with a gold line inside.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(SuitColor(s), 1));
  p.drawRect(frame);
  p.setPen(QPen(kGold, 0.8));
  p.drawRect(frame.adjusted(1.5, 1.5, -1.5, -1.5));
  p.setPen(QPen(QColor(120, 100, 60), 0.6));
  p.drawLine(QPointF(frame.left() + 2, 48), QPointF(frame.right() - 2, 48));
}

void DrawFace(QPainter& p, int rank, Suit s) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(70, 70, 70), 1));
  p.setBrush(Qt::white);
  p.drawPath(CardOutline());
  if (rank == 1) {
    DrawPip(p, s, QPointF(35.5, 48), s == Suit::Spade ? 34 : 28);
  } else if (rank <= 10) {
    DrawPips(p, rank, s);
  } else {
    DrawCourt(p, rank, s);
  }
  DrawIndex(p, rank, s);
  p.save();
  p.translate(kCardWidth, kCardHeight);
  p.rotate(180);
  DrawIndex(p, rank, s);
  p.restore();
}

// The sheet the card painter cuts from: card (suit, rank) is the 71 x 96
// rectangle at x = (rank - 1) * 71 + 1, y = (suit - 1) * 96.
QImage FaceSheet() {
  QImage sheet(kSheetWidth, kSheetHeight, QImage::Format_ARGB32_Premultiplied);
  sheet.fill(Qt::transparent);
  QPainter p(&sheet);
  for (int suit = 1; suit <= 4; ++suit) {
    for (int rank = 1; rank <= 13; ++rank) {
      p.save();
      p.translate((rank - 1) * kCardWidth + 1, (suit - 1) * kCardHeight);
      DrawFace(p, rank, static_cast<Suit>(suit));
      p.restore();
    }
  }
  return sheet;
}

// --- Textures ----------------------------------------------------------------

// A fixed hash of a pixel position, 0..1: the grain that makes wood and
// metal look less flat.
double Hash(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return static_cast<double>(h & 0xFFFF) / 65535.0;
}

QColor Mix(const QColor& a, const QColor& b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                          static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                          static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

QImage WoodTexture(int w, int h, uint32_t seed) {
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  const QColor light(188, 132, 78), dark(118, 72, 36);
  const double phase = seed * 0.7;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      // Long grain along x, gently waving.
      const double t = y * 0.75 + 5.0 * std::sin(x * 0.012 + phase) + 1.2 * std::sin(x * 0.045 + y * 0.09 + phase);
      double g = 0.5 + 0.5 * std::sin(t);
      g = std::pow(g, 3.0);
      // Broad, slow changes of shade between the fine lines.
      const double broad = 0.5 + 0.5 * std::sin(y * 0.11 + 2.0 * std::sin(x * 0.008 + phase));
      const double fine = Hash(x / 4, y, seed) * 0.10;
      img.setPixelColor(x, y, Mix(light, dark, g * 0.55 + broad * 0.25 + fine));
    }
  }
  return img;
}

QImage MetalTexture(int w, int h, uint32_t seed) {
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < h; ++y) {
    // Brushed: each row keeps its own slight shade, streaks along x.
    const double row = Hash(0, y, seed) * 0.10 - 0.05;
    for (int x = 0; x < w; ++x) {
      const double streak = (Hash(x / 9, y, seed + 1) - 0.5) * 0.06;
      const double sheen = 0.12 * std::cos((x * 0.6 - y * 1.0) / std::max(w, h) * 3.14159);
      const double v = std::clamp(0.70 + row + streak + sheen, 0.0, 1.0);
      img.setPixelColor(
          x, y, QColor::fromRgbF(static_cast<float>(v * 0.96), static_cast<float>(v * 0.98), static_cast<float>(v)));
    }
  }
  return img;
}

// A sunken bevel: shadow on the top and left, light on the bottom and right.
void DrawSunkenBevel(QPainter& p, const QRectF& r, double radius, int alpha) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0, 0, 0, alpha), 1.5));
  QPainterPath shadow;
  shadow.moveTo(r.left(), r.bottom() - radius);
  shadow.lineTo(r.left(), r.top() + radius);
  shadow.quadTo(r.left(), r.top(), r.left() + radius, r.top());
  shadow.lineTo(r.right() - radius, r.top());
  p.drawPath(shadow);
  p.setPen(QPen(QColor(255, 255, 255, alpha * 2 / 3), 1.5));
  QPainterPath light;
  light.moveTo(r.right(), r.top() + radius);
  light.lineTo(r.right(), r.bottom() - radius);
  light.quadTo(r.right(), r.bottom(), r.right() - radius, r.bottom());
  light.lineTo(r.left() + radius, r.bottom());
  p.drawPath(light);
}

void DrawRivet(QPainter& p, QPointF c) {
  QRadialGradient g(c - QPointF(0.7, 0.7), 2.6);
  g.setColorAt(0, QColor(250, 250, 252));
  g.setColorAt(0.5, QColor(160, 164, 170));
  g.setColorAt(1, QColor(80, 84, 90));
  p.setPen(QPen(QColor(60, 60, 66), 0.6));
  p.setBrush(g);
  p.drawEllipse(c, 2.2, 2.2);
}

// --- Empty piles and the card back --------------------------------------------

QImage EmptyWood() {
  QImage img = WoodTexture(kCardWidth, kCardHeight, 3);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // A darker, sunken place where a card goes.
  const QRectF inner(5.5, 5.5, kCardWidth - 11, kCardHeight - 11);
  QPainterPath place;
  place.addRoundedRect(inner, 4, 4);
  p.fillPath(place, QColor(60, 30, 10, 70));
  DrawSunkenBevel(p, inner, 4, 120);
  p.setPen(QPen(QColor(60, 34, 14), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(0.5, 0.5, kCardWidth - 1, kCardHeight - 1));
  return img;
}

QImage EmptyMetal() {
  QImage img = MetalTexture(kCardWidth, kCardHeight, 5);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF inner(8.5, 8.5, kCardWidth - 17, kCardHeight - 17);
  QPainterPath place;
  place.addRoundedRect(inner, 3, 3);
  p.fillPath(place, QColor(20, 30, 40, 40));
  DrawSunkenBevel(p, inner, 3, 110);
  for (QPointF c : {QPointF(4.5, 4.5), QPointF(kCardWidth - 4.5, 4.5), QPointF(4.5, kCardHeight - 4.5),
                    QPointF(kCardWidth - 4.5, kCardHeight - 4.5)}) {
    DrawRivet(p, c);
  }
  p.setPen(QPen(QColor(70, 74, 80), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(0.5, 0.5, kCardWidth - 1, kCardHeight - 1));
  return img;
}

// The program's own back: a light lattice on a clear ground, so that the
// plain back's colour, painted beneath, shows through.
QImage Back() {
  QImage img(kCardWidth, kCardHeight, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF inner(5.5, 5.5, kCardWidth - 11, kCardHeight - 11);
  p.save();
  p.setClipRect(inner);
  p.setPen(QPen(QColor(255, 255, 255, 95), 1));
  for (int k = -120; k < 120; k += 8) {
    p.drawLine(QPointF(k, 0), QPointF(k + kCardHeight, kCardHeight));
    p.drawLine(QPointF(k + kCardHeight, 0), QPointF(k, kCardHeight));
  }
  p.restore();
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(255, 255, 255, 220), 1.5));
  p.drawRoundedRect(inner, 3, 3);
  p.setPen(QPen(QColor(255, 255, 255, 150), 1));
  p.drawRoundedRect(inner.adjusted(2.5, 2.5, -2.5, -2.5), 2, 2);
  // A medallion in the middle holding the four suits.
  const QPointF c(kCardWidth / 2.0, kCardHeight / 2.0);
  p.setPen(QPen(QColor(255, 255, 255, 230), 1.2));
  p.setBrush(QColor(255, 255, 255, 60));
  p.drawEllipse(c, 15, 15);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 235));
  const QPointF at[] = {{0, -7}, {7, 0}, {0, 7}, {-7, 0}};
  for (int s = 0; s < 4; ++s) {
    p.save();
    p.translate(c + at[s]);
    p.scale(7.5, 7.5);
    p.drawPath(SuitPath(static_cast<Suit>(s + 1)));
    p.restore();
  }
  return img;
}

// --- Menu panel backdrops ------------------------------------------------------

constexpr int kPanelWidth = 680;
constexpr int kPanelHeight = 72;

// The four headings stand in the bands the panel's click handler reads.
struct Heading {
  const char* text;
  int left;
  int right;
};
constexpr Heading kHeadings[] = {{"Game", 31, 183}, {"Options", 195, 335}, {"Internet", 348, 491}, {"Help", 500, 649}};

QImage Panel(bool wood) {
  QImage img = wood ? WoodTexture(kPanelWidth, kPanelHeight, 11) : MetalTexture(kPanelWidth, kPanelHeight, 13);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const QColor edge = wood ? QColor(60, 34, 14) : QColor(70, 74, 80);
  // The top strip, where the pointer closes an open list.
  p.fillRect(QRectF(0, 0, kPanelWidth, 16), QColor(0, 0, 0, wood ? 50 : 30));
  p.setPen(QPen(QColor(255, 255, 255, 70), 1));
  p.drawLine(QPointF(0, 16.5), QPointF(kPanelWidth, 16.5));
  QFont font("DejaVu Sans");
  font.setBold(true);
  font.setPixelSize(17);
  p.setFont(font);
  for (const Heading& h : kHeadings) {
    const QRectF band(h.left + 4.5, 25.5, h.right - h.left - 9, 32);
    QLinearGradient g(band.topLeft(), band.bottomLeft());
    g.setColorAt(0, QColor(255, 255, 255, wood ? 60 : 110));
    g.setColorAt(1, QColor(0, 0, 0, wood ? 40 : 30));
    p.setPen(QPen(QColor(0, 0, 0, 110), 1));
    p.setBrush(g);
    p.drawRoundedRect(band, 5, 5);
    // Engraved letters: a light edge below, the letter above it.
    p.setPen(wood ? QColor(40, 20, 6, 200) : QColor(255, 255, 255, 170));
    p.drawText(band.translated(wood ? 1 : 0, 1), Qt::AlignCenter, h.text);
    p.setPen(wood ? QColor(252, 236, 200) : QColor(34, 38, 46));
    p.drawText(band, Qt::AlignCenter, h.text);
  }
  p.setPen(QPen(edge, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(0.5, 0.5, kPanelWidth - 1, kPanelHeight - 1));
  if (!wood) {
    for (QPointF c : {QPointF(8, 40), QPointF(kPanelWidth - 8, 40)}) DrawRivet(p, c);
  }
  return img;
}

// The polished brass of the menu tab and the name plates.
void BrassPlate(QPainter& p, const QRectF& r, double radius) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, QColor(248, 226, 150));
  g.setColorAt(0.45, QColor(214, 170, 72));
  g.setColorAt(1, QColor(160, 116, 36));
  p.setPen(QPen(QColor(92, 62, 14), 1));
  p.setBrush(g);
  p.drawRoundedRect(r, radius, radius);
}

// The menu tab at the top of the table: pointing at it brings the panel down.
QImage MenuTab() {
  const int w = 64, h = 22;
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  BrassPlate(p, QRectF(0.5, 0.5, w - 1, h - 1), 5);
  QFont font("DejaVu Sans");
  font.setBold(true);
  font.setPixelSize(12);
  p.setFont(font);
  const QRectF text(4, 0, 40, h);
  p.setPen(QColor(255, 244, 200, 200));
  p.drawText(text.translated(0, 1), Qt::AlignCenter, "Menu");
  p.setPen(QColor(58, 36, 6));
  p.drawText(text, Qt::AlignCenter, "Menu");
  QPainterPath chevron;
  chevron.moveTo(47, 8);
  chevron.lineTo(57, 8);
  chevron.lineTo(52, 14);
  chevron.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(58, 36, 6));
  p.drawPath(chevron);
  return img;
}

// --- Plates, markers, captions and the icon ------------------------------------

// A small brass name plate with engraved text.
QImage Plate(const QString& text, int width) {
  const int height = 18;
  QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  BrassPlate(p, QRectF(0.5, 0.5, width - 1, height - 1), 4);
  for (double x : {4.0, width - 4.0}) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 84, 24));
    p.drawEllipse(QPointF(x, height / 2.0), 1.3, 1.3);
  }
  QFont font("DejaVu Sans");
  font.setBold(true);
  font.setPixelSize(11);
  // Long names are set a little smaller, clear of the rivets.
  while (font.pixelSize() > 8 && QFontMetricsF(font).horizontalAdvance(text) > width - 14)
    font.setPixelSize(font.pixelSize() - 1);
  p.setFont(font);
  p.setPen(QColor(255, 244, 200, 200));
  p.drawText(QRectF(0, 1, width, height), Qt::AlignCenter, text);
  p.setPen(QColor(58, 36, 6));
  p.drawText(QRectF(0, 0, width, height), Qt::AlignCenter, text);
  return img;
}

// A turn marker: a disc with an arrow towards the side that moves, and a word.
QImage TurnMarker(bool player) {
  const int w = 72, h = 84;
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const QPointF c(w / 2.0, 30);
  const QColor base = player ? QColor(36, 160, 72) : QColor(214, 120, 24);
  QRadialGradient g(c - QPointF(8, 10), 36);
  g.setColorAt(0, base.lighter(160));
  g.setColorAt(0.6, base);
  g.setColorAt(1, base.darker(160));
  p.setPen(QPen(QColor(255, 255, 255, 230), 2));
  p.setBrush(g);
  p.drawEllipse(c, 26, 26);
  // The arrow: down towards the player's own piles, up towards the opponent's.
  QPainterPath arrow;
  arrow.moveTo(-6, -15);
  arrow.lineTo(6, -15);
  arrow.lineTo(6, 1);
  arrow.lineTo(14, 1);
  arrow.lineTo(0, 16);
  arrow.lineTo(-14, 1);
  arrow.lineTo(-6, 1);
  arrow.closeSubpath();
  p.save();
  p.translate(c);
  if (!player) p.rotate(180);
  p.setPen(QPen(QColor(0, 0, 0, 90), 1));
  p.setBrush(Qt::white);
  p.drawPath(arrow);
  p.restore();
  QFont font("DejaVu Sans");
  font.setBold(true);
  font.setPixelSize(12);
  p.setFont(font);
  const QString text = player ? "Your turn" : "Opponent";
  const QRectF band(0, 60, w, 20);
  p.setPen(QColor(0, 0, 0, 200));
  p.drawText(band.translated(1, 1), Qt::AlignCenter, text);
  p.setPen(Qt::white);
  p.drawText(band, Qt::AlignCenter, text);
  return img;
}

// A caption under the piles: light lettering with a dark halo, readable on
// any background.
QImage Caption(const QString& text, int width) {
  const int height = 18;
  QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  QFont font("DejaVu Serif");
  font.setBold(true);
  font.setItalic(true);
  font.setPixelSize(13);
  p.setFont(font);
  const QRectF r(0, 0, width, height);
  QPainterPath path;
  const QFontMetricsF fm(font);
  const double x = (width - fm.horizontalAdvance(text)) / 2;
  const double y = (height + fm.ascent() - fm.descent()) / 2;
  path.addText(QPointF(x, y), font, text);
  p.setPen(QPen(QColor(0, 0, 0, 170), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 240, 206));
  p.drawPath(path);
  Q_UNUSED(r);
  return img;
}

// The program's icon: two fanned cards, an Ace of hearts over an Ace of spades.
QImage Icon() {
  const int size = 32;
  QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  auto card = [&p](double angle, QPointF at, Suit s) {
    p.save();
    p.translate(at);
    p.rotate(angle);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(-8.5, -12, 17, 24), 2.5, 2.5);
    DrawPip(p, s, QPointF(0, 0), 11);
    p.restore();
  };
  card(-16, QPointF(12, 16.5), Suit::Spade);
  card(14, QPointF(20, 15.5), Suit::Heart);
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const std::optional<QDir> folder = tools::PicturesFolder(argc, argv);
  if (!folder) return argc != 2 ? 2 : 1;
  const QDir& out = *folder;
  bool ok = true;
  ok &= tools::Save(FaceSheet(), out, "faces.png");
  ok &= tools::Save(Back(), out, "back.png");
  ok &= tools::Save(EmptyWood(), out, "empty-wood.png");
  ok &= tools::Save(EmptyMetal(), out, "empty-metal.png");
  ok &= tools::Save(Panel(true), out, "panel-wood.png");
  ok &= tools::Save(Panel(false), out, "panel-metal.png");
  ok &= tools::Save(MenuTab(), out, "menu-tab.png");
  ok &= tools::Save(Plate("Hand", 76), out, "plate-stock.png");
  ok &= tools::Save(Plate("Reserve", 76), out, "plate-reserve.png");
  ok &= tools::Save(Plate("Wastepile", 76), out, "plate-waste.png");
  ok &= tools::Save(TurnMarker(true), out, "turn-player.png");
  ok &= tools::Save(TurnMarker(false), out, "turn-opponent.png");
  ok &= tools::Save(Caption("Tableau", 71), out, "caption-tableau-left.png");
  ok &= tools::Save(Caption("Tableau", 71), out, "caption-tableau-right.png");
  ok &= tools::Save(Caption("Center", 76), out, "caption-centers.png");
  ok &= tools::Save(Icon(), out, "icon.png");
  return ok ? 0 : 1;
}
