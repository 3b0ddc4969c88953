// Makes the pictures of the menus' windows in Data/pictures/: the list
// menu's band in wood and in metal, and the marble of the player window.
// Everything is drawn here, deterministically.
//
// Usage: make_menu_pictures SOURCE_FOLDER   (the folder that holds Data/)

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "picture_out.h"

namespace {

constexpr int kBandWidth = 153;
constexpr int kBandHeight = 34;
constexpr int kMarbleSize = 128;

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

// Smooth noise that wraps around a square of the given period.
double TileNoise(double x, double y, int period, uint32_t seed) {
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  const auto at = [&](int i, int j) {
    return Hash(((i % period) + period) % period, ((j % period) + period) % period, seed);
  };
  const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * sx;
  const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * sx;
  return top + (bottom - top) * sy;
}

QImage Band(bool wood) {
  QImage img(kBandWidth, kBandHeight, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < kBandHeight; ++y) {
    for (int x = 0; x < kBandWidth; ++x) {
      if (wood) {
        const double t = y * 0.8 + 3.0 * std::sin(x * 0.05) + 1.0 * std::sin(x * 0.13 + y * 0.2);
        const double g = std::pow(0.5 + 0.5 * std::sin(t), 3.0);
        img.setPixelColor(x, y, Mix(QColor(190, 134, 80), QColor(112, 66, 32), g * 0.6 + Hash(x / 3, y, 5) * 0.12));
      } else {
        const double v = std::clamp(0.72 + (Hash(0, y, 7) - 0.5) * 0.1 + (Hash(x / 7, y, 8) - 0.5) * 0.06 +
                                        0.1 * std::cos(x * 3.14159 / kBandWidth),
                                    0.0, 1.0);
        img.setPixelColor(
            x, y, QColor::fromRgbF(static_cast<float>(v * 0.96), static_cast<float>(v * 0.98), static_cast<float>(v)));
      }
    }
  }
  QPainter p(&img);
  QLinearGradient light(0, 0, 0, kBandHeight);
  light.setColorAt(0, QColor(255, 255, 255, 70));
  light.setColorAt(0.5, QColor(255, 255, 255, 0));
  light.setColorAt(1, QColor(0, 0, 0, 70));
  p.fillRect(img.rect(), light);
  p.setPen(wood ? QColor(60, 34, 14) : QColor(70, 74, 80));
  p.drawRect(0, 0, kBandWidth - 1, kBandHeight - 1);
  return img;
}

QImage Marble() {
  QImage img(kMarbleSize, kMarbleSize, QImage::Format_ARGB32_Premultiplied);
  const QColor pale(226, 226, 222), vein(128, 130, 134);
  for (int y = 0; y < kMarbleSize; ++y) {
    for (int x = 0; x < kMarbleSize; ++x) {
      double turbulence = 0;
      double scale = 1;
      for (int octave = 0; octave < 4; ++octave) {
        const int period = 4 << octave;
        turbulence +=
            TileNoise(x * period / double(kMarbleSize), y * period / double(kMarbleSize), period, 3 + octave) / scale;
        scale *= 2;
      }
      const double v = std::abs(std::sin((x + y) * 2 * 3.14159 / kMarbleSize * 2 + turbulence * 4.0));
      img.setPixelColor(x, y, Mix(vein, pale, std::pow(v, 0.35)));
    }
  }
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const std::optional<QDir> folder = tools::PicturesFolder(argc, argv);
  if (!folder) return argc != 2 ? 2 : 1;
  const QDir& out = *folder;
  bool ok = true;
  ok &= tools::Save(Band(true), out, "menu-band-wood.png");
  ok &= tools::Save(Band(false), out, "menu-band-metal.png");
  ok &= tools::Save(Marble(), out, "marble.png");
  return ok ? 0 : 1;
}
