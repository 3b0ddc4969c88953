#include "media/png_chunks.h"

#include "media/png_decode.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace media {

namespace {

constexpr std::uint8_t kOpaqueAlpha = 255;

std::int32_t ReadBE32Signed(const std::uint8_t* p) { return static_cast<std::int32_t>(ReadBE32(p)); }

bool CrcAccepted(const Chunk& chunk, bool checkCrc) { return !checkCrc || ChunkCrcMatches(chunk); }

}  // namespace

int PngInfo::Channels() const {
  switch (colorType) {
    case kGrey:
    case kPalette: return 1;
    case kGreyAlpha: return 2;
    case kRgb: return 3;
    case kRgba: return 4;
    default: return 0;
  }
}

bool ChunkCrcMatches(const Chunk& chunk) {
  // zlib takes the length as uInt; a chunk's data is bounded by the file
  // loop well below that, but sum in slices anyway.
  uLong crc = crc32(0L, Z_NULL, 0);
  std::span<const std::uint8_t> rest = chunk.typeAndData;
  while (!rest.empty()) {
    const std::size_t slice = std::min<std::size_t>(rest.size(), std::numeric_limits<uInt>::max());
    crc = crc32(crc, rest.data(), static_cast<uInt>(slice));
    rest = rest.subspan(slice);
  }
  return static_cast<std::uint32_t>(crc) == chunk.storedCrc;
}

std::uint32_t Adler32(std::uint32_t adler, std::span<const std::uint8_t> bytes) {
  constexpr std::uint32_t kBase = 65521;
  std::uint32_t s1 = adler & 0xFFFF;
  std::uint32_t s2 = adler >> 16;
  const std::uint8_t* p = bytes.data();
  std::size_t n = bytes.size();
#if defined(__SSE2__)
  // Sixteen bytes b0..b15 add their sum to s1 and 16 * s1 plus the sum of
  // (16 - i) * bi to s2. A block of them is summed in lanes and brought
  // back modulo the base once, as long as no lane can overflow.
  constexpr std::size_t kBlock = 5552 / 16 * 16;
  const __m128i zero = _mm_setzero_si128();
  const __m128i weightsLow = _mm_set_epi16(9, 10, 11, 12, 13, 14, 15, 16);
  const __m128i weightsHigh = _mm_set_epi16(1, 2, 3, 4, 5, 6, 7, 8);
  auto total = [](__m128i x) {
    x = _mm_add_epi32(x, _mm_shuffle_epi32(x, _MM_SHUFFLE(1, 0, 3, 2)));
    x = _mm_add_epi32(x, _mm_shuffle_epi32(x, _MM_SHUFFLE(2, 3, 0, 1)));
    return std::uint64_t(std::uint32_t(_mm_cvtsi128_si32(x)));
  };
  while (n >= 16) {
    const std::size_t groups = std::min(n, kBlock) / 16;
    __m128i sums = zero;      // the bytes of the block so far
    __m128i prefixes = zero;  // those sums before each group, added up
    __m128i weighted = zero;  // each byte times its distance from its group's end
    for (std::size_t k = 0; k < groups; ++k, p += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      prefixes = _mm_add_epi32(prefixes, sums);
      sums = _mm_add_epi32(sums, _mm_sad_epu8(v, zero));
      weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpacklo_epi8(v, zero), weightsLow));
      weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), weightsHigh));
    }
    const std::uint64_t newS2 = s2 + 16 * std::uint64_t(groups) * s1 + 16 * total(prefixes) + total(weighted);
    s1 = std::uint32_t((s1 + total(sums)) % kBase);
    s2 = std::uint32_t(newS2 % kBase);
    n -= groups * 16;
  }
#endif
  // What is left, a few bytes or (without vector registers) everything, in
  // runs short enough for s2 to stay within 32 bits.
  while (n > 0) {
    const std::size_t run = std::min<std::size_t>(n, 5552);
    for (std::size_t i = 0; i < run; ++i) {
      s1 += p[i];
      s2 += s1;
    }
    s1 %= kBase;
    s2 %= kBase;
    p += run;
    n -= run;
  }
  return ((s2 % kBase) << 16) | (s1 % kBase);
}

bool IsValidDepthForType(std::uint8_t colorType, std::uint8_t bitDepth) {
  switch (colorType) {
    case kGrey: return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
    case kPalette: return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
    case kRgb:
    case kGreyAlpha:
    case kRgba: return bitDepth == 8 || bitDepth == 16;
    default: return false;
  }
}

PngError ReadIHDR(PngInfo& info, const Chunk& chunk, std::int64_t& rawSize) {
  if (!ChunkCrcMatches(chunk)) return PngError::HeaderBadCrc;
  // A second header would change the picture under the data already read.
  if (info.hasHeader) return PngError::HeaderCorrupted;
  const auto data = chunk.Data();
  if (data.size() < kHeaderBytes) return PngError::HeaderCorrupted;
  info.width = ReadBE32Signed(&data[0]);
  info.height = ReadBE32Signed(&data[4]);
  info.bitDepth = data[8];
  info.colorType = data[9];
  info.interlace = data[12];
  if (info.width < 1 || info.height < 1) return PngError::HeaderCorrupted;
  if (data[10] != 0) return PngError::BadCompressionFlag;
  if (data[11] != 0) return PngError::BadFilterFlag;
  const std::uint8_t depth = info.bitDepth;
  if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16) return PngError::BadBitDepth;
  const std::uint8_t type = info.colorType;
  if (type != kGrey && type != kRgb && type != kPalette && type != kGreyAlpha && type != kRgba)
    return PngError::BadColorType;
  // The decoder knows no layout for other pairs (RGB at 4 bits, palette at 16).
  if (!IsValidDepthForType(type, depth)) return PngError::BadBitDepth;
  if (info.interlace > 1) return PngError::BadInterlace;

  constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
  const std::int64_t scan32 = ((std::int64_t(info.width) * 32 + 31) & ~std::int64_t(31)) / 8;
  if (scan32 > kLimit / info.height) return PngError::TooLarge;
  rawSize = CalcRawDataSize(info);
  if (rawSize <= 0) return PngError::TooLarge;
  info.hasHeader = true;
  return PngError::None;
}

PngError ReadPLTE(PngInfo& info, const Chunk& chunk) {
  if (info.colorType == kGrey || info.colorType == kGreyAlpha) return PngError::None;
  if (!ChunkCrcMatches(chunk)) return PngError::PaletteBadCrc;
  const auto data = chunk.Data();
  if (data.size() % 3 != 0 || data.size() / 3 > kMaxPaletteEntries) return PngError::BadPalette;
  info.palette.assign(data.begin(), data.end());
  return PngError::None;
}

void ReadTRNS(PngInfo& info, const Chunk& chunk) {
  const auto data = chunk.Data();
  switch (info.colorType) {
    case kGrey:
      if (data.size() < 2 || !ChunkCrcMatches(chunk)) return;
      info.transparency.assign(data.begin(), data.end());
      info.keySamples = {ReadBE16(&data[0]), 0, 0};
      info.keyColor = data[1];
      return;
    case kRgb:
      if (data.size() < 6 || !ChunkCrcMatches(chunk)) return;
      info.transparency.assign(data.begin(), data.end());
      info.keySamples = {ReadBE16(&data[0]), ReadBE16(&data[2]), ReadBE16(&data[4])};
      info.keyColor = (data[1] << 16) | (data[3] << 8) | data[5];
      return;
    case kPalette: {
      if (data.empty() || !ChunkCrcMatches(chunk)) return;
      const std::size_t entries = std::min(data.size(), kMaxPaletteEntries);
      info.transparency.assign(kMaxPaletteEntries, kOpaqueAlpha);
      std::copy_n(data.begin(), entries, info.transparency.begin());
      info.keyColor = 0;
      return;
    }
    default: return;
  }
}

void ReadBKGD(PngInfo& info, const Chunk& chunk, bool checkCrc) {
  const auto data = chunk.Data();
  const bool wide = info.bitDepth == 16;
  switch (info.colorType) {
    case kRgb:
    case kRgba: {
      if (data.size() < 6 || !CrcAccepted(chunk, checkCrc)) return;
      const int hi = wide ? 0 : 1;  // 16-bit samples keep their high byte
      info.fileBackground = data[hi] | (data[2 + hi] << 8) | (data[4 + hi] << 16);
      return;
    }
    case kPalette:
      // An index the palette does not hold names no colour: ignored.
      if (data.empty() || std::size_t(data[0]) * 3 + 2 >= info.palette.size() || !CrcAccepted(chunk, checkCrc)) return;
      info.fileBackground = static_cast<std::int32_t>(PixelColor(info, -1, data[0], false));
      return;
    case kGrey:
    case kGreyAlpha:
      if (data.size() < 2 || !CrcAccepted(chunk, checkCrc)) return;
      info.fileBackground = static_cast<std::int32_t>(PixelColor(info, -1, wide ? data[0] : data[1], false));
      return;
    default: return;
  }
}

void ReadTIME(PngInfo& info, const Chunk& chunk, bool checkCrc) {
  const auto data = chunk.Data();
  if (data.size() < 7 || !CrcAccepted(chunk, checkCrc)) return;
  const std::uint16_t year = ReadBE16(&data[0]);
  info.modificationTime = {
      std::uint8_t(year & 0xFF), std::uint8_t(year >> 8), data[2], data[3], data[4], data[5], data[6], 0};
}

void ReadText(PngInfo& info, const Chunk& chunk, bool checkCrc) {
  if (!CrcAccepted(chunk, checkCrc)) return;
  const std::uint32_t length = static_cast<std::uint32_t>(chunk.Data().size());
  auto& store = info.textStore;
  store.reserve(store.size() + 8 + length);
  for (int i = 0; i < 4; ++i) store.push_back(std::uint8_t(length >> (8 * i)));
  store.insert(store.end(), chunk.typeAndData.begin(), chunk.typeAndData.end());
}

void ReadGAMA(PngInfo& info, const Chunk& chunk, bool checkCrc) {
  const auto data = chunk.Data();
  if (data.size() != 4 || !CrcAccepted(chunk, checkCrc)) return;
  info.gamma = ReadBE32Signed(&data[0]);
}

void ReadCHRM(PngInfo& info, const Chunk& chunk, bool checkCrc) {
  const auto data = chunk.Data();
  if (data.size() < 32 || !CrcAccepted(chunk, checkCrc)) return;
  info.chromaticity.resize(8);
  for (std::size_t i = 0; i < 8; ++i) info.chromaticity[i] = ReadBE32Signed(&data[4 * i]);
}

void ReadPHYS(PngInfo& info, const Chunk& chunk, bool checkCrc) {
  const auto data = chunk.Data();
  if (data.size() < 9 || !CrcAccepted(chunk, checkCrc)) return;
  info.physicalSize = {ReadBE32Signed(&data[0]), ReadBE32Signed(&data[4]), data[8]};
}

void ReadOFFS(PngInfo& info, const Chunk& chunk, bool checkCrc) {
  const auto data = chunk.Data();
  if (data.size() < 9 || !CrcAccepted(chunk, checkCrc)) return;
  info.offsets = {ReadBE32Signed(&data[0]), ReadBE32Signed(&data[4]), data[8]};
}

void ReadSRGB(PngInfo& info, const Chunk& chunk, bool checkCrc) {
  const auto data = chunk.Data();
  if (data.empty() || data[0] >= 4 || !CrcAccepted(chunk, checkCrc)) return;
  info.sRGB = std::uint8_t(data[0] + 1);
}

PngError CheckPalette(const PngInfo& info) {
  return info.colorType == kPalette && info.palette.empty() ? PngError::BadPalette : PngError::None;
}

}  // namespace media
