#pragma once
// What the generators share: their output folder inside the source tree
// named on the command line, and saving one PNG into it.

#include <QDir>
#include <QImage>
#include <QString>
#include <cstdio>
#include <optional>

namespace tools {

inline bool Save(const QImage& image, const QDir& folder, const QString& name) {
  const QString path = folder.filePath(name);
  if (!image.save(path, "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s: %d x %d\n", qPrintable(path), image.width(), image.height());
  return true;
}

// SOURCE_FOLDER/<folder>, made when missing; nothing after telling why.
inline std::optional<QDir> OutputFolder(int argc, char** argv, const char* folder) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s SOURCE_FOLDER\n", argv[0]);
    return std::nullopt;
  }
  QDir root(QString::fromLocal8Bit(argv[1]));
  if (!root.mkpath(folder)) {
    std::fprintf(stderr, "cannot make %s/%s\n", argv[1], folder);
    return std::nullopt;
  }
  return QDir(root.filePath(folder));
}

inline std::optional<QDir> PicturesFolder(int argc, char** argv) { return OutputFolder(argc, argv, "Data/pictures"); }

}  // namespace tools
