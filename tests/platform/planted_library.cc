// A do-nothing DLL, with no C runtime of its own to load, that the DLL-search test copies into a
// folder under a name of its own: it is found there only when that folder is searched.
#include "platform/windows/windows_header.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
