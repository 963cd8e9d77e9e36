// The exception guard.
//
// No C++ exception may cross into Windows: every entry point that Windows
// calls (window and dialog procedures, hooks, thread routines) runs its body
// through Guarded(). An escaping exception (in practice std::bad_alloc) is
// handed to the process's error reporter, and the entry returns its fallback.
//
// The reporter is a plain function so that the application can route it to
// its own error report without this layer knowing about it. It is set once at
// start-up; before that, escaping exceptions are swallowed silently.
#pragma once

#include <exception>
#include <utility>

namespace winui {

using ErrorReporter = void (*)();

void SetErrorReporter(ErrorReporter reporter);

// Calls the reporter. Whatever the reporter itself throws is swallowed: the
// guard must never become the thing that lets an exception escape.
void ReportUnexpectedError() noexcept;

// Runs `body` and returns its result, or reports and returns `fallback` when
// it throws.
template <class R, class F>
R Guarded(R fallback, F&& body) noexcept
{
    try {
        return std::forward<F>(body)();
    } catch (...) {
        ReportUnexpectedError();
        return fallback;
    }
}

// The same for bodies without a result; returns false when it threw.
template <class F>
bool GuardedCall(F&& body) noexcept
{
    try {
        std::forward<F>(body)();
        return true;
    } catch (...) {
        ReportUnexpectedError();
        return false;
    }
}

}  // namespace winui
