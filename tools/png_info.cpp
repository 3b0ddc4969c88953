// Decodes the PNG files it is given, as the game would, and prints per file
// either "OK" with the width, height and bitmap bit count, or the title and
// text of the message the game would show.
//
//   png_info FILE...
//
// The exit status is 0 when every file decoded, 1 otherwise.

#include "media/png_picture.h"
#include "platform/ui.h"

#include <QString>
#include <cstdio>

namespace {

// Message boxes become one line on standard output.
class PrintingUi : public platform::SilentUi {
 public:
  int MsgBox(const QString& text, int style, const QString& title) override {
    std::printf("%s: %s\n", qPrintable(title), qPrintable(QString(text).replace(QStringLiteral("\r\n"), " ")));
    return SilentUi::MsgBox(text, style, title);
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE...\n", argv[0]);
    return 2;
  }
  PrintingUi ui;
  media::StdPNG png(ui);
  png.SetProgressiveDisplay(0);
  png.SetTransparentStyle(media::kTransparentKeep);
  int failures = 0;
  for (int i = 1; i < argc; ++i) {
    std::printf("%s: ", argv[i]);
    std::fflush(stdout);
    if (png.LoadFile(QString::fromLocal8Bit(argv[i]), -1, 0, 255)) {
      std::printf("OK %d x %d, %d bits\n", png.Width(), png.Height(), png.BitCount_BMP());
    } else {
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
