// Loading a PNG file into a StdPNG: the chunk loop, joining and inflating
// the image data, the transparency decision, the bitmap and the pipeline.

#include "media/png_picture.h"

#include "platform/recordfile.h"
#include "platform/ui.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <libdeflate.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <utility>

namespace media {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::int64_t kMinimumFileBytes = 57;  // a file of 56 bytes or less cannot be a picture
constexpr std::int64_t kChunkFrameBytes = 12;   // length, type and CRC
// Deflate cannot expand a byte into more than 1032 (a 258-byte match coded
// in two bits); data that would have to do so is broken, and refusing it up
// front keeps a tiny file from asking for a huge buffer.
constexpr std::int64_t kMaxInflateRatio = 1032;
constexpr std::int64_t kInflateSlack = 64;
constexpr std::int64_t kFileSlice = 64 * 1024;  // image data is read from a file this much at a time

bool TypeIs(const std::uint8_t* type, const char (&name)[5]) { return std::memcmp(type, name, 4) == 0; }

// The format marks a chunk that a picture cannot be shown without by an
// upper-case first letter (bit 5 of the first byte clear). Of those only
// the four known here may pass: an unknown one changes what the picture
// means, so skipping it would show something else.
bool IsUnknownCritical(const std::uint8_t* type) {
  return (type[0] & 0x20) == 0 && !TypeIs(type, "IHDR") && !TypeIs(type, "PLTE") && !TypeIs(type, "IDAT") &&
         !TypeIs(type, "IEND");
}

// A chunk's name as the user reads it; a byte that is no letter shows as "?".
QString ChunkName(const std::uint8_t* type) {
  QString name;
  for (int i = 0; i < 4; ++i) {
    const bool letter = (type[i] >= 'A' && type[i] <= 'Z') || (type[i] >= 'a' && type[i] <= 'z');
    name += letter ? QChar(type[i]) : QChar(u'?');
  }
  return name;
}

// The palette the bitmap is made with: the file's, cut or padded with black
// to one entry for every index the bit depth can hold; for a 2-bit grey
// picture the four greys its 4-bit bitmap shows.
std::vector<std::uint8_t> WorkingPalette(const PngInfo& info, const DibFormat& format) {
  std::vector<std::uint8_t> palette = info.palette;
  if (info.colorType == kPalette) {
    palette.resize(std::size_t(3) << info.bitDepth, 0);
  } else if (format.dibBits == 4 && info.bitDepth == 2 && palette.empty()) {
    palette = {0x00, 0x00, 0x00, 0x55, 0x55, 0x55, 0xAA, 0xAA, 0xAA, 0xFF, 0xFF, 0xFF};
  }
  return palette;
}

}  // namespace

// Where the file's bytes come from: read a stretch at a time at a position.
class StdPNG::Source {
 public:
  virtual ~Source() = default;
  virtual std::int64_t Size() const = 0;
  // The bytes [position, position + count); false when they cannot be read.
  virtual bool Read(std::int64_t position, std::int64_t count, std::span<const std::uint8_t>& bytes) = 0;
  // True when the bytes Read hands out stay valid for the whole load.
  virtual bool Stable() const { return false; }
};

// A file read through a window: the small chunks and the image data's
// stretches are served from it, so that the file is read in a few large
// reads. A stretch larger than the window is read on its own.
class StdPNG::FileSource : public StdPNG::Source {
 public:
  explicit FileSource(const QString& name) : name_(name) {}
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;
  ~FileSource() override {
    if (fd_ >= 0) ::close(fd_);
  }
  bool Open() {
    // A plain file on disk is read with the system's own calls: opening it
    // through QFile costs more than decoding a small picture. Anything else
    // (the program's embedded pictures, folders, files that cannot be
    // opened) goes through QFile, which also words the failures.
    if (!name_.isEmpty() && !name_.startsWith(QLatin1Char(':')) && !name_.contains(QChar(0))) {
      // Not blocking: a FIFO in a picture's place would wait for a writer.
      const int fd = ::open(QFile::encodeName(name_).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
      struct stat status {};
      if (fd >= 0 && ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        fd_ = fd;
        size_ = status.st_size;
        return true;
      }
      if (fd >= 0) ::close(fd);
      // Neither a file nor a folder (a FIFO, a device): never read.
      if (fd >= 0 && !S_ISDIR(status.st_mode)) {
        notPlain_ = true;
        return false;
      }
    }
    file_.emplace(name_);
    if (!file_->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return false;
    size_ = file_->size();
    return true;
  }
  QString ErrorText() const {
    // The descriptions the user knows from the original's file errors.
    if (!QFileInfo::exists(name_)) return QStringLiteral("File not found");
    if (notPlain_) return QString::fromLatin1(platform::kNotAPlainFile);
    if (!file_) return {};
    if (file_->error() == QFileDevice::PermissionsError) return QStringLiteral("Permission denied");
    return file_->errorString();
  }
  std::int64_t Size() const override { return size_; }
  bool Read(std::int64_t position, std::int64_t count, std::span<const std::uint8_t>& bytes) override {
    if (count < 0 || position < 0 || count > size_ - position) return false;
    if (position >= windowStart_ && position + count <= windowStart_ + windowBytes_) {
      bytes = {window_.get() + (position - windowStart_), std::size_t(count)};
      return true;
    }
    try {
      if (count <= kWindowBytes) {
        // A small file needs no more than its own size.
        const std::int64_t capacity = std::min(kWindowBytes, size_);
        if (!window_) window_ = std::make_unique_for_overwrite<std::uint8_t[]>(std::size_t(capacity));
        windowBytes_ = 0;
        const std::int64_t fill = std::min(capacity, size_ - position);
        if (!ReadAt(position, window_.get(), fill)) return false;
        windowStart_ = position;
        windowBytes_ = fill;
        bytes = {window_.get(), std::size_t(count)};
        return true;
      }
      large_ = std::make_unique_for_overwrite<std::uint8_t[]>(std::size_t(count));
    } catch (const std::bad_alloc&) {
      return false;
    }
    if (!ReadAt(position, large_.get(), count)) return false;
    bytes = {large_.get(), std::size_t(count)};
    return true;
  }

 private:
  static constexpr std::int64_t kWindowBytes = 64 * 1024;

  bool ReadAt(std::int64_t position, std::uint8_t* out, std::int64_t count) {
    if (fd_ < 0) {
      if (file_->pos() != position && !file_->seek(position)) return false;
      return file_->read(reinterpret_cast<char*>(out), count) == count;
    }
    while (count > 0) {
      const ssize_t got = ::pread(fd_, out, std::size_t(count), off_t(position));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      out += got;
      position += got;
      count -= got;
    }
    return true;
  }

  QString name_;
  std::optional<QFile> file_;  // what is not a plain file, read through Qt
  int fd_ = -1;                // a plain file, read directly
  bool notPlain_ = false;      // the name is a FIFO or a device
  std::int64_t size_ = 0;
  std::unique_ptr<std::uint8_t[]> window_;
  std::int64_t windowStart_ = 0;
  std::int64_t windowBytes_ = 0;
  std::unique_ptr<std::uint8_t[]> large_;  // a chunk larger than the window
};

class StdPNG::MemorySource : public StdPNG::Source {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::int64_t Size() const override { return std::int64_t(bytes_.size()); }
  bool Stable() const override { return true; }
  bool Read(std::int64_t position, std::int64_t count, std::span<const std::uint8_t>& bytes) override {
    if (count < 0 || position < 0 || count > Size() - position) return false;
    bytes = bytes_.subspan(std::size_t(position), std::size_t(count));
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

// Memory of its own from the system, given back whole when freed. The
// allocator would raise its own threshold after freeing a block this large
// and keep the next large ones in its heap, which then does not shrink. From
// a megabyte on it comes in whole huge pages where the system offers them,
// as the bitmaps do (byte_buffer.h).
class MappedBytes {
 public:
  MappedBytes() = default;
  explicit MappedBytes(std::size_t size) {
    constexpr std::size_t kHugePage = std::size_t(2) << 20;
    const bool huge = size >= kHugePage / 2;
    const std::size_t length = huge ? (size + kHugePage - 1) / kHugePage * kHugePage : size;
    const std::size_t mapped = huge ? length + kHugePage : length;
    void* p = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return;
    auto* const base = static_cast<std::uint8_t*>(p);
    std::uint8_t* start = base;
    if (huge) {
      const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(base);
      start = base + ((kHugePage - at % kHugePage) % kHugePage);
      if (start > base) ::munmap(base, std::size_t(start - base));
      if (const std::size_t tail = std::size_t(base + mapped - (start + length)); tail > 0)
        ::munmap(start + length, tail);
#if defined(MADV_HUGEPAGE)
      ::madvise(start, length, MADV_HUGEPAGE);  // advice only: failure changes nothing
#endif
    }
    bytes_ = start;
    size_ = length;
  }
  MappedBytes(MappedBytes&& other) noexcept
      : bytes_(std::exchange(other.bytes_, nullptr)), size_(std::exchange(other.size_, 0)) {}
  MappedBytes& operator=(MappedBytes&& other) noexcept {
    std::swap(bytes_, other.bytes_);
    std::swap(size_, other.size_);
    return *this;
  }
  ~MappedBytes() {
    if (bytes_) ::munmap(bytes_, size_);
  }
  std::uint8_t* get() const { return bytes_; }
  explicit operator bool() const { return bytes_ != nullptr; }

 private:
  std::uint8_t* bytes_ = nullptr;
  std::size_t size_ = 0;
};

// The image data: where each IDAT chunk's bytes lie. An image of a few
// megabytes at most is inflated whole in one step when its data is sound:
// zlib copies the long repeats of the table's pictures a byte at a time, a
// whole-buffer inflater many times faster. Any other image, and one whose
// data turns out broken, is inflated a stretch at a time as the pipeline
// asks for lines, so that neither the joined chunks nor the whole inflated
// image of a large picture is ever held, and broken data fails exactly where
// it always did.
class StdPNG::ImageData : public InflatedData {
 public:
  ImageData() = default;
  ImageData(const ImageData&) = delete;
  ImageData& operator=(const ImageData&) = delete;
  ~ImageData() override {
    if (started_) inflateEnd(&stream_);
  }

  void Add(std::int64_t position, std::uint32_t length) {
    chunks_.push_back({position, length});
    total_ += length;
  }
  std::int64_t TotalBytes() const { return total_; }

  // False when zlib cannot start.
  bool Start(Source& source, std::int64_t rawSize) {
    source_ = &source;
    rawSize_ = rawSize;
    if (InflateWhole()) return true;
    started_ = inflateInit(&stream_) == Z_OK;
    // The stream's check value is worked out here, faster than zlib does.
    if (started_) inflateValidate(&stream_, 0);
    broken_ = !started_;
    return started_;
  }

  // Short lines, and every line of a small picture, are handed out from a
  // stretch inflated ahead: zlib's fast loop runs only while it has room
  // for a whole match (258 bytes), so inflating a short line at a time
  // would decode every symbol the slow way. Bytes
  // inflated before the data turned out broken are still handed out, so a
  // line fails exactly where it would when inflated on its own.
  bool Read(std::uint8_t* out, std::size_t count) override {
    if (whole_) {
      if (count > std::size_t(rawSize_) - wholeAt_) return false;
      std::memcpy(out, whole_.get() + wholeAt_, count);
      wholeAt_ += count;
      return true;
    }
    while (count > 0) {
      if (stagedAt_ == stagedEnd_) {
        if (count >= kDirectBytes && rawSize_ > kStageBytes) return InflateInto(out, count, Z_NO_FLUSH) == count;
        if (!Stage()) return false;
      }
      const std::size_t take = std::min(count, stagedEnd_ - stagedAt_);
      std::memcpy(out, stage_.get() + stagedAt_, take);
      stagedAt_ += take;
      out += take;
      count -= take;
    }
    return true;
  }

  // Inflates whatever the pipeline left and answers whether the data was
  // one whole zlib stream of exactly the image's size.
  bool Finish() {
    if (whole_) return true;
    std::uint8_t scratch[kDrainBytes];
    while (!broken_ && !ended_) {
      stream_.next_out = scratch;
      stream_.avail_out = sizeof scratch;
      if (!Inflate()) return false;
      if (std::int64_t(stream_.total_out) > rawSize_) return false;
    }
    return !broken_ && std::int64_t(stream_.total_out) == rawSize_;
  }

 private:
  static constexpr std::size_t kDrainBytes = 4096;
  // What is inflated ahead at most. Lines this long and more of a larger
  // picture are inflated straight into place: zlib's fast loop covers all
  // but their ends, and a copy through the stretch costs more than it saves.
  static constexpr std::int64_t kStageBytes = 32 * 1024;
  static constexpr std::size_t kDirectBytes = 1024;
  // The largest image inflated whole (the table's structures are 3.7 MB).
  static constexpr std::int64_t kWholeBytes = 8 * 1024 * 1024;

  // Inflates the whole image at once; false, holding nothing, unless the
  // data is one sound zlib stream of exactly the image's size.
  bool InflateWhole() {
    if (rawSize_ <= 0 || rawSize_ > kWholeBytes) return false;
    MappedBytes joined{std::size_t(total_)};
    MappedBytes raw{std::size_t(rawSize_)};
    if (!joined || !raw) return false;
    std::size_t at = 0;
    for (const Span& chunk : chunks_) {
      for (std::uint32_t done = 0; done < chunk.length;) {
        const std::int64_t count =
            source_->Stable() ? chunk.length - done : std::min<std::int64_t>(chunk.length - done, kFileSlice);
        std::span<const std::uint8_t> bytes;
        if (!source_->Read(chunk.position + done, count, bytes)) return false;
        std::memcpy(joined.get() + at, bytes.data(), bytes.size());
        at += bytes.size();
        done += std::uint32_t(count);
      }
    }
    libdeflate_decompressor* inflater = libdeflate_alloc_decompressor();
    if (!inflater) return false;
    // Without a count of the bytes made, anything but exactly the image's
    // size is refused.
    const libdeflate_result result =
        libdeflate_zlib_decompress(inflater, joined.get(), at, raw.get(), std::size_t(rawSize_), nullptr);
    libdeflate_free_decompressor(inflater);
    if (result != LIBDEFLATE_SUCCESS) return false;
    whole_ = std::move(raw);
    return true;
  }

  // Inflates up to `count` bytes into `out` and answers how many came.
  std::size_t InflateInto(std::uint8_t* out, std::size_t count, int flush) {
    stream_.next_out = out;
    stream_.avail_out = uInt(count);
    while (stream_.avail_out > 0 && !broken_ && !ended_ && Inflate(flush)) {
    }
    return count - stream_.avail_out;
  }

  // Inflates the next stretch, never past the image's size; false when
  // nothing more comes.
  bool Stage() {
    const std::int64_t left = rawSize_ - std::int64_t(stream_.total_out);
    if (left <= 0) return false;
    const std::size_t room = std::size_t(std::min(left, kStageBytes));
    try {
      if (!stage_) stage_ = std::make_unique_for_overwrite<std::uint8_t[]>(room);
    } catch (const std::bad_alloc&) {
      broken_ = true;
      return false;
    }
    // When the whole image fits, zlib is told so: it then inflates without
    // setting up its window.
    const bool whole = stream_.total_out == 0 && left <= kStageBytes;
    stagedAt_ = 0;
    stagedEnd_ = InflateInto(stage_.get(), room, whole ? Z_FINISH : Z_NO_FLUSH);
    return stagedEnd_ > 0;
  }

  struct Span {
    std::int64_t position;
    std::uint32_t length;
  };

  // One step of inflating into the output set up; false when the data ends
  // before the stream does or is broken.
  bool Inflate(int flush = Z_NO_FLUSH) {
    if (stream_.avail_in == 0 && !Refill()) return false;
    const Bytef* input = stream_.next_in;
    const Bytef* output = stream_.next_out;
    const int result = inflate(&stream_, flush);
    check_ = Adler32(check_, {output, std::size_t(stream_.next_out - output)});
    // The last four bytes zlib took: at the stream's end, its stored check.
    const std::size_t took = std::size_t(stream_.next_in - input);
    for (std::size_t i = took > 4 ? took - 4 : 0; i < took; ++i) storedCheck_ = (storedCheck_ << 8) | input[i];
    if (result == Z_STREAM_END) {
      if (check_ != storedCheck_) {
        broken_ = true;
        return false;
      }
      ended_ = true;
    } else if (result != Z_OK && !(result == Z_BUF_ERROR && stream_.avail_in == 0)) {
      broken_ = true;
      return false;
    }
    return true;
  }

  bool Refill() {
    while (next_ < chunks_.size()) {
      const Span& chunk = chunks_[next_];
      if (offset_ == chunk.length) {
        ++next_;
        offset_ = 0;
        continue;
      }
      const std::size_t left = chunk.length - offset_;
      const std::size_t count = source_->Stable() ? left : std::min(left, std::size_t(kFileSlice));
      std::span<const std::uint8_t> bytes;
      if (!source_->Read(chunk.position + offset_, std::int64_t(count), bytes)) {
        broken_ = true;
        return false;
      }
      offset_ += std::uint32_t(count);
      stream_.next_in = const_cast<Bytef*>(bytes.data());
      stream_.avail_in = uInt(count);
      return true;
    }
    return false;
  }

  std::vector<Span> chunks_;
  std::int64_t total_ = 0;
  Source* source_ = nullptr;
  std::int64_t rawSize_ = 0;
  z_stream stream_{};
  bool started_ = false;
  bool ended_ = false;
  bool broken_ = false;
  std::uint32_t check_ = 1;                // Adler-32 of what was inflated
  std::uint32_t storedCheck_ = 0;          // the last four bytes handed to zlib
  std::size_t next_ = 0;                   // the chunk being inflated
  std::uint32_t offset_ = 0;               // bytes of it handed to zlib
  std::unique_ptr<std::uint8_t[]> stage_;  // inflated ahead of the pipeline
  std::size_t stagedAt_ = 0;               // the next byte to hand out
  std::size_t stagedEnd_ = 0;
  MappedBytes whole_;        // the whole image, inflated in one step
  std::size_t wholeAt_ = 0;  // the next byte of it to hand out
};

// The pipeline's events and redraws, passed on to the owner and the holder.
class StdPNG::Observer : public DecodeObserver {
 public:
  Observer(StdPNG& png, const ProgressiveDisplayArgs& target, std::uint8_t globalAlpha)
      : png_(png), target_(target), globalAlpha_(globalAlpha) {}
  void Progress(int percent) override {
    if (png_.onProgress) png_.onProgress(percent);
  }
  void RedrawRows(int firstRow, int rows, bool final, bool contiguous) override {
    png_.holder_->RedrawRows(target_.hDC, target_.hWnd, target_.x, target_.y, firstRow, rows, final, contiguous,
                             png_.background_, globalAlpha_);
  }

 private:
  StdPNG& png_;
  const ProgressiveDisplayArgs& target_;
  std::uint8_t globalAlpha_;
};

bool StdPNG::LoadFile(const QString& fileName, std::int16_t checkCrc, std::int16_t useAlphaBlend,
                      std::uint8_t globalAlpha) {
  const LoadResult result = Load(fileName, checkCrc, useAlphaBlend, globalAlpha);
  if (result.ok()) return true;
  const PngMessage message = PngErrorMessage(result.error, result.detail);
  if (!message.text.isEmpty()) ui_.MsgBox(message.text, platform::vbExclamation, message.title);
  return false;
}

StdPNG::LoadResult StdPNG::Load(const QString& fileName, std::int16_t checkCrc, std::int16_t useAlphaBlend,
                                std::uint8_t globalAlpha) {
  if (state_ >= kLoading) return {PngError::Busy, {}};
  ResetImage();
  FileSource file(fileName);
  if (!file.Open()) return {PngError::FileAccess, file.ErrorText()};
  return LoadFrom(file, checkCrc, useAlphaBlend, globalAlpha);
}

StdPNG::LoadResult StdPNG::LoadFromMemory(std::span<const std::uint8_t> bytes, std::int16_t checkCrc,
                                          std::int16_t useAlphaBlend, std::uint8_t globalAlpha) {
  if (state_ >= kLoading) return {PngError::Busy, {}};
  ResetImage();
  MemorySource memory(bytes);
  return LoadFrom(memory, checkCrc, useAlphaBlend, globalAlpha);
}

StdPNG::LoadResult StdPNG::ReadChunks(Source& source, bool checkCrc, std::int64_t& rawSize, ImageData& idat) {
  const std::int64_t fileSize = source.Size();
  std::int64_t position = sizeof(kSignature);
  for (;;) {
    // Length and type, then the data, then the CRC: the file is read in order.
    std::span<const std::uint8_t> bytes;
    if (!source.Read(position, 8, bytes)) return {PngError::Corrupted, {}};
    const std::uint32_t length = ReadBE32(bytes.data());
    std::uint8_t type[kChunkTypeBytes];
    std::memcpy(type, bytes.data() + 4, kChunkTypeBytes);
    // Lengths of 2^31 and more are not allowed by the format.
    if (length > std::uint32_t(std::numeric_limits<std::int32_t>::max())) return {PngError::Corrupted, {}};
    const std::int64_t chunkStart = position + 4;
    const std::int64_t dataStart = chunkStart + 4;
    position += std::int64_t(length) + kChunkFrameBytes;
    if (position > fileSize) return {PngError::Corrupted, {}};

    if (TypeIs(type, "IEND")) return {};
    if (IsUnknownCritical(type)) return {PngError::UnknownCriticalChunk, ChunkName(type)};
    if (length == 0) continue;
    if (TypeIs(type, "IDAT")) {
      // Only checked here: the pipeline reads the data again as it inflates.
      if (!info_.hasHeader) return {PngError::HeaderCorrupted, {}};
      uLong crc = crc32(crc32(0L, Z_NULL, 0), type, kChunkTypeBytes);
      for (std::int64_t done = 0; done < length;) {
        const std::int64_t count = source.Stable() ? length : std::min<std::int64_t>(length - done, kFileSlice);
        if (!source.Read(dataStart + done, count, bytes)) return {PngError::Corrupted, {}};
        crc = crc32(crc, bytes.data(), uInt(count));
        done += count;
      }
      if (!source.Read(dataStart + length, 4, bytes)) return {PngError::Corrupted, {}};
      if (std::uint32_t(crc) != ReadBE32(bytes.data())) return {PngError::IdatBadCrc, {}};
      idat.Add(dataStart, length);
      continue;
    }
    // Every other chunk not named here is ancillary (checked above) and skipped unread.
    static constexpr const char* kRead[] = {"IHDR", "PLTE", "tRNS", "bKGD", "tIME", "tEXt",
                                            "zTXt", "gAMA", "cHRM", "pHYs", "oFFs", "sRGB"};
    if (std::none_of(std::begin(kRead), std::end(kRead),
                     [&](const char* name) { return std::memcmp(type, name, kChunkTypeBytes) == 0; }))
      continue;

    // Type, data and CRC in one read.
    if (!source.Read(chunkStart, std::int64_t(length) + 8, bytes)) return {PngError::Corrupted, {}};
    Chunk chunk;
    chunk.typeAndData = bytes.first(std::size_t(length) + 4);
    chunk.storedCrc = ReadBE32(bytes.data() + length + 4);
    PngError error = PngError::None;
    if (TypeIs(type, "IHDR")) {
      error = ReadIHDR(info_, chunk, rawSize);
    } else if (TypeIs(type, "PLTE")) {
      error = ReadPLTE(info_, chunk);
    } else if (TypeIs(type, "tRNS")) {
      ReadTRNS(info_, chunk);
    } else if (TypeIs(type, "bKGD")) {
      ReadBKGD(info_, chunk, checkCrc);
    } else if (TypeIs(type, "tIME")) {
      ReadTIME(info_, chunk, checkCrc);
    } else if (TypeIs(type, "tEXt") || TypeIs(type, "zTXt")) {
      ReadText(info_, chunk, checkCrc);
    } else if (TypeIs(type, "gAMA")) {
      ReadGAMA(info_, chunk, checkCrc);
    } else if (TypeIs(type, "cHRM")) {
      ReadCHRM(info_, chunk, checkCrc);
    } else if (TypeIs(type, "pHYs")) {
      ReadPHYS(info_, chunk, checkCrc);
    } else if (TypeIs(type, "oFFs")) {
      ReadOFFS(info_, chunk, checkCrc);
    } else if (TypeIs(type, "sRGB")) {
      ReadSRGB(info_, chunk, checkCrc);
    }
    if (error != PngError::None) return {error, {}};
  }
}

StdPNG::LoadResult StdPNG::LoadFrom(Source& source, std::int16_t checkCrc, std::int16_t useAlphaBlend,
                                    std::uint8_t globalAlpha) {
  auto fail = [this](PngError error, const QString& detail = {}) {
    ResetImage();
    return LoadResult{error, detail};
  };

  std::span<const std::uint8_t> signature;
  if (source.Size() < kMinimumFileBytes || !source.Read(0, sizeof(kSignature), signature) ||
      !std::equal(signature.begin(), signature.end(), std::begin(kSignature)))
    return fail(PngError::NotPng);

  std::int64_t rawSize = 0;
  ImageData idat;
  const LoadResult chunks = ReadChunks(source, checkCrc != 0, rawSize, idat);
  if (!chunks.ok()) return fail(chunks.error, chunks.detail);
  PngError error = info_.hasHeader ? PngError::None : PngError::HeaderCorrupted;
  if (error == PngError::None) error = CheckPalette(info_);
  if (error == PngError::None && idat.TotalBytes() == 0) error = PngError::NoImageData;
  if (error != PngError::None) return fail(error);

  state_ = kLoading;
  if (onProgress) onProgress(0);

  // The image is inflated as it is decoded, a line at a time; data too
  // short for the size the header asks for is refused before anything is
  // made for it.
  if (rawSize > (idat.TotalBytes() + kInflateSlack) * kMaxInflateRatio || !idat.Start(source, rawSize))
    return fail(PngError::NotCompressedCorrectly);
  // A failure found before the data was inflated to its end is reported as
  // broken data when the data is broken too, as when it was inflated first.
  auto failUnlessBroken = [&](PngError other) {
    return fail(idat.Finish() ? other : PngError::NotCompressedCorrectly);
  };

  ProgressiveDisplayArgs target;
  if (progressiveDisplay_ < 4 && onProgessiveDisplay) {
    target.width = info_.width;
    target.height = info_.height;
    target.backColor = info_.fileBackground;
    target.hasTransparency = info_.colorType > kPalette || info_.HasKeyColor();
    target.interlaced = info_.interlace == 1;
    target.recommended = PrepareTransparency(nullptr, nullptr, true);
    onProgessiveDisplay(target);
  }
  PrepareTransparency(target.hDC, target.hWnd, false);
  if (globalAlpha < 255 || useAlphaBlend == -1) state_ |= kAlphaPainting;

  const DibFormat format = GetDIBBitCount(info_, state_);
  holder_ = std::make_unique<stdPNGdata>();
  // Rows of a plain image are written whole by the pipeline, so only an
  // interlaced picture needs its bitmap cleared first.
  if (!holder_->CreateDIB(format.dibBits, info_.width, info_.height, WorkingPalette(info_, format), target.hDC,
                          info_.interlace == 1))
    return failUnlessBroken(PngError::NoResources);

  const int paintMode = state_ & kPaintModeMask;
  if (background_ != -1 || (paintMode != kPaintNoTarget && (format.dibBits == 32 || info_.interlace == 1))) {
    if (!holder_->CreateBackgroundDIB(target.hDC, target.x, target.y, info_.interlace == 1, background_))
      state_ |= kPaintNoTarget;  // painted once at the end instead
  }

  DibTarget dib;
  dib.bits = holder_->BitsPointer();
  dib.scanWidth = holder_->ScanWidth();
  dib.bitCount = holder_->BitCount();
  dib.blockBits = holder_->BlockBitsPointer();
  dib.blockScanWidth = stdPNGdata::CalcScanWidth(24, info_.width);
  dib.colorTable = holder_->ColorTable();
  Observer observer(*this, target, globalAlpha);
  bool decoded = false;
  try {
    decoded = info_.interlace == 1 ? DecodeInterlaced(info_, state_, idat, dib, observer)
                                   : DecodeRows(info_, state_, idat, dib, observer);
  } catch (const std::bad_alloc&) {
    return failUnlessBroken(PngError::NoResources);
  }
  if (!decoded) return failUnlessBroken(PngError::DecodeFailed);
  if (!idat.Finish()) return fail(PngError::NotCompressedCorrectly);

  if (background_ != -1) holder_->FlattenOntoBackground(globalAlpha);
  if (target.hDC != nullptr && target.hWnd != nullptr) {
    state_ &= std::uint16_t(~kDecoding);
    if ((state_ & kPaintNoTarget) || (state_ & kPaintModeMask) == 0) {
      holder_->Render(target.hDC, target.x, target.y, info_.width, info_.height, 0, 0, info_.width, info_.height,
                      nullptr, globalAlpha, target.hWnd);
    }
  }
  if (noOwnDc_) holder_->SetOwnDC(false);
  state_ = 0;
  return {};
}

}  // namespace media
