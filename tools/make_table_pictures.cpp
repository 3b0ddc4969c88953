// Makes the table's own pictures: the four pictures the program carries
// inside itself (Data/embedded/: the large and the small logo, the two
// pointing hands of the tutorial), the five structures that frame the piles
// (Data/1000.dat ... Data/1004.dat, PNG with alpha) and the tileable
// background pictures (Data/Backgrounds/: GIF through giflib, JPG, BMP).
// Everything is drawn here, deterministically.
//
// Usage: make_table_pictures SOURCE_FOLDER   (the folder that holds Data/)

#include "gif_save.h"
#include "platform/version.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QMargins>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "table/table_geometry.h"

namespace {

constexpr int kStructureWidth = 1210;
constexpr int kStructureHeight = 783;

// A small deterministic generator, so the pictures are the same on every run.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed ? seed : 1) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  double Unit() { return (Next() & 0xFFFFFF) / double(0x1000000); }

 private:
  std::uint32_t state_;
};

// Value noise that wraps at the tile's edges, so the picture tiles without seams.
class TileNoise {
 public:
  TileNoise(int cells, std::uint32_t seed) : cells_(cells), values_(cells * cells) {
    Noise n(seed);
    for (double& v : values_) v = n.Unit();
  }
  double At(double u, double v) const {  // u, v in 0..1
    const double x = u * cells_, y = v * cells_;
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = Smooth(x - x0), fy = Smooth(y - y0);
    const auto g = [&](int i, int j) {
      return values_[((j % cells_ + cells_) % cells_) * cells_ + ((i % cells_ + cells_) % cells_)];
    };
    const double a = g(x0, y0) + (g(x0 + 1, y0) - g(x0, y0)) * fx;
    const double b = g(x0, y0 + 1) + (g(x0 + 1, y0 + 1) - g(x0, y0 + 1)) * fx;
    return a + (b - a) * fy;
  }

 private:
  static double Smooth(double t) { return t * t * (3 - 2 * t); }
  int cells_;
  std::vector<double> values_;
};

double Fractal(const std::vector<TileNoise>& octaves, double u, double v) {
  double sum = 0, weight = 1, total = 0;
  for (const TileNoise& o : octaves) {
    sum += o.At(u, v) * weight;
    total += weight;
    weight *= 0.5;
  }
  return sum / total;
}

std::vector<TileNoise> Octaves(std::uint32_t seed, int first, int count) {
  std::vector<TileNoise> o;
  for (int i = 0; i < count; ++i) o.emplace_back(first << i, seed + 97 * i);
  return o;
}

QColor Mix(const QColor& a, const QColor& b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                          a.blueF() + (b.blueF() - a.blueF()) * t);
}

// --- Backgrounds ------------------------------------------------------------

QImage Cork() {
  const int size = 192;
  QImage img(size, size, QImage::Format_RGB32);
  const auto octaves = Octaves(11, 4, 5);
  Noise grain(5);
  const QColor dark(120, 78, 40), light(204, 156, 98);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      double t = Fractal(octaves, double(x) / size, double(y) / size);
      t = t * 1.3 - 0.15 + (grain.Unit() - 0.5) * 0.35;
      img.setPixelColor(x, y, Mix(dark, light, t));
    }
  // Dark specks, wrapped at the edges.
  Noise specks(17);
  for (int i = 0; i < 420; ++i) {
    const int cx = specks.Next() % size, cy = specks.Next() % size, r = 1 + specks.Next() % 2;
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx)
        if (dx * dx + dy * dy <= r * r)
          img.setPixelColor((cx + dx + size) % size, (cy + dy + size) % size, QColor(92, 58, 30));
  }
  return img;
}

QImage Marble(std::uint32_t seed, const QColor& base, const QColor& vein) {
  const int size = 256;
  QImage img(size, size, QImage::Format_RGB32);
  const auto octaves = Octaves(seed, 3, 5);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double u = double(x) / size, v = double(y) / size;
      const double turbulence = Fractal(octaves, u, v);
      // Veins along a wrapped diagonal: whole periods in both directions.
      const double s = std::sin(2 * M_PI * (2 * u + v) + 9.0 * turbulence);
      const double veinWeight = std::pow(1 - std::abs(s), 6);
      const QColor stone = Mix(base, base.lighter(125), Fractal(octaves, v, u));
      img.setPixelColor(x, y, Mix(stone, vein, veinWeight * 0.85));
    }
  return img;
}

QImage Felt() {
  const int size = 128;
  QImage img(size, size, QImage::Format_RGB32);
  const auto octaves = Octaves(23, 8, 3);
  Noise grain(29);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double t = Fractal(octaves, double(x) / size, double(y) / size) * 0.6 + grain.Unit() * 0.4;
      img.setPixelColor(x, y, Mix(QColor(18, 74, 36), QColor(40, 112, 58), t));
    }
  return img;
}

QImage Planks() {
  const int w = 240, h = 160, plank = 40;
  QImage img(w, h, QImage::Format_RGB32);
  const auto octaves = Octaves(31, 2, 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int row = y / plank;
      const double u = double(x) / w, v = double(y) / h;
      const double rings = std::sin(2 * M_PI * (v * 16 + 3 * Fractal(octaves, u, v + row * 0.25)));
      QColor c = Mix(QColor(112, 66, 32), QColor(170, 112, 60), 0.5 + 0.35 * rings);
      if (y % plank == 0 || (x + row * 97) % w == 0) c = QColor(60, 34, 16);
      img.setPixelColor(x, y, c);
    }
  return img;
}

using gif::SaveGif;

// --- Structures -------------------------------------------------------------

struct StructureLook {
  QColor fill;    // the panels under the pile groups
  QColor rim;     // their edge
  QColor accent;  // the inner line
};

QRectF Around(const std::vector<QPoint>& corners, int margin) {
  QRectF r;
  for (const QPoint& p : corners) r = r.united(QRectF(p, QSizeF(table::CardWidth, table::CardHeight)));
  return r.adjusted(-margin, -margin, margin, margin);
}

// The same, with a narrow margin on the sides where counts stand close by.
QRectF Around(const std::vector<QPoint>& corners, const QMargins& margins) {
  return Around(corners, 0).adjusted(-margins.left(), -margins.top(), margins.right(), margins.bottom());
}

void PanelFill(QPainter& p, const QRectF& r, const StructureLook& look, double radius) {
  QPainterPath path;
  path.addRoundedRect(r, radius, radius);
  p.fillPath(path, look.fill);
}

void PanelLines(QPainter& p, const QRectF& r, const StructureLook& look, double radius) {
  QPainterPath path;
  path.addRoundedRect(r, radius, radius);
  p.setPen(QPen(look.rim, 4));
  p.drawPath(path);
  QPainterPath inner;
  inner.addRoundedRect(r.adjusted(6, 6, -6, -6), radius - 4, radius - 4);
  p.setPen(QPen(look.accent, 1.5));
  p.drawPath(inner);
}

QImage Structure(int number) {
  static const StructureLook looks[] = {
      {QColor(255, 250, 235, 70), QColor(250, 240, 210, 230), QColor(255, 255, 255, 150)},  // 1000 ivory
      {QColor(230, 240, 255, 70), QColor(210, 225, 245, 230), QColor(255, 255, 255, 150)},  // 1001 frost
      {QColor(20, 12, 4, 110), QColor(150, 104, 40, 240), QColor(230, 190, 110, 200)},      // 1002 brass
      {QColor(6, 14, 30, 110), QColor(60, 80, 130, 240), QColor(150, 170, 220, 200)},       // 1003 slate
      {QColor(30, 4, 8, 110), QColor(120, 30, 40, 240), QColor(210, 120, 120, 200)},        // 1004 wine
  };
  const StructureLook& look = looks[number - 1000];
  const table::PilePlaces places = table::ArrangePilePlaces(0, 0);

  QImage img(kStructureWidth, kStructureHeight, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);

  std::vector<QPoint> centers(places.picCenter.begin() + 1, places.picCenter.end());
  std::vector<QPoint> left(places.picTableau.begin() + 1, places.picTableau.begin() + 5);
  std::vector<QPoint> right(places.picTableau.begin() + 5, places.picTableau.end());
  std::vector<QPoint> player(places.picPlayer.begin() + 1, places.picPlayer.end());
  std::vector<QPoint> opponent(places.picOpponent.begin() + 1, places.picOpponent.end());
  const std::pair<QRectF, double> panels[] = {
      {Around(centers, 16), 18},
      {Around(left, QMargins(3, 12, 12, 12)), 12},
      {Around(right, QMargins(12, 12, 1, 12)), 12},
      {Around({player[0], player[2]}, QMargins(14, 14, 14, 4)), 12},
      {Around({player[1]}, 14), 14},
      {Around(opponent, QMargins(14, 14, 14, 4)), 12},
  };
  for (const auto& [rect, radius] : panels) PanelFill(p, rect, look, radius);
  // The lines stop short of every text, and go on beyond it.
  p.setClipRegion(QRegion(img.rect()) - table::StructureTextBoxes(places, kStructureWidth));
  for (const auto& [rect, radius] : panels) PanelLines(p, rect, look, radius);

  // A double border round the whole table.
  p.setPen(QPen(look.rim, 6));
  p.drawRoundedRect(QRectF(8, 8, kStructureWidth - 16, kStructureHeight - 16), 24, 24);
  p.setPen(QPen(look.accent, 2));
  p.drawRoundedRect(QRectF(18, 18, kStructureWidth - 36, kStructureHeight - 36), 18, 18);
  return img;
}

// --- Embedded pictures -----------------------------------------------------

QPainterPath Spade(const QRectF& r) {
  QPainterPath p;
  const double cx = r.center().x(), w = r.width(), h = r.height(), top = r.top();
  p.moveTo(cx, top);
  p.cubicTo(cx + w * 0.1, top + h * 0.2, cx + w * 0.5, top + h * 0.35, cx + w * 0.5, top + h * 0.6);
  p.cubicTo(cx + w * 0.5, top + h * 0.85, cx + w * 0.15, top + h * 0.85, cx + w * 0.05, top + h * 0.7);
  p.lineTo(cx + w * 0.2, top + h);
  p.lineTo(cx - w * 0.2, top + h);
  p.lineTo(cx - w * 0.05, top + h * 0.7);
  p.cubicTo(cx - w * 0.15, top + h * 0.85, cx - w * 0.5, top + h * 0.85, cx - w * 0.5, top + h * 0.6);
  p.cubicTo(cx - w * 0.5, top + h * 0.35, cx - w * 0.1, top + h * 0.2, cx, top);
  return p;
}

QImage Logo(int w, int h, bool large) {
  QImage img(w, h, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  // A brass plate with a soft shadow.
  const QRectF plate(4, 4, w - 10, h - 10);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 90));
  p.drawRoundedRect(plate.translated(3, 3), h * 0.18, h * 0.18);
  QLinearGradient brass(plate.topLeft(), plate.bottomLeft());
  brass.setColorAt(0, QColor(246, 218, 140));
  brass.setColorAt(0.45, QColor(200, 150, 58));
  brass.setColorAt(1, QColor(120, 80, 24));
  p.setBrush(brass);
  p.setPen(QPen(QColor(90, 56, 14), 2));
  p.drawRoundedRect(plate, h * 0.18, h * 0.18);
  p.setPen(QPen(QColor(255, 240, 190, 180), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(plate.adjusted(5, 5, -5, -5), h * 0.14, h * 0.14);

  // Two fanned cards on the left.
  const double cardH = h * 0.62, cardW = cardH * 0.72;
  for (int k = 0; k < 2; ++k) {
    p.save();
    p.translate(plate.left() + h * 0.32 + k * cardW * 0.35, plate.center().y() + h * 0.04);
    p.rotate(k == 0 ? -14 : 10);
    const QRectF card(-cardW / 2, -cardH / 2, cardW, cardH);
    p.setPen(QPen(QColor(60, 40, 20), 1.2));
    p.setBrush(QColor(252, 248, 236));
    p.drawRoundedRect(card, 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(k == 0 ? QColor(20, 20, 24) : QColor(190, 20, 30));
    p.drawPath(Spade(QRectF(-cardW * 0.28, -cardH * 0.25, cardW * 0.56, cardH * 0.5)));
    p.restore();
  }

  // The name.
  QFont font("DejaVu Serif");
  font.setBold(true);
  const QRectF textBox(plate.left() + h * 0.72, plate.top(), plate.right() - plate.left() - h * 0.78,
                       plate.height() * (large ? 0.68 : 0.64));
  int pixels = int(h * 0.3);
  do {
    font.setPixelSize(pixels--);
  } while (pixels > 8 && QFontMetricsF(font).horizontalAdvance(platform::kProgramTitle) > textBox.width() - 6);
  p.setFont(font);
  p.setPen(QColor(255, 244, 200, 160));
  p.drawText(textBox.translated(1, 1), Qt::AlignCenter, platform::kProgramTitle);
  p.setPen(QColor(58, 30, 6));
  p.drawText(textBox, Qt::AlignCenter, platform::kProgramTitle);
  QFont sub("DejaVu Sans");
  sub.setPixelSize(std::max(9, int(h * 0.11)));
  p.setFont(sub);
  p.setPen(QColor(70, 40, 10));
  p.drawText(QRectF(textBox.left(), plate.top() + plate.height() * 0.6, textBox.width(), plate.height() * 0.3),
             Qt::AlignCenter, "double solitaire");
  return img;
}

QImage Hand(bool down) {
  const int w = 29, h = 55;
  QImage img(w, h, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // Drawn pointing up, then turned over for the hand pointing down.
  if (down) {
    p.translate(w, h);
    p.rotate(180);
  }
  QPainterPath hand;
  hand.addRoundedRect(QRectF(10.5, 1.5, 8, 26), 4, 4);   // the pointing finger
  hand.addRoundedRect(QRectF(3.5, 22.5, 22, 22), 6, 6);  // the fist
  hand.addRoundedRect(QRectF(1.5, 26.5, 8, 12), 4, 4);   // the thumb
  hand.setFillRule(Qt::WindingFill);
  const QPainterPath outline = hand.simplified();
  p.setPen(QPen(QColor(70, 40, 20), 1.4));
  p.setBrush(QColor(250, 214, 176));
  p.drawPath(outline);
  p.setPen(QPen(QColor(160, 110, 80), 1));
  for (int k = 0; k < 3; ++k) p.drawLine(QPointF(11 + k * 5, 30), QPointF(11 + k * 5, 38));
  // The cuff.
  p.setPen(QPen(QColor(30, 50, 110), 1));
  p.setBrush(QColor(60, 90, 170));
  p.drawRoundedRect(QRectF(4.5, 44.5, 20, 9), 2, 2);
  return img;
}

bool Report(bool ok, const QString& path) {
  if (!ok) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return ok;
}

bool SavePng(const QImage& image, const QString& path) { return Report(image.save(path, "PNG"), path); }

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_table_pictures SOURCE_FOLDER\n");
    return 2;
  }
  const QDir root(QString::fromLocal8Bit(argv[1]));
  const QString data = root.filePath("Data");
  bool ok = QDir().mkpath(data + "/embedded") && QDir().mkpath(data + "/Backgrounds");

  ok &= SavePng(Logo(307, 131, true), data + "/embedded/logo.png");
  ok &= SavePng(Logo(162, 90, false), data + "/embedded/splash.png");
  ok &= SavePng(Hand(true), data + "/embedded/handD.png");
  ok &= SavePng(Hand(false), data + "/embedded/handU.png");

  for (int n = 1000; n <= 1004; ++n) {
    const QString path = data + "/" + QString::number(n) + ".dat";
    ok &= Report(Structure(n).save(path, "PNG"), path);
  }

  const QString bg = data + "/Backgrounds/";
  ok &= Report(SaveGif(Cork(), bg + "Cork.gif"), bg + "Cork.gif");
  ok &= Report(SaveGif(Marble(41, QColor(150, 150, 156), QColor(70, 70, 78)), bg + "MarbleGrey.gif"),
               bg + "MarbleGrey.gif");
  ok &= Report(Felt().save(bg + "GreenFelt.jpg", "JPG", 92), bg + "GreenFelt.jpg");
  ok &= Report(Planks().save(bg + "OakPlanks.bmp", "BMP"), bg + "OakPlanks.bmp");
  return ok ? 0 : 1;
}
