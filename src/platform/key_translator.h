#pragma once
// Qt key events as the program's key tables know them: the window system's
// virtual-key codes and a shift state of 1 (Shift), 2 (Ctrl) and 4 (Alt).
// The keypad flag and the Meta key are not part of the shift state.

#include <Qt>

class QKeyEvent;

namespace platform {

constexpr int kShiftMask = 1;
constexpr int kCtrlMask = 2;
constexpr int kAltMask = 4;

struct VirtualKey {
  int KeyCode = 0;  // 0: the key has no code the program knows
  int Shift = 0;
};

VirtualKey TranslateKey(int qtKey, Qt::KeyboardModifiers modifiers);
VirtualKey TranslateKey(const QKeyEvent& event);

}  // namespace platform
