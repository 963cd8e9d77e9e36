// Data exchange between a dialog's members and its controls, by control id.
//
// A dialog lists its bindings once, in DoDataExchange(DataExchange&); the same
// list then moves the members into the controls (Saving() false: when the
// dialog starts) and the controls' state back into the members (Saving()
// true: when the user accepts). A binding whose control is missing is
// skipped, so a member keeps its value.
#pragma once

#include <windows.h>

#include <string>

#include "winui/Controls.h"

namespace winui {

class DataExchange {
public:
    DataExchange(HWND dialog, bool saving) : dialog_(dialog), saving_(saving) {}

    bool Saving() const { return saving_; }
    // False once a binding could not take the control's value; the first
    // failing control has the focus then.
    bool Ok() const { return ok_; }

    // The control's window text.
    void Text(int id, std::string& value);
    // The control's text as a decimal integer; when saving, a text that is no
    // integer (or out of range) fails the exchange and the member keeps its value.
    void Text(int id, int& value);
    // A check box or radio button: 1 checked, 0 not.
    void Check(int id, int& value);
    // Binds a wrapper to the control (both directions do the same).
    void Control(int id, Window& control);

private:
    void Fail(HWND control);

    HWND dialog_;
    bool saving_;
    bool ok_ = true;
};

}  // namespace winui
