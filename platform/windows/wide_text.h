// Handing the program's UTF-16 texts to Win32, whose wide strings are the same code units.
#pragma once

#include <string>

namespace farthom {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

// The text as a NUL-terminated wide string; valid while the text is unchanged.
inline const wchar_t* WideText(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace farthom
