// What the dialog tests share: the resource strings to compare with, the
// programs they drive, waits for the program's dialogs, the mouse, and
// screenshots for review.
#pragma once

#include <windows.h>

#include <string>

#include "guitest.h"

namespace dlgtest {

using guitest::Process;

using guitest::PixresString;
using guitest::WaitForDialogWith;
using guitest::WaitForMessageBox;

std::string PixalonExe();
std::string HostExe();

// Starts a program of the build folder; the test fails when it cannot.
Process Start(const std::string& exe, const std::string& args = {});

// Any message box of process `pid`.
HWND WaitForAnyMessageBox(DWORD pid, guitest::Ms timeout = guitest::kDefaultWait);

// Moves the mouse over the middle of control `id` of `dialog`, as the user would.
bool MoveMouseOver(HWND dialog, int id);
// Moves it somewhere over `dialog` where no control is (its top-left client corner).
bool MoveMouseOverNothing(HWND dialog);

// Clicks a button as the mouse would (down and up at its middle), so that
// the button is drawn pressed and releases through the dialog manager.
bool MouseClick(HWND wnd, int x, int y, bool right = false);

// The process exit code as the signed value the program returned.
int ExitValue(const Process& p);

// Saves the window (after it has painted) as screenshots/dialogs/NAME.png
// beside the build's bin folder, for review.
void Shot(HWND wnd, const std::string& name);

// The main dialog of a pixalon.exe that runs with the registry's settings.
HWND WaitForMainDialog(DWORD pid);

}  // namespace dlgtest

namespace dlgtest {

// True when the screen shows bitmap `bitmapId` of PIXRES.DLL, unchanged and
// centred, on the window `wnd` (a bitmap button).
bool ShowsBitmap(HWND wnd, UINT bitmapId);

// The window of process `pid` that has the keyboard focus.
HWND FocusOf(HWND anyWindowOfThread);

}  // namespace dlgtest
