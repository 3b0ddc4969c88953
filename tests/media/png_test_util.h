#pragma once
// Helpers of the PNG tests: the suite's files, a reference decoder (libpng)
// reduced to what our bitmap keeps, and reading our bitmap back as colours.

#include "media/png_picture.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

namespace pngtest {

QString SuiteFolder();
QStringList SuiteFiles(const QString& pattern = QStringLiteral("*.png"));
QByteArray ReadBytes(const QString& path);

// Premultiplied BGRA of one pixel as our bitmap keeps it.
struct Bgra {
  std::uint8_t b = 0, g = 0, r = 0, a = 0;
  bool operator==(const Bgra&) const = default;
};

// Every pixel of a PNG as libpng decodes it: 16-bit samples reduced to their
// high byte, tRNS as alpha, no gamma. Empty when libpng refuses the file.
struct Reference {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;  // straight (not premultiplied) RGBA
};
Reference DecodeWithLibpng(const QByteArray& file);

// Our decoded picture read back pixel by pixel (indexed pixels through the
// colour table, alpha 255 for pictures without an alpha channel).
std::vector<Bgra> ReadBack(const media::StdPNG& png);

// What our bitmap must hold for a reference pixel: premultiplied for a
// 32-bit bitmap, the colour alone for the others.
Bgra Expected(const std::uint8_t* rgba, int dibBits);

std::string Describe(const Bgra& p);

// A PNG file built in memory from chunks, for crafted broken inputs.
class PngBuilder {
 public:
  PngBuilder& Header(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t colorType,
                     std::uint8_t interlace = 0);
  PngBuilder& Chunk(const char* type, const QByteArray& data, bool goodCrc = true);
  // Filtered scan lines (filter byte included) compressed as one IDAT.
  PngBuilder& ImageData(const QByteArray& raw, int chunks = 1);
  PngBuilder& End();
  QByteArray bytes() const;

 private:
  QByteArray body_;
};

QByteArray Compress(const QByteArray& raw);

}  // namespace pngtest
