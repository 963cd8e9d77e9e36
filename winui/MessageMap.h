// Message maps: a table from window messages, commands and control
// notifications to a dialog's handler methods.
//
// A dialog overrides Dialog::Dispatch with one static map of its own class:
//
//   bool CMainDlg::Dispatch(const winui::Message& m, LRESULT& result)
//   {
//       static const winui::MessageMap<CMainDlg> map{
//           winui::OnMessage(WM_DESTROY, &CMainDlg::OnDestroy),
//           winui::OnCommand(IDC_MAIN_USE_EXISTING, &CMainDlg::OnUseExistingNames),
//           winui::OnControl(IDC_MAIN_TEMPLATE, EN_CHANGE, &CMainDlg::OnTemplateChanged),
//       };
//       return map.Dispatch(*this, m, result) || winui::Dialog::Dispatch(m, result);
//   }
//
// Handlers have one signature per kind of entry:
//   message:       LRESULT OnX(WPARAM, LPARAM)   its result is the message's result;
//                  Dialog::Default() gives the dialog manager's handling
//   command:       void OnX()                   a click, menu item or accelerator of control `id`
//   control:       void OnX()                   a WM_COMMAND notification `code` of control `id`
//   notification:  LRESULT OnX(NMHDR&)          a WM_NOTIFY `code` of control `id`
// The first matching entry wins; a message no entry matches goes on to the
// base dialog (OK and Cancel) and then to the dialog manager.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

namespace winui {

struct Message {
    UINT msg = 0;
    WPARAM wp = 0;
    LPARAM lp = 0;
};

template <class T>
class MessageMap {
public:
    using MessageHandler = LRESULT (T::*)(WPARAM, LPARAM);
    using CommandHandler = void (T::*)();
    using NotifyHandler = LRESULT (T::*)(NMHDR&);

    struct Entry {
        enum class Kind { Message, Command, Control, Notify } kind;
        UINT msg = 0;
        int id = 0;
        UINT code = 0;
        MessageHandler onMessage = nullptr;
        CommandHandler onCommand = nullptr;
        NotifyHandler onNotify = nullptr;
    };

    MessageMap(std::initializer_list<Entry> entries) : entries_(entries) {}

    // Calls the handler of the first entry that matches; false when none does.
    bool Dispatch(T& target, const Message& m, LRESULT& result) const
    {
        for (const Entry& e : entries_) {
            switch (e.kind) {
            case Entry::Kind::Message:
                if (m.msg == e.msg) {
                    result = (target.*e.onMessage)(m.wp, m.lp);
                    return true;
                }
                break;
            case Entry::Kind::Command:
                // Code 0 is a button click or menu item, 1 an accelerator.
                if (m.msg == WM_COMMAND && LOWORD(m.wp) == e.id && HIWORD(m.wp) <= 1) {
                    (target.*e.onCommand)();
                    result = 0;
                    return true;
                }
                break;
            case Entry::Kind::Control:
                if (m.msg == WM_COMMAND && LOWORD(m.wp) == e.id && HIWORD(m.wp) == e.code) {
                    (target.*e.onCommand)();
                    result = 0;
                    return true;
                }
                break;
            case Entry::Kind::Notify:
                if (m.msg == WM_NOTIFY && m.lp) {
                    NMHDR& header = *reinterpret_cast<NMHDR*>(m.lp);
                    if (static_cast<int>(header.idFrom) == e.id && header.code == e.code) {
                        result = (target.*e.onNotify)(header);
                        return true;
                    }
                }
                break;
            }
        }
        return false;
    }

private:
    std::vector<Entry> entries_;
};

template <class T>
typename MessageMap<T>::Entry OnMessage(UINT msg, LRESULT (T::*handler)(WPARAM, LPARAM))
{
    typename MessageMap<T>::Entry e{MessageMap<T>::Entry::Kind::Message};
    e.msg = msg;
    e.onMessage = handler;
    return e;
}

template <class T>
typename MessageMap<T>::Entry OnCommand(int id, void (T::*handler)())
{
    typename MessageMap<T>::Entry e{MessageMap<T>::Entry::Kind::Command};
    e.id = id;
    e.onCommand = handler;
    return e;
}

template <class T>
typename MessageMap<T>::Entry OnControl(int id, UINT code, void (T::*handler)())
{
    typename MessageMap<T>::Entry e{MessageMap<T>::Entry::Kind::Control};
    e.id = id;
    e.code = code;
    e.onCommand = handler;
    return e;
}

template <class T>
typename MessageMap<T>::Entry OnNotify(int id, UINT code, LRESULT (T::*handler)(NMHDR&))
{
    typename MessageMap<T>::Entry e{MessageMap<T>::Entry::Kind::Notify};
    e.id = id;
    e.code = code;
    e.onNotify = handler;
    return e;
}

}  // namespace winui
