#include "media/png_picture.h"

#include "platform/ui.h"

#include <QDate>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QTime>

#include <algorithm>

namespace media {

StdPNG::StdPNG(platform::UiService& ui) : ui_(ui) {}

StdPNG::~StdPNG() { ResetImage(); }

void StdPNG::ResetImage() {
  info_ = PngInfo{};
  if (holder_) holder_->FreeDIB();
  state_ = 0;
  background_ = -1;
}

bool StdPNG::PrepareTransparency(QImage* hDC, QWidget* hWnd, bool computeOnly) {
  const bool keyed = info_.HasKeyColor();
  if (computeOnly) {
    if (info_.interlace == 1) return true;
    int screenWidth = 0;
    int screenHeight = 0;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      screenWidth = screen->geometry().width();
      screenHeight = screen->geometry().height();
    }
    const std::int64_t picture = std::int64_t(info_.width / 100) * (info_.height / 100);
    return picture > (std::int64_t(screenWidth / 100) * (screenHeight / 100)) / 3;
  }

  state_ = 0;
  const bool transparentKind = info_.colorType > kPalette || keyed;
  if (hDC == nullptr || hWnd == nullptr) {
    state_ = kPaintNoTarget;
  } else if (transparentKind) {
    state_ = info_.interlace == 1 ? kPaintPerPass : kPaintRows;
  } else if (info_.interlace == 1) {
    state_ = (progressiveDisplay_ & 1) ? kPaintPerPass : kPaintBlocks;
  } else {
    state_ = kPaintRows;
  }
  if (!transparentKind) {
    state_ |= kOpaque | kDecoding;
    return false;
  }
  switch (transparentStyle_) {
    case kTransparentFileBackground: background_ = info_.fileBackground == -1 ? kWhite : info_.fileBackground; break;
    case kTransparentOwnColor:
      if (info_.colorType == kPalette || info_.colorType == kGreyAlpha || info_.colorType == kRgba) {
        state_ |= kOpaque;
      } else if (keyed) {
        // The key's colour as the picture shows it: 16-bit samples keep
        // their high byte, like every other 16-bit colour.
        const auto& key = info_.keySamples;
        auto shown = [&](std::uint16_t sample) {
          return std::int32_t(info_.bitDepth == 16 ? sample >> 8 : sample & 0xFF);
        };
        if (info_.colorType == kGrey) {
          background_ = std::int32_t(PixelColor(info_, -1, std::uint8_t(shown(key[0])), false));
        } else {
          background_ = shown(key[0]) | (shown(key[1]) << 8) | (shown(key[2]) << 16);
        }
      } else if (info_.fileBackground != -1) {
        background_ = info_.fileBackground;
      } else {
        state_ |= kOpaque;
      }
      if (background_ == -1 && !(state_ & kOpaque))
        background_ = info_.fileBackground == -1 ? kWhite : info_.fileBackground;
      break;
    case kTransparentIgnore: state_ |= kOpaque; break;
    case kTransparentKeep: break;
    default: background_ = TranslateSysColor(transparentStyle_); break;
  }
  state_ |= kDecoding;
  return false;
}

std::int32_t StdPNG::TranslateSysColor(std::int32_t color) const {
  if (color >= 0) return color;
  // The Windows system colour indexes, taken from the desktop's palette.
  static constexpr QPalette::ColorRole kRoles[] = {
      QPalette::Mid,              // 0 scroll bar
      QPalette::Window,           // 1 desktop
      QPalette::Highlight,        // 2 active caption
      QPalette::Mid,              // 3 inactive caption
      QPalette::Window,           // 4 menu
      QPalette::Base,             // 5 window
      QPalette::Shadow,           // 6 window frame
      QPalette::WindowText,       // 7 menu text
      QPalette::Text,             // 8 window text
      QPalette::HighlightedText,  // 9 caption text
      QPalette::Button,           // 10 active border
      QPalette::Button,           // 11 inactive border
      QPalette::Dark,             // 12 application workspace
      QPalette::Highlight,        // 13 highlight
      QPalette::HighlightedText,  // 14 highlighted text
      QPalette::Button,           // 15 button face
      QPalette::Dark,             // 16 button shadow
      QPalette::PlaceholderText,  // 17 grey text
      QPalette::ButtonText,       // 18 button text
      QPalette::WindowText,       // 19 inactive caption text
      QPalette::Light,            // 20 button highlight
      QPalette::Shadow,           // 21 3D dark shadow
      QPalette::Midlight,         // 22 3D light
      QPalette::ToolTipText,      // 23 tooltip text
      QPalette::ToolTipBase,      // 24 tooltip background
  };
  const int index = color & 0xFF;
  if (index >= int(std::size(kRoles))) return 0;
  const QColor c = QGuiApplication::palette().color(kRoles[index]);
  return c.red() | (c.green() << 8) | (c.blue() << 16);
}

void StdPNG::Paint(QImage* hDC, int x, int y, int width, int height, const QImage* hSrcDC, int srcX, int srcY,
                   int srcWidth, int srcHeight, std::uint8_t alpha) {
  if (state_ >= kLoading || !holder_) return;
  holder_->Render(hDC, x, y, width, height, srcX, srcY, srcWidth, srcHeight, hSrcDC, alpha, nullptr);
}

QImage StdPNG::Handle() const { return Answers() && holder_ ? holder_->Handle() : QImage(); }

const QImage* StdPNG::hDC() const { return Answers() && holder_ ? holder_->hDC() : nullptr; }

bool StdPNG::HasOwnDC() const { return Answers() && !noOwnDc_; }

void StdPNG::SetHasOwnDC(bool keep) {
  if (!Answers()) return;
  noOwnDc_ = !keep;
  if (holder_) holder_->SetOwnDC(keep);
}

std::int32_t StdPNG::Height() const { return Answers() ? info_.height : 0; }
std::int32_t StdPNG::Width() const { return Answers() ? info_.width : 0; }

QDateTime StdPNG::LastModified() const {
  const auto& t = info_.modificationTime;
  if (!Answers() || t.size() < 7) return {};
  const int year = t[0] | (t[1] << 8);
  if (year == 0) return {};
  QDate date(year, t[2], t[3]);
  if (!date.isValid()) date = QDate(1899, 12, 30);  // the zero date
  QTime time(t[4], t[5], t[6]);
  if (!time.isValid()) time = QTime(0, 0);
  return QDateTime(date, time);
}

std::int32_t StdPNG::TransparentStyle() const { return Answers() ? transparentStyle_ : 0; }

void StdPNG::SetTransparentStyle(std::int32_t style) {
  if (Answers()) transparentStyle_ = style;
}

double StdPNG::GammaCorrection() const { return Answers() ? info_.gamma / 100000.0 : 0.0; }

std::vector<double> StdPNG::Chromaticity() const {
  std::vector<double> values;
  if (!Answers()) return values;
  for (const std::int32_t v : info_.chromaticity) values.push_back(v / 100000.0);
  return values;
}

std::vector<std::int32_t> StdPNG::AspectRatio() const {
  return Answers() ? info_.physicalSize : std::vector<std::int32_t>{};
}

std::vector<std::int32_t> StdPNG::Offsets() const { return Answers() ? info_.offsets : std::vector<std::int32_t>{}; }

std::int32_t StdPNG::ScanLineWidth() const {
  if (!Answers() || !holder_ || holder_->Height() == 0) return 0;
  return std::int32_t(holder_->ImageSize() / holder_->Height());
}

std::uint8_t StdPNG::StdRGB() const { return Answers() ? info_.sRGB : 0; }

QString StdPNG::Comments(const QString& noText) const {
  if (!Answers()) return {};
  const QString text = ReadTextChunks(info_.textStore);
  return text.isEmpty() ? noText : text;
}

namespace {

std::vector<std::uint8_t> GreyRamp(int bitDepth) {
  const int entries = bitDepth >= 8 ? 256 : 1 << bitDepth;
  const int step = 255 / (entries - 1);
  std::vector<std::uint8_t> ramp;
  ramp.reserve(std::size_t(entries) * 3);
  for (int i = 0; i < entries; ++i) ramp.insert(ramp.end(), 3, std::uint8_t(i * step));
  return ramp;
}

// The palette as Palette Let makes it: 256 entries above 4 bits, else
// 2^bit depth, zero-filled, then the given bytes.
std::vector<std::uint8_t> SizedPalette(const std::vector<std::uint8_t>& given, int bitDepth) {
  const std::size_t size = bitDepth > 4 ? 768 : std::size_t(3) << bitDepth;
  std::vector<std::uint8_t> palette(size, 0);
  std::copy_n(given.begin(), std::min(size, given.size()), palette.begin());
  return palette;
}

}  // namespace

std::vector<std::uint8_t> StdPNG::Palette() const {
  if (!Answers()) return {};
  if (!info_.palette.empty()) return info_.palette;
  if (info_.colorType == kGrey && info_.bitDepth > 0) return GreyRamp(info_.bitDepth);
  return {};
}

void StdPNG::SetPalette(const std::vector<std::uint8_t>& palette) {
  if (!Answers() || info_.bitDepth == 0) return;
  if (info_.colorType == kPalette) {
    if (!palette.empty()) {
      info_.palette = SizedPalette(palette, info_.bitDepth);
    } else if (info_.transparency.empty()) {
      info_.colorType = kGrey;
      info_.palette.clear();
    } else {
      info_.palette = GreyRamp(info_.bitDepth);
    }
  } else if (info_.colorType == kGrey && !palette.empty() && info_.bitDepth <= 8) {
    // A 16-bit sample cannot index a palette: such a picture stays grey.
    info_.colorType = kPalette;
    info_.palette = SizedPalette(palette, info_.bitDepth);
    if (info_.transparency.size() >= 2) {
      info_.keyColor = info_.transparency[1];
      info_.transparency.assign(info_.palette.size() / 3, 255);
      if (std::size_t(info_.keyColor) < info_.transparency.size()) info_.transparency[std::size_t(info_.keyColor)] = 0;
    }
  }
}

bool StdPNG::IsInterlaced() const { return Answers() && info_.interlace == 1; }
std::uint8_t StdPNG::ColorType() const { return Answers() ? info_.colorType : 0; }
std::uint8_t StdPNG::BitCount_PNG() const { return Answers() ? std::uint8_t(info_.BitsPerPixel()) : 0; }
std::uint8_t StdPNG::BitCount_BMP() const { return Answers() && holder_ ? std::uint8_t(holder_->BitCount()) : 0; }

bool StdPNG::SetProgressiveDisplay(std::int32_t value) {
  if (value < 0) return false;
  if (Answers() && value < kProgressiveDisplayLimit) progressiveDisplay_ = std::uint8_t(value);
  return true;
}

std::int32_t StdPNG::ProgressiveDisplay() const { return Answers() ? progressiveDisplay_ : 0; }

}  // namespace media
