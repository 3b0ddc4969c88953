// Fuzz target for the whole PNG load path: chunk loop, readers, inflating,
// the pipeline, flattening and the text of the Comments property.
//
// Every input is loaded twice: as it is (so that the CRC checks are
// exercised) and with every chunk's CRC made right, so that mutations reach
// the readers and the decoder instead of stopping at a CRC.

#include "media/png_picture.h"
#include "platform/ui.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace {

class SilentUi : public platform::UiService {
 public:
  int MsgBox(const QString&, int, const QString&) override { return platform::vbOK; }
  std::optional<QString> InputBox(const QString&, const QString&, const QString&) override { return std::nullopt; }
  void Beep() override {}
};

std::uint32_t BE32(const std::uint8_t* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

std::vector<std::uint8_t> WithRightCrcs(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  std::size_t at = 8;
  while (at + 12 <= bytes.size()) {
    const std::uint64_t length = BE32(&bytes[at]);
    if (length > bytes.size() - at - 12) break;
    const std::uint32_t crc =
        std::uint32_t(crc32(0, &bytes[at + 4], uInt(length + 4)));
    std::uint8_t* out = &bytes[at + 8 + length];
    out[0] = std::uint8_t(crc >> 24);
    out[1] = std::uint8_t(crc >> 16);
    out[2] = std::uint8_t(crc >> 8);
    out[3] = std::uint8_t(crc);
    at += 12 + length;
  }
  return bytes;
}

void Exercise(media::StdPNG& png, std::span<const std::uint8_t> bytes, std::int32_t style, std::uint8_t alpha) {
  png.SetTransparentStyle(style);
  if (png.LoadFromMemory(bytes, -1, 0, alpha).ok()) {
    QImage target(16, 16, QImage::Format_ARGB32_Premultiplied);
    target.fill(0);
    png.Paint(&target, 0, 0, 0, 0, nullptr, 0, 0, 0, 0, alpha);
  }
  (void)png.Comments(QString());
  (void)png.Palette();
  (void)png.LastModified();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SilentUi ui;
  media::StdPNG png(ui);
  Exercise(png, {data, size}, media::kTransparentKeep, 255);
  const std::vector<std::uint8_t> fixed = WithRightCrcs(data, size);
  Exercise(png, fixed, media::kTransparentKeep, 255);
  // The other paths: flattening onto the file's background, and a 32-bit
  // bitmap for painting with a global alpha.
  Exercise(png, fixed, media::kTransparentFileBackground, 200);
  Exercise(png, fixed, media::kTransparentOwnColor, 255);
  return 0;
}
