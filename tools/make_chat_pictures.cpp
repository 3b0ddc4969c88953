// Makes the chat's pictures, copied into the player's folders when missing:
// the emoticons Data/user-seed/Icons/*.gif (small faces, written as GIF
// through giflib) and the default avatar Data/user-seed/Avatars/~MD^.jpg.
//
// Usage: make_chat_pictures SOURCE_FOLDER   (the folder that holds Data/)

#include "gif_save.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>

namespace {

constexpr int kFace = 32;

enum class Eyes { Open, Wink, Closed, Angry, Tears, Big };
enum class Mouth { Smile, Grin, Frown, Flat, Smirk, Open, Wobble };

struct Face {
  const char* name;
  QColor skin;
  Eyes eyes;
  Mouth mouth;
  bool blush = false;
};

void DrawFace(QPainter& p, const Face& f) {
  const QRectF head(1.5, 1.5, kFace - 3, kFace - 3);
  QRadialGradient shade(head.center() - QPointF(5, 5), kFace * 0.7);
  shade.setColorAt(0, f.skin.lighter(130));
  shade.setColorAt(1, f.skin.darker(115));
  p.setPen(QPen(QColor(90, 60, 10), 1.2));
  p.setBrush(shade);
  p.drawEllipse(head);
  if (f.blush) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 110, 110, 170));
    p.drawEllipse(QPointF(8, 19), 3.5, 2.2);
    p.drawEllipse(QPointF(24, 19), 3.5, 2.2);
  }
  const QColor ink(50, 30, 10);
  p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(ink);
  const QPointF left(11, 12.5), right(21, 12.5);
  auto dot = [&p](QPointF c, double r) { p.drawEllipse(c, r, r * 1.3); };
  auto shut = [&p](QPointF c, bool up) {
    QPainterPath a;
    a.moveTo(c + QPointF(-3, 0));
    a.quadTo(c + QPointF(0, up ? -3 : 3), c + QPointF(3, 0));
    p.strokePath(a, p.pen());
  };
  switch (f.eyes) {
    case Eyes::Open: dot(left, 1.8), dot(right, 1.8); break;
    case Eyes::Big:
      p.setBrush(Qt::white), dot(left, 3.2), dot(right, 3.2);
      p.setBrush(ink), dot(left + QPointF(0, 1), 1.6), dot(right + QPointF(0, 1), 1.6);
      break;
    case Eyes::Wink: dot(left, 1.8), shut(right, true); break;
    case Eyes::Closed: shut(left, false), shut(right, false); break;
    case Eyes::Tears:
      shut(left, false), shut(right, false);
      p.setPen(Qt::NoPen), p.setBrush(QColor(80, 150, 240));
      p.drawEllipse(QPointF(9, 18), 1.6, 2.6), p.drawEllipse(QPointF(23, 18), 1.6, 2.6);
      p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap)), p.setBrush(ink);
      break;
    case Eyes::Angry:
      dot(left, 1.7), dot(right, 1.7);
      p.drawLine(QPointF(7, 7.5), QPointF(13.5, 10)), p.drawLine(QPointF(25, 7.5), QPointF(18.5, 10));
      break;
  }
  p.setBrush(Qt::NoBrush);
  QPainterPath m;
  switch (f.mouth) {
    case Mouth::Smile: m.moveTo(9, 20), m.quadTo(16, 27, 23, 20); break;
    case Mouth::Frown: m.moveTo(10, 25), m.quadTo(16, 19, 22, 25); break;
    case Mouth::Flat: m.moveTo(11, 22.5), m.lineTo(21, 22.5); break;
    case Mouth::Smirk: m.moveTo(10, 22), m.quadTo(18, 24, 23, 19); break;
    case Mouth::Wobble:
      m.moveTo(10, 24), m.quadTo(12, 21, 14, 24), m.quadTo(16, 27, 18, 24), m.quadTo(20, 21, 22, 24);
      break;
    case Mouth::Grin:
    case Mouth::Open:
      p.setBrush(f.mouth == Mouth::Grin ? QColor(Qt::white) : QColor(120, 30, 30));
      if (f.mouth == Mouth::Grin) {
        m.moveTo(8, 19), m.lineTo(24, 19), m.quadTo(16, 29, 8, 19);
      } else {
        m.addEllipse(QPointF(16, 23), 3, 3.5);
      }
      break;
  }
  p.drawPath(m);
}

QImage Icon(const Face& f, QColor background) {
  QImage img(kFace, kFace, QImage::Format_RGB32);
  img.fill(background);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  DrawFace(p, f);
  return img;
}

// The default avatar: a card player's silhouette on a felt-green disc.
QImage Avatar() {
  QImage img(64, 64, QImage::Format_RGB32);
  img.fill(QColor(240, 236, 224));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient felt(QPointF(26, 24), 44);
  felt.setColorAt(0, QColor(60, 140, 80));
  felt.setColorAt(1, QColor(20, 80, 40));
  p.setPen(Qt::NoPen);
  p.setBrush(felt);
  p.drawEllipse(QRectF(2, 2, 60, 60));
  p.setBrush(QColor(235, 225, 200));
  p.drawEllipse(QPointF(32, 25), 10, 11);
  QPainterPath body;
  body.moveTo(13, 58), body.quadTo(14, 38, 32, 38), body.quadTo(50, 38, 51, 58), body.closeSubpath();
  p.drawPath(body);
  return img;
}

bool Report(bool ok, const QString& path) {
  std::printf("%s%s\n", qPrintable(path), ok ? "" : ": FAILED");
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s SOURCE_FOLDER\n", argv[0]);
    return 2;
  }
  const QDir root(QString::fromLocal8Bit(argv[1]));
  if (!root.mkpath("Data/user-seed/Icons") || !root.mkpath("Data/user-seed/Avatars")) {
    std::fprintf(stderr, "cannot make the folders under %s/Data/user-seed\n", argv[1]);
    return 1;
  }
  const QColor yellow(250, 210, 60), red(235, 110, 70), pale(245, 215, 120);
  const Face faces[] = {
      {"Wink", yellow, Eyes::Wink, Mouth::Smile},        {"Angry", red, Eyes::Angry, Mouth::Frown},
      {"Grinning", yellow, Eyes::Open, Mouth::Grin},     {"Embarrassed", yellow, Eyes::Closed, Mouth::Wobble, true},
      {"Mischievous", yellow, Eyes::Wink, Mouth::Smirk}, {"Sad", pale, Eyes::Open, Mouth::Frown},
      {"Begging", yellow, Eyes::Big, Mouth::Open},       {"Crying", pale, Eyes::Tears, Mouth::Open},
  };
  bool ok = true;
  for (const Face& f : faces) {
    const QString path = root.filePath(QString("Data/user-seed/Icons/%1.gif").arg(f.name));
    ok &= Report(gif::SaveGif(Icon(f, Qt::white), path), path);
  }
  const QString avatar = root.filePath("Data/user-seed/Avatars/~MD^.jpg");
  ok &= Report(Avatar().save(avatar, "JPG", 90), avatar);
  return ok ? 0 : 1;
}
