#include "transfer/TransferWorker.h"

#include <windows.h>

#include "app/ProcessState.h"
#include "resources/resource.h"
#include "winui/Resources.h"

// The transfer engine is not built yet. Rather than pretend, the worker says
// so and gives up before the first picture, which sends the user back to the
// main dialog.
unsigned TransferWorker(void*)
{
    const std::string caption = winui::LoadText(IDS_APP_TITLE);
    MessageBoxA(nullptr, "Transferring pictures is not available in this build.", caption.c_str(),
                MB_ICONINFORMATION | MB_SETFOREGROUND);
    PostMessageA(ProgressWindow, WM_WORKER_BACK_TO_MAIN, 0, 0);
    return 0;
}
