#pragma once
// Large byte buffers for pictures. A decoded picture and its inflated data
// run to megabytes; they are asked for in whole huge pages where the system
// offers them, because faulting in a 30-megabyte buffer 4 KiB at a time
// costs more than decoding into it.

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace media {

struct FreeBytes {
  void operator()(std::uint8_t* p) const { std::free(p); }
};
using ByteBuffer = std::unique_ptr<std::uint8_t[], FreeBytes>;

// size bytes, zero-filled when cleared; null when size is not positive or
// the memory cannot be had.
ByteBuffer AllocateBytes(std::int64_t size, bool cleared);

}  // namespace media
