#include "table/sample_game_record.h"

#include "platform/recordfile.h"

namespace table {

SampleGameRecord SampleGameRecord::Decode(const QByteArray& bytes) {
  SampleGameRecord r;
  if (bytes.size() < kSampleGameRecordLength) return r;
  const platform::ByteReader in(bytes);
  for (int i = 0; i <= kDeckSize; ++i) {
    r.FirstDeck[i] = in.I16(kFirstDeckOffset + 2 * i);
    r.SecondDeck[i] = in.I16(kSecondDeckOffset + 2 * i);
  }
  return r;
}

QByteArray SampleGameRecord::Encode() const {
  QByteArray bytes(kSampleGameRecordLength, '\0');
  platform::ByteWriter out(bytes);
  for (int i = 0; i <= kDeckSize; ++i) {
    out.I16(kFirstDeckOffset + 2 * i, FirstDeck[i]);
    out.I16(kSecondDeckOffset + 2 * i, SecondDeck[i]);
  }
  return bytes;
}

}  // namespace table
