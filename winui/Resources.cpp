#include "winui/Resources.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace winui {

namespace {
HMODULE g_module = nullptr;
}

void SetResourceModule(HMODULE module) { g_module = module; }

HMODULE ResourceModule() { return g_module ? g_module : GetModuleHandleA(nullptr); }

std::string LoadText(UINT id)
{
    // LoadStringA cannot tell the length in advance: grow until the text fits
    // with room to spare (a full buffer may mean a cut text).
    std::vector<char> buffer(256);
    for (;;) {
        const int n = LoadStringA(ResourceModule(), id, buffer.data(), static_cast<int>(buffer.size()));
        if (n <= 0) return {};
        if (static_cast<size_t>(n) < buffer.size() - 1) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 4);
    }
}

std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), format, args);
        out.resize(static_cast<size_t>(n));
    }
    va_end(args);
    return out;
}

std::string FormatInserts(std::string_view pattern, std::initializer_list<std::string_view> inserts)
{
    std::string out;
    out.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size()) {
            const char next = pattern[i + 1];
            if (next == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (next >= '1' && next <= '9') {
                const size_t index = static_cast<size_t>(next - '1');
                if (index < inserts.size()) {
                    out += inserts.begin()[index];
                    ++i;
                    continue;
                }
            }
        }
        out += c;
    }
    return out;
}

HICON LoadResourceIcon(UINT id, bool small)
{
    const int cx = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    const int cy = GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON);
    return static_cast<HICON>(
        LoadImageA(ResourceModule(), MAKEINTRESOURCEA(id), IMAGE_ICON, cx, cy, LR_SHARED));
}

}  // namespace winui
