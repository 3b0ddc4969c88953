#include "table/table_text.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

#include "table/table_geometry.h"

namespace table {

LaidOutText LayOutText(const QString& text, const QFont& font, QSize size, Qt::Alignment align, bool wrap) {
  const QFontMetricsF fm(font);
  QString plain = text;
  plain.remove(QLatin1Char('\r'));
  std::vector<QString> lines;
  for (const QString& paragraph : plain.split(QLatin1Char('\n'))) {
    if (!wrap || paragraph.isEmpty()) {
      lines.push_back(paragraph);
      continue;
    }
    QTextLayout layout(paragraph, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(size.width());
      lines.push_back(paragraph.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();
  }

  LaidOutText out;
  const qreal blockHeight = fm.lineSpacing() * static_cast<qreal>(lines.size());
  qreal top = 0;
  if (align & Qt::AlignVCenter) top = (size.height() - blockHeight) / 2;
  if (align & Qt::AlignBottom) top = size.height() - blockHeight;
  for (QString& line : lines) {
    // A wrapped line keeps the blank it broke at; it takes no room.
    while (line.endsWith(QLatin1Char(' '))) line.chop(1);
    // A glyph may reach a little past the line's advance: the line takes
    // whichever is wider.
    const QRectF tight = line.isEmpty() ? QRectF() : fm.tightBoundingRect(line);
    const qreal width = std::max(fm.horizontalAdvance(line), tight.right());
    qreal left = 0;
    if (align & Qt::AlignRight) left = size.width() - width;
    if (align & Qt::AlignHCenter) left = (size.width() - width) / 2;
    const QPointF baseline(left, top + fm.ascent());
    if (!line.isEmpty()) out.ink |= tight.translated(baseline);
    out.lines.push_back({line, baseline});
    top += fm.lineSpacing();
  }
  return out;
}

QFont FittedFont(const QString& text, QFont font, QSize size, Qt::Alignment align, bool wrap) {
  const QRectF place(QPointF(0, 0), QSizeF(size));
  for (int points = font.pointSize(); points > kSmallestTextPoints; --points) {
    font.setPointSize(points);
    const QRectF ink = LayOutText(text, font, size, align, wrap).ink;
    if (ink.isEmpty() || place.contains(ink)) return font;
  }
  font.setPointSize(std::min(std::max(1, font.pointSize()), kSmallestTextPoints));
  return font;
}

bool TableText::DrawsItself() const {
  return frameShape() == QFrame::NoFrame && margin() == 0 && indent() <= 0 && pixmap().isNull() &&
         textFormat() != Qt::RichText && !(textFormat() == Qt::AutoText && Qt::mightBeRichText(text()));
}

QFont TableText::DrawnFont() const {
  if (!DrawsItself()) return font();
  return FittedFont(text(), font(), size(), alignment(), wordWrap());
}

QRectF TableText::DrawnInk() const { return InkOf(text()); }

QRectF TableText::InkOf(const QString& text) const {
  const QFont drawn = DrawsItself() ? FittedFont(text, font(), size(), alignment(), wordWrap()) : font();
  return LayOutText(text, drawn, size(), alignment(), wordWrap()).ink;
}

void TableText::paintEvent(QPaintEvent* event) {
  if (!DrawsItself()) {
    QLabel::paintEvent(event);
    return;
  }
  const QFont drawn = DrawnFont();
  QPainter p(this);
  p.setFont(drawn);
  p.setPen(palette().color(foregroundRole()));
  for (const TextLine& line : LayOutText(text(), drawn, size(), alignment(), wordWrap()).lines)
    p.drawText(line.baseline, line.text);
}

}  // namespace table
