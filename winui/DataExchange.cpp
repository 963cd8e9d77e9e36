#include "winui/DataExchange.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace winui {

void DataExchange::Fail(HWND control)
{
    if (ok_) SetFocus(control);
    ok_ = false;
}

void DataExchange::Text(int id, std::string& value)
{
    Window c(GetDlgItem(dialog_, id));
    if (!c) return;
    if (saving_)
        value = c.Text();
    else
        c.SetText(value);
}

void DataExchange::Text(int id, int& value)
{
    Window c(GetDlgItem(dialog_, id));
    if (!c) return;
    if (!saving_) {
        c.SetText(std::to_string(value));
        return;
    }
    const std::string text = c.Text();
    const char* begin = text.c_str();
    while (*begin == ' ') ++begin;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(begin, &end, 10);
    while (end && *end == ' ') ++end;
    if (end == begin || *end != '\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) {
        Fail(c.Handle());
        return;
    }
    value = static_cast<int>(parsed);
}

void DataExchange::Check(int id, int& value)
{
    Button c(GetDlgItem(dialog_, id));
    if (!c) return;
    if (saving_)
        value = c.Checked();
    else
        c.SetChecked(value != 0);
}

void DataExchange::Control(int id, Window& control) { control.Attach(GetDlgItem(dialog_, id)); }

}  // namespace winui
