// The picture holder and the decoding pipeline's events: painting,
// transparency, flattening onto a background and progressive display.

#include "png_test_util.h"

#include "platform/ui.h"
#include "support/fake_ui.h"

#include <QWidget>
#include <cstring>
#include <gtest/gtest.h>

namespace {

using media::StdPNG;
using media::stdPNGdata;
using pngtest::PngBuilder;

std::span<const std::uint8_t> Span(const QByteArray& b) {
  return {reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size())};
}

QImage WhiteTarget(int width, int height) {
  QImage target(width, height, QImage::Format_ARGB32_Premultiplied);
  target.fill(Qt::white);
  return target;
}

TEST(PictureHolder, ThirtyTwoBitPictureStartsTransparent) {
  stdPNGdata holder;
  ASSERT_TRUE(holder.CreateDIB(32, 4, 3, {}));
  EXPECT_EQ(holder.ScanWidth(), 16);
  QImage target = WhiteTarget(8, 8);
  holder.Render(&target, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 255, nullptr);
  EXPECT_EQ(target, WhiteTarget(8, 8));
}

TEST(PictureHolder, RenderSizesAndOwnContext) {
  stdPNGdata holder;
  ASSERT_TRUE(holder.CreateDIB(24, 2, 2, {}));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) std::memcpy(holder.BitsPointer() + y * holder.ScanWidth() + 3 * x, "\0\0\xFF", 3);
  QImage target = WhiteTarget(6, 6);
  holder.Render(&target, 1, 1, -1, 0, 0, 0, 0, 0, nullptr, 255, nullptr);
  EXPECT_EQ(target.pixel(1, 1), qRgb(255, 255, 255));
  holder.Render(&target, 1, 1, 0, 0, 0, 0, 0, 0, nullptr, 255, nullptr);
  EXPECT_EQ(target.pixel(1, 1), qRgb(255, 0, 0));
  EXPECT_EQ(target.pixel(2, 2), qRgb(255, 0, 0));
  EXPECT_EQ(target.pixel(3, 3), qRgb(255, 255, 255));
  holder.Render(&target, 0, 0, 6, 6, 0, 0, 0, 0, nullptr, 255, nullptr);  // stretched
  EXPECT_EQ(target.pixel(5, 5), qRgb(255, 0, 0));

  holder.SetOwnDC(false);
  EXPECT_EQ(holder.hDC(), nullptr);
  QImage other = WhiteTarget(4, 4);
  holder.Render(&other, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 255, nullptr);
  EXPECT_EQ(other.pixel(0, 0), qRgb(255, 255, 255));
  const QImage foreign(1, 1, QImage::Format_RGB32);
  holder.Render(&other, 0, 0, 0, 0, 0, 0, 0, 0, &foreign, 255, nullptr);
  EXPECT_EQ(other.pixel(0, 0), qRgb(255, 0, 0));
}

TEST(PictureHolder, FillBitsAndAlphaRender) {
  stdPNGdata holder;
  ASSERT_TRUE(holder.CreateDIB(32, 3, 3, {}));
  holder.FillBits(0x0000FF, 3);  // opaque red
  QImage target = WhiteTarget(3, 3);
  holder.Render(&target, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 255, nullptr);
  EXPECT_EQ(target.pixel(2, 2), qRgb(255, 0, 0));
  target = WhiteTarget(3, 3);
  holder.Render(&target, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0, nullptr);  // global alpha 0
  EXPECT_EQ(target.pixel(1, 1), qRgb(255, 255, 255));
  holder.FillBits(-1, 3);
  EXPECT_EQ(holder.BitsPointer()[0], 0);
}

TEST(PictureHolder, ColourTables) {
  stdPNGdata holder;
  ASSERT_TRUE(holder.CreateDIB(1, 9, 1, std::vector<std::uint8_t>{10, 20, 30}));
  EXPECT_EQ(holder.ColorTable(), (std::vector<std::uint32_t>{0x0A141E, 0x000000}));
  EXPECT_EQ(holder.ScanWidth(), 4);
  ASSERT_TRUE(holder.CreateDIB(4, 3, 1, {}));
  ASSERT_EQ(holder.ColorTable().size(), 16u);
  EXPECT_EQ(holder.ColorTable()[1], 0x111111u);
  ASSERT_TRUE(holder.CreateDIB(8, 3, 1, {}));
  EXPECT_EQ(holder.ColorTable()[255], 0xFFFFFFu);
  EXPECT_FALSE(holder.CreateDIB(16, 3, 1, {}));
  EXPECT_EQ(holder.BitsPointer(), nullptr);
}

TEST(PictureHolder, BackgroundIsClippedToTheTarget) {
  stdPNGdata holder;
  ASSERT_TRUE(holder.CreateDIB(32, 100, 40, {}));
  QImage target = WhiteTarget(200, 100);
  ASSERT_TRUE(holder.CreateBackgroundDIB(&target, 150, 0, false, 0x00FF00));
  EXPECT_EQ(holder.DrawWidth(), 50);
  EXPECT_EQ(holder.DrawHeight(), 40);
  EXPECT_TRUE(holder.HasBackground());
  holder.FreeBackground();
  EXPECT_FALSE(holder.HasBackground());
}

TEST(PngPipeline, PremultipliesEveryColourAndAlphaByTruncation) {
  // 256 x 256 RGBA: red = x, green = 255 - x, blue = 255, alpha = y.
  QByteArray raw;
  for (int y = 0; y < 256; ++y) {
    raw += char(0);
    for (int x = 0; x < 256; ++x) raw += QByteArray(1, char(x)) + char(255 - x) + char(255) + char(y);
  }
  const QByteArray file = PngBuilder().Header(256, 256, 8, media::kRgba).ImageData(raw).End().bytes();
  platform::FakeUi ui;
  StdPNG png(ui);
  png.SetTransparentStyle(media::kTransparentKeep);
  ASSERT_TRUE(png.LoadFromMemory(Span(file), -1, 0, 255).ok());
  const auto pixels = pngtest::ReadBack(png);
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) {
      const pngtest::Bgra expected = y == 0
                                         ? pngtest::Bgra{}
                                         : pngtest::Bgra{std::uint8_t(255 * y / 255), std::uint8_t((255 - x) * y / 255),
                                                         std::uint8_t(x * y / 255), std::uint8_t(y)};
      ASSERT_EQ(pixels[std::size_t(y * 256 + x)], expected) << x << "," << y;
    }
  }
}

// 33 lines of 8-bit grey, each line its own value.
QByteArray ThirtyThreeLines() {
  QByteArray raw;
  for (int y = 0; y < 33; ++y) raw += char(0) + QByteArray(5, char(y * 7));
  return PngBuilder().Header(5, 33, 8, media::kGrey).ImageData(raw).End().bytes();
}

TEST(PngPipeline, ProgressInBlocksOfSixteenLinesConvertsEveryLine) {
  platform::FakeUi ui;
  StdPNG png(ui);
  std::vector<int> percents;
  std::vector<int> widths;
  png.onProgress = [&](int percent) {
    percents.push_back(percent);
    widths.push_back(png.Width());  // refused while decoding
  };
  ASSERT_TRUE(png.LoadFromMemory(Span(ThirtyThreeLines()), -1, 0, 255).ok());
  EXPECT_EQ(percents, (std::vector<int>{0, 48, 96, 100}));
  EXPECT_EQ(widths, (std::vector<int>{5, 0, 0, 0}));
  const auto pixels = pngtest::ReadBack(png);
  EXPECT_EQ(pixels[32 * 5].r, 32 * 7);
  EXPECT_EQ(pixels[16 * 5 + 4].r, 16 * 7);
}

TEST(PngPipeline, EmptyPassesRaiseNoProgress) {
  platform::FakeUi ui;
  StdPNG png(ui);
  std::vector<int> percents;
  png.onProgress = [&](int percent) { percents.push_back(percent); };
  ASSERT_TRUE(png.LoadFile(pngtest::SuiteFolder() + "/s01i3p01.png", -1, 0, 255));
  EXPECT_EQ(percents, (std::vector<int>{0, 14}));  // 1 x 1: pass 1 only
  percents.clear();
  ASSERT_TRUE(png.LoadFile(pngtest::SuiteFolder() + "/s03i3p01.png", -1, 0, 255));
  EXPECT_EQ(percents, (std::vector<int>{0, 14, 57, 71, 85, 100}));  // 3 x 3: passes 2 and 3 are empty
}

TEST(PngPipeline, TransparentStylesFlattenOntoTheirColour) {
  platform::FakeUi ui;
  StdPNG png(ui);
  const QString path = pngtest::SuiteFolder() + "/tbrn2c08.png";  // RGB with a key colour, red background
  png.SetTransparentStyle(0x00FF00);                              // flatten onto green
  ASSERT_TRUE(png.LoadFile(path, -1, 0, 255));
  EXPECT_EQ(png.BitCount_BMP(), 24);
  EXPECT_EQ(png.Background(), 0x00FF00);
  const QImage flat = png.Handle().convertToFormat(QImage::Format_RGB32);
  // The key colour's pixels show green; the others keep their colour.
  const pngtest::Reference ref = pngtest::DecodeWithLibpng(pngtest::ReadBytes(path));
  int keyed = 0;
  for (int y = 0; y < ref.height; ++y) {
    for (int x = 0; x < ref.width; ++x) {
      const std::uint8_t* p = &ref.rgba[std::size_t((y * ref.width + x) * 4)];
      const QRgb expected = p[3] == 0 ? qRgb(0, 255, 0) : qRgb(p[0], p[1], p[2]);
      keyed += p[3] == 0;
      ASSERT_EQ(flat.pixel(x, y), expected) << x << "," << y;
    }
  }
  EXPECT_GT(keyed, 0);

  png.SetTransparentStyle(media::kTransparentFileBackground);
  ASSERT_TRUE(png.LoadFile(path, -1, 0, 255));
  EXPECT_EQ(png.Background(), png.Info().fileBackground);
  png.SetTransparentStyle(media::kTransparentIgnore);
  ASSERT_TRUE(png.LoadFile(path, -1, 0, 255));
  EXPECT_EQ(png.BitCount_BMP(), 24);
  EXPECT_EQ(png.Background(), -1);
  png.SetTransparentStyle(media::kTransparentOwnColor);
  ASSERT_TRUE(png.LoadFile(path, -1, 0, 255));
  EXPECT_EQ(png.Background(), 0xFFFFFF & ((png.Info().keyColor & 0xFF) << 16 | (png.Info().keyColor & 0xFF00) |
                                          (png.Info().keyColor >> 16)));
}

TEST(PngPipeline, GlobalAlphaMakesAThirtyTwoBitPicture) {
  platform::FakeUi ui;
  StdPNG png(ui);
  png.SetTransparentStyle(media::kTransparentKeep);
  ASSERT_TRUE(png.LoadFile(pngtest::SuiteFolder() + "/basn2c08.png", -1, 0, 128));
  EXPECT_EQ(png.BitCount_BMP(), 32);
  ASSERT_TRUE(png.LoadFile(pngtest::SuiteFolder() + "/basn2c08.png", -1, -1, 255));
  EXPECT_EQ(png.BitCount_BMP(), 32);
  const auto pixels = pngtest::ReadBack(png);
  EXPECT_EQ(pixels[0].a, 255);
}

// Watching a picture appear: every progressive mode ends with the picture
// on the target as a plain paint would put it there.
TEST(PngPipeline, ProgressiveDisplayEndsWithThePictureOnTheTarget) {
  struct Case {
    const char* file;
    int progressive;
  };
  for (const Case c :
       {Case{"basn6a08.png", 0}, Case{"basi6a08.png", 0}, Case{"basi3p08.png", 0}, Case{"basi3p08.png", 1},
        Case{"basn2c08.png", 0}, Case{"basi0g04.png", 2}, Case{"tbrn2c08.png", 0}}) {
    SCOPED_TRACE(c.file);
    const QString path = pngtest::SuiteFolder() + "/" + c.file;
    platform::FakeUi ui;
    StdPNG reference(ui);
    reference.SetTransparentStyle(media::kTransparentKeep);
    ASSERT_TRUE(reference.LoadFile(path, -1, 0, 255));
    QImage expected = WhiteTarget(40, 40);
    reference.Paint(&expected, 4, 4, 0, 0, nullptr, 0, 0, 0, 0, 255);

    StdPNG png(ui);
    png.SetTransparentStyle(media::kTransparentKeep);
    png.SetProgressiveDisplay(c.progressive);
    QImage target = WhiteTarget(40, 40);
    QWidget window;
    png.onProgessiveDisplay = [&](media::ProgressiveDisplayArgs& args) {
      args.hDC = &target;
      args.hWnd = &window;
      args.x = 4;
      args.y = 4;
    };
    ASSERT_TRUE(png.LoadFile(path, -1, 0, 255));
    EXPECT_EQ(target, expected);
    EXPECT_EQ(png.StateWord(), 0);
  }
}

TEST(PngPipeline, TargetWithoutRoomForTheBackgroundIsPaintedOnceAtTheEnd) {
  platform::FakeUi ui;
  StdPNG png(ui);
  png.SetTransparentStyle(media::kTransparentKeep);
  png.SetProgressiveDisplay(1);  // interlaced, opaque: redraw after every pass, 32-bit
  QImage target = WhiteTarget(40, 40);
  QWidget window;
  png.onProgessiveDisplay = [&](media::ProgressiveDisplayArgs& args) {
    args.hDC = &target;
    args.hWnd = &window;
    args.x = 50;  // beyond the target: no background can be made there
  };
  ASSERT_TRUE(png.LoadFile(pngtest::SuiteFolder() + "/basi0g04.png", -1, 0, 255));
  EXPECT_EQ(png.BitCount_BMP(), 32);
  EXPECT_EQ(target, WhiteTarget(40, 40));
}

}  // namespace
