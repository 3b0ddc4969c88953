// Every valid file of the PNG suite decodes to libpng's pixels, and every
// broken one is refused with its own message.

#include "png_test_util.h"

#include "platform/ui.h"
#include "support/fake_ui.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using media::PngError;
using media::StdPNG;
using pngtest::Bgra;

// What our bitmap must hold; a picture the reference shows with any
// transparency must have kept it in a 32-bit bitmap.
std::vector<Bgra> ExpectedPixels(const pngtest::Reference& ref, int dibBits) {
  std::vector<Bgra> pixels;
  bool transparent = false;
  for (std::size_t i = 0; i + 3 < ref.rgba.size(); i += 4) {
    pixels.push_back(pngtest::Expected(&ref.rgba[i], dibBits));
    transparent = transparent || ref.rgba[i + 3] < 255;
  }
  if (transparent) {
    EXPECT_EQ(dibBits, 32) << "transparency lost in a " << dibBits << "-bit bitmap";
  }
  return pixels;
}

class SuiteFile : public ::testing::TestWithParam<QString> {};

TEST_P(SuiteFile, DecodesLikeTheReference) {
  const QString path = pngtest::SuiteFolder() + "/" + GetParam();
  const QByteArray file = pngtest::ReadBytes(path);
  const pngtest::Reference ref = pngtest::DecodeWithLibpng(file);
  ASSERT_GT(ref.width, 0) << "the reference refuses " << GetParam().toStdString();

  platform::FakeUi ui;
  StdPNG png(ui);
  png.SetTransparentStyle(media::kTransparentKeep);
  ASSERT_TRUE(png.LoadFile(path, -1, 0, 255));
  EXPECT_TRUE(ui.boxes.empty());
  ASSERT_EQ(png.Width(), ref.width);
  ASSERT_EQ(png.Height(), ref.height);

  const std::vector<Bgra> ours = pngtest::ReadBack(png);
  const std::vector<Bgra> expected = ExpectedPixels(ref, png.BitCount_BMP());
  ASSERT_EQ(ours.size(), expected.size());
  for (std::size_t i = 0; i < ours.size(); ++i) {
    ASSERT_EQ(ours[i], expected[i]) << GetParam().toStdString() << " pixel " << i % std::size_t(ref.width) << ","
                                    << i / std::size_t(ref.width) << ": ours " << pngtest::Describe(ours[i])
                                    << ", reference " << pngtest::Describe(expected[i]);
  }
}

QStringList ValidSuiteFiles() {
  QStringList files;
  for (const QString& f : pngtest::SuiteFiles())
    if (!f.startsWith('x')) files << f;
  return files;
}

std::string ParamName(const ::testing::TestParamInfo<QString>& info) { return info.param.chopped(4).toStdString(); }

INSTANTIATE_TEST_SUITE_P(PngSuite, SuiteFile, ::testing::ValuesIn(ValidSuiteFiles()), ParamName);

// Any bytes are a valid filtered image: random filter types and random
// samples test every unfilter at every pixel size against the reference.
TEST(PngRandomFilters, EveryFilterAtEveryPixelSizeMatchesTheReference) {
  struct Format {
    std::uint8_t colorType, depth;
  };
  const Format formats[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                            {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
  std::uint32_t rng = 12345;
  auto next = [&rng] {
    rng = rng * 1664525u + 1013904223u;
    return std::uint8_t(rng >> 24);
  };
  for (const Format f : formats) {
    for (const std::uint8_t interlace : {0, 1}) {
      media::PngInfo info;
      info.width = 37;
      info.height = 23;
      info.bitDepth = f.depth;
      info.colorType = f.colorType;
      info.interlace = interlace;
      // The inflated stream is the same lines for both layouts; only their
      // count and lengths differ.
      QByteArray raw;
      const int bits = info.BitsPerPixel();
      for (int pass = interlace ? 1 : 8; pass <= (interlace ? 7 : 8); ++pass) {
        const std::int64_t columns = media::PassColumns(info.width, pass);
        const std::int64_t lines = media::PassLines(info.height, pass);
        if (columns == 0 || lines == 0) continue;
        for (std::int64_t y = 0; y < lines; ++y) {
          raw += char(next() % 5);
          for (std::int64_t i = 0; i < media::CalcRowBytes(columns, bits); ++i) raw += char(next());
        }
      }
      ASSERT_EQ(raw.size(), media::CalcRawDataSize(info));
      pngtest::PngBuilder builder;
      builder.Header(37, 23, f.depth, f.colorType, interlace);
      if (f.colorType == media::kPalette) {
        QByteArray palette, alpha;
        for (int i = 0; i < (1 << f.depth); ++i) {
          palette += QByteArray(1, char(next())) + char(next()) + char(next());
          alpha += char(next());
        }
        builder.Chunk("PLTE", palette).Chunk("tRNS", alpha);
      }
      const QByteArray file = builder.ImageData(raw).End().bytes();
      SCOPED_TRACE(testing::Message() << "colour type " << int(f.colorType) << " depth " << int(f.depth)
                                      << " interlace " << int(interlace));
      const pngtest::Reference ref = pngtest::DecodeWithLibpng(file);
      ASSERT_EQ(ref.width, 37);
      platform::FakeUi ui;
      StdPNG png(ui);
      png.SetTransparentStyle(media::kTransparentKeep);
      ASSERT_TRUE(
          png.LoadFromMemory({reinterpret_cast<const std::uint8_t*>(file.constData()), std::size_t(file.size())}, -1, 0,
                             255)
              .ok());
      const std::vector<Bgra> ours = pngtest::ReadBack(png);
      const std::vector<Bgra> expected = ExpectedPixels(ref, png.BitCount_BMP());
      ASSERT_EQ(ours.size(), expected.size());
      for (std::size_t i = 0; i < ours.size(); ++i)
        ASSERT_EQ(ours[i], expected[i]) << "pixel " << i % 37 << "," << i / 37;
    }
  }
}

TEST(PngSuiteTwins, InterlacedAndPlainTwinsDecodeIdentically) {
  int pairs = 0;
  for (const QString& interlaced : pngtest::SuiteFiles(QStringLiteral("???i????.png"))) {
    QString plain = interlaced;
    plain[3] = 'n';
    if (!QFile::exists(pngtest::SuiteFolder() + "/" + plain)) continue;
    platform::FakeUi ui;
    StdPNG a(ui);
    StdPNG b(ui);
    a.SetTransparentStyle(media::kTransparentKeep);
    b.SetTransparentStyle(media::kTransparentKeep);
    ASSERT_TRUE(a.LoadFile(pngtest::SuiteFolder() + "/" + interlaced, -1, 0, 255));
    ASSERT_TRUE(b.LoadFile(pngtest::SuiteFolder() + "/" + plain, -1, 0, 255));
    EXPECT_EQ(a.BitCount_BMP(), b.BitCount_BMP()) << interlaced.toStdString();
    EXPECT_TRUE(pngtest::ReadBack(a) == pngtest::ReadBack(b)) << interlaced.toStdString();
    ++pairs;
  }
  EXPECT_GE(pairs, 30);
}

}  // namespace
