// A small toolkit for tests that drive real windows of another process under
// Wine and Xvfb: start a program, wait for its windows, read and poke its
// controls through window messages, and save a screenshot.
//
// Every wait is on a condition with a deadline; nothing sleeps for a fixed
// time. Functions that wait return false (or a null handle) when the deadline
// passes, so a test can ASSERT on them and fail with a message instead of hanging.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace guitest {

using Ms = std::chrono::milliseconds;
inline constexpr Ms kDefaultWait{10000};

// Polls `condition` until it holds or `timeout` passes.
bool WaitUntil(const std::function<bool()>& condition, Ms timeout = kDefaultWait);

// A started program. The destructor kills it if it still runs, so a failing
// test never leaves a window behind for the next one.
class Process {
public:
    Process() = default;
    ~Process();
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts `exe` (a path; found relative to `workdir` when relative) with
    // `args`. Returns false when the process cannot be created.
    bool Start(const std::string& exe, const std::string& args = {},
               const std::string& workdir = {});
    bool Running() const;
    // Waits for the end; false when it still runs after `timeout`.
    bool WaitExit(Ms timeout = kDefaultWait);
    DWORD ExitCode() const;
    void Kill();
    DWORD Id() const { return pi_.dwProcessId; }
    HANDLE Handle() const { return pi_.hProcess; }

private:
    PROCESS_INFORMATION pi_{};
};

// Which top-level windows to look for. Empty fields match anything; pid 0
// matches every process. Only visible windows count unless `anyVisibility`.
struct WindowQuery {
    std::string caption;
    std::string className;
    DWORD pid = 0;
    bool anyVisibility = false;
};

std::vector<HWND> FindTopWindows(const WindowQuery& q);
// Waits for the first top-level window that matches; null after the deadline.
HWND WaitForWindow(const WindowQuery& q, Ms timeout = kDefaultWait);
// Waits until no top-level window matches.
bool WaitForNoWindow(const WindowQuery& q, Ms timeout = kDefaultWait);

// Control access by dialog control id. They work across processes.
HWND Control(HWND dialog, int id);
std::string WindowText(HWND wnd);
std::string ControlText(HWND dialog, int id);
std::string ClassName(HWND wnd);
bool IsEnabled(HWND dialog, int id);
bool IsVisible(HWND dialog, int id);
// BST_CHECKED / BST_UNCHECKED / BST_INDETERMINATE of a check box or radio.
int CheckState(HWND dialog, int id);
// The text of a message box (the static control with id 0xFFFF).
std::string MessageBoxText(HWND box);

// The first dialog of process `pid` that has a control `controlId`; null after the deadline.
HWND WaitForDialogWith(DWORD pid, int controlId, Ms timeout = kDefaultWait);
// The message box of process `pid` with exactly this text; null after the deadline.
HWND WaitForMessageBox(DWORD pid, const std::string& text, Ms timeout = kDefaultWait);

// String `id` of the resource library PIXRES.DLL beside the test, as the
// program shows it; empty when the library lacks it.
std::string PixresString(UINT id);

// Clicks a button as the user would: fails (returns false) when the control
// is missing or disabled. The click is posted, so a modal dialog it opens does
// not block the test.
bool ClickButton(HWND dialog, int id);
// Replaces an edit control's text by typing it, character by character.
bool TypeText(HWND dialog, int id, const std::string& text);
// Sends a key press (down and up) to the window that has the focus in the
// thread that owns `wnd`.
bool SendKey(HWND wnd, UINT vk);
// Selects item `index` of a combo box and notifies the dialog as a user's choice would.
bool SelectComboItem(HWND dialog, int id, int index);
// The items of a combo box, in order.
std::vector<std::string> ComboItems(HWND dialog, int id);
int ComboSelection(HWND dialog, int id);

// Saves the whole screen (the Xvfb root window) as a 24-bit PNG.
bool SaveScreenshot(const std::string& pngPath);
// Saves only the area of one window.
bool SaveWindowShot(HWND wnd, const std::string& pngPath);
// Writes a 24-bit PNG from top-down RGB rows (exposed for tests of the writer).
bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb);

// Folder of the running test executable (where the deliverables live).
std::string ExeDir();

}  // namespace guitest
