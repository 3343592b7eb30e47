// A child process for the DLL-search test: it shows that a DLL in the current directory is found
// by name before the start-up mend and not after it, and exits with the number of the step that
// went wrong (0 when none did). A process of its own, because the mend cannot be undone.
#include <string>

#include "platform/windows/dll_search_order.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_header.h"
#include "tools/support/program_run.h"
#include "tools/support/temporary_tree.h"

namespace farthom {
namespace {

// A name that no system folder holds and that is not beside this program, whose own folder every
// search order takes first: only a search of the current directory can find it.
constexpr char16_t kName[] = u"farthom-dll-search-probe.dll";

int Run() {
  TemporaryTree tree(NewTemporaryPath(u"farthom-dll-search"));
  const std::u16string copy = tree.Path(kName);
  if (GetFileAttributesW(WideText(BesideThisProgram(kName))) != INVALID_FILE_ATTRIBUTES) return 1;
  // The do-nothing DLL the tests build beside this program (planted_library.cc).
  if (!tree.made() ||
      !CopyFileW(WideText(BesideThisProgram(u"planted_library.dll")), WideText(copy), TRUE)) {
    return 2;
  }
  if (!tree.Enter()) return 3;
  // Before the mend the default search takes in the current directory, and finds the copy;
  // otherwise what follows would prove nothing.
  HMODULE found = LoadLibraryW(WideText(kName));
  if (found == nullptr) return 4;
  wchar_t loaded[MAX_PATH + 1] = {};
  GetModuleFileNameW(found, loaded, MAX_PATH + 1);
  FreeLibrary(found);
  if (IdentityOf(FromWide(loaded)) != IdentityOf(copy)) return 5;
  // A module already loaded is handed back by its base name without any search, so it must be
  // gone before the name is looked for again.
  if (GetModuleHandleW(WideText(kName)) != nullptr) return 6;
  // Windows 8 and later, and Wine 8, take its first branch (SetDefaultDllDirectories); the
  // fallback for older systems (SetDllDirectoryW(L"")) is not reached there.
  RemoveCurrentDirectoryFromDllSearch();
  found = LoadLibraryW(WideText(kName));
  if (found != nullptr) {
    FreeLibrary(found);
    return 7;
  }
  return 0;
}

}  // namespace
}  // namespace farthom

int wmain() { return farthom::Run(); }
