#include "platform/recordfile.h"

#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

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

}  // namespace

std::int16_t ByteReader::I16(int offset) const { return ReadLe<std::int16_t>(bytes_, offset); }
std::int32_t ByteReader::I32(int offset) const { return ReadLe<std::int32_t>(bytes_, offset); }
double ByteReader::F64(int offset) const {
  return std::bit_cast<double>(ReadLe<std::uint64_t>(bytes_, offset));
}
float ByteReader::F32(int offset) const {
  return std::bit_cast<float>(ReadLe<std::uint32_t>(bytes_, offset));
}

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

bool RecordFile::Open(const QString& path, int recordLength, bool readOnly) {
  Close();
  if (recordLength < 1 || path.isEmpty()) return false;
  auto file = std::make_unique<QFile>(path);
  // Unbuffered: each record reaches the file as it is written, and a write
  // that fails fails there, not later at an unchecked close.
  if (!file->open((readOnly ? QIODevice::ReadOnly : QIODevice::ReadWrite) | QIODevice::Unbuffered)) return false;
  file_ = std::move(file);
  recordLength_ = recordLength;
  return true;
}

void RecordFile::Close() {
  if (file_) file_->close();
  file_.reset();
  recordLength_ = 0;
}

bool RecordFile::IsOpen() const { return file_ && file_->isOpen(); }

QString RecordFile::Path() const { return file_ ? file_->fileName() : QString(); }

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
  if (!file_->seek(offset)) return {};
  // A short last record reads with its missing tail as zeros.
  const qint64 got = file_->read(record.data(), recordLength_);
  if (got < 0) return {};
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

bool RecordFile::Flush() { return IsOpen() && file_->flush(); }

}  // namespace platform
