// What a loaded picture reports besides its pixels: text, times, gamma and
// the other ancillary values, transparency keys and background colours.

#include "png_test_util.h"

#include "platform/ui.h"
#include "support/fake_ui.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using media::StdPNG;
using pngtest::PngBuilder;

const QByteArray kPadding = QByteArray("Comment\0", 8) + QByteArray(40, 'x');

std::span<const std::uint8_t> Span(const QByteArray& b) {
  return {reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size())};
}

class PngProperties : public ::testing::Test {
 protected:
  void SetUp() override { png.SetTransparentStyle(media::kTransparentKeep); }
  bool LoadSuite(const char* name) { return png.LoadFile(pngtest::SuiteFolder() + "/" + name, -1, 0, 255); }
  bool LoadBytes(const QByteArray& bytes) { return png.LoadFromMemory(Span(bytes), -1, 0, 255).ok(); }
  platform::FakeUi ui;
  StdPNG png{ui};
};

TEST_F(PngProperties, TextAndCompressedTextReachComments) {
  ASSERT_TRUE(LoadSuite("ctzn0g04.png"));
  const QString zipped = png.Comments(QStringLiteral("none"));
  ASSERT_TRUE(LoadSuite("ct1n0g04.png"));
  const QString plain = png.Comments(QStringLiteral("none"));
  EXPECT_EQ(zipped, plain);
  EXPECT_TRUE(
      plain.startsWith(QStringLiteral("Title: PngSuite\r\nAuthor: Willem A.J. van Schaik\r\n(willem@schaik.com)\r\n")))
      << plain.toStdString();
  EXPECT_TRUE(plain.endsWith(QStringLiteral("\r\nDisclaimer: Freeware.")));
  EXPECT_FALSE(plain.contains(QRegularExpression(QStringLiteral("[^\\r]\\n"))));
  ASSERT_TRUE(LoadSuite("ct0n0g04.png"));
  EXPECT_EQ(png.Comments(QStringLiteral("none")), QStringLiteral("none"));
}

TEST_F(PngProperties, TextCleaningRemovesTheEscapeCharacterOnly) {
  const QByteArray text = QByteArray("Note\0Room 27 \x1b[1mbold", 21);
  ASSERT_TRUE(LoadBytes(PngBuilder()
                            .Header(1, 1, 8, 0)
                            .Chunk("tEXt", text)
                            .Chunk("tEXt", QByteArray("Caf\xe9\0\x80 5", 8))
                            .ImageData(QByteArray(2, 0))
                            .End()
                            .bytes()));
  EXPECT_EQ(png.Comments({}), QString::fromUtf8("Note: Room 27  [1mbold\r\nCafé: € 5"));
}

TEST_F(PngProperties, KeywordsAreReadWithinTheChunk) {
  const std::uint8_t noNul[] = {'a', 'b', 'c'};
  EXPECT_TRUE(media::ReadChunkKeyword(noNul).isEmpty());
  const std::uint8_t withNul[] = {'K', 'e', 'y', 0, 'v'};
  EXPECT_EQ(media::ReadChunkKeyword(withNul), QStringLiteral("Key"));
  std::vector<std::uint8_t> longKey(100, 'k');
  longKey[81] = 0;  // the NUL lies beyond the 81 bytes searched
  EXPECT_TRUE(media::ReadChunkKeyword(longKey).isEmpty());
  ASSERT_TRUE(LoadBytes(PngBuilder()
                            .Header(1, 1, 8, 0)
                            .Chunk("tEXt", QByteArray(90, 'k'))
                            .Chunk("tEXt", QByteArray("abc", 3))
                            .ImageData(QByteArray(2, 0))
                            .End()
                            .bytes()));
  EXPECT_EQ(png.Comments(QStringLiteral("-")), QStringLiteral("-"));
}

TEST_F(PngProperties, CompressedTextThatDoesNotInflateLeavesAnEmptyLine) {
  const QByteArray good = QByteArray("A\0\0", 3) + pngtest::Compress("first");
  const QByteArray broken = QByteArray("B\0\0", 3) + QByteArray("not zlib data");
  const QByteArray otherMethod = QByteArray("C\0\1", 3) + pngtest::Compress("skipped");
  // 5000 bytes of zeros inflate to more than 50 times the chunk's length.
  const QByteArray bomb = QByteArray("D\0\0", 3) + pngtest::Compress(QByteArray(5000, 'z'));
  ASSERT_TRUE(LoadBytes(PngBuilder()
                            .Header(1, 1, 8, 0)
                            .Chunk("zTXt", good)
                            .Chunk("zTXt", broken)
                            .Chunk("zTXt", otherMethod)
                            .Chunk("zTXt", bomb)
                            .Chunk("tEXt", QByteArray("E\0last", 6))
                            .ImageData(QByteArray(2, 0))
                            .End()
                            .bytes()));
  EXPECT_EQ(png.Comments({}), QStringLiteral("A: first\r\n\r\n\r\nE: last"));
}

TEST_F(PngProperties, TextStoreKeepsLengthTypeAndData) {
  ASSERT_TRUE(LoadBytes(PngBuilder()
                            .Header(1, 1, 8, 0)
                            .Chunk("tEXt", QByteArray("k\0xxxxxxxx", 10))
                            .Chunk("tEXt", QByteArray("k\0", 2) + QByteArray(18, 'y'))
                            .ImageData(QByteArray(2, 0))
                            .End()
                            .bytes()));
  EXPECT_EQ(png.Info().textStore.size(), 46u);
}

TEST_F(PngProperties, TimesAndPhysicalValues) {
  ASSERT_TRUE(LoadSuite("cm9n0g04.png"));
  EXPECT_EQ(png.LastModified(), QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59)));
  ASSERT_TRUE(LoadSuite("cm7n0g04.png"));
  EXPECT_EQ(png.LastModified(), QDateTime(QDate(1970, 1, 1), QTime(0, 0, 0)));
  EXPECT_DOUBLE_EQ(png.GammaCorrection(), 1.0);
  EXPECT_TRUE(png.AspectRatio().empty());
  EXPECT_TRUE(png.Chromaticity().empty());
  ASSERT_TRUE(LoadSuite("cdfn2c08.png"));
  EXPECT_EQ(png.AspectRatio(), (std::vector<std::int32_t>{1, 4, 0}));
  EXPECT_FALSE(png.LastModified().isValid());
  ASSERT_TRUE(LoadSuite("ccwn2c08.png"));
  const std::vector<double> chromaticity = png.Chromaticity();
  ASSERT_EQ(chromaticity.size(), 8u);
  EXPECT_DOUBLE_EQ(chromaticity[0], 0.3127);
  ASSERT_TRUE(LoadSuite("g03n0g16.png"));
  EXPECT_DOUBLE_EQ(png.GammaCorrection(), 0.35);
}

TEST_F(PngProperties, SmallValueChunks) {
  const QByteArray pixels = QByteArray(2, 0);
  ASSERT_TRUE(LoadBytes(PngBuilder()
                            .Header(1, 1, 8, 0)
                            .Chunk("sRGB", QByteArray(1, 3))
                            .Chunk("gAMA", QByteArray::fromHex("0000B18F00"))
                            .Chunk("oFFs", QByteArray::fromHex("FFFFFFFE0000000501"))
                            .Chunk("tEXt", kPadding)
                            .ImageData(pixels)
                            .End()
                            .bytes()));
  EXPECT_EQ(png.StdRGB(), 4);
  EXPECT_DOUBLE_EQ(png.GammaCorrection(), 0.0);  // five bytes: ignored
  EXPECT_EQ(png.Offsets(), (std::vector<std::int32_t>{-2, 5, 1}));
  ASSERT_TRUE(LoadBytes(PngBuilder()
                            .Header(1, 1, 8, 0)
                            .Chunk("sRGB", QByteArray(1, 4))
                            .Chunk("gAMA", QByteArray::fromHex("0000B18F"))
                            .Chunk("tEXt", kPadding)
                            .ImageData(pixels)
                            .End()
                            .bytes()));
  EXPECT_EQ(png.StdRGB(), 0);
  EXPECT_DOUBLE_EQ(png.GammaCorrection(), 0.45455);
}

TEST_F(PngProperties, SixteenBitKeyMatchesWholeSamples) {
  // Two grey pixels sharing their low byte; only the first is the key.
  const QByteArray raw = QByteArray::fromHex(
      "00"
      "0102"
      "0502");
  ASSERT_TRUE(LoadBytes(PngBuilder()
                            .Header(2, 1, 16, media::kGrey)
                            .Chunk("tRNS", QByteArray::fromHex("0102"))
                            .Chunk("tEXt", kPadding)
                            .ImageData(raw)
                            .End()
                            .bytes()));
  auto pixels = pngtest::ReadBack(png);
  ASSERT_EQ(pixels.size(), 2u);
  EXPECT_EQ(pixels[0], (pngtest::Bgra{0, 0, 0, 0}));
  EXPECT_EQ(pixels[1], (pngtest::Bgra{5, 5, 5, 255}));

  const QByteArray rgb = QByteArray::fromHex(
      "00"
      "0102A0B0C0D0"
      "0902A0B0C0D0");
  ASSERT_TRUE(LoadBytes(PngBuilder()
                            .Header(2, 1, 16, media::kRgb)
                            .Chunk("tRNS", QByteArray::fromHex("0102A0B0C0D0"))
                            .Chunk("tEXt", kPadding)
                            .ImageData(rgb)
                            .End()
                            .bytes()));
  pixels = pngtest::ReadBack(png);
  EXPECT_EQ(pixels[0], (pngtest::Bgra{0, 0, 0, 0}));
  EXPECT_EQ(pixels[1], (pngtest::Bgra{0xC0, 0xA0, 0x09, 255}));
}

TEST_F(PngProperties, ShortTransparencyAndBackgroundAreIgnored) {
  const QByteArray raw = QByteArray::fromHex(
      "00"
      "0102"
      "0502");
  ASSERT_TRUE(LoadBytes(PngBuilder()
                            .Header(2, 1, 16, media::kGrey)
                            .Chunk("tRNS", QByteArray(1, 1))
                            .Chunk("bKGD", QByteArray(1, 1))
                            .Chunk("tEXt", kPadding)
                            .ImageData(raw)
                            .End()
                            .bytes()));
  EXPECT_EQ(png.BitCount_BMP(), 8);
  EXPECT_EQ(png.Info().fileBackground, -1);
  EXPECT_FALSE(png.Info().HasKeyColor());
}

TEST_F(PngProperties, BackgroundColourOfSixteenBitUsesTheHighByte) {
  ASSERT_TRUE(LoadSuite("tbbn2c16.png"));  // bKGD 0000 0000 FFFF: blue
  EXPECT_EQ(png.Info().fileBackground, 0xFF0000);
  ASSERT_TRUE(LoadSuite("bggn4a16.png"));  // bKGD grey AB84
  EXPECT_EQ(png.Info().fileBackground, 0xABABAB);
  // A 1-bit grey picture with background grey value 1 has a white background.
  ASSERT_TRUE(LoadBytes(PngBuilder()
                            .Header(8, 1, 1, media::kGrey)
                            .Chunk("bKGD", QByteArray::fromHex("0001"))
                            .Chunk("tEXt", kPadding)
                            .ImageData(QByteArray::fromHex("00AA"))
                            .End()
                            .bytes()));
  EXPECT_EQ(png.Info().fileBackground, 0xFFFFFF);
}

TEST_F(PngProperties, BackgroundIndexBeyondThePaletteIsIgnored) {
  ASSERT_TRUE(LoadBytes(PngBuilder()
                            .Header(1, 1, 2, media::kPalette)
                            .Chunk("PLTE", QByteArray::fromHex("112233445566"))
                            .Chunk("bKGD", QByteArray(1, 2))
                            .Chunk("tEXt", kPadding)
                            .ImageData(QByteArray(2, 0))
                            .End()
                            .bytes()));
  EXPECT_EQ(png.Info().fileBackground, -1);
  ASSERT_TRUE(LoadBytes(PngBuilder()
                            .Header(1, 1, 2, media::kPalette)
                            .Chunk("PLTE", QByteArray::fromHex("112233445566"))
                            .Chunk("bKGD", QByteArray(1, 1))
                            .Chunk("tEXt", kPadding)
                            .ImageData(QByteArray(2, 0))
                            .End()
                            .bytes()));
  EXPECT_EQ(png.Info().fileBackground, 0x665544);
}

TEST_F(PngProperties, PaletteTransparencyIsPaddedAndIgnoredForAlphaImages) {
  ASSERT_TRUE(LoadBytes(PngBuilder()
                            .Header(1, 1, 8, media::kPalette)
                            .Chunk("PLTE", QByteArray(12, 1))
                            .Chunk("tRNS", QByteArray::fromHex("102030"))
                            .Chunk("tEXt", kPadding)
                            .ImageData(QByteArray(2, 0))
                            .End()
                            .bytes()));
  ASSERT_EQ(png.Info().transparency.size(), 256u);
  EXPECT_EQ(png.Info().transparency[2], 0x30);
  EXPECT_EQ(png.Info().transparency[3], 255);
  EXPECT_EQ(png.Info().keyColor, 0);
  ASSERT_TRUE(LoadBytes(PngBuilder()
                            .Header(1, 1, 8, media::kRgba)
                            .Chunk("tRNS", QByteArray(6, 1))
                            .Chunk("tEXt", kPadding)
                            .ImageData(QByteArray(5, 0))
                            .End()
                            .bytes()));
  EXPECT_FALSE(png.Info().HasKeyColor());
}

TEST_F(PngProperties, GreyPalettesAndBitCounts) {
  ASSERT_TRUE(LoadSuite("basn0g04.png"));
  std::vector<std::uint8_t> palette = png.Palette();
  ASSERT_EQ(palette.size(), 48u);
  EXPECT_EQ(palette[3], 17);
  EXPECT_EQ(palette[47], 255);
  EXPECT_EQ(png.BitCount_PNG(), 4);
  EXPECT_EQ(png.BitCount_BMP(), 4);
  ASSERT_TRUE(LoadSuite("basn0g16.png"));
  EXPECT_EQ(png.Palette().size(), 768u);
  EXPECT_EQ(png.BitCount_BMP(), 8);
  ASSERT_TRUE(LoadSuite("basn0g02.png"));
  EXPECT_EQ(png.Palette(), (std::vector<std::uint8_t>{0, 0, 0, 0x55, 0x55, 0x55, 0xAA, 0xAA, 0xAA, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(png.BitCount_BMP(), 4);
  ASSERT_TRUE(LoadSuite("basn6a16.png"));
  EXPECT_EQ(png.BitCount_PNG(), 64);
  EXPECT_TRUE(png.Palette().empty());
  EXPECT_EQ(png.ScanLineWidth(), 32 * 4);
  ASSERT_TRUE(LoadSuite("basn2c08.png"));
  EXPECT_EQ(png.ScanLineWidth(), 32 * 3);
}

// The header's interlace field, as the file has it: the same pixels stored
// in seven passes or row by row, told apart before decoding starts.
TEST_F(PngProperties, IsInterlacedTellsTheAdam7FileFromItsRowByRowTwin) {
  EXPECT_FALSE(png.IsInterlaced());
  bool seen = false;
  png.onProgessiveDisplay = [&](media::ProgressiveDisplayArgs& args) {
    seen = true;
    EXPECT_EQ(png.IsInterlaced(), args.interlaced);
  };
  ASSERT_TRUE(LoadSuite("basi3p04.png"));
  EXPECT_TRUE(seen);
  EXPECT_TRUE(png.IsInterlaced());
  const std::vector<pngtest::Bgra> passes = pngtest::ReadBack(png);
  ASSERT_TRUE(LoadSuite("basn3p04.png"));
  EXPECT_FALSE(png.IsInterlaced());
  EXPECT_TRUE(pngtest::ReadBack(png) == passes);
  ASSERT_TRUE(LoadSuite("basi6a16.png"));
  EXPECT_TRUE(png.IsInterlaced());
  EXPECT_FALSE(LoadSuite("xcsn0g01.png"));
  EXPECT_FALSE(png.IsInterlaced()) << "a failed load leaves nothing to ask";
}

TEST_F(PngProperties, PaletteLetTurnsGreyIntoPaletteAndBack) {
  ASSERT_TRUE(LoadSuite("tbbn0g04.png"));  // 4-bit grey with a key
  ASSERT_TRUE(png.Info().HasKeyColor());
  png.SetPalette({10, 20, 30});
  EXPECT_EQ(png.ColorType(), media::kPalette);
  ASSERT_EQ(png.Palette().size(), 48u);
  EXPECT_EQ(png.Palette()[2], 30);
  EXPECT_EQ(png.Palette()[3], 0);
  ASSERT_EQ(png.Info().transparency.size(), 16u);
  EXPECT_EQ(png.Info().transparency[std::size_t(png.Info().keyColor)], 0);

  ASSERT_TRUE(LoadSuite("basn3p04.png"));  // no transparency: back to grey
  png.SetPalette({});
  EXPECT_EQ(png.ColorType(), media::kGrey);
  EXPECT_EQ(png.Palette().size(), 48u);
}

TEST_F(PngProperties, PaletteSetWhileLoadingIndexesOnlyWhatADepthCanIndex) {
  ASSERT_TRUE(LoadSuite("basn0g16.png"));
  const std::vector<pngtest::Bgra> grey = pngtest::ReadBack(png);
  int events = 0;
  png.onProgress = [&](int percent) {
    if (percent == 0 && ++events) png.SetPalette({10, 20, 30});
  };
  png.onProgessiveDisplay = [&](media::ProgressiveDisplayArgs&) {
    ++events;
    png.SetPalette({10, 20, 30});
  };
  ASSERT_TRUE(LoadSuite("basn0g16.png"));
  EXPECT_EQ(events, 2);
  EXPECT_EQ(png.ColorType(), media::kGrey);
  EXPECT_TRUE(pngtest::ReadBack(png) == grey);
  // Eight bits index the palette given.
  ASSERT_TRUE(LoadSuite("basn0g08.png"));
  EXPECT_EQ(png.ColorType(), media::kPalette);
  EXPECT_EQ(png.BitCount_BMP(), 8);
  EXPECT_EQ(png.Palette().size(), 768u);
}

TEST_F(PngProperties, FailedLoadLeavesNoPictureAndFreshObjectIsEmpty) {
  EXPECT_TRUE(png.Handle().isNull());
  QImage target(4, 4, QImage::Format_ARGB32_Premultiplied);
  target.fill(Qt::white);
  png.Paint(&target, 0, 0, 0, 0, nullptr, 0, 0, 0, 0, 255);
  EXPECT_EQ(target.pixel(0, 0), qRgb(255, 255, 255));
  ASSERT_TRUE(LoadSuite("basn6a08.png"));
  EXPECT_FALSE(png.Handle().isNull());
  EXPECT_FALSE(LoadSuite("xcsn0g01.png"));
  EXPECT_TRUE(png.Handle().isNull());
  EXPECT_EQ(png.Width(), 0);
}

TEST_F(PngProperties, ProgressiveDisplayValuesAndTheirEvent) {
  EXPECT_TRUE(png.SetProgressiveDisplay(3));
  EXPECT_TRUE(png.SetProgressiveDisplay(7));
  EXPECT_EQ(png.ProgressiveDisplay(), 3);
  EXPECT_FALSE(png.SetProgressiveDisplay(-1));
  int raised = 0;
  png.onProgessiveDisplay = [&](media::ProgressiveDisplayArgs& args) {
    ++raised;
    EXPECT_EQ(args.width, 32);
    EXPECT_TRUE(args.hasTransparency);
    EXPECT_EQ(png.Width(), 32);  // properties answer before decoding starts
  };
  ASSERT_TRUE(LoadSuite("basn6a08.png"));
  EXPECT_EQ(raised, 1);
  png.SetProgressiveDisplay(4);
  ASSERT_TRUE(LoadSuite("basn6a08.png"));
  EXPECT_EQ(raised, 1);
}

}  // namespace
