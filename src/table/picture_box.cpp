#include "table/picture_box.h"

#include <QMouseEvent>
#include <QPainter>

namespace table {

PictureBox::PictureBox(PileControl array, int index, QWidget* parent) : QWidget(parent), array_(array), index_(index) {}

void PictureBox::SetPicture(const QImage& picture) {
  image_ = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  copiedOver_ = false;
  update();
}

void PictureBox::PaintPicture(const QImage& source, const QRect& sourceRect, const QPoint& dest) {
  if (image_.size() != size() || image_.isNull()) {
    QImage fresh(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    fresh.fill(Qt::transparent);
    if (!image_.isNull()) {
      QPainter p(&fresh);
      p.drawImage(0, 0, image_);
    }
    image_ = fresh;
  }
  QPainter p(&image_);
  p.setCompositionMode(QPainter::CompositionMode_Source);  // SRCCOPY
  p.drawImage(dest, source, sourceRect);
  // The own back is a see-through pattern over the back colour inside a rim.
  // A face copied over it replaces that whole look, so its see-through
  // corners show the table, as on a pile that never showed a back.
  const QRect copied(dest, sourceRect.intersected(source.rect()).size());
  if (copied.contains(rect())) copiedOver_ = true;
  update();
}

void PictureBox::SetBorderStyle(int style) {
  borderStyle_ = style;
  update();
}

void PictureBox::SetBackColor(const QColor& color) {
  backColor_ = color;
  update();
}

void PictureBox::StandInFor(QWidget* pile) {
  standIn_ = pile;
  update();
}

void PictureBox::paintEvent(QPaintEvent*) {
  if (standIn_ && standIn_->isVisible() && standIn_->geometry() == geometry()) return;
  QPainter p(this);
  if (backColor_.alpha() > 0 && !copiedOver_) p.fillRect(rect(), backColor_);
  if (!image_.isNull()) p.drawImage(0, 0, image_);
  if (borderStyle_ == 1 && !copiedOver_) {
    p.setPen(QPen(backColor_.isValid() && backColor_.alpha() > 0 ? backColor_.darker(180) : QColor(Qt::black), 1));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  emit mouseDown(this, event->button(), event->modifiers(), event->position().toPoint());
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
  emit mouseMove(this, event->buttons(), event->modifiers(), event->position().toPoint());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  emit mouseUp(this, event->button(), event->modifiers(), event->position().toPoint());
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent*) { emit dblClick(this); }

}  // namespace table
