// Copying a text to the clipboard as Unicode text, in the one order the clipboard expects.
#include <cstring>
#include <string>

#include "core/platform.h"
#include "platform/windows/clipboard_calls.h"

namespace farthom {

uintptr_t CopyTextToClipboard(const std::u16string& text) {
  namespace calls = clipboard_calls;
  // No owner window: the program has none, and the clipboard does not need one for a plain
  // handle. Another process holding the clipboard open is a failure at once, not a wait.
  if (!calls::Open(nullptr)) return 0;

  // The text and its terminating NUL; the block must be moveable and shareable to be handed over.
  const SIZE_T bytes = (text.size() + 1) * sizeof(char16_t);
  HGLOBAL block = calls::Alloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes);
  if (block == nullptr) {
    // Nothing was emptied yet, so the previous contents survive a failed allocation.
    calls::Close();
    return 0;
  }

  calls::Empty();
  void* memory = calls::Lock(block);
  if (memory == nullptr) {
    // The block never reached the clipboard, so it is still ours to release.
    calls::Free(block);
    calls::Close();
    return 0;
  }
  std::memcpy(memory, text.c_str(), bytes);
  calls::Unlock(block);

  // One format only: the system derives the others from it on request.
  HANDLE placed = calls::SetData(CF_UNICODETEXT, block);
  // On success the block belongs to the clipboard; on failure it is still ours.
  if (placed == nullptr) calls::Free(block);
  calls::Close();
  return reinterpret_cast<uintptr_t>(placed);
}

}  // namespace farthom
