#include "media/embedded_files.h"

#include <QFile>
#include <QFileInfo>
#include <optional>

#include <sys/stat.h>

#include "platform/recordfile.h"

namespace media {

namespace {

// Where each resource lies among the program's compiled-in files.
QString ResourcePath(const QString& ResId, const QString& ResType) {
  if (ResType == QLatin1String(kResTypeSound)) {
    bool ok = false;
    const int n = ResId.toInt(&ok);
    if (!ok || n < kFirstSoundResource || n > kLastSoundResource) return {};
    return QStringLiteral(":/sounds/%1.wav").arg(n);
  }
  if (ResType == QLatin1String(kResTypeCustom)) {
    static const char* const pictures[] = {"logo", "splash", "handD", "handU"};
    for (std::size_t i = 0; i < kPngResourceFiles.size(); ++i)
      if (ResId == QLatin1String(kPngResourceFiles[i].resourceName))
        return QStringLiteral(":/embedded/%1.png").arg(QLatin1String(pictures[i]));
  }
  return {};
}

}  // namespace

QString FileProblem::Text() const { return "Cannot write " + path + ": " + reason; }

QByteArray LoadResData(const QString& ResId, const QString& ResType) {
  const QString path = ResourcePath(ResId, ResType);
  if (path.isEmpty()) return {};
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

QString SoundResourceFile(int ResId) { return QStringLiteral("~%1.tmp").arg(ResId); }

// Not QFile::copy: a copy of a compiled-in file is read-only, and the next
// start could not write over it. Made anew beside its name and put in its
// place: a link or a hard link planted under the name is replaced, never
// written through, and a write that fails leaves no file cut short.
FileProblem SaveResourceToFile(const QString& ResId, const QString& ResType, const QString& FileName) {
  const QByteArray bytes = LoadResData(ResId, ResType);
  if (bytes.isEmpty()) return {FileName, "the program holds no resource " + ResId};
  if (const QString reason = platform::PutWorkingFile(FileName, bytes); !reason.isEmpty()) return {FileName, reason};
  return {};
}

namespace {

// The file is the program's own picture as it wrote it: a plain file of its
// own (no link), holding exactly the embedded bytes.
bool HoldsResource(const QString& file, const QByteArray& bytes) {
  struct stat status {};
  if (::lstat(QFile::encodeName(file).constData(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_nlink != 1)
    return false;
  const std::optional<QByteArray> held = platform::ReadPlainFile(file);
  return held && *held == bytes;
}

}  // namespace

FileProblem ExtractPngResources(const QString& DataPath, QStringList* unwritten) {
  FileProblem first;
  for (const PngResourceFile& r : kPngResourceFiles) {
    const QString file = DataPath + QLatin1String(r.fileName);
    // A picture left empty or cut short by a kill, or anything else under
    // its name, is written again.
    if (HoldsResource(file, LoadResData(QLatin1String(r.resourceName), kResTypeCustom))) continue;
    FileProblem problem = SaveResourceToFile(QLatin1String(r.resourceName), kResTypeCustom, file);
    if (problem.ok()) continue;
    if (first.ok()) first = problem;
    if (unwritten) *unwritten << file;
  }
  return first;
}

FileProblem SetUpSounds(const QString& DataPath) {
  FileProblem first;
  for (int n = kFirstSoundResource; n <= kLastSoundResource; ++n) {
    FileProblem problem = SaveResourceToFile(QString::number(n), kResTypeSound, DataPath + SoundResourceFile(n));
    if (first.ok() && !problem.ok()) first = problem;
  }
  return first;
}

}  // namespace media
