// The process entry of farthom.exe: one run of the main sequence, then exit code 0.
#include "core/main_sequence.h"
#include "platform/windows/dll_search_order.h"
#include "platform/windows/windows_header.h"

// The command line is read by the parameter reader itself, afresh from the system, so the
// entry's own arguments are not used.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before anything can load a DLL from the folder the run will make current.
  farthom::RemoveCurrentDirectoryFromDllSearch();
  return farthom::RunMainSequence();
}
