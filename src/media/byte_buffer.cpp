#include "media/byte_buffer.h"

#include <sys/mman.h>

#include <cstring>
#include <limits>

namespace media {

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

}  // namespace

ByteBuffer AllocateBytes(std::int64_t size, bool cleared) {
  if (size <= 0 || std::uint64_t(size) > std::numeric_limits<std::size_t>::max() / 2) return nullptr;
  const std::size_t bytes = std::size_t(size);
  if (bytes < kHugePage / 2)
    return ByteBuffer(static_cast<std::uint8_t*>(cleared ? std::calloc(bytes, 1) : std::malloc(bytes)));
  const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  ByteBuffer buffer(static_cast<std::uint8_t*>(std::aligned_alloc(kHugePage, rounded)));
  if (!buffer) return nullptr;
#if defined(MADV_HUGEPAGE)
  madvise(buffer.get(), rounded, MADV_HUGEPAGE);  // advice only: failure changes nothing
#endif
  if (cleared) std::memset(buffer.get(), 0, bytes);
  return buffer;
}

}  // namespace media
