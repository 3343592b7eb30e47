// The system's Unicode lower-case mapping of a text.
#include <string>

#include "core/platform.h"
#include "platform/windows/windows_header.h"

namespace farthom {

std::u16string LowerCaseText(const std::u16string& text) {
  // CharLowerW maps in place, so it works on a copy. The empty text is answered without a call:
  // an empty buffer would otherwise need a NUL of its own.
  std::u16string lower = text;
  if (lower.empty()) return lower;
  // CharLowerW treats a pointer whose high word is zero as a single character; no text buffer
  // has such an address. The copy's own terminating NUL ends the mapping.
  CharLowerW(reinterpret_cast<wchar_t*>(&lower[0]));
  return lower;
}

}  // namespace farthom
