// For now every report is the message box that the error dialog itself falls
// back to outside a transfer. The dialog with Retry, Skip and Cancel, the
// camera status texts and the destination questions replace this body; the
// callers stay as they are.
#include "app/ErrorReport.h"

#include <windows.h>

#include "resources/resource.h"
#include "winui/Resources.h"

namespace {

UINT MessageFor(int kind)
{
    switch (kind) {
    case kErrorMemory: return IDS_MEMORY_ERROR;
    case kErrorFileAccess: return IDS_FILE_ACCESS_ERROR;
    case kErrorSystem: return IDS_SYSTEM_ERROR;
    default: return IDS_DRV_UNKNOWN;
    }
}

}  // namespace

int ReportError(int kind, int /*subCode*/, bool /*inTransfer*/, const std::string& /*itemName*/)
{
    try {
        const std::string text = winui::LoadText(MessageFor(kind));
        const std::string caption = winui::LoadText(IDS_APP_TITLE);
        MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_ICONHAND | MB_TASKMODAL);
    } catch (...) {
        // No memory even for the text: the last resort needs none.
        MessageBoxA(nullptr, "Unrecoverable memory error! Please reboot the system and try again.", "Error",
                    MB_ICONHAND | MB_TASKMODAL);
    }
    return kAnswerCancel;
}

void ReportUnexpectedException() { ReportError(kErrorMemory, 0, false, {}); }
