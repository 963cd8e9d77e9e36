#include "app/WelcomeDlg.h"

#include <commctrl.h>

#include "app/Welcome.h"
#include "resources/resource.h"
#include "winui/Guard.h"
#include "winui/Resources.h"

namespace {

constexpr UINT_PTR kCloseTimer = 2001;
constexpr UINT kCloseAfterMs = 10000;

// The window's frame around the picture: 3 pixels each side and the bottom
// strip's border.
constexpr int kFrameWidth = 6;
constexpr int kFrameHeight = 8;
constexpr int kButtonMargin = 12;

SIZE BitmapSize(UINT id)
{
    SIZE size{};
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(winui::ResourceModule(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
    if (!bitmap) return size;
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    DeleteObject(bitmap);
    return {info.bmWidth, info.bmHeight};
}

RECT ChildRect(HWND dialog, HWND child)
{
    RECT rc{};
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

}  // namespace

// ------------------------------------------------------------ CBitmapStatic

CBitmapStatic::~CBitmapStatic()
{
    if (wnd_) RemoveWindowSubclass(wnd_, &CBitmapStatic::Proc, 0);
}

void CBitmapStatic::Subclass(HWND control)
{
    if (wnd_) RemoveWindowSubclass(wnd_, &CBitmapStatic::Proc, 0);
    Attach(control);
    if (control) SetWindowSubclass(control, &CBitmapStatic::Proc, 0, reinterpret_cast<DWORD_PTR>(this));
}

UINT CBitmapStatic::BitmapId(std::int32_t kind)
{
    switch (kind) {
    case kAboutPicture: return IDB_ABOUT_PICTURE;
    case kStartupCaption: return IDB_STARTUP_CAPTION;
    default: return IDB_WELCOME_PICTURE;
    }
}

LRESULT CALLBACK CBitmapStatic::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self)
{
    try {
        auto* control = reinterpret_cast<CBitmapStatic*>(self);
        switch (msg) {
        case WM_PAINT:
            control->Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the picture covers everything
        case WM_NCDESTROY:
            RemoveWindowSubclass(wnd, &CBitmapStatic::Proc, 0);
            control->Attach(nullptr);
            break;
        default: break;
        }
    } catch (...) {
        winui::ReportUnexpectedError();
        if (msg == WM_PAINT) ValidateRect(wnd, nullptr);
        if (msg != WM_NCDESTROY) return 0;
    }
    return DefSubclassProc(wnd, msg, wp, lp);
}

void CBitmapStatic::Paint() const
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd_, &ps);
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(winui::ResourceModule(), MAKEINTRESOURCEA(BitmapId(Kind)), IMAGE_BITMAP, 0, 0, 0));
    if (bitmap) {
        RECT rc{};
        GetClientRect(wnd_, &rc);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(dc, 0, 0, rc.right, rc.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
        DeleteObject(bitmap);
    }
    EndPaint(wnd_, &ps);
}

// --------------------------------------------------------------- CWelcomeDlg

CWelcomeDlg::CWelcomeDlg(bool startupMode, HWND parent)
    : winui::Dialog(IDD_WELCOME, parent), StartupMode(startupMode)
{
}

void CWelcomeDlg::DoDataExchange(winui::DataExchange& dx) { dx.Check(IDC_WELCOME_SHOW_ON_STARTUP, DisplayOnStartup); }

bool CWelcomeDlg::Dispatch(const winui::Message& m, LRESULT& result)
{
    static const winui::MessageMap<CWelcomeDlg> map{
        winui::OnMessage(WM_SHOWWINDOW, &CWelcomeDlg::OnShowWindow),
        winui::OnMessage(WM_TIMER, &CWelcomeDlg::OnTimer),
        winui::OnMessage(WM_LBUTTONUP, &CWelcomeDlg::OnButtonUp),
        winui::OnMessage(WM_RBUTTONUP, &CWelcomeDlg::OnButtonUp),
    };
    return map.Dispatch(*this, m, result) || winui::Dialog::Dispatch(m, result);
}

bool CWelcomeDlg::OnInitDialog()
{
    winui::Dialog::OnInitDialog();
    picture_.Subclass(Item(IDC_WELCOME_PICTURE));
    caption_.Subclass(Item(IDC_WELCOME_CAPTION));
    picture_.Kind = StartupMode ? CBitmapStatic::kStartupPicture : CBitmapStatic::kAboutPicture;
    caption_.Kind = CBitmapStatic::kStartupCaption;
    FitToPicture();
    return true;
}

void CWelcomeDlg::FitToPicture()
{
    const SIZE picture = BitmapSize(CBitmapStatic::BitmapId(picture_.Kind));
    if (picture.cx <= 0 || picture.cy <= 0) return;
    RECT window{};
    GetWindowRect(Handle(), &window);
    const int width = picture.cx + kFrameWidth;
    const int height = picture.cy + kFrameHeight;
    SetWindowPos(Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The picture control sized itself to the template's picture; make it the
    // picture's size whichever of the two is shown.
    SetWindowPos(picture_.Handle(), nullptr, 0, 0, picture.cx, picture.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    HWND ok = Item(IDOK);
    const RECT okRect = ChildRect(Handle(), ok);
    const int okWidth = okRect.right - okRect.left;
    const int okHeight = okRect.bottom - okRect.top;
    const int okLeft = width - okWidth - kButtonMargin;
    const int okTop = height - okHeight - kButtonMargin;
    SetWindowPos(ok, nullptr, okLeft, okTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    HWND check = Item(IDC_WELCOME_SHOW_ON_STARTUP);
    const RECT checkRect = ChildRect(Handle(), check);
    SetWindowPos(check, nullptr, checkRect.left, okTop + 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT captionRect = ChildRect(Handle(), caption_.Handle());
    SetWindowPos(caption_.Handle(), nullptr, captionRect.left, okTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CWelcomeDlg::OnShowWindow(WPARAM shown, LPARAM)
{
    const LRESULT result = Default();
    if (shown && StartupMode && !timer_) timer_ = SetTimer(Handle(), kCloseTimer, kCloseAfterMs, nullptr);
    return result;
}

LRESULT CWelcomeDlg::OnTimer(WPARAM id, LPARAM)
{
    if (id != kCloseTimer) return Default();
    KillTimer(Handle(), kCloseTimer);
    timer_ = 0;
    EndDialog(1);
    return 0;
}

LRESULT CWelcomeDlg::OnButtonUp(WPARAM, LPARAM)
{
    if (!StartupMode) return Default();
    EndDialog(1);
    return 0;
}

int RunWelcomeScreen(bool startupMode, int displayOnStartup)
{
    CWelcomeDlg welcome(startupMode, nullptr);
    welcome.DisplayOnStartup = displayOnStartup;
    welcome.DoModal();
    return welcome.DisplayOnStartup;
}
