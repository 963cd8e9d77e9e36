// The user guide: a window of our own that shows the guide text shipped
// beside the program (PIXALON.TXT), so that help works on any machine,
// without a help viewer or a web browser.
//
// One guide window per process: asking again brings it to the front. It
// belongs to no dialog, so it stays open while the user goes on working, and
// the main dialog closes it when it goes.
#pragma once

#include <windows.h>

#include <string>

inline constexpr char kHelpFileName[] = "PIXALON.TXT";
inline constexpr char kHelpWindowClass[] = "PixalonGuide";

// Opens the guide (or brings it forward). `from` is the window whose Help
// button asked; it owns the message box when the guide file is missing.
void ShowHelp(HWND from);
// Closes the guide if it is open.
void CloseHelp();
// The open guide window, or null.
HWND HelpWindow();
// Full path of the guide file: beside the running program.
std::string HelpFilePath();
