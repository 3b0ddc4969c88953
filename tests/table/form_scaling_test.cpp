#include "table/form_scaling.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

using namespace table;

TEST(ScaleFactors, FollowTheScreenAndTheSizeToggle) {
  EXPECT_EQ(ScaleFactorsFor(kScaleFitScreen, 0, {}, 12000, 9000), (ScaleFactors{1.0, 1.0}));
  EXPECT_EQ(ScaleFactorsFor(kScaleFitScreen, 0, {}, 15360, 11520), (ScaleFactors{1.28, 1.28}));
  // 17281 twips and wider: fixed factors by the height, whatever the width.
  EXPECT_EQ(ScaleFactorsFor(kScaleFitScreen, 0, {}, 17281, 12959), (ScaleFactors{1.28, 1.28}));
  EXPECT_EQ(ScaleFactorsFor(kScaleFitScreen, 0, {}, 30000, 12960), (ScaleFactors{1.44, 1.44}));
  EXPECT_EQ(ScaleFactorsFor(kScaleToggle, kSizeLarger, {}, 0, 0), (ScaleFactors{1.25, 1.25}));
  EXPECT_EQ(ScaleFactorsFor(kScaleToggle, kSizeSmaller, {}, 0, 0), (ScaleFactors{0.8, 0.8}));
  const ScaleFactors kept{1.1, 0.9};
  EXPECT_EQ(ScaleFactorsFor(kScaleToggle, 7, kept, 0, 0), kept);
  EXPECT_EQ(ScaleFactorsFor(1, 0, kept, 15360, 11520), kept);
}

TEST(ScaleForm, ScalesControlsButLeavesTheAvatarCombosSizeAndLines) {
  QWidget window;
  window.resize(400, 300);
  auto* button = new QPushButton("Send", &window);
  button->setGeometry(40, 20, 80, 24);
  QFont f = button->font();
  f.setPointSizeF(10);
  button->setFont(f);
  auto* avatar = new QLabel(&window);
  avatar->setObjectName("imgAvatar");
  avatar->setGeometry(300, 200, 64, 64);
  auto* combo = new QComboBox(&window);
  combo->setGeometry(100, 100, 120, 22);
  FormLines lines;
  PlaceFormLines(window, lines, 15);

  FormScaling scaling;
  scaling.ScaleForm(window, kScaleToggle, kSizeLarger, 0, 0);
  EXPECT_EQ(window.size(), QSize(500, 375));
  EXPECT_EQ(button->geometry(), QRect(50, 25, 100, 30));
  EXPECT_DOUBLE_EQ(button->font().pointSizeF(), 12.5);
  EXPECT_EQ(avatar->geometry(), QRect(300, 200, 64, 64));
  EXPECT_EQ(combo->pos(), QPoint(125, 125));
  EXPECT_EQ(combo->width(), 120);

  // Larger then smaller comes back to the same size.
  scaling.ScaleForm(window, kScaleToggle, kSizeSmaller, 0, 0);
  EXPECT_EQ(window.size(), QSize(400, 300));
  EXPECT_EQ(button->geometry(), QRect(40, 20, 80, 24));
}

TEST(PlaceFormLines, OneSetOfLinesAlongTheCurrentEdges) {
  QWidget window;
  window.resize(200, 100);
  FormLines lines;
  PlaceFormLines(window, lines, 15);
  window.resize(300, 150);
  PlaceFormLines(window, lines, 15);
  EXPECT_EQ(window.findChildren<FrameLine*>().size(), 8);
  const int W = 300 * 15, H = 150 * 15;
  EXPECT_EQ(lines.Line1[3]->X1, W - 30);
  EXPECT_EQ(lines.Line1[3]->Y2, H - 30);
  EXPECT_EQ(lines.Line1[3]->BorderColor, 0xC0C0C0u);
  EXPECT_EQ(lines.Line2[2]->X2, W - 60);
  EXPECT_EQ(lines.Line2[2]->BorderColor, 0xE0E0E0u);
  EXPECT_EQ(lines.Line2[3]->Y1, H - 30);
  EXPECT_EQ(lines.Line1[0]->Y2, H);
  EXPECT_EQ(lines.Line2[1]->Y1, H - 15);
  EXPECT_EQ(lines.Line1[1]->X1, W - 15);
  // The lines stand inside the window, on its right edge.
  EXPECT_EQ(lines.Line1[1]->geometry().left(), 299);
}
