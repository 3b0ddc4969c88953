#include "platform/key_translator.h"

#include <QKeyEvent>

namespace platform {

namespace {

int VirtualKeyCode(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return kVkA + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return kVk0 + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return kVkF1 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace: return kVkBackspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return kVkTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kVkReturn;
    case Qt::Key_Shift: return kVkShift;
    case Qt::Key_Control: return kVkControl;
    case Qt::Key_Alt: return kVkAlt;
    case Qt::Key_Pause: return kVkPause;
    case Qt::Key_CapsLock: return kVkCapsLock;
    case Qt::Key_Escape: return kVkEscape;
    case Qt::Key_Space: return kVkSpace;
    case Qt::Key_PageUp: return kVkPageUp;
    case Qt::Key_PageDown: return kVkPageDown;
    case Qt::Key_End: return kVkEnd;
    case Qt::Key_Home: return kVkHome;
    case Qt::Key_Left: return kVkLeft;
    case Qt::Key_Up: return kVkUp;
    case Qt::Key_Right: return kVkRight;
    case Qt::Key_Down: return kVkDown;
    case Qt::Key_Insert: return kVkInsert;
    case Qt::Key_Delete: return kVkDelete;
    default: return kVkNone;
  }
}

}  // namespace

VirtualKey TranslateKey(int qtKey, Qt::KeyboardModifiers modifiers) {
  VirtualKey vk;
  vk.KeyCode = VirtualKeyCode(qtKey);
  if (modifiers & Qt::ShiftModifier) vk.Shift |= kShiftMask;
  if (modifiers & Qt::ControlModifier) vk.Shift |= kCtrlMask;
  if (modifiers & Qt::AltModifier) vk.Shift |= kAltMask;
  return vk;
}

VirtualKey TranslateKey(const QKeyEvent& event) { return TranslateKey(event.key(), event.modifiers()); }

}  // namespace platform
