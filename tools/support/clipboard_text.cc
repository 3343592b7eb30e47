// The desktop's clipboard read and written as any other program would.
#include "tools/support/clipboard_text.h"

#include <cstring>

#include "platform/windows/wide_text.h"
#include "platform/windows/windows_header.h"

namespace farthom {

namespace {

// Another process (a program just ended, the desktop) may hold the clipboard for a moment.
bool OpenClipboardSoon() {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

}  // namespace

std::u16string ClipboardText(const std::u16string& absent) {
  if (!OpenClipboardSoon()) return u"<clipboard busy>";
  std::u16string text = absent;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const void* memory = GlobalLock(data)) {
      text = FromWide(static_cast<const wchar_t*>(memory));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool PutOnClipboard(const std::u16string& text) {
  if (!OpenClipboardSoon()) return false;
  EmptyClipboard();
  const SIZE_T bytes = (text.size() + 1) * sizeof(char16_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool placed = false;
  if (block != nullptr) {
    std::memcpy(GlobalLock(block), text.c_str(), bytes);
    GlobalUnlock(block);
    placed = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    // Only a block the clipboard took is the clipboard's to free.
    if (!placed) GlobalFree(block);
  }
  CloseClipboard();
  return placed;
}

}  // namespace farthom
