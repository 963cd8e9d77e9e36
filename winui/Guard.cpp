#include "winui/Guard.h"

#include <atomic>

namespace winui {

namespace {
// Read from any thread (the worker reports through it too).
std::atomic<ErrorReporter> g_reporter{nullptr};
}

void SetErrorReporter(ErrorReporter reporter) { g_reporter.store(reporter); }

void ReportUnexpectedError() noexcept
{
    if (ErrorReporter reporter = g_reporter.load()) {
        try {
            reporter();
        } catch (...) {
        }
    }
}

}  // namespace winui
