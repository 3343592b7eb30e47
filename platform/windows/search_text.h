// The search text of a directory listing: directory, separator and pattern in a fixed buffer.
#pragma once

#include <cstddef>
#include <string>

#include "core/platform.h"

namespace farthom {

// The buffer of a search text: its characters and the terminator.
constexpr size_t kSearchTextRoom = kSearchTextLength + 1;

// Writes into `buffer`, terminated: `directory`, then "\" when the directory is not empty and
// does not already end in "\", then `pattern`, or "*.*" when the pattern is empty. Nothing is
// allocated. False, with `buffer` holding the empty text, when the whole text would not fit in
// 261 characters or contains a NUL: the platform would then search a shorter text than the one
// asked for, so such a text is refused whole, never cut.
bool BuildSearchText(const std::u16string& directory, const std::u16string& pattern,
                     char16_t (&buffer)[kSearchTextRoom]);

}  // namespace farthom
