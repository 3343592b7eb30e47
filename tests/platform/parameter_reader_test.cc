// The parameter reader on the command line Windows really hands a process: each command line is
// given, exactly, to a child process that reads its own with NextParameter and reports back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/windows/wide_text.h"
#include "platform/windows/windows_header.h"
#include "tests/platform/command_line_rows.h"
#include "tools/support/program_run.h"
#include "tools/support/utf8.h"

namespace farthom {
namespace {

struct ChildReport {
  std::u16string failure;             // empty when the child ran and reported in full
  std::u16string raw;                 // the child's GetCommandLineW
  std::vector<std::u16string> texts;  // NextParameter's results, in order
  std::vector<int32_t> cursors;       // the cursor after each of them
  struct View {
    size_t offset;
    size_t length;
    int32_t cursor;
  };
  std::vector<View> views;  // FindParameter's results from a cursor of 0
};

std::u16string ChildProgramPath() {
  wchar_t own[MAX_PATH];
  const DWORD size = GetModuleFileNameW(nullptr, own, MAX_PATH);
  if (size == 0 || size >= MAX_PATH) return u"";
  const std::u16string path = FromWide(own);
  return path.substr(0, path.find_last_of(u'\\') + 1) + u"parameter_reader_child.exe";
}

// Reads the child's fields: each is one code unit of length, then its code units.
bool SplitFields(const std::u16string& stream, std::vector<std::u16string>& fields) {
  for (size_t at = 0; at < stream.size();) {
    const size_t length = stream[at++];
    if (stream.size() - at < length) return false;
    fields.push_back(stream.substr(at, length));
    at += length;
  }
  return true;
}

bool ParseReport(const std::vector<std::u16string>& fields, ChildReport& report) {
  size_t at = 0;
  // A decimal field, perhaps negative; anything else makes the report malformed.
  auto number = [&](long long& value) {
    if (at >= fields.size()) return false;
    const std::u16string& digits = fields[at++];
    const bool negative = !digits.empty() && digits[0] == u'-';
    if (digits.size() == (negative ? 1u : 0u)) return false;
    value = 0;
    for (size_t i = negative ? 1 : 0; i < digits.size(); ++i) {
      if (digits[i] < u'0' || digits[i] > u'9') return false;
      value = value * 10 + (digits[i] - u'0');
    }
    if (negative) value = -value;
    return true;
  };
  if (fields.empty()) return false;
  report.raw = fields[at++];
  long long count = 0;
  if (!number(count)) return false;
  for (long long i = 0; i < count; ++i) {
    long long cursor = 0;
    if (at >= fields.size()) return false;
    report.texts.push_back(fields[at++]);
    if (!number(cursor)) return false;
    report.cursors.push_back(static_cast<int32_t>(cursor));
  }
  if (!number(count)) return false;
  for (long long i = 0; i < count; ++i) {
    long long offset = 0, length = 0, cursor = 0;
    if (!number(offset) || !number(length) || !number(cursor)) return false;
    report.views.push_back(
        {static_cast<size_t>(offset), static_cast<size_t>(length), static_cast<int32_t>(cursor)});
  }
  return at == fields.size();
}

ChildReport Failure(const char16_t* why) {
  ChildReport report;
  report.failure = why;
  return report;
}

// Starts the child with exactly `commandLine` as its command line (the program itself is named
// apart from it, so the line's first token can be any text) and collects its report.
ChildReport RunChild(const std::u16string& commandLine) {
  const std::u16string program = ChildProgramPath();
  if (program.empty()) return Failure(u"no path of the test program");

  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
    return Failure(u"CreatePipe failed");
  }
  // Only the write end goes to the child: with the read end inherited too, the pipe would never
  // report its end.
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  ProgramStart start;
  start.program = program;
  start.commandLine = commandLine;
  start.standardOutput = writeEnd;
  ProgramRun run = StartProgram(start);
  CloseHandle(writeEnd);
  if (!run.started) {
    CloseHandle(readEnd);
    return Failure(u"CreateProcessW failed");
  }

  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
    bytes.append(buffer, got);
  }
  CloseHandle(readEnd);
  const int64_t exitCode = WaitForExit(run, INFINITE);
  CloseRun(run);

  if (exitCode != 0) return Failure(u"the child failed");
  if (bytes.size() % 2 != 0) return Failure(u"an odd number of bytes");
  std::u16string stream(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < stream.size(); ++i) {
    stream[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                      static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  std::vector<std::u16string> fields;
  ChildReport report;
  if (!SplitFields(stream, fields) || !ParseReport(fields, report)) {
    return Failure(u"a malformed report");
  }
  return report;
}

// The results, cursors and views a child must report for one command line.
void ExpectChildReads(const std::u16string& commandLine, const std::u16string& expectedRaw,
                      std::vector<std::u16string> results, std::vector<int32_t> cursors,
                      ChildReport& report) {
  report = RunChild(commandLine);
  ASSERT_EQ(report.failure, u"");
  // The child must have been handed the very text given, not a tidied one.
  EXPECT_EQ(report.raw, expectedRaw);

  // The reader's own calls, and one more after the end, which stays the end.
  results.push_back(u"");
  cursors.push_back(cursors.back());
  EXPECT_EQ(report.texts, results);
  EXPECT_EQ(report.cursors, cursors);

  // FindParameter points into the child's own command line: each view holds the same text,
  // and finding nothing points at the end of it.
  ASSERT_EQ(report.views.size(), results.size() - 1);
  for (size_t i = 0; i < report.views.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "view " << i + 1);
    const ChildReport::View& view = report.views[i];
    ASSERT_LE(view.offset + view.length, report.raw.size());
    EXPECT_EQ(report.raw.substr(view.offset, view.length), results[i]);
    EXPECT_EQ(view.cursor, cursors[i]);
  }
  EXPECT_EQ(report.views.back().offset, report.raw.size());
  EXPECT_EQ(report.views.back().length, 0u);
}

TEST(ParameterReaderProcess, TableOfCommandLines) {
  ASSERT_EQ(CommandLineRows().size(), 21u);
  for (const CommandLineRow& row : CommandLineRows()) {
    SCOPED_TRACE(testing::Message() << row.why << ": [" << Utf8(row.commandLine) << "]");
    std::u16string expectedRaw = row.commandLine;
    // Wine's CreateProcessW hands a process started with an empty command line its quoted
    // program path instead (its lower-level process start keeps an empty line as it is). That
    // text too holds no parameter, so the row's results still hold.
    if (expectedRaw.empty() && RunningOnWine()) {
      expectedRaw = u"\"" + ChildProgramPath() + u"\"";
    }
    ChildReport report;
    ExpectChildReads(row.commandLine, expectedRaw, row.results, row.cursors, report);
  }
}

TEST(ParameterReaderProcess, CodeUnitsComeThroughUnchanged) {
  // Two surrogate pairs and a tab inside one quoted parameter, a pair and a tab in a plain one:
  // the texts are compared unit for unit, so their lengths are counted in UTF-16 code units.
  const std::u16string line =
      u"C:\\Tools\\Farthom.exe \"D:\\\U0001F4C1\t\U00010437 x\" a\tb\U0001F600";
  ChildReport report;
  ExpectChildReads(line, line, {u"D:\\\U0001F4C1\t\U00010437 x", u"a\tb\U0001F600", u""}, {1, 2, 2},
                   report);
  ASSERT_EQ(report.texts.size(), 4u);
  EXPECT_EQ(report.texts[0].size(), 10u);
  EXPECT_EQ(report.texts[1].size(), 5u);
}

TEST(ParameterReaderProcess, LoneSurrogatesComeThroughUnchanged) {
  // Not UTF-16 that any text should hold, but the reader neither checks nor mends code units.
  const std::u16string line = u"\"C:\\Tools\\Farthom.exe\"\xDC00 a\xD800";
  ChildReport report;
  ExpectChildReads(line, line, {u"\xDC00", u"a\xD800", u""}, {1, 2, 2}, report);
}

}  // namespace
}  // namespace farthom
