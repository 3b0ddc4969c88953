#include "media/embedded_files.h"

#include <QFile>
#include <QFileInfo>

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
// start could not write over it.
FileProblem SaveResourceToFile(const QString& ResId, const QString& ResType, const QString& FileName) {
  const QByteArray bytes = LoadResData(ResId, ResType);
  if (bytes.isEmpty()) return {FileName, "the program holds no resource " + ResId};
  QFile f(FileName);
  // Unbuffered, and a short write followed by another: the write that
  // fails then tells the system's reason ("No space left on device", "File
  // too large"), where a short one alone says "Unknown error".
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) return {FileName, f.errorString()};
  for (qint64 done = 0; done < bytes.size();) {
    const qint64 wrote = f.write(bytes.constData() + done, bytes.size() - done);
    if (wrote <= 0) {
      // A sound cut short is no sound: the file is simply missing.
      const QString reason = f.errorString();
      f.close();
      f.remove();
      return {FileName, reason};
    }
    done += wrote;
  }
  if (!f.flush()) return {FileName, f.errorString()};
  f.close();
  if (f.error() != QFileDevice::NoError) return {FileName, f.errorString()};
  return {};
}

FileProblem ExtractPngResources(const QString& DataPath) {
  for (const PngResourceFile& r : kPngResourceFiles) {
    const QString file = DataPath + QLatin1String(r.fileName);
    if (QFileInfo::exists(file)) continue;
    FileProblem problem = SaveResourceToFile(QLatin1String(r.resourceName), kResTypeCustom, file);
    if (!problem.ok()) return problem;
  }
  return {};
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
