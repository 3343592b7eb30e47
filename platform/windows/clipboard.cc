// Copying a text to the clipboard as Unicode text, in the one order the clipboard expects.
#include "platform/windows/clipboard.h"

#include <cstring>
#include <string>

#include "core/platform.h"

namespace farthom {

ClipboardCalls SystemClipboardCalls() {
  ClipboardCalls calls;
  calls.openClipboard = OpenClipboard;
  calls.globalAlloc = GlobalAlloc;
  calls.emptyClipboard = EmptyClipboard;
  calls.globalLock = GlobalLock;
  calls.globalUnlock = GlobalUnlock;
  calls.setClipboardData = SetClipboardData;
  calls.closeClipboard = CloseClipboard;
  calls.globalFree = GlobalFree;
  return calls;
}

ClipboardCalls gClipboardCalls = SystemClipboardCalls();

uintptr_t CopyTextToClipboard(const std::u16string& text) {
  const ClipboardCalls& calls = gClipboardCalls;
  // No owner window: the program has none, and the clipboard does not need one for a plain
  // handle. Another process holding the clipboard open is a failure at once, not a wait.
  if (!calls.openClipboard(nullptr)) return 0;

  // The text and its terminating NUL; the block must be moveable and shareable to be handed over.
  const SIZE_T bytes = (text.size() + 1) * sizeof(char16_t);
  HGLOBAL block = calls.globalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes);
  if (block == nullptr) {
    // Nothing was emptied yet, so the previous contents survive a failed allocation.
    calls.closeClipboard();
    return 0;
  }

  calls.emptyClipboard();
  void* memory = calls.globalLock(block);
  if (memory == nullptr) {
    // The block never reached the clipboard, so it is still ours to release.
    calls.globalFree(block);
    calls.closeClipboard();
    return 0;
  }
  std::memcpy(memory, text.c_str(), bytes);
  calls.globalUnlock(block);

  // One format only: the system derives the others from it on request.
  HANDLE placed = calls.setClipboardData(CF_UNICODETEXT, block);
  // On success the block belongs to the clipboard; on failure it is still ours.
  if (placed == nullptr) calls.globalFree(block);
  calls.closeClipboard();
  return reinterpret_cast<uintptr_t>(placed);
}

}  // namespace farthom
