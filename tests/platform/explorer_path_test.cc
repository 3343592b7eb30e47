// The path Explorer is given: kept, its short form, or the nearest folder above it that Explorer
// takes, for every form of target, over a model of what the system answers.
#include "platform/windows/explorer_path.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace farthom {
namespace {

struct ExplorerPathCase {
  const char* why;
  std::u16string target, tail;
  bool entered;
  std::u16string base;  // the current directory when entered, else GetFullPathNameW's answer
  std::map<std::u16string, std::u16string> shortNames;  // a long name and its 8.3 name
  std::u16string expected;
  bool shortLookupFails = false;
};
const ExplorerPathCase* gCase = nullptr;

// Each lookup answers only what it is asked in its case, so a wrong one shows in the result.
std::u16string CurrentDirectory() { return gCase->entered ? gCase->base : u"C:\\elsewhere"; }
std::u16string FullPath(const std::u16string& path) {
  return !gCase->entered && path == gCase->target ? gCase->base : u"C:\\elsewhere";
}
// GetShortPathNameW: every name that has a short name is replaced by it; the rest stay long.
std::u16string ShortPath(const std::u16string& path) {
  if (gCase->shortLookupFails || path.rfind(u"\\\\?\\", 0) != 0) return u"";
  std::u16string found;
  for (size_t start = 0, end = 0; end != std::u16string::npos; start = end + 1) {
    end = path.find(u'\\', start);
    const auto name = gCase->shortNames.find(path.substr(start, end - start));
    found += name == gCase->shortNames.end() ? path.substr(start, end - start) : name->second;
    if (end != std::u16string::npos) found += u'\\';
  }
  return found;
}

// `count` folders of one long name, one below the other.
std::u16string Folders(int count, const std::u16string& name) {
  std::u16string path = name;
  while (--count > 0) path += u"\\" + name;
  return path;
}

TEST(PathForExplorer, KeepsWhatExplorerTakesAndOtherwiseShortensOrStepsUp) {
  const std::u16string folder = u"folder with a long name";  // 23 characters; short: FOLDER~1
  const std::map<std::u16string, std::u16string> shortNames = {{folder, u"FOLDER~1"}};
  const std::u16string deep = Folders(12, folder) + u"\\file.txt";  // 296 below "C:\\data\\"
  const std::u16string n240 = u"C:\\" + std::u16string(240, u'n');
  const std::u16string n251(251, u'n'), n252(252, u'n');
  // One case a row or two, so that the table reads as one.
  // clang-format off
  const ExplorerPathCase cases[] = {
      {"short and absolute: the reported text", u"C:\\data\\", u"sub\\file.txt", true, u"C:\\data",
       {}, u"C:\\data\\sub\\file.txt"},
      {"304 characters: the short form", u"C:\\data\\", deep, true, u"C:\\data", shortNames,
       u"C:\\data\\" + Folders(12, u"FOLDER~1") + u"\\file.txt"},
      {"a short form still too long: the nearest folder whose short form fits", n240 + u"\\",
       deep, true, n240, shortNames, n240 + u"\\FOLDER~1"},
      {"no short names: the nearest folder that fits", u"C:\\data\\", deep, true, u"C:\\data", {},
       u"C:\\data\\" + Folders(10, folder)},
      {"the lookup fails: likewise", u"C:\\data\\", deep, true, u"C:\\data", shortNames,
       u"C:\\data\\" + Folders(10, folder), true},
      {"draft. below the target: its short name", u"C:\\x\\", u"dots\\draft.\\a.txt", true,
       u"C:\\x", {{u"draft.", u"DRAFT~1"}}, u"C:\\x\\dots\\DRAFT~1\\a.txt"},
      {"a name ending in a blank, no short name: the folder above", u"C:\\x\\",
       u"dots\\blank \\a.txt", true, u"C:\\x", {}, u"C:\\x\\dots"},
      {"a dropped folder ending in a dot: as Windows entered it", u"C:\\x\\draft.\\", u"a.txt",
       true, u"C:\\x\\draft", {}, u"C:\\x\\draft\\a.txt"},
      {"a share past 260: the short form", u"\\\\server\\share\\", deep, true, u"\\\\server\\share",
       shortNames, u"\\\\server\\share\\" + Folders(12, u"FOLDER~1") + u"\\file.txt"},
      {"a share without short names: up to the share's root",
       u"\\\\server\\share\\", n251 + u"\\a.txt", true, u"\\\\server\\share", {},
       u"\\\\server\\share"},
      {"a drive's root takes no second separator", u"D:\\", u"a.txt", true, u"D:\\", {},
       u"D:\\a.txt"},
      {"exactly 259 characters: kept", u"C:\\data\\", n251, true, u"C:\\data", {},
       u"C:\\data\\" + n251},
      {"exactly 260: the short form", u"C:\\data\\", n252, true, u"C:\\data",
       {{n252, u"NNNNNN~1"}}, u"C:\\data\\NNNNNN~1"},
      {"a relative target, not entered: resolved as at the start", u"a.txt", u"", false,
       u"C:\\base\\a.txt", {}, u"C:\\base\\a.txt"},
      {"a rooted one", u"\\a.txt", u"", false, u"C:\\a.txt", {}, u"C:\\a.txt"},
      {"a drive-relative one", u"D:a.txt", u"", false, u"D:\\cur\\a.txt", {}, u"D:\\cur\\a.txt"},
      {"a base typed in the extended-length form: without its prefix", u"\\\\?\\C:\\data\\",
       u"sub\\file.txt", true, u"\\\\?\\C:\\data", {}, u"C:\\data\\sub\\file.txt"},
      {"and with its names as they are, which are tested too", u"\\\\?\\C:\\x\\draft.\\", u"a.txt",
       true, u"\\\\?\\C:\\x\\draft.", {{u"draft.", u"DRAFT~1"}}, u"C:\\x\\DRAFT~1\\a.txt"},
      {"a volume GUID path: the reported text", u"\\\\?\\Volume{1}\\", u"a.txt", true,
       u"\\\\?\\Volume{1}\\", {}, u"\\\\?\\Volume{1}\\a.txt"},
      {"a folder typed with its final \\ keeps it", u"C:\\empty\\", u"", true, u"C:\\empty", {},
       u"C:\\empty\\"},
  };
  // clang-format on
  const PathLookups lookups = {CurrentDirectory, FullPath, ShortPath};
  for (const ExplorerPathCase& c : cases) {
    SCOPED_TRACE(c.why);
    gCase = &c;
    EXPECT_EQ(PathForExplorer(c.target, c.tail, c.entered, lookups), c.expected);
  }
}

}  // namespace
}  // namespace farthom
