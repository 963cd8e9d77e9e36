#include "app/Help.h"

#include <fstream>
#include <sstream>

#include "resources/resource.h"
#include "winui/Guard.h"
#include "winui/Resources.h"

namespace {

constexpr int kEditId = 100;
constexpr int kWidth = 560;
constexpr int kHeight = 600;

HWND g_window = nullptr;
WNDPROC g_editProc = nullptr;

// The edit control wants CR LF line ends; the file may have plain LF.
std::string ToWindowsLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

bool ReadGuide(std::string& text)
{
    std::ifstream in(HelpFilePath(), std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = ToWindowsLineEnds(buffer.str());
    return true;
}

std::string FirstLine(const std::string& text)
{
    const size_t end = text.find_first_of("\r\n");
    return text.substr(0, end);
}

void ReportMissingGuide(HWND from)
{
    char* system = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   ERROR_FILE_NOT_FOUND, 0, reinterpret_cast<char*>(&system), 0, nullptr);
    std::string text = HelpFilePath() + "\n\n" + (system ? system : "");
    if (system) LocalFree(system);
    MessageBoxA(from, text.c_str(), winui::LoadText(IDS_APP_TITLE).c_str(), MB_ICONEXCLAMATION);
}

// Esc closes the guide, as it closes a dialog.
LRESULT CALLBACK EditProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_KEYDOWN && wp == VK_ESCAPE) {
        DestroyWindow(GetParent(wnd));
        return 0;
    }
    if (msg == WM_GETDLGCODE) return CallWindowProcA(g_editProc, wnd, msg, wp, lp) & ~DLGC_HASSETSEL;
    return CallWindowProcA(g_editProc, wnd, msg, wp, lp);
}

LRESULT CALLBACK GuideProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return winui::Guarded<LRESULT>(0, [&]() -> LRESULT {
        switch (msg) {
        case WM_SIZE:
            MoveWindow(GetDlgItem(wnd, kEditId), 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
            return 0;
        case WM_SETFOCUS:
            SetFocus(GetDlgItem(wnd, kEditId));
            return 0;
        case WM_DESTROY:
            if (g_window == wnd) g_window = nullptr;
            return 0;
        default: return DefWindowProcA(wnd, msg, wp, lp);
        }
    });
}

bool RegisterGuideClass(HINSTANCE instance)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(instance, kHelpWindowClass, &wc)) return true;
    wc = WNDCLASSEXA{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &GuideProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.hIcon = winui::LoadResourceIcon(IDI_APP);
    wc.hIconSm = winui::LoadResourceIcon(IDI_APP, true);
    wc.lpszClassName = kHelpWindowClass;
    return RegisterClassExA(&wc) != 0;
}

}  // namespace

std::string HelpFilePath()
{
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n < MAX_PATH ? n : 0);
    const size_t slash = folder.rfind('\\');
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    return folder + kHelpFileName;
}

HWND HelpWindow() { return g_window; }

void ShowHelp(HWND from)
{
    if (g_window) {
        if (IsIconic(g_window)) ShowWindow(g_window, SW_RESTORE);
        SetForegroundWindow(g_window);
        return;
    }
    std::string text;
    if (!ReadGuide(text)) {
        ReportMissingGuide(from);
        return;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterGuideClass(instance)) return;

    // Beside the dialog that asked, where the user is looking.
    RECT asking{};
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    if (from && GetWindowRect(from, &asking)) {
        x = asking.left + 24;
        y = asking.top + 24;
    }
    HWND wnd = CreateWindowExA(0, kHelpWindowClass, FirstLine(text).c_str(), WS_OVERLAPPEDWINDOW, x, y, kWidth,
                               kHeight, nullptr, nullptr, instance, nullptr);
    if (!wnd) return;
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                                0, 0, 0, 0, wnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), instance,
                                nullptr);
    if (!edit) {
        DestroyWindow(wnd);
        return;
    }
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    SendMessageA(edit, EM_LIMITTEXT, 0, 0);
    SetWindowTextA(edit, text.c_str());
    g_editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditProc)));
    g_window = wnd;

    RECT client{};
    GetClientRect(wnd, &client);
    MoveWindow(edit, 0, 0, client.right, client.bottom, FALSE);
    ShowWindow(wnd, SW_SHOWNORMAL);
    SetForegroundWindow(wnd);
    SetFocus(edit);
}

void CloseHelp()
{
    if (g_window) DestroyWindow(g_window);
}
