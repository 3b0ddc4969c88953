#pragma once
// The chunk readers of the PNG loader and the image description they fill.
// Each reader gets the chunk as it stands in the file (4 type bytes, then
// the data), checks its CRC when asked and its length, and stores what it
// keeps. Only IHDR and PLTE can refuse a file; the others ignore a chunk
// they do not like.

#include "media/png_errors.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace media {

// Colour types as the header stores them.
enum PngColorType : std::uint8_t {
  kGrey = 0,
  kRgb = 2,
  kPalette = 3,
  kGreyAlpha = 4,
  kRgba = 6,
};

inline constexpr std::size_t kChunkTypeBytes = 4;
inline constexpr std::size_t kHeaderBytes = 13;
inline constexpr std::size_t kMaxPaletteEntries = 256;
inline constexpr std::size_t kMaxKeywordBytes = 80;

// Big-endian fields of the file.
inline std::uint32_t ReadBE32(const std::uint8_t* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
inline std::uint16_t ReadBE16(const std::uint8_t* p) { return std::uint16_t((p[0] << 8) | p[1]); }

// What the chunks say about one picture. Colours are 0x00BBGGRR values;
// -1 marks an absent colour.
struct PngInfo {
  std::int32_t width = 0;                      // IHDR
  std::int32_t height = 0;                     // IHDR
  std::uint8_t bitDepth = 0;                   // 1, 2, 4, 8 or 16
  std::uint8_t colorType = 0;                  // PngColorType
  std::uint8_t interlace = 0;                  // 0 none, 1 Adam7
  bool hasHeader = false;                      // an IHDR has been accepted
  std::int32_t fileBackground = -1;            // bKGD as a colour
  std::int32_t gamma = 0;                      // gAMA as stored (x 100000), 0 absent
  std::vector<std::uint8_t> palette;           // PLTE: red, green, blue per entry
  std::vector<std::uint8_t> transparency;      // tRNS; palette images: 256 alpha bytes
  std::int32_t keyColor = -1;                  // tRNS key: grey low byte, RGB 0x00RRGGBB; 0 for palette
  std::array<std::uint16_t, 3> keySamples{};   // the tRNS key's full samples (grey in [0])
  std::vector<std::int32_t> chromaticity;      // cHRM: 8 values, empty when absent
  std::vector<std::int32_t> physicalSize;      // pHYs: x, y, unit; empty when absent
  std::vector<std::int32_t> offsets;           // oFFs: x, y, unit; empty when absent
  std::vector<std::uint8_t> textStore;         // tEXt/zTXt: length (LE32), type, data per chunk
  std::vector<std::uint8_t> modificationTime;  // tIME: 8 bytes (year LE16, M, D, h, m, s, 0)
  std::uint8_t sRGB = 0;                       // rendering intent + 1, 0 absent

  bool HasKeyColor() const { return keyColor != -1; }
  int Channels() const;
  int BitsPerPixel() const { return bitDepth * Channels(); }
};

// A chunk as read: type and data, and the CRC stored after it.
struct Chunk {
  std::span<const std::uint8_t> typeAndData;  // 4 type bytes, then the data
  std::uint32_t storedCrc = 0;                // as found in the file (big-endian value)
  std::span<const std::uint8_t> Data() const { return typeAndData.subspan(kChunkTypeBytes); }
};

// True when the stored CRC matches zlib's crc32 of type and data.
bool ChunkCrcMatches(const Chunk& chunk);

// The Adler-32 check of zlib data, continued from `adler` (1 to start) over
// `bytes`; the same value as zlib's adler32, several times faster.
std::uint32_t Adler32(std::uint32_t adler, std::span<const std::uint8_t> bytes);

// The readers. checkCrc false turns the CRC test off (ancillary chunks when
// the caller asked for no CRC checks); IHDR, PLTE and tRNS are always checked.
// ReadIHDR also answers the number of inflated bytes the image needs.
PngError ReadIHDR(PngInfo& info, const Chunk& chunk, std::int64_t& rawSize);
PngError ReadPLTE(PngInfo& info, const Chunk& chunk);
void ReadTRNS(PngInfo& info, const Chunk& chunk);
void ReadBKGD(PngInfo& info, const Chunk& chunk, bool checkCrc);
void ReadTIME(PngInfo& info, const Chunk& chunk, bool checkCrc);
void ReadText(PngInfo& info, const Chunk& chunk, bool checkCrc);
void ReadGAMA(PngInfo& info, const Chunk& chunk, bool checkCrc);
void ReadCHRM(PngInfo& info, const Chunk& chunk, bool checkCrc);
void ReadPHYS(PngInfo& info, const Chunk& chunk, bool checkCrc);
void ReadOFFS(PngInfo& info, const Chunk& chunk, bool checkCrc);
void ReadSRGB(PngInfo& info, const Chunk& chunk, bool checkCrc);

// True when the pair of colour type and bit depth is one the PNG format allows.
bool IsValidDepthForType(std::uint8_t colorType, std::uint8_t bitDepth);

// After the last chunk: a palette image must have a palette. It is kept as
// the file stores it; the bitmap's colour table is cut or padded from it.
PngError CheckPalette(const PngInfo& info);

}  // namespace media
