// Loading a PNG file into a StdPNG: the chunk loop, joining and inflating
// the image data, the transparency decision, the bitmap and the pipeline.

#include "media/png_picture.h"

#include "platform/ui.h"

#include <QFile>
#include <QFileInfo>

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

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

bool TypeIs(std::span<const std::uint8_t> typeAndData, const char (&type)[5]) {
  return std::memcmp(typeAndData.data(), type, 4) == 0;
}

}  // namespace

// The joined image data. A file in memory with one IDAT chunk is inflated
// straight from the file's bytes; otherwise the chunks are joined.
class StdPNG::ImageData {
 public:
  // `room` bounds what all the image data can still come to (the rest of
  // the file), so that the joined data is laid out once and never moved.
  bool Append(std::span<const std::uint8_t> data, bool stable, std::int64_t room) {
    try {
      if (stable && view_.empty() && joined_.empty()) {
        view_ = data;
        return true;
      }
      if (joined_.empty()) joined_.reserve(std::size_t(room) + view_.size());
      if (!view_.empty()) {
        joined_.assign(view_.begin(), view_.end());
        view_ = {};
      }
      joined_.insert(joined_.end(), data.begin(), data.end());
      return true;
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  std::span<const std::uint8_t> Bytes() const { return view_.empty() ? std::span<const std::uint8_t>(joined_) : view_; }

 private:
  std::span<const std::uint8_t> view_;
  std::vector<std::uint8_t> joined_;
};

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

class StdPNG::FileSource : public StdPNG::Source {
 public:
  explicit FileSource(const QString& name) : file_(name) {}
  bool Open() { return file_.open(QIODevice::ReadOnly); }
  QString ErrorText() const {
    // The descriptions the user knows from the original's file errors.
    if (!QFileInfo::exists(file_.fileName())) return QStringLiteral("File not found");
    if (file_.error() == QFileDevice::PermissionsError) return QStringLiteral("Permission denied");
    return file_.errorString();
  }
  std::int64_t Size() const override { return file_.size(); }
  bool Read(std::int64_t position, std::int64_t count, std::span<const std::uint8_t>& bytes) override {
    if (count < 0 || position < 0 || count > Size() - position) return false;
    try {
      buffer_.resize(std::size_t(count));
    } catch (const std::bad_alloc&) {
      return false;
    }
    if (!file_.seek(position) || file_.read(reinterpret_cast<char*>(buffer_.data()), count) != count) return false;
    bytes = std::span<const std::uint8_t>(buffer_.data(), buffer_.size());
    return true;
  }

 private:
  QFile file_;
  std::vector<std::uint8_t> buffer_;
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

PngError StdPNG::ReadChunks(Source& source, bool checkCrc, std::int64_t& rawSize, ImageData& idat) {
  const std::int64_t fileSize = source.Size();
  std::int64_t position = sizeof(kSignature);
  for (;;) {
    std::span<const std::uint8_t> bytes;
    if (!source.Read(position, 4, bytes)) return PngError::Corrupted;
    const std::uint32_t length = ReadBE32(bytes.data());
    // Lengths of 2^31 and more are not allowed by the format.
    if (length > std::uint32_t(std::numeric_limits<std::int32_t>::max())) return PngError::Corrupted;
    const std::int64_t chunkStart = position + 4;
    position += std::int64_t(length) + kChunkFrameBytes;
    if (position > fileSize) return PngError::Corrupted;
    std::span<const std::uint8_t> crcBytes;
    if (!source.Read(chunkStart + 4 + length, 4, crcBytes)) return PngError::Corrupted;
    const std::uint32_t storedCrc = ReadBE32(crcBytes.data());
    Chunk chunk;
    if (!source.Read(chunkStart, std::int64_t(length) + 4, chunk.typeAndData)) return PngError::Corrupted;
    chunk.storedCrc = storedCrc;
    const auto& type = chunk.typeAndData;

    if (TypeIs(type, "IEND")) return PngError::None;
    if (length == 0) continue;
    PngError error = PngError::None;
    if (TypeIs(type, "IHDR")) {
      error = ReadIHDR(info_, chunk, rawSize);
    } else if (TypeIs(type, "PLTE")) {
      error = ReadPLTE(info_, chunk);
    } else if (TypeIs(type, "tRNS")) {
      ReadTRNS(info_, chunk);
    } else if (TypeIs(type, "IDAT")) {
      if (!info_.hasHeader) return PngError::HeaderCorrupted;
      if (!ChunkCrcMatches(chunk)) return PngError::IdatBadCrc;
      if (!idat.Append(chunk.Data(), source.Stable(), fileSize - chunkStart)) return PngError::IdatNotKept;
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
    if (error != PngError::None) return error;
  }
}

StdPNG::LoadResult StdPNG::LoadFrom(Source& source, std::int16_t checkCrc, std::int16_t useAlphaBlend,
                                    std::uint8_t globalAlpha) {
  auto fail = [this](PngError error) {
    ResetImage();
    return LoadResult{error, {}};
  };

  std::span<const std::uint8_t> signature;
  if (source.Size() < kMinimumFileBytes || !source.Read(0, sizeof(kSignature), signature) ||
      !std::equal(signature.begin(), signature.end(), std::begin(kSignature)))
    return fail(PngError::NotPng);

  std::int64_t rawSize = 0;
  ImageData idat;
  PngError error = ReadChunks(source, checkCrc != 0, rawSize, idat);
  if (error == PngError::None && !info_.hasHeader) error = PngError::HeaderCorrupted;
  if (error == PngError::None) error = FinishPalette(info_);
  if (error == PngError::None && idat.Bytes().empty()) error = PngError::NoImageData;
  if (error != PngError::None) return fail(error);

  state_ = kLoading;
  if (onProgress) onProgress(0);

  // The inflated image is held once, in a buffer of exactly the size the
  // header asks for; data that gives fewer bytes is refused, never read past.
  const std::span<const std::uint8_t> compressed = idat.Bytes();
  if (rawSize > (std::int64_t(compressed.size()) + kInflateSlack) * kMaxInflateRatio)
    return fail(PngError::NotCompressedCorrectly);
  ByteBuffer raw = AllocateBytes(rawSize, false);
  if (!raw) return fail(PngError::TooLarge);
  uLongf produced = uLongf(rawSize);
  if (uncompress(raw.get(), &produced, compressed.data(), uLong(compressed.size())) != Z_OK ||
      std::int64_t(produced) != rawSize)
    return fail(PngError::NotCompressedCorrectly);
  idat = {};

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
  if (format.dibBits == 4 && info_.bitDepth == 2 && info_.palette.empty())
    info_.palette = {0x00, 0x00, 0x00, 0x55, 0x55, 0x55, 0xAA, 0xAA, 0xAA, 0xFF, 0xFF, 0xFF};

  holder_ = std::make_unique<stdPNGdata>();
  // Rows of a plain image are written whole by the pipeline, so only an
  // interlaced picture needs its bitmap cleared first.
  if (!holder_->CreateDIB(format.dibBits, info_.width, info_.height, info_.palette, target.hDC,
                          info_.interlace == 1))
    return fail(format.dibBits == 0 ? PngError::NoResources : PngError::TooLarge);

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
  const std::span<std::uint8_t> inflated(raw.get(), std::size_t(rawSize));
  const bool decoded = info_.interlace == 1 ? DecodeInterlaced(info_, state_, inflated, dib, observer)
                                            : DecodeRows(info_, state_, inflated, dib, observer);
  if (!decoded) return fail(PngError::DecodeFailed);

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
