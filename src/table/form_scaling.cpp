#include "table/form_scaling.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <cmath>

#include "platform/system.h"
#include "table/card_table.h"

namespace table {

namespace {

constexpr std::int32_t kWideScreenTwips = 17281;  // from here on the fixed factors apply
constexpr std::int32_t kTallScreenTwips = 12960;
constexpr double kMediumFactor = 15360.0 / 12000.0;  // 1.28
constexpr double kLargeFactor = 17280.0 / 12000.0;   // 1.44
constexpr double kLargerStep = 1.25;
constexpr double kSmallerStep = 0.8;
constexpr std::uint32_t kLightLine = 0xE0E0E0;
constexpr std::uint32_t kGreyLine = 0xC0C0C0;

int Scaled(int value, double factor) { return int(std::lround(value * factor)); }

bool IsImage(const QWidget* w) {
  const auto* label = qobject_cast<const QLabel*>(w);
  return label && !label->pixmap().isNull();
}

}  // namespace

ScaleFactors ScaleFactorsFor(int mode, int size, ScaleFactors previous, std::int32_t ScreenWidth,
                             std::int32_t ScreenHeight) {
  if (mode == kScaleFitScreen) {
    if (ScreenWidth < kWideScreenTwips) return {ScreenWidth / kDesignWidthTwips, ScreenHeight / kDesignHeightTwips};
    const double f = ScreenHeight < kTallScreenTwips ? kMediumFactor : kLargeFactor;
    return {f, f};
  }
  if (mode == kScaleToggle) {
    if (size == kSizeLarger) return {kLargerStep, kLargerStep};
    if (size == kSizeSmaller) return {kSmallerStep, kSmallerStep};
  }
  return previous;
}

FrameLine::FrameLine(QWidget* parent, int twipsPerPixel)
    : QWidget(parent), twipsPerPixel_(platform::TwipsPerPixelOrNormal(twipsPerPixel)) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void FrameLine::SetEnds(int x1, int y1, int x2, int y2) {
  X1 = x1, Y1 = y1, X2 = x2, Y2 = y2;
  const int t = twipsPerPixel_;
  const int left = std::min(x1, x2) / t, top = std::min(y1, y2) / t;
  const int right = std::max(x1, x2) / t, bottom = std::max(y1, y2) / t;
  setGeometry(left, top, std::max(1, right - left + (x1 == x2 ? 1 : 0)),
              std::max(1, bottom - top + (y1 == y2 ? 1 : 0)));
  update();
}

void FrameLine::SetBorderColor(std::uint32_t bgr) {
  BorderColor = bgr;
  update();
}

void FrameLine::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), ColorFromBgr(BorderColor));
}

void FormScaling::ScaleForm(QWidget& window, int mode, int size, std::int32_t ScreenWidth, std::int32_t ScreenHeight) {
  factors_ = ScaleFactorsFor(mode, size, factors_, ScreenWidth, ScreenHeight);
  const double fx = factors_.ScaleFactorX, fy = factors_.ScaleFactorY;
  window.resize(Scaled(window.width(), fx), Scaled(window.height(), fy));
  for (QWidget* c : window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (c->objectName() == "imgAvatar") continue;
    if (qobject_cast<FrameLine*>(c) || qobject_cast<QMenu*>(c)) continue;
    if (qobject_cast<QComboBox*>(c))
      c->move(Scaled(c->x(), fx), Scaled(c->y(), fy));
    else
      c->setGeometry(Scaled(c->x(), fx), Scaled(c->y(), fy), Scaled(c->width(), fx), Scaled(c->height(), fy));
    if (!IsImage(c)) {
      QFont f = c->font();
      if (f.pointSizeF() > 0) f.setPointSizeF(std::max(1.0, f.pointSizeF() * fx));
      c->setFont(f);
    }
  }
}

void PlaceFormLines(QWidget& window, FormLines& lines, int twipsPerPixel) {
  const int t = platform::TwipsPerPixelOrNormal(twipsPerPixel);
  for (auto* array : {&lines.Line1, &lines.Line2})
    for (std::size_t i = 0; i < array->size(); ++i)
      if (!(*array)[i]) {
        // A window without lines 0 and 1 of its own gets them too, along its edges.
        FrameLine* line = new FrameLine(&window, t);
        line->SetBorderColor(i == 1 ? kGreyLine : kLightLine);
        line->show();
        (*array)[i] = line;
      }
  const int W = window.width() * t, H = window.height() * t;
  lines.Line1[2]->SetEnds(30, 0, 30, H - 60);
  lines.Line1[2]->SetBorderColor(kLightLine);
  lines.Line1[3]->SetEnds(W - 30, 15, W - 30, H - 30);
  lines.Line1[3]->SetBorderColor(kGreyLine);
  lines.Line2[2]->SetEnds(30, 30, W - 60, 30);
  lines.Line2[2]->SetBorderColor(kLightLine);
  lines.Line2[3]->SetEnds(20, H - 30, W - 15, H - 30);
  lines.Line2[3]->SetBorderColor(kGreyLine);
  for (int i = 0; i < 2; ++i) {
    FrameLine* v = lines.Line1[i];
    v->SetEnds(v->X1, v->Y1, v->X2, H);
    FrameLine* h = lines.Line2[i];
    h->SetEnds(h->X1, h->Y1, W - 30, h->Y2);
  }
  FrameLine* bottom = lines.Line2[1];
  bottom->SetEnds(bottom->X1, H - 15, bottom->X2, H - 15);
  FrameLine* right = lines.Line1[1];
  right->SetEnds(W - 15, right->Y1, W - 15, right->Y2);
  for (auto* array : {&lines.Line1, &lines.Line2})
    for (FrameLine* line : *array) line->raise();
}

}  // namespace table
