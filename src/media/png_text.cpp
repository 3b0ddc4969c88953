// The Comments property: the kept tEXt and zTXt chunks as text.

#include "media/png_decode.h"
#include "platform/vb.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace media {

namespace {

constexpr char kEscape = 27;
constexpr std::size_t kStoreHeaderBytes = 8;  // length (LE32) and type
constexpr std::uint64_t kInflateStep = 2;     // the buffer grows by 2 x the chunk's length
constexpr std::uint64_t kInflateLimit = 50;   // and is given up beyond 50 x

// The text was written in Windows-1252.
QString FromCodePage(std::span<const std::uint8_t> bytes) {
  return vb::FromCp1252(QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
}

// The escape character would garble a message box; it shows as a blank.
QString CleanText(QString text) { return text.replace(QChar(kEscape), QChar(' ')); }

// Inflates a zTXt stream the way the loader inflates image data, with a
// buffer that grows from 2 x to at most 50 x the chunk's length.
bool InflateText(std::span<const std::uint8_t> compressed, std::uint64_t chunkLength, std::vector<std::uint8_t>& out) {
  const std::uint64_t limit = kInflateLimit * chunkLength;
  for (std::uint64_t size = kInflateStep * chunkLength; size <= limit; size += kInflateStep * chunkLength) {
    if (size > std::numeric_limits<uLong>::max()) return false;
    out.resize(std::size_t(size));
    uLongf produced = uLongf(size);
    const int result = uncompress(out.data(), &produced, compressed.data(), uLong(compressed.size()));
    if (result == Z_OK) {
      out.resize(produced);
      return true;
    }
    if (result != Z_BUF_ERROR) return false;  // broken data does not mend with room
  }
  return false;
}

}  // namespace

QString ReadChunkKeyword(std::span<const std::uint8_t> data) {
  const std::size_t searched = std::min(data.size(), kMaxKeywordBytes + 1);
  const auto end = data.begin() + std::ptrdiff_t(searched);
  const auto nul = std::find(data.begin(), end, std::uint8_t(0));
  if (nul == end) return {};
  return FromCodePage(data.first(std::size_t(nul - data.begin())));
}

QString ReadTextChunks(const std::vector<std::uint8_t>& textStore) {
  QString text;
  auto separate = [&text] {
    if (!text.isEmpty()) text += QStringLiteral("\r\n");
  };
  std::size_t at = 0;
  while (at + kStoreHeaderBytes <= textStore.size()) {
    const std::uint8_t* head = textStore.data() + at;
    const std::size_t length = std::size_t(head[0]) | (std::size_t(head[1]) << 8) | (std::size_t(head[2]) << 16) |
                               (std::size_t(head[3]) << 24);
    if (length > textStore.size() - at - kStoreHeaderBytes) break;
    const std::span<const std::uint8_t> data(head + kStoreHeaderBytes, length);
    const bool isText = std::equal(head + 4, head + 8, "tEXt");
    const bool isCompressed = std::equal(head + 4, head + 8, "zTXt");
    at += kStoreHeaderBytes + length;
    if (!isText && !isCompressed) continue;

    // The keyword is at most 80 bytes, so its NUL lies within the data.
    const auto nul =
        std::find(data.begin(), data.begin() + std::ptrdiff_t(std::min(length, kMaxKeywordBytes + 1)), std::uint8_t(0));
    const std::size_t keywordBytes = std::size_t(nul - data.begin());
    if (keywordBytes == 0 || keywordBytes >= std::min(length, kMaxKeywordBytes + 1)) continue;
    const QString keyword = ReadChunkKeyword(data);

    if (isText) {
      separate();
      text += keyword + QStringLiteral(": ") + CleanText(FromCodePage(data.subspan(keywordBytes + 1)));
      continue;
    }
    if (keywordBytes + 1 >= length || data[keywordBytes + 1] != 0) continue;  // compression method 0 only
    separate();
    std::vector<std::uint8_t> inflated;
    if (InflateText(data.subspan(keywordBytes + 2), length, inflated))
      text += keyword + QStringLiteral(": ") + CleanText(FromCodePage(inflated));
  }
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return text;
}

}  // namespace media
