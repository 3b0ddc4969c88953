#include "media/png_errors.h"

#include "platform/version.h"

namespace media {

PngMessage PngErrorMessage(PngError code, const QString& detail) {
  const QString invalidPng = QStringLiteral("Invalid PNG Format");
  const QString invalidFormat = QStringLiteral("Invalid Format");
  switch (code) {
    case PngError::None:
    case PngError::Busy: return {};
    case PngError::FileAccess: return {detail, QStringLiteral("Error Accessing File")};
    case PngError::NotPng: return {QStringLiteral("This is not a valid PNG file"), invalidFormat};
    case PngError::Corrupted: return {QStringLiteral("This PNG file is corrupted"), QStringLiteral("Corrupted File")};
    case PngError::IdatBadCrc: return {QStringLiteral("Corrupted Image Data (bad CRC). Cannot continue."), invalidPng};
    case PngError::IdatNotKept: return {QStringLiteral("Failed to extract image data. Cannot continue."), invalidPng};
    case PngError::HeaderBadCrc:
      return {QStringLiteral("Corrupted Image Header (bad CRC). Cannot continue."), invalidPng};
    case PngError::HeaderCorrupted: return {QStringLiteral("Corrupted Image Header. Cannot continue."), invalidPng};
    case PngError::BadCompressionFlag:
      return {QStringLiteral("Invalid Compression Flag in Header. Cannot continue."), invalidPng};
    case PngError::BadFilterFlag:
      return {QStringLiteral("Invalid Filter Flag in Header. Cannot continue."), invalidPng};
    case PngError::BadBitDepth:
      return {QStringLiteral("Invalid Bit Depth Flag in Header. Cannot continue."), invalidPng};
    case PngError::BadColorType:
      return {QStringLiteral("Invalid Color Type Flag in Header. Cannot continue."), invalidPng};
    case PngError::BadInterlace:
      return {QStringLiteral("Invalid Interlacing Flag in Header. Cannot continue."), invalidPng};
    case PngError::TooLarge: return {QStringLiteral("Image is too large to process. Cannot continue."), invalidPng};
    case PngError::PaletteBadCrc: return {QStringLiteral("Invalid Palette (bad CRC). Cannot continue."), invalidPng};
    case PngError::BadPalette: return {QStringLiteral("Invalid Palette. Cannot continue."), invalidPng};
    case PngError::NoImageData: return {QStringLiteral("No image data found. Cannot continue."), invalidPng};
    case PngError::NotCompressedCorrectly:
      return {QStringLiteral("This PNG file is not compressed correctly."), invalidFormat};
    case PngError::NoResources:
      return {QStringLiteral("Resources may be too low, cannot create necessary drawing objects."),
              QString::fromLatin1(platform::kProgramTitle)};
    case PngError::DecodeFailed: return {QStringLiteral("Failed to properly read PNG image data."), invalidFormat};
    case PngError::UnknownCriticalChunk:
      return {QStringLiteral("Unknown Critical Chunk \"%1\". Cannot continue.").arg(detail), invalidPng};
  }
  return {};
}

}  // namespace media
