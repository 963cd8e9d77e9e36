/*
 * The whole code of PIXRES.DLL: an entry point with nothing to set up.
 *
 * The library is linked without the C runtime, so loading it runs no code
 * beyond this function and it imports nothing. The program uses it only as a
 * resource module. Its export directory (module name, no entries) comes from
 * pixres.def.
 */
#include <windows.h>

BOOL WINAPI PixResEntry(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    (void)module;
    (void)reason;
    (void)reserved;
    return TRUE;
}
