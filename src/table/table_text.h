#pragma once
// The texts around the piles (the counts, the message and turn lines) each
// have a fixed place that the structure pictures keep their frame lines out
// of. A text shows in the player's text size where it fits its place, and
// in the largest smaller size that fits where it does not: it always shows
// whole, inside its place.

#include <QFont>
#include <QLabel>
#include <QRectF>
#include <QString>
#include <vector>

namespace table {

// One line of a laid-out text: its characters and where its baseline starts,
// relative to the place's top-left corner.
struct TextLine {
  QString text;
  QPointF baseline;
};

struct LaidOutText {
  std::vector<TextLine> lines;
  QRectF ink;  // what the glyphs cover, relative to the place
};

// Lays `text` out in `font` inside a place of `size`: line breaks at "\n"
// (a "\r" before one is dropped), wrapped at word breaks when `wrap`, each
// line and the block aligned by `align`.
LaidOutText LayOutText(const QString& text, const QFont& font, QSize size, Qt::Alignment align, bool wrap);

// `font` at the largest point size, from its own down to
// kSmallestTextPoints, at which `text` lies inside a place of `size`.
QFont FittedFont(const QString& text, QFont font, QSize size, Qt::Alignment align, bool wrap);

// A label that draws its plain text in the font fitted to its own size.
// Set off as a panel (with a frame) or showing rich text or a picture, it
// draws as any label.
class TableText : public QLabel {
 public:
  using QLabel::QLabel;
  // The font the text is drawn in now, and where its glyphs fall, in the
  // label's coordinates.
  QFont DrawnFont() const;
  QRectF DrawnInk() const;
  // Where the glyphs of `text` would fall if the label showed it: the room
  // a count keeps while it is still empty.
  QRectF InkOf(const QString& text) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool DrawsItself() const;
};

}  // namespace table
