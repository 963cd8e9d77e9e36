#include "winui/StatusHelp.h"

#include <cstring>
#include <string>
#include <vector>

#include "winui/Controls.h"

namespace winui {

namespace {

bool IsGroupBox(HWND wnd)
{
    char name[16] = {};
    if (GetClassNameA(wnd, name, sizeof name) <= 0 || _stricmp(name, "Button") != 0) return false;
    return (GetWindowLongA(wnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

}  // namespace

HWND ControlUnderMouse(HWND dialog, HWND reported)
{
    if (reported != dialog) return reported;
    POINT pt{};
    if (!GetCursorPos(&pt)) return dialog;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child) || IsGroupBox(child)) continue;
        RECT rc{};
        GetWindowRect(child, &rc);
        if (PtInRect(&rc, pt)) return child;
    }
    return dialog;
}

UINT StatusHelpFor(HWND dialog, HWND under, std::initializer_list<StatusHelpEntry> table, UINT fallback)
{
    if (!under || GetParent(under) != dialog) return fallback;
    const int id = GetDlgCtrlID(under);
    for (const StatusHelpEntry& e : table)
        if (e.controlId == id) return e.stringId;
    return fallback;
}

void SetTextIfChanged(HWND control, const char* text)
{
    if (Window(control).Text() != text) SetWindowTextA(control, text);
}

}  // namespace winui
