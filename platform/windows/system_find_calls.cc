// The listings' calls as the program makes them: the system's own.
#include "platform/windows/find_calls.h"

namespace farthom::find_calls {

HANDLE FindFirst(LPCWSTR searchText, LPWIN32_FIND_DATAW findData) {
  return FindFirstFileW(searchText, findData);
}
BOOL FindNext(HANDLE search, LPWIN32_FIND_DATAW findData) {
  return FindNextFileW(search, findData);
}
BOOL CloseSearch(HANDLE search) { return FindClose(search); }
DWORD LastError() { return GetLastError(); }

}  // namespace farthom::find_calls
