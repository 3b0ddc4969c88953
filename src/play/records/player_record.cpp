#include "play/records/player_record.h"

#include "platform/recordfile.h"

namespace play {

PlayerRecord PlayerRecord::Decode(const QByteArray& bytes) {
  PlayerRecord r;
  if (bytes.size() < kPlayerRecordLength) return r;
  const platform::ByteReader in(bytes);
  r.Name = in.Text(kNameOffset, kNameWidth);
  r.TextFontSize = in.I16(kTextFontSizeOffset);
  r.BackgroundName = in.Text(kBackgroundNameOffset, kBackgroundNameWidth);
  r.CurrentStructure = in.I16(kCurrentStructureOffset);
  r.ThinkLevel = in.I16(kThinkLevelOffset);
  r.AnimSpeed = in.I16(kAnimSpeedOffset);
  r.SoundOn = in.I16(kSoundOnOffset);
  r.NoIntroMusic = in.I16(kNoIntroMusicOffset);
  r.CardSoundSet = in.I16(kCardSoundSetOffset);
  r.CardDeck = in.I16(kCardDeckOffset);
  r.CardBack = in.I16(kCardBackOffset);
  r.FontColor = in.I32(kFontColorOffset);
  r.MatColor = in.I32(kMatColorOffset);
  r.Reserved86 = in.Bytes(kReserved86Offset, kReserved86Width);
  r.WoodPlaceHolders = in.I16(kWoodPlaceHoldersOffset);
  r.Reserved92 = in.Bytes(kReserved92Offset, kReserved92Width);
  r.FirstPlayerRule = in.I16(kFirstPlayerRuleOffset);
  r.Scores = ScoreRec::Decode(bytes.mid(kScoresOffset, kScoreRecordLength));
  return r;
}

QByteArray PlayerRecord::Encode() const {
  QByteArray bytes(kPlayerRecordLength, '\0');
  platform::ByteWriter out(bytes);
  out.Text(kNameOffset, kNameWidth, Name);
  out.I16(kTextFontSizeOffset, TextFontSize);
  out.Text(kBackgroundNameOffset, kBackgroundNameWidth, BackgroundName);
  out.I16(kCurrentStructureOffset, CurrentStructure);
  out.I16(kThinkLevelOffset, ThinkLevel);
  out.I16(kAnimSpeedOffset, AnimSpeed);
  out.I16(kSoundOnOffset, SoundOn);
  out.I16(kNoIntroMusicOffset, NoIntroMusic);
  out.I16(kCardSoundSetOffset, CardSoundSet);
  out.I16(kCardDeckOffset, CardDeck);
  out.I16(kCardBackOffset, CardBack);
  out.I32(kFontColorOffset, FontColor);
  out.I32(kMatColorOffset, MatColor);
  // A reserved field of the wrong length (set by hand) is cut or zero-filled.
  out.Bytes(kReserved86Offset, Reserved86.leftJustified(kReserved86Width, '\0', true));
  out.I16(kWoodPlaceHoldersOffset, WoodPlaceHolders);
  out.Bytes(kReserved92Offset, Reserved92.leftJustified(kReserved92Width, '\0', true));
  out.I16(kFirstPlayerRuleOffset, FirstPlayerRule);
  Scores.EncodeInto(bytes, kScoresOffset);
  return bytes;
}

}  // namespace play
