// A child process for the parameter reader's tests: it reads its own command line with the real
// reader and writes what it found to its standard output, a pipe from the parent, as UTF-16.
//
// The report is a run of fields, each one code unit giving its length (a command line is at most
// 32767 code units) followed by that many code units: the raw command line; the number of
// NextParameter calls, then each call's text and the cursor after it; the number of
// FindParameter calls, then each call's offset into the raw text, length and cursor.
#include <string>

#include "core/platform.h"
#include "platform/windows/parameter_reader.h"
#include "platform/windows/windows_header.h"

namespace farthom {
namespace {

// Far more calls than any command line under test has parameters.
constexpr int kMaxCalls = 64;

void AddField(std::u16string& report, const std::u16string& field) {
  report.push_back(static_cast<char16_t>(field.size()));
  report += field;
}

void AddNumber(std::u16string& report, long long number) {
  const std::string digits = std::to_string(number);
  AddField(report, std::u16string(digits.begin(), digits.end()));
}

bool WriteAll(HANDLE out, const std::u16string& report) {
  const char* bytes = reinterpret_cast<const char*>(report.data());
  size_t left = report.size() * sizeof(char16_t);
  while (left > 0) {
    DWORD written = 0;
    if (!WriteFile(out, bytes, static_cast<DWORD>(left), &written, nullptr) || written == 0) {
      return false;
    }
    bytes += written;
    left -= written;
  }
  return true;
}

int Run() {
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return 2;

  const wchar_t* raw = GetCommandLineW();
  if (raw == nullptr) raw = L"";
  std::u16string report;
  AddField(report, std::u16string(raw, raw + wcslen(raw)));

  // The real reader, called until it finds nothing, and once more to show that the end stays.
  std::u16string calls;
  int count = 0;
  bool ended = false;
  while (count < kMaxCalls) {
    const int32_t before = ParameterCursor;
    AddField(calls, NextParameter());
    AddNumber(calls, ParameterCursor);
    ++count;
    if (ended) break;
    ended = ParameterCursor == before;
  }
  AddNumber(report, count);
  report += calls;

  // Again through FindParameter, to see where its views lie in the platform's own text. Only a
  // test lowers the cursor.
  ParameterCursor = 0;
  calls.clear();
  count = 0;
  while (count < kMaxCalls) {
    const int32_t before = ParameterCursor;
    const ParameterView view = FindParameter();
    AddNumber(calls, view.position - GetCommandLineW());
    AddNumber(calls, static_cast<long long>(view.length));
    AddNumber(calls, ParameterCursor);
    ++count;
    if (ParameterCursor == before) break;
  }
  AddNumber(report, count);
  report += calls;

  return WriteAll(out, report) ? 0 : 3;
}

}  // namespace
}  // namespace farthom

int main() { return farthom::Run(); }
