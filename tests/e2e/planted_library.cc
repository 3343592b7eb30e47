// A do-nothing DLL that the end-to-end tests plant in a surveyed folder under the names of DLLs
// the program or its dialog loads late: if the folder were searched for DLLs, Windows would load
// this one from there, and the test would see it among the program's modules.
#include "platform/windows/windows_header.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
