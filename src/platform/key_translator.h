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

// The virtual-key codes the translator gives, by name; letters and digits
// are their upper-case characters, F1..F24 run on from kVkF1.
constexpr int kVkNone = 0;  // the key has no code the program knows
constexpr int kVkBackspace = 8;
constexpr int kVkTab = 9;
constexpr int kVkReturn = 13;
constexpr int kVkShift = 16;
constexpr int kVkControl = 17;
constexpr int kVkAlt = 18;
constexpr int kVkPause = 19;
constexpr int kVkCapsLock = 20;
constexpr int kVkEscape = 27;
constexpr int kVkSpace = 32;
constexpr int kVkPageUp = 33;
constexpr int kVkPageDown = 34;
constexpr int kVkEnd = 35;
constexpr int kVkHome = 36;
constexpr int kVkLeft = 37;
constexpr int kVkUp = 38;
constexpr int kVkRight = 39;
constexpr int kVkDown = 40;
constexpr int kVkInsert = 45;
constexpr int kVkDelete = 46;
constexpr int kVk0 = '0';
constexpr int kVkA = 'A';
constexpr int kVkP = 'P';
constexpr int kVkR = 'R';
constexpr int kVkS = 'S';
constexpr int kVkX = 'X';
constexpr int kVkF1 = 112;
constexpr int kVkF2 = 113;
constexpr int kVkF3 = 114;
constexpr int kVkF4 = 115;
constexpr int kVkF5 = 116;
constexpr int kVkF6 = 117;
constexpr int kVkF7 = 118;
constexpr int kVkF8 = 119;
constexpr int kVkF9 = 120;
constexpr int kVkF10 = 121;
constexpr int kVkF11 = 122;
constexpr int kVkF12 = 123;

struct VirtualKey {
  int KeyCode = kVkNone;
  int Shift = 0;
};

VirtualKey TranslateKey(int qtKey, Qt::KeyboardModifiers modifiers);
VirtualKey TranslateKey(const QKeyEvent& event);

}  // namespace platform
