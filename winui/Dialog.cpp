#include "winui/Dialog.h"

#include <cstring>

#include "winui/Guard.h"
#include "winui/Resources.h"

namespace winui {

namespace {

// The dialog object whose window the calling thread is about to create. The
// creation hook hands it the first dialog window that appears.
thread_local Dialog* t_pending = nullptr;
thread_local HHOOK t_hook = nullptr;
thread_local int t_hookUsers = 0;

bool IsDialogClass(HWND wnd)
{
    char name[16] = {};
    return GetClassNameA(wnd, name, sizeof name) > 0 && std::strcmp(name, "#32770") == 0;
}

}  // namespace

// Keeps the hook installed and the object pending for the time of one
// creation (for a modal dialog: its whole run). Scopes nest; the hook is one
// per thread.
class Dialog::CreationScope {
public:
    explicit CreationScope(Dialog* dialog) : previous_(t_pending)
    {
        if (t_hookUsers == 0)
            t_hook = SetWindowsHookExA(WH_CBT, &Dialog::CreationHook, nullptr, GetCurrentThreadId());
        ++t_hookUsers;
        t_pending = dialog;
    }
    ~CreationScope()
    {
        t_pending = previous_;
        if (--t_hookUsers == 0 && t_hook) {
            UnhookWindowsHookEx(t_hook);
            t_hook = nullptr;
        }
    }
    bool Hooked() const { return t_hook != nullptr; }

private:
    Dialog* previous_;
};

Dialog::Dialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog()
{
    // A window that outlives its object would call into freed memory.
    if (wnd_) {
        HWND wnd = wnd_;
        Detach();
        DestroyWindow(wnd);
    }
}

INT_PTR Dialog::DoModal()
{
    modal_ = true;
    CreationScope scope(this);
    if (!scope.Hooked()) return -1;
    return DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(templateId_), parent_, &Dialog::DialogProc, 0);
}

bool Dialog::Create()
{
    modal_ = false;
    CreationScope scope(this);
    if (!scope.Hooked()) return false;
    return CreateDialogParamA(ResourceModule(), MAKEINTRESOURCEA(templateId_), parent_, &Dialog::DialogProc, 0) !=
           nullptr;
}

void Dialog::EndDialog(INT_PTR result)
{
    if (!wnd_) return;
    if (modal_)
        ::EndDialog(wnd_, result);
    else
        DestroyWindow(wnd_);
}

bool Dialog::UpdateData(bool saving)
{
    DataExchange dx(wnd_, saving);
    DoDataExchange(dx);
    return dx.Ok();
}

Dialog* Dialog::FromHandle(HWND wnd)
{
    if (!wnd || reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) != &Dialog::WindowProc)
        return nullptr;
    return reinterpret_cast<Dialog*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
}

void Dialog::DoDataExchange(DataExchange&) {}

int Dialog::OnCreate(CREATESTRUCTA&) { return 0; }

bool Dialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void Dialog::OnOK()
{
    if (UpdateData(true)) EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

bool Dialog::Dispatch(const Message&, LRESULT&) { return false; }

LRESULT Dialog::Default() { return CallWindowProcA(super_, wnd_, current_.msg, current_.wp, current_.lp); }

void Dialog::Attach(HWND wnd)
{
    wnd_ = wnd;
    SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    super_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Dialog::WindowProc)));
}

void Dialog::Detach()
{
    if (!wnd_) return;
    SetWindowLongPtrA(wnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super_));
    SetWindowLongPtrA(wnd_, GWLP_USERDATA, 0);
    wnd_ = nullptr;
}

LRESULT Dialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    // Handlers may send messages to their own window: keep the outer message
    // for Default() once the inner one is done, also when a handler throws.
    struct Restore {
        Message& slot;
        Message saved;
        ~Restore() { slot = saved; }
    } restore{current_, current_};
    current_ = {msg, wp, lp};

    LRESULT result = 0;
    if (msg == WM_CREATE) {
        result = Default();
        if (result != -1) result = OnCreate(*reinterpret_cast<CREATESTRUCTA*>(lp)) == -1 ? -1 : 0;
        return result;
    }
    if (msg == WM_INITDIALOG) return OnInitDialog() ? TRUE : FALSE;
    if (Dispatch(current_, result)) return result;
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        if (LOWORD(wp) == IDOK) {
            OnOK();
            return 0;
        }
        if (LOWORD(wp) == IDCANCEL) {
            OnCancel();
            return 0;
        }
    }
    return Default();
}

LRESULT CALLBACK Dialog::WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!self) return DefDlgProcA(wnd, msg, wp, lp);
    LRESULT result = 0;
    try {
        result = self->HandleMessage(msg, wp, lp);
    } catch (...) {
        ReportUnexpectedError();
        if (msg == WM_CREATE) result = -1;
        // An unpainted window would ask again at once, for ever.
        if (msg == WM_PAINT) ValidateRect(wnd, nullptr);
        // The window must still be released below.
        if (msg == WM_NCDESTROY) GuardedCall([&] { CallWindowProcA(self->super_, wnd, msg, wp, lp); });
    }
    if (msg == WM_NCDESTROY) {
        self->Detach();
        GuardedCall([self] { self->OnFinalMessage(); });
    }
    return result;
}

// The dialog manager wants a dialog procedure; every message has already been
// through WindowProc by the time it gets here, so there is nothing left to do.
INT_PTR CALLBACK Dialog::DialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

LRESULT CALLBACK Dialog::CreationHook(int code, WPARAM wp, LPARAM lp)
{
    GuardedCall([&] {
        if (code == HCBT_CREATEWND && t_pending) {
            HWND wnd = reinterpret_cast<HWND>(wp);
            if (IsDialogClass(wnd)) {
                Dialog* dialog = t_pending;
                t_pending = nullptr;
                dialog->Attach(wnd);
            }
        }
    });
    return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace winui
