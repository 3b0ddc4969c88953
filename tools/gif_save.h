#pragma once
// Writes a picture as GIF through giflib (Qt reads GIF but cannot write it).

#include <gif_lib.h>

#include <QFile>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cmath>
#include <vector>

namespace gif {

// Quantises to a 256-colour palette by a 6 x 7 x 6 colour cube with
// error diffusion, and writes the frame through giflib.
inline bool SaveGif(const QImage& source, const QString& path) {
  const QImage img = source.convertToFormat(QImage::Format_RGB32);
  const int w = img.width(), h = img.height();
  std::vector<GifColorType> colors(256);
  const auto level = [](int i, int n) { return GifByteType(std::lround(255.0 * i / (n - 1))); };
  int index = 0;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 7; ++g)
      for (int b = 0; b < 6; ++b) colors[index++] = {level(r, 6), level(g, 7), level(b, 6)};
  for (; index < 256; ++index) colors[index] = {0, 0, 0};

  std::vector<GifByteType> pixels(std::size_t(w) * h);
  std::vector<double> err(std::size_t(w + 2) * 3 * 2, 0.0);
  for (int y = 0; y < h; ++y) {
    double* cur = &err[(y % 2) * (w + 2) * 3];
    double* next = &err[((y + 1) % 2) * (w + 2) * 3];
    std::fill(next, next + (w + 2) * 3, 0.0);
    for (int x = 0; x < w; ++x) {
      const QRgb p = img.pixel(x, y);
      const double want[3] = {qRed(p) + cur[(x + 1) * 3], qGreen(p) + cur[(x + 1) * 3 + 1],
                              qBlue(p) + cur[(x + 1) * 3 + 2]};
      const int steps[3] = {6, 7, 6};
      int q[3];
      for (int c = 0; c < 3; ++c)
        q[c] = std::clamp(int(std::lround(want[c] / 255.0 * (steps[c] - 1))), 0, steps[c] - 1);
      const int i = (q[0] * 7 + q[1]) * 6 + q[2];
      pixels[std::size_t(y) * w + x] = GifByteType(i);
      const double got[3] = {double(colors[i].Red), double(colors[i].Green), double(colors[i].Blue)};
      for (int c = 0; c < 3; ++c) {
        const double e = want[c] - got[c];
        cur[(x + 2) * 3 + c] += e * 7 / 16;
        next[x * 3 + c] += e * 3 / 16;
        next[(x + 1) * 3 + c] += e * 5 / 16;
        next[(x + 2) * 3 + c] += e * 1 / 16;
      }
    }
  }

  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.toLocal8Bit().constData(), false, &error);
  if (!gif) return false;
  ColorMapObject* map = GifMakeMapObject(256, colors.data());
  bool ok = map && EGifPutScreenDesc(gif, w, h, 8, 0, map) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
  for (int y = 0; ok && y < h; ++y) ok = EGifPutLine(gif, &pixels[std::size_t(y) * w], w) == GIF_OK;
  if (map) GifFreeMapObject(map);
  if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
  // giflib creates the file readable by its owner only.
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
  return ok;
}

}  // namespace gif
