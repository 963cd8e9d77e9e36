#include "app/PixalonApp.h"

#include <commctrl.h>

#include "app/ErrorReport.h"
#include "app/ProgressDlg.h"
#include "winui/Guard.h"
#include "winui/Resources.h"

// How many processes of this executable run, minus one. The section is
// shared between them: the loader maps one copy for all, and the value
// returns to -1 when the last of them ends.
__attribute__((section("Shared"), shared)) volatile LONG InstanceCount = -1;

namespace {
CPixalonApp theApp;
}

CPixalonApp& App() { return theApp; }

CPixalonApp::~CPixalonApp()
{
    if (ResourceLibrary) FreeLibrary(ResourceLibrary);
}

bool CPixalonApp::InitInstance()
{
    // Without the resource library there is no string table yet: these two
    // texts are the program's own.
    ResourceLibrary = LoadLibraryA("PIXRES.DLL");
    if (!ResourceLibrary) {
        MessageBoxA(nullptr, "Missing file PIXRES.DLL", "HALCYRA Pixalon", MB_ICONHAND);
        return false;
    }
    winui::SetResourceModule(ResourceLibrary);
    winui::SetErrorReporter(&ReportUnexpectedException);

    if (InterlockedIncrement(&InstanceCount) != 0) {
        MessageBoxA(nullptr, "Application is already running.", "HALCYRA Pixalon", MB_ICONHAND);
        InterlockedDecrement(&InstanceCount);
        return false;
    }

    // The dialog templates use the common controls (the progress bar among them).
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS | ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);

    // The progress dialog is the program's hidden main window: its creation
    // runs the main dialog, and the end of its modal run ends the program.
    CProgressDlg progress(*this, nullptr);
    LoadSettings(*this);
    progress.DoModal();
    return false;
}
