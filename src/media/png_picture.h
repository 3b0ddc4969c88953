#pragma once
// StdPNG: loads one PNG file at a time into a bitmap (its picture holder)
// and paints it onto any image, stretched or alpha-blended. Besides the
// pixels it keeps the ancillary values it understands and reports them
// through read-only properties. Failures are named codes (Load); LoadFile
// shows the code's message through the UI service and answers False.

#include "media/picture_holder.h"
#include "media/png_chunks.h"
#include "media/png_decode.h"
#include "media/png_errors.h"

#include <QDateTime>
#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

class QWidget;

namespace platform {
class UiService;
}

namespace media {

// Arguments of the ProgessiveDisplay event. The owner that wants to watch
// the picture appear sets hDC (and hWnd to refresh) and the position.
struct ProgressiveDisplayArgs {
  int width = 0;
  int height = 0;
  QImage* hDC = nullptr;
  QWidget* hWnd = nullptr;
  std::int32_t backColor = -1;   // the file's background colour
  bool hasTransparency = false;  // an alpha channel or a key colour
  int x = 0;
  int y = 0;
  bool interlaced = false;
  bool recommended = false;
};

// TransparentStyle values.
inline constexpr std::int32_t kTransparentKeep = -1;  // blend at paint time
inline constexpr std::int32_t kTransparentIgnore = -2;
inline constexpr std::int32_t kTransparentOwnColor = -3;  // transparent pixels in their stored colour
inline constexpr std::int32_t kTransparentFileBackground = -4;

inline constexpr int kProgressiveDisplayLimit = 7;  // ProgressiveDisplay takes 0..6
inline constexpr std::int32_t kWhite = 0xFFFFFF;

class StdPNG {
 public:
  explicit StdPNG(platform::UiService& ui);
  ~StdPNG();
  StdPNG(const StdPNG&) = delete;
  StdPNG& operator=(const StdPNG&) = delete;

  // Loads a PNG file; on failure shows the message and answers false with
  // the object empty. checkCrc 0 skips the CRC check of ancillary chunks;
  // useAlphaBlend -1 or a globalAlpha below 255 makes the bitmap 32-bit.
  bool LoadFile(const QString& fileName, std::int16_t checkCrc, std::int16_t useAlphaBlend, std::uint8_t globalAlpha);

  // What LoadFile does without showing anything: the failure's code (and,
  // for a file that cannot be opened, the system's description; for an
  // unknown critical chunk, its name).
  struct LoadResult {
    PngError error = PngError::None;
    QString detail;
    bool ok() const { return error == PngError::None; }
  };
  LoadResult Load(const QString& fileName, std::int16_t checkCrc, std::int16_t useAlphaBlend, std::uint8_t globalAlpha);
  // The same from a PNG file's bytes in memory.
  LoadResult LoadFromMemory(std::span<const std::uint8_t> bytes, std::int16_t checkCrc, std::int16_t useAlphaBlend,
                            std::uint8_t globalAlpha);

  // Paints the picture: width or height 0 take its size, source sizes below
  // 1 the whole picture, hSrcDC null the own memory context.
  void Paint(QImage* hDC, int x, int y, int width, int height, const QImage* hSrcDC, int srcX, int srcY, int srcWidth,
             int srcHeight, std::uint8_t alpha);

  QImage Handle() const;      // the picture; null without one
  const QImage* hDC() const;  // the own memory context; null without picture or own context
  bool HasOwnDC() const;
  void SetHasOwnDC(bool keep);
  std::int32_t Height() const;
  QDateTime LastModified() const;  // null without tIME
  std::int32_t TransparentStyle() const;
  void SetTransparentStyle(std::int32_t style);
  double GammaCorrection() const;
  // The array properties answer an empty vector where the original answered
  // the one-element array with bounds -1 to -1.
  std::vector<double> Chromaticity() const;
  std::vector<std::int32_t> AspectRatio() const;
  std::vector<std::int32_t> Offsets() const;
  std::int32_t ScanLineWidth() const;
  std::uint8_t StdRGB() const;
  std::int32_t Width() const;
  QString Comments(const QString& noText) const;
  std::vector<std::uint8_t> Palette() const;
  void SetPalette(const std::vector<std::uint8_t>& palette);
  bool IsInterlaced() const;  // the header's interlace field is 1 (Adam7)
  std::uint8_t ColorType() const;
  std::uint8_t BitCount_PNG() const;
  std::uint8_t BitCount_BMP() const;
  // Values 7 and above are ignored; a negative value is refused with false
  // (the original raised an overflow error).
  bool SetProgressiveDisplay(std::int32_t value);
  std::int32_t ProgressiveDisplay() const;

  // Events, raised synchronously from inside a load.
  std::function<void(ProgressiveDisplayArgs&)> onProgessiveDisplay;
  std::function<void(int percent)> onProgress;

  // The state word (0 whenever no load runs).
  std::uint16_t StateWord() const { return state_; }
  // The colour flattened onto by the last load, -1 when none.
  std::int32_t Background() const { return background_; }
  const PngInfo& Info() const { return info_; }

 private:
  class Source;
  class FileSource;
  class MemorySource;
  class Observer;
  class ImageData;

  LoadResult LoadFrom(Source& source, std::int16_t checkCrc, std::int16_t useAlphaBlend, std::uint8_t globalAlpha);
  LoadResult ReadChunks(Source& source, bool checkCrc, std::int64_t& rawSize, ImageData& idat);
  void ResetImage();
  bool PrepareTransparency(QImage* hDC, QWidget* hWnd, bool computeOnly);
  std::int32_t TranslateSysColor(std::int32_t color) const;
  bool Answers() const { return state_ < kDecoding; }

  platform::UiService& ui_;
  PngInfo info_;                         // what the chunks said
  std::uint16_t state_ = 0;              // PngState bits
  bool noOwnDc_ = false;                 // the inverse of HasOwnDC
  std::uint8_t progressiveDisplay_ = 0;  // 0..6
  std::int32_t transparentStyle_ = 0;    // 0 flattens onto black until set
  std::int32_t background_ = -1;         // colour the picture is flattened onto
  std::unique_ptr<stdPNGdata> holder_;   // null before the first successful decoding
};

}  // namespace media
