#include "app/ErrorReport.h"

#include <windows.h>

#include "app/ErrorDlg.h"

int ReportError(int kind, int subCode, bool inTransfer, const std::string& itemName)
{
    try {
        CErrorDlg dialog(kind, subCode, inTransfer ? 1 : 0, itemName, nullptr);
        dialog.DoModal();
        return dialog.Answer;
    } catch (...) {
        // Not even the dialog object could be made: the last resort needs no memory.
        MessageBoxA(nullptr, "Unrecoverable memory error! Please reboot the system and try again.", "Error",
                    MB_ICONHAND | MB_TASKMODAL);
        return kAnswerCancel;
    }
}

void ReportUnexpectedException() { ReportError(kErrorMemory, 0, false, {}); }
