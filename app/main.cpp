// Entry point. For now it only proves the deliverables fit together: it loads
// the resource library by name and shows the main dialog from it.
#include <windows.h>

static INT_PTR CALLBACK MainDialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM)
{
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        EndDialog(dlg, LOWORD(wp));
        return TRUE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    HMODULE res = LoadLibraryA("PIXRES.DLL");
    if (!res) {
        MessageBoxA(nullptr, "Missing file PIXRES.DLL", "HALCYRA Pixalon", MB_ICONHAND);
        return 1;
    }
    DialogBoxParamA(res, MAKEINTRESOURCEA(102), nullptr, MainDialogProc, 0);
    FreeLibrary(res);
    return 0;
}
