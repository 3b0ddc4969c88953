#include "platform/key_translator.h"

#include <QKeyEvent>

namespace platform {

namespace {

int VirtualKeyCode(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
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
