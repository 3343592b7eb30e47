// The search text of a directory listing: directory, separator and pattern in a fixed buffer, and
// the same text made absolute in the extended-length form the system takes at any length.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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

// The longest path the system takes, in its extended-length form, and the buffer that holds it
// with its terminator.
constexpr size_t kExtendedPathLength = 32767;
constexpr size_t kExtendedPathRoom = kExtendedPathLength + 1;

// Writes into `buffer`, terminated, the search text `searchText` (relative to the current
// directory `currentDirectory`) as one extended-length path: "\\?\", the current directory in
// that form, "\" unless it already ends in one, and the search text. A relative path is limited
// to MAX_PATH in all, however short its own part, and the system rewrites names on the way
// (a final dot or blank goes); an extended-length path reaches every name exactly as it is.
//
// False, with `buffer` holding the empty text, when the relative text must be searched as it
// is: when it is not a plain relative text (it starts with "\" or a drive, holds a "/", or has
// an empty, "." or ".." component, all of which the extended form would take literally), when
// the current directory has no extended form (a "\\.\" device path, or anything but a drive
// path, a UNC path or one already extended), or when the whole would not fit.
bool BuildExtendedSearchText(std::u16string_view currentDirectory, std::u16string_view searchText,
                             char16_t (&buffer)[kExtendedPathRoom]);

}  // namespace farthom
