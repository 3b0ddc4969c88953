#include "media/music_list_file.h"

#include <QFile>
#include <QSaveFile>

namespace media {

std::optional<QStringList> ReadMusicListFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QStringList lines;
  for (QByteArray line : file.readAll().split('\n')) {
    if (line.endsWith('\r')) line.chop(1);
    const QString text = QString::fromUtf8(line);
    if (!text.trimmed().isEmpty()) lines << text;
  }
  return lines;
}

bool WriteMusicListFile(const QString& path, const QStringList& songs) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QByteArray bytes;
  for (const QString& song : songs) bytes += song.toUtf8() + "\r\n";
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

QString FileNameOnly(const QString& path) {
  const int cut = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
  return path.mid(cut + 1);
}

}  // namespace media
