#include "media/png_painting.h"

#include <QPainter>
#include <algorithm>

#include "media/png_errors.h"
#include "platform/ui.h"

namespace media {

namespace {

struct Painter {
  StdPNG& png;

  void operator()(const SplashLogoTarget& t) const {
    if (!t.box) return;
    png.Paint(t.box, 0, 0, png.Width(), png.Height(), nullptr, 0, 0, 0, 0, 255);
  }

  void operator()(const WindowTarget& t) const {
    if (!t.window) return;
    png.Paint(t.window, t.at.x(), t.at.y(), png.Width(), png.Height(), nullptr, 0, 0, 0, 0, 255);
  }

  void operator()(const StructureTarget& t) const {
    if (!t.window) return;
    const int offsetY = std::clamp(t.TableOffsetY, 0, png.Height());
    const int rest = png.Height() - offsetY;
    const int lines = t.TableBottom > 0 ? std::min(rest, t.TableBottom) : rest;
    if (lines <= 0) return;
    png.Paint(t.window, t.TableOffsetX, 0, png.Width(), lines, nullptr, 0, offsetY, png.Width(), lines, 255);
  }

  void operator()(const BoxTarget& t) const {
    if (!t.box || t.boxSize.isEmpty()) return;
    if (t.box->size() != t.boxSize) *t.box = QImage(t.boxSize, QImage::Format_ARGB32_Premultiplied);
    t.box->fill(Qt::transparent);
    if (t.windowPicture && !t.windowPicture->isNull()) {
      QPainter p(t.box);
      p.drawImage(QPoint(0, 0), *t.windowPicture, QRect(t.boxPos, t.boxSize));
    }
    png.Paint(t.box, 0, 0, t.boxSize.width(), t.boxSize.height(), nullptr, 0, 0, 0, 0, 255);
  }
};

}  // namespace

StdPNG::LoadResult PaintPngFile(StdPNG& png, const QString& FileName, const PngTarget& target) {
  png.SetProgressiveDisplay(0);
  png.SetTransparentStyle(kTransparentKeep);
  StdPNG::LoadResult result = png.Load(FileName, -1, 0, 255);
  if (!result.ok()) return result;
  std::visit(Painter{png}, target);
  return result;
}

void PictureReports::Report(const QString& FileName, const StdPNG::LoadResult& result) {
  if (result.ok() || told_.contains(FileName)) return;
  told_.insert(FileName);
  const PngMessage m = PngErrorMessage(result.error, result.detail);
  ui_.MsgBox(FileName + "\r\n\r\n" + m.text, platform::vbExclamation, m.title);
}

}  // namespace media
