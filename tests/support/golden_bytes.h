#pragma once
// Builds expected record bytes by hand, independently of the codecs under
// test: little-endian integers, IEEE doubles and fixed-width text at the
// offsets a record layout gives.

#include <QByteArray>
#include <bit>
#include <cstdint>

namespace golden {

inline void PutLe(QByteArray& b, int offset, std::uint64_t v, int size) {
  for (int i = 0; i < size; ++i) b[offset + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline void Put16(QByteArray& b, int offset, std::int16_t v) { PutLe(b, offset, static_cast<std::uint16_t>(v), 2); }
inline void Put32(QByteArray& b, int offset, std::int32_t v) { PutLe(b, offset, static_cast<std::uint32_t>(v), 4); }
inline void PutF64(QByteArray& b, int offset, double v) { PutLe(b, offset, std::bit_cast<std::uint64_t>(v), 8); }
// Raw bytes (already Windows-1252) padded with blanks to width.
inline void PutText(QByteArray& b, int offset, int width, const QByteArray& text) {
  for (int i = 0; i < width; ++i) b[offset + i] = i < text.size() ? text[i] : ' ';
}
inline void PutBytes(QByteArray& b, int offset, const QByteArray& raw) {
  for (int i = 0; i < raw.size(); ++i) b[offset + i] = raw[i];
}

// A record of the given length whose every byte differs from its
// neighbours, so that a field read from or written to a wrong offset shows.
inline QByteArray Patterned(int length) {
  QByteArray b(length, '\0');
  for (int i = 0; i < length; ++i) b[i] = static_cast<char>(((i * 7 + 3) & 0x7F) | 0x20);
  return b;
}

}  // namespace golden
