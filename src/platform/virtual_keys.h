#pragma once
// Qt key events as the program's key tables number them: virtual-key codes
// and the shift state (1 Shift, 2 Ctrl, 4 Alt).

#include <Qt>

class QKeyEvent;

namespace platform {

constexpr int kShiftMask = 1;
constexpr int kCtrlMask = 2;
constexpr int kAltMask = 4;

// 0 for a key the program has no code for.
int VirtualKeyCode(int qtKey);
int ShiftState(Qt::KeyboardModifiers modifiers);

}  // namespace platform
