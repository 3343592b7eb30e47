// The report's exact text, title and style for every kind of run.
#include "core/report.h"

#include <gtest/gtest.h>

#include "core/version.h"

namespace farthom {
namespace {

// The program's name, a blank and the version CMake writes from the project's own.
const std::u16string kUsageTitle = std::u16string(u"Farthom ") + kVersionText;

// Joins lines with a carriage return, the only break the dialog text may hold.
std::u16string Lines(std::initializer_list<std::u16string> lines) {
  std::u16string text;
  bool first = true;
  for (const std::u16string& line : lines) {
    if (!first) text.push_back(u'\r');
    first = false;
    text += line;
  }
  return text;
}

struct ReportCase {
  const char* why;
  ReportKind kind;
  int64_t entryCount;
  std::u16string fullPath;
  bool noPrompt;
  uint32_t iconStyle;
  std::u16string text;
  std::u16string title;
  uint32_t style;
};

TEST(BuildReport, ComposesExactTextTitleAndStyle) {
  const ReportCase cases[] = {
      {"a walked tree asks the question", ReportKind::Walked, 3, u"C:\\data\\sub\\file.txt", false,
       0,
       Lines({u"Longest of 3 paths:", u"", u"C:\\", u"data\\", u"sub\\", u"file.txt", u"",
              u"20 characters", u"", u"Open Folder (Explorer)?"}),
       u"Farthom", 4},
      {"no prompt ends at the length and keeps only the icon bits", ReportKind::Walked, 3,
       u"C:\\data\\sub\\file.txt", true, 0x40,
       Lines({u"Longest of 3 paths:", u"", u"C:\\", u"data\\", u"sub\\", u"file.txt", u"",
              u"20 characters"}),
       u"Farthom", 0x40},
      {"a measured file has no heading", ReportKind::Measured, 0, u"C:\\a.txt", false, 0,
       Lines({u"C:\\", u"a.txt", u"", u"8 characters", u"", u"Open Folder (Explorer)?"}),
       u"Farthom", 4},
      {"a trailing backslash gives three breaks in a row and is counted", ReportKind::Measured, 0,
       u"C:\\empty\\", false, 0,
       Lines({u"C:\\", u"empty\\", u"", u"", u"9 characters", u"", u"Open Folder (Explorer)?"}),
       u"Farthom", 4},
      {"a path without a backslash is unchanged", ReportKind::Measured, 0, u"data", false, 0xC0,
       Lines({u"data", u"", u"4 characters", u"", u"Open Folder (Explorer)?"}), u"Farthom", 0xC4},
      {"one entry and one character: no singular", ReportKind::Walked, 1, u"a", true, 0,
       Lines({u"Longest of 1 paths:", u"", u"a", u"", u"1 characters"}), u"Farthom", 0},
      {"a slash is not a separator", ReportKind::Measured, 0, u"C:/x/y", true, 0,
       Lines({u"C:/x/y", u"", u"6 characters"}), u"Farthom", 0},
      {"the usage line carries the version in its title", ReportKind::NoPath, 0, u"", false, 0xC0,
       u"Drag&drop a path on [shortcut to] executable", kUsageTitle, 0xC0},
      {"usage is OK-only even without no-prompt", ReportKind::NoPath, 5, u"", false, 0,
       u"Drag&drop a path on [shortcut to] executable", kUsageTitle, 0},
  };
  for (const ReportCase& c : cases) {
    SCOPED_TRACE(c.why);
    RunSettings settings;
    settings.noPrompt = c.noPrompt;
    settings.iconStyle = c.iconStyle;
    WalkTotals totals;
    totals.entryCount = c.entryCount;
    const ReportRequest request = BuildReport(c.kind, settings, totals, c.fullPath);
    EXPECT_EQ(request.text, c.text);
    EXPECT_EQ(request.title, c.title);
    EXPECT_EQ(request.style, c.style);
    EXPECT_EQ(request.text.find(u'\n'), std::u16string::npos);
  }
}

TEST(BuildReport, LengthCountsUtf16CodeUnits) {
  // A non-BMP character is two code units: the figure is 2 + 1 for "x".
  const std::u16string path = u"\U0001F600x";
  const ReportRequest request =
      BuildReport(ReportKind::Measured, RunSettings(), WalkTotals(), path);
  EXPECT_NE(request.text.find(u"3 characters"), std::u16string::npos);
}

TEST(DecimalText, WritesPlainBaseTen) {
  const struct {
    int64_t value;
    std::u16string text;
  } cases[] = {
      {0, u"0"},
      {7, u"7"},
      {10, u"10"},
      {2147483647, u"2147483647"},
      {2147483648LL, u"2147483648"},  // past the 32-bit range: no wrap to a negative figure
      {-1, u"-1"},
      {INT64_MAX, u"9223372036854775807"},
      {INT64_MIN, u"-9223372036854775808"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecimalText(c.value), c.text) << c.value;
}

}  // namespace
}  // namespace farthom
