#pragma once
// The pictures and sounds the program carries inside itself, and writing
// them out as the files the table, the tutorial and the sound effects use.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

namespace media {

struct PngResourceFile {
  const char* resourceName;  // "101PNG" ... "104PNG"
  const char* fileName;      // the file in DataPath
};

inline constexpr char kLogoFile[] = "logo.tmp";         // 307 x 131, the large logo
inline constexpr char kSmallLogoFile[] = "splash.tmp";  // 162 x 90, the small logo (splash, narrow tables)
inline constexpr char kHandDownFile[] = "handD.tmp";    // 29 x 55, the tutorial's hand pointing down
inline constexpr char kHandUpFile[] = "handU.tmp";      // 29 x 55, pointing up

inline constexpr std::array<PngResourceFile, 4> kPngResourceFiles{{
    {"101PNG", kLogoFile},
    {"102PNG", kSmallLogoFile},
    {"103PNG", kHandDownFile},
    {"104PNG", kHandUpFile},
}};

inline constexpr int kFirstSoundResource = 106;
inline constexpr int kLastSoundResource = 124;
inline constexpr char kResTypeSound[] = "SOUND";
inline constexpr char kResTypeCustom[] = "Custom";

// The bytes of resource ResId of the type ("SOUND" with 106..124, "Custom"
// with "101PNG".."104PNG"); empty when there is no such resource.
QByteArray LoadResData(const QString& ResId, const QString& ResType);

// "~106.tmp": the file a sound resource is written to.
QString SoundResourceFile(int ResId);

// What went wrong writing a file: empty when nothing did; otherwise the
// file's path and the system's reason.
struct FileProblem {
  QString path;
  QString reason;
  bool ok() const { return path.isEmpty(); }
  // "Cannot write <path>: <reason>"
  QString Text() const;
};

// Writes the resource's bytes as the whole file, over any file there.
FileProblem SaveResourceToFile(const QString& ResId, const QString& ResType, const QString& FileName);

// Writes the embedded pictures into DataPath (ending in "/") where they are
// not as the program wrote them (missing, left empty or cut short by a
// kill, or something else under the name). Goes on past a file that cannot
// be written, names the first such file and adds each to *unwritten.
FileProblem ExtractPngResources(const QString& DataPath, QStringList* unwritten = nullptr);

// Writes every sound resource as DataPath + "~n.tmp", over any left from an
// earlier run. Goes on past a file that cannot be written and names the
// first such file.
FileProblem SetUpSounds(const QString& DataPath);

}  // namespace media
