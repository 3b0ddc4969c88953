#include "media/png_decode.h"

#include <algorithm>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <tmmintrin.h>
#endif

namespace media {

namespace {

constexpr std::uint32_t kOpaque32 = 0xFF000000u;

// x / 255 rounded down, exact for every product of two bytes.
inline std::uint32_t Div255(std::uint32_t x) { return (x + 1 + (x >> 8)) >> 8; }

// A premultiplied 32-bit bitmap pixel: blue, green, red, alpha in memory.
inline std::uint32_t Premultiplied(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
  if (a == 255) return kOpaque32 | (r << 16) | (g << 8) | b;
  return (a << 24) | (Div255(r * a) << 16) | (Div255(g * a) << 8) | Div255(b * a);
}

inline void Store32(std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, 4); }
inline std::uint32_t Load32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// The value of sample i of a line at a bit depth below 8.
inline std::uint8_t PackedSample(const std::uint8_t* src, std::int64_t i, int depth) {
  const std::int64_t bit = i * depth;
  const int shift = 8 - depth - int(bit & 7);
  return std::uint8_t((src[bit >> 3] >> shift) & ((1 << depth) - 1));
}

std::uint8_t GreyScale(int depth) {
  switch (depth) {
    case 1: return 255;
    case 2: return 85;
    case 4: return 17;
    default: return 1;
  }
}

#if defined(__SSE2__)
// Four RGBA pixels at a time into premultiplied BGRA. Samples of two bytes
// keep their high byte, which comes first.
template <int SampleBytes>
void RgbaToPremultipliedSse(const std::uint8_t* src, std::int64_t count, std::uint8_t* out) {
  constexpr int kPixelBytes = 4 * SampleBytes;
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaLane = _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0);
  const __m128i colourLanes = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
  std::int64_t i = 0;
  auto half = [&](__m128i px) {
    // px: two pixels as 16-bit lanes r g b a r g b a.
    __m128i bgra = _mm_shufflehi_epi16(_mm_shufflelo_epi16(px, _MM_SHUFFLE(3, 0, 1, 2)), _MM_SHUFFLE(3, 0, 1, 2));
    __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(px, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    // Alpha multiplies the colour; the alpha lane itself is multiplied by 255.
    alpha = _mm_or_si128(_mm_and_si128(alpha, colourLanes), alphaLane);
    __m128i x = _mm_mullo_epi16(bgra, alpha);
    x = _mm_add_epi16(x, _mm_add_epi16(_mm_set1_epi16(1), _mm_srli_epi16(x, 8)));
    return _mm_srli_epi16(x, 8);
  };
  for (; i + 4 <= count; i += 4) {
    const __m128i* p = reinterpret_cast<const __m128i*>(src + kPixelBytes * i);
    __m128i lo, hi;
    if constexpr (SampleBytes == 1) {
      const __m128i v = _mm_loadu_si128(p);
      lo = half(_mm_unpacklo_epi8(v, zero));
      hi = half(_mm_unpackhi_epi8(v, zero));
    } else {
      const __m128i highBytes = _mm_set1_epi16(0x00FF);
      lo = half(_mm_and_si128(_mm_loadu_si128(p), highBytes));
      hi = half(_mm_and_si128(_mm_loadu_si128(p + 1), highBytes));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * i), _mm_packus_epi16(lo, hi));
  }
  for (; i < count; ++i) {
    const std::uint8_t* s = src + kPixelBytes * i;
    Store32(out + 4 * i, Premultiplied(s[0], s[SampleBytes], s[2 * SampleBytes], s[3 * SampleBytes]));
  }
}
#endif

#if defined(__x86_64__)
// Five RGB pixels at a time into BGR with one byte shuffle. Each step reads
// and writes 16 bytes, one past the five pixels; the last pixels, where
// that byte would lie outside the line, are swapped one by one.
__attribute__((target("ssse3"))) void RgbToBgrSsse3(const std::uint8_t* src, std::int64_t count, std::uint8_t* out) {
  const __m128i swap = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
  std::int64_t i = 0;
  for (; i + 6 <= count; i += 5) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * i), _mm_shuffle_epi8(v, swap));
  }
  for (; i < count; ++i) {
    out[3 * i] = src[3 * i + 2];
    out[3 * i + 1] = src[3 * i + 1];
    out[3 * i + 2] = src[3 * i];
  }
}
#endif

// How the samples of one line become bitmap pixels.
enum class Conversion {
  Indexed,        // grey or palette samples kept as indexes (1-, 4- and 8-bit bitmaps)
  Grey16ToIndex,  // the high byte of a 16-bit grey
  LutTo32,        // grey or palette samples of up to 8 bits, through a 256-entry table
  Grey16To32,
  Rgb8To32,
  Rgb16To32,
  Rgba8To32,
  Rgba16To32,
  GreyAlpha8To32,
  GreyAlpha16To32,
  Rgb8To24,
  Rgb16To24,
  Rgba8To24,  // alpha images with the opaque flag: the alpha sample is skipped
  Rgba16To24,
  GreyAlpha8To24,
  GreyAlpha16To24,
};

class PixelConverter {
 public:
  PixelConverter(const PngInfo& info, std::uint16_t state, int dibBits)
      : info_(info), depth_(info.bitDepth), dibBits_(dibBits) {
    opaque_ = (state & kOpaque) != 0;
    keyed_ = !opaque_ && info.HasKeyColor() && info.colorType != kPalette;
    const bool wide = depth_ == 16;
    switch (info.colorType) {
      case kGrey:
        if (dibBits == 32)
          conversion_ = wide ? Conversion::Grey16To32 : Conversion::LutTo32;
        else
          conversion_ = wide ? Conversion::Grey16ToIndex : Conversion::Indexed;
        break;
      case kPalette: conversion_ = dibBits == 32 ? Conversion::LutTo32 : Conversion::Indexed; break;
      case kRgb:
        if (dibBits == 32)
          conversion_ = wide ? Conversion::Rgb16To32 : Conversion::Rgb8To32;
        else
          conversion_ = wide ? Conversion::Rgb16To24 : Conversion::Rgb8To24;
        break;
      case kRgba:
        if (dibBits == 32)
          conversion_ = wide ? Conversion::Rgba16To32 : Conversion::Rgba8To32;
        else
          conversion_ = wide ? Conversion::Rgba16To24 : Conversion::Rgba8To24;
        break;
      case kGreyAlpha:
        if (dibBits == 32)
          conversion_ = wide ? Conversion::GreyAlpha16To32 : Conversion::GreyAlpha8To32;
        else
          conversion_ = wide ? Conversion::GreyAlpha16To24 : Conversion::GreyAlpha8To24;
        break;
      default: break;
    }
    if (conversion_ == Conversion::LutTo32) BuildLut();
  }

  // True when a line's bytes are the bitmap row's bytes unchanged.
  bool CopiesWholeLines() const { return dibBits_ < 24 && dibBits_ == depth_; }

  // Converts `count` pixels into consecutive bitmap pixels at `out`. For
  // bitmaps below 8 bits every pixel takes one byte here (its index).
  void ToPixels(const std::uint8_t* src, std::int64_t count, std::uint8_t* out) const {
    switch (conversion_) {
      case Conversion::Indexed:
        if (depth_ == 8)
          std::memcpy(out, src, std::size_t(count));
        else
          for (std::int64_t i = 0; i < count; ++i) out[i] = PackedSample(src, i, depth_);
        return;
      case Conversion::Grey16ToIndex:
        for (std::int64_t i = 0; i < count; ++i) out[i] = src[2 * i];
        return;
      case Conversion::LutTo32:
        if (depth_ == 8) {
          for (std::int64_t i = 0; i < count; ++i) Store32(out + 4 * i, lut_[src[i]]);
        } else {
          for (std::int64_t i = 0; i < count; ++i) Store32(out + 4 * i, lut_[PackedSample(src, i, depth_)]);
        }
        return;
      case Conversion::Grey16To32:
        for (std::int64_t i = 0; i < count; ++i) {
          const std::uint8_t* s = src + 2 * i;
          const std::uint32_t g = s[0];
          Store32(out + 4 * i, keyed_ && ReadBE16(s) == info_.keySamples[0] ? 0u : Premultiplied(g, g, g, 255));
        }
        return;
      case Conversion::Rgb8To32: {
        const bool keyed =
            keyed_ && info_.keySamples[0] < 256 && info_.keySamples[1] < 256 && info_.keySamples[2] < 256;
        const std::uint32_t key = keyed ? (std::uint32_t(info_.keySamples[0]) << 16) |
                                              (std::uint32_t(info_.keySamples[1]) << 8) | info_.keySamples[2]
                                        : 0xFFFFFFFFu;
        for (std::int64_t i = 0; i < count; ++i) {
          const std::uint8_t* s = src + 3 * i;
          const std::uint32_t rgb = (std::uint32_t(s[0]) << 16) | (std::uint32_t(s[1]) << 8) | s[2];
          Store32(out + 4 * i, rgb == key ? 0u : kOpaque32 | rgb);
        }
        return;
      }
      case Conversion::Rgb16To32:
        for (std::int64_t i = 0; i < count; ++i) {
          const std::uint8_t* s = src + 6 * i;
          const bool clear = keyed_ && ReadBE16(s) == info_.keySamples[0] && ReadBE16(s + 2) == info_.keySamples[1] &&
                             ReadBE16(s + 4) == info_.keySamples[2];
          Store32(out + 4 * i, clear ? 0u : Premultiplied(s[0], s[2], s[4], 255));
        }
        return;
      case Conversion::Rgba8To32:
        if (opaque_) {
          for (std::int64_t i = 0; i < count; ++i) {
            const std::uint8_t* s = src + 4 * i;
            Store32(out + 4 * i, Premultiplied(s[0], s[1], s[2], 255));
          }
          return;
        }
#if defined(__SSE2__)
        RgbaToPremultipliedSse<1>(src, count, out);
#else
        for (std::int64_t i = 0; i < count; ++i) {
          const std::uint8_t* s = src + 4 * i;
          Store32(out + 4 * i, Premultiplied(s[0], s[1], s[2], s[3]));
        }
#endif
        return;
      case Conversion::Rgba16To32:
#if defined(__SSE2__)
        if (!opaque_) {
          RgbaToPremultipliedSse<2>(src, count, out);
          return;
        }
#endif
        for (std::int64_t i = 0; i < count; ++i) {
          const std::uint8_t* s = src + 8 * i;
          Store32(out + 4 * i, Premultiplied(s[0], s[2], s[4], opaque_ ? 255 : s[6]));
        }
        return;
      case Conversion::GreyAlpha8To32:
        for (std::int64_t i = 0; i < count; ++i) {
          const std::uint8_t* s = src + 2 * i;
          Store32(out + 4 * i, Premultiplied(s[0], s[0], s[0], opaque_ ? 255 : s[1]));
        }
        return;
      case Conversion::GreyAlpha16To32:
        for (std::int64_t i = 0; i < count; ++i) {
          const std::uint8_t* s = src + 4 * i;
          Store32(out + 4 * i, Premultiplied(s[0], s[0], s[0], opaque_ ? 255 : s[2]));
        }
        return;
      case Conversion::Rgb8To24:
#if defined(__x86_64__)
        if (__builtin_cpu_supports("ssse3")) {
          RgbToBgrSsse3(src, count, out);
          return;
        }
#endif
        ToBgr(src, count, out, 3, 1);
        return;
      case Conversion::Rgb16To24: ToBgr(src, count, out, 6, 2); return;
      case Conversion::Rgba8To24: ToBgr(src, count, out, 4, 1); return;
      case Conversion::Rgba16To24: ToBgr(src, count, out, 8, 2); return;
      case Conversion::GreyAlpha8To24:
        for (std::int64_t i = 0; i < count; ++i) std::memset(out + 3 * i, src[2 * i], 3);
        return;
      case Conversion::GreyAlpha16To24:
        for (std::int64_t i = 0; i < count; ++i) std::memset(out + 3 * i, src[4 * i], 3);
        return;
    }
  }

 private:
  static void ToBgr(const std::uint8_t* src, std::int64_t count, std::uint8_t* out, int pixelBytes, int sampleBytes) {
    for (std::int64_t i = 0; i < count; ++i) {
      const std::uint8_t* s = src + pixelBytes * i;
      std::uint8_t* d = out + 3 * i;
      d[0] = s[2 * sampleBytes];
      d[1] = s[sampleBytes];
      d[2] = s[0];
    }
  }

  void BuildLut() {
    const int entries = 1 << std::min<int>(depth_, 8);
    lut_.fill(0);
    for (int v = 0; v < entries; ++v) {
      const std::uint32_t rgb = PixelColor(info_, -1, std::uint8_t(v), true);
      std::uint32_t alpha = 255;
      if (!opaque_) {
        // An index the palette does not hold is opaque black, whatever a
        // longer tRNS says about it.
        const std::size_t index = std::size_t(v);
        if (info_.colorType == kPalette && index < info_.transparency.size() && 3 * index + 2 < info_.palette.size())
          alpha = info_.transparency[index];
        if (keyed_ && info_.keySamples[0] == v) alpha = 0;
      }
      lut_[v] = alpha == 0 ? 0u : Premultiplied((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF, alpha);
    }
  }

  const PngInfo& info_;
  int depth_;
  int dibBits_;
  bool opaque_ = false;
  bool keyed_ = false;
  Conversion conversion_ = Conversion::Indexed;
  std::array<std::uint32_t, 256> lut_{};
};

// The bytes one converted pixel takes in ToPixels' output.
int PixelBytes(int dibBits) { return dibBits >= 8 ? dibBits / 8 : 1; }

void PutPackedPixel(std::uint8_t* row, std::int64_t x, std::uint8_t index, int dibBits) {
  if (dibBits == 1) {
    row[x >> 3] = std::uint8_t(row[x >> 3] | ((index & 1) << (7 - (x & 7))));
  } else {
    row[x >> 1] = std::uint8_t(row[x >> 1] | ((index & 0x0F) << ((x & 1) ? 0 : 4)));
  }
}

// Packs one index per byte into a 4-bit row, high nibble first.
void PackNibbles(const std::uint8_t* indexes, std::int64_t count, std::uint8_t* row) {
  std::int64_t i = 0;
  for (; i + 1 < count; i += 2) row[i >> 1] = std::uint8_t((indexes[i] << 4) | (indexes[i + 1] & 0x0F));
  if (i < count) row[i >> 1] = std::uint8_t(indexes[i] << 4);
}

// Converting unfiltered lines of one pass (or of the whole image) into the
// bitmap, and the block filling of progressive display.
class PassWriter {
 public:
  PassWriter(const PngInfo& info, std::uint16_t state, const DibTarget& dib)
      : info_(info),
        dib_(dib),
        converter_(info, state, dib.bitCount),
        blocks_((state & kPaintModeMask) == kPaintBlocks),
        scratch_(std::size_t(std::int64_t(info.width) * PixelBytes(dib.bitCount))) {}

  // True when the bitmap's rows of a plain image are its lines unchanged.
  bool RowsAreLines() const { return converter_.CopiesWholeLines(); }

  // Converts unfiltered line j of a pass into its bitmap row.
  void ConvertLine(const std::uint8_t* src, int pass, std::int64_t j) {
    const AdamPass& p = kPasses[pass];
    const std::int64_t columns = PassColumns(info_.width, pass);
    const int bits = dib_.bitCount;
    const bool contiguous = p.xStep == 1;
    const std::int64_t y = p.yOrigin + j * p.yStep;
    std::uint8_t* row = dib_.bits + y * dib_.scanWidth;
    if (contiguous && converter_.CopiesWholeLines()) {
      std::memcpy(row, src, std::size_t(CalcRowBytes(columns, bits)));
      if (blocks_ && pass < 7) {
        converter_.ToPixels(src, columns, scratch_.data());
        FillBlocks(pass, y);
      }
      return;
    }
    if (contiguous && bits >= 8 && !blocks_) {
      converter_.ToPixels(src, columns, row);
      return;
    }
    converter_.ToPixels(src, columns, scratch_.data());
    if (contiguous && bits == 4) {
      PackNibbles(scratch_.data(), columns, row);
    } else {
      Scatter(row, p.xOrigin, p.xStep, columns);
    }
    if (blocks_ && pass < 7) FillBlocks(pass, y);
  }

 private:
  void Scatter(std::uint8_t* row, std::int64_t x0, std::int64_t step, std::int64_t columns) {
    const std::uint8_t* s = scratch_.data();
    switch (dib_.bitCount) {
      case 32:
        for (std::int64_t i = 0; i < columns; ++i) {
          // A fully transparent pixel is not written: it keeps what lies below.
          const std::uint32_t v = Load32(s + 4 * i);
          if ((v >> 24) != 0) Store32(row + 4 * (x0 + i * step), v);
        }
        return;
      case 24:
        for (std::int64_t i = 0; i < columns; ++i) std::memcpy(row + 3 * (x0 + i * step), s + 3 * i, 3);
        return;
      case 8:
        for (std::int64_t i = 0; i < columns; ++i) row[x0 + i * step] = s[i];
        return;
      default:
        for (std::int64_t i = 0; i < columns; ++i) PutPackedPixel(row, x0 + i * step, s[i], dib_.bitCount);
        return;
    }
  }

  // Paints each pixel of a pass over its block so that the picture fills in
  // coarse to fine.
  void FillBlocks(int pass, std::int64_t y) {
    const AdamPass& p = kPasses[pass];
    const bool direct = dib_.bitCount >= 24;
    std::uint8_t* target = direct ? dib_.bits : dib_.blockBits;
    if (target == nullptr) return;
    const std::int64_t scan = direct ? dib_.scanWidth : dib_.blockScanWidth;
    const int outBytes = direct ? dib_.bitCount / 8 : 3;
    const std::int64_t yEnd = std::min<std::int64_t>(y + p.blockHeight, info_.height);
    const std::int64_t columns = PassColumns(info_.width, pass);
    for (std::int64_t i = 0; i < columns; ++i) {
      std::uint8_t bgra[4] = {0, 0, 0, 255};
      if (direct) {
        std::memcpy(bgra, scratch_.data() + i * outBytes, std::size_t(outBytes));
        bgra[3] = 255;
      } else {
        const std::uint8_t index = scratch_[std::size_t(i)];
        const std::uint32_t rgb = index < dib_.colorTable.size() ? dib_.colorTable[index] : 0;
        bgra[0] = std::uint8_t(rgb);
        bgra[1] = std::uint8_t(rgb >> 8);
        bgra[2] = std::uint8_t(rgb >> 16);
      }
      const std::int64_t x = p.xOrigin + i * p.xStep;
      const std::int64_t xEnd = std::min<std::int64_t>(x + p.blockWidth, info_.width);
      for (std::int64_t by = y; by < yEnd; ++by) {
        std::uint8_t* row = target + by * scan;
        for (std::int64_t bx = x; bx < xEnd; ++bx) std::memcpy(row + bx * outBytes, bgra, std::size_t(outBytes));
      }
    }
  }

  const PngInfo& info_;
  const DibTarget& dib_;
  PixelConverter converter_;
  bool blocks_;
  std::vector<std::uint8_t> scratch_;
};

// The line being decoded and the one above it, each its filter byte and
// then its bytes; the two swap roles line by line.
class LinePair {
 public:
  explicit LinePair(std::int64_t lineBytes)
      : stride_(std::size_t(lineBytes + 1 + kPad) & ~std::size_t(kPad)), buffer_(2 * stride_) {}
  // The buffer for the next line; the one handed out before becomes Above.
  std::uint8_t* Next() {
    current_ ^= 1;
    return buffer_.data() + current_ * stride_;
  }
  // The bytes (after the filter byte) of the line handed out before the current one.
  const std::uint8_t* Above() const { return buffer_.data() + (current_ ^ 1) * stride_ + 1; }

 private:
  static constexpr std::size_t kPad = 63;  // each line starts on its own cache line
  std::size_t stride_;
  std::vector<std::uint8_t> buffer_;
  std::size_t current_ = 1;
};

bool ValidTarget(const PngInfo& info, std::uint16_t state, const DibTarget& dib) {
  return dib.bits != nullptr && info.width > 0 && info.height > 0 &&
         GetDIBBitCount(info, state).dibBits == dib.bitCount && dib.scanWidth >= CalcRowBytes(info.width, dib.bitCount);
}

}  // namespace

DibFormat GetDIBBitCount(const PngInfo& info, std::uint16_t state) {
  DibFormat f;
  const int depth = info.bitDepth;
  const bool opaque = (state & kOpaque) != 0;
  f.pngBits = info.BitsPerPixel();
  f.filterStep = std::max(1, f.pngBits / 8);
  switch (info.colorType) {
    case kGrey:
    case kPalette: f.dibBits = depth == 1 ? 1 : depth <= 4 ? 4 : 8; break;
    case kRgb: f.dibBits = 24; break;
    case kGreyAlpha:
    case kRgba: f.dibBits = opaque ? 24 : 32; break;
    default: return DibFormat{};
  }
  if (info.HasKeyColor() && !opaque) f.dibBits = 32;
  // Bit 1 joins the paint mode when the progressive background could not be
  // made; the bitmap chosen before that stays the same.
  const int paintMode = state & kPaintModeMask & ~kPaintNoTarget;
  if ((state & kAlphaPainting) || (info.interlace == 1 && paintMode == kPaintPerPass)) f.dibBits = 32;
  f.dibBytes = f.dibBits / 8;
  return f;
}

std::int64_t CalcRowBytes(std::int64_t pixels, int bitsPerPixel) { return (pixels * bitsPerPixel + 7) / 8; }

std::int64_t PassColumns(std::int64_t width, int pass) {
  const AdamPass& p = kPasses[pass];
  return width / p.xStep + (width % p.xStep > p.xOrigin ? 1 : 0);
}

std::int64_t PassLines(std::int64_t height, int pass) {
  const AdamPass& p = kPasses[pass];
  return height / p.yStep + (height % p.yStep > p.yOrigin ? 1 : 0);
}

std::int64_t CalcRawDataSize(const PngInfo& info) {
  const int bits = info.BitsPerPixel();
  if (bits == 0 || info.width < 1 || info.height < 1) return 0;
  std::int64_t total = 0;
  const int firstPass = info.interlace == 1 ? 1 : kWholeImagePass;
  const int lastPass = info.interlace == 1 ? 7 : kWholeImagePass;
  for (int pass = firstPass; pass <= lastPass; ++pass) {
    const std::int64_t columns = PassColumns(info.width, pass);
    const std::int64_t lines = PassLines(info.height, pass);
    if (columns == 0 || lines == 0) continue;  // an empty pass has no filter bytes either
    total += lines * (CalcRowBytes(columns, bits) + 1);
  }
  return total > std::numeric_limits<std::int32_t>::max() ? 0 : total;
}

std::uint32_t PixelColor(const PngInfo& info, int samplePosition, std::uint8_t sourceByte, bool rgbOrder) {
  const int depth = info.bitDepth;
  std::uint32_t value = sourceByte;
  if (depth < 8) {
    const std::uint32_t mask = (1u << depth) - 1;
    if (samplePosition >= 0) {
      value = (value >> (8 - depth * (samplePosition + 1))) & mask;
    } else if (info.colorType != kPalette) {
      value &= mask;  // a whole grey byte can only mean its low bits
    }
  }
  std::uint32_t r, g, b;
  if (info.colorType == kPalette) {
    const std::size_t at = std::size_t(value) * 3;
    if (at + 2 < info.palette.size()) {
      r = info.palette[at];
      g = info.palette[at + 1];
      b = info.palette[at + 2];
    } else {
      r = g = b = 0;
    }
  } else {
    r = g = b = value * GreyScale(depth);
  }
  return rgbOrder ? (r << 16) | (g << 8) | b : (b << 16) | (g << 8) | r;
}

bool DecodeRows(const PngInfo& info, std::uint16_t state, InflatedData& data, const DibTarget& dib,
                DecodeObserver& observer) {
  if (!ValidTarget(info, state, dib)) return false;
  const DibFormat format = GetDIBBitCount(info, state);
  const std::int64_t lineBytes = CalcRowBytes(info.width, format.pngBits);
  const std::int64_t height = info.height;
  const bool paintRows = (state & kPaintModeMask) == kPaintRows;
  PassWriter writer(info, state, dib);
  auto progress = [&](std::int64_t y) {
    if (y % kRowsPerBlock == 0 && y != 0) {
      observer.Progress(int(y * 100 / height));
      if (paintRows) observer.RedrawRows(int(y - kRowsPerBlock), kRowsPerBlock, false, true);
    }
  };
  if (writer.RowsAreLines()) {
    // Each line is inflated straight into its row and unfiltered there, the
    // row above being the line above.
    for (std::int64_t y = 0; y < height; ++y) {
      std::uint8_t* row = dib.bits + y * dib.scanWidth;
      std::uint8_t filterType = 0;
      if (!data.Read(&filterType, 1) || !data.Read(row, std::size_t(lineBytes))) return false;
      if (!UnfilterLine(filterType, row, y == 0 ? nullptr : row - dib.scanWidth, std::size_t(lineBytes),
                        format.filterStep))
        return false;
      progress(y);
    }
  } else {
    LinePair lines(lineBytes);
    for (std::int64_t y = 0; y < height; ++y) {
      std::uint8_t* line = lines.Next();
      if (!data.Read(line, std::size_t(lineBytes + 1))) return false;
      if (!UnfilterLine(line[0], line + 1, y == 0 ? nullptr : lines.Above(), std::size_t(lineBytes), format.filterStep))
        return false;
      progress(y);
      writer.ConvertLine(line + 1, kWholeImagePass, y);
    }
  }
  observer.Progress(100);
  const std::int64_t shown = (height - 1) / kRowsPerBlock * kRowsPerBlock;
  if (paintRows) observer.RedrawRows(int(shown), int(height - shown), true, true);
  return true;
}

bool DecodeInterlaced(const PngInfo& info, std::uint16_t state, InflatedData& data, const DibTarget& dib,
                      DecodeObserver& observer) {
  if (!ValidTarget(info, state, dib)) return false;
  const DibFormat format = GetDIBBitCount(info, state);
  const bool redraw = (state & kPaintNoTarget) == 0 && (state & kPaintModeMask) != 0;
  int lastPass = 0;
  for (int pass = 1; pass <= 7; ++pass)
    if (PassColumns(info.width, pass) > 0 && PassLines(info.height, pass) > 0) lastPass = pass;
  PassWriter writer(info, state, dib);
  LinePair lines(CalcRowBytes(info.width, format.pngBits));
  for (int pass = 1; pass <= 7; ++pass) {
    const std::int64_t columns = PassColumns(info.width, pass);
    const std::int64_t passLines = PassLines(info.height, pass);
    if (columns == 0 || passLines == 0) continue;
    const std::int64_t lineBytes = CalcRowBytes(columns, format.pngBits);
    for (std::int64_t j = 0; j < passLines; ++j) {
      std::uint8_t* line = lines.Next();
      if (!data.Read(line, std::size_t(lineBytes + 1))) return false;
      if (!UnfilterLine(line[0], line + 1, j == 0 ? nullptr : lines.Above(), std::size_t(lineBytes), format.filterStep))
        return false;
      writer.ConvertLine(line + 1, pass, j);
    }
    observer.Progress(pass * 100 / 7);
    // The last pass that has pixels finishes the display, also when the
    // image is too small for pass 7.
    if (redraw) observer.RedrawRows(kPasses[pass].yOrigin, kPasses[pass].yStep, pass == lastPass, false);
  }
  return true;
}

}  // namespace media
