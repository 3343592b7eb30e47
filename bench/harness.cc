// The benchmark harness: starts a program on a folder, times it until its message box waits for
// the user, reads the box's text and the process's peak working set, answers OK, and prints one
// tab-separated line per run.
//
//   bench_harness <counted runs> <farthom.exe> <floor.exe> <name>=<folder>...
//
// Per folder: one warm-up run of each program, then the counted runs, farthom and the floor taking
// turns (their order swapped every run so that neither always runs on a cache the other warmed).
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/windows/windows_header.h"
// These need the types from <windows.h> first.
#include <psapi.h>
#include <shellapi.h>

namespace farthom {
namespace {

// A program that shows no dialog in this time has failed; the harness moves on.
constexpr DWORD kDialogTimeoutMs = 120000;
constexpr DWORD kExitTimeoutMs = 30000;

struct RunResult {
  bool ok = false;
  const char* failure = "";
  double milliseconds = 0;
  long long entryCount = -1;     // from the heading "Longest of N paths:"; -1 when there is none
  long long longestLength = -1;  // the number before " characters"
  unsigned long long peakWorkingSet = 0;
  DWORD exitCode = 0;
  std::wstring text;  // the dialog's text
};

struct DialogSearch {
  DWORD processId;
  HWND dialog;
};

BOOL CALLBACK FindDialogOfProcess(HWND window, LPARAM parameter) {
  DialogSearch* search = reinterpret_cast<DialogSearch*>(parameter);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search->processId || !IsWindowVisible(window)) return TRUE;
  wchar_t className[16];
  if (GetClassNameW(window, className, 16) == 0 || std::wcscmp(className, L"#32770") != 0) {
    return TRUE;
  }
  search->dialog = window;
  return FALSE;
}

// The message box's text is the one static control with text (the icon's static has none).
BOOL CALLBACK FindTextControl(HWND window, LPARAM parameter) {
  std::wstring* text = reinterpret_cast<std::wstring*>(parameter);
  wchar_t className[16];
  if (GetClassNameW(window, className, 16) == 0 || _wcsicmp(className, L"Static") != 0) return TRUE;
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return TRUE;
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  const int copied = GetWindowTextW(window, buffer.data(), length + 1);
  text->assign(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
  return FALSE;
}

// The decimal number that starts at `position`; -1 when there are no digits there.
long long NumberAt(const std::wstring& text, size_t position) {
  long long value = -1;
  while (position < text.size() && text[position] >= L'0' && text[position] <= L'9') {
    value = (value < 0 ? 0 : value * 10) + (text[position] - L'0');
    ++position;
  }
  return value;
}

void ReadFigures(RunResult& result) {
  const std::wstring& text = result.text;
  const std::wstring heading = L"Longest of ";
  if (text.compare(0, heading.size(), heading) == 0)
    result.entryCount = NumberAt(text, heading.size());
  const size_t unit = text.rfind(L" characters");
  if (unit == std::wstring::npos) return;
  size_t start = unit;
  while (start > 0 && text[start - 1] >= L'0' && text[start - 1] <= L'9') --start;
  result.longestLength = NumberAt(text, start);
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  static LARGE_INTEGER frequency = {};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

RunResult RunOnce(const std::wstring& commandLine) {
  RunResult result;
  std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
  mutableLine.push_back(0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};

  LARGE_INTEGER start, now;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    result.failure = "CreateProcessW failed";
    return result;
  }

  // Wine, like Windows, signals input idle once the program first waits for messages with none
  // queued: for these programs that is the box's own message loop, with the box on screen. It is
  // a wait, not a poll, so the harness takes no processor from the walk it times. A program that
  // went idle before its box would still be caught by the short polls that follow.
  WaitForInputIdle(process.hProcess, kDialogTimeoutMs);
  QueryPerformanceCounter(&now);
  DialogSearch search = {process.dwProcessId, nullptr};
  for (;;) {
    EnumWindows(FindDialogOfProcess, reinterpret_cast<LPARAM>(&search));
    if (search.dialog != nullptr) break;
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
    QueryPerformanceCounter(&now);
    if (Milliseconds(start, now) > kDialogTimeoutMs) break;
  }
  if (search.dialog != nullptr) {
    result.milliseconds = Milliseconds(start, now);

    EnumChildWindows(search.dialog, FindTextControl, reinterpret_cast<LPARAM>(&result.text));
    ReadFigures(result);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)) {
      result.peakWorkingSet = memory.PeakWorkingSetSize;
    }
    // Both boxes are OK-only here; OK is their one answer.
    PostMessageW(search.dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    result.ok = true;
  } else {
    result.failure = "no message box appeared";
  }

  if (WaitForSingleObject(process.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, kExitTimeoutMs);
    if (result.ok) result.failure = "did not exit after OK";
    result.ok = false;
  }
  GetExitCodeProcess(process.hProcess, &result.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size,
                      nullptr, nullptr);
  return bytes;
}

// The dialog's text on one line: carriage returns become "|", tabs cannot occur in names.
std::string OneLine(const std::wstring& text) {
  std::wstring line = text;
  for (wchar_t& unit : line) {
    if (unit == L'\r' || unit == L'\n' || unit == L'\t') unit = L'|';
  }
  return Utf8(line);
}

void PrintRun(const std::wstring& tree, const char* program, int run, const RunResult& result) {
  std::printf("run\t%s\t%s\t%d\t%s\t%.3f\t%lld\t%lld\t%llu\t%lu\t%s\t%s\n", Utf8(tree).c_str(),
              program, run, result.ok ? "ok" : "failed", result.milliseconds, result.entryCount,
              result.longestLength, result.peakWorkingSet,
              static_cast<unsigned long>(result.exitCode), result.failure,
              OneLine(result.text).c_str());
  std::fflush(stdout);
  // A line of progress for whoever watches; run 0 is the warm-up.
  std::fprintf(stderr, "%s, %s, run %d: %s %.0f ms\n", Utf8(tree).c_str(), program, run,
               result.ok ? "" : result.failure, result.milliseconds);
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

}  // namespace
}  // namespace farthom

int main() {
  using namespace farthom;
  int argumentCount = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &argumentCount);
  if (arguments == nullptr || argumentCount < 5) {
    std::fprintf(
        stderr,
        "usage: bench_harness <counted runs> <farthom.exe> <floor.exe> <name>=<folder>...\n");
    return 2;
  }
  const int runs = static_cast<int>(std::wcstol(arguments[1], nullptr, 10));
  const std::wstring farthom = arguments[2];
  const std::wstring floor = arguments[3];
  std::printf(
      "columns\ttree\tprogram\trun\tstatus\tms\tentries\tlength\tpeak_ws\texit\tfailure\ttext\n");
  for (int index = 4; index < argumentCount; ++index) {
    const std::wstring pair = arguments[index];
    const size_t equals = pair.find(L'=');
    if (equals == std::wstring::npos) continue;
    const std::wstring tree = pair.substr(0, equals);
    const std::wstring folder = pair.substr(equals + 1);
    const std::wstring farthomLine = Quoted(farthom) + L" /n " + Quoted(folder);
    const std::wstring floorLine = Quoted(floor) + L" " + Quoted(folder);
    // Run 0 is the warm-up: it fills the caches and is not counted.
    for (int run = 0; run <= runs; ++run) {
      const bool farthomFirst = run % 2 == 0;
      for (int turn = 0; turn < 2; ++turn) {
        const bool isFarthom = (turn == 0) == farthomFirst;
        const RunResult result = RunOnce(isFarthom ? farthomLine : floorLine);
        PrintRun(tree, isFarthom ? "farthom" : "floor", run, result);
      }
    }
  }
  LocalFree(arguments);
  return 0;
}
