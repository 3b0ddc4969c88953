#include "media/music_list_file.h"

#include "platform/recordfile.h"

namespace media {

namespace {

QByteArray ListBytes(const QStringList& songs) {
  QByteArray bytes;
  for (const QString& song : songs) bytes += song.toUtf8() + "\r\n";
  return bytes;
}

}  // namespace

std::optional<QStringList> ReadMusicListFile(const QString& path, bool* asWritten) {
  // A FIFO in its place never stops the start.
  const std::optional<QByteArray> bytes = platform::ReadPlainFile(path);
  if (!bytes) return std::nullopt;
  QStringList lines;
  for (QByteArray line : bytes->split('\n')) {
    if (line.endsWith('\r')) line.chop(1);
    const QString text = QString::fromUtf8(line);
    if (!text.trimmed().isEmpty()) lines << text;
  }
  if (asWritten) *asWritten = *bytes == ListBytes(lines);
  return lines;
}

QString WriteMusicListFile(const QString& path, const QStringList& songs) {
  return platform::ReplaceWholeFile(path, ListBytes(songs));
}

QString FileNameOnly(const QString& path) {
  const int cut = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
  return path.mid(cut + 1);
}

}  // namespace media
