// One-line help for the control under the mouse, as the dialogs show it in
// their status line while the user moves the mouse.
//
// A dialog handles WM_SETCURSOR: its wParam names the window under the mouse.
// Disabled controls take no mouse input, so over them Windows names the
// dialog itself; ControlUnderMouse then finds the control at the cursor, so
// that a greyed button still explains itself.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace winui {

struct StatusHelpEntry {
    int controlId;
    UINT stringId;
};

// The child control of `dialog` under the mouse, given the window that
// WM_SETCURSOR reported. Group boxes are frames, not controls: they never count.
HWND ControlUnderMouse(HWND dialog, HWND reported);

// The string id for the control `under`, or `fallback` when the table has none.
UINT StatusHelpFor(HWND dialog, HWND under, std::initializer_list<StatusHelpEntry> table, UINT fallback);

// Sets a control's text only when it differs: the status line is refreshed on
// every mouse move and would flicker otherwise.
void SetTextIfChanged(HWND control, const char* text);

}  // namespace winui
