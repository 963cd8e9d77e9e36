// Thin wrappers around window handles: a window and the controls the dialogs
// use.
//
// A wrapper does not own its window and adds no state of its own: it is a
// handle with named operations, bound to a dialog's control by data exchange
// (DataExchange::Control) or by Attach. Copying one copies the handle.
//
// Controls that draw themselves (the bitmap button with its four faces) or
// keep per-item data (tree and list views) belong here too, as wrappers of
// the same kind; a self-drawing one receives its WM_DRAWITEM from the dialog's
// message map, which passes it on.
#pragma once

#include <windows.h>

#include <string>

namespace winui {

class Window {
public:
    Window() = default;
    explicit Window(HWND wnd) : wnd_(wnd) {}

    void Attach(HWND wnd) { wnd_ = wnd; }
    HWND Handle() const { return wnd_; }
    explicit operator bool() const { return wnd_ != nullptr; }

    std::string Text() const;
    void SetText(const std::string& text) const;
    void Enable(bool enable) const;
    bool IsEnabled() const;
    void Show(int command) const;
    bool IsVisible() const;
    void Focus() const;
    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
    bool Post(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;

protected:
    HWND wnd_ = nullptr;
};

class Static : public Window {
public:
    using Window::Window;
};

class Button : public Window {
public:
    using Window::Window;
    // 1 when checked, 0 otherwise (an indeterminate state reads as 0).
    int Checked() const;
    void SetChecked(bool checked) const;
};

class Edit : public Window {
public:
    using Window::Window;
    void SetLimit(int characters) const;
    void Select(int first, int last) const;
};

class ComboBox : public Window {
public:
    using Window::Window;
    // Index of the new item, or -1 when it could not be added.
    int Add(const std::string& text) const;
    void Clear() const;
    int Count() const;
    // Selected index, or -1 when nothing is selected.
    int Selection() const;
    void Select(int index) const;
    std::string ItemText(int index) const;
};

class ProgressBar : public Window {
public:
    using Window::Window;
    void SetRange(int low, int high) const;
    void SetPosition(int position) const;
    int Position() const;
};

}  // namespace winui
