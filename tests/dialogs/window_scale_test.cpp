// Windows keep their sizes in twips and show them at the screen's real
// scale. This runs on the usual 96 dots per inch and again on a screen of
// 144 (tests/CMakeLists.txt), where a twip is a tenth of a pixel.
#include <gtest/gtest.h>

#include "dialogs/frm_save.h"
#include "dialogs/menu_dialogs.h"
#include "dialogs/small_dialogs.h"
#include "dialogs/started_program.h"
#include "platform/system.h"

namespace dialogs {
namespace {

TEST(WindowScale, EveryWindowConvertsTwipsAtTheScreensDotsPerInch) {
  EXPECT_EQ(platform::TwipsPerPixelAt(96), 15);
  EXPECT_EQ(platform::TwipsPerPixelAt(120), 12);
  EXPECT_EQ(platform::TwipsPerPixelAt(144), 10);
  EXPECT_EQ(platform::TwipsPerPixelAt(0), 15) << "an unknown resolution counts as 96";

  const int dpi = platform::ScreenLogicalDpi();
  if (const int expected = qEnvironmentVariableIntValue("MARROWDALE_TEST_DPI")) {
    ASSERT_EQ(dpi, expected);
  }
  const int tpp = platform::ScreenTwipsPerPixel();
  EXPECT_EQ(tpp, 1440 / dpi);
  EXPECT_EQ(platform::ReadScreenMetrics().TwipsPerPixel(), tpp) << "the table and the dialogs agree";
  EXPECT_EQ(platform::TwipsToPixels(4600), 4600 / tpp);
  EXPECT_EQ(platform::PixelsToTwips(46), 46 * tpp);

  ProgramRig rig;
  ASSERT_TRUE(rig.ok);
  const play::MenuWindowParts parts = rig.program->MenuWindowsParts();
  FrmSave save(SaveParts(parts, false));
  EXPECT_EQ(save.size(), QSize(4600 / tpp, 6300 / tpp));
  FrmSpeed speed(parts.player, parts.playerChanges, parts.table);
  EXPECT_EQ(speed.width(), 4200 / tpp);
  FrmMatch match(parts.scores, parts.ui, parts.table);
  EXPECT_EQ(match.width(), 5400 / tpp);
}

}  // namespace
}  // namespace dialogs
