#pragma once
// Painting the program's PNG files (the logos, the tutorial's hands, the
// table structures) through the one shared PNG object, onto a target the
// caller names explicitly.

#include <QImage>
#include <QPoint>
#include <QSet>
#include <QSize>
#include <QString>
#include <variant>

#include "media/png_picture.h"

namespace platform {
class UiService;
}

namespace media {

// The splash window's logo box: the picture at (0, 0) in its own size.
struct SplashLogoTarget {
  QImage* box = nullptr;
};

// The table window's own picture, the picture at a point in its own size.
struct WindowTarget {
  QImage* window = nullptr;
  QPoint at;
};

// The table window's own picture, a structure: at (TableOffsetX, 0), its
// top TableOffsetY lines cut off, TableBottom lines at most.
struct StructureTarget {
  QImage* window = nullptr;
  int TableOffsetX = 0;
  int TableOffsetY = 0;
  int TableBottom = 0;
};

// A picture box on the table window: filled first with the part of the
// window's picture under it, then the picture scaled to the box.
struct BoxTarget {
  QImage* box = nullptr;
  const QImage* windowPicture = nullptr;  // may be null or empty: nothing under the box
  QPoint boxPos;                          // the box's place in the window
  QSize boxSize;
};

using PngTarget = std::variant<SplashLogoTarget, WindowTarget, StructureTarget, BoxTarget>;

// Loads the file into the shared object and paints it onto the target.
// Nothing is shown on failure: the caller decides what to tell, from the
// result. The target keeps what it showed when the file cannot be loaded.
StdPNG::LoadResult PaintPngFile(StdPNG& png, const QString& FileName, const PngTarget& target);

// Tells the user that a picture could not be painted, once per file in a
// run, whichever window paints it.
class PictureReports {
 public:
  explicit PictureReports(platform::UiService& ui) : ui_(ui) {}
  // Nothing for a picture that was painted or a file already told of.
  void Report(const QString& FileName, const StdPNG::LoadResult& result);
  // The user already knows why the file is not there (it could not be
  // written): it is not told of again.
  void AlreadyTold(const QString& FileName) { told_.insert(FileName); }

 private:
  platform::UiService& ui_;
  QSet<QString> told_;
};

}  // namespace media
