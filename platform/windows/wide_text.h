// The program's UTF-16 texts to and from Win32, whose wide strings are the same code units.
#pragma once

#include <string>

namespace farthom {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

// The text as a NUL-terminated wide string; valid while the text is unchanged.
inline const wchar_t* WideText(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// A fixed buffer of the program's text, as Win32 reads it or writes into it.
inline const wchar_t* WideText(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}
inline wchar_t* WideBuffer(char16_t* buffer) { return reinterpret_cast<wchar_t*>(buffer); }

// A text that a Win32 call writes into the caller's buffer, where `call(buffer, size)` answers as
// most such calls do: with the text's length when it fits, with the size it needs, terminator
// included, when it does not, and with 0 on failure. Asked first with no room, then with the room
// it named; "" when the call fails, or when the text grew between the two.
template <typename Call>
std::u16string SystemText(Call call) {
  const auto size = call(nullptr, 0);
  if (size == 0) return u"";
  std::u16string text(size, u'\0');
  const auto length = call(reinterpret_cast<wchar_t*>(&text[0]), size);
  if (length == 0 || length >= size) return u"";
  text.resize(length);
  return text;
}

// A NUL-terminated wide string from Win32 as the program's text; null gives the empty text.
inline std::u16string FromWide(const wchar_t* text) {
  return text == nullptr ? std::u16string()
                         : std::u16string(reinterpret_cast<const char16_t*>(text));
}

}  // namespace farthom
