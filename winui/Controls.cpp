#include "winui/Controls.h"

#include <commctrl.h>

#include <vector>

namespace winui {

std::string Window::Text() const
{
    if (!wnd_) return {};
    const int len = GetWindowTextLengthA(wnd_);
    if (len <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(len) + 1);
    const int got = GetWindowTextA(wnd_, buffer.data(), len + 1);
    return std::string(buffer.data(), got > 0 ? got : 0);
}

void Window::SetText(const std::string& text) const { SetWindowTextA(wnd_, text.c_str()); }
void Window::Enable(bool enable) const { EnableWindow(wnd_, enable ? TRUE : FALSE); }
bool Window::IsEnabled() const { return wnd_ && IsWindowEnabled(wnd_); }
void Window::Show(int command) const { ShowWindow(wnd_, command); }
bool Window::IsVisible() const { return wnd_ && IsWindowVisible(wnd_); }
void Window::Focus() const { SetFocus(wnd_); }
LRESULT Window::Send(UINT msg, WPARAM wp, LPARAM lp) const { return SendMessageA(wnd_, msg, wp, lp); }
bool Window::Post(UINT msg, WPARAM wp, LPARAM lp) const { return PostMessageA(wnd_, msg, wp, lp) != 0; }

int Button::Checked() const { return Send(BM_GETCHECK) == BST_CHECKED ? 1 : 0; }
void Button::SetChecked(bool checked) const { Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }

void Edit::SetLimit(int characters) const { Send(EM_LIMITTEXT, static_cast<WPARAM>(characters)); }
void Edit::Select(int first, int last) const { Send(EM_SETSEL, static_cast<WPARAM>(first), last); }

int ComboBox::Add(const std::string& text) const
{
    const LRESULT r = Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return r < 0 ? -1 : static_cast<int>(r);
}
void ComboBox::Clear() const { Send(CB_RESETCONTENT); }
int ComboBox::Count() const { return static_cast<int>(Send(CB_GETCOUNT)); }
int ComboBox::Selection() const
{
    const LRESULT r = Send(CB_GETCURSEL);
    return r == CB_ERR ? -1 : static_cast<int>(r);
}
void ComboBox::Select(int index) const { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }
std::string ComboBox::ItemText(int index) const
{
    const LRESULT len = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (len == CB_ERR || len <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(len) + 1);
    const LRESULT got = Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    return got == CB_ERR ? std::string() : std::string(buffer.data(), static_cast<size_t>(got));
}

void ProgressBar::SetRange(int low, int high) const { Send(PBM_SETRANGE32, static_cast<WPARAM>(low), high); }
void ProgressBar::SetPosition(int position) const { Send(PBM_SETPOS, static_cast<WPARAM>(position)); }
int ProgressBar::Position() const { return static_cast<int>(Send(PBM_GETPOS)); }

}  // namespace winui
