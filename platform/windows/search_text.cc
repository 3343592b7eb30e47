// Builds a listing's search text without allocating, refusing any text that would not fit whole.
#include "platform/windows/search_text.h"

namespace farthom {

namespace {

constexpr char16_t kAllEntries[] = u"*.*";
constexpr size_t kAllEntriesLength = sizeof(kAllEntries) / sizeof(kAllEntries[0]) - 1;

bool HasTerminator(const std::u16string& text) { return text.find(u'\0') != std::u16string::npos; }

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

}  // namespace farthom
