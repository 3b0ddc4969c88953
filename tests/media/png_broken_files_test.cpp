// Broken PNG files, each refused with its own message; and the faults of the
// loader that were mended, each with a file crafted to show it.

#include "png_test_util.h"

#include "platform/ui.h"
#include "support/fake_ui.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <utility>

namespace {

using media::PngError;
using media::StdPNG;
using pngtest::PngBuilder;

const QString kInvalidPng = QStringLiteral("Invalid PNG Format");
const QString kInvalidFormat = QStringLiteral("Invalid Format");

struct BrokenFile {
  const char* file;
  const char* text;
  const char* title;
};

const BrokenFile kBrokenSuite[] = {
    {"xc1n0g08.png", "Invalid Color Type Flag in Header. Cannot continue.", "Invalid PNG Format"},
    {"xc9n2c08.png", "Invalid Color Type Flag in Header. Cannot continue.", "Invalid PNG Format"},
    {"xcrn0g04.png", "This is not a valid PNG file", "Invalid Format"},
    {"xcsn0g01.png", "Corrupted Image Data (bad CRC). Cannot continue.", "Invalid PNG Format"},
    {"xd0n2c08.png", "Invalid Bit Depth Flag in Header. Cannot continue.", "Invalid PNG Format"},
    {"xd3n2c08.png", "Invalid Bit Depth Flag in Header. Cannot continue.", "Invalid PNG Format"},
    {"xd9n2c08.png", "Invalid Bit Depth Flag in Header. Cannot continue.", "Invalid PNG Format"},
    {"xdtn0g01.png", "No image data found. Cannot continue.", "Invalid PNG Format"},
    {"xhdn0g08.png", "Corrupted Image Header (bad CRC). Cannot continue.", "Invalid PNG Format"},
    {"xlfn0g04.png", "This is not a valid PNG file", "Invalid Format"},
    {"xs1n0g01.png", "This is not a valid PNG file", "Invalid Format"},
    {"xs2n0g01.png", "This is not a valid PNG file", "Invalid Format"},
    {"xs4n0g01.png", "This is not a valid PNG file", "Invalid Format"},
    {"xs7n0g01.png", "This is not a valid PNG file", "Invalid Format"},
};

TEST(PngBrokenSuite, EveryBrokenFileIsRefusedWithItsMessage) {
  ASSERT_EQ(pngtest::SuiteFiles(QStringLiteral("x*.png")).size(), qsizetype(std::size(kBrokenSuite)));
  for (const BrokenFile& broken : kBrokenSuite) {
    platform::FakeUi ui;
    StdPNG png(ui);
    EXPECT_FALSE(png.LoadFile(pngtest::SuiteFolder() + "/" + broken.file, -1, 0, 255)) << broken.file;
    ASSERT_EQ(ui.boxes.size(), 1u) << broken.file;
    EXPECT_EQ(ui.boxes[0].text, QString::fromLatin1(broken.text)) << broken.file;
    EXPECT_EQ(ui.boxes[0].title, QString::fromLatin1(broken.title)) << broken.file;
    EXPECT_EQ(ui.boxes[0].icon(), platform::vbExclamation);
    EXPECT_TRUE(png.Handle().isNull());
    EXPECT_EQ(png.StateWord(), 0);
  }
}

TEST(PngBrokenSuite, MissingFileIsAnAccessError) {
  platform::FakeUi ui;
  StdPNG png(ui);
  QTemporaryDir dir;
  EXPECT_FALSE(png.LoadFile(dir.path() + "/absent.png", -1, 0, 255));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, QStringLiteral("File not found"));
  EXPECT_EQ(ui.boxes[0].title, QStringLiteral("Error Accessing File"));
}

// A plain file is read with the system's calls; a picture compiled into the
// program reads through Qt as the same picture, and what cannot be read as
// a file (a folder) keeps Qt's own wording of the failure.
TEST(PngBrokenSuite, PicturesThatAreNotPlainFilesReadThroughQt) {
  const QString embedded = QStringLiteral(":/embedded/handD.png");
  const QByteArray bytes = pngtest::ReadBytes(embedded);
  ASSERT_FALSE(bytes.isEmpty());
  platform::FakeUi ui;
  StdPNG fromResource(ui);
  StdPNG fromMemory(ui);
  ASSERT_TRUE(fromResource.LoadFile(embedded, -1, 0, 255));
  ASSERT_TRUE(fromMemory
                  .LoadFromMemory({reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())},
                                  -1, 0, 255)
                  .ok());
  EXPECT_EQ(fromResource.Width(), 29);
  EXPECT_TRUE(pngtest::ReadBack(fromResource) == pngtest::ReadBack(fromMemory));

  QTemporaryDir dir;
  QFile folder(dir.path());
  ASSERT_FALSE(folder.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
  const StdPNG::LoadResult result = fromResource.Load(dir.path(), -1, 0, 255);
  EXPECT_EQ(result.error, PngError::FileAccess);
  EXPECT_EQ(result.detail, folder.errorString());
  EXPECT_TRUE(fromResource.Handle().isNull());
}

TEST(PngBrokenSuite, LoadFromItsOwnEventIsRefusedQuietly) {
  platform::FakeUi ui;
  StdPNG png(ui);
  const QString path = pngtest::SuiteFolder() + "/basn0g08.png";
  int nested = 0;
  png.onProgress = [&](int) {
    if (nested++ == 0) {
      EXPECT_FALSE(png.LoadFile(path, -1, 0, 255));
    }
  };
  EXPECT_TRUE(png.LoadFile(path, -1, 0, 255));
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(png.Width(), 32);
}

// Loads crafted bytes and answers the failure's code.
PngError LoadCode(const QByteArray& bytes, std::int16_t checkCrc = -1) {
  platform::FakeUi ui;
  StdPNG png(ui);
  return png
      .LoadFromMemory({reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())}, checkCrc,
                      0, 255)
      .error;
}

// Filtered lines (filter byte 0) of a picture whose every row holds `row`.
QByteArray Rows(int height, const QByteArray& row) {
  QByteArray raw;
  for (int y = 0; y < height; ++y) raw += char(0) + row;
  return raw;
}

// A long enough comment keeps small crafted files above the 56-byte minimum.
const QByteArray kPadding = QByteArray("Comment\0", 8) + QByteArray(40, 'x');

TEST(PngHeaderFaults, InvalidDepthForColourTypeIsRefusedInTheHeader) {
  EXPECT_EQ(LoadCode(PngBuilder().Header(2, 2, 4, media::kRgb).ImageData(Rows(2, QByteArray(3, 0))).End().bytes()),
            PngError::BadBitDepth);
  EXPECT_EQ(LoadCode(PngBuilder().Header(2, 2, 16, media::kPalette).ImageData(Rows(2, QByteArray(4, 0))).End().bytes()),
            PngError::BadBitDepth);
  EXPECT_EQ(LoadCode(PngBuilder().Header(2, 2, 2, media::kRgba).ImageData(Rows(2, QByteArray(2, 0))).End().bytes()),
            PngError::BadBitDepth);
  EXPECT_EQ(PngErrorMessage(PngError::BadBitDepth).text,
            QStringLiteral("Invalid Bit Depth Flag in Header. Cannot continue."));
}

TEST(PngHeaderFaults, ShortMissingRepeatedOrLateHeaderIsCorrupted) {
  const QByteArray pixels = Rows(2, QByteArray(2, 0));
  // Twelve header bytes only.
  PngBuilder shortFile;
  shortFile.Chunk("IHDR", QByteArray::fromHex("000000020000000208000000"))
      .Chunk("tEXt", kPadding)
      .ImageData(pixels)
      .End();
  EXPECT_EQ(LoadCode(shortFile.bytes()), PngError::HeaderCorrupted);
  EXPECT_EQ(LoadCode(PngBuilder().Chunk("tEXt", kPadding).End().bytes()), PngError::HeaderCorrupted);
  EXPECT_EQ(LoadCode(PngBuilder().Chunk("tEXt", kPadding).ImageData(pixels).Header(2, 2, 8, 0).End().bytes()),
            PngError::HeaderCorrupted);
  EXPECT_EQ(LoadCode(PngBuilder().Header(2, 2, 8, 0).Header(4, 4, 8, 0).ImageData(pixels).End().bytes()),
            PngError::HeaderCorrupted);
  EXPECT_EQ(LoadCode(PngBuilder().Header(0, 2, 8, 0).ImageData(pixels).End().bytes()), PngError::HeaderCorrupted);
  EXPECT_EQ(LoadCode(PngBuilder().Header(2, 2, 8, 0, 2).ImageData(pixels).End().bytes()), PngError::BadInterlace);
}

TEST(PngHeaderFaults, SizesThatCannotBeHeldAreTooLarge) {
  const QByteArray tiny = Rows(1, QByteArray(4, 0));
  EXPECT_EQ(LoadCode(PngBuilder().Header(40000, 20000, 8, media::kRgba).ImageData(tiny).End().bytes()),
            PngError::TooLarge);
  EXPECT_EQ(LoadCode(PngBuilder().Header(20000, 20000, 16, media::kRgba).ImageData(tiny).End().bytes()),
            PngError::TooLarge);
  // 1.6 gigabytes pass the header; a few bytes of data cannot fill them,
  // which is found without asking for the memory.
  EXPECT_EQ(LoadCode(PngBuilder().Header(20000, 20000, 8, media::kRgba).ImageData(tiny).End().bytes()),
            PngError::NotCompressedCorrectly);
  EXPECT_EQ(PngErrorMessage(PngError::TooLarge).text,
            QStringLiteral("Image is too large to process. Cannot continue."));
}

#if defined(__SANITIZE_ADDRESS__)
#define PNG_TEST_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PNG_TEST_ADDRESS_SANITIZER 1
#endif
#endif

#if !defined(PNG_TEST_ADDRESS_SANITIZER)
// The zlib stream of `bytes` zero bytes, made without holding them.
QByteArray CompressedZeros(qint64 bytes) {
  static const std::uint8_t kZeros[1 << 16] = {};
  z_stream z{};
  deflateInit(&z, Z_BEST_SPEED);
  QByteArray out;
  std::uint8_t buffer[1 << 16];
  int flush = Z_NO_FLUSH;
  while (flush != Z_FINISH) {
    const qint64 slice = std::min<qint64>(bytes, sizeof kZeros);
    bytes -= slice;
    flush = bytes == 0 ? Z_FINISH : Z_NO_FLUSH;
    z.next_in = const_cast<std::uint8_t*>(kZeros);
    z.avail_in = uInt(slice);
    do {
      z.next_out = buffer;
      z.avail_out = sizeof buffer;
      deflate(&z, flush);
      out.append(reinterpret_cast<const char*>(buffer), qsizetype(sizeof buffer - z.avail_out));
    } while (z.avail_out == 0);
  }
  deflateEnd(&z);
  return out;
}
#endif

// The size passes the header's limits, but the system has no memory for
// the bitmap: that is told as a lack of resources, under the program's
// title, and the object is left empty.
TEST(PngHeaderFaults, BitmapWithoutMemoryIsALackOfResources) {
#if defined(PNG_TEST_ADDRESS_SANITIZER)
  GTEST_SKIP() << "the address sanitizer's own mappings leave no room for an address-space limit";
#else
  constexpr int kSide = 4096;  // 64 MiB of bitmap from 65 KiB of data
  const QByteArray file = PngBuilder()
                              .Header(kSide, kSide, 8, media::kRgba)
                              .Chunk("IDAT", CompressedZeros(qint64(kSide) * (kSide * 4 + 1)))
                              .End()
                              .bytes();
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("big.png"));
  QFile out(path);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  ASSERT_EQ(out.write(file), file.size());
  out.close();

  // Room for a few megabytes more than the process holds now.
  QFile statm(QStringLiteral("/proc/self/statm"));
  ASSERT_TRUE(statm.open(QIODevice::ReadOnly));
  const rlim_t mapped = rlim_t(statm.readAll().split(' ').value(0).toULongLong()) * rlim_t(sysconf(_SC_PAGESIZE));
  platform::FakeUi ui;
  StdPNG png(ui);
  png.SetTransparentStyle(media::kTransparentKeep);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_AS, &old), 0);
  rlimit tight = old;
  tight.rlim_cur = mapped + (8u << 20);
  ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
  const bool loaded = png.LoadFile(path, -1, 0, 255);
  setrlimit(RLIMIT_AS, &old);

  EXPECT_FALSE(loaded);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Resources may be too low, cannot create necessary drawing objects."));
  EXPECT_EQ(ui.boxes[0].title, QStringLiteral("Marrowdale"));
  EXPECT_TRUE(png.Handle().isNull());
  EXPECT_EQ(png.StateWord(), 0);
  // With the memory back, the same file loads.
  EXPECT_TRUE(png.LoadFile(path, -1, 0, 255));
#endif
}

TEST(PngChunkFaults, ChunkLengthsAndPositionsAreCheckedIn64Bits) {
  QByteArray file = PngBuilder().Header(2, 2, 8, 0).Chunk("tEXt", kPadding).bytes();
  file += QByteArray::fromHex("FFFFFFF0") + "tEXt" + QByteArray(16, 'x');
  EXPECT_EQ(LoadCode(file), PngError::Corrupted);
  QByteArray huge = PngBuilder().Header(2, 2, 8, 0).Chunk("tEXt", kPadding).bytes();
  huge += QByteArray::fromHex("80000000") + "IDAT" + QByteArray(16, 'x');
  EXPECT_EQ(LoadCode(huge), PngError::Corrupted);
  // No IEND: the loop runs off the end of the file.
  EXPECT_EQ(
      LoadCode(PngBuilder().Header(2, 2, 8, 0).Chunk("tEXt", kPadding).ImageData(Rows(2, QByteArray(2, 0))).bytes()),
      PngError::Corrupted);
}

// A chunk of a type not known here is skipped when it is ancillary (a
// lower-case first letter) and refused, named, when the picture cannot be
// shown without it; empty or after the image data alike.
TEST(PngChunkFaults, UnknownCriticalChunkIsRefusedByName) {
  const QByteArray pixels = Rows(2, QByteArray(2, 9));
  const auto withChunk = [&](const char* type, const QByteArray& data) {
    return PngBuilder().Header(2, 2, 8, 0).Chunk("tEXt", kPadding).Chunk(type, data).ImageData(pixels).End().bytes();
  };
  EXPECT_EQ(LoadCode(withChunk("abCD", "data")), PngError::None);
  EXPECT_EQ(LoadCode(withChunk("prVt", "")), PngError::None);
  EXPECT_EQ(LoadCode(withChunk("ABCD", "data")), PngError::UnknownCriticalChunk);
  EXPECT_EQ(LoadCode(withChunk("ABCD", "")), PngError::UnknownCriticalChunk);
  EXPECT_EQ(LoadCode(withChunk("Zzzz", "data"), 0), PngError::UnknownCriticalChunk);
  EXPECT_EQ(
      LoadCode(
          PngBuilder().Header(2, 2, 8, 0).Chunk("tEXt", kPadding).ImageData(pixels).Chunk("ABCD", "x").End().bytes()),
      PngError::UnknownCriticalChunk);

  QTemporaryDir dir;
  const QString path = dir.path() + "/critical.png";
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(withChunk("ABCD", "data"));
  file.close();
  platform::FakeUi ui;
  StdPNG png(ui);
  EXPECT_FALSE(png.LoadFile(path, -1, 0, 255));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Unknown Critical Chunk \"ABCD\". Cannot continue."));
  EXPECT_EQ(ui.boxes[0].title, kInvalidPng);
  EXPECT_TRUE(png.Handle().isNull());
}

TEST(PngChunkFaults, SignatureAndMinimumLength) {
  const QByteArray file = PngBuilder().Header(1, 1, 8, 0).ImageData(Rows(1, QByteArray(1, 0))).End().bytes();
  ASSERT_GT(file.size(), 57);
  EXPECT_EQ(LoadCode(file), PngError::None);
  // 57 bytes pass the length test and then miss their end; 56 do not.
  EXPECT_EQ(LoadCode(file.left(57)), PngError::Corrupted);
  EXPECT_EQ(LoadCode(file.left(56)), PngError::NotPng);
  QByteArray wrong = file;
  wrong[1] = 'p';
  EXPECT_EQ(LoadCode(wrong), PngError::NotPng);
}

TEST(PngChunkFaults, ImageDataCrcIsAlwaysCheckedAndAncillaryOnlyWhenAsked) {
  const QByteArray z = pngtest::Compress(Rows(2, QByteArray(2, 7)));
  const QByteArray badIdat =
      PngBuilder().Header(2, 2, 8, 0).Chunk("tEXt", kPadding).Chunk("IDAT", z, false).End().bytes();
  EXPECT_EQ(LoadCode(badIdat, 0), PngError::IdatBadCrc);
  EXPECT_EQ(LoadCode(badIdat, -1), PngError::IdatBadCrc);

  const QByteArray badGamma = PngBuilder()
                                  .Header(2, 2, 8, 0)
                                  .Chunk("gAMA", QByteArray::fromHex("0000B18F"), false)
                                  .Chunk("tEXt", kPadding)
                                  .Chunk("IDAT", z)
                                  .End()
                                  .bytes();
  platform::FakeUi ui;
  StdPNG png(ui);
  auto span = [](const QByteArray& b) {
    return std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size()));
  };
  ASSERT_TRUE(png.LoadFromMemory(span(badGamma), 0, 0, 255).ok());
  EXPECT_DOUBLE_EQ(png.GammaCorrection(), 0.45455);
  ASSERT_TRUE(png.LoadFromMemory(span(badGamma), -1, 0, 255).ok());
  EXPECT_DOUBLE_EQ(png.GammaCorrection(), 0.0);
}

TEST(PngChunkFaults, ImageDataIsJoinedAcrossChunksAndRefusedWhenShort) {
  QByteArray raw;
  for (int y = 0; y < 40; ++y) {
    raw += char(1);  // Sub
    for (int x = 0; x < 30; ++x) raw += char((x * 7 + y) & 0xFF);
  }
  platform::FakeUi ui;
  StdPNG png(ui);
  const QByteArray split = PngBuilder().Header(30, 40, 8, 0).ImageData(raw, 7).End().bytes();
  EXPECT_TRUE(png.LoadFromMemory({reinterpret_cast<const std::uint8_t*>(split.constData()), std::size_t(split.size())},
                                 -1, 0, 255)
                  .ok());
  EXPECT_EQ(LoadCode(PngBuilder().Header(30, 40, 8, 0).ImageData(raw.left(raw.size() - 1)).End().bytes()),
            PngError::NotCompressedCorrectly);
  EXPECT_EQ(LoadCode(PngBuilder().Header(30, 40, 8, 0).ImageData(raw + 'x').End().bytes()),
            PngError::NotCompressedCorrectly);
}

// The image is inflated as it is decoded, yet broken data is told as
// broken data whatever the decoding met first, and bytes after the end of
// the zlib stream are ignored, as when the data was inflated whole.
TEST(PngChunkFaults, BrokenDataIsToldApartFromABadFilter) {
  QByteArray raw = Rows(3, QByteArray(3, 1));
  raw[4] = char(5);
  auto file = [](const QByteArray& z) {
    return PngBuilder().Header(3, 3, 8, 0).Chunk("tEXt", kPadding).Chunk("IDAT", z).End().bytes();
  };
  const QByteArray z = pngtest::Compress(raw);
  EXPECT_EQ(LoadCode(file(z)), PngError::DecodeFailed);
  EXPECT_EQ(LoadCode(file(z.left(z.size() - 2))), PngError::NotCompressedCorrectly);
  QByteArray badCheck = z;
  badCheck[badCheck.size() - 1] = char(badCheck[badCheck.size() - 1] ^ 1);
  EXPECT_EQ(LoadCode(file(badCheck)), PngError::NotCompressedCorrectly);
  const QByteArray good = pngtest::Compress(Rows(3, QByteArray(3, 1)));
  EXPECT_EQ(LoadCode(file(good + "trailing")), PngError::None);
  QByteArray goodBadCheck = good;
  goodBadCheck[goodBadCheck.size() - 1] = char(goodBadCheck[goodBadCheck.size() - 1] ^ 1);
  EXPECT_EQ(LoadCode(file(goodBadCheck)), PngError::NotCompressedCorrectly);
}

// The data's check value: worked out as zlib's for every length and start,
// and the stored one read whole wherever the chunks split it.
TEST(PngChunkFaults, CheckValueIsZlibsAndFoundAcrossChunkEnds) {
  std::uint32_t rng = 7;
  QByteArray noise(40000, '\0');
  for (char& b : noise) b = char((rng = rng * 1103515245u + 12345u) >> 24);
  const QByteArray ones(12000, char(0xFF));  // the largest sums
  for (const QByteArray* data : {&std::as_const(noise), &ones}) {
    for (int length : {0, 1, 15, 16, 17, 5551, 5552, 5553, 11104, 11999}) {
      for (std::uint32_t start : {1u, 0xFFF0FFF0u, 0x12345678u % 65521u}) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(data->constData()) + 3;
        EXPECT_EQ(media::Adler32(start, {p, std::size_t(length)}), adler32(start, p, uInt(length)))
            << length << " bytes from " << start;
      }
    }
  }

  const QByteArray raw = Rows(20, QByteArray(30, 'x'));
  const QByteArray z = pngtest::Compress(raw);
  QByteArray wrong = z;
  wrong[wrong.size() - 3] = char(wrong[wrong.size() - 3] ^ 0x10);
  for (int tail = 1; tail <= 6; ++tail) {
    SCOPED_TRACE(testing::Message() << "last chunk of " << tail << " bytes");
    auto file = [&](const QByteArray& data) {
      return PngBuilder()
          .Header(30, 20, 8, 0)
          .Chunk("tEXt", kPadding)
          .Chunk("IDAT", data.left(data.size() - tail))
          .Chunk("IDAT", data.right(tail))
          .End()
          .bytes();
    };
    EXPECT_EQ(LoadCode(file(z)), PngError::None);
    EXPECT_EQ(LoadCode(file(wrong)), PngError::NotCompressedCorrectly);
  }
}

// A file is read a stretch at a time: image data in one chunk larger than
// a stretch, in hundreds of small chunks, and behind a text chunk larger
// than a stretch decodes as from memory and as the reference does. Small
// pictures are inflated whole; lines of one too large for that (the last),
// long and short, of colour and of grey kept as indexes, are inflated
// straight into place or through the stretch inflated ahead.
TEST(PngChunkFaults, LargeAndManyChunksReadFromAFileDecodeAsFromMemory) {
  struct Kind {
    int width, height, channels;
    std::uint8_t colorType;
  };
  const QByteArray bigText = QByteArray("Big\0", 4) + QByteArray(100000, 't');
  QTemporaryDir dir;
  for (const Kind kind : {Kind{200, 150, 4, media::kRgba}, Kind{300, 120, 4, media::kRgba},
                          Kind{1500, 90, 1, media::kGrey}, Kind{1500, 1400, 4, media::kRgba}}) {
    QByteArray raw;
    std::uint32_t rng = 99;
    for (int y = 0; y < kind.height; ++y) {
      raw += char(y % 5);
      for (int x = 0; x < kind.width * kind.channels; ++x) {
        rng = rng * 1103515245u + 12345u;
        raw += char(rng >> 24);
      }
    }
    for (int chunks : {1, 300}) {
      SCOPED_TRACE(testing::Message() << kind.width << " wide, " << chunks << " chunks");
      const QByteArray file = PngBuilder()
                                  .Header(kind.width, kind.height, 8, kind.colorType)
                                  .Chunk("tEXt", bigText)
                                  .ImageData(raw, chunks)
                                  .End()
                                  .bytes();
      ASSERT_GT(file.size(), 200000);
      const QString path = dir.filePath(QStringLiteral("big%1_%2.png").arg(kind.width).arg(chunks));
      QFile out(path);
      ASSERT_TRUE(out.open(QIODevice::WriteOnly));
      ASSERT_EQ(out.write(file), file.size());
      out.close();

      platform::FakeUi ui;
      StdPNG fromFile(ui);
      StdPNG fromMemory(ui);
      fromFile.SetTransparentStyle(media::kTransparentKeep);
      fromMemory.SetTransparentStyle(media::kTransparentKeep);
      ASSERT_TRUE(fromFile.LoadFile(path, -1, 0, 255));
      ASSERT_TRUE(
          fromMemory
              .LoadFromMemory({reinterpret_cast<const std::uint8_t*>(file.constData()), std::size_t(file.size())}, -1,
                              0, 255)
              .ok());
      const std::vector<pngtest::Bgra> pixels = pngtest::ReadBack(fromFile);
      EXPECT_TRUE(pixels == pngtest::ReadBack(fromMemory));
      const pngtest::Reference ref = pngtest::DecodeWithLibpng(file);
      ASSERT_EQ(pixels.size(), std::size_t(kind.width * kind.height));
      for (std::size_t i = 0; i < pixels.size(); ++i)
        ASSERT_EQ(pixels[i], pngtest::Expected(&ref.rgba[4 * i], fromFile.BitCount_BMP())) << "pixel " << i;
      EXPECT_EQ(fromFile.Comments({}).size(), 100005);
    }
  }
}

TEST(PngRawSize, EmptyAdam7PassesCountNothing) {
  media::PngInfo info;
  info.width = 1;
  info.height = 1;
  info.bitDepth = 8;
  info.colorType = media::kGrey;
  info.interlace = 1;
  EXPECT_EQ(media::CalcRawDataSize(info), 2);  // pass 1 only: filter byte and one sample
  info.width = 4;
  info.height = 4;
  // Passes 2 and 3 are empty; 1 and 4: 1 x 1; 5: 2 x 1; 6: 2 x 2; 7: 4 x 2.
  EXPECT_EQ(media::CalcRawDataSize(info), 2 + 2 + 3 + 2 * 3 + 2 * 5);
  info.interlace = 0;
  EXPECT_EQ(media::CalcRawDataSize(info), 4 * 5);
}

TEST(PngPalette, MissingOrOversizedPaletteIsRefused) {
  const QByteArray pixels = Rows(2, QByteArray(2, 0));
  EXPECT_EQ(
      LoadCode(PngBuilder().Header(2, 2, 8, media::kPalette).Chunk("tEXt", kPadding).ImageData(pixels).End().bytes()),
      PngError::BadPalette);
  EXPECT_EQ(LoadCode(PngBuilder()
                         .Header(2, 2, 8, media::kPalette)
                         .Chunk("PLTE", QByteArray(257 * 3, 1))
                         .ImageData(pixels)
                         .End()
                         .bytes()),
            PngError::BadPalette);
  EXPECT_EQ(LoadCode(PngBuilder()
                         .Header(2, 2, 8, media::kPalette)
                         .Chunk("PLTE", QByteArray(10, 1))
                         .Chunk("tEXt", kPadding)
                         .ImageData(pixels)
                         .End()
                         .bytes()),
            PngError::BadPalette);
  EXPECT_EQ(LoadCode(PngBuilder()
                         .Header(2, 2, 8, media::kPalette)
                         .Chunk("PLTE", QByteArray(9, 1), false)
                         .Chunk("tEXt", kPadding)
                         .ImageData(pixels)
                         .End()
                         .bytes()),
            PngError::PaletteBadCrc);
  // A grey picture ignores a palette, even a broken one.
  EXPECT_EQ(LoadCode(PngBuilder()
                         .Header(2, 2, 8, media::kGrey)
                         .Chunk("PLTE", QByteArray(10, 1), false)
                         .Chunk("tEXt", kPadding)
                         .ImageData(pixels)
                         .End()
                         .bytes()),
            PngError::None);
}

// Pixel 0 names palette entry 0, pixel 1 an entry the palette does not have.
// With alpha, the tRNS chunk is longer than the palette and makes every
// index beyond entry 0 fully transparent.
QByteArray PaletteOverrun(int depth, bool withAlpha, bool interlaced) {
  const QByteArray palette = QByteArray::fromHex("FF0000");  // one red entry
  QByteArray raw;
  if (interlaced) {
    // 2 x 1: pass 1 holds pixel 0, pass 6 pixel 1.
    raw += char(0) + QByteArray(1, char(0));
    raw += char(0) + QByteArray(1, char(depth == 8 ? 200 : (((1 << depth) - 1) << (8 - depth))));
  } else {
    const int high = (1 << depth) - 1;
    raw += char(0);
    raw += depth == 8 ? QByteArray::fromHex("00C8") : QByteArray(1, char(high << (8 - 2 * depth)));
  }
  PngBuilder b;
  b.Header(2, 1, std::uint8_t(depth), media::kPalette, interlaced ? 1 : 0).Chunk("PLTE", palette);
  if (withAlpha) b.Chunk("tRNS", QByteArray::fromHex("80") + QByteArray((1 << depth) - 1, 0));
  return b.Chunk("tEXt", kPadding).ImageData(raw).End().bytes();
}

TEST(PngPalette, IndexBeyondThePaletteIsOpaqueBlackOnEveryPath) {
  for (int depth : {1, 2, 4, 8}) {
    for (bool withAlpha : {false, true}) {
      for (bool interlaced : {false, true}) {
        for (std::int32_t style : {media::kTransparentKeep, media::kTransparentFileBackground}) {
          SCOPED_TRACE(testing::Message() << "depth " << depth << " alpha " << withAlpha << " interlaced " << interlaced
                                          << " style " << style);
          const QByteArray file = PaletteOverrun(depth, withAlpha, interlaced);
          platform::FakeUi ui;
          StdPNG png(ui);
          png.SetTransparentStyle(style);
          ASSERT_TRUE(
              png.LoadFromMemory({reinterpret_cast<const std::uint8_t*>(file.constData()), std::size_t(file.size())},
                                 -1, 0, 255)
                  .ok());
          const auto pixels = pngtest::ReadBack(png);
          ASSERT_EQ(pixels.size(), 2u);
          if (style == media::kTransparentKeep) {
            EXPECT_EQ(pixels[0], withAlpha ? (pngtest::Bgra{0, 0, 128, 128}) : (pngtest::Bgra{0, 0, 255, 255}));
          }
          EXPECT_EQ(pixels[1], (pngtest::Bgra{0, 0, 0, 255}));
          EXPECT_EQ(png.Palette().size(), 3u);  // as the file stores it
        }
      }
    }
  }
}

TEST(PngPalette, PaletteAnswersWhatTheFileStores) {
  QByteArray palette;
  for (int i = 0; i < 6; ++i) palette += QByteArray(3, char(i * 40));
  const auto load = [](StdPNG& png, const QByteArray& file) {
    return png
        .LoadFromMemory({reinterpret_cast<const std::uint8_t*>(file.constData()), std::size_t(file.size())}, -1, 0, 255)
        .ok();
  };
  platform::FakeUi ui;
  StdPNG png(ui);
  // Six entries for a 2-bit picture: all six are answered, four are used.
  ASSERT_TRUE(load(png, PngBuilder()
                            .Header(4, 1, 2, media::kPalette)
                            .Chunk("PLTE", palette)
                            .Chunk("tEXt", kPadding)
                            .ImageData(QByteArray::fromHex("001B"))
                            .End()
                            .bytes()));
  EXPECT_EQ(png.Palette(), std::vector<std::uint8_t>(palette.begin(), palette.end()));
  auto pixels = pngtest::ReadBack(png);  // indexes 0, 1, 2, 3
  ASSERT_EQ(pixels.size(), 4u);
  EXPECT_EQ(pixels[3], (pngtest::Bgra{120, 120, 120, 255}));
  // Four entries for an 8-bit picture: twelve bytes, and index 5 is black.
  ASSERT_TRUE(load(png, PngBuilder()
                            .Header(2, 1, 8, media::kPalette)
                            .Chunk("PLTE", palette.left(12))
                            .Chunk("tEXt", kPadding)
                            .ImageData(QByteArray::fromHex("000305"))
                            .End()
                            .bytes()));
  EXPECT_EQ(png.Palette().size(), 12u);
  pixels = pngtest::ReadBack(png);
  ASSERT_EQ(pixels.size(), 2u);
  EXPECT_EQ(pixels[0], (pngtest::Bgra{120, 120, 120, 255}));
  EXPECT_EQ(pixels[1], (pngtest::Bgra{0, 0, 0, 255}));
}

}  // namespace
