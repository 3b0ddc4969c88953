// Fuzz target for the whole PNG load path: chunk loop, readers, inflating,
// the pipeline with its events and every paint mode, progressive redraws on
// a target, flattening, painting and the text of the Comments property.
//
// Every input is loaded as it is (so that the CRC checks are exercised) and
// with every chunk's CRC made right, so that mutations reach the readers and
// the decoder instead of stopping at a CRC. The last two bytes of the input
// choose the options of one of the loads (bytes after IEND are never read,
// so the fuzzer can change them freely); two more loads always run the
// progressive display with a palette set from the events.

#include "media/png_picture.h"
#include "platform/ui.h"

#include <QApplication>
#include <QWidget>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

std::uint32_t BE32(const std::uint8_t* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

std::vector<std::uint8_t> WithRightCrcs(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  std::size_t at = 8;
  while (at + 12 <= bytes.size()) {
    const std::uint64_t length = BE32(&bytes[at]);
    if (length > bytes.size() - at - 12) break;
    const std::uint32_t crc = std::uint32_t(crc32(0, &bytes[at + 4], uInt(length + 4)));
    std::uint8_t* out = &bytes[at + 8 + length];
    out[0] = std::uint8_t(crc >> 24);
    out[1] = std::uint8_t(crc >> 16);
    out[2] = std::uint8_t(crc >> 8);
    out[3] = std::uint8_t(crc);
    at += 12 + length;
  }
  return bytes;
}

enum class Target { None, WindowAndImage, ImageOnly, Offset, NullImage };
enum class PaletteFrom { Nowhere, DisplayEvent, FirstProgress };

struct Options {
  std::int32_t style = media::kTransparentKeep;
  std::uint8_t alpha = 255;
  std::int16_t useAlphaBlend = 0;
  std::int32_t progressive = 4;  // 4 and above raise no display event
  Target target = Target::None;
  PaletteFrom paletteFrom = PaletteFrom::Nowhere;
  std::vector<std::uint8_t> palette;
};

Options FromBytes(std::uint8_t a, std::uint8_t b) {
  static const std::int32_t kStyles[] = {media::kTransparentKeep,
                                         media::kTransparentIgnore,
                                         media::kTransparentOwnColor,
                                         media::kTransparentFileBackground,
                                         0x00336699,
                                         0,
                                         std::int32_t(0x80000005u),   // a system colour
                                         std::int32_t(0x800000F0u)};  // one beyond the known ones
  Options o;
  o.style = kStyles[a & 7];
  o.progressive = (a >> 3) % 7;
  o.alpha = (a & 0x80) ? 200 : 255;
  o.useAlphaBlend = (b & 1) ? -1 : 0;
  o.target = Target((b >> 1) % 5);
  o.paletteFrom = PaletteFrom((b >> 4) % 3);
  switch ((b >> 6) & 3) {
    case 0: break;                               // an empty palette
    case 1: o.palette = {10, 20, 30}; break;     // one entry
    case 2: o.palette.assign(768, 0x5A); break;  // a whole palette
    default: o.palette.assign(7, 0xC3); break;   // not a multiple of 3
  }
  return o;
}

// Reads what a handler may read; answers change nothing.
void ReadProperties(const media::StdPNG& png) {
  (void)png.Width();
  (void)png.Palette();
  (void)png.Comments(QString());
  (void)png.AspectRatio();
  (void)png.Chromaticity();
  (void)png.LastModified();
}

void Exercise(media::StdPNG& png, std::span<const std::uint8_t> bytes, const Options& o) {
  QImage image(64, 48, QImage::Format_ARGB32_Premultiplied);
  image.fill(0xFF808080u);
  QImage nullImage;
  static QWidget window;  // hidden: its refreshes paint nothing on screen
  window.resize(64, 48);

  png.SetTransparentStyle(o.style);
  png.SetProgressiveDisplay(o.progressive);
  png.onProgessiveDisplay = [&](media::ProgressiveDisplayArgs& args) {
    ReadProperties(png);
    switch (o.target) {
      case Target::None: break;
      case Target::WindowAndImage:
        args.hDC = &image;
        args.hWnd = &window;
        break;
      case Target::ImageOnly: args.hDC = &image; break;
      case Target::Offset:
        args.hDC = &image;
        args.hWnd = &window;
        args.x = 40;
        args.y = 30;
        break;
      case Target::NullImage:
        args.hDC = &nullImage;
        args.hWnd = &window;
        break;
    }
    if (o.paletteFrom == PaletteFrom::DisplayEvent) png.SetPalette(o.palette);
  };
  png.onProgress = [&](int percent) {
    ReadProperties(png);
    if (percent == 0 && o.paletteFrom == PaletteFrom::FirstProgress) png.SetPalette(o.palette);
  };
  if (png.LoadFromMemory(bytes, -1, o.useAlphaBlend, o.alpha).ok()) {
    png.Paint(&image, 0, 0, 0, 0, nullptr, 0, 0, 0, 0, o.alpha);
    png.Paint(&image, 3, 2, 17, 9, nullptr, 1, 1, 5, 3, o.alpha);  // stretched, from a part
    png.Paint(&image, 0, 0, -1, 5, nullptr, 0, 0, 0, 0, o.alpha);
    png.SetHasOwnDC(false);
    png.Paint(&image, 0, 0, 0, 0, nullptr, 0, 0, 0, 0, o.alpha);
    png.Paint(&image, 0, 0, 0, 0, &image, 0, 0, 0, 0, o.alpha);
    png.SetHasOwnDC(true);
    (void)png.Handle();
    (void)png.ScanLineWidth();
  }
  ReadProperties(png);
  png.onProgessiveDisplay = nullptr;
  png.onProgress = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QApplication app(*argc, *argv);  // the windows that progressive display refreshes
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static platform::SilentUi ui;
  media::StdPNG png(ui);
  Exercise(png, {data, size}, Options{});
  const std::vector<std::uint8_t> fixed = WithRightCrcs(data, size);
  Exercise(png, fixed, size >= 2 ? FromBytes(data[size - 1], data[size - 2]) : Options{});

  // Progressive display on a window, with a palette given from each event:
  // block filling (even) and per-pass redraws (odd) for interlaced pictures,
  // 16-row redraws for the others.
  Options blocks;
  blocks.progressive = 2;
  blocks.target = Target::WindowAndImage;
  blocks.paletteFrom = PaletteFrom::DisplayEvent;
  blocks.palette = {200, 100, 50, 0, 0, 255};
  Exercise(png, fixed, blocks);
  Options passes;
  passes.progressive = 1;
  passes.style = media::kTransparentFileBackground;
  passes.alpha = 200;
  passes.target = Target::Offset;
  passes.paletteFrom = PaletteFrom::FirstProgress;
  Exercise(png, fixed, passes);
  return 0;
}
