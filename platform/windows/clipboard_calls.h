// The Win32 calls of the clipboard copy, as plain functions.
//
// The program links system_clipboard_calls.cc, which makes the system's own calls. The tests of
// the copy link definitions of their own that record the order, flags and sizes and make each
// step fail in turn, which no real clipboard can be made to do on demand.
#pragma once

#include "platform/windows/windows_header.h"

namespace farthom::clipboard_calls {

BOOL Open(HWND owner);
HGLOBAL Alloc(UINT flags, SIZE_T bytes);
BOOL Empty();
LPVOID Lock(HGLOBAL block);
BOOL Unlock(HGLOBAL block);
HANDLE SetData(UINT format, HANDLE data);
BOOL Close();
HGLOBAL Free(HGLOBAL block);

}  // namespace farthom::clipboard_calls
