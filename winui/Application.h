// The application object: one per process, it runs the program's start-up.
//
// A program derives from it, creates one static instance, and lets WinMain
// call Run(). The program's whole life happens inside InitInstance; there is
// no message loop of the application's own (every window of the program is a
// dialog with its own modal loop).
#pragma once

#include <windows.h>

namespace winui {

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The one instance, or null before it is constructed.
    static Application* Current();

    // Runs InitInstance under the exception guard; the result is the
    // process's exit code (0 unless a derived class says otherwise).
    int Run(HINSTANCE instance);

    HINSTANCE Instance() const { return instance_; }

protected:
    // The program's start-up and life. Its result only says whether the
    // program ran normally; the process ends after it either way.
    virtual bool InitInstance() = 0;
    // The exit code Run() returns; by default 0.
    virtual int ExitCode(bool initResult) { (void)initResult; return 0; }

private:
    HINSTANCE instance_ = nullptr;
};

}  // namespace winui
