#pragma once
// Input: the one place where key and mouse input becomes messages. The
// toolkit's events are translated here (TranslateQtEvent) and tests drive the
// same functions, so both see the same sequence:
//   a key stroke:   [dialog-key step] KEYDOWN, [dialog-char step] CHAR, KEYUP
//                   (SYSKEYDOWN, SYSCHAR, SYSKEYUP while Alt is held);
//   a click:        LBUTTONDOWN, LBUTTONUP; a double click adds DBLCLK, UP;
//   mouse moves:    CM_MOUSELEAVE / CM_MOUSEENTER when the control under the
//                   mouse changes, then MOUSEMOVE and the hint machinery.
// Every entry point runs inside the application's exception boundary.
#include "platform/controls/Controls.h"

class QEvent;

namespace Input {

// Keys go to the focused control, or to the active form when none has it.
// KeyDown answers true when the dialog keyboard took the key (no character
// follows then).
bool KeyDown(unsigned vk, TShiftState shift = 0, bool extended = false);
// The character's key data carries the scan code of the key that made it:
// `vk` when given, else the main-block key of that character.
void Char(QChar ch, bool alt = false, unsigned vk = 0);
void KeyUp(unsigned vk, TShiftState shift = 0, bool extended = false);
// The whole stroke: down, the character the key makes, up.
void KeyStroke(unsigned vk, TShiftState shift = 0);
// The character a key makes with the shift state: letters and digits,
// Ctrl+letter as 1..26, Ctrl+Enter as 10, Enter 13, Escape 27, Tab 9,
// Backspace 8 (127 with Ctrl), keypad operators; a null character for none.
QChar CharForKey(unsigned vk, TShiftState shift);
// Keys the keyboard reports as extended (navigation block, keypad divide).
bool IsExtendedKey(unsigned vk);

// Mouse input at client point (x, y) of `c`; a control holding the capture
// receives it instead, in its own coordinates.
void MouseDown(TControl* c, TMouseButton button, int x, int y, TShiftState shift = 0);
void MouseUp(TControl* c, TMouseButton button, int x, int y, TShiftState shift = 0);
void Click(TControl* c, int x, int y, TMouseButton button = mbLeft, TShiftState shift = 0);
void DoubleClick(TControl* c, int x, int y, TShiftState shift = 0);
void MouseMove(TControl* c, int x, int y, TShiftState shift = 0);
// The mouse left every control of the program.
void MouseLeave();
// Turns the wheel by `delta` (120 a notch; positive away from the user).
void Wheel(TControl* c, int delta, TShiftState shift = 0);

// Translates one toolkit event for the form's window; true when it was used.
bool TranslateQtEvent(TCustomForm* form, QEvent* event);
// The virtual key of a toolkit key code (0 when it has none).
unsigned VkFromQtKey(int qtKey, bool keypad);

}  // namespace Input
