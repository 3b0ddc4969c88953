#include "platform/keep_on_top.h"

#include <gtest/gtest.h>

#include <QWidget>

using namespace platform;

TEST(KeepOnTopTest, TheFlagActsOnlyWhenTheWindowIsHandedOverAndAVisibleWindowStaysShown) {
  QWidget window;
  window.setGeometry(40, 50, 200, 100);
  window.show();
  Class1 keeper;
  EXPECT_FALSE(keeper.OnTop());
  keeper.TopForm(&window);  // a fresh object leaves the window in the normal order
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

  keeper.SetOnTop(true);  // writing the flag alone changes nothing
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  keeper.TopForm(&window);
  keeper.TopForm(&window);  // twice keeps it on top
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.geometry().size(), QSize(200, 100));

  keeper.SetOnTop(false);
  keeper.TopForm(&window);
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(window.isVisible());

  QWidget hidden;
  keeper.SetOnTop(true);
  keeper.TopForm(&hidden);  // a hidden window is not shown by it
  EXPECT_TRUE(hidden.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_FALSE(hidden.isVisible());
  keeper.TopForm(nullptr);
}
