// Makes the tutorial window's pictures in Data/pictures/: its icon (a
// mortarboard over a card, 32 x 32) and the Next picture button (98 x 44).
// Everything is drawn here, deterministically.
//
// Usage: make_tutorial_pictures SOURCE_FOLDER   (the folder that holds Data/)

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

#include "picture_out.h"

namespace {

const QColor kGold(214, 168, 52);
const QColor kDarkGreen(0, 70, 32);
const QColor kGreen(24, 132, 64);

QImage Icon() {
  QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // A card standing up.
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(9.5, 11.5, 15, 19), 2, 2);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(196, 18, 28));
  QPainterPath heart;
  heart.moveTo(17, 26);
  heart.cubicTo(13, 23, 12.5, 20, 14.5, 18.5);
  heart.cubicTo(15.8, 17.6, 17, 18.6, 17, 19.6);
  heart.cubicTo(17, 18.6, 18.2, 17.6, 19.5, 18.5);
  heart.cubicTo(21.5, 20, 21, 23, 17, 26);
  p.drawPath(heart);
  // The mortarboard on top of it.
  QPainterPath board;
  board.moveTo(16, 2);
  board.lineTo(31, 8);
  board.lineTo(16, 14);
  board.lineTo(1, 8);
  board.closeSubpath();
  p.setBrush(QColor(28, 28, 34));
  p.drawPath(board);
  p.drawRect(QRectF(10, 10, 12, 4));
  p.setPen(QPen(kGold, 1.5));
  p.drawLine(QPointF(16, 8), QPointF(27, 11));
  p.drawLine(QPointF(27, 11), QPointF(27, 17));
  p.setBrush(kGold);
  p.drawEllipse(QPointF(27, 18), 1.6, 1.6);
  return img;
}

QImage NextButton() {
  const int w = 98, h = 44;
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient fill(0, 0, 0, h);
  fill.setColorAt(0, QColor(60, 170, 96));
  fill.setColorAt(0.5, kGreen);
  fill.setColorAt(1, kDarkGreen);
  p.setPen(QPen(kGold, 2));
  p.setBrush(fill);
  p.drawRoundedRect(QRectF(1, 1, w - 2, h - 2), 9, 9);

  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(18);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(255, 248, 220));
  p.drawText(QRectF(10, 0, 56, h), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Next"));

  QPainterPath arrow;
  arrow.moveTo(70, 13);
  arrow.lineTo(86, 22);
  arrow.lineTo(70, 31);
  arrow.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(kGold);
  p.drawPath(arrow);
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const std::optional<QDir> folder = tools::PicturesFolder(argc, argv);
  if (!folder) return argc != 2 ? 2 : 1;
  const QDir& out = *folder;
  bool ok = true;
  ok &= tools::Save(Icon(), out, "tutorial-icon.png");
  ok &= tools::Save(NextButton(), out, "tutorial-next.png");
  return ok ? 0 : 1;
}
