#include "guitest.h"

#include <commctrl.h>

#include <thread>

namespace guitest {

bool WaitUntil(const std::function<bool()>& condition, Ms timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(Ms(20));
    }
}

// ---- Process -----------------------------------------------------------------

Process::~Process() { Kill(); }

Process::Process(Process&& other) noexcept : pi_(other.pi_) { other.pi_ = {}; }

Process& Process::operator=(Process&& other) noexcept
{
    if (this != &other) {
        Kill();
        pi_ = other.pi_;
        other.pi_ = {};
    }
    return *this;
}

bool Process::Start(const std::string& exe, const std::string& args, const std::string& workdir)
{
    Kill();
    std::string cmd = "\"" + exe + "\"";
    if (!args.empty()) cmd += " " + args;
    std::vector<char> buf(cmd.begin(), cmd.end());
    buf.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string app = exe;
    if (!workdir.empty() && exe.find(':') == std::string::npos && exe.rfind('\\', 0) != 0)
        app = workdir + "\\" + exe;
    return CreateProcessA(app.c_str(), buf.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workdir.empty() ? nullptr : workdir.c_str(), &si, &pi_) != 0;
}

bool Process::Running() const
{
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Process::WaitExit(Ms timeout)
{
    if (!pi_.hProcess) return true;
    return WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (pi_.hProcess) GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

void Process::Kill()
{
    if (!pi_.hProcess) return;
    if (Running()) {
        TerminateProcess(pi_.hProcess, 9999);
        WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
    pi_ = {};
}

// ---- Windows -----------------------------------------------------------------

namespace {

struct EnumState {
    const WindowQuery* q;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND wnd, LPARAM param)
{
    auto* st = reinterpret_cast<EnumState*>(param);
    const WindowQuery& q = *st->q;
    if (!q.anyVisibility && !IsWindowVisible(wnd)) return TRUE;
    if (q.pid) {
        DWORD pid = 0;
        GetWindowThreadProcessId(wnd, &pid);
        if (pid != q.pid) return TRUE;
    }
    if (!q.className.empty() && ClassName(wnd) != q.className) return TRUE;
    if (!q.caption.empty() && WindowText(wnd) != q.caption) return TRUE;
    st->found.push_back(wnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> FindTopWindows(const WindowQuery& q)
{
    EnumState st{&q, {}};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&st));
    return st.found;
}

HWND WaitForWindow(const WindowQuery& q, Ms timeout)
{
    HWND found = nullptr;
    WaitUntil([&] {
        auto all = FindTopWindows(q);
        if (!all.empty()) found = all.front();
        return found != nullptr;
    }, timeout);
    return found;
}

bool WaitForNoWindow(const WindowQuery& q, Ms timeout)
{
    return WaitUntil([&] { return FindTopWindows(q).empty(); }, timeout);
}

HWND Control(HWND dialog, int id) { return dialog ? GetDlgItem(dialog, id) : nullptr; }

std::string WindowText(HWND wnd)
{
    if (!wnd) return {};
    // WM_GETTEXT is marshalled across processes; the timeout keeps a hung
    // target from hanging the test.
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutA(wnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &len)) return {};
    std::string text(len + 1, '\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutA(wnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 5000, &got))
        return {};
    text.resize(got);
    return text;
}

std::string ControlText(HWND dialog, int id) { return WindowText(Control(dialog, id)); }

std::string ClassName(HWND wnd)
{
    char name[256] = {};
    if (wnd) GetClassNameA(wnd, name, sizeof name);
    return name;
}

bool IsEnabled(HWND dialog, int id)
{
    HWND c = Control(dialog, id);
    return c && IsWindowEnabled(c);
}

bool IsVisible(HWND dialog, int id)
{
    HWND c = Control(dialog, id);
    return c && IsWindowVisible(c);
}

int CheckState(HWND dialog, int id)
{
    HWND c = Control(dialog, id);
    if (!c) return -1;
    DWORD_PTR state = 0;
    SendMessageTimeoutA(c, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return static_cast<int>(state);
}

std::string MessageBoxText(HWND box) { return ControlText(box, 0xFFFF); }

HWND WaitForDialogWith(DWORD pid, int controlId, Ms timeout)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : FindTopWindows({"", "#32770", pid}))
                if (Control(w, controlId)) found = w;
            return found != nullptr;
        },
        timeout);
    return found;
}

HWND WaitForMessageBox(DWORD pid, const std::string& text, Ms timeout)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : FindTopWindows({"", "#32770", pid}))
                if (Control(w, 0xFFFF) && MessageBoxText(w) == text) found = w;
            return found != nullptr;
        },
        timeout);
    return found;
}

std::string PixresString(UINT id)
{
    static HMODULE pixres = LoadLibraryA("PIXRES.DLL");
    char text[2048] = {};
    if (pixres) LoadStringA(pixres, id, text, sizeof text);
    return text;
}

bool ClickButton(HWND dialog, int id)
{
    HWND c = Control(dialog, id);
    if (!c || !IsWindowEnabled(c) || !IsWindowVisible(c)) return false;
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(c)) != 0;
}

bool TypeText(HWND dialog, int id, const std::string& text)
{
    HWND c = Control(dialog, id);
    if (!c || !IsWindowEnabled(c)) return false;
    DWORD_PTR r = 0;
    SendMessageTimeoutA(c, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 5000, &r);
    SendMessageTimeoutA(c, WM_CLEAR, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
    for (unsigned char ch : text)
        if (!PostMessageA(c, WM_CHAR, ch, 1)) return false;
    return WaitUntil([&] { return WindowText(c) == text; });
}

bool SendKey(HWND wnd, UINT vk)
{
    if (!wnd) return false;
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    HWND target = wnd;
    const DWORD thread = GetWindowThreadProcessId(wnd, nullptr);
    // The focus may be stale (a window that just went away) or, under Wine,
    // another thread's while this one is not yet active: use it only when it
    // is a live window of the same thread.
    if (GetGUIThreadInfo(thread, &gti) && gti.hwndFocus && IsWindow(gti.hwndFocus) &&
        GetWindowThreadProcessId(gti.hwndFocus, nullptr) == thread)
        target = gti.hwndFocus;
    const UINT scan = MapVirtualKeyA(vk, 0);
    return PostMessageA(target, WM_KEYDOWN, vk, 1 | (scan << 16)) &&
           PostMessageA(target, WM_KEYUP, vk, 1 | (scan << 16) | (3u << 30));
}

bool SelectComboItem(HWND dialog, int id, int index)
{
    HWND c = Control(dialog, id);
    if (!c || !IsWindowEnabled(c)) return false;
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(c, CB_SETCURSEL, index, 0, SMTO_ABORTIFHUNG, 5000, &r)) return false;
    if (static_cast<int>(r) != index) return false;
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(c)) != 0;
}

std::vector<std::string> ComboItems(HWND dialog, int id)
{
    // Read as wide text: Wine marshals CB_GETLBTEXT across processes in its
    // wide form whatever the caller asked for.
    std::vector<std::string> items;
    HWND c = Control(dialog, id);
    if (!c) return items;
    DWORD_PTR count = 0;
    SendMessageTimeoutW(c, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
    for (int i = 0; i < static_cast<int>(count); ++i) {
        DWORD_PTR len = 0;
        SendMessageTimeoutW(c, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 5000, &len);
        std::wstring w(len + 1, L'\0');
        DWORD_PTR got = 0;
        SendMessageTimeoutW(c, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(w.data()), SMTO_ABORTIFHUNG, 5000, &got);
        w.resize(static_cast<LONG_PTR>(got) < 0 ? 0 : got);
        std::string s(w.size() * 2 + 1, '\0');
        int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), s.data(),
                                    static_cast<int>(s.size()), nullptr, nullptr);
        s.resize(n > 0 ? n : 0);
        items.push_back(s);
    }
    return items;
}

int ComboSelection(HWND dialog, int id)
{
    HWND c = Control(dialog, id);
    if (!c) return -2;
    DWORD_PTR sel = 0;
    SendMessageTimeoutA(c, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &sel);
    return static_cast<int>(sel);
}

// ---- Screenshots -------------------------------------------------------------

namespace {

bool CaptureRect(const RECT& rc, const std::string& path)
{
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib) {
        HGDIOBJ old = SelectObject(mem, dib);
        ok = BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY) != 0;
        SelectObject(mem, old);
        if (ok) {
            GdiFlush();
            std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
            const auto* src = static_cast<const unsigned char*>(bits);
            for (size_t i = 0, n = static_cast<size_t>(w) * h; i < n; ++i) {
                rgb[i * 3 + 0] = src[i * 4 + 2];
                rgb[i * 3 + 1] = src[i * 4 + 1];
                rgb[i * 3 + 2] = src[i * 4 + 0];
            }
            ok = WritePng(path, w, h, rgb);
        }
        DeleteObject(dib);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

}  // namespace

bool SaveScreenshot(const std::string& pngPath)
{
    RECT rc{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return CaptureRect(rc, pngPath);
}

bool SaveWindowShot(HWND wnd, const std::string& pngPath)
{
    RECT rc;
    if (!wnd || !GetWindowRect(wnd, &rc)) return false;
    return CaptureRect(rc, pngPath);
}

std::string ExeDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of("\\/"));
}

}  // namespace guitest
