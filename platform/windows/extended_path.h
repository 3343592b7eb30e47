// The extended-length form of an absolute path ("\\?\"), to and from: the one form in which the
// system takes a path of any length, and every name in it, exactly as it is written.
#pragma once

#include <string>
#include <string_view>

namespace farthom {

// What goes before a drive path, and before a share path without its two leading backslashes.
inline constexpr std::u16string_view kExtendedPrefix = u"\\\\?\\";
inline constexpr std::u16string_view kExtendedSharePrefix = u"\\\\?\\UNC\\";

// Splits the extended-length form of `path` into what goes before it (`head`) and what of it
// follows (`rest`): "\\?\" before a drive path "X:\...", "\\?\UNC\" before a share path
// "\\server\share\..." without its two leading backslashes, nothing before a path already in the
// form. False for every other form, among them a "\\.\" device path, which has none.
bool SplitExtendedForm(std::u16string_view path, std::u16string_view& head,
                       std::u16string_view& rest);

// A drive or share path written in the extended-length form ("\\?\X:\...", "\\?\UNC\...") as an
// ordinary path; any other text as it is.
std::u16string WithoutExtendedPrefix(std::u16string_view path);

}  // namespace farthom
