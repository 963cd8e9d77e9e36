// A thread of our own, with its routine under the exception guard.
//
// The object keeps the thread's handle so that the window thread can suspend
// and resume it; it neither waits for nor stops the thread when it is
// destroyed or started again.
#pragma once

#include <windows.h>

namespace winui {

class Thread {
public:
    using Routine = unsigned (*)(void* argument);

    Thread() = default;
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starts `routine(argument)` at once, at normal priority with the default
    // stack. A previous thread of this object is let go (its handle closed).
    // False when the thread could not be created.
    bool Start(Routine routine, void* argument);

    HANDLE Handle() const { return handle_; }
    bool Started() const { return handle_ != nullptr; }
    // The previous suspend count, or (DWORD)-1 on failure.
    DWORD Suspend() const;
    DWORD Resume() const;
    // True when the thread has ended within `milliseconds`.
    bool Wait(DWORD milliseconds) const;

private:
    HANDLE handle_ = nullptr;
};

}  // namespace winui
