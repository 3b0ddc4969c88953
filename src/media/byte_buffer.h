#pragma once
// Large byte buffers for pictures. A decoded picture runs to megabytes;
// from a megabyte on it is asked for in whole huge pages where the system
// offers them, because faulting fresh memory in 4 KiB at a time costs more
// than decoding into it (a picture is decoded once, into fresh memory).

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
