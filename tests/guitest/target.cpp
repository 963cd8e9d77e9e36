// A tiny program for the harness's own test: one window with the kinds of
// controls the real dialogs have. Clicking "Done" ends it with exit code 7,
// Esc with 8; the check box and combo box report their state in the caption.
#include <windows.h>

#include <string>

namespace {

enum { kEdit = 100, kDone = 101, kCheck = 102, kCombo = 103, kLabel = 104 };

LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case kDone: PostQuitMessage(7); return 0;
        case IDCANCEL: PostQuitMessage(8); return 0;
        case kEdit:
            if (HIWORD(wp) == EN_CHANGE) {
                char text[256] = {};
                GetDlgItemTextA(wnd, kEdit, text, sizeof text);
                SetDlgItemTextA(wnd, kLabel, (std::string("typed:") + text).c_str());
            }
            return 0;
        case kCombo:
            if (HIWORD(wp) == CBN_SELCHANGE) {
                int sel = static_cast<int>(SendDlgItemMessageA(wnd, kCombo, CB_GETCURSEL, 0, 0));
                SetDlgItemTextA(wnd, kLabel, ("combo:" + std::to_string(sel)).c_str());
            }
            return 0;
        }
        break;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = inst;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "GuitestTarget";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&wc);
    HWND wnd = CreateWindowExA(0, "GuitestTarget", "Guitest Target", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE,
                               40, 40, 320, 200, nullptr, nullptr, inst, nullptr);
    auto child = [&](const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id) {
        CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, w, h, wnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr);
    };
    child("EDIT", "start", WS_BORDER | ES_AUTOHSCROLL, 10, 10, 180, 22, kEdit);
    child("BUTTON", "Done", BS_PUSHBUTTON, 200, 10, 90, 24, kDone);
    child("BUTTON", "Check me", BS_AUTOCHECKBOX, 10, 40, 180, 22, kCheck);
    child("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL, 10, 70, 180, 120, kCombo);
    child("STATIC", "label", 0, 10, 110, 280, 20, kLabel);
    EnableWindow(GetDlgItem(wnd, kCheck), FALSE);
    for (const char* s : {"alpha", "beta", "gamma"})
        SendDlgItemMessageA(wnd, kCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SetFocus(GetDlgItem(wnd, kEdit));

    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) {
            PostQuitMessage(8);
            continue;
        }
        if (!IsDialogMessageA(wnd, &m)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
    return static_cast<int>(m.wParam);
}
