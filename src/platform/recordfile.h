#pragma once
// Fixed-length record files, opened for random access by record number:
// records numbered from 1, little-endian 16-bit integers, 8-byte dates,
// blank-padded Windows-1252 text. Reading past the end gives an all-zero
// record; writing past the end extends the file with zero records; record 0
// is never read or written.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

namespace platform {

class WriteFailures;

// Reads values from a record's bytes at explicit offsets. Reads outside the
// bytes give zero.
class ByteReader {
 public:
  explicit ByteReader(const QByteArray& bytes) : bytes_(bytes) {}
  std::int16_t I16(int offset) const;
  std::int32_t I32(int offset) const;
  double F64(int offset) const;
  float F32(int offset) const;
  // Fixed-width text as stored, converted from Windows-1252 (no trimming).
  QString Text(int offset, int width) const;
  QByteArray Bytes(int offset, int width) const;

 private:
  const QByteArray& bytes_;
};

// Writes values into a record's bytes at explicit offsets; the record keeps
// its length, and a write that would pass its end is cut.
class ByteWriter {
 public:
  explicit ByteWriter(QByteArray& bytes) : bytes_(bytes) {}
  void I16(int offset, std::int16_t v);
  void I32(int offset, std::int32_t v);
  void F64(int offset, double v);
  void F32(int offset, float v);
  // Text cut or blank-padded to exactly width bytes.
  void Text(int offset, int width, const QString& text);
  void Bytes(int offset, const QByteArray& b);

 private:
  QByteArray& bytes_;
};

class RecordFile {
 public:
  RecordFile() = default;
  ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  // Opens (creating when missing, unless readOnly) the file with the given
  // record length. False when it cannot be opened.
  bool Open(const QString& path, int recordLength, bool readOnly = false);
  void Close();
  bool IsOpen() const;
  int RecordLength() const { return recordLength_; }
  QString Path() const;

  // Number of whole records in the file.
  int RecordCount() const;
  // Record n (from 1): its bytes, all zero past the end. An empty array for
  // n < 1, a closed file, or a read that failed.
  QByteArray Read(int n) const;
  // Writes record n (from 1), padded or cut to the record length, extending
  // the file with zero records when needed, straight through to the file:
  // a crash or a kill afterwards loses nothing written. False on failure or
  // n < 1; a failed write leaves the file as it was, and is reported.
  bool Write(int n, const QByteArray& record);
  // Writes records that belong together (n, bytes): afterwards the file
  // holds all of them or, when any cannot be written, is as it was. The new
  // contents are written whole beside the file and take its place in one
  // step, so neither a full disk nor a kill part-way leaves some written and
  // others not. The file stays open. Failures are reported as by Write.
  bool WriteTogether(const QList<std::pair<int, QByteArray>>& records);
  // True when the file ends inside record n: the record was cut short.
  bool IsCut(int n) const;
  bool Flush();
  // The system's reason for the last failed open, read or write.
  QString LastError() const { return lastError_; }
  // Where failed writes are reported; null: nowhere. Kept across Open.
  void ReportFailuresTo(WriteFailures* failures) { failures_ = failures; }

  // While it lives, failed writes of the file are not reported where they
  // usually are: the caller tells the user itself, in one box that says
  // what it was doing, with the file and LastError().
  class Unreported {
   public:
    explicit Unreported(RecordFile& file) : file_(file), failures_(std::exchange(file.failures_, nullptr)) {}
    ~Unreported() { file_.failures_ = failures_; }
    Unreported(const Unreported&) = delete;
    Unreported& operator=(const Unreported&) = delete;

   private:
    RecordFile& file_;
    WriteFailures* failures_;
  };

 private:
  bool Failed(qint64 offset, const QByteArray& previous, qint64 previousSize);
  bool TogetherFailed(const QString& reason);
  bool WriteInPlace(const QByteArray& contents, const QList<std::pair<int, QByteArray>>& records);

  std::unique_ptr<QFile> file_;
  QString path_;  // as opened: a file opened by its descriptor keeps no name
  int recordLength_ = 0;
  mutable QString lastError_;  // a failed read tells its reason too
  WriteFailures* failures_ = nullptr;
};

// A name beside the file that no file has yet, for a damaged file kept
// aside: "players4.sav.damaged-20260101-120000".
QString AsideName(const QString& path);

// Moves a damaged file aside under AsideName. The new name, or empty with
// *reason set (the system's words) when it could not be moved.
QString KeepAside(const QString& path, QString* reason);

// Copies the file whole to target, which must not exist yet unless
// `replace` is given; a copy that fails leaves the target as it was (none
// stays none). Empty on success, else the system's reason ("No space left
// on device"), naming the file that failed.
QString CopyWholeFile(const QString& source, const QString& target, bool replace = false);

// Copies the file whole to target, which must not exist yet, as
// CopyWholeFile does, but leaves forcing the new name to the disk to the
// caller, who forces the folder once after a batch of copies (SyncFolder).
// The bytes are on the disk before the name: a crash meanwhile can lose the
// copy, never leave it cut short.
QString CopyNewFileSyncFolderLater(const QString& source, const QString& target);

// Forces the names made in the folder to the disk.
void SyncFolder(const QString& folder);

// What a file written whole is called beside its own name until it takes
// that name: "players4.sav.new-" and six letters or digits.
inline constexpr char kTemporaryMark[] = ".new-";

// Puts bytes in place as the whole file at path, in one step, keeping the
// permissions of the file there; a link the user made there is followed.
// A write that fails leaves the file as it was. Empty on success, else the
// system's reason.
QString ReplaceWholeFile(const QString& path, const QByteArray& bytes);

// Puts bytes in place as one of the program's own working files: whatever
// has the name (a file, a link, a hard link, a FIFO) is replaced in one
// step and never written through, so what a link points to keeps its bytes.
// Empty on success, else the system's reason.
QString PutWorkingFile(const QString& path, const QByteArray& bytes);

// The reason given for a name that is no plain file (a FIFO, a device).
inline constexpr char kNotAPlainFile[] = "It is not a plain file";

// Opens an existing file with access O_RDONLY or O_RDWR only when it is a
// plain file, never waiting (a FIFO would wait for a writer): the open
// descriptor, or -1 with *reason set.
int OpenPlainFile(const QString& path, int access, QString* reason = nullptr);

// The whole of a plain file; nullopt with *reason set when it cannot be
// read or is no plain file.
std::optional<QByteArray> ReadPlainFile(const QString& path, QString* reason = nullptr);

// Removes what a write cut short by a kill left in the folder: the
// temporaries of the named files ("players4.sav.new-XXXXXX"), plain files
// of this user only; nothing else is touched.
void RemoveStaleTemporaries(const QString& folder, const QStringList& names);

}  // namespace platform
