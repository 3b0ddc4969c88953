#pragma once
// A picture box of the table: it keeps a backing image that is painted on
// (so a pile shows its card until it is painted again) and shows it the
// same whether it is enabled or not. Pile pictures, the slide cover, the
// menu bar and the logo are picture boxes.

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include "table/game_state.h"

namespace table {

class PictureBox : public QWidget {
  Q_OBJECT
 public:
  PictureBox(PileControl array, int index, QWidget* parent);

  PileControl Array() const { return array_; }
  int Index() const { return index_; }

  // Picture := image: the backing image becomes a copy of it (null: blank).
  void SetPicture(const QImage& picture);
  const QImage& Picture() const { return image_; }
  // Copies a rectangle of another picture to (dest) of the backing image.
  // A copy over the whole box (a card's face) is all the box shows: its
  // back colour and rim stay set but show again only under the next picture set.
  void PaintPicture(const QImage& source, const QRect& sourceRect, const QPoint& dest);

  // The slide cover: it lies under the pile it stands in for and shows
  // only while that pile is away from its place or hidden; a pile at home
  // hides it wholly, through the see-through edges of its card too.
  void StandInFor(QWidget* pile);

  // 0 none, 1 fixed single: drawn round the picture, in the back colour darkened.
  void SetBorderStyle(int style);
  int BorderStyle() const { return borderStyle_; }
  void SetBackColor(const QColor& color);
  QColor BackColor() const { return backColor_; }

 signals:
  void mouseDown(table::PictureBox* box, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint at);
  void mouseMove(table::PictureBox* box, Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, QPoint at);
  void mouseUp(table::PictureBox* box, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint at);
  void dblClick(table::PictureBox* box);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  PileControl array_;
  int index_;
  QImage image_;
  int borderStyle_ = 0;
  QColor backColor_ = Qt::transparent;
  bool copiedOver_ = false;    // the last PaintPicture covered the whole box
  QPointer<QWidget> standIn_;  // the pile this cover stands in for, if any
};

}  // namespace table
