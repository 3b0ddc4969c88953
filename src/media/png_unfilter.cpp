// Undoing the five scan-line filters of the PNG format, in place. After
// inflating, this is where decoding spends its time, so pixels of 3 to 8
// bytes go through SSE2 one pixel at a time; smaller ones are plain C++
// that the compiler unrolls per pixel size.

#include "media/png_decode.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace media {

namespace {

enum FilterType : std::uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

void UnfilterUp(std::uint8_t* line, const std::uint8_t* above, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) line[i] = std::uint8_t(line[i] + above[i]);
}

template <int Bpp>
void UnfilterSub(std::uint8_t* line, std::size_t n) {
  for (std::size_t i = Bpp; i < n; ++i) line[i] = std::uint8_t(line[i] + line[i - Bpp]);
}

template <int Bpp>
void UnfilterAverage(std::uint8_t* line, const std::uint8_t* above, std::size_t n) {
  const std::size_t head = n < std::size_t(Bpp) ? n : Bpp;
  if (above == nullptr) {
    for (std::size_t i = Bpp; i < n; ++i) line[i] = std::uint8_t(line[i] + (line[i - Bpp] >> 1));
    return;
  }
  for (std::size_t i = 0; i < head; ++i) line[i] = std::uint8_t(line[i] + (above[i] >> 1));
  for (std::size_t i = Bpp; i < n; ++i) line[i] = std::uint8_t(line[i] + ((line[i - Bpp] + above[i]) >> 1));
}

template <int Bpp>
void UnfilterPaeth(std::uint8_t* line, const std::uint8_t* above, std::size_t n) {
  if (above == nullptr) {  // the predictor of (left, 0, 0) is left: Sub
    UnfilterSub<Bpp>(line, n);
    return;
  }
  const std::size_t head = n < std::size_t(Bpp) ? n : Bpp;
  for (std::size_t i = 0; i < head; ++i) line[i] = std::uint8_t(line[i] + above[i]);
  for (std::size_t i = Bpp; i < n; ++i)
    line[i] = std::uint8_t(line[i] + PaethPredictor(line[i - Bpp], above[i], above[i - Bpp]));
}

#if defined(__SSE2__)

// One pixel of 3, 4, 6 or 8 bytes in the low lanes of a register. Odd
// sizes are put together in registers: a memcpy of 3 or 6 bytes goes
// through the stack and stalls every pixel on a failed store-to-load
// forwarding.
template <int Bpp>
__m128i LoadPixel(const std::uint8_t* p) {
  if constexpr (Bpp == 8) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
  } else if constexpr (Bpp == 6) {
    std::uint32_t low;
    std::uint16_t high;
    std::memcpy(&low, p, 4);
    std::memcpy(&high, p + 4, 2);
    return _mm_cvtsi64_si128(static_cast<long long>(low | (std::uint64_t(high) << 32)));
  } else if constexpr (Bpp == 4) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return _mm_cvtsi32_si128(static_cast<int>(v));
  } else {
    std::uint16_t low;
    std::memcpy(&low, p, 2);
    return _mm_cvtsi32_si128(static_cast<int>(low | (std::uint32_t(p[2]) << 16)));
  }
}

template <int Bpp>
void StorePixel(std::uint8_t* p, __m128i v) {
  if constexpr (Bpp == 8) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
  } else if constexpr (Bpp == 6) {
    const std::uint64_t x = static_cast<std::uint64_t>(_mm_cvtsi128_si64(v));
    const std::uint32_t low = std::uint32_t(x);
    const std::uint16_t high = std::uint16_t(x >> 32);
    std::memcpy(p, &low, 4);
    std::memcpy(p + 4, &high, 2);
  } else if constexpr (Bpp == 4) {
    const std::uint32_t x = static_cast<std::uint32_t>(_mm_cvtsi128_si32(v));
    std::memcpy(p, &x, 4);
  } else {
    const std::uint32_t x = static_cast<std::uint32_t>(_mm_cvtsi128_si32(v));
    const std::uint16_t low = std::uint16_t(x);
    std::memcpy(p, &low, 2);
    p[2] = std::uint8_t(x >> 16);
  }
}

template <int Bpp>
void UnfilterSubSse(std::uint8_t* line, std::size_t n) {
  __m128i left = _mm_setzero_si128();
  for (std::size_t i = 0; i + Bpp <= n; i += Bpp) {
    left = _mm_add_epi8(LoadPixel<Bpp>(line + i), left);
    StorePixel<Bpp>(line + i, left);
  }
}

template <int Bpp>
void UnfilterAverageSse(std::uint8_t* line, const std::uint8_t* above, std::size_t n) {
  // The rounding-up byte average, corrected down by the low bit where the
  // two bytes differ in it, gives the truncating average of the format.
  const __m128i one = _mm_set1_epi8(1);
  __m128i left = _mm_setzero_si128();
  for (std::size_t i = 0; i + Bpp <= n; i += Bpp) {
    const __m128i up = LoadPixel<Bpp>(above + i);
    __m128i avg = _mm_avg_epu8(left, up);
    avg = _mm_sub_epi8(avg, _mm_and_si128(_mm_xor_si128(left, up), one));
    left = _mm_add_epi8(LoadPixel<Bpp>(line + i), avg);
    StorePixel<Bpp>(line + i, left);
  }
}

__m128i Abs16(__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); }

template <int Bpp>
void UnfilterPaethSse(std::uint8_t* line, const std::uint8_t* above, std::size_t n) {
  // Sixteen-bit lanes: pa = |b - c|, pb = |a - c|, pc = |a + b - 2c|.
  const __m128i zero = _mm_setzero_si128();
  const __m128i lowByte = _mm_set1_epi16(0x00FF);
  __m128i a = zero;
  __m128i c = zero;
  for (std::size_t i = 0; i + Bpp <= n; i += Bpp) {
    const __m128i b = _mm_unpacklo_epi8(LoadPixel<Bpp>(above + i), zero);
    const __m128i raw = _mm_unpacklo_epi8(LoadPixel<Bpp>(line + i), zero);
    const __m128i bc = _mm_sub_epi16(b, c);
    const __m128i ac = _mm_sub_epi16(a, c);
    const __m128i pa = Abs16(bc);
    const __m128i pb = Abs16(ac);
    const __m128i pc = Abs16(_mm_add_epi16(bc, ac));
    const __m128i pickC = _mm_cmpgt_epi16(pb, pc);
    const __m128i bOrC = _mm_or_si128(_mm_and_si128(pickC, c), _mm_andnot_si128(pickC, b));
    const __m128i notA = _mm_cmpgt_epi16(pa, _mm_min_epi16(pb, pc));
    const __m128i pred = _mm_or_si128(_mm_and_si128(notA, bOrC), _mm_andnot_si128(notA, a));
    a = _mm_and_si128(_mm_add_epi16(raw, pred), lowByte);
    StorePixel<Bpp>(line + i, _mm_packus_epi16(a, a));
    c = b;
  }
}

#endif

template <int Bpp>
void Unfilter(std::uint8_t type, std::uint8_t* line, const std::uint8_t* above, std::size_t n) {
#if defined(__SSE2__)
  constexpr bool kVector = Bpp == 3 || Bpp == 4 || Bpp == 6 || Bpp == 8;
#else
  constexpr bool kVector = false;
#endif
  switch (type) {
    case kSub:
#if defined(__SSE2__)
      if constexpr (kVector) {
        UnfilterSubSse<Bpp>(line, n);
        return;
      }
#endif
      UnfilterSub<Bpp>(line, n);
      return;
    case kUp:
      if (above != nullptr) UnfilterUp(line, above, n);
      return;
    case kAverage:
#if defined(__SSE2__)
      if constexpr (kVector) {
        if (above != nullptr) {
          UnfilterAverageSse<Bpp>(line, above, n);
          return;
        }
      }
#endif
      UnfilterAverage<Bpp>(line, above, n);
      return;
    case kPaeth:
#if defined(__SSE2__)
      if constexpr (kVector) {
        if (above != nullptr) {
          UnfilterPaethSse<Bpp>(line, above, n);
          return;
        }
      }
#endif
      UnfilterPaeth<Bpp>(line, above, n);
      return;
    default: return;
  }
}

}  // namespace

bool UnfilterLine(std::uint8_t filterType, std::uint8_t* line, const std::uint8_t* above, std::size_t lineBytes,
                  int filterStep) {
  if (filterType > kPaeth) return false;
  if (filterType == kNone) return true;
  switch (filterStep) {
    case 1: Unfilter<1>(filterType, line, above, lineBytes); break;
    case 2: Unfilter<2>(filterType, line, above, lineBytes); break;
    case 3: Unfilter<3>(filterType, line, above, lineBytes); break;
    case 4: Unfilter<4>(filterType, line, above, lineBytes); break;
    case 6: Unfilter<6>(filterType, line, above, lineBytes); break;
    case 8: Unfilter<8>(filterType, line, above, lineBytes); break;
    default: return false;
  }
  return true;
}

}  // namespace media
