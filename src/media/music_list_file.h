#pragma once
// The play list on disk: "MusicList.txt" in the user's folder, one song
// path per line in play order, lines ended by CR LF; a song inside the
// program's folder is given relative to it.

#include <QString>
#include <QStringList>
#include <optional>

namespace media {

inline constexpr char kMusicListFile[] = "MusicList.txt";
inline constexpr char kIntroFile[] = "Data/intro.mp3";

// The registry value that keeps the folder the add-song chooser opens in.
inline constexpr char kMusicSettingKey[] = "Music";

// The lines of the list file that are not blank, as read (a CR before the
// line feed is no part of the line); nullopt when the file cannot be read.
// *asWritten tells whether the file is exactly as WriteMusicListFile
// writes these lines.
std::optional<QStringList> ReadMusicListFile(const QString& path, bool* asWritten = nullptr);

// Writes the songs, one per line ended by CR LF, replacing the file only
// once the new one is complete. Empty on success, else the system's reason;
// the old file then keeps its bytes.
QString WriteMusicListFile(const QString& path, const QStringList& songs);

// The file name part of a song path: the text after the last "/" (or a
// legacy "\"); the whole text when it holds neither.
QString FileNameOnly(const QString& path);

}  // namespace media
