#include "png_test_util.h"

#include "support/temp_home.h"

#include <QDir>
#include <QFile>

#include <png.h>
#include <zlib.h>

#include <cstring>
#include <sstream>

namespace pngtest {

QString SuiteFolder() { return SourceFile(QStringLiteral("tests/media/pngsuite")); }

QStringList SuiteFiles(const QString& pattern) {
  return QDir(SuiteFolder()).entryList({pattern}, QDir::Files, QDir::Name);
}

QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

namespace {

struct MemoryReader {
  const QByteArray* bytes;
  qsizetype at = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (reader->at + qsizetype(count) > reader->bytes->size()) png_error(png, "read past end");
  std::memcpy(out, reader->bytes->constData() + reader->at, count);
  reader->at += qsizetype(count);
}

void Quiet(png_structp, png_const_charp) {}

}  // namespace

Reference DecodeWithLibpng(const QByteArray& file) {
  Reference ref;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, Quiet);
  png_infop info = png_create_info_struct(png);
  MemoryReader reader{&file};
  std::vector<std::uint8_t> wide;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return {};
  }
  png_set_read_fn(png, &reader, ReadFromMemory);
  png_read_info(png, info);
  // Everything to 16-bit RGBA: then every sample's high byte is what a
  // decoder that keeps 8 bits must show.
  png_set_expand(png);
  png_set_gray_to_rgb(png);
  png_set_expand_16(png);
  png_set_add_alpha(png, 0xFFFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const int width = int(png_get_image_width(png, info));
  const int height = int(png_get_image_height(png, info));
  const std::size_t rowBytes = png_get_rowbytes(png, info);
  wide.resize(rowBytes * std::size_t(height));
  std::vector<png_bytep> rows(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) rows[std::size_t(y)] = wide.data() + rowBytes * std::size_t(y);
  png_read_image(png, rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
  ref.width = width;
  ref.height = height;
  ref.rgba.resize(std::size_t(width) * std::size_t(height) * 4);
  for (std::size_t i = 0; i < ref.rgba.size(); ++i) ref.rgba[i] = wide[2 * i];  // high byte, big-endian
  return ref;
}

std::vector<Bgra> ReadBack(const media::StdPNG& png) {
  const QImage image = png.Handle();
  std::vector<Bgra> pixels;
  if (image.isNull()) return pixels;
  const int bits = png.BitCount_BMP();
  pixels.reserve(std::size_t(image.width()) * std::size_t(image.height()));
  for (int y = 0; y < image.height(); ++y) {
    const std::uint8_t* row = image.constScanLine(y);
    for (int x = 0; x < image.width(); ++x) {
      Bgra p;
      if (bits == 32) {
        p = {row[4 * x], row[4 * x + 1], row[4 * x + 2], row[4 * x + 3]};
      } else if (bits == 24) {
        p = {row[3 * x], row[3 * x + 1], row[3 * x + 2], 255};
      } else {
        const int index = image.format() == QImage::Format_Mono ? (row[x >> 3] >> (7 - (x & 7))) & 1 : row[x];
        const QRgb c = index < image.colorCount() ? image.color(index) : 0xFFFF00FFu;
        p = {std::uint8_t(qBlue(c)), std::uint8_t(qGreen(c)), std::uint8_t(qRed(c)), 255};
      }
      pixels.push_back(p);
    }
  }
  return pixels;
}

Bgra Expected(const std::uint8_t* rgba, int dibBits) {
  if (dibBits != 32) return {rgba[2], rgba[1], rgba[0], 255};
  const int a = rgba[3];
  if (a == 0) return {};
  return {std::uint8_t(rgba[2] * a / 255), std::uint8_t(rgba[1] * a / 255), std::uint8_t(rgba[0] * a / 255),
          std::uint8_t(a)};
}

std::string Describe(const Bgra& p) {
  std::ostringstream s;
  s << "BGRA(" << int(p.b) << "," << int(p.g) << "," << int(p.r) << "," << int(p.a) << ")";
  return s.str();
}

namespace {

QByteArray BE32(std::uint32_t v) {
  QByteArray b(4, 0);
  b[0] = char(v >> 24);
  b[1] = char(v >> 16);
  b[2] = char(v >> 8);
  b[3] = char(v);
  return b;
}

}  // namespace

QByteArray Compress(const QByteArray& raw) {
  uLongf size = compressBound(uLong(raw.size()));
  QByteArray out(qsizetype(size), 0);
  compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.constData()),
           uLong(raw.size()));
  out.resize(qsizetype(size));
  return out;
}

PngBuilder& PngBuilder::Header(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t colorType,
                               std::uint8_t interlace) {
  QByteArray data = BE32(width) + BE32(height);
  data.append(char(depth));
  data.append(char(colorType));
  data.append(char(0));
  data.append(char(0));
  data.append(char(interlace));
  return Chunk("IHDR", data);
}

PngBuilder& PngBuilder::Chunk(const char* type, const QByteArray& data, bool goodCrc) {
  const QByteArray typeAndData = QByteArray(type, 4) + data;
  std::uint32_t crc =
      std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(typeAndData.constData()), uInt(typeAndData.size())));
  if (!goodCrc) crc ^= 1;
  body_ += BE32(std::uint32_t(data.size())) + typeAndData + BE32(crc);
  return *this;
}

PngBuilder& PngBuilder::ImageData(const QByteArray& raw, int chunks) {
  const QByteArray z = Compress(raw);
  const qsizetype slice = (z.size() + chunks - 1) / chunks;
  for (qsizetype at = 0; at < z.size(); at += slice) Chunk("IDAT", z.mid(at, slice));
  return *this;
}

PngBuilder& PngBuilder::End() { return Chunk("IEND", {}); }

QByteArray PngBuilder::bytes() const {
  static const char kSignature[] = "\x89PNG\r\n\x1a\n";
  return QByteArray(kSignature, 8) + body_;
}

}  // namespace pngtest
