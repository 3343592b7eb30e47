// The benchmark harness: starts a program on a folder, times it until its message box waits for
// the user, reads the box's text and the process's peak working set, answers OK, and prints one
// tab-separated line per run.
//
//   bench_harness <counted runs> <farthom.exe> <floor.exe> <name>=<folder>...
//   bench_harness --once <run> farthom|floor <program.exe> <name>=<folder>
//
// Per folder: one warm-up run of each program, then the counted runs, farthom and the floor taking
// turns (their order swapped every run so that neither always runs on a cache the other warmed).
// With --once, one run of one program, numbered <run> (0 for a warm-up): for a caller that
// interleaves these programs with others and keeps the rounds itself.
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/windows/wide_text.h"
#include "platform/windows/windows_header.h"
#include "tools/support/program_run.h"
#include "tools/support/utf8.h"
// It needs the types from <windows.h> first.
#include <psapi.h>

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
  std::u16string text;  // the dialog's text
};

// The decimal number that starts at `position`; -1 when there are no digits there.
long long NumberAt(const std::u16string& text, size_t position) {
  long long value = -1;
  while (position < text.size() && text[position] >= u'0' && text[position] <= u'9') {
    value = (value < 0 ? 0 : value * 10) + (text[position] - u'0');
    ++position;
  }
  return value;
}

void ReadFigures(RunResult& result) {
  const std::u16string& text = result.text;
  const std::u16string heading = u"Longest of ";
  if (text.compare(0, heading.size(), heading) == 0)
    result.entryCount = NumberAt(text, heading.size());
  const size_t unit = text.rfind(u" characters");
  if (unit == std::u16string::npos) return;
  size_t start = unit;
  while (start > 0 && text[start - 1] >= u'0' && text[start - 1] <= u'9') --start;
  result.longestLength = NumberAt(text, start);
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  static LARGE_INTEGER frequency = {};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

RunResult RunOnce(const std::u16string& commandLine) {
  RunResult result;
  LARGE_INTEGER start, now;
  QueryPerformanceCounter(&start);
  ProgramStart program;
  program.commandLine = commandLine;
  ProgramRun run = StartProgram(program);
  if (!run.started) {
    result.failure = "CreateProcessW failed";
    return result;
  }
  if (WaitForDialog(run, kDialogTimeoutMs)) {
    QueryPerformanceCounter(&now);
    result.milliseconds = Milliseconds(start, now);
    result.text = ReadDialog(run.dialog).text;
    ReadFigures(result);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(run.process.hProcess, &memory, sizeof memory)) {
      result.peakWorkingSet = memory.PeakWorkingSetSize;
    }
    // Both boxes are OK-only here; OK is their one answer.
    result.ok = AnswerDialog(run.dialog, IDOK);
    if (!result.ok) result.failure = "the box has no OK";
  } else {
    result.failure = "no message box appeared";
  }
  const int64_t exitCode = WaitForExit(run, kExitTimeoutMs);
  if (exitCode < 0) {
    if (result.ok) result.failure = "did not exit after OK";
    result.ok = false;
  }
  result.exitCode = exitCode < 0 ? 1 : static_cast<DWORD>(exitCode);
  CloseRun(run);
  return result;
}

void PrintRun(const std::u16string& tree, const char* program, int run, const RunResult& result) {
  std::printf("run\t%s\t%s\t%d\t%s\t%.3f\t%lld\t%lld\t%llu\t%lu\t%s\t%s\n", Utf8(tree).c_str(),
              program, run, result.ok ? "ok" : "failed", result.milliseconds, result.entryCount,
              result.longestLength, result.peakWorkingSet,
              static_cast<unsigned long>(result.exitCode), result.failure,
              Utf8OnOneLine(result.text).c_str());
  std::fflush(stdout);
  // A line of progress for whoever watches; run 0 is the warm-up.
  std::fprintf(stderr, "%s, %s, run %d: %s %.0f ms\n", Utf8(tree).c_str(), program, run,
               result.ok ? "" : result.failure, result.milliseconds);
}

std::u16string Quoted(const std::u16string& text) { return u"\"" + text + u"\""; }

// How each program is started on a folder: farthom with /n, so that its box has OK only.
std::u16string CommandLine(bool isFarthom, const std::u16string& program,
                           const std::u16string& folder) {
  return Quoted(program) + (isFarthom ? u" /n " : u" ") + Quoted(folder);
}

void PrintColumns() {
  std::printf(
      "columns\ttree\tprogram\trun\tstatus\tms\tentries\tlength\tpeak_ws\texit\tfailure\ttext\n");
}

// Splits "<name>=<folder>"; false when there is no "=".
bool SplitTree(const wchar_t* argument, std::u16string& tree, std::u16string& folder) {
  const std::u16string pair = FromWide(argument);
  const size_t equals = pair.find(u'=');
  if (equals == std::u16string::npos) return false;
  tree = pair.substr(0, equals);
  folder = pair.substr(equals + 1);
  return true;
}

int RunOnceCommand(int argc, wchar_t** argv) {
  const bool isFarthom = argc == 6 && std::wcscmp(argv[3], L"farthom") == 0;
  std::u16string tree, folder;
  if (argc != 6 || (!isFarthom && std::wcscmp(argv[3], L"floor") != 0) ||
      !SplitTree(argv[5], tree, folder)) {
    std::fprintf(stderr,
                 "usage: bench_harness --once <run> farthom|floor <program.exe> <name>=<folder>\n");
    return 2;
  }
  const int run = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
  PrintColumns();
  const RunResult result = RunOnce(CommandLine(isFarthom, FromWide(argv[4]), folder));
  PrintRun(tree, isFarthom ? "farthom" : "floor", run, result);
  return 0;
}

}  // namespace
}  // namespace farthom

int wmain(int argc, wchar_t** argv) {
  using namespace farthom;
  if (argc > 1 && std::wcscmp(argv[1], L"--once") == 0) return RunOnceCommand(argc, argv);
  if (argc < 5) {
    std::fprintf(
        stderr,
        "usage: bench_harness <counted runs> <farthom.exe> <floor.exe> <name>=<folder>...\n");
    return 2;
  }
  const int runs = static_cast<int>(std::wcstol(argv[1], nullptr, 10));
  const std::u16string farthom = FromWide(argv[2]);
  const std::u16string floor = FromWide(argv[3]);
  PrintColumns();
  for (int index = 4; index < argc; ++index) {
    std::u16string tree, folder;
    if (!SplitTree(argv[index], tree, folder)) continue;
    const std::u16string farthomLine = CommandLine(true, farthom, folder);
    const std::u16string floorLine = CommandLine(false, floor, folder);
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
  return 0;
}
