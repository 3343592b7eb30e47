// The desktop's clipboard read and written as any other program would: what the tests compare a
// copy with, and what they put there before one.
#pragma once

#include <string>

namespace farthom {

// The clipboard's Unicode text; `absent` when it holds none, "<clipboard busy>" when it stays
// held elsewhere for a second.
std::u16string ClipboardText(const std::u16string& absent = u"<no Unicode text>");

// Replaces the clipboard's content with `text` as Unicode text; false when that failed.
bool PutOnClipboard(const std::u16string& text);

}  // namespace farthom
