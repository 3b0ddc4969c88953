// Makes the chat's pictures: the emoticons Data/user-seed/Icons/*.gif
// (small faces, written as GIF through giflib), copied into the player's
// folder when missing; the default avatar Data/Avatars/~MD^.jpg; and the
// chat window's own pictures in Data/pictures/ (the slap, the two cursors
// over the avatar and the slap, the two pin pictures and the help badge).
//
// Usage: make_chat_pictures SOURCE_FOLDER   (the folder that holds Data/)

#include "gif_save.h"
#include "picture_out.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>
#include <cmath>
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

// An open hand, palm towards the viewer, fingers up, inside a 100 x 100 box.
QPainterPath Hand() {
  QPainterPath hand;
  hand.addRoundedRect(QRectF(24, 44, 50, 46), 18, 18);
  const struct { double x, top, w; } fingers[] = {{25, 16, 11}, {38, 8, 11}, {51, 10, 11}, {63, 20, 10}};
  for (const auto& f : fingers) hand.addRoundedRect(QRectF(f.x, f.top, f.w, 50 - f.top), f.w / 2, f.w / 2);
  QPainterPath thumb;
  thumb.addRoundedRect(QRectF(-6, -30, 13, 38), 6.5, 6.5);
  hand.addPath(QTransform().translate(24, 72).rotate(-50).map(thumb));
  return hand.simplified();
}

// The slap: a red burst with a white hand print, drawn over the avatar.
QImage Slap() {
  constexpr int kSize = 96;
  QImage img(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QPolygonF burst;
  constexpr int kPoints = 14;
  for (int i = 0; i < 2 * kPoints; ++i) {
    const double a = M_PI * i / kPoints - M_PI / 2;
    const double r = (i % 2 ? 30 : 46) - (i % 4 == 2 ? 5 : 0);
    burst << QPointF(48 + r * std::cos(a), 48 + r * std::sin(a));
  }
  QRadialGradient heat(QPointF(48, 48), 46);
  heat.setColorAt(0, QColor(255, 214, 70));
  heat.setColorAt(0.55, QColor(245, 110, 30));
  heat.setColorAt(1, QColor(200, 30, 20));
  p.setPen(QPen(QColor(120, 10, 10), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(heat);
  p.drawPolygon(burst);
  p.translate(48, 50);
  p.rotate(-12);
  p.scale(0.58, 0.58);
  p.translate(-50, -52);
  p.setPen(QPen(QColor(150, 20, 20), 3));
  p.setBrush(QColor(255, 245, 235));
  p.drawPath(Hand());
  return img;
}

// The cursors over the avatar (an open hand, ready to slap) and over the
// slap (a pointing finger that takes it away): 32 x 32, hot spot near the
// fingertips.
QImage Cursor(bool pointing) {
  QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor(255, 236, 205));
  if (!pointing) {
    p.scale(0.3, 0.3);
    p.setPen(QPen(Qt::black, 5.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(Hand());
    return img;
  }
  QPainterPath hand;
  hand.addRoundedRect(QRectF(9, 15, 17, 15), 5, 5);
  hand.addRoundedRect(QRectF(9, 1.5, 6, 20), 3, 3);
  for (int i = 0; i < 3; ++i) hand.addRoundedRect(QRectF(14.5 + i * 4, 11 + i * 0.7, 5, 9), 2.5, 2.5);
  hand.addRoundedRect(QRectF(4, 17, 9, 5.5), 2.7, 2.7);
  p.drawPath(hand.simplified());
  return img;
}

// The keep-on-top pin: 0 pressed in (the window stays on top), 1 pulled out
// and tilted.
QImage Pin(bool pulled) {
  QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.translate(16, 16);
  if (pulled) p.rotate(40);
  const QColor head = pulled ? QColor(150, 150, 150) : QColor(210, 30, 30);
  p.setPen(QPen(QColor(70, 70, 70), 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(0, 4), QPointF(0, pulled ? 15 : 11));
  p.setPen(QPen(head.darker(160), 1.2));
  QLinearGradient shine(QPointF(-7, 0), QPointF(7, 0));
  shine.setColorAt(0, head.lighter(150));
  shine.setColorAt(1, head.darker(130));
  p.setBrush(shine);
  p.drawRoundedRect(QRectF(-7, 1, 14, 4), 1.5, 1.5);
  p.drawRoundedRect(QRectF(-4, -9, 8, 11), 2, 2);
  p.drawRoundedRect(QRectF(-6.5, -13, 13, 4.5), 2, 2);
  if (!pulled) {
    p.setPen(QPen(QColor(40, 40, 40, 140), 1.5));
    p.drawLine(QPointF(-5, 14), QPointF(5, 14));
  }
  return img;
}

// The help badge: a white question mark on a blue disc.
QImage Help() {
  QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient blue(QPointF(12, 10), 20);
  blue.setColorAt(0, QColor(110, 170, 250));
  blue.setColorAt(1, QColor(20, 70, 170));
  p.setPen(QPen(QColor(10, 40, 110), 1.4));
  p.setBrush(blue);
  p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
  QPainterPath mark;
  mark.moveTo(11, 12);
  mark.cubicTo(11, 5.5, 21, 5.5, 21, 11.5);
  mark.cubicTo(21, 15.5, 16, 15.5, 16, 20);
  p.setPen(QPen(Qt::white, 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(mark);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(16, 25), 2.2, 2.2);
  return img;
}

bool Report(bool ok, const QString& path) {
  std::printf("%s%s\n", qPrintable(path), ok ? "" : ": FAILED");
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const std::optional<QDir> pictures = tools::PicturesFolder(argc, argv);
  if (!pictures) return 2;
  const QDir root(QString::fromLocal8Bit(argv[1]));
  if (!root.mkpath("Data/user-seed/Icons") || !root.mkpath("Data/Avatars")) {
    std::fprintf(stderr, "cannot make the folders under %s/Data\n", argv[1]);
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
  const QString avatar = root.filePath("Data/Avatars/~MD^.jpg");
  ok &= Report(Avatar().save(avatar, "JPG", 90), avatar);
  ok &= tools::Save(Slap(), *pictures, "chat-slap.png");
  ok &= tools::Save(Cursor(false), *pictures, "chat-cursor-avatar.png");
  ok &= tools::Save(Cursor(true), *pictures, "chat-cursor-slap.png");
  ok &= tools::Save(Pin(false), *pictures, "chat-pin-in.png");
  ok &= tools::Save(Pin(true), *pictures, "chat-pin-out.png");
  ok &= tools::Save(Help(), *pictures, "chat-help.png");
  return ok ? 0 : 1;
}
