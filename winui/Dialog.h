// A dialog: one class per dialog template of the resource module.
//
// The template is run modally (DoModal) or modeless (Create). While the
// dialog window is being created, a creation hook ties it to its object and
// routes all its messages through the object, so that a dialog also sees
// WM_CREATE (the dialog manager never passes it to a dialog procedure) and
// can fail its own creation: OnCreate returning -1 makes DoModal return -1.
// Several dialogs do real work in OnCreate, including running other dialogs
// modally; that nests freely.
//
// Messages reach, in this order: the class's message map (Dispatch, see
// MessageMap.h), then OK and Cancel (OnOK, OnCancel), then the dialog
// manager. Every message runs under the exception guard (Guard.h): an
// exception that escapes a handler is reported and the message gets a neutral
// result (WM_CREATE fails the creation).
//
// The object must outlive its window. Copying makes no sense and is refused.
#pragma once

#include <windows.h>

#include <string>

#include "winui/DataExchange.h"
#include "winui/MessageMap.h"

namespace winui {

class Dialog {
public:
    explicit Dialog(UINT templateId, HWND parent = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the template modally; the result is what EndDialog was given, or -1
    // when the dialog could not be created (missing template, OnCreate failed).
    INT_PTR DoModal();
    // Creates the dialog modeless (visible if the template says so); false on failure.
    bool Create();
    // Ends a modal run with `result`; destroys a modeless dialog's window.
    void EndDialog(INT_PTR result);

    HWND Handle() const { return wnd_; }
    UINT TemplateId() const { return templateId_; }

    // Moves members into the controls (saving = false) or the controls'
    // state into the members (true); false when a control's value was refused.
    bool UpdateData(bool saving);

    HWND Item(int id) const { return GetDlgItem(wnd_, id); }
    std::string ItemText(int id) const { return Window(Item(id)).Text(); }
    void SetItemText(int id, const std::string& text) const { Window(Item(id)).SetText(text); }
    void EnableItem(int id, bool enable) const { Window(Item(id)).Enable(enable); }

    // The dialog object behind a window created by this class, or null.
    static Dialog* FromHandle(HWND wnd);

protected:
    // The member bindings, used in both directions by UpdateData.
    virtual void DoDataExchange(DataExchange& dx);
    // After the dialog manager's own creation; return -1 to fail it. The
    // controls do not exist yet.
    virtual int OnCreate(CREATESTRUCTA& cs);
    // Exchanges the members into the controls. Return true to let the dialog
    // manager put the focus on the first control, false when you set it.
    virtual bool OnInitDialog();
    // Takes the controls' values and ends with IDOK; stays when a value is refused.
    virtual void OnOK();
    // Ends with IDCANCEL (Esc, the Cancel button, the window's Close).
    virtual void OnCancel();
    // The message map. Return true when handled, with the message's result.
    virtual bool Dispatch(const Message& m, LRESULT& result);
    // The window is gone (after WM_NCDESTROY); a modeless dialog may delete itself here.
    virtual void OnFinalMessage() {}

    // The dialog manager's handling of the message now being handled.
    LRESULT Default();
    // The message now being handled.
    const Message& CurrentMessage() const { return current_; }

private:
    class CreationScope;
    static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    static INT_PTR CALLBACK DialogProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK CreationHook(int code, WPARAM wp, LPARAM lp);

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Attach(HWND wnd);
    void Detach();

    UINT templateId_;
    HWND parent_;
    HWND wnd_ = nullptr;
    WNDPROC super_ = nullptr;
    bool modal_ = false;
    Message current_{};
};

}  // namespace winui
