// The program's entry: the application object runs everything.
#include <windows.h>

#include "app/PixalonApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return App().Run(instance); }
