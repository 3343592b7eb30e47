// The listings' search text: separator rule, default pattern and the exact room of 261 characters;
// its extended-length form for each form of the current directory.
#include "platform/windows/search_text.h"

#include <gtest/gtest.h>

#include <string>

namespace farthom {
namespace {

std::u16string Repeated(char16_t unit, size_t count) { return std::u16string(count, unit); }

// `length` characters of directory text, the last one "\" when `endsInSeparator`.
std::u16string DirectoryOf(size_t length, bool endsInSeparator) {
  std::u16string text = Repeated(u'd', length);
  if (endsInSeparator) text.back() = u'\\';
  return text;
}

struct SearchTextCase {
  const char* why;
  std::u16string directory;
  std::u16string pattern;
  bool fits;
  std::u16string searchText;  // what the buffer holds when it fits
};

TEST(BuildSearchText, JoinsDirectorySeparatorAndPatternOrRefusesWhole) {
  const std::u16string d258 = DirectoryOf(258, true);
  const std::u16string d257 = DirectoryOf(257, false);
  const SearchTextCase cases[] = {
      {"the current directory", u"", u"*.*", true, u"*.*"},
      {"an absent pattern means every entry", u"", u"", true, u"*.*"},
      {"a prefix ending in a separator gets none", u"docs\\", u"*.*", true, u"docs\\*.*"},
      {"a directory without one gets it", u"docs", u"*.*", true, u"docs\\*.*"},
      {"separator and default pattern together", u"docs", u"", true, u"docs\\*.*"},
      {"a final slash is not a separator here", u"docs/", u"*.*", true, u"docs/\\*.*"},
      {"another pattern is used as given", u"a\\b", u"*.txt", true, u"a\\b\\*.txt"},
      {"surrogate pairs are copied unit by unit", u"\U0001F600", u"", true, u"\U0001F600\\*.*"},
      {"258 ending in a separator plus *.* is exactly 261", d258, u"*.*", true, d258 + u"*.*"},
      {"257 plus separator plus *.* is exactly 261", d257, u"*.*", true, d257 + u"\\*.*"},
      {"a pattern alone may use the whole room", u"", Repeated(u'p', 261), true,
       Repeated(u'p', 261)},
      {"259 ending in a separator would need 262", DirectoryOf(259, true), u"*.*", false, u""},
      {"258 needing the separator would need 262", DirectoryOf(258, false), u"*.*", false, u""},
      {"a pattern one past the room", u"", Repeated(u'p', 262), false, u""},
      {"a directory far past the room", DirectoryOf(100000, true), u"*.*", false, u""},
      {"a NUL in the directory would cut the search short", std::u16string(u"a\0b", 3), u"*.*",
       false, u""},
      {"a NUL in the pattern too", u"docs\\", std::u16string(u"*\0.txt", 6), false, u""},
  };
  for (const SearchTextCase& c : cases) {
    SCOPED_TRACE(c.why);
    char16_t buffer[kSearchTextRoom];
    buffer[0] = u'x';
    EXPECT_EQ(BuildSearchText(c.directory, c.pattern, buffer), c.fits);
    // The buffer always holds a terminated text: the whole search text, or nothing at all.
    EXPECT_EQ(std::u16string(buffer), c.searchText);
  }
}

struct ExtendedCase {
  const char* why;
  std::u16string currentDirectory;
  std::u16string searchText;
  std::u16string extended;  // "" where the relative text must be searched as it is
};

TEST(BuildExtendedSearchText, PrefixesEveryFormThatHasOneAndLeavesTheRestRelative) {
  // A current directory that leaves room for exactly the prefix, itself, a separator and "*.*".
  const std::u16string longest = u"C:\\" + Repeated(u'd', kExtendedPathLength - 4 - 3 - 4);
  const ExtendedCase cases[] = {
      {"a drive's root already ends in a separator", u"C:\\", u"*.*", u"\\\\?\\C:\\*.*"},
      {"a folder gets one separator", u"C:\\Data", u"sub\\*.*", u"\\\\?\\C:\\Data\\sub\\*.*"},
      {"names ending in dots are taken as they are", u"D:\\x\\", u"draft.\\two..\\*.*",
       u"\\\\?\\D:\\x\\draft.\\two..\\*.*"},
      {"UNC: the two leading backslashes go", u"\\\\server\\share\\dir", u"*.*",
       u"\\\\?\\UNC\\server\\share\\dir\\*.*"},
      {"already extended: used as it stands", u"\\\\?\\C:\\Data\\", u"*.*",
       u"\\\\?\\C:\\Data\\*.*"},
      {"a device path has no extended form", u"\\\\.\\C:\\Data", u"*.*", u""},
      {"a current directory of no known form", u"Data", u"*.*", u""},
      {"a directory text with / would be taken literally", u"C:\\Data", u"docs/\\*.*", u""},
      {"a .. component too", u"C:\\Data", u"docs\\..\\*.*", u""},
      {"and a . component", u"C:\\Data", u".\\*.*", u""},
      {"an empty component would not be folded away", u"C:\\Data", u"docs\\\\*.*", u""},
      {"a rooted search text is not relative", u"C:\\Data", u"\\docs\\*.*", u""},
      {"nor is one that names a drive", u"C:\\Data", u"D:docs\\*.*", u""},
      {"the whole fits in 32,767 characters", longest, u"*.*", u"\\\\?\\" + longest + u"\\*.*"},
      {"one more and it does not: never a cut text", longest + u"d", u"*.*", u""},
      {"a current directory too long for the buffer", u"C:\\" + Repeated(u'd', 40000), u"*.*", u""},
  };
  for (const ExtendedCase& c : cases) {
    SCOPED_TRACE(c.why);
    static char16_t buffer[kExtendedPathRoom];
    buffer[0] = u'x';
    EXPECT_EQ(BuildExtendedSearchText(c.currentDirectory, c.searchText, buffer),
              !c.extended.empty());
    EXPECT_EQ(std::u16string(buffer), c.extended);
  }
}

}  // namespace
}  // namespace farthom
