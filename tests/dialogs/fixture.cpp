#include "fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace dlgtest {

using namespace guitest;

std::string PixalonExe() { return ExeDir() + "\\pixalon.exe"; }
std::string HostExe() { return ExeDir() + "\\dialog_host.exe"; }

Process Start(const std::string& exe, const std::string& args)
{
    Process p;
    EXPECT_TRUE(p.Start(exe, args, ExeDir())) << exe << " " << args;
    return p;
}

HWND WaitForAnyMessageBox(DWORD pid, Ms timeout)
{
    // A message box: its text (id 0xFFFF, which the program's own dialogs
    // also give their labels), an icon and a few buttons, nothing more.
    auto isBox = [](HWND w) {
        int children = 0;
        for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++children;
        return Control(w, 0xFFFF) && children <= 6;
    };
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : FindTopWindows({"", "#32770", pid}))
                if (isBox(w)) found = w;
            return found != nullptr;
        },
        timeout);
    return found;
}

bool MoveMouseOver(HWND dialog, int id)
{
    RECT rc;
    HWND c = Control(dialog, id);
    if (!c || !GetWindowRect(c, &rc)) return false;
    return SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2) != 0;
}

bool MoveMouseOverNothing(HWND dialog)
{
    POINT pt{2, 2};
    return ClientToScreen(dialog, &pt) && SetCursorPos(pt.x, pt.y);
}

bool MouseClick(HWND wnd, int x, int y, bool right)
{
    POINT pt{x, y};
    if (!ClientToScreen(wnd, &pt) || !SetCursorPos(pt.x, pt.y)) return false;
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    return SendInput(2, in, sizeof(INPUT)) == 2;
}

int ExitValue(const Process& p) { return static_cast<int>(p.ExitCode()); }

void Shot(HWND wnd, const std::string& name)
{
    DWORD_PTR r = 0;
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    SendMessageTimeoutA(wnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
    // The window has painted when it answers a message sent after the redraw.
    RedrawWindow(wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageTimeoutA(wnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
    const std::string dir = ExeDir() + "\\..\\screenshots";
    CreateDirectoryA(dir.c_str(), nullptr);
    CreateDirectoryA((dir + "\\dialogs").c_str(), nullptr);
    EXPECT_TRUE(SaveWindowShot(wnd, dir + "\\dialogs\\" + name + ".png")) << name;
}

HWND WaitForMainDialog(DWORD pid) { return WaitForDialogWith(pid, 1023); }

}  // namespace dlgtest

namespace dlgtest {

namespace {

// 32-bit top-down pixels of a device context area.
std::vector<DWORD> Pixels(HDC source, int x, int y, int w, int h)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP dib = CreateDIBSection(memory, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, w, h, source, x, y, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> out(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + static_cast<size_t>(w) * h);
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    for (DWORD& p : out) p &= 0xFFFFFF;
    return out;
}

}  // namespace

bool ShowsBitmap(HWND wnd, UINT bitmapId)
{
    static HMODULE pixres = LoadLibraryA("PIXRES.DLL");
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(pixres, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, 0));
    RECT rc;
    if (!bitmap || !GetWindowRect(wnd, &rc)) return false;
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    HDC screen = GetDC(nullptr);
    HDC picture = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(picture, bitmap);
    const std::vector<DWORD> expected = Pixels(picture, 0, 0, info.bmWidth, info.bmHeight);
    SelectObject(picture, old);
    DeleteDC(picture);
    DeleteObject(bitmap);
    const int x = rc.left + ((rc.right - rc.left) - info.bmWidth) / 2;
    const int y = rc.top + ((rc.bottom - rc.top) - info.bmHeight) / 2;
    const std::vector<DWORD> shown = Pixels(screen, x, y, info.bmWidth, info.bmHeight);
    ReleaseDC(nullptr, screen);
    return shown == expected;
}

HWND FocusOf(HWND wnd)
{
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(wnd, nullptr), &gti)) return nullptr;
    return gti.hwndFocus;
}

}  // namespace dlgtest
