// The resource module and the texts taken from it.
//
// Every string, dialog template, bitmap and icon of the program lives in one
// module, set once at start-up. Until it is set, the executable itself is the
// resource module (tests that carry their own resources rely on that).
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace winui {

void SetResourceModule(HMODULE module);
HMODULE ResourceModule();

// The string `id` of the resource module; an id the module lacks gives an
// empty string, never a failure.
std::string LoadText(UINT id);

// printf-style formatting (%d, %s, ...) into a string of any length.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Insert-style formatting as message texts use it: %1 .. %9 are replaced by
// the inserts of that number, %% becomes %, and everything else (including an
// insert number without an insert) is copied as it stands. Inserts are not
// scanned again, so a % inside an insert is harmless.
std::string FormatInserts(std::string_view pattern, std::initializer_list<std::string_view> inserts);

// Icon `id` of the resource module at the system's large or small icon size;
// null when the module lacks it. Shared icons: never destroy them.
HICON LoadResourceIcon(UINT id, bool small = false);

}  // namespace winui
