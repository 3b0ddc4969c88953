#pragma once
// The decoded picture of one StdPNG object: a bitmap of top-down rows, each
// padded to 4 bytes, as blue-green-red (24-bit), premultiplied
// blue-green-red-alpha (32-bit) or 1-, 4- and 8-bit indexes into a colour
// table. A device context is a QImage painted with QPainter; the picture's
// own memory context is a QImage over its bits. It also keeps the background
// that progressive display composes transparent pictures on, and paints the
// picture stretched or alpha-blended.

#include "media/byte_buffer.h"

#include <QImage>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

class QWidget;

namespace media {

class stdPNGdata {
 public:
  stdPNGdata() = default;
  ~stdPNGdata() { FreeDIB(); }
  stdPNGdata(const stdPNGdata&) = delete;
  stdPNGdata& operator=(const stdPNGdata&) = delete;

  // Creates the picture, zero-filled (a 32-bit one fully transparent). The
  // palette (red, green, blue triplets) becomes the colour table of an
  // indexed picture; without one, greys. False for another bit count or
  // when the memory cannot be had. refDc is accepted for symmetry with the
  // other drawing calls; the picture's layout does not depend on it. A
  // caller that writes every pixel of every row may ask for the bits
  // uncleared (the padding at the rows' ends is cleared still).
  bool CreateDIB(int bitCount, int width, int height, std::span<const std::uint8_t> palette,
                 const QImage* refDc = nullptr, bool cleared = true);

  // Prepares the background for transparent (32-bit) or block-filled
  // (indexed, interlaced) progressive display on hDC at (x, y). A negative
  // backColor composes on a copy of the target's own content.
  bool CreateBackgroundDIB(QImage* hDC, int x, int y, bool interlaced, std::int32_t backColor);

  // Blends the picture onto the background and makes it 24-bit.
  void FlattenOntoBackground(std::uint8_t globalAlpha);

  // Progressive redraw of rows just decoded onto hDC at (x, y); hWnd, when
  // given, is repainted over the rows drawn.
  void RedrawRows(QImage* hDC, QWidget* hWnd, int x, int y, int firstRow, int rows, bool final, bool contiguous,
                  std::int32_t backColor, std::uint8_t globalAlpha);

  // Paints the picture (or its source rectangle) into the rectangle of hDC.
  // Width or height 0 take the picture's; source sizes below 1 take the
  // picture's; hSrcDC null paints from the own memory context (nothing when
  // there is none), any other context paints the picture too.
  void Render(QImage* hDC, int x, int y, int width, int height, int srcX, int srcY, int srcWidth, int srcHeight,
              const QImage* hSrcDC, std::uint8_t alpha, QWidget* hWnd);

  void SetOwnDC(bool keep);
  void FreeBackground();
  void FreeDIB();
  // Fills the picture with one colour (0x00BBGGRR), or zeros for a negative one.
  void FillBits(std::int32_t color, int rows);

  std::uint8_t* BitsPointer() { return bits_.get(); }
  const std::uint8_t* BitsPointer() const { return bits_.get(); }
  std::int64_t ImageSize() const { return bits_ ? scanWidth_ * height_ : 0; }
  std::int64_t ScanWidth() const { return scanWidth_; }
  // The picture as an image (null without one); for 4-bit pictures an 8-bit copy.
  QImage Handle() const;
  // The own memory context, null without one.
  const QImage* hDC() const;
  int BitCount() const { return bits_ ? bitCount_ : 0; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  std::uint8_t* BlockBitsPointer() { return blockBits_.get(); }
  std::int64_t BlockBufferSize() const { return CalcScanWidth(24, width_) * height_; }
  // 0x00RRGGBB entries of an indexed picture.
  const std::vector<std::uint32_t>& ColorTable() const { return colorTable_; }
  bool HasBackground() const { return !background_.isNull(); }
  int DrawWidth() const { return drawWidth_; }
  int DrawHeight() const { return drawHeight_; }

  static std::int64_t CalcScanWidth(int bitCount, std::int64_t width) {
    return ((std::int64_t(bitCount) * width + 31) & ~std::int64_t(31)) / 8;
  }

 private:
  using Bytes = ByteBuffer;

  QImage View() const;  // the bits as a QImage, shared, not copied
  void BlendRows(int firstRow, int rows, std::uint8_t globalAlpha);
  void CopyBackgroundRows(QImage* hDC, int x, int y, int firstRow, int rows);
  void CleanBackground(std::int32_t backColor, bool final);

  Bytes bits_;  // the picture's bits
  int bitCount_ = 0;
  int width_ = 0;
  int height_ = 0;
  std::int64_t scanWidth_ = 0;             // bytes per row
  std::vector<std::uint32_t> colorTable_;  // indexed pictures
  bool ownDc_ = false;                     // the memory context exists
  mutable QImage memoryDc_;                // what hDC() hands out
  QImage background_;                      // composition background (32-bit pictures)
  QImage saveUnder_;                       // the target's own content under the picture
  Bytes blockBits_;                        // 24-bit block bitmap (indexed, interlaced)
  int drawWidth_ = 0;                      // the picture's size clipped to the target
  int drawHeight_ = 0;
};

}  // namespace media
