#include "winui/Thread.h"

#include <process.h>

#include <memory>

#include "winui/Guard.h"

namespace winui {

namespace {

struct StartInfo {
    Thread::Routine routine;
    void* argument;
};

unsigned __stdcall ThreadEntry(void* param)
{
    std::unique_ptr<StartInfo> info(static_cast<StartInfo*>(param));
    return Guarded(0u, [&] { return info->routine(info->argument); });
}

}  // namespace

Thread::~Thread()
{
    if (handle_) CloseHandle(handle_);
}

bool Thread::Start(Routine routine, void* argument)
{
    if (handle_) {
        CloseHandle(handle_);
        handle_ = nullptr;
    }
    auto info = std::make_unique<StartInfo>(StartInfo{routine, argument});
    const uintptr_t h = _beginthreadex(nullptr, 0, &ThreadEntry, info.get(), 0, nullptr);
    if (!h) return false;
    info.release();  // the thread owns it now
    handle_ = reinterpret_cast<HANDLE>(h);
    return true;
}

DWORD Thread::Suspend() const { return handle_ ? SuspendThread(handle_) : static_cast<DWORD>(-1); }
DWORD Thread::Resume() const { return handle_ ? ResumeThread(handle_) : static_cast<DWORD>(-1); }
bool Thread::Wait(DWORD milliseconds) const
{
    return !handle_ || WaitForSingleObject(handle_, milliseconds) == WAIT_OBJECT_0;
}

}  // namespace winui
