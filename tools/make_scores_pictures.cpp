// Makes the scores window's pictures (the four tab labels and the trophy
// above the high scores) and the theme backgrounds that go with the card
// decks: "MarbleTan.gif", "MetalSand.gif" and "Brick-gray.jpg".
// Usage: make_scores_pictures <Data folder>
#include <gif_lib.h>

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int kTileSize = 128;

// A smooth noise in 0..1 from a fixed seed, so every run makes the same files.
class Noise {
 public:
  explicit Noise(unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> d(0, 1);
    for (double& v : grid_) v = d(gen);
  }
  // Wraps every kCells, so the tiles join without a seam.
  double At(double x, double y) const {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const auto g = [this](int i, int j) {
      return grid_[((j % kCells + kCells) % kCells) * kCells + (i % kCells + kCells) % kCells];
    };
    const auto s = [](double t) { return t * t * (3 - 2 * t); };
    const double a = g(x0, y0) + (g(x0 + 1, y0) - g(x0, y0)) * s(fx);
    const double b = g(x0, y0 + 1) + (g(x0 + 1, y0 + 1) - g(x0, y0 + 1)) * s(fx);
    return a + (b - a) * s(fy);
  }
  // Several octaves over a tile of kTileSize pixels.
  double Fractal(int px, int py, int octaves) const {
    double sum = 0, amp = 0.5, total = 0;
    for (int o = 0, cells = 4; o < octaves; ++o, cells *= 2, amp /= 2) {
      sum += amp * At(px * cells / double(kTileSize), py * cells / double(kTileSize));
      total += amp;
    }
    return sum / total;
  }
  static constexpr int kCells = 64;

 private:
  double grid_[kCells * kCells];
};

// A 256-colour picture: a palette and one index a pixel.
struct IndexedPicture {
  std::vector<GifColorType> palette = std::vector<GifColorType>(256);
  std::vector<GifByteType> pixels = std::vector<GifByteType>(kTileSize * kTileSize);
};

bool WriteGif(const QString& path, const IndexedPicture& picture) {
  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.toLocal8Bit().constData(), false, &error);
  if (!gif) return false;
  ColorMapObject* map = GifMakeMapObject(256, picture.palette.data());
  bool ok = map && EGifPutScreenDesc(gif, kTileSize, kTileSize, 8, 0, map) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, kTileSize, kTileSize, false, nullptr) == GIF_OK;
  for (int y = 0; ok && y < kTileSize; ++y)
    ok = EGifPutLine(gif, const_cast<GifByteType*>(&picture.pixels[std::size_t(y) * kTileSize]), kTileSize) == GIF_OK;
  GifFreeMapObject(map);
  if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
  return ok;
}

// A ramp of 256 colours from dark to light.
void Ramp(IndexedPicture& p, QColor dark, QColor light) {
  for (int i = 0; i < 256; ++i) {
    const double t = i / 255.0;
    p.palette[i] = {GifByteType(dark.red() + (light.red() - dark.red()) * t),
                    GifByteType(dark.green() + (light.green() - dark.green()) * t),
                    GifByteType(dark.blue() + (light.blue() - dark.blue()) * t)};
  }
}

IndexedPicture MarbleTan() {
  IndexedPicture p;
  Ramp(p, QColor(150, 112, 70), QColor(236, 214, 178));
  const Noise noise(7);
  for (int y = 0; y < kTileSize; ++y)
    for (int x = 0; x < kTileSize; ++x) {
      // Veins: a sine of the position disturbed by the noise.
      const double turb = noise.Fractal(x, y, 5);
      const double vein = std::abs(std::sin((x + y) * 2 * M_PI / kTileSize + turb * 9));
      const double v = 0.35 + 0.65 * std::pow(vein, 0.35) * (0.8 + 0.2 * turb);
      p.pixels[y * kTileSize + x] = GifByteType(std::clamp(v, 0.0, 1.0) * 255);
    }
  return p;
}

IndexedPicture MetalSand() {
  IndexedPicture p;
  Ramp(p, QColor(118, 110, 96), QColor(214, 206, 186));
  const Noise noise(11);
  std::mt19937 gen(5);
  std::uniform_int_distribution<int> grain(-18, 18);
  for (int y = 0; y < kTileSize; ++y)
    for (int x = 0; x < kTileSize; ++x) {
      // Brushed along the rows, with a fine sandy grain.
      const double brush = noise.At(x / 16.0, y * 2.0);
      const int v = int(150 + 60 * (brush - 0.5) + grain(gen));
      p.pixels[y * kTileSize + x] = GifByteType(std::clamp(v, 0, 255));
    }
  return p;
}

QImage BrickGray() {
  QImage img(kTileSize, kTileSize, QImage::Format_RGB32);
  img.fill(QColor(150, 150, 146));  // the mortar
  const Noise noise(3);
  constexpr int kBrickW = 64, kBrickH = 32, kMortar = 3;
  for (int row = 0; row < kTileSize / kBrickH; ++row) {
    const int shift = row % 2 ? kBrickW / 2 : 0;
    for (int b = -1; b < kTileSize / kBrickW + 1; ++b) {
      const int left = b * kBrickW + shift;
      const int tone = 96 + (row * 7 + b * 13 + 40) % 28;
      for (int y = row * kBrickH + kMortar; y < (row + 1) * kBrickH; ++y)
        for (int x = left + kMortar; x < left + kBrickW; ++x) {
          const int tx = (x % kTileSize + kTileSize) % kTileSize;
          const int v = int(tone + 30 * (noise.Fractal(tx, y, 4) - 0.5));
          img.setPixelColor(tx, y, QColor(v, v, v + 4));
        }
    }
  }
  return img;
}

// A tab label: the text on a small brass plate.
QImage TabLabel(const QString& text) {
  QImage img(120, 26, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient brass(0, 0, 0, 26);
  brass.setColorAt(0, QColor(238, 214, 140));
  brass.setColorAt(0.5, QColor(196, 160, 72));
  brass.setColorAt(1, QColor(150, 116, 42));
  p.setBrush(brass);
  p.setPen(QPen(QColor(96, 70, 20), 1));
  p.drawRoundedRect(QRectF(0.5, 0.5, 119, 25), 6, 6);
  QFont font("DejaVu Sans", 10, QFont::Bold);
  p.setFont(font);
  p.setPen(QColor(255, 244, 210));
  p.drawText(QRect(1, 1, 120, 26), Qt::AlignCenter, text);
  p.setPen(QColor(60, 40, 8));
  p.drawText(QRect(0, 0, 120, 26), Qt::AlignCenter, text);
  return img;
}

// The trophy above the best games.
QImage Trophy() {
  QImage img(72, 72, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient gold(14, 0, 58, 0);
  gold.setColorAt(0, QColor(170, 120, 20));
  gold.setColorAt(0.4, QColor(255, 222, 100));
  gold.setColorAt(1, QColor(150, 100, 10));
  p.setPen(QPen(QColor(110, 72, 6), 1.5));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(6, 10, 18, 22), 90 * 16, 180 * 16);  // the handles
  p.drawArc(QRectF(48, 10, 18, 22), 270 * 16, 180 * 16);
  p.setBrush(gold);
  QPainterPath cup;
  cup.moveTo(14, 8);
  cup.lineTo(58, 8);
  cup.cubicTo(58, 34, 46, 42, 38, 44);
  cup.lineTo(38, 52);
  cup.lineTo(34, 52);
  cup.lineTo(34, 44);
  cup.cubicTo(26, 42, 14, 34, 14, 8);
  p.drawPath(cup);
  p.drawRect(QRectF(22, 52, 28, 6));
  p.setBrush(QColor(90, 60, 30));
  p.drawRect(QRectF(16, 58, 40, 10));
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_scores_pictures <Data folder>\n");
    return 2;
  }
  const QDir data(QString::fromLocal8Bit(argv[1]));
  bool ok = data.mkpath("pictures") && data.mkpath("Backgrounds");
  const QString pictures = data.filePath("pictures/");
  ok = ok && TabLabel("Single Games").save(pictures + "scores-tab-single.png");
  ok = ok && TabLabel("Matches").save(pictures + "scores-tab-matches.png");
  ok = ok && TabLabel("High Scores").save(pictures + "scores-tab-high.png");
  ok = ok && TabLabel("Internet").save(pictures + "scores-tab-internet.png");
  ok = ok && Trophy().save(pictures + "scores-trophy.png");
  const QString backgrounds = data.filePath("Backgrounds/");
  ok = ok && WriteGif(backgrounds + "MarbleTan.gif", MarbleTan());
  ok = ok && WriteGif(backgrounds + "MetalSand.gif", MetalSand());
  ok = ok && BrickGray().save(backgrounds + "Brick-gray.jpg", "JPG", 90);
  if (!ok) std::fprintf(stderr, "make_scores_pictures: a picture could not be written\n");
  return ok ? 0 : 1;
}
