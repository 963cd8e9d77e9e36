#include "winui/Application.h"

#include "winui/Guard.h"

namespace winui {

namespace {
Application* g_current = nullptr;
}

Application::Application() { g_current = this; }

Application::~Application()
{
    if (g_current == this) g_current = nullptr;
}

Application* Application::Current() { return g_current; }

int Application::Run(HINSTANCE instance)
{
    instance_ = instance;
    const bool ok = Guarded(false, [this] { return InitInstance(); });
    return ExitCode(ok);
}

}  // namespace winui
