// The clipboard copy's calls as the program makes them: the system's own.
#include "platform/windows/clipboard_calls.h"

namespace farthom::clipboard_calls {

BOOL Open(HWND owner) { return OpenClipboard(owner); }
HGLOBAL Alloc(UINT flags, SIZE_T bytes) { return GlobalAlloc(flags, bytes); }
BOOL Empty() { return EmptyClipboard(); }
LPVOID Lock(HGLOBAL block) { return GlobalLock(block); }
BOOL Unlock(HGLOBAL block) { return GlobalUnlock(block); }
HANDLE SetData(UINT format, HANDLE data) { return SetClipboardData(format, data); }
BOOL Close() { return CloseClipboard(); }
HGLOBAL Free(HGLOBAL block) { return GlobalFree(block); }

}  // namespace farthom::clipboard_calls
