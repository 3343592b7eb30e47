// Taking the current directory out of the DLL search order, with what the system offers.
#include "platform/windows/dll_search_order.h"

#include "platform/windows/system_function.h"
#include "platform/windows/windows_header.h"

namespace farthom {

namespace {

// The program's own folder, System32 and folders added on purpose; never the current directory.
// Not in the headers of the Windows version the program is built for.
constexpr DWORD kLoadLibrarySearchDefaultDirs = 0x00001000;  // LOAD_LIBRARY_SEARCH_DEFAULT_DIRS

}  // namespace

void RemoveCurrentDirectoryFromDllSearch() {
  // Both are looked up at run time, so that the program still starts where they are missing.
  using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD flags);
  const auto setDefaultDllDirectories =
      SystemFunction<SetDefaultDllDirectoriesCall>(L"kernel32.dll", "SetDefaultDllDirectories");
  if (setDefaultDllDirectories != nullptr &&
      setDefaultDllDirectories(kLoadLibrarySearchDefaultDirs) != FALSE) {
    return;
  }
  // Older systems: an empty text takes the current directory out of the search.
  using SetDllDirectoryCall = BOOL(WINAPI*)(LPCWSTR directory);
  const auto setDllDirectory =
      SystemFunction<SetDllDirectoryCall>(L"kernel32.dll", "SetDllDirectoryW");
  if (setDllDirectory != nullptr) setDllDirectory(L"");
}

}  // namespace farthom
