#pragma once
// Every way a PNG load can fail, as a named code. The decoder returns codes;
// only the boundary (StdPNG::LoadFile, the png_info tool) turns a code into
// the text and title the user sees, through PngErrorMessage.

#include <QString>

namespace media {

enum class PngError {
  None,
  Busy,        // a load is already running (from inside its own events); no message
  FileAccess,  // the file could not be opened or read
  NotPng,      // too short, or a wrong signature
  Corrupted,   // a chunk reaches past the end of the file
  IdatBadCrc,
  IdatNotKept,  // the joined image data could not be held
  HeaderBadCrc,
  HeaderCorrupted,  // width or height below 1, short, missing or repeated IHDR
  BadCompressionFlag,
  BadFilterFlag,
  BadBitDepth,  // also an invalid colour type and bit depth pair
  BadColorType,
  BadInterlace,
  TooLarge,  // the declared size cannot be held
  PaletteBadCrc,
  BadPalette,  // not a multiple of 3, over 256 entries, or missing
  NoImageData,
  NotCompressedCorrectly,  // inflating failed or gave too few bytes
  NoResources,             // the bitmap could not be created
  DecodeFailed,            // an unknown filter type
  UnknownCriticalChunk,    // a chunk the picture cannot be shown without, of a type not known here
};

struct PngMessage {
  QString text;
  QString title;
};

// The text and title of the message box for a code. FileAccess carries the
// system's own description of the failure in `detail`, UnknownCriticalChunk
// the chunk's name.
PngMessage PngErrorMessage(PngError code, const QString& detail = {});

}  // namespace media
