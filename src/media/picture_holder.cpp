#include "media/picture_holder.h"

#include <QColor>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cstring>
#include <limits>

namespace media {

namespace {

QColor FromWindowsColor(std::int32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

QList<QRgb> QtColorTable(const std::vector<std::uint32_t>& table) {
  QList<QRgb> colors;
  colors.reserve(qsizetype(table.size()));
  for (const std::uint32_t rgb : table) colors.append(0xFF000000u | rgb);
  return colors;
}

}  // namespace

bool stdPNGdata::CreateDIB(int bitCount, int width, int height, std::span<const std::uint8_t> palette,
                           const QImage* /*refDc*/, bool cleared) {
  FreeDIB();
  if (width < 1 || height < 1) return false;
  std::vector<std::uint32_t> table;
  auto fromPalette = [&](std::size_t entries) {
    for (std::size_t i = 0; i < entries; ++i) {
      const std::size_t at = 3 * i;
      table.push_back(at + 2 < palette.size()
                          ? (std::uint32_t(palette[at]) << 16) | (std::uint32_t(palette[at + 1]) << 8) | palette[at + 2]
                          : 0u);
    }
  };
  switch (bitCount) {
    case 32:
    case 24: break;
    case 8:
    case 4:
      if (palette.empty()) {
        const int entries = 1 << bitCount;
        const std::uint32_t step = 255 / std::uint32_t(entries - 1);
        for (int i = 0; i < entries; ++i) table.push_back(std::uint32_t(i) * step * 0x010101u);
      } else {
        fromPalette(std::min<std::size_t>(palette.size() / 3, std::size_t(1) << bitCount));
      }
      break;
    case 1:
      if (palette.empty())
        table = {0x000000u, 0xFFFFFFu};
      else
        fromPalette(2);  // a one-entry palette gets black as its second colour
      break;
    default: return false;
  }
  const std::int64_t scan = CalcScanWidth(bitCount, width);
  if (scan > std::numeric_limits<std::int32_t>::max() / height) return false;
  Bytes bits = AllocateBytes(scan * height, cleared);
  if (!bits) return false;
  if (!cleared) {
    const std::int64_t used = (std::int64_t(bitCount) * width + 7) / 8;
    for (int y = 0; y < height; ++y) std::memset(bits.get() + y * scan + used, 0, std::size_t(scan - used));
  }
  bits_ = std::move(bits);
  bitCount_ = bitCount;
  width_ = width;
  height_ = height;
  scanWidth_ = scan;
  colorTable_ = std::move(table);
  drawWidth_ = width;
  drawHeight_ = height;
  ownDc_ = true;
  return true;
}

QImage stdPNGdata::View() const {
  if (!bits_) return {};
  const qsizetype scan = qsizetype(scanWidth_);
  switch (bitCount_) {
    case 32: return QImage(bits_.get(), width_, height_, scan, QImage::Format_ARGB32_Premultiplied);
    case 24: return QImage(bits_.get(), width_, height_, scan, QImage::Format_BGR888);
    case 8: {
      QImage image(bits_.get(), width_, height_, scan, QImage::Format_Indexed8);
      image.setColorTable(QtColorTable(colorTable_));
      return image;
    }
    case 4: {
      // Qt has no 4-bit format: spread the nibbles into an 8-bit copy.
      QImage image(width_, height_, QImage::Format_Indexed8);
      if (image.isNull()) return {};
      for (int y = 0; y < height_; ++y) {
        const std::uint8_t* src = bits_.get() + y * scanWidth_;
        std::uint8_t* dst = image.scanLine(y);
        for (int x = 0; x < width_; ++x) dst[x] = (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4);
      }
      QList<QRgb> colors = QtColorTable(colorTable_);
      while (colors.size() < 16) colors.append(0xFF000000u);
      image.setColorTable(colors);
      return image;
    }
    case 1: {
      QImage image(bits_.get(), width_, height_, scan, QImage::Format_Mono);
      image.setColorTable(QtColorTable(colorTable_));
      return image;
    }
    default: return {};
  }
}

QImage stdPNGdata::Handle() const { return View(); }

const QImage* stdPNGdata::hDC() const {
  if (!bits_ || !ownDc_) return nullptr;
  memoryDc_ = View();
  return &memoryDc_;
}

bool stdPNGdata::CreateBackgroundDIB(QImage* hDC, int x, int y, bool interlaced, std::int32_t backColor) {
  if (!bits_) return false;
  if (bitCount_ == 32) {
    drawWidth_ = width_;
    drawHeight_ = height_;
    if (hDC != nullptr) {
      if (hDC->isNull()) return false;
      if (x + drawWidth_ > hDC->width()) drawWidth_ = hDC->width() - x;
      if (y + drawHeight_ > hDC->height()) drawHeight_ = hDC->height() - y;
    }
    if (drawWidth_ < 1 || drawHeight_ < 1) return false;
    QImage background(drawWidth_, drawHeight_, QImage::Format_ARGB32_Premultiplied);
    if (background.isNull()) return false;
    if (backColor < 0) {
      background.fill(Qt::transparent);
      if (hDC != nullptr) {
        QPainter painter(&background);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, *hDC, x, y, drawWidth_, drawHeight_);
      }
      saveUnder_ = background.copy();
      if (saveUnder_.isNull()) return false;
    } else {
      background.fill(FromWindowsColor(backColor));
    }
    background_ = std::move(background);
    return true;
  }
  if (interlaced && bitCount_ < 24) {
    blockBits_ = AllocateBytes(BlockBufferSize(), true);
    return blockBits_ != nullptr;
  }
  return true;
}

void stdPNGdata::BlendRows(int firstRow, int rows, std::uint8_t globalAlpha) {
  const int last = std::min(firstRow + rows, drawHeight_);
  if (firstRow >= last) return;
  QPainter painter(&background_);
  painter.setOpacity(globalAlpha / 255.0);
  painter.drawImage(QPoint(0, firstRow), View(), QRect(0, firstRow, drawWidth_, last - firstRow));
}

void stdPNGdata::CopyBackgroundRows(QImage* hDC, int x, int y, int firstRow, int rows) {
  const int last = std::min(firstRow + rows, drawHeight_);
  if (firstRow >= last) return;
  QPainter painter(hDC);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(QPoint(x, y + firstRow), background_, QRect(0, firstRow, drawWidth_, last - firstRow));
}

void stdPNGdata::CleanBackground(std::int32_t backColor, bool final) {
  if (background_.isNull()) return;
  if (backColor < 0) {
    if (!final) background_ = saveUnder_.copy();
  } else {
    background_.fill(FromWindowsColor(backColor));
  }
}

void stdPNGdata::FlattenOntoBackground(std::uint8_t globalAlpha) {
  if (background_.isNull() || bitCount_ != 32 || !bits_) return;
  BlendRows(0, drawHeight_, globalAlpha);
  const std::int64_t scan = CalcScanWidth(24, width_);
  Bytes flat = AllocateBytes(scan * height_, true);
  if (flat) {
    const QImage bgr = background_.convertToFormat(QImage::Format_BGR888);
    const int rows = std::min(bgr.height(), height_);
    const std::size_t bytes = std::size_t(std::min(bgr.width(), width_)) * 3;
    for (int y = 0; y < rows; ++y) std::memcpy(flat.get() + y * scan, bgr.constScanLine(y), bytes);
    bits_ = std::move(flat);
    bitCount_ = 24;
    scanWidth_ = scan;
  }
  FreeBackground();
}

void stdPNGdata::RedrawRows(QImage* hDC, QWidget* hWnd, int x, int y, int firstRow, int rows, bool final,
                            bool contiguous, std::int32_t backColor, std::uint8_t globalAlpha) {
  if (!bits_ || hDC == nullptr || hDC->isNull()) return;
  int lastRow = firstRow + rows;
  if (bitCount_ == 32) {
    if (final || background_.isNull()) {
      if (background_.isNull()) {
        Render(hDC, x, y, width_, height_, 0, 0, width_, height_, nullptr, globalAlpha, nullptr);
      } else {
        BlendRows(0, drawHeight_, globalAlpha);
        CopyBackgroundRows(hDC, x, y, 0, drawHeight_);
      }
      lastRow = drawHeight_;
    } else if (contiguous) {
      BlendRows(firstRow, rows, globalAlpha);
      CopyBackgroundRows(hDC, x, y, firstRow, rows);
    } else {
      const int step = std::max(rows, 1);
      for (int r = firstRow; r < drawHeight_; r += step) {
        BlendRows(r, 1, globalAlpha);
        CopyBackgroundRows(hDC, x, y, r, 1);
        lastRow = r + 1;
      }
    }
    CleanBackground(backColor, final);
  } else {
    QPainter painter(hDC);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (blockBits_ && !final) {
      const QImage block(blockBits_.get(), width_, height_, qsizetype(CalcScanWidth(24, width_)),
                         QImage::Format_BGR888);
      painter.drawImage(x, y, block);
      lastRow = drawHeight_;
    } else if (!contiguous) {
      painter.drawImage(x, y, View());
      lastRow = drawHeight_;
    } else if (firstRow <= drawHeight_) {
      painter.drawImage(QPoint(x, y + firstRow), View(), QRect(0, firstRow, width_, rows));
    }
  }
  if (hWnd != nullptr) hWnd->repaint(QRect(x, y + firstRow, drawWidth_, lastRow - firstRow));
  if (final) {
    if (backColor < 0)
      FreeBackground();
    else
      FlattenOntoBackground(globalAlpha);
  }
}

void stdPNGdata::Render(QImage* hDC, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                        int srcHeight, const QImage* hSrcDC, std::uint8_t alpha, QWidget* hWnd) {
  if (!bits_ || hDC == nullptr || hDC->isNull() || width < 0 || height < 0) return;
  if (width == 0) width = width_;
  if (height == 0) height = height_;
  if (srcWidth < 1) srcWidth = width_;
  if (srcHeight < 1) srcHeight = height_;
  if (hSrcDC == nullptr && !ownDc_) return;
  const QImage picture = View();
  {
    QPainter painter(hDC);
    if (bitCount_ == 32) {
      painter.setOpacity(alpha / 255.0);
    } else {
      painter.setCompositionMode(QPainter::CompositionMode_Source);
    }
    painter.drawImage(QRect(x, y, width, height), picture, QRect(srcX, srcY, srcWidth, srcHeight));
  }
  if (hWnd != nullptr) hWnd->repaint(QRect(x, y, width, height));
}

void stdPNGdata::SetOwnDC(bool keep) {
  if (!bits_) return;
  ownDc_ = keep;
  if (!keep) memoryDc_ = QImage();
}

void stdPNGdata::FreeBackground() {
  background_ = QImage();
  saveUnder_ = QImage();
  blockBits_.reset();
}

void stdPNGdata::FreeDIB() {
  memoryDc_ = QImage();
  bits_.reset();
  bitCount_ = 0;
  scanWidth_ = 0;
  colorTable_.clear();
  ownDc_ = false;
  FreeBackground();
}

void stdPNGdata::FillBits(std::int32_t color, int rows) {
  if (!bits_ || rows == 0) return;
  const std::int64_t size = ImageSize();
  if (color < 0) {
    std::memset(bits_.get(), 0, std::size_t(size));
    return;
  }
  const std::uint8_t pixel[4] = {std::uint8_t(color >> 16), std::uint8_t(color >> 8), std::uint8_t(color), 255};
  std::int64_t filled = std::min<std::int64_t>(4, size);
  std::memcpy(bits_.get(), pixel, std::size_t(filled));
  while (filled < size) {
    const std::int64_t copy = std::min(filled, size - filled);
    std::memcpy(bits_.get() + filled, bits_.get(), std::size_t(copy));
    filled += copy;
  }
}

}  // namespace media
