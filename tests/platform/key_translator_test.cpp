#include "platform/key_translator.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(KeyTranslator, KeysBecomeVirtualKeyCodesAndShiftStates) {
  const struct {
    int qtKey;
    Qt::KeyboardModifiers modifiers;
    int code, shift;
  } cases[] = {
      {Qt::Key_F2, Qt::NoModifier, 113, 0},
      {Qt::Key_F12, Qt::NoModifier, 123, 0},
      {Qt::Key_S, Qt::ControlModifier, 83, 2},
      {Qt::Key_Backspace, Qt::ControlModifier, 8, 2},
      {Qt::Key_Delete, Qt::NoModifier, 46, 0},
      {Qt::Key_Escape, Qt::AltModifier, 27, 4},
      {Qt::Key_Up, Qt::ControlModifier, 38, 2},
      {Qt::Key_End, Qt::NoModifier, 35, 0},
      {Qt::Key_F2, Qt::ControlModifier | Qt::ShiftModifier, 113, 3},
      {Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier, 77, 7},
      // The keypad flag and Meta are no part of the shift state.
      {Qt::Key_Down, Qt::KeypadModifier, 40, 0},
      {Qt::Key_F5, Qt::MetaModifier, 116, 0},
      // A modifier alone is a key of its own.
      {Qt::Key_Control, Qt::ControlModifier, 17, 2},
      {Qt::Key_Shift, Qt::ShiftModifier | Qt::ControlModifier, 16, 3},
      {Qt::Key_Eacute, Qt::NoModifier, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.qtKey);
    const VirtualKey vk = TranslateKey(c.qtKey, c.modifiers);
    EXPECT_EQ(vk.KeyCode, c.code);
    EXPECT_EQ(vk.Shift, c.shift);
  }
}

}  // namespace
}  // namespace platform
