#include "platform/recordfile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/vb.h"
#include "platform/write_failures.h"

namespace platform {

namespace {

// True when [offset, offset + width) lies inside a buffer of the given size.
bool Inside(qsizetype size, int offset, int width) {
  return offset >= 0 && width >= 0 && static_cast<long long>(offset) + width <= size;
}

template <typename T>
T ReadLe(const QByteArray& bytes, int offset) {
  if (!Inside(bytes.size(), offset, sizeof(T))) return T{};
  return qFromLittleEndian<T>(bytes.constData() + offset);
}

// Writes the little-endian bytes of v, dropping those that fall outside.
template <typename T>
void WriteLe(QByteArray& bytes, int offset, T v) {
  char le[sizeof(T)];
  qToLittleEndian<T>(v, le);
  for (int i = 0; i < static_cast<int>(sizeof(T)); ++i) {
    long long at = static_cast<long long>(offset) + i;
    if (at >= 0 && at < bytes.size()) bytes[static_cast<qsizetype>(at)] = le[i];
  }
}

QString Reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// How a whole file takes path's place.
enum class PutMode {
  New,          // only where no file is
  Replace,      // over the file there, keeping its permissions; a link the user made is followed
  WorkingFile,  // over whatever has the name (a link, a hard link, a FIFO), never through it
};

// Writes bytes as a new file beside path and puts it in path's place in one
// step, as the mode says. 0 on success, else the system's error number;
// then path is as it was and the new file is gone. Not QSaveFile: on a
// failed write it says "Unknown error" where the system said "No space left
// on device" or "File too large", and buffered it misses the failure.
int PutFileWhole(const QString& path, const QByteArray& bytes, PutMode mode, bool syncFolder = true) {
  const bool replace = mode != PutMode::New;
  // Working files are written anew at every start: one lost to a crash costs
  // nothing, so they are not forced to the disk (two waits on the journal each).
  const bool durable = mode != PutMode::WorkingFile;
  // A file the user linked elsewhere is replaced where it lies; the link stays.
  const QFileInfo info(path);
  const QString where = mode == PutMode::Replace && info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
  const QByteArray target = QFile::encodeName(where);
  QByteArray temp = target + kTemporaryMark + "XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return errno;
  int error = 0;
  struct stat existing {};
  const mode_t fileMode =
      mode == PutMode::Replace && ::stat(target.constData(), &existing) == 0 ? existing.st_mode & 07777 : 0644;
  if (::fchmod(fd, fileMode) != 0) error = errno;
  for (qsizetype done = 0; error == 0 && done < bytes.size();) {
    const ssize_t wrote = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0)
      error = wrote < 0 ? errno : ENOSPC;
    else
      done += wrote;
  }
  if (error == 0 && durable && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0) {
    if (replace) {
      if (::rename(temp.constData(), target.constData()) != 0) error = errno;
    } else if (::link(temp.constData(), target.constData()) != 0) {
      error = errno;
    }
  }
  if (error != 0 || !replace) ::unlink(temp.constData());
  if (error != 0 || !durable || !syncFolder) return error;
  // The new name reaches the disk too.
  SyncFolder(QFileInfo(where).absolutePath());
  return 0;
}

}  // namespace

std::int16_t ByteReader::I16(int offset) const { return ReadLe<std::int16_t>(bytes_, offset); }
std::int32_t ByteReader::I32(int offset) const { return ReadLe<std::int32_t>(bytes_, offset); }
double ByteReader::F64(int offset) const { return std::bit_cast<double>(ReadLe<std::uint64_t>(bytes_, offset)); }
float ByteReader::F32(int offset) const { return std::bit_cast<float>(ReadLe<std::uint32_t>(bytes_, offset)); }

QByteArray ByteReader::Bytes(int offset, int width) const {
  if (width <= 0) return {};
  QByteArray out(width, '\0');
  for (int i = 0; i < width; ++i) {
    long long at = static_cast<long long>(offset) + i;
    if (at >= 0 && at < bytes_.size()) out[i] = bytes_[static_cast<qsizetype>(at)];
  }
  return out;
}

QString ByteReader::Text(int offset, int width) const { return vb::FromCp1252(Bytes(offset, width)); }

void ByteWriter::I16(int offset, std::int16_t v) { WriteLe(bytes_, offset, v); }
void ByteWriter::I32(int offset, std::int32_t v) { WriteLe(bytes_, offset, v); }
void ByteWriter::F64(int offset, double v) { WriteLe(bytes_, offset, std::bit_cast<std::uint64_t>(v)); }
void ByteWriter::F32(int offset, float v) { WriteLe(bytes_, offset, std::bit_cast<std::uint32_t>(v)); }

void ByteWriter::Text(int offset, int width, const QString& text) { Bytes(offset, vb::ToFixed(text, width)); }

void ByteWriter::Bytes(int offset, const QByteArray& b) {
  for (qsizetype i = 0; i < b.size(); ++i) {
    long long at = static_cast<long long>(offset) + i;
    if (at >= 0 && at < bytes_.size()) bytes_[static_cast<qsizetype>(at)] = b[i];
  }
}

RecordFile::~RecordFile() { Close(); }

namespace {

// Opens a record file, only when it is a plain file (a FIFO never stops the
// program); a missing one is made unless readOnly, never through a link
// left dangling in its place. Unbuffered: each record reaches the file as
// it is written, and a write that fails fails there, not later at an
// unchecked close.
std::unique_ptr<QFile> OpenRecordFile(const QString& path, bool readOnly, QString* reason) {
  const QByteArray name = QFile::encodeName(path);
  struct stat there {};
  int fd = -1;
  if (!readOnly && ::lstat(name.constData(), &there) != 0 && errno == ENOENT) {
    fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) *reason = Reason(errno);
  } else {
    fd = OpenPlainFile(path, readOnly ? O_RDONLY : O_RDWR, reason);
  }
  if (fd < 0) return nullptr;
  auto file = std::make_unique<QFile>(path);
  const QIODevice::OpenMode mode = (readOnly ? QIODevice::ReadOnly : QIODevice::ReadWrite) | QIODevice::Unbuffered;
  if (!file->open(fd, mode, QFileDevice::AutoCloseHandle)) {
    *reason = file->errorString();
    ::close(fd);
    return nullptr;
  }
  return file;
}

}  // namespace

bool RecordFile::Open(const QString& path, int recordLength, bool readOnly) {
  Close();
  if (recordLength < 1 || path.isEmpty()) return false;
  auto file = OpenRecordFile(path, readOnly, &lastError_);
  if (!file) return false;
  file_ = std::move(file);
  path_ = path;
  recordLength_ = recordLength;
  return true;
}

void RecordFile::Close() {
  if (file_) file_->close();
  file_.reset();
  path_.clear();
  recordLength_ = 0;
}

bool RecordFile::IsOpen() const { return file_ && file_->isOpen(); }

QString RecordFile::Path() const { return path_; }

int RecordFile::RecordCount() const {
  if (!IsOpen()) return 0;
  const qint64 count = file_->size() / recordLength_;
  return count > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : static_cast<int>(count);
}

QByteArray RecordFile::Read(int n) const {
  if (n < 1 || !IsOpen()) return {};
  const qint64 offset = static_cast<qint64>(n - 1) * recordLength_;
  QByteArray record(recordLength_, '\0');
  if (offset >= file_->size()) return record;
  // A short last record reads with its missing tail as zeros.
  if (!file_->seek(offset) || file_->read(record.data(), recordLength_) < 0) {
    lastError_ = file_->errorString();
    file_->unsetError();
    return {};
  }
  return record;
}

bool RecordFile::Write(int n, const QByteArray& record) {
  if (n < 1 || !IsOpen() || !file_->isWritable()) return false;
  const qint64 offset = static_cast<qint64>(n - 1) * recordLength_;
  QByteArray bytes = record.left(recordLength_);
  if (bytes.size() < recordLength_) bytes.append(QByteArray(recordLength_ - bytes.size(), '\0'));

  // What the record's place holds now, so that a failed write can put it back.
  const qint64 size = file_->size();
  QByteArray previous;
  if (offset < size) {
    if (!file_->seek(offset)) return Failed(offset, previous, size);
    previous = file_->read(std::min<qint64>(recordLength_, size - offset));
  }
  // Growing the file fills the gap with zero bytes, i.e. zero records.
  if (offset > size && !file_->resize(offset)) return Failed(offset, previous, size);
  if (!file_->seek(offset)) return Failed(offset, previous, size);
  qint64 done = 0;
  while (done < recordLength_) {
    // A short write is followed by another, which tells why it stopped.
    const qint64 wrote = file_->write(bytes.constData() + done, recordLength_ - done);
    if (wrote <= 0) return Failed(offset, previous, size);
    done += wrote;
  }
  return true;
}

// Nothing already on disk is left half overwritten: the previous bytes go
// back and a file that grew shrinks to its old size.
bool RecordFile::Failed(qint64 offset, const QByteArray& previous, qint64 previousSize) {
  lastError_ = file_->errorString();
  file_->unsetError();
  if (!previous.isEmpty() && file_->seek(offset)) file_->write(previous);
  if (file_->size() > previousSize) file_->resize(previousSize);
  file_->unsetError();
  if (failures_) failures_->WriteFailed(Path(), lastError_);
  return false;
}

bool RecordFile::IsCut(int n) const {
  if (n < 1 || !IsOpen()) return false;
  const qint64 start = static_cast<qint64>(n - 1) * recordLength_;
  const qint64 size = file_->size();
  return size > start && size < start + recordLength_;
}

bool RecordFile::WriteTogether(const QList<std::pair<int, QByteArray>>& records) {
  if (!IsOpen() || !file_->isWritable()) return false;
  for (const auto& record : records)
    if (record.first < 1) return false;
  const qint64 size = file_->size();
  if (!file_->seek(0)) return TogetherFailed(file_->errorString());
  QByteArray contents = file_->read(size);
  if (contents.size() != size) return TogetherFailed(file_->errorString());
  for (const auto& [n, record] : records) {
    const qint64 offset = static_cast<qint64>(n - 1) * recordLength_;
    if (contents.size() < offset + recordLength_)
      contents.append(QByteArray(offset + recordLength_ - contents.size(), '\0'));
    QByteArray bytes = record.left(recordLength_);
    if (bytes.size() < recordLength_) bytes.append(QByteArray(recordLength_ - bytes.size(), '\0'));
    contents.replace(offset, recordLength_, bytes);
  }

  const QString path = Path();
  const int error = PutFileWhole(path, contents, PutMode::Replace);
  // A folder where no new file can be made (write-protected, while the
  // file itself is not) still takes the records in place.
  if (error == EACCES || error == EPERM) return WriteInPlace(contents, records);
  if (error != 0) return TogetherFailed(Reason(error));
  // The open file is the one just replaced: from now on the new one is used.
  QString reason;
  auto fresh = OpenRecordFile(path, false, &reason);
  if (!fresh) {
    Close();
    lastError_ = reason;
    if (failures_) failures_->WriteFailed(path, reason);
    return false;
  }
  file_ = std::move(fresh);
  return true;
}

// The file grows to its new size first, with real blocks, so that a full
// disk tells before any record is touched; a record that still fails puts
// back those written before it.
bool RecordFile::WriteInPlace(const QByteArray& contents, const QList<std::pair<int, QByteArray>>& records) {
  const qint64 size = file_->size();
  if (contents.size() > size) {
    const int error = ::posix_fallocate(file_->handle(), 0, static_cast<off_t>(contents.size()));
    if (error != 0 && error != EOPNOTSUPP && error != EINVAL) {
      if (file_->size() > size) file_->resize(size);
      return TogetherFailed(QString::fromLocal8Bit(std::strerror(error)));
    }
  }
  const QByteArray before = [&] {
    file_->seek(0);
    return file_->read(size);
  }();
  WriteFailures* failures = std::exchange(failures_, nullptr);
  bool ok = true;
  for (const auto& [n, record] : records) {
    ok = Write(n, contents.mid(static_cast<qint64>(n - 1) * recordLength_, recordLength_));
    if (!ok) break;
  }
  failures_ = failures;
  if (ok) return true;
  const QString reason = lastError_;
  if (file_->seek(0)) file_->write(before);
  if (file_->size() > size) file_->resize(size);
  file_->unsetError();
  return TogetherFailed(reason);
}

bool RecordFile::TogetherFailed(const QString& reason) {
  lastError_ = reason;
  file_->unsetError();
  if (failures_) failures_->WriteFailed(Path(), lastError_);
  return false;
}

bool RecordFile::Flush() { return IsOpen() && file_->flush(); }

QString AsideName(const QString& path) {
  const QString base = path + ".damaged-" + QDateTime::currentDateTime().toString("yyyyMMdd-hhmmss");
  QString candidate = base;
  for (int n = 2; QFileInfo::exists(candidate); ++n) candidate = base + "-" + QString::number(n);
  return candidate;
}

QString KeepAside(const QString& path, QString* reason) {
  const QString aside = AsideName(path);
  if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) == 0) return aside;
  if (reason) *reason = QString::fromLocal8Bit(std::strerror(errno));
  return {};
}

namespace {

QString CopyFile(const QString& source, const QString& target, PutMode mode, bool syncFolder) {
  QString reason;
  const std::optional<QByteArray> bytes = ReadPlainFile(source, &reason);
  if (!bytes) return "reading " + source + ": " + reason;
  const int error = PutFileWhole(target, *bytes, mode, syncFolder);
  return error == 0 ? QString() : Reason(error);
}

}  // namespace

QString CopyWholeFile(const QString& source, const QString& target, bool replace) {
  return CopyFile(source, target, replace ? PutMode::Replace : PutMode::New, true);
}

QString CopyNewFileSyncFolderLater(const QString& source, const QString& target) {
  return CopyFile(source, target, PutMode::New, false);
}

void SyncFolder(const QString& folder) {
  const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

QString ReplaceWholeFile(const QString& path, const QByteArray& bytes) {
  const int error = PutFileWhole(path, bytes, PutMode::Replace);
  return error == 0 ? QString() : Reason(error);
}

QString PutWorkingFile(const QString& path, const QByteArray& bytes) {
  const int error = PutFileWhole(path, bytes, PutMode::WorkingFile);
  return error == 0 ? QString() : Reason(error);
}

int OpenPlainFile(const QString& path, int access, QString* reason) {
  // Not blocking: opening a FIFO for reading would wait for a writer.
  const int fd = ::open(QFile::encodeName(path).constData(), access | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (reason) *reason = Reason(errno);
    return -1;
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    if (reason) *reason = S_ISDIR(status.st_mode) ? Reason(EISDIR) : QString::fromLatin1(kNotAPlainFile);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

std::optional<QByteArray> ReadPlainFile(const QString& path, QString* reason) {
  const int fd = OpenPlainFile(path, O_RDONLY, reason);
  if (fd < 0) return std::nullopt;
  QByteArray bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      if (reason) *reason = Reason(errno);
      ::close(fd);
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.append(buffer, got);
  }
  ::close(fd);
  return bytes;
}

void RemoveStaleTemporaries(const QString& folder, const QStringList& names) {
  const QDir dir(folder);
  static const QRegularExpression suffix(QStringLiteral("^[A-Za-z0-9]{6}$"));
  for (const QString& name : names) {
    const QString mark = name + QLatin1String(kTemporaryMark);
    for (const QString& entry : dir.entryList({mark + "??????"}, QDir::Files | QDir::Hidden | QDir::System)) {
      if (!suffix.match(entry.mid(mark.size())).hasMatch()) continue;
      const QByteArray full = QFile::encodeName(dir.filePath(entry));
      struct stat status {};
      // Only a plain file of the user's own, as the program leaves one.
      if (::lstat(full.constData(), &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid())
        ::unlink(full.constData());
    }
  }
}

}  // namespace platform
