// The Win32 calls behind the clipboard copy, held in a table that tests can wrap.
#pragma once

#include "platform/windows/windows_header.h"

namespace farthom {

// One entry per Win32 call of the copy, pointing at the system's function unless a test has put
// a recording or failing wrapper in its place.
struct ClipboardCalls {
  decltype(&OpenClipboard) openClipboard;
  decltype(&GlobalAlloc) globalAlloc;
  decltype(&EmptyClipboard) emptyClipboard;
  decltype(&GlobalLock) globalLock;
  decltype(&GlobalUnlock) globalUnlock;
  decltype(&SetClipboardData) setClipboardData;
  decltype(&CloseClipboard) closeClipboard;
  decltype(&GlobalFree) globalFree;
};

extern ClipboardCalls gClipboardCalls;

// The table as the program starts with it: every entry the system's own function.
ClipboardCalls SystemClipboardCalls();

}  // namespace farthom
