// Builds a listing's search text without allocating, refusing any text that would not fit whole,
// and its extended-length form.
#include "platform/windows/search_text.h"

#include "platform/windows/extended_path.h"

namespace farthom {

namespace {

constexpr char16_t kAllEntries[] = u"*.*";
constexpr size_t kAllEntriesLength = sizeof(kAllEntries) / sizeof(kAllEntries[0]) - 1;

bool HasTerminator(const std::u16string& text) { return text.find(u'\0') != std::u16string::npos; }

// Whether `text` can follow the current directory in an extended-length path and name the same
// entry the relative search would: relative to the current directory (no leading "\", no
// drive), with only "\" between components, none of them empty, "." or "..".
bool IsPlainRelative(std::u16string_view text) {
  if (text.empty() || text[0] == u'\\') return false;
  // The system takes any character before a colon as a drive, not only a letter.
  if (text.size() >= 2 && text[1] == u':') return false;
  if (text.find_first_of(std::u16string_view(u"/\0", 2)) != std::u16string_view::npos) return false;
  for (size_t start = 0;;) {
    const size_t end = text.find(u'\\', start);
    // A count past the end takes the rest.
    const std::u16string_view component = text.substr(start, end - start);
    if (component.empty() || component == u"." || component == u"..") return false;
    if (end == std::u16string_view::npos) return true;
    start = end + 1;
  }
}

}  // namespace

bool BuildSearchText(const std::u16string& directory, const std::u16string& pattern,
                     char16_t (&buffer)[kSearchTextRoom]) {
  buffer[0] = u'\0';
  if (HasTerminator(directory) || HasTerminator(pattern)) return false;

  // Only "\" counts as a separator here: a directory ending in "/" still gets one.
  const bool addSeparator = !directory.empty() && directory.back() != u'\\';
  const char16_t* patternText = pattern.empty() ? kAllEntries : pattern.c_str();
  const size_t patternLength = pattern.empty() ? kAllEntriesLength : pattern.size();

  // Compared piece by piece so that no sum can wrap, however long the texts are.
  const size_t room = kSearchTextRoom - 1;
  if (directory.size() > room) return false;
  const size_t prefixLength = directory.size() + (addSeparator ? 1 : 0);
  if (prefixLength > room || patternLength > room - prefixLength) return false;

  size_t length = 0;
  for (char16_t unit : directory) buffer[length++] = unit;
  if (addSeparator) buffer[length++] = u'\\';
  for (size_t i = 0; i < patternLength; ++i) buffer[length++] = patternText[i];
  buffer[length] = u'\0';
  return true;
}

bool BuildExtendedSearchText(std::u16string_view currentDirectory, std::u16string_view searchText,
                             char16_t (&buffer)[kExtendedPathRoom]) {
  buffer[0] = u'\0';
  if (!IsPlainRelative(searchText)) return false;
  if (currentDirectory.find(u'\0') != std::u16string_view::npos) return false;

  // The current directory in the extended form: what goes first, and what of it follows.
  std::u16string_view head;
  std::u16string_view rest;
  if (!SplitExtendedForm(currentDirectory, head, rest)) return false;

  const bool addSeparator = rest.back() != u'\\';
  // Compared piece by piece so that no sum can wrap.
  size_t room = kExtendedPathRoom - 1;
  for (size_t piece :
       {head.size(), rest.size(), size_t{addSeparator ? 1u : 0u}, searchText.size()}) {
    if (piece > room) return false;
    room -= piece;
  }

  size_t length = 0;
  for (char16_t unit : head) buffer[length++] = unit;
  for (char16_t unit : rest) buffer[length++] = unit;
  if (addSeparator) buffer[length++] = u'\\';
  for (char16_t unit : searchText) buffer[length++] = unit;
  buffer[length] = u'\0';
  return true;
}

}  // namespace farthom
