// The Win32 calls behind the numbered listings, as plain functions.
//
// The program links system_find_calls.cc, which makes the system's own calls. The listing tests
// link definitions of their own that count the calls and can make a search fail in ways a test
// machine cannot produce on demand (access denied, a null handle).
#pragma once

#include "platform/windows/windows_header.h"

namespace farthom::find_calls {

HANDLE FindFirst(LPCWSTR searchText, LPWIN32_FIND_DATAW findData);
BOOL FindNext(HANDLE search, LPWIN32_FIND_DATAW findData);
BOOL CloseSearch(HANDLE search);
DWORD LastError();

}  // namespace farthom::find_calls
