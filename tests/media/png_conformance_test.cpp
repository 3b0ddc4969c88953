// Every valid file of the PNG suite decodes to libpng's pixels, and every
// broken one is refused with its own message.

#include "png_test_util.h"

#include "platform/ui.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using media::PngError;
using media::StdPNG;
using pngtest::Bgra;

std::vector<Bgra> ExpectedPixels(const pngtest::Reference& ref, int dibBits) {
  std::vector<Bgra> pixels;
  for (std::size_t i = 0; i + 3 < ref.rgba.size(); i += 4) pixels.push_back(pngtest::Expected(&ref.rgba[i], dibBits));
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

std::string ParamName(const ::testing::TestParamInfo<QString>& info) {
  return info.param.chopped(4).toStdString();
}

INSTANTIATE_TEST_SUITE_P(PngSuite, SuiteFile, ::testing::ValuesIn(ValidSuiteFiles()), ParamName);

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
