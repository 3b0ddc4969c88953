#pragma once
// The decoding pipeline: turns the inflated image data (one filter byte and
// the line's bytes per scan line, Adam7 passes one after another), read a
// line at a time, into the pixels of the picture holder's bitmap:
// unfiltering, the seven passes, conversion of every colour type and bit
// depth, transparency with premultiplied alpha, progress and progressive
// redraws. Also the text chunks as the Comments property reads them.

#include "media/png_chunks.h"

#include <QString>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace media {

// The state word of a StdPNG object.
enum PngState : std::uint16_t {
  kPaintNoTarget = 0x0001,  // nothing to paint on while decoding
  kPaintPerPass = 0x0002,   // redraw after every Adam7 pass
  kPaintBlocks = 0x0004,    // block-filling progressive display
  kPaintRows = 0x0008,      // redraw every 16 rows
  kPaintModeMask = 0x000F,
  kOpaque = 0x0010,         // the picture keeps no transparency
  kAlphaPainting = 0x0020,  // 32-bit so that it can be painted with a global alpha
  kLoading = 0x0800,
  kDecoding = 0x1000,
};

// One Adam7 pass; index 8 stands for the whole image of a plain file.
struct AdamPass {
  int xOrigin, yOrigin, xStep, yStep, blockWidth, blockHeight;
};
inline constexpr std::array<AdamPass, 9> kPasses{{
    {0, 0, 1, 1, 1, 1},  // unused index 0
    {0, 0, 8, 8, 8, 8},
    {4, 0, 8, 8, 4, 8},
    {0, 4, 4, 8, 4, 4},
    {2, 0, 4, 4, 2, 4},
    {0, 2, 2, 4, 2, 2},
    {1, 0, 2, 2, 1, 2},
    {0, 1, 1, 2, 1, 1},
    {0, 0, 1, 1, 1, 1},
}};
inline constexpr int kWholeImagePass = 8;
inline constexpr int kRowsPerBlock = 16;

struct DibFormat {
  int dibBits = 0;     // bits per pixel of the bitmap
  int dibBytes = 0;    // bytes per pixel of the bitmap (0 below 8 bits)
  int pngBits = 0;     // bits per pixel of the file
  int filterStep = 1;  // bytes of one whole pixel, at least 1
};

DibFormat GetDIBBitCount(const PngInfo& info, std::uint16_t state);

// Bytes of a line of `pixels` pixels at `bitsPerPixel`.
std::int64_t CalcRowBytes(std::int64_t pixels, int bitsPerPixel);

// Columns and lines of one pass (8: the whole image).
std::int64_t PassColumns(std::int64_t width, int pass);
std::int64_t PassLines(std::int64_t height, int pass);

// Bytes the inflated data must hold; 0 when the arithmetic overflows.
// A pass without columns or without lines holds no bytes at all.
std::int64_t CalcRawDataSize(const PngInfo& info);

// The colour (0x00RRGGBB with rgbOrder, else 0x00BBGGRR) of one grey or
// palette sample. samplePosition is the sample's index inside its byte (most
// significant first) for bit depths below 8, or -1 for a whole byte. A
// palette index without an entry is black.
std::uint32_t PixelColor(const PngInfo& info, int samplePosition, std::uint8_t sourceByte, bool rgbOrder);

// The Paeth predictor of the PNG format.
inline std::uint8_t PaethPredictor(int left, int above, int upperLeft) {
  const int p = left + above - upperLeft;
  const int pa = p > left ? p - left : left - p;
  const int pb = p > above ? p - above : above - p;
  const int pc = p > upperLeft ? p - upperLeft : upperLeft - p;
  if (pa <= pb && pa <= pc) return std::uint8_t(left);
  if (pb <= pc) return std::uint8_t(above);
  return std::uint8_t(upperLeft);
}

// Undoes the filter of one line in place: `line` is the line's bytes after
// its filter byte, `above` the unfiltered line before it or null for the
// first line of an image or pass. False for an unknown filter type.
bool UnfilterLine(std::uint8_t filterType, std::uint8_t* line, const std::uint8_t* above, std::size_t lineBytes,
                  int filterStep);

// Where decoded pixels go: the holder's bitmap (top-down rows of scanWidth
// bytes) and, for block-filling display of an indexed bitmap, the 24-bit
// block bitmap.
struct DibTarget {
  std::uint8_t* bits = nullptr;
  std::int64_t scanWidth = 0;
  int bitCount = 0;
  std::uint8_t* blockBits = nullptr;
  std::int64_t blockScanWidth = 0;
  std::vector<std::uint32_t> colorTable;  // 0x00RRGGBB entries of an indexed bitmap
};

// The owner's side of decoding: the Progress event and progressive redraws.
class DecodeObserver {
 public:
  virtual ~DecodeObserver() = default;
  virtual void Progress(int percent) = 0;
  virtual void RedrawRows(int firstRow, int rows, bool final, bool contiguous) = 0;
};

// The inflated image data as the pipeline reads it, line after line: each
// line's filter byte and then its bytes, the passes of an interlaced image
// one after another.
class InflatedData {
 public:
  virtual ~InflatedData() = default;
  // The next `count` bytes into `out`; false when the data ends before them
  // or cannot be inflated.
  virtual bool Read(std::uint8_t* out, std::size_t count) = 0;
};

// Decodes the image a line at a time into the target: only two lines are
// held besides the bitmap. False on an unknown filter type or when the data
// runs short. Working memory that cannot be had throws std::bad_alloc.
bool DecodeRows(const PngInfo& info, std::uint16_t state, InflatedData& data, const DibTarget& dib,
                DecodeObserver& observer);
bool DecodeInterlaced(const PngInfo& info, std::uint16_t state, InflatedData& data, const DibTarget& dib,
                      DecodeObserver& observer);

// The NUL-terminated keyword at the start of a text chunk's data, looked for
// within its first 81 bytes and never past its end; empty when there is none.
QString ReadChunkKeyword(std::span<const std::uint8_t> data);

// All kept tEXt and zTXt chunks as "keyword: text" lines joined by CR LF.
QString ReadTextChunks(const std::vector<std::uint8_t>& textStore);

}  // namespace media
