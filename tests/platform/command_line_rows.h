// Command lines and what the parameter reader must make of them, shared by the in-process tests
// and the tests that start real child processes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace farthom {

struct CommandLineRow {
  const char* why;
  std::u16string commandLine;  // the whole raw text, program path first
  // What successive reads give, up to and including the first that finds nothing, and the
  // cursor after each of them.
  std::vector<std::u16string> results;
  std::vector<int32_t> cursors;
};

inline const std::vector<CommandLineRow>& CommandLineRows() {
  static const std::vector<CommandLineRow> rows = {
      {"an empty command line has no parameter", u"", {u""}, {0}},
      {"spaces alone make no token", u"   ", {u""}, {0}},
      {"the program's path alone is never returned", uR"(C:\Tools\Farthom.exe)", {u""}, {0}},
      {"runs of spaces separate, also before the path and at the end",
       uR"(  C:\Tools\Farthom.exe   /c  D:\Data  )",
       {u"/c", uR"(D:\Data)", u""},
       {1, 2, 2}},
      {"quoted tokens keep their spaces and lose their quotation marks",
       uR"("C:\Program Files\Farthom.exe" "D:\My Data" /n)",
       {uR"(D:\My Data)", u"/n", u""},
       {1, 2, 2}},
      {"text right after a closing quotation mark is a token of its own",
       uR"("C:\Program Files\Farthom.exe"/c D:\Data)",
       {u"/c", uR"(D:\Data)", u""},
       {1, 2, 2}},
      {"an unquoted program path splits at its space",
       uR"(C:\Program Files\Farthom.exe D:\Data)",
       {uR"(Files\Farthom.exe)", uR"(D:\Data)", u""},
       {1, 2, 2}},
      {"an unclosed quotation makes the whole text the program's token",
       uR"("C:\Program Files\Farthom.exe)",
       {u""},
       {0}},
      {"an empty first token still stands for the program's path",
       uR"("" D:\Data)",
       {uR"(D:\Data)", u""},
       {1, 1}},
      {"a plain token may follow a quoted one directly",
       uR"(C:\Tools\Farthom.exe "D:\My Data"X)",
       {uR"(D:\My Data)", u"X", u""},
       {1, 2, 2}},
      {"a quoted token may follow a quoted one directly",
       uR"(C:\Tools\Farthom.exe "a b""c d")",
       {u"a b", u"c d", u""},
       {1, 2, 2}},
      {"a quotation mark inside a plain token is ordinary",
       uR"(C:\Tools\Farthom.exe a"b c"d)",
       {uR"(a"b)", uR"(c"d)", u""},
       {1, 2, 2}},
      {"a quotation mark after a token's first character opens nothing",
       uR"(C:\Tools\Farthom.exe /c"D:\My Data")",
       {uR"(/c"D:\My)", uR"(Data")", u""},
       {1, 2, 2}},
      {"a backslash before the closing quotation mark is ordinary",
       uR"(C:\Tools\Farthom.exe "D:\My Dir\" /n)",
       {uR"(D:\My Dir\)", u"/n", u""},
       {1, 2, 2}},
      {"a backslash escapes no quotation mark",
       uR"(C:\Tools\Farthom.exe "a\"b z)",
       {uR"(a\)", u"b", u"z", u""},
       {1, 2, 3, 3}},
      {"an unclosed quotation runs to the end of the text",
       uR"(C:\Tools\Farthom.exe "D:\My Data)",
       {uR"(D:\My Data)", u""},
       {1, 1}},
      {"a tab separates nothing",
       u"C:\\Tools\\Farthom.exe a\tb z",
       {u"a\tb", u"z", u""},
       {1, 2, 2}},
      {"trailing spaces make no token", uR"(C:\Tools\Farthom.exe a  )", {u"a", u""}, {1, 1}},
      {"an empty quoted parameter is a parameter and moves the cursor",
       uR"(C:\Tools\Farthom.exe "" /c)",
       {u"", u"/c", u""},
       {1, 2, 2}},
      {"a quotation mark as the last character is an empty parameter",
       uR"(C:\Tools\Farthom.exe ")",
       {u"", u""},
       {1, 1}},
      {"parameters after an empty quoted one are still found",
       uR"(C:\Tools\Farthom.exe /c "" D:\Data)",
       {u"/c", u"", uR"(D:\Data)", u""},
       {1, 2, 3, 3}},
  };
  return rows;
}

}  // namespace farthom
