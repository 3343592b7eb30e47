// The command-line splitting rules over given texts, as UTF-16 of either code-unit type.
#include "platform/windows/command_line_split.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/platform/command_line_rows.h"

namespace farthom {
namespace {

// Reads one row the way NextParameter does, over text of the given code-unit type, and checks
// every result, every cursor and that the end stays the end.
template <typename CodeUnit>
void CheckRow(const CommandLineRow& row) {
  const std::basic_string<CodeUnit> text(row.commandLine.begin(), row.commandLine.end());
  ASSERT_EQ(row.results.size(), row.cursors.size());
  int32_t cursor = 0;
  for (size_t call = 0; call < row.results.size() + 2; ++call) {
    SCOPED_TRACE(testing::Message() << "call " << call + 1);
    const bool listed = call < row.results.size();
    const std::u16string expected = listed ? row.results[call] : u"";
    const int32_t expectedCursor = listed ? row.cursors[call] : row.cursors.back();
    const int32_t before = cursor;
    const ParameterSpan span = FindParameterIn(text.c_str(), cursor);
    ASSERT_LE(span.position + span.length, text.size());
    const std::u16string got(text.begin() + span.position,
                             text.begin() + span.position + span.length);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(cursor, expectedCursor);
    // Finding nothing points at the end of the text.
    if (cursor == before) {
      EXPECT_EQ(span.position, text.size());
    }
  }
}

TEST(CommandLineSplit, TableOfCommandLines) {
  ASSERT_EQ(CommandLineRows().size(), 21u);
  for (const CommandLineRow& row : CommandLineRows()) {
    SCOPED_TRACE(row.why);
    CheckRow<char16_t>(row);
    // The Windows layer hands over its wchar_t text in place.
    CheckRow<wchar_t>(row);
  }
}

TEST(CommandLineSplit, CodeUnitsComeThroughUnchanged) {
  const struct {
    const char* why;
    std::u16string commandLine;
    std::u16string parameter;  // the first one
    size_t length;             // in UTF-16 code units
  } cases[] = {
      {"a surrogate pair in a plain token counts as two", u"p.exe D:\\\U0001F4C1x y",
       u"D:\\\U0001F4C1x", 6},
      {"a surrogate pair in a quoted token, beside a tab", u"p.exe \"\U00010437\t\U00010437 b\"",
       u"\U00010437\t\U00010437 b", 7},
      {"a lone surrogate is taken as it is", u"p.exe a\xD800z", u"a\xD800z", 3},
      {"a parameter of tabs alone", u"p.exe \t\t z", u"\t\t", 2},
      {"a surrogate pair right after a closing quotation mark starts a token",
       u"\"p.exe\"\U0001F600 x", u"\U0001F600", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    int32_t cursor = 0;
    const ParameterSpan span = FindParameterIn(c.commandLine.c_str(), cursor);
    EXPECT_EQ(c.commandLine.substr(span.position, span.length), c.parameter);
    EXPECT_EQ(span.length, c.length);
    EXPECT_EQ(cursor, 1);
  }
}

TEST(CommandLineSplit, TextEndsAtItsFirstNul) {
  const char16_t text[] = u"p.exe a\0b c";
  int32_t cursor = 1;
  const ParameterSpan span = FindParameterIn(text, cursor);
  EXPECT_EQ(span.position, 7u);
  EXPECT_EQ(span.length, 0u);
  EXPECT_EQ(cursor, 1);
}

TEST(CommandLineSplit, NullTextIsTheEmptyText) {
  int32_t cursor = 0;
  const ParameterSpan span = FindParameterIn(static_cast<const char16_t*>(nullptr), cursor);
  EXPECT_EQ(span.position, 0u);
  EXPECT_EQ(span.length, 0u);
  EXPECT_EQ(cursor, 0);
}

}  // namespace
}  // namespace farthom
